// probe.exe: driving windows of other programs (messages, texts, the
// foreground, dropped files), keys synthesized inside Wine, the clipboard,
// and a plain window of "another program".
#include <windows.h>
#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "probe.h"

namespace probe {

namespace {

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

}  // namespace

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
// dropped at client point (X, Y), and wait for it to be handled. The DROPFILES block is written into the
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
  const bool written = remote && WriteProcessMemory(p, remote, block.data(), block.size(), nullptr);
  const DWORD error = GetLastError();
  CloseHandle(p);  // on every path: probe serve lives on after a failed command
  if (!written) fail("cannot write into the process of %s (%lu)", argv[2], error);
  // Sent, not posted: the command returns once the window has handled the
  // drop (or after 2 s, when a message box it shows holds it up), so that a
  // look at the clipboard never races the window for it.
  DWORD_PTR unused = 0;
  SendMessageTimeoutA(h, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0, SMTO_NORMAL, 2000, &unused);
  return 0;
}

namespace {

// The windows probe keeps open in a process of its own: closing one ends the
// process; a hot key it holds is reported as "hotkey ID".
LRESULT CALLBACK holderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_HOTKEY) {
    out("hotkey %llu\n", static_cast<unsigned long long>(w));
    return 0;
  }
  return quitOnClose(h, m, w, l);
}

HWND makeWindow(const std::string& cls, const Bytes& title, DWORD exStyle, DWORD style, int brush, char** rect) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = holderProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(brush + 1));
  wc.lpszClassName = cls.c_str();
  if (!RegisterClassA(&wc)) fail("RegisterClass failed (%lu)", GetLastError());
  int r[4] = {600, 500, 320, 200};  // X Y W H
  for (int i = 0; rect && i < 4; ++i) r[i] = static_cast<int>(numArg(rect[i]));
  HWND h = CreateWindowExA(exStyle, cls.c_str(), title.c_str(), style, r[0], r[1], r[2], r[3], nullptr, nullptr,
                           wc.hInstance, nullptr);
  if (!h) fail("CreateWindow failed (%lu)", GetLastError());
  SetWindowTextA(h, title.c_str());  // the title exactly, whatever the class did
  return h;
}

int pump() {
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}

}  // namespace

// move HWND X Y W H: SetWindowPos with no z-order change and no activation.
int cmdMove(int argc, char** argv) {
  need(argc, 7, "move HWND X Y W H");
  HWND h = liveWindow(argv[2]);
  if (!SetWindowPos(h, nullptr, static_cast<int>(numArg(argv[3])), static_cast<int>(numArg(argv[4])),
                    static_cast<int>(numArg(argv[5])), static_cast<int>(numArg(argv[6])), SWP_NOZORDER | SWP_NOACTIVATE))
    fail("SetWindowPos failed (%lu)", GetLastError());
  return 0;
}

// mkwindow TITLE [CLASS [X Y W H]]: create a visible top-level window with
// that title and class (CLASS "-" for a default), bring it to the
// foreground, print "HWND PID", then pump messages until it gets WM_CLOSE.
int cmdMkWindow(int argc, char** argv) {
  need(argc, 3, "mkwindow TITLE [CLASS [X Y W H]]");
  std::string cls = (argc > 3 && strcmp(argv[3], "-") != 0) ? textArg(argv[3]) : "TavrinTestForeign";
  HWND h = makeWindow(cls, textArg(argv[2]), 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, COLOR_WINDOW,
                      argc > 7 ? argv + 4 : nullptr);
  SetForegroundWindow(h);
  out("%s %lu\n", hwndText(h).c_str(), GetCurrentProcessId());
  return pump();
}

// holdtopmost TITLE X Y W H: a visible, always-on-top window shown without
// being activated; prints "window HWND PID", then pumps as mkwindow.
int cmdHoldTopmost(int argc, char** argv) {
  need(argc, 7, "holdtopmost TITLE X Y W H");
  HWND h = makeWindow("TavrinTestTopmost", textArg(argv[2]), WS_EX_TOPMOST, WS_POPUP | WS_BORDER, COLOR_HIGHLIGHT,
                      argv + 3);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  out("window %s %lu\n", hwndText(h).c_str(), GetCurrentProcessId());
  return pump();
}

// holdhotkey MODS VK: a hidden window that registers hot key 1 (MOD_* flags
// MODS, virtual key VK); prints "window HWND PID", then "registered 1" or
// "registered 0 ERROR", then "hotkey ID" for every WM_HOTKEY until WM_CLOSE.
int cmdHoldHotKey(int argc, char** argv) {
  need(argc, 4, "holdhotkey MODS VK");
  HWND h = makeWindow("TavrinTestHotKeyHolder", "TavrinTestHotKeyHolder", 0, WS_POPUP, COLOR_HIGHLIGHT, nullptr);
  out("window %s %lu\n", hwndText(h).c_str(), GetCurrentProcessId());
  if (RegisterHotKey(h, 1, static_cast<UINT>(numArg(argv[2])), static_cast<UINT>(numArg(argv[3]))))
    out("registered 1\n");
  else
    out("registered 0 %lu\n", GetLastError());
  return pump();
}

extern const Command kActionCommands[] = {
    {"settext", cmdSetText}, {"kill", cmdKill}, {"setfg", cmdSetForeground}, {"post", cmdPost}, {"send", cmdSend},
    {"keys", cmdKeys}, {"clipget", cmdClipGet}, {"clipset", cmdClipSet}, {"dropfiles", cmdDropFiles},
    {"move", cmdMove}, {"mkwindow", cmdMkWindow}, {"holdtopmost", cmdHoldTopmost}, {"holdhotkey", cmdHoldHotKey}, {},
};

}  // namespace probe
