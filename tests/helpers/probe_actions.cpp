// probe.exe: driving windows of other programs (messages, texts, the
// foreground, dropped files), keys synthesized inside Wine, the clipboard,
// and windows of "another program" that it holds in a process of its own.
#include <windows.h>
#include <shlobj.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "probe.h"

namespace probe {

void* copyInto(HWND h, const Bytes& data) {
  HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, windowPid(h));
  if (!p) fail("cannot open the process of %s (%lu)", hwndText(h).c_str(), GetLastError());
  void* remote = VirtualAllocEx(p, nullptr, data.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool written = remote && WriteProcessMemory(p, remote, data.data(), data.size(), nullptr);
  const DWORD error = GetLastError();
  CloseHandle(p);  // on every path: probe serve lives on after a failed command
  if (!written) fail("cannot write into the process of %s (%lu)", hwndText(h).c_str(), error);
  return remote;
}

namespace {

// A message as a number or one of the names the tests and scripts use.
UINT messageArg(const char* s) {
  const std::pair<const char*, UINT> names[] = {
      {"WM_CLOSE", WM_CLOSE}, {"WM_COMMAND", WM_COMMAND}, {"WM_SYSCOMMAND", WM_SYSCOMMAND}, {"WM_APP", WM_APP}};
  for (const auto& [name, value] : names)
    if (_stricmp(s, name) == 0) return value;
  return static_cast<UINT>(numArg(s));
}

// A key: a name below, a letter or digit, or F1 to F24.
BYTE keyArg(const std::string& k) {
  const std::pair<const char*, BYTE> names[] = {{"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU},
                                                {"esc", VK_ESCAPE},   {"enter", VK_RETURN}, {"tab", VK_TAB},
                                                {"space", VK_SPACE}};
  for (const auto& [name, vk] : names)
    if (_stricmp(k.c_str(), name) == 0) return vk;
  if (k.size() == 1 && isalnum(static_cast<unsigned char>(k[0])))
    return static_cast<BYTE>(toupper(static_cast<unsigned char>(k[0])));
  const int f = (k[0] == 'f' || k[0] == 'F') && k.size() <= 3 ? atoi(k.c_str() + 1) : 0;
  if (f >= 1 && f <= 24) return static_cast<BYTE>(VK_F1 + f - 1);
  fail("unknown key '%s'", k.c_str());
}

// settext HWND TEXT: WM_SETTEXT from outside.
int cmdSetText(int argc, char** argv) {
  need(argc, 4, "settext HWND TEXT");
  const Bytes t = textArg(argv[3]);
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(liveWindow(argv[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()), SMTO_ABORTIFHUNG,
                           5000, &r))
    no("WM_SETTEXT not answered (%lu)", GetLastError());
  return 0;
}

// kill PID: end that Windows process (for clean-up of a hung program).
int cmdKill(int argc, char** argv) {
  need(argc, 3, "kill PID");
  HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(numArg(argv[2])));
  if (!p) return 1;
  const BOOL ok = TerminateProcess(p, 1);
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

// post HWND MSG WPARAM LPARAM: PostMessage.
int cmdPost(int argc, char** argv) {
  need(argc, 6, "post HWND MSG WPARAM LPARAM");
  if (!PostMessageA(liveWindow(argv[2]), messageArg(argv[3]), static_cast<WPARAM>(numArg(argv[4])),
                    static_cast<LPARAM>(numArg(argv[5]))))
    fail("PostMessage failed (%lu)", GetLastError());
  return 0;
}

// send HWND MSG WPARAM LPARAM [TIMEOUT_MS]: SendMessageTimeout; prints
// "result N"; exit 1 on time-out. LPARAM "@HEX" points at a copy of those
// bytes in the window's process (a pointer no system carries across
// processes for that message), printed as the window left it: "data HEX".
int cmdSend(int argc, char** argv) {
  need(argc, 6, "send HWND MSG WPARAM LPARAM|@HEX [TIMEOUT_MS]");
  HWND h = liveWindow(argv[2]);
  Bytes data = argv[5][0] == '@' ? unhex(argv[5] + 1) : Bytes();
  void* remote = argv[5][0] == '@' ? copyInto(h, data) : nullptr;
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(h, messageArg(argv[3]), static_cast<WPARAM>(numArg(argv[4])),
                           remote ? reinterpret_cast<LPARAM>(remote) : static_cast<LPARAM>(numArg(argv[5])),
                           SMTO_ABORTIFHUNG, argc > 6 ? static_cast<DWORD>(numArg(argv[6])) : 5000, &r))
    return 1;
  out("result %lld\n", static_cast<long long>(static_cast<LRESULT>(r)));
  HANDLE p = remote ? OpenProcess(PROCESS_VM_READ, FALSE, windowPid(h)) : nullptr;
  if (p && ReadProcessMemory(p, remote, data.data(), data.size(), nullptr)) out("data %s\n", hex(data).c_str());
  if (p) CloseHandle(p);
  return 0;
}

// keys CHORD...: synthesize keys inside Wine (they reach the Wine
// foreground window); "ctrl+shift+w" presses in order and releases in
// reverse order.
int cmdKeys(int argc, char** argv) {
  need(argc, 3, "keys CHORD...");
  for (int i = 2; i < argc; ++i) {
    std::vector<BYTE> keys;
    std::istringstream parts(argv[i]);
    for (std::string part; std::getline(parts, part, '+');) keys.push_back(keyArg(part));
    for (BYTE vk : keys) keybd_event(vk, static_cast<BYTE>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)), 0, 0);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
      keybd_event(*it, static_cast<BYTE>(MapVirtualKeyA(*it, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP, 0);
    Sleep(30);
  }
  return 0;
}

// clipget: the clipboard's CF_TEXT as HEX, or "none".
int cmdClipGet(int, char**) {
  openClipboard(nullptr);
  out("%s\n", clipHex(CF_TEXT, 1).c_str());
  CloseClipboard();
  return 0;
}

// clipset TEXT: put TEXT alone on the clipboard as CF_TEXT.
int cmdClipSet(int argc, char** argv) {
  need(argc, 3, "clipset TEXT");
  openClipboard(nullptr);
  putText(textArg(argv[2]));
  CloseClipboard();
  return 0;
}

// dropfiles HWND X Y PATH...: deliver WM_DROPFILES as if the files had been
// dropped at client point (X, Y), and wait for it to be handled.
int cmdDropFiles(int argc, char** argv) {
  need(argc, 6, "dropfiles HWND X Y PATH...");
  HWND h = liveWindow(argv[2]);
  DROPFILES df{};
  df.pFiles = sizeof df;
  df.pt = {static_cast<LONG>(numArg(argv[3])), static_cast<LONG>(numArg(argv[4]))};
  Bytes block(reinterpret_cast<const char*>(&df), sizeof df);
  for (int i = 5; i < argc; ++i) block += textArg(argv[i]) + '\0';
  block += '\0';
  // Sent, not posted: the command returns once the window has handled the
  // drop (or after 2 s, when a message box it shows holds it up), so that a
  // look at the clipboard never races the window for it.
  DWORD_PTR unused = 0;
  SendMessageTimeoutA(h, WM_DROPFILES, reinterpret_cast<WPARAM>(copyInto(h, block)), 0, SMTO_NORMAL, 2000, &unused);
  return 0;
}

Place placeArg(char** xywh) {
  return {static_cast<int>(numArg(xywh[0])), static_cast<int>(numArg(xywh[1])), static_cast<int>(numArg(xywh[2])),
          static_cast<int>(numArg(xywh[3]))};
}

// move HWND X Y W H: SetWindowPos with no z-order change and no activation.
int cmdMove(int argc, char** argv) {
  need(argc, 7, "move HWND X Y W H");
  const Place at = placeArg(argv + 3);
  if (!SetWindowPos(liveWindow(argv[2]), nullptr, at.x, at.y, at.w, at.h, SWP_NOZORDER | SWP_NOACTIVATE))
    fail("SetWindowPos failed (%lu)", GetLastError());
  return 0;
}

// The windows probe holds: closing one ends the process; a hot key it holds
// is reported as "hotkey ID".
LRESULT CALLBACK holderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m != WM_HOTKEY) return quitOnClose(h, m, w, l);
  out("hotkey %llu\n", static_cast<unsigned long long>(w));
  return 0;
}

