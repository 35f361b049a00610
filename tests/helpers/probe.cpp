// probe.exe: looks at and pokes the windows of other programs from outside,
// for the end-to-end tests. Runs under Wine next to TAVRIN.EXE.
//
//   probe COMMAND ARGS...
//
// Every command prints machine-readable lines on stdout and exits with
//   0  success (the window exists, the condition came true, ...)
//   1  not found, condition false, or timed out
//   2  bad usage or a failing system call (message on stderr)
//
// Conventions:
//   HWND      hexadecimal, printed as 0x1234ABCD (the 0x is optional on input)
//   TEXT      a text argument; "hex:8e8196bc" gives exact (Shift-JIS) bytes
//   HEX       bytes as hexadecimal digits; "-" (or "") is the empty byte string
//   numbers   decimal, or hexadecimal with 0x; negative values are allowed
//   texts are always printed as HEX ("-" when empty), so Shift-JIS, CR LF
//   and blanks survive the trip unchanged.
#include <windows.h>
#include <shlobj.h>

#include <fcntl.h>
#include <io.h>

#include "HelperCommon.h"

#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace helpers;


constexpr char kSettingsRoot[] = "Software\\Brannock\\TAVRIN";
constexpr DWORD kSendTimeoutMs = 5000;

// ---------------------------------------------------------------- output

// ---------------------------------------------------------------- arguments

struct MessageName {
  const char* name;
  UINT value;
};

