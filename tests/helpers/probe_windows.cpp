// probe.exe: looking at windows of other programs (their list, texts,
// places, styles, menus) and waiting for them to settle or go away.
#include <windows.h>

#include <string>
#include <vector>

#include "probe.h"

namespace probe {

// Text of a window: WM_GETTEXT (marshalled across processes), or the
// system's copy of the caption when the owner does not answer.
Bytes windowText(HWND h) {
  Bytes t;
  return readText(h, t) ? t : captionText(h);
}

DWORD windowPid(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

namespace {

std::string className(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf[0] ? buf : "-";
}

// `first` and the windows behind it, front to back.
std::vector<HWND> fromFront(HWND first) {
  std::vector<HWND> v;
  for (HWND h = first; h; h = GetWindow(h, GW_HWNDNEXT)) v.push_back(h);
  return v;
}

std::vector<HWND> topLevelWindows() { return fromFront(GetTopWindow(nullptr)); }
std::vector<HWND> directChildren(HWND parent) { return fromFront(GetWindow(parent, GW_CHILD)); }

// The first top-level window whose caption (as the system keeps it: works on
// busy windows) is exactly `title`, and of class `cls` if given.
HWND findTitled(const Bytes& title, const char* cls, bool visibleOnly = false) {
  for (HWND h : topLevelWindows())
    if (captionText(h) == title && (!cls || _stricmp(className(h).c_str(), cls) == 0)
        && (!visibleOnly || IsWindowVisible(h)))
      return h;
  return nullptr;
}

// Asks `done` every 20 ms until it holds (true) or TIMEOUT_MS has passed.
template <typename Done>
bool waitUntil(const char* timeoutMs, Done done) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(numArg(timeoutMs));
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
}

// Its own WS_VISIBLE bit, and whether WS_DISABLED is clear: "1 1".
std::string styleFlags(HWND h) {
  const LONG style = GetWindowLongA(h, GWL_STYLE);
  return std::string(style & WS_VISIBLE ? "1 " : "0 ") + (style & WS_DISABLED ? "0" : "1");
}

std::string rectText(RECT r) {
  char buf[64];
  snprintf(buf, sizeof buf, "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
  return buf;
}

// HWND PID VISIBLE ENABLED CLASS L T R B TITLEHEX
std::string topLevelLine(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return hwndText(h) + " " + std::to_string(windowPid(h)) + " " + styleFlags(h) + " " + className(h) + " "
         + rectText(r) + " " + hex(captionText(h));
}

// Everything about a window and its children that a layout change touches.
std::string layoutSignature(HWND h) {
  std::string sig;
  std::vector<HWND> all = directChildren(h);
  all.push_back(h);
  for (HWND w : all) {
    RECT r{};
    GetWindowRect(w, &r);
    char buf[160];
    snprintf(buf, sizeof buf, "%ld:%lx:%ld,%ld,%ld,%ld;", static_cast<long>(GetWindowLongPtrA(w, GWLP_ID)),
             static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)), r.left, r.top, r.right, r.bottom);
    sig += buf;
  }
  return sig;
}

// find TITLE [CLASS]: HWND of a top-level window with exactly that title.
// wait TITLE TIMEOUT_MS [CLASS]: the same, once such a window is visible
// (exit 1 on time-out). For the scripts that start the bar by hand.
int cmdFind(int argc, char** argv) {
  const int waiting = strcmp(argv[1], "wait") == 0 ? 1 : 0;
  need(argc, 3 + waiting, "find TITLE [CLASS] | wait TITLE TIMEOUT_MS [CLASS]");
  const char* cls = argc > 3 + waiting ? argv[3 + waiting] : nullptr;
  HWND h = nullptr;
  if (!waitUntil(waiting ? argv[3] : "0", [&] { return h = findTitled(textArg(argv[2]), cls, waiting); })) return 1;
  out("%s\n", hwndText(h).c_str());
  return 0;
}

// list [TITLE]: one line per top-level window (or those with that title):
//   HWND PID VISIBLE ENABLED CLASS L T R B TITLEHEX
int cmdList(int argc, char** argv) {
  for (HWND h : topLevelWindows())
    if (argc <= 2 || captionText(h) == textArg(argv[2])) out("%s\n", topLevelLine(h).c_str());
  return 0;
}

// waitgone TITLE TIMEOUT_MS: wait until no window has that title.
int cmdWaitGone(int argc, char** argv) {
  need(argc, 4, "waitgone TITLE TIMEOUT_MS");
  return waitUntil(argv[3], [&] { return !findTitled(textArg(argv[2]), nullptr); }) ? 0 : 1;
}

// waitdead HWND TIMEOUT_MS: wait until that window no longer exists.
int cmdWaitDead(int argc, char** argv) {
  need(argc, 4, "waitdead HWND TIMEOUT_MS");
  return waitUntil(argv[3], [&] { return !IsWindow(hwndArg(argv[2])); }) ? 0 : 1;
}

// stable HWND QUIET_MS TIMEOUT_MS: wait until the window and its children
// keep their place, size, visibility and enabled state for QUIET_MS and the
// window's thread answers messages again; prints "stable MS", MS being how
// long it had kept still by then.
int cmdStable(int argc, char** argv) {
  need(argc, 5, "stable HWND QUIET_MS TIMEOUT_MS");
  HWND h = liveWindow(argv[2]);
  const DWORD quiet = static_cast<DWORD>(numArg(argv[3]));
  std::string last = layoutSignature(h);
  DWORD since = GetTickCount();
  return waitUntil(argv[4], [&] {
    if (!IsWindow(h)) no("window %s went away", argv[2]);
    DWORD_PTR unused = 0;
    const std::string now = layoutSignature(h);
    if (now != last) {
      last = now;
      since = GetTickCount();
    } else if (GetTickCount() - since >= quiet
               && SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &unused)
               && layoutSignature(h) == last) {
      out("stable %lu\n", static_cast<unsigned long>(GetTickCount() - since));
      return true;
    }
    return false;
  }) ? 0 : 1;
}