// Prints "window HWND PID" (and `then`), and pumps messages until the window
// is closed.
int hold(HWND h, const std::string& then = "") {
  out("window %s %lu\n%s", hwndText(h).c_str(), GetCurrentProcessId(), then.c_str());
  pump();
  return 0;
}

// mkwindow TITLE [CLASS [X Y W H]]: a visible top-level window with that
// title and class (CLASS "-" for a default), brought to the foreground.
int cmdMkWindow(int argc, char** argv) {
  need(argc, 3, "mkwindow TITLE [CLASS [X Y W H]]");
  const std::string cls = (argc > 3 && strcmp(argv[3], "-") != 0) ? textArg(argv[3]) : "TavrinTestForeign";
  HWND h = makeWindow(cls.c_str(), textArg(argv[2]), holderProc, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                      argc > 7 ? placeArg(argv + 4) : Place{});
  SetForegroundWindow(h);
  return hold(h);
}

// holdtopmost TITLE X Y W H: a visible, always-on-top window shown without
// being activated.
int cmdHoldTopmost(int argc, char** argv) {
  need(argc, 7, "holdtopmost TITLE X Y W H");
  HWND h = makeWindow("TavrinTestTopmost", textArg(argv[2]), holderProc, WS_POPUP | WS_BORDER, WS_EX_TOPMOST,
                      placeArg(argv + 3), nullptr, COLOR_HIGHLIGHT);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  return hold(h);
}

// holdhotkey MODS VK: a hidden window that registers hot key 1 (MOD_* flags
// MODS, virtual key VK); prints "registered 1" or "registered 0 ERROR" after
// its window line.
int cmdHoldHotKey(int argc, char** argv) {
  need(argc, 4, "holdhotkey MODS VK");
  HWND h = makeWindow("TavrinTestHotKeyHolder", "TavrinTestHotKeyHolder", holderProc, WS_POPUP, 0, {}, nullptr,
                      COLOR_HIGHLIGHT);
  if (RegisterHotKey(h, 1, static_cast<UINT>(numArg(argv[2])), static_cast<UINT>(numArg(argv[3]))))
    return hold(h, "registered 1\n");
  return hold(h, "registered 0 " + std::to_string(GetLastError()) + "\n");
}

}  // namespace

extern const Command kActionCommands[] = {
    {"settext", cmdSetText}, {"kill", cmdKill}, {"setfg", cmdSetForeground}, {"post", cmdPost}, {"send", cmdSend},
    {"keys", cmdKeys}, {"clipget", cmdClipGet}, {"clipset", cmdClipSet}, {"dropfiles", cmdDropFiles},
    {"move", cmdMove}, {"mkwindow", cmdMkWindow}, {"holdtopmost", cmdHoldTopmost}, {"holdhotkey", cmdHoldHotKey}, {},
};

}  // namespace probe