const MessageName kMessages[] = {
    {"WM_NULL", WM_NULL},
    {"WM_DESTROY", WM_DESTROY},
    {"WM_ACTIVATE", WM_ACTIVATE},
    {"WM_SETFOCUS", WM_SETFOCUS},
    {"WM_CLOSE", WM_CLOSE},
    {"WM_QUERYENDSESSION", WM_QUERYENDSESSION},
    {"WM_ENDSESSION", WM_ENDSESSION},
    {"WM_CONTEXTMENU", WM_CONTEXTMENU},
    {"WM_NCRBUTTONUP", WM_NCRBUTTONUP},
    {"WM_KEYDOWN", WM_KEYDOWN},
    {"WM_KEYUP", WM_KEYUP},
    {"WM_CHAR", WM_CHAR},
    {"WM_SYSKEYDOWN", WM_SYSKEYDOWN},
    {"WM_COMMAND", WM_COMMAND},
    {"WM_SYSCOMMAND", WM_SYSCOMMAND},
    {"WM_TIMER", WM_TIMER},
    {"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
    {"WM_LBUTTONUP", WM_LBUTTONUP},
    {"WM_RBUTTONDOWN", WM_RBUTTONDOWN},
    {"WM_RBUTTONUP", WM_RBUTTONUP},
    {"WM_HOTKEY", WM_HOTKEY},
    {"WM_USER", WM_USER},
    {"WM_APP", WM_APP},
};

UINT messageArg(const char* s) {
  for (const auto& m : kMessages)
    if (_stricmp(s, m.name) == 0) return m.value;
  return static_cast<UINT>(numArg(s));
}

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

DWORD windowPid(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
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

// Dialog base units of a DS_SETFONT dialog with the given font, measured the
// way the dialog manager measures them: create an invisible dialog from a
// small in-memory template and map a rectangle with MapDialogRect.
HWND makeMeasuringDialog(const wchar_t* face, WORD points) {
  alignas(4) static BYTE buf[512];
  memset(buf, 0, sizeof buf);
  auto* t = reinterpret_cast<DLGTEMPLATE*>(buf);
  t->style = WS_POPUP | DS_MODALFRAME | DS_SETFONT;
  t->cdit = 0;
  t->cx = 162;
  t->cy = 56;
  auto* w = reinterpret_cast<WORD*>(t + 1);
  *w++ = 0;  // no menu
  *w++ = 0;  // default dialog class
  *w++ = 0;  // no title
  *w++ = points;
  size_t n = wcslen(face);
  if (reinterpret_cast<BYTE*>(w + n + 1) > buf + sizeof buf) fail("font name too long");
  memcpy(w, face, (n + 1) * sizeof(wchar_t));
  HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t, nullptr,
                                        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  if (!dlg) fail("CreateDialogIndirectParam failed (%lu)", GetLastError());
  return dlg;
}

// The bar's template font: "ＭＳ Ｐゴシック", 9 point.
HWND measuringDialog(int argc, char** argv, int faceIndex) {
  std::wstring face = L"ＭＳ Ｐゴシック";
  WORD points = 9;
  if (argc > faceIndex + 1) {
    Bytes f = textArg(argv[faceIndex]);
    int n = MultiByteToWideChar(CP_ACP, 0, f.data(), static_cast<int>(f.size()), nullptr, 0);
    face.assign(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, f.data(), static_cast<int>(f.size()), face.data(), n);
    points = static_cast<WORD>(numArg(argv[faceIndex + 1]));
  }
  return makeMeasuringDialog(face.c_str(), points);
}

// ---------------------------------------------------------------- registry

std::string sectionPath(const char* section) { return std::string(kSettingsRoot) + "\\" + section; }

HKEY createSection(const char* section) {
  HKEY k = nullptr;
  LONG e = RegCreateKeyExA(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           &k, nullptr);
  if (e != ERROR_SUCCESS) fail("cannot create key %s (%ld)", sectionPath(section).c_str(), e);
  return k;
}

void setValue(const char* section, const char* key, DWORD type, const Bytes& data) {
  HKEY k = createSection(section);
  LONG e = RegSetValueExA(k, key, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
  RegCloseKey(k);
  if (e != ERROR_SUCCESS) fail("cannot set %s\\%s (%ld)", section, key, e);
}

struct TypeName {
  const char* name;
  DWORD value;
};

const TypeName kTypes[] = {
    {"REG_NONE", REG_NONE},           {"REG_SZ", REG_SZ},       {"REG_EXPAND_SZ", REG_EXPAND_SZ},
    {"REG_BINARY", REG_BINARY},       {"REG_DWORD", REG_DWORD}, {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN},
    {"REG_MULTI_SZ", REG_MULTI_SZ}, {"REG_QWORD", REG_QWORD},
};

std::string typeName(DWORD t) {
  for (const auto& n : kTypes)
    if (n.value == t) return n.name;
  return std::to_string(t);
}

DWORD typeArg(const char* s) {
  for (const auto& n : kTypes)
    if (_stricmp(s, n.name) == 0) return n.value;
  return static_cast<DWORD>(numArg(s));
}

// Prints "TYPE HEX" for every value of an open key, prefixed with PREFIX.
void dumpValues(HKEY k, const std::string& prefix) {
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD nameLen = sizeof name;
    DWORD type = 0, size = 0;
    if (RegEnumValueA(k, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size + 2, 0);
    nameLen = sizeof name;
    DWORD got = size;
    if (RegEnumValueA(k, i, name, &nameLen, nullptr, &type, data.data(), &got) != ERROR_SUCCESS) continue;
    out("%s%s %s %s\n", prefix.c_str(), name, typeName(type).c_str(),
        hex(Bytes(reinterpret_cast<char*>(data.data()), got)).c_str());
  }
}

// ---------------------------------------------------------------- keyboard

struct KeyName {
  const char* name;
  BYTE vk;
  bool extended;
};

const KeyName kKeys[] = {
    {"ctrl", VK_CONTROL, false}, {"control", VK_CONTROL, false}, {"shift", VK_SHIFT, false},
    {"alt", VK_MENU, false},     {"menu", VK_MENU, false},       {"win", VK_LWIN, true},
    {"esc", VK_ESCAPE, false},   {"escape", VK_ESCAPE, false},   {"enter", VK_RETURN, false},
    {"return", VK_RETURN, false}, {"tab", VK_TAB, false},        {"space", VK_SPACE, false},
    {"backspace", VK_BACK, false}, {"delete", VK_DELETE, true},  {"del", VK_DELETE, true},
    {"insert", VK_INSERT, true}, {"home", VK_HOME, true},        {"end", VK_END, true},
    {"pageup", VK_PRIOR, true},  {"pagedown", VK_NEXT, true},    {"left", VK_LEFT, true},
    {"right", VK_RIGHT, true},   {"up", VK_UP, true},            {"down", VK_DOWN, true},
    {"apps", VK_APPS, true},
};

KeyName keyArg(const std::string& k) {
  for (const auto& n : kKeys)
    if (_stricmp(k.c_str(), n.name) == 0) return n;
  if (k.size() == 1 && isalnum(static_cast<unsigned char>(k[0])))
    return {"", static_cast<BYTE>(toupper(static_cast<unsigned char>(k[0]))), false};
  if ((k[0] == 'f' || k[0] == 'F') && k.size() <= 3) {
    int n = atoi(k.c_str() + 1);
    if (n >= 1 && n <= 24) return {"", static_cast<BYTE>(VK_F1 + n - 1), false};
  }
  if (_strnicmp(k.c_str(), "vk", 2) == 0) return {"", static_cast<BYTE>(numArg(k.c_str() + 2)), false};
  fail("unknown key '%s'", k.c_str());
}

void keyEvent(const KeyName& k, bool up) {
  DWORD flags = (k.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
  keybd_event(k.vk, static_cast<BYTE>(MapVirtualKeyA(k.vk, MAPVK_VK_TO_VSC)), flags, 0);
}

// "ctrl+shift+w": press in order, release in reverse order.
void chord(const char* combination) {
  std::vector<KeyName> keys;
  std::string s = combination, part;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || (s[i] == '+' && !part.empty())) {
      keys.push_back(keyArg(part));
      part.clear();
    } else {
      part += s[i];
    }
  }
  for (const auto& k : keys) keyEvent(k, false);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) keyEvent(*it, true);
}

// ---------------------------------------------------------------- mkwindow

// ---------------------------------------------------------------- commands

using Command = int (*)(int argc, char** argv);

// find TITLE [CLASS]: HWND of a top-level window with exactly that title.
int cmdFind(int argc, char** argv) {
  need(argc, 3, "find TITLE [CLASS]");
  HWND h = findTitled(textArg(argv[2]), argc > 3 ? argv[3] : nullptr, false);
  if (!h) return 1;
  out("%s\n", hwndText(h).c_str());
  return 0;
}

// count TITLE [CLASS]: how many top-level windows have exactly that title.
int cmdCount(int argc, char** argv) {
  need(argc, 3, "count TITLE [CLASS]");
  out("%zu\n", windowsTitled(textArg(argv[2]), argc > 3 ? argv[3] : nullptr).size());
  return 0;
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

// wait TITLE TIMEOUT_MS [CLASS]: wait until a visible window with that title
// exists; prints its HWND.
int cmdWait(int argc, char** argv) {
  need(argc, 4, "wait TITLE TIMEOUT_MS [CLASS]");
  Bytes title = textArg(argv[2]);
  DWORD start = GetTickCount(), limit = static_cast<DWORD>(numArg(argv[3]));
  for (;;) {
    if (HWND h = findTitled(title, argc > 4 ? argv[4] : nullptr, true)) {
      out("%s\n", hwndText(h).c_str());
      return 0;
    }
    if (GetTickCount() - start >= limit) return 1;
    Sleep(20);
  }
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
// window's thread answers messages again; prints "stable".
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
      out("stable\n");
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

// settext HWND TEXT: WM_SETTEXT from outside.
int cmdSetText(int argc, char** argv) {
  need(argc, 4, "settext HWND TEXT");
  Bytes t = textArg(argv[3]);
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(liveWindow(argv[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()), SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &r))
    no("WM_SETTEXT not answered (%lu)", GetLastError());
  return 0;
}

// style HWND: "STYLE EXSTYLE" in hex.
int cmdStyle(int argc, char** argv) {
  need(argc, 3, "style HWND");
  HWND h = liveWindow(argv[2]);
  out("0x%08lX 0x%08lX\n", static_cast<unsigned long>(GetWindowLongA(h, GWL_STYLE)),
      static_cast<unsigned long>(GetWindowLongA(h, GWL_EXSTYLE)));
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

// kill PID: end that Windows process (for clean-up of a hung program).
int cmdKill(int argc, char** argv) {
  need(argc, 3, "kill PID");
  HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(numArg(argv[2])));
  if (!p) return 1;
  BOOL ok = TerminateProcess(p, 1);
  if (ok) WaitForSingleObject(p, 5000);
  CloseHandle(p);
  return ok ? 0 : 1;
}

// foreground: "HWND TITLEHEX" of the foreground window ("0x0 -" if none).
int cmdForeground(int, char**) {
  HWND h = GetForegroundWindow();
  out("%s %s\n", hwndText(h).c_str(), h ? hex(captionText(h)).c_str() : "-");
  return 0;
}

// setfg HWND: SetForegroundWindow; exit 1 if the window did not become the
// foreground window within a second.
int cmdSetForeground(int argc, char** argv) {
  need(argc, 3, "setfg HWND");
  HWND h = liveWindow(argv[2]);
  for (int i = 0; i < 50; ++i) {
    SetForegroundWindow(h);
    if (GetForegroundWindow() == h) return 0;
    Sleep(20);
  }
  return 1;
}

// post HWND MSG WPARAM LPARAM: PostMessage; MSG is a number or a WM_ name.
int cmdPost(int argc, char** argv) {
  need(argc, 6, "post HWND MSG WPARAM LPARAM");
  HWND h = liveWindow(argv[2]);
  if (!PostMessageA(h, messageArg(argv[3]), static_cast<WPARAM>(numArg(argv[4])), static_cast<LPARAM>(numArg(argv[5]))))
    fail("PostMessage failed (%lu)", GetLastError());
  return 0;
}

// send HWND MSG WPARAM LPARAM [TIMEOUT_MS]: SendMessageTimeout; prints
// "result N"; exit 1 on time-out.
int cmdSend(int argc, char** argv) {
  need(argc, 6, "send HWND MSG WPARAM LPARAM [TIMEOUT_MS]");
  HWND h = liveWindow(argv[2]);
  DWORD timeout = argc > 6 ? static_cast<DWORD>(numArg(argv[6])) : kSendTimeoutMs;
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(h, messageArg(argv[3]), static_cast<WPARAM>(numArg(argv[4])),
                           static_cast<LPARAM>(numArg(argv[5])), SMTO_ABORTIFHUNG, timeout, &r))
    return 1;
  out("result %lld\n", static_cast<long long>(static_cast<LRESULT>(r)));
  return 0;
}

// mapdlg HWND X Y W H [X Y W H ...]: dialog units to pixels for a dialog
// with the bar's template font; one "X Y W H" line per rectangle. Each
// value is mapped on its own, as the dialog manager maps control positions
// and sizes. HWND ("-" allowed) only names the dialog: a font of another
// process cannot be read, so the font is always the bar's.
int cmdMapDlg(int argc, char** argv) {
  need(argc, 7, "mapdlg HWND X Y W H [X Y W H ...]");
  if ((argc - 3) % 4) fail("mapdlg wants groups of four numbers");
  if (strcmp(argv[2], "-") != 0) liveWindow(argv[2]);
  HWND dlg = makeMeasuringDialog(L"ＭＳ Ｐゴシック", 9);
  for (int i = 3; i + 3 < argc; i += 4) {
    RECT r{static_cast<LONG>(numArg(argv[i])), static_cast<LONG>(numArg(argv[i + 1])),
           static_cast<LONG>(numArg(argv[i + 2])), static_cast<LONG>(numArg(argv[i + 3]))};
    MapDialogRect(dlg, &r);
    out("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  }
  DestroyWindow(dlg);
  return 0;
}

// dlgunits [FACE POINTS]: the dialog base units "CX CY" of a DS_SETFONT
// dialog with that font (default the bar's): 4 horizontal dialog units are
// CX pixels, 8 vertical ones CY pixels.
int cmdDlgUnits(int argc, char** argv) {
  HWND dlg = measuringDialog(argc, argv, 2);
  RECT r{0, 0, 4, 8};
  MapDialogRect(dlg, &r);
  out("%ld %ld\n", r.right, r.bottom);
  DestroyWindow(dlg);
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

// cursor: the cursor position "X Y".
int cmdCursor(int, char**) {
  POINT p{};
  GetCursorPos(&p);
  out("%ld %ld\n", p.x, p.y);
  return 0;
}

// keys CHORD...: synthesize keys inside Wine (they reach the Wine
// foreground window), e.g. "keys ctrl+shift+w", "keys esc", "keys s".
int cmdKeys(int argc, char** argv) {
  need(argc, 3, "keys CHORD...");
  for (int i = 2; i < argc; ++i) {
    chord(argv[i]);
    Sleep(30);
  }
  return 0;
}

// clipget: the clipboard's CF_TEXT as HEX, or "none".
int cmdClipGet(int, char**) {
  for (int i = 0; !OpenClipboard(nullptr); ++i) {
    if (i == 50) fail("cannot open the clipboard");
    Sleep(20);
  }
  HANDLE d = GetClipboardData(CF_TEXT);
  if (!d) {
    CloseClipboard();
    out("none\n");
    return 0;
  }
  const char* p = static_cast<const char*>(GlobalLock(d));
  Bytes t = p ? Bytes(p, strnlen(p, GlobalSize(d))) : Bytes();
  GlobalUnlock(d);
  CloseClipboard();
  out("%s\n", hex(t).c_str());
  return 0;
}

// clipset TEXT: put TEXT on the clipboard as CF_TEXT ("clipset -" empties it).
int cmdClipSet(int argc, char** argv) {
  need(argc, 3, "clipset TEXT");
  for (int i = 0; !OpenClipboard(nullptr); ++i) {
    if (i == 50) fail("cannot open the clipboard");
    Sleep(20);
  }
  EmptyClipboard();
  if (strcmp(argv[2], "-") != 0) {
    Bytes t = textArg(argv[2]);
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, t.size() + 1);
    char* p = static_cast<char*>(GlobalLock(g));
    memcpy(p, t.c_str(), t.size() + 1);
    GlobalUnlock(g);
    SetClipboardData(CF_TEXT, g);
  }
  CloseClipboard();
  return 0;
}

// dropfiles HWND X Y PATH...: deliver WM_DROPFILES as if the files had been
// dropped at client point (X, Y). The DROPFILES block is written into the
// window's process, where the handle must be valid.
int cmdDropFiles(int argc, char** argv) {
  need(argc, 6, "dropfiles HWND X Y PATH...");
  HWND h = liveWindow(argv[2]);
  Bytes files;
  for (int i = 5; i < argc; ++i) {
    files += textArg(argv[i]);
    files += '\0';
  }
  files += '\0';
  DROPFILES df{};
  df.pFiles = sizeof df;
  df.pt.x = static_cast<LONG>(numArg(argv[3]));
  df.pt.y = static_cast<LONG>(numArg(argv[4]));
  df.fNC = FALSE;
  df.fWide = FALSE;
  Bytes block(reinterpret_cast<const char*>(&df), sizeof df);
  block += files;
  HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, windowPid(h));
  if (!p) fail("cannot open the process of %s (%lu)", argv[2], GetLastError());
  void* remote = VirtualAllocEx(p, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote || !WriteProcessMemory(p, remote, block.data(), block.size(), nullptr))
    fail("cannot write into the process of %s (%lu)", argv[2], GetLastError());
  CloseHandle(p);
  if (!PostMessageA(h, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0))
    fail("PostMessage failed (%lu)", GetLastError());
  return 0;
}

// mkwindow TITLE [CLASS [X Y W H]]: create a visible top-level window with
// that title and class (CLASS "-" for a default), bring it to the
// foreground, print "HWND PID", then pump messages until it gets WM_CLOSE.
int cmdMkWindow(int argc, char** argv) {
  need(argc, 3, "mkwindow TITLE [CLASS [X Y W H]]");
  Bytes title = textArg(argv[2]);
  std::string cls = (argc > 3 && strcmp(argv[3], "-") != 0) ? textArg(argv[3]) : "TavrinTestForeign";
  int x = 600, y = 500, w = 320, hgt = 200;
  if (argc > 7) {
    x = static_cast<int>(numArg(argv[4]));
    y = static_cast<int>(numArg(argv[5]));
    w = static_cast<int>(numArg(argv[6]));
    hgt = static_cast<int>(numArg(argv[7]));
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = quitOnClose;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = cls.c_str();
  if (!RegisterClassA(&wc)) fail("RegisterClass failed (%lu)", GetLastError());
  HWND h = CreateWindowExA(0, cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, hgt, nullptr,
                           nullptr, wc.hInstance, nullptr);
  if (!h) fail("CreateWindow failed (%lu)", GetLastError());
  SetWindowTextA(h, title.c_str());  // the title exactly, whatever the class did
  SetForegroundWindow(h);
  out("%s %lu\n", hwndText(h).c_str(), GetCurrentProcessId());
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}

// regclear: delete HKCU\Software\Brannock\TAVRIN with everything under it.
int cmdRegClear(int, char**) {
  LONG e = RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsRoot);
  if (e != ERROR_SUCCESS && e != ERROR_FILE_NOT_FOUND) fail("cannot delete %s (%ld)", kSettingsRoot, e);
  return 0;
}

// regsetsz SECTION KEY HEX: a REG_SZ of exactly those bytes plus the
// terminating zero.
int cmdRegSetSz(int argc, char** argv) {
  need(argc, 5, "regsetsz SECTION KEY HEX");
  Bytes data = unhex(argv[4]);
  data += '\0';
  setValue(argv[2], argv[3], REG_SZ, data);
  return 0;
}

// regsetdw SECTION KEY VALUE: a REG_DWORD (negative values wrap: -3 is
// 0xFFFFFFFD).
int cmdRegSetDw(int argc, char** argv) {
  need(argc, 5, "regsetdw SECTION KEY VALUE");
  DWORD v = static_cast<DWORD>(numArg(argv[4]));
  setValue(argv[2], argv[3], REG_DWORD, Bytes(reinterpret_cast<const char*>(&v), sizeof v));
  return 0;
}

// regsetraw SECTION KEY TYPE HEX: any type (name such as REG_BINARY or a
// number), exactly those bytes.
int cmdRegSetRaw(int argc, char** argv) {
  need(argc, 6, "regsetraw SECTION KEY TYPE HEX");
  setValue(argv[2], argv[3], typeArg(argv[4]), unhex(argv[5]));
  return 0;
}

// regget SECTION KEY: "missing", or "TYPE HEX" (TYPE a name such as REG_SZ
// or REG_DWORD, or a number; REG_SZ data include the terminating zero).
int cmdRegGet(int argc, char** argv) {
  need(argc, 4, "regget SECTION KEY");
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, sectionPath(argv[2]).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
    out("missing\n");
    return 0;
  }
  DWORD type = 0, size = 0;
  LONG e = RegQueryValueExA(k, argv[3], nullptr, &type, nullptr, &size);
  if (e != ERROR_SUCCESS) {
    RegCloseKey(k);
    out("missing\n");
    return 0;
  }
  std::vector<BYTE> data(size + 2, 0);
  DWORD got = size;
  e = RegQueryValueExA(k, argv[3], nullptr, &type, data.data(), &got);
  RegCloseKey(k);
  if (e != ERROR_SUCCESS) fail("cannot read %s\\%s (%ld)", argv[2], argv[3], e);
  out("%s %s\n", typeName(type).c_str(), hex(Bytes(reinterpret_cast<char*>(data.data()), got)).c_str());
  return 0;
}

// regdel SECTION [KEY]: delete one value, or the whole section.
int cmdRegDel(int argc, char** argv) {
  need(argc, 3, "regdel SECTION [KEY]");
  LONG e;
  if (argc > 3) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, sectionPath(argv[2]).c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS)
      return 0;
    e = RegDeleteValueA(k, argv[3]);
    RegCloseKey(k);
  } else {
    e = RegDeleteTreeA(HKEY_CURRENT_USER, sectionPath(argv[2]).c_str());
  }
  if (e != ERROR_SUCCESS && e != ERROR_FILE_NOT_FOUND) fail("cannot delete (%ld)", e);
  return 0;
}

