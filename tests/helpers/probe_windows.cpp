// probe.exe: looking at windows of other programs (their list, texts,
// places, styles, menus) and waiting for them to settle or go away.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "probe.h"

namespace probe {

namespace {

// ---------------------------------------------------------------- windows

bool readText(HWND h, Bytes& text) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len)) return false;
  // The length may count characters; Shift-JIS needs up to two bytes each.
  std::vector<char> buf(len * 2 + 64, 0);
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &got))
    return false;
  text.assign(buf.data(), strnlen(buf.data(), buf.size()));
  return true;
}

}  // namespace

// Text of a window: WM_GETTEXT (marshalled across processes), or the
// system's copy of the caption when the owner does not answer.
Bytes windowText(HWND h) {
  Bytes t;
  if (readText(h, t)) return t;
  char buf[1024] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

// The caption as the system keeps it; never sends a message, so it works on
// hung or busy windows (top-level windows only, which is all it is used for).
Bytes captionText(HWND h) {
  int n = GetWindowTextLengthA(h);
  std::vector<char> buf(n * 2 + 64, 0);
  GetWindowTextA(h, buf.data(), static_cast<int>(buf.size()));
  return Bytes(buf.data(), strnlen(buf.data(), buf.size()));
}

std::string className(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf[0] ? buf : "-";
}

bool styleVisible(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0; }
bool styleEnabled(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & WS_DISABLED) == 0; }

std::vector<HWND> topLevelWindows() {
  std::vector<HWND> v;
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&v));
  return v;
}

DWORD windowPid(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

namespace {

std::vector<HWND> directChildren(HWND parent) {
  std::vector<HWND> v;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) v.push_back(c);
  return v;
}

// Top-level windows whose title is exactly TITLE (and, if given, class CLASS).
std::vector<HWND> windowsTitled(const Bytes& title, const char* cls) {
  std::vector<HWND> found;
  for (HWND h : topLevelWindows()) {
    if (captionText(h) != title) continue;
    if (cls && _stricmp(className(h).c_str(), cls) != 0) continue;
    found.push_back(h);
  }
  return found;
}

HWND findTitled(const Bytes& title, const char* cls, bool visibleOnly) {
  for (HWND h : windowsTitled(title, cls))
    if (!visibleOnly || IsWindowVisible(h)) return h;
  return nullptr;
}

// HWND PID VISIBLE ENABLED CLASS L T R B TITLEHEX
void printTopLevel(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  out("%s %lu %d %d %s %ld %ld %ld %ld %s\n", hwndText(h).c_str(), windowPid(h), styleVisible(h) ? 1 : 0,
      styleEnabled(h) ? 1 : 0, className(h).c_str(), r.left, r.top, r.right, r.bottom, hex(captionText(h)).c_str());
}

// HWND ID CLASS VISIBLE ENABLED  SL ST SR SB (screen)  CL CT CR CB (parent's client)  TEXTHEX
void printChild(HWND parent, HWND c) {
  RECT s{};
  GetWindowRect(c, &s);
  RECT p = s;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&p), 2);
  out("%s %ld %s %d %d %ld %ld %ld %ld %ld %ld %ld %ld %s\n", hwndText(c).c_str(),
      static_cast<long>(GetWindowLongPtrA(c, GWLP_ID)), className(c).c_str(), styleVisible(c) ? 1 : 0,
      styleEnabled(c) ? 1 : 0, s.left, s.top, s.right, s.bottom, p.left, p.top, p.right, p.bottom,
      hex(windowText(c)).c_str());
}

// Everything about a window and its children that a layout change touches.
std::string layoutSignature(HWND h) {
  std::string sig;
  auto add = [&sig](HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    char buf[160];
    snprintf(buf, sizeof buf, "%ld:%lx:%ld,%ld,%ld,%ld;", static_cast<long>(GetWindowLongPtrA(w, GWLP_ID)),
             static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)), r.left, r.top, r.right, r.bottom);
    sig += buf;
  };
  add(h);
  for (HWND c : directChildren(h)) add(c);
  return sig;
}

bool responsive(HWND h, DWORD timeoutMs) {
  DWORD_PTR r = 0;
  return SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &r) != 0;
}

// ---------------------------------------------------------------- dialog units

}  // namespace

