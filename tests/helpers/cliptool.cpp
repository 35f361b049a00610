// cliptool.exe: clipboard and timing helpers for the delivery tests. Runs
// under Wine next to TAVRIN.EXE.
//
//   cliptool                 (no arguments) shows a small window titled
//                            "cliptool started" until WM_CLOSE: a program
//                            for the launch buttons to start, easy to see
//   cliptool hold [TEXT] [TIMEOUT_MS]
//                            opens the clipboard and keeps it open; with TEXT
//                            (not "-") it first puts TEXT there as CF_TEXT.
//                            Prints "held HWND", HWND being a message-only
//                            window; post it WM_CLOSE to let go (or wait for
//                            TIMEOUT_MS, default 120000). Prints "released"
//                            after CloseClipboard.
//   cliptool info            "owner HWND" (0x0 when none), then one line
//                            "format N" per format on the clipboard
//   cliptool waittext HWND TEXT TIMEOUT_MS
//                            prints "ready", then polls the window's text
//                            (WM_GETTEXT) about every millisecond until it
//                            is exactly TEXT; prints "match MS" (milliseconds
//                            since "ready") and exits 0, or exits 1 on
//                            time-out after printing "timeout HEX" (the last
//                            text read)
//
// TEXT is "hex:..." for exact (Shift-JIS) bytes, as with probe.exe; texts
// are printed as hexadecimal ("-" when empty).
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


bool openClipboard(HWND owner) {
  for (int i = 0; i < 250; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(20);
  }
  return false;
}

HWND makeWindow(const char* cls, const char* title, HWND parent, DWORD style) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = quitOnClose;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = cls;
  if (!RegisterClassA(&wc)) fail("RegisterClass failed (%lu)", GetLastError());
  HWND h = CreateWindowExA(0, cls, title, style, 700, 600, 260, 120, parent, nullptr, wc.hInstance, nullptr);
  if (!h) fail("CreateWindow failed (%lu)", GetLastError());
  return h;
}

// Pumps messages until WM_QUIT or until the time-out; true on WM_QUIT.
bool pumpUntilQuit(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) return true;
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
  }
}

// ---------------------------------------------------------------- commands

int cmdStarted() {
  HWND h = makeWindow("TavrinTestLaunched", "cliptool started", nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  out("started %s\n", hwndText(h).c_str());
  pumpUntilQuit(INFINITE);
  return 0;
}

int cmdHold(int argc, char** argv) {
  bool put = argc > 2 && strcmp(argv[2], "-") != 0;
  Bytes text = put ? textArg(argv[2]) : Bytes();
  DWORD timeout = argc > 3 ? static_cast<DWORD>(numArg(argv[3])) : 120000;
  HWND h = makeWindow("TavrinTestClipHolder", "", HWND_MESSAGE, 0);
  if (!openClipboard(h)) fail("cannot open the clipboard (%lu)", GetLastError());
  if (put) {
    EmptyClipboard();
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    char* p = static_cast<char*>(GlobalLock(g));
    memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(g);
    if (!SetClipboardData(CF_TEXT, g)) fail("SetClipboardData failed (%lu)", GetLastError());
  }
  out("held %s\n", hwndText(h).c_str());
  pumpUntilQuit(timeout);
  CloseClipboard();
  out("released\n");
  return 0;
}

int cmdInfo() {
  if (!openClipboard(nullptr)) fail("cannot open the clipboard (%lu)", GetLastError());
  HWND owner = GetClipboardOwner();
  std::vector<UINT> formats;
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) formats.push_back(f);
  CloseClipboard();
  out("owner %s\n", hwndText(owner).c_str());
  for (UINT f : formats) out("format %u\n", f);
  return 0;
}

bool readText(HWND h, Bytes& text) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &len)) return false;
  std::vector<char> buf(len * 2 + 64, 0);
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 1000,
                           &got))
    return false;
  text.assign(buf.data(), strnlen(buf.data(), buf.size()));
  return true;
}

int cmdWaitText(int argc, char** argv) {
  if (argc < 5) fail("usage: cliptool waittext HWND TEXT TIMEOUT_MS");
  HWND h = hwndArg(argv[2]);
  if (!IsWindow(h)) fail("no window %s", argv[2]);
  Bytes want = textArg(argv[3]);
  double timeoutMs = static_cast<double>(numArg(argv[4]));
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  Bytes last;
  out("ready\n");
  QueryPerformanceCounter(&start);
  for (;;) {
    bool ok = readText(h, last);
    QueryPerformanceCounter(&now);
    double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
    if (ok && last == want) {
      out("match %.1f\n", ms);
      return 0;
    }
    if (ms >= timeoutMs) {
      out("timeout %s\n", hex(last).c_str());
      return 1;
    }
    Sleep(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  programName = "cliptool";
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return cmdStarted();
  if (strcmp(argv[1], "hold") == 0) return cmdHold(argc, argv);
  if (strcmp(argv[1], "info") == 0) return cmdInfo();
  if (strcmp(argv[1], "waittext") == 0) return cmdWaitText(argc, argv);
  fail("unknown command '%s'", argv[1]);
}
