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
//                            "format N [NAME]" per format on the clipboard
//   cliptool unicode         prints CF_UNICODETEXT as hexadecimal UTF-16LE
//   cliptool slowowner MS    owns the clipboard with CF_TEXT and four private
//                            formats, all rendered late, each MS ms after it
//                            is asked for ("render N" per request)
//   cliptool pastetarget TITLE MS [child]
//                            a window ("window HWND") that on Ctrl+V reads
//                            CF_TEXT MS ms later with a window of its own, or
//                            with child: through a child process it starts;
//                            prints "pasted HEX"
//   cliptool waittext HWND TEXT TIMEOUT_MS
//                            prints "ready", then polls the window's text
//                            (WM_GETTEXT) about every millisecond until it
//                            is exactly TEXT; prints "match MS" (milliseconds
//                            since "ready") and exits 0, or exits 1 on
//                            time-out after printing "timeout HEX" (the last
//                            text read)
//
//   cliptool setall TEXT HEX SEED [UTF16HEX]
//                            puts three formats on the clipboard: TEXT as
//                            CF_TEXT, the bytes HEX as the registered format
//                            "TavrinTestBinary", and a 16 x 8 CF_BITMAP whose
//                            pixels follow from SEED; with UTF16HEX also
//                            that as CF_UNICODETEXT, after CF_TEXT
//   cliptool dump            prints "text HEX", "binary HEX" and "bitmap W H
//                            HEX" (32-bit pixels, top-down) for what the
//                            clipboard holds of these, "none" for a missing
//                            one. Opens the clipboard with its own window.
//   cliptool watch HWND TEXT TIMEOUT_MS [read]
//                            a clipboard format listener: prints "ready",
//                            then "update MS binary=0|1" for every change
//                            (with read: it opens the clipboard with its own
//                            window at once and prints "update MS binary=0|1
//                            text=HEX"); meanwhile it polls the edit HWND and
//                            prints "pasted MS" when it holds exactly TEXT.
//                            Ends ("end") 1.5 s after "pasted" or after
//                            TIMEOUT_MS. MS counts from "ready". With
//                            readnull it reads with no window. Each update
//                            says "excl=1" when the change is marked to be
//                            kept out of clipboard history.
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
  for (UINT f : formats) {
    char name[128] = "";
    GetClipboardFormatNameA(f, name, sizeof name);
    out("format %u %s\n", f, name);
  }
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

const char kBinaryFormat[] = "TavrinTestBinary";
constexpr int kBitmapWidth = 16, kBitmapHeight = 8;

HGLOBAL blockOf(const Bytes& data, size_t extra) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, data.size() + extra);
  if (!g) fail("GlobalAlloc failed");
  char* p = static_cast<char*>(GlobalLock(g));
  memset(p, 0, data.size() + extra);
  memcpy(p, data.data(), data.size());
  GlobalUnlock(g);
  return g;
}

int cmdSetAll(int argc, char** argv) {
  need(argc, 5, "setall TEXT HEX SEED");
  const Bytes text = textArg(argv[2]), binary = unhex(argv[3]);
  uint32_t seed = static_cast<uint32_t>(numArg(argv[4]));
  std::vector<uint32_t> pixels(kBitmapWidth * kBitmapHeight);
  for (uint32_t& px : pixels) {
    seed = seed * 1664525u + 1013904223u;
    px = seed >> 8;  // no alpha: a device bitmap need not keep it
  }
  HBITMAP bitmap = CreateBitmap(kBitmapWidth, kBitmapHeight, 1, 32, pixels.data());
  if (!bitmap) fail("CreateBitmap failed");
  const UINT binaryFormat = RegisterClipboardFormatA(kBinaryFormat);
  HWND h = makeWindow("TavrinTestClipSetter", "", HWND_MESSAGE, 0);
  if (!openClipboard(h)) fail("cannot open the clipboard (%lu)", GetLastError());
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, blockOf(text, 1)) || !SetClipboardData(binaryFormat, blockOf(binary, 0))
      || !SetClipboardData(CF_BITMAP, bitmap))
    fail("SetClipboardData failed (%lu)", GetLastError());
  if (argc > 5 && !SetClipboardData(CF_UNICODETEXT, blockOf(unhex(argv[5]), 2)))
    fail("SetClipboardData failed (%lu)", GetLastError());
  CloseClipboard();
  out("set\n");
  return 0;
}