// find TITLE [CLASS]: HWND of a top-level window with exactly that title.
int cmdFind(int argc, char** argv) {
  need(argc, 3, "find TITLE [CLASS]");
  HWND h = findTitled(textArg(argv[2]), argc > 3 ? argv[3] : nullptr, false);
  if (!h) return 1;
  out("%s\n", hwndText(h).c_str());
  return 0;
}

// wait TITLE TIMEOUT_MS [CLASS]: as find, once such a visible window shows
// up (exit 1 on time-out). For the scripts that start the bar by hand.
int cmdWait(int argc, char** argv) {
  need(argc, 4, "wait TITLE TIMEOUT_MS [CLASS]");
  const Bytes title = textArg(argv[2]);
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(numArg(argv[3]));
  for (;;) {
    HWND h = findTitled(title, argc > 4 ? argv[4] : nullptr, false);
    if (h && IsWindowVisible(h)) {
      out("%s\n", hwndText(h).c_str());
      return 0;
    }
    if (GetTickCount64() >= deadline) return 1;
    Sleep(50);
  }
}

// list [TITLE]: one line per top-level window (or those with that title):
//   HWND PID VISIBLE ENABLED CLASS L T R B TITLEHEX
int cmdList(int argc, char** argv) {
  Bytes title = argc > 2 ? textArg(argv[2]) : Bytes();
  for (HWND h : topLevelWindows())
    if (argc <= 2 || captionText(h) == title) printTopLevel(h);
  return 0;
}

// info HWND: the list line of one window (top-level or not).
int cmdInfo(int argc, char** argv) {
  need(argc, 3, "info HWND");
  printTopLevel(liveWindow(argv[2]));
  return 0;
}

// waitgone TITLE TIMEOUT_MS [CLASS]: wait until no window has that title.
int cmdWaitGone(int argc, char** argv) {
  need(argc, 4, "waitgone TITLE TIMEOUT_MS [CLASS]");
  Bytes title = textArg(argv[2]);
  DWORD start = GetTickCount(), limit = static_cast<DWORD>(numArg(argv[3]));
  for (;;) {
    if (!findTitled(title, argc > 4 ? argv[4] : nullptr, false)) return 0;
    if (GetTickCount() - start >= limit) return 1;
    Sleep(20);
  }
}

// waitdead HWND TIMEOUT_MS: wait until that window no longer exists.
int cmdWaitDead(int argc, char** argv) {
  need(argc, 4, "waitdead HWND TIMEOUT_MS");
  HWND h = hwndArg(argv[2]);
  DWORD start = GetTickCount(), limit = static_cast<DWORD>(numArg(argv[3]));
  while (IsWindow(h)) {
    if (GetTickCount() - start >= limit) return 1;
    Sleep(20);
  }
  return 0;
}

// stable HWND QUIET_MS TIMEOUT_MS: wait until the window and its children
// keep their place, size, visibility and enabled state for QUIET_MS and the
// window's thread answers messages again; prints "stable MS", MS being how
// long it had kept still by then.
int cmdStable(int argc, char** argv) {
  need(argc, 5, "stable HWND QUIET_MS TIMEOUT_MS");
  HWND h = liveWindow(argv[2]);
  DWORD quiet = static_cast<DWORD>(numArg(argv[3])), limit = static_cast<DWORD>(numArg(argv[4]));
  DWORD start = GetTickCount();
  std::string last = layoutSignature(h);
  DWORD since = GetTickCount();
  for (;;) {
    Sleep(20);
    if (!IsWindow(h)) no("window %s went away", argv[2]);
    std::string now = layoutSignature(h);
    if (now != last) {
      last = now;
      since = GetTickCount();
    } else if (GetTickCount() - since >= quiet && responsive(h, 1000) && layoutSignature(h) == last) {
      out("stable %lu\n", static_cast<unsigned long>(GetTickCount() - since));
      return 0;
    }
    if (GetTickCount() - start >= limit) return 1;
  }
}

