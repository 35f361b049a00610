// cliptool.exe: clipboard and timing helpers for the delivery tests; a
// windowed program, so that the bar can start it. TEXT and HEX as in
// HelperCommon.h; MS counts milliseconds from "ready".
//
//   (no arguments)         a window titled "cliptool started"
//   hold - [TIMEOUT_MS [read]]
//                          keeps the clipboard open: "held HWND"; WM_CLOSE to that
//                          window (or TIMEOUT_MS, 120000) lets go: "released"; with
//                          read it asks for CF_TEXT first: "text HEX"
//   info                   "owner HWND", then "format N NAME" per format, and
//                          "locale 0xLCID" after CF_LOCALE's
//   unicode                "unicode HEX": CF_UNICODETEXT as UTF-16LE
//   empty                  empties the clipboard
//   slowowner MS [ole TEXT]
//                          owns CF_TEXT and four private formats, each rendered
//                          MS ms after it is asked for ("render N"); with ole,
//                          CF_TEXT is TEXT at once and "Embed Source" the late one
//   pastetarget TITLE MS [child|listen]
//                          "window HWND PID"; MS ms after Ctrl+V it reads CF_TEXT,
//                          itself or through a child process: "pasted HEX"; listen:
//                          it also reads every change at once, as a clipboard pane: "pane HEX"
//   waittext HWND TEXT TIMEOUT_MS
//                          "ready", then "match MS" once the window's text is
//                          TEXT (read every millisecond), or "timeout HEX", exit 1
//   setall TEXT HEX SEED [UTF16HEX]
//                          CF_TEXT, HEX as "TavrinTestBinary", a 16 x 8 CF_BITMAP
//                          drawn from SEED, UTF16HEX as CF_UNICODETEXT
//   dump                   "text HEX", "binary HEX", "bitmap W H HEX" (32-bit
//                          pixels, top-down); "none" for a missing one
//   watch HWND TEXT TIMEOUT_MS [read|readnull|readlate]
//                          a clipboard listener: "ready", "update MS excl=0|1
//                          binary=0|1" per change (excl: kept out of history, viewers),
//                          with read " text=HEX" read at once (readnull: with
//                          no window; readlate: 400 ms later); "pasted MS" once
//                          the edit HWND holds TEXT; "end" 1.5 s later or at TIMEOUT_MS
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <vector>

#include "HelperCommon.h"

namespace {

using namespace helpers;

const char kBinaryFormat[] = "TavrinTestBinary";
constexpr int kBitmapWidth = 16, kBitmapHeight = 8;

HWND messageWindow(const char* cls, WNDPROC proc = nullptr) {
  return makeWindow(cls, "", proc, 0, 0, {}, HWND_MESSAGE);
}

int cmdStarted() {
  HWND h = makeWindow("TavrinTestLaunched", "cliptool started", nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                      {700, 600, 260, 120});
  out("started %s\n", hwndText(h).c_str());
  pump();
  return 0;
}

int cmdHold(int argc, char** argv) {
  HWND h = messageWindow("TavrinTestClipHolder");
  openClipboard(h);
  out("held %s\n", hwndText(h).c_str());
  pump(argc > 3 ? static_cast<DWORD>(numArg(argv[3])) : 120000);
  if (argc > 4 && strcmp(argv[4], "read") == 0) out("text %s\n", clipHex(CF_TEXT, 1).c_str());
  CloseClipboard();
  out("released\n");
  return 0;
}

int cmdInfo(int, char**) {
  openClipboard(nullptr);
  out("owner %s\n", hwndText(GetClipboardOwner()).c_str());
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) {
    char name[128] = "";
    GetClipboardFormatNameA(f, name, sizeof name);
    out("format %u %s\n", f, name);
    Bytes locale;
    if (f == CF_LOCALE && clipData(f, 0, locale) && locale.size() >= sizeof(LCID))
      out("locale 0x%lx\n", *reinterpret_cast<const LCID*>(locale.data()));
  }
  CloseClipboard();
  return 0;
}

