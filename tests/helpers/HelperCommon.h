// What the test helper programs (probe, target, cliptool) share: how
// they print, how they fail, and how they read and write their arguments.
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

// Not found and the like: exit 1, with a note on stderr.
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
  if (b.empty()) return "-";
  static const char digits[] = "0123456789abcdef";
  std::string s;
  s.reserve(b.size() * 2);
  for (unsigned char c : b) {
    s += digits[c >> 4];
    s += digits[c & 15];
  }
  return s;
}

inline std::string hwndText(HWND h) {
  char buf[32];
  snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
  return buf;
}

inline int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline Bytes unhex(const char* s) {
  Bytes b;
  if (strcmp(s, "-") == 0) return b;
  const size_t n = strlen(s);
  if (n % 2) fail("odd number of hex digits in '%s'", s);
  for (size_t i = 0; i < n; i += 2) {
    const int hi = hexDigit(s[i]), lo = hexDigit(s[i + 1]);
    if (hi < 0 || lo < 0) fail("not a hex byte string: '%s'", s);
    b += static_cast<char>(hi * 16 + lo);
  }
  return b;
}

inline Bytes textArg(const char* s) {
  if (strncmp(s, "hex:", 4) == 0) return unhex(s + 4);
  return s;
}

inline long long numArg(const char* s) {
  char* end = nullptr;
  const long long v = strtoll(s, &end, 0);
  if (end == s || *end) {
    // Large unsigned values such as 0xFFFFFFFF80000000.
    const unsigned long long u = strtoull(s, &end, 0);
    if (end == s || *end) fail("not a number: '%s'", s);
    return static_cast<long long>(u);
  }
  return v;
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

}  // namespace helpers