// The open clipboard's data of `format`: a text up to its terminator of
// `unit` bytes (1, or 2 for UTF-16), or the whole block with unit 0.
bool clipData(UINT format, size_t unit, Bytes& data) {
  HANDLE g = GetClipboardData(format);
  const char* p = g ? static_cast<const char*>(GlobalLock(g)) : nullptr;
  if (!p) return false;
  size_t size = GlobalSize(g);
  for (size_t i = 0; unit && i + unit <= size; i += unit)
    if (memcmp(p + i, "\0\0", unit) == 0) size = i;
  data.assign(p, size);
  GlobalUnlock(g);
  return true;
}

std::string clipHex(UINT format, size_t unit) {
  Bytes data;
  return clipData(format, unit, data) ? hex(data) : "none";
}

std::string bitmapText(HBITMAP bitmap) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info)) return "none";
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = info.bmWidth;
  bi.bmiHeader.biHeight = -info.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  Bytes bits(static_cast<size_t>(info.bmWidth) * info.bmHeight * 4, '\0');
  HDC dc = GetDC(nullptr);
  const int lines = GetDIBits(dc, bitmap, 0, info.bmHeight, bits.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (lines != info.bmHeight) return "unreadable";
  char size[48];
  snprintf(size, sizeof size, "%ld %ld ", info.bmWidth, info.bmHeight);
  return size + hex(bits);
}

int cmdDump() {
  const UINT binaryFormat = RegisterClipboardFormatA(kBinaryFormat);
  HWND h = makeWindow("TavrinTestClipDumper", "", HWND_MESSAGE, 0);
  if (!openClipboard(h)) fail("cannot open the clipboard (%lu)", GetLastError());
  const std::string text = clipHex(CF_TEXT, 1), binary = clipHex(binaryFormat, 0);
  std::string bitmap = "none";
  if (HANDLE b = GetClipboardData(CF_BITMAP)) bitmap = bitmapText(static_cast<HBITMAP>(b));
  CloseClipboard();
  out("text %s\nbinary %s\nbitmap %s\n", text.c_str(), binary.c_str(), bitmap.c_str());
  return 0;
}

double msSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER freq, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
}

int cmdWatch(int argc, char** argv) {
  need(argc, 5, "watch HWND TEXT TIMEOUT_MS [read|readnull]");
  HWND edit = liveWindow(argv[2]);
  const Bytes want = textArg(argv[3]);
  const double timeoutMs = static_cast<double>(numArg(argv[4]));
  const bool readNull = argc > 5 && strcmp(argv[5], "readnull") == 0;
  const bool read = readNull || (argc > 5 && strcmp(argv[5], "read") == 0);
  const UINT exclude = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
  const UINT binaryFormat = RegisterClipboardFormatA(kBinaryFormat);
  HWND h = makeWindow("TavrinTestClipWatcher", "", HWND_MESSAGE, 0);
  if (!AddClipboardFormatListener(h)) fail("AddClipboardFormatListener failed (%lu)", GetLastError());
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  out("ready\n");
  double pastedAt = -1;
  for (;;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) return 0;
      if (m.hwnd == h && m.message == WM_CLIPBOARDUPDATE) {
        const double at = msSince(start);
        const int binary = IsClipboardFormatAvailable(binaryFormat) ? 1 : 0;
        const int excl = IsClipboardFormatAvailable(exclude) ? 1 : 0;
        if (!read) {
          out("update %.1f excl=%d binary=%d\n", at, excl, binary);
          continue;
        }
        for (int i = 0; i < 1000 && !OpenClipboard(readNull ? nullptr : h); ++i) Sleep(1);
        const std::string text = clipHex(CF_TEXT, 1);
        CloseClipboard();
        out("update %.1f excl=%d binary=%d text=%s\n", at, excl, binary, text.c_str());
        continue;
      }
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    Bytes now;
    if (pastedAt < 0 && readText(edit, now) && now == want) {
      pastedAt = msSince(start);
      out("pasted %.1f\n", pastedAt);
    }
    const double spent = msSince(start);
    if ((pastedAt >= 0 && spent - pastedAt > 1500) || spent > timeoutMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  RemoveClipboardFormatListener(h);
  out("end\n");
  return 0;
}

int cmdUnicode() {
  if (!openClipboard(nullptr)) fail("cannot open the clipboard (%lu)", GetLastError());
  const std::string text = clipHex(CF_UNICODETEXT, 2);
  CloseClipboard();
  out("unicode %s\n", text.c_str());
  return 0;
}

DWORD renderMs = 0;
LRESULT CALLBACK slowOwnerProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_RENDERFORMAT) {
    out("render %u\n", static_cast<UINT>(wp));
    Sleep(renderMs);
    SetClipboardData(static_cast<UINT>(wp), blockOf(Bytes("late"), 1));
    return 0;
  }
  return quitOnClose(h, msg, wp, lp);
}