int cmdSetAll(int argc, char** argv) {
  need(argc, 5, "setall TEXT HEX SEED [UTF16HEX]");
  uint32_t seed = static_cast<uint32_t>(numArg(argv[4]));
  std::vector<uint32_t> pixels(kBitmapWidth * kBitmapHeight);
  for (uint32_t& px : pixels) {
    seed = seed * 1664525u + 1013904223u;
    px = seed >> 8;  // no alpha: a device bitmap need not keep it
  }
  HBITMAP bitmap = CreateBitmap(kBitmapWidth, kBitmapHeight, 1, 32, pixels.data());
  if (!bitmap) fail("CreateBitmap failed");
  const UINT binaryFormat = RegisterClipboardFormatA(kBinaryFormat);
  openClipboard(messageWindow("TavrinTestClipSetter"));
  if (!putText(textArg(argv[2])) || !SetClipboardData(binaryFormat, blockOf(unhex(argv[3]), 0))
      || !SetClipboardData(CF_BITMAP, bitmap)
      || (argc > 5 && !SetClipboardData(CF_UNICODETEXT, blockOf(unhex(argv[5]), 2))))
    fail("SetClipboardData failed (%lu)", GetLastError());
  CloseClipboard();
  out("set\n");
  return 0;
}

std::string bitmapText(HBITMAP bitmap) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info)) return "none";
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  Bytes bits(static_cast<size_t>(info.bmWidth) * info.bmHeight * 4, '\0');
  HDC dc = GetDC(nullptr);
  const int lines = GetDIBits(dc, bitmap, 0, info.bmHeight, bits.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (lines != info.bmHeight) return "unreadable";
  return std::to_string(info.bmWidth) + " " + std::to_string(info.bmHeight) + " " + hex(bits);
}

int cmdDump(int, char**) {
  const UINT binaryFormat = RegisterClipboardFormatA(kBinaryFormat);
  openClipboard(messageWindow("TavrinTestClipDumper"));
  HANDLE b = GetClipboardData(CF_BITMAP);
  out("text %s\nbinary %s\nbitmap %s\n", clipHex(CF_TEXT, 1).c_str(), clipHex(binaryFormat, 0).c_str(),
      b ? bitmapText(static_cast<HBITMAP>(b)).c_str() : "none");
  CloseClipboard();
  return 0;
}

// watch, and waittext (the same without a listener, ending at the match).
int cmdWatch(int argc, char** argv) {
  need(argc, 5, "watch|waittext HWND TEXT TIMEOUT_MS [read|readnull|readlate]");
  const bool listen = strcmp(argv[1], "watch") == 0;
  HWND edit = liveWindow(argv[2]);
  const Bytes want = textArg(argv[3]);
  const double timeoutMs = static_cast<double>(numArg(argv[4]));
  const bool readNull = argc > 5 && strcmp(argv[5], "readnull") == 0;
  const bool readLate = argc > 5 && strcmp(argv[5], "readlate") == 0;
  const bool read = readNull || readLate || (argc > 5 && strcmp(argv[5], "read") == 0);
  const UINT exclude = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
  const UINT viewerIgnore = RegisterClipboardFormatA("Clipboard Viewer Ignore");
  const UINT binaryFormat = RegisterClipboardFormatA(kBinaryFormat);
  HWND h = messageWindow("TavrinTestClipWatcher");
  if (listen && !AddClipboardFormatListener(h)) fail("AddClipboardFormatListener failed (%lu)", GetLastError());
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  out("ready\n");
  double pastedAt = -1;
  Bytes now;
  for (;;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.hwnd != h || m.message != WM_CLIPBOARDUPDATE) {
        DispatchMessageA(&m);
        continue;
      }
      out("update %.1f excl=%d binary=%d", msSince(start),
          IsClipboardFormatAvailable(exclude) && IsClipboardFormatAvailable(viewerIgnore),
          IsClipboardFormatAvailable(binaryFormat) ? 1 : 0);
      if (read) {
        if (readLate) Sleep(400);
        for (int i = 0; i < 1000 && !OpenClipboard(readNull ? nullptr : h); ++i) Sleep(1);
        out(" text=%s", clipHex(CF_TEXT, 1).c_str());
        CloseClipboard();
      }
      out("\n");
    }
    if (pastedAt < 0 && readText(edit, now, 1000) && now == want) {
      pastedAt = msSince(start);
      out("%s %.1f\n", listen ? "pasted" : "match", pastedAt);
      if (!listen) return 0;
    }
    const double spent = msSince(start);
    if (!listen && spent >= timeoutMs) {
      out("timeout %s\n", hex(now).c_str());
      return 1;
    }
    if ((pastedAt >= 0 && spent - pastedAt > 1500) || spent > timeoutMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  out("end\n");
  return 0;
}

int cmdEmpty(int, char**) {
  openClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  return 0;
}

