// winctl.exe: moves, minimises and stacks the windows of other programs and
// holds system-wide hot keys, for the end-to-end tests of tracking, docking
// and the hot key. Runs under Wine next to TAVRIN.EXE; complements probe.exe.
//
//   winctl move HWND X Y W H       SetWindowPos (no z-order change, no activation)
//   winctl show HWND CMD           ShowWindow with CMD (2 minimise, 9 restore, ...)
//   winctl iconic HWND             prints 1 or 0
//   winctl focus HWND              prints "ACTIVE FOCUS" of the window's thread
//                                  (0x0 for none)
//   winctl zorder HWND...          prints each window's place among the top-level
//                                  windows, 0 = topmost of all; -1 if it is gone
//   winctl topmost TITLE X Y W H   a visible, always-on-top window that is shown
//                                  without being activated
//   winctl hotkey MODS VK          a hidden window that registers hot key 1 with
//                                  MOD_* flags MODS and virtual key VK
//
// topmost and hotkey print "window HWND PID" first; hotkey then prints
// "registered 1" or "registered 0 ERROR" and "hotkey ID" for every WM_HOTKEY.
// Both pump messages until their window gets WM_CLOSE.
//
// Exit status: 0 success, 1 no such window, 2 bad usage or a failing call.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "HelperCommon.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace helpers;

LRESULT CALLBACK windowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_HOTKEY) {
    out("hotkey %llu\n", static_cast<unsigned long long>(w));
    return 0;
  }
  return quitOnClose(h, m, w, l);
}

HWND makeWindow(const std::string& title, DWORD exStyle, DWORD style, int x, int y, int w, int h) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
  wc.lpszClassName = "TavrinTestWinCtl";
  if (!RegisterClassA(&wc)) fail("RegisterClass failed (%lu)", GetLastError());
  HWND hwnd = CreateWindowExA(exStyle, wc.lpszClassName, title.c_str(), style, x, y, w, h, nullptr, nullptr,
                              wc.hInstance, nullptr);
  if (!hwnd) fail("CreateWindow failed (%lu)", GetLastError());
  return hwnd;
}

int pump() {
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}

int cmdMove(int argc, char** argv) {
  need(argc, 7, "move HWND X Y W H");
  HWND h = liveWindow(argv[2]);
  if (!SetWindowPos(h, nullptr, static_cast<int>(numArg(argv[3])), static_cast<int>(numArg(argv[4])),
                    static_cast<int>(numArg(argv[5])), static_cast<int>(numArg(argv[6])), SWP_NOZORDER | SWP_NOACTIVATE))
    fail("SetWindowPos failed (%lu)", GetLastError());
  return 0;
}

int cmdShow(int argc, char** argv) {
  need(argc, 4, "show HWND CMD");
  ShowWindow(liveWindow(argv[2]), static_cast<int>(numArg(argv[3])));
  return 0;
}

int cmdIconic(int argc, char** argv) {
  need(argc, 3, "iconic HWND");
  out("%d\n", IsIconic(liveWindow(argv[2])) ? 1 : 0);
  return 0;
}

int cmdFocus(int argc, char** argv) {
  need(argc, 3, "focus HWND");
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(liveWindow(argv[2]), nullptr), &info))
    fail("GetGUIThreadInfo failed (%lu)", GetLastError());
  out("%s %s\n", hwndText(info.hwndActive).c_str(), hwndText(info.hwndFocus).c_str());
  return 0;
}

int cmdZOrder(int argc, char** argv) {
  need(argc, 3, "zorder HWND...");
  std::vector<HWND> order;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) order.push_back(h);
  for (int i = 2; i < argc; ++i) {
    HWND h = hwndArg(argv[i]);
    long place = -1;
    for (size_t k = 0; k < order.size(); ++k)
      if (order[k] == h) place = static_cast<long>(k);
    out("%ld\n", place);
  }
  return 0;
}

int cmdTopmost(int argc, char** argv) {
  need(argc, 7, "topmost TITLE X Y W H");
  HWND h = makeWindow(textArg(argv[2]), WS_EX_TOPMOST, WS_POPUP | WS_BORDER, static_cast<int>(numArg(argv[3])),
                      static_cast<int>(numArg(argv[4])), static_cast<int>(numArg(argv[5])), static_cast<int>(numArg(argv[6])));
  ShowWindow(h, SW_SHOWNOACTIVATE);
  out("window %s %lu\n", hwndText(h).c_str(), GetCurrentProcessId());
  return pump();
}

int cmdHotKey(int argc, char** argv) {
  need(argc, 4, "hotkey MODS VK");
  HWND h = makeWindow("TavrinTestHotKeyHolder", 0, WS_POPUP, 0, 0, 10, 10);
  out("window %s %lu\n", hwndText(h).c_str(), GetCurrentProcessId());
  if (RegisterHotKey(h, 1, static_cast<UINT>(numArg(argv[2])), static_cast<UINT>(numArg(argv[3]))))
    out("registered 1\n");
  else
    out("registered 0 %lu\n", GetLastError());
  return pump();
}

struct Entry {
  const char* name;
  int (*run)(int, char**);
};

const Entry kCommands[] = {
    {"move", cmdMove},       {"show", cmdShow},       {"iconic", cmdIconic},
    {"focus", cmdFocus},
    {"zorder", cmdZOrder},   {"topmost", cmdTopmost}, {"hotkey", cmdHotKey},
};

}  // namespace

int main(int argc, char** argv) {
  programName = "winctl";
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) fail("usage: winctl move|show|iconic|focus|zorder|topmost|hotkey ARGS...");
  for (const auto& c : kCommands)
    if (strcmp(argv[1], c.name) == 0) return c.run(argc, argv);
  fail("unknown command '%s'", argv[1]);
}
