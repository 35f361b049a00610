// What the test helper programs share: how they print, fail, read their
// arguments, read windows and the clipboard, and make windows of their own.
//
//   HWND    hexadecimal, printed as 0x1234ABCD (the 0x is optional on input)
//   TEXT    a text argument; "hex:8e8196bc" gives exact (Shift-JIS) bytes
//   HEX     bytes as hexadecimal digits; "-" is the empty byte string
//   numbers decimal, or hexadecimal with 0x
//
// Exit status of every helper: 0 success, 1 not found / condition false /
// timed out, 2 bad usage or a failing system call (message on stderr).
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace helpers {

using Bytes = std::string;

// The name messages on stderr start with; main() sets it.
inline const char* programName = "helper";

inline void out(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vprintf(fmt, ap);
  va_end(ap);
  fflush(stdout);
}

// Set while a helper answers one command after another on stdin (probe
// serve): a command's end is then a thrown CommandEnd, not the process's,
// and its messages go to stdout behind kServedMessage.
inline bool serving = false;
struct CommandEnd {
  int status;
};
constexpr char kServedMessage = '\x1f';

// Says why a command ends: on stderr, or behind kServedMessage when served.
inline void vreport(const char* fmt, va_list ap) {
  fflush(stdout);
  FILE* to = serving ? stdout : stderr;
  if (serving) fputc(kServedMessage, to);
  fprintf(to, "%s: ", programName);
  vfprintf(to, fmt, ap);
  fputc('\n', to);
  fflush(to);
}

[[noreturn]] inline void end(int status) {
  if (serving) throw CommandEnd{status};
  ExitProcess(status);
}

// Bad usage or a failing call: exit 2.
[[noreturn]] inline void fail(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vreport(fmt, ap);
  va_end(ap);
  end(2);
}

// Not found and the like: exit 1, with a note.
[[noreturn]] inline void no(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vreport(fmt, ap);
  va_end(ap);
  end(1);
}

inline void need(int argc, int n, const char* usage) {
  if (argc < n) fail("usage: %s %s", programName, usage);
}

inline std::string hex(const Bytes& b) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (unsigned char c : b) s += {digits[c >> 4], digits[c & 15]};
  return b.empty() ? "-" : s;
}

inline std::string hwndText(HWND h) {
  char buf[32];
  snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
  return buf;
}

inline Bytes unhex(const char* s) {
  const size_t n = strcmp(s, "-") == 0 ? 0 : strlen(s);
  if (n % 2 || strspn(s, "0123456789abcdefABCDEF") != n) fail("not a hex byte string: '%s'", s);
  Bytes b;
  for (size_t i = 0; i < n; i += 2) b += static_cast<char>(strtoul(std::string(s + i, 2).c_str(), nullptr, 16));
  return b;
}

inline Bytes textArg(const char* s) {
  if (strncmp(s, "hex:", 4) == 0) return unhex(s + 4);
  return s;
}

inline long long numArg(const char* s) {
  char* end = nullptr;
  const unsigned long long v = strtoull(s, &end, 0);  // "-3" wraps, as a DWORD argument wants
  if (end == s || *end) fail("not a number: '%s'", s);
  return static_cast<long long>(v);
}

inline HWND hwndArg(const char* s) {
  char* end = nullptr;
  const unsigned long long v = strtoull(s, &end, 16);
  if (end == s || *end) fail("not a window handle: '%s'", s);
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
}

// A handle that must name an existing window; exit 1 when it is gone.
inline HWND liveWindow(const char* s) {
  const HWND h = hwndArg(s);
  if (!IsWindow(h)) no("no window %s", s);
  return h;
}

// Text of a window as the system keeps it (no message sent).
inline Bytes captionText(HWND h) {
  std::string buf(GetWindowTextLengthA(h) * 2 + 64, '\0');
  GetWindowTextA(h, buf.data(), static_cast<int>(buf.size()));
  return buf.c_str();
}

// WM_GETTEXT, which reaches across processes; false when it goes unanswered.
inline bool readText(HWND h, Bytes& text, DWORD timeoutMs = 5000) {
  DWORD_PTR len = 0, got = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &len)) return false;
  // The length may count characters; Shift-JIS needs up to two bytes each.
  std::string buf(len * 2 + 64, '\0');
  if (!SendMessageTimeoutA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                           timeoutMs, &got))
    return false;
  text = buf.c_str();
  return true;
}

inline double msSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER freq, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
}

// ---------------------------------------------------------------- clipboard

// Waits up to 5 s for another program to let go of the clipboard.
inline void openClipboard(HWND owner) {
  for (int i = 0; !OpenClipboard(owner); ++i) {
    if (i == 250) fail("cannot open the clipboard (%lu)", GetLastError());
    Sleep(20);
  }
}

// A movable block of `data` and `zeros` zero bytes (a text's terminator).
inline HGLOBAL blockOf(const Bytes& data, size_t zeros = 1) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, data.size() + zeros);
  if (!g) fail("GlobalAlloc failed");
  memcpy(GlobalLock(g), data.data(), data.size());
  GlobalUnlock(g);
  return g;
}

// Puts `text` alone on the open clipboard as CF_TEXT.
inline bool putText(const Bytes& text) {
  EmptyClipboard();
  return SetClipboardData(CF_TEXT, blockOf(text)) != nullptr;
}

// The open clipboard's data of `format`: a text up to its terminator of
// `unit` bytes (1, or 2 for UTF-16), or the whole block with unit 0.
inline bool clipData(UINT format, size_t unit, Bytes& data) {
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

inline std::string clipHex(UINT format, size_t unit) {
  Bytes data;
  return clipData(format, unit, data) ? hex(data) : "none";
}

// ---------------------------------------------------------------- own windows

// Window procedure of the helpers' own plain windows: closing ends the loop.
inline LRESULT CALLBACK quitOnClose(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CLOSE:
      DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

struct Place { int x = 600, y = 500, w = 320, h = 200; };

// A window of a class of its own, titled exactly `title`.
inline HWND makeWindow(const char* cls, const Bytes& title, WNDPROC proc, DWORD style, DWORD exStyle = 0,
                       Place at = {}, HWND parent = nullptr, int brush = COLOR_WINDOW) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc ? proc : quitOnClose;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(brush + 1));
  wc.lpszClassName = cls;
  if (!RegisterClassA(&wc)) fail("RegisterClass failed (%lu)", GetLastError());
  HWND h = CreateWindowExA(exStyle, cls, title.c_str(), style, at.x, at.y, at.w, at.h, parent, nullptr,
                           wc.hInstance, nullptr);
  if (!h) fail("CreateWindow failed (%lu)", GetLastError());
  if (!parent) SetWindowTextA(h, title.c_str());  // the title exactly, whatever the class did
  return h;
}

// Pumps messages until WM_QUIT (true) or until the time-out (false); with
// `dialog`, Tab moves between its controls. Without a time-out it waits in
// GetMessage, as a plain program does: under Wine a wait that looks only for
// new messages can sleep through the activation another program gives it.
inline bool pump(DWORD timeoutMs = INFINITE, HWND dialog = nullptr) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (MSG m;;) {
    if (timeoutMs == INFINITE) {
      if (GetMessageA(&m, nullptr, 0, 0) <= 0) return true;
    } else if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      const ULONGLONG now = GetTickCount64();
      if (now >= end) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
      continue;
    } else if (m.message == WM_QUIT) {
      return true;
    }
    if (dialog && IsDialogMessageA(dialog, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

}  // namespace helpers