int cmdSlowOwner(int argc, char** argv) {
  need(argc, 3, "slowowner MS");
  renderMs = static_cast<DWORD>(numArg(argv[2]));
  HWND h = makeWindow("TavrinTestSlowOwner", "", HWND_MESSAGE, 0);
  SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(slowOwnerProc));
  if (!openClipboard(h)) fail("cannot open the clipboard (%lu)", GetLastError());
  EmptyClipboard();
  SetClipboardData(CF_TEXT, nullptr);
  for (const char* name : {"TavrinTestSlow1", "TavrinTestSlow2", "TavrinTestSlow3", "TavrinTestSlow4"})
    SetClipboardData(RegisterClipboardFormatA(name), nullptr);
  CloseClipboard();
  out("owner %s\n", hwndText(h).c_str());
  pumpUntilQuit(120000);
  return 0;
}

// Reads CF_TEXT with a window of its own and sends it to `to` (WM_COPYDATA).
int cmdReadClip(HWND to) {
  HWND h = makeWindow("TavrinTestClipReader", "", HWND_MESSAGE, 0);
  Bytes text;
  if (openClipboard(h)) {
    clipData(CF_TEXT, 1, text);
    CloseClipboard();
  }
  COPYDATASTRUCT data{0, static_cast<DWORD>(text.size()), text.data()};
  SendMessageA(to, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  return 0;
}

struct PasteTarget {
  DWORD delayMs = 0;
  bool child = false;
} pasteTarget;

LRESULT CALLBACK pasteTargetProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN && wp == 'V' && GetKeyState(VK_CONTROL) < 0) {
    SetTimer(h, 1, pasteTarget.delayMs ? pasteTarget.delayMs : 1, nullptr);
    return 0;
  }
  if (msg == WM_TIMER) {
    KillTimer(h, 1);
    if (!pasteTarget.child) return cmdReadClip(h);
    char self[MAX_PATH], line[MAX_PATH + 64];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    snprintf(line, sizeof line, "\"%s\" readclip %s", self, hwndText(h).c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(self, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) fail("CreateProcess");
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
  }
  if (msg == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    out("pasted %s\n", hex(Bytes(static_cast<const char*>(data->lpData), data->cbData)).c_str());
    return TRUE;
  }
  return quitOnClose(h, msg, wp, lp);
}

int cmdPasteTarget(int argc, char** argv) {
  need(argc, 4, "pastetarget TITLE MS [child]");
  pasteTarget.delayMs = static_cast<DWORD>(numArg(argv[3]));
  pasteTarget.child = argc > 4 && strcmp(argv[4], "child") == 0;
  HWND h = makeWindow("TavrinTestPasteTarget", textArg(argv[2]).c_str(), nullptr,
                      WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pasteTargetProc));
  out("window %s %lu\n", hwndText(h).c_str(), GetCurrentProcessId());
  pumpUntilQuit(INFINITE);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  programName = "cliptool";
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return cmdStarted();
  if (strcmp(argv[1], "hold") == 0) return cmdHold(argc, argv);
  if (strcmp(argv[1], "info") == 0) return cmdInfo();
  if (strcmp(argv[1], "waittext") == 0) return cmdWaitText(argc, argv);
  if (strcmp(argv[1], "setall") == 0) return cmdSetAll(argc, argv);
  if (strcmp(argv[1], "dump") == 0) return cmdDump();
  if (strcmp(argv[1], "watch") == 0) return cmdWatch(argc, argv);
  if (strcmp(argv[1], "unicode") == 0) return cmdUnicode();
  if (strcmp(argv[1], "slowowner") == 0) return cmdSlowOwner(argc, argv);
  if (strcmp(argv[1], "pastetarget") == 0) return cmdPasteTarget(argc, argv);
  if (strcmp(argv[1], "readclip") == 0 && argc > 2) return cmdReadClip(hwndArg(argv[2]));
  fail("unknown command '%s'", argv[1]);
}
