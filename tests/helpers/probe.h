// probe.exe: what its source files share.
#pragma once

#include <windows.h>

#include "HelperCommon.h"

// Newer than the Windows the build names; Wine has them.
extern "C" DECLSPEC_IMPORT DPI_AWARENESS_CONTEXT WINAPI SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT);
extern "C" DECLSPEC_IMPORT UINT WINAPI GetDpiForSystem();

namespace probe {

using namespace helpers;

// Looking at windows (probe_windows.cpp).
Bytes windowText(HWND h);  // WM_GETTEXT, or the system's copy of the caption
DWORD windowPid(HWND h);

// A copy of `data` in the process of window h, for a message that carries a
// pointer (probe_actions.cpp).
void* copyInto(HWND h, const Bytes& data);

// One command: `probe NAME ARGS...` runs run(argc, argv) with argv[1] the
// name. Each source file lists its own, ending with an empty entry.
struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
};
extern const Command kWindowCommands[];    // probe_windows.cpp: looking
extern const Command kActionCommands[];    // probe_actions.cpp: driving, keys, clipboard, windows to hold
extern const Command kBarCommands[];       // probe_bar.cpp: the bar's settings and scaling

}  // namespace probe