// regdump: every value under the settings root, "SECTION KEY TYPE HEX".
int cmdRegDump(int, char**) {
  HKEY root = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsRoot, 0, KEY_READ, &root) != ERROR_SUCCESS) return 0;
  dumpValues(root, "- ");
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof name;
    if (RegEnumKeyExA(root, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, name, 0, KEY_READ, &k) != ERROR_SUCCESS) continue;
    dumpValues(k, std::string(name) + " ");
    RegCloseKey(k);
  }
  RegCloseKey(root);
  return 0;
}

// acp: the ANSI and OEM code pages ("932 932" on a Japanese set-up).
int cmdAcp(int, char**) {
  out("%u %u\n", GetACP(), GetOEMCP());
  return 0;
}

struct Entry {
  const char* name;
  Command run;
};

const Entry kCommands[] = {
    {"find", cmdFind},         {"count", cmdCount},       {"list", cmdList},           {"info", cmdInfo},
    {"wait", cmdWait},         {"waitgone", cmdWaitGone}, {"waitdead", cmdWaitDead},   {"stable", cmdStable},
    {"rect", cmdRect},         {"client", cmdClient},     {"children", cmdChildren},   {"text", cmdText},
    {"settext", cmdSetText},   {"style", cmdStyle},       {"topmost", cmdTopmost},     {"pid", cmdPid},
    {"kill", cmdKill},         {"foreground", cmdForeground}, {"setfg", cmdSetForeground}, {"post", cmdPost},
    {"send", cmdSend},         {"mapdlg", cmdMapDlg},     {"dlgunits", cmdDlgUnits},   {"menu", cmdMenu},
    {"cursor", cmdCursor},     {"keys", cmdKeys},         {"clipget", cmdClipGet},     {"clipset", cmdClipSet},
    {"dropfiles", cmdDropFiles}, {"mkwindow", cmdMkWindow}, {"regclear", cmdRegClear}, {"regsetsz", cmdRegSetSz},
    {"regsetdw", cmdRegSetDw}, {"regsetraw", cmdRegSetRaw}, {"regget", cmdRegGet},     {"regdel", cmdRegDel},
    {"regdump", cmdRegDump},   {"acp", cmdAcp},
};

}  // namespace

int main(int argc, char** argv) {
  programName = "probe";
  // Plain "\n" line ends on the pipe to the tests.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    fputs("usage: probe COMMAND ARGS...; commands:", stderr);
    for (const auto& c : kCommands) fprintf(stderr, " %s", c.name);
    fputc('\n', stderr);
    return 2;
  }
  for (const auto& c : kCommands)
    if (strcmp(argv[1], c.name) == 0) return c.run(argc, argv);
  fail("unknown command '%s'", argv[1]);
}