// Looks at one window: `probe NAME HWND` prints one line.
//   rect     the window rectangle in screen pixels, "L T R B"
//   client   the client area in screen pixels, "L T R B"
//   text     its text (WM_GETTEXT) as HEX
//   topmost  1 if WS_EX_TOPMOST is set, else 0
//   iconic   1 if it is minimised, else 0
//   pid      the Windows process id owning it
//   focus    "ACTIVE FOCUS" of its thread (0x0 for none)
//   info     its line as list prints it (top-level or not)
std::string windowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return rectText(r);
}

std::string clientRect(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return rectText(r);
}

std::string threadFocus(HWND h) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &info))
    fail("GetGUIThreadInfo failed (%lu)", GetLastError());
  return hwndText(info.hwndActive) + " " + hwndText(info.hwndFocus);
}

const std::pair<const char*, std::string (*)(HWND)> kLooks[] = {
    {"rect", windowRect},
    {"client", clientRect},
    {"text", [](HWND h) { return hex(windowText(h)); }},
    {"topmost", [](HWND h) { return std::to_string((GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0); }},
    {"iconic", [](HWND h) { return std::to_string(IsIconic(h) ? 1 : 0); }},
    {"pid", [](HWND h) { return std::to_string(windowPid(h)); }},
    {"focus", threadFocus},
    {"info", topLevelLine},
};

int cmdLook(int argc, char** argv) {
  need(argc, 3, "NAME HWND");
  for (const auto& [name, look] : kLooks)
    if (strcmp(argv[1], name) == 0) out("%s\n", look(liveWindow(argv[2])).c_str());
  return 0;
}

// children HWND: one line per direct child window:
//   HWND ID CLASS VISIBLE ENABLED SL ST SR SB CL CT CR CB TEXTHEX
// S.. is the rectangle in screen pixels, C.. in the parent's client area.
int cmdChildren(int argc, char** argv) {
  need(argc, 3, "children HWND");
  HWND parent = liveWindow(argv[2]);
  for (HWND c : directChildren(parent)) {
    RECT s{};
    GetWindowRect(c, &s);
    RECT p = s;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&p), 2);
    out("%s %ld %s %s %ld %ld %ld %ld %ld %ld %ld %ld %s\n", hwndText(c).c_str(),
        static_cast<long>(GetWindowLongPtrA(c, GWLP_ID)), className(c).c_str(), styleFlags(c).c_str(), s.left, s.top,
        s.right, s.bottom, p.left, p.top, p.right, p.bottom, hex(windowText(c)).c_str());
  }
  return 0;
}

// foreground: "HWND TITLEHEX" of the foreground window ("0x0 -" if none).
int cmdForeground(int, char**) {
  HWND h = GetForegroundWindow();
  out("%s %s\n", hwndText(h).c_str(), h ? hex(captionText(h)).c_str() : "-");
  return 0;
}

// zorder HWND...: each window's place among the top-level windows, 0 = in
// front of all; -1 if it is gone.
int cmdZOrder(int argc, char** argv) {
  need(argc, 3, "zorder HWND...");
  const std::vector<HWND> order = topLevelWindows();
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
  std::vector<HWND> menus;
  const bool shown = waitUntil(argc > 2 ? argv[2] : "0", [&] {
    for (HWND h : topLevelWindows())
      if (className(h) == "#32768" && IsWindowVisible(h)) menus.push_back(h);
    return !menus.empty();
  });
  for (HWND h : menus) {
    RECT r{};
    GetWindowRect(h, &r);
    out("%s %s\n", hwndText(h).c_str(), rectText(r).c_str());
  }
  return shown ? 0 : 1;
}

}  // namespace

extern const Command kWindowCommands[] = {
    {"find", cmdFind}, {"wait", cmdFind}, {"list", cmdList}, {"waitgone", cmdWaitGone}, {"waitdead", cmdWaitDead},
    {"stable", cmdStable}, {"children", cmdChildren}, {"foreground", cmdForeground}, {"zorder", cmdZOrder},
    {"menu", cmdMenu}, {"rect", cmdLook}, {"client", cmdLook}, {"text", cmdLook}, {"topmost", cmdLook},
    {"iconic", cmdLook}, {"pid", cmdLook}, {"focus", cmdLook}, {"info", cmdLook}, {},
};

}  // namespace probe