int cmdUnicode(int, char**) {
  openClipboard(nullptr);
  out("unicode %s\n", clipHex(CF_UNICODETEXT, 2).c_str());
  CloseClipboard();
  return 0;
}

DWORD renderMs = 0;
LRESULT CALLBACK slowOwnerProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_RENDERFORMAT) return quitOnClose(h, msg, wp, lp);
  out("render %u\n", static_cast<UINT>(wp));
  Sleep(renderMs);
  SetClipboardData(static_cast<UINT>(wp), blockOf("late"));
  return 0;
}

int cmdSlowOwner(int argc, char** argv) {
  need(argc, 3, "slowowner MS [ole TEXT]");
  renderMs = static_cast<DWORD>(numArg(argv[2]));
  const bool ole = argc > 4 && strcmp(argv[3], "ole") == 0;
  HWND h = messageWindow("TavrinTestSlowOwner", slowOwnerProc);
  openClipboard(h);
  EmptyClipboard();
  SetClipboardData(CF_TEXT, ole ? blockOf(textArg(argv[4])) : nullptr);
  if (ole) SetClipboardData(RegisterClipboardFormatA("Embed Source"), nullptr);
  for (const char* name : {"TavrinTestSlow1", "TavrinTestSlow2", "TavrinTestSlow3", "TavrinTestSlow4"})
    if (!ole) SetClipboardData(RegisterClipboardFormatA(name), nullptr);
  CloseClipboard();
  out("owner %s\n", hwndText(h).c_str());
  pump(120000);
  return 0;
}

// Reads CF_TEXT with a window of its own and sends it to `to` (WM_COPYDATA).
int readClip(HWND to) {
  HWND h = messageWindow("TavrinTestClipReader");
  Bytes text;
  if (OpenClipboard(h)) {
    clipData(CF_TEXT, 1, text);
    CloseClipboard();
  }
  COPYDATASTRUCT data{0, static_cast<DWORD>(text.size()), text.data()};
  SendMessageA(to, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  return 0;
}

// readclip HWND: what pastetarget's child process does.
int cmdReadClip(int argc, char** argv) {
  need(argc, 3, "readclip HWND");
  return readClip(hwndArg(argv[2]));
}

DWORD pasteDelayMs = 0;
bool pasteByChild = false;

void startReader(HWND to) {
  char self[MAX_PATH], line[MAX_PATH + 64];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  snprintf(line, sizeof line, "\"%s\" readclip %s", self, hwndText(to).c_str());
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(self, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) fail("CreateProcess");
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

LRESULT CALLBACK pasteTargetProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN && wp == 'V' && GetKeyState(VK_CONTROL) < 0) {
    SetTimer(h, 1, pasteDelayMs ? pasteDelayMs : 1, nullptr);
    return 0;
  }
  if (msg == WM_TIMER) {
    KillTimer(h, 1);
    if (pasteByChild) startReader(h);
    else readClip(h);
    return 0;
  }
  if (msg == WM_CLIPBOARDUPDATE) {
    Bytes text;
    if (OpenClipboard(h)) {
      clipData(CF_TEXT, 1, text);
      CloseClipboard();
    }
    out("pane %s\n", hex(text).c_str());
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
  need(argc, 4, "pastetarget TITLE MS [child|listen]");
  pasteDelayMs = static_cast<DWORD>(numArg(argv[3]));
  pasteByChild = argc > 4 && strcmp(argv[4], "child") == 0;
  HWND h = makeWindow("TavrinTestPasteTarget", textArg(argv[2]), pasteTargetProc, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                      {700, 600, 260, 120});
  if (argc > 4 && strcmp(argv[4], "listen") == 0) AddClipboardFormatListener(h);
  out("window %s %lu\n", hwndText(h).c_str(), GetCurrentProcessId());
  pump();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  programName = "cliptool";
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return cmdStarted();
  const std::pair<const char*, int (*)(int, char**)> commands[] = {
      {"hold", cmdHold},       {"info", cmdInfo},          {"waittext", cmdWatch},       {"setall", cmdSetAll},
      {"dump", cmdDump},       {"watch", cmdWatch},        {"unicode", cmdUnicode},      {"slowowner", cmdSlowOwner},
      {"readclip", cmdReadClip}, {"pastetarget", cmdPasteTarget}, {"empty", cmdEmpty}};
  for (const auto& [name, run] : commands)
    if (strcmp(argv[1], name) == 0) return run(argc, argv);
  fail("unknown command '%s'", argv[1]);
}
