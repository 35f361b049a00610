// probe.exe: what its source files share.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "HelperCommon.h"

namespace probe {

using namespace helpers;

constexpr DWORD kSendTimeoutMs = 5000;

// Looking at windows (probe_windows.cpp).
Bytes windowText(HWND h);   // WM_GETTEXT, or the system's copy of the caption
Bytes captionText(HWND h);  // the caption as the system keeps it; sends nothing
std::string className(HWND h);
bool styleVisible(HWND h);  // its own WS_VISIBLE bit
bool styleEnabled(HWND h);
std::vector<HWND> topLevelWindows();
DWORD windowPid(HWND h);

// One command: `probe NAME ARGS...` runs run(argc, argv) with argv[1] the
// name. Each source file lists its own, ending with an empty entry.
struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
};
extern const Command kWindowCommands[];    // probe_windows.cpp: looking
extern const Command kActionCommands[];    // probe_actions.cpp: driving, keys, clipboard, windows to hold
extern const Command kRegistryCommands[];  // probe_registry.cpp: the bar's settings
extern const Command kDpiCommands[];       // probe_dpi.cpp: the bar's scaling

void becomePerMonitorAware();  // probe_dpi.cpp

}  // namespace probe
