// probe.exe: what its source files share. One command is one function
// `int cmdName(int argc, char** argv)`; argv[1] is the command's name.
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

using Command = int (*)(int argc, char** argv);

// probe_windows.cpp
int cmdFind(int argc, char** argv);
int cmdWait(int argc, char** argv);
int cmdList(int argc, char** argv);
int cmdInfo(int argc, char** argv);
int cmdWaitGone(int argc, char** argv);
int cmdWaitDead(int argc, char** argv);
int cmdStable(int argc, char** argv);
int cmdRect(int argc, char** argv);
int cmdClient(int argc, char** argv);
int cmdChildren(int argc, char** argv);
int cmdText(int argc, char** argv);
int cmdStyle(int argc, char** argv);
int cmdTopmost(int argc, char** argv);
int cmdPid(int argc, char** argv);
int cmdForeground(int argc, char** argv);
int cmdMenu(int argc, char** argv);
int cmdIconic(int argc, char** argv);
int cmdFocus(int argc, char** argv);
int cmdZOrder(int argc, char** argv);

// probe_actions.cpp
int cmdSetText(int argc, char** argv);
int cmdKill(int argc, char** argv);
int cmdSetForeground(int argc, char** argv);
int cmdPost(int argc, char** argv);
int cmdSend(int argc, char** argv);
int cmdKeys(int argc, char** argv);
int cmdClipGet(int argc, char** argv);
int cmdClipSet(int argc, char** argv);
int cmdDropFiles(int argc, char** argv);
int cmdMove(int argc, char** argv);
int cmdMkWindow(int argc, char** argv);
int cmdHoldTopmost(int argc, char** argv);
int cmdHoldHotKey(int argc, char** argv);

// probe_dpi.cpp
void becomePerMonitorAware();
int cmdDpi(int argc, char** argv);
int cmdAwareness(int argc, char** argv);
int cmdTemplate(int argc, char** argv);
int cmdDpiChanged(int argc, char** argv);

// probe_registry.cpp
int cmdRegClear(int argc, char** argv);
int cmdRegSetSz(int argc, char** argv);
int cmdRegSetDw(int argc, char** argv);
int cmdRegSetRaw(int argc, char** argv);
int cmdRegGet(int argc, char** argv);

}  // namespace probe