// rect HWND: window rectangle in screen pixels, "L T R B".
int cmdRect(int argc, char** argv) {
  need(argc, 3, "rect HWND");
  RECT r{};
  GetWindowRect(liveWindow(argv[2]), &r);
  out("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

// client HWND: client area in screen pixels, "L T R B".
int cmdClient(int argc, char** argv) {
  need(argc, 3, "client HWND");
  HWND h = liveWindow(argv[2]);
  RECT r{};
  GetClientRect(h, &r);
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
  out("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

// children HWND: one line per direct child window:
//   HWND ID CLASS VISIBLE ENABLED SL ST SR SB CL CT CR CB TEXTHEX
// VISIBLE and ENABLED are the child's own WS_VISIBLE / WS_DISABLED bits;
// S.. is the rectangle in screen pixels, C.. in the parent's client area.
int cmdChildren(int argc, char** argv) {
  need(argc, 3, "children HWND");
  HWND h = liveWindow(argv[2]);
  for (HWND c : directChildren(h)) printChild(h, c);
  return 0;
}

// text HWND: the window's text (WM_GETTEXT) as HEX.
int cmdText(int argc, char** argv) {
  need(argc, 3, "text HWND");
  out("%s\n", hex(windowText(liveWindow(argv[2]))).c_str());
  return 0;
}

// topmost HWND: 1 if WS_EX_TOPMOST is set, else 0.
int cmdTopmost(int argc, char** argv) {
  need(argc, 3, "topmost HWND");
  out("%d\n", (GetWindowLongA(liveWindow(argv[2]), GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
  return 0;
}

// pid HWND: the Windows process id owning the window.
int cmdPid(int argc, char** argv) {
  need(argc, 3, "pid HWND");
  out("%lu\n", windowPid(liveWindow(argv[2])));
  return 0;
}

// foreground: "HWND TITLEHEX" of the foreground window ("0x0 -" if none).
int cmdForeground(int, char**) {
  HWND h = GetForegroundWindow();
  out("%s %s\n", hwndText(h).c_str(), h ? hex(captionText(h)).c_str() : "-");
  return 0;
}

// iconic HWND: prints 1 or 0.
int cmdIconic(int argc, char** argv) {
  need(argc, 3, "iconic HWND");
  out("%d\n", IsIconic(liveWindow(argv[2])) ? 1 : 0);
  return 0;
}

// focus HWND: "ACTIVE FOCUS" of the window's thread (0x0 for none).
int cmdFocus(int argc, char** argv) {
  need(argc, 3, "focus HWND");
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(liveWindow(argv[2]), nullptr), &info))
    fail("GetGUIThreadInfo failed (%lu)", GetLastError());
  out("%s %s\n", hwndText(info.hwndActive).c_str(), hwndText(info.hwndFocus).c_str());
  return 0;
}

// zorder HWND...: each window's place among the top-level windows, 0 = in
// front of all; -1 if it is gone.
int cmdZOrder(int argc, char** argv) {
  need(argc, 3, "zorder HWND...");
  std::vector<HWND> order;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) order.push_back(h);
  for (int i = 2; i < argc; ++i) {
    long place = -1;
    for (size_t k = 0; k < order.size(); ++k)
      if (order[k] == hwndArg(argv[i])) place = static_cast<long>(k);
    out("%ld\n", place);
  }
  return 0;
}

// menu [TIMEOUT_MS]: wait for a visible popup menu (class #32768); prints
// "HWND L T R B" of each visible one; exit 1 if there is none.
int cmdMenu(int argc, char** argv) {
  DWORD limit = argc > 2 ? static_cast<DWORD>(numArg(argv[2])) : 0;
  DWORD start = GetTickCount();
  for (;;) {
    bool any = false;
    for (HWND h : topLevelWindows()) {
      if (className(h) != "#32768" || !IsWindowVisible(h)) continue;
      RECT r{};
      GetWindowRect(h, &r);
      out("%s %ld %ld %ld %ld\n", hwndText(h).c_str(), r.left, r.top, r.right, r.bottom);
      any = true;
    }
    if (any) return 0;
    if (GetTickCount() - start >= limit) return 1;
    Sleep(20);
  }
}

extern const Command kWindowCommands[] = {
    {"find", cmdFind}, {"wait", cmdWait}, {"list", cmdList}, {"info", cmdInfo}, {"waitgone", cmdWaitGone},
    {"waitdead", cmdWaitDead}, {"stable", cmdStable}, {"rect", cmdRect}, {"client", cmdClient},
    {"children", cmdChildren}, {"text", cmdText}, {"topmost", cmdTopmost}, {"pid", cmdPid},
    {"foreground", cmdForeground}, {"iconic", cmdIconic}, {"focus", cmdFocus}, {"zorder", cmdZOrder},
    {"menu", cmdMenu}, {},
};

}  // namespace probe
