// target.exe: a program for the bar to deliver texts into, for the
// end-to-end tests.
//
//   target TITLE [--form] [--text TEXT] [--pos X Y W H] [--drops]
//
// Without --form: one top-level window titled TITLE, filled by a multi-line
// EDIT (control id 100) that has the keyboard focus.
// With --form: a dialog-like window with labelled edits of distinct ids:
//   201 name (single line)    202 reading (single line)
//   203 address (multi-line)  204 telephone (single line, disabled)
//   205 notes (multi-line)
// The first edit has the focus; Tab moves between them, and the focused
// edit is kept when the window is deactivated and activated again.
// --text TEXT puts TEXT into every edit at start ("hex:..." for exact bytes).
// --pos X Y W H places the window (screen pixels).
// --drops makes the window accept dropped files.
// A posted WM_APP (0x8000) makes the program busy, answering nothing, for
// WPARAM milliseconds.
//
// Output on stdout, one line each:
//   window HWND
//   edit ID HWND            one per edit, in id order
//   ready
//   drop X Y HEX...         per WM_DROPFILES (--drops): the point and each path
//   final ID HEX            per edit when the window closes: its exact bytes
// TITLE and TEXT accept "hex:" like probe.exe. Edit contents can also be
// read from outside with "probe children WINDOW" (WM_GETTEXT, byte-exact).
#include <windows.h>
#include <shellapi.h>

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


struct EditSpec {
  int id;
  const char* label;
  bool multiLine;
  bool disabled;
};

const EditSpec kForm[] = {
    {201, "氏名", false, false}, {202, "ﾌﾘｶﾞﾅ", false, false}, {203, "住所", true, false},
    {204, "電話", false, true},  {205, "備考", true, false},
};

constexpr int kSingleEditId = 100;

struct State {
  bool form = false;
  bool drops = false;
  Bytes text;
  bool hasText = false;
  std::vector<std::pair<int, HWND>> edits;
  HWND focus = nullptr;  // last focused edit, restored on activation
} g;

Bytes editText(HWND e) {
  int n = GetWindowTextLengthA(e);
  std::vector<char> buf(n * 2 + 64, 0);
  GetWindowTextA(e, buf.data(), static_cast<int>(buf.size()));
  return Bytes(buf.data(), strnlen(buf.data(), buf.size()));
}

void layout(HWND w) {
  RECT rc;
  GetClientRect(w, &rc);
  if (!g.form) {
    if (!g.edits.empty()) MoveWindow(g.edits[0].second, 0, 0, rc.right, rc.bottom, TRUE);
    return;
  }
  int y = 8;
  for (size_t i = 0; i < g.edits.size(); ++i) {
    HWND e = g.edits[i].second;
    int h = kForm[i].multiLine ? 60 : 24;
    MoveWindow(GetDlgItem(w, kForm[i].id + 100), 8, y + 4, 70, 20, TRUE);
    MoveWindow(e, 84, y, rc.right - 92 > 40 ? rc.right - 92 : 40, h, TRUE);
    y += h + 8;
  }
}

HWND makeEdit(HWND parent, int id, bool multiLine, bool disabled) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
  if (multiLine) style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
  if (disabled) style |= WS_DISABLED;
  HWND e = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SendMessageA(e, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  if (g.hasText) SetWindowTextA(e, g.text.c_str());
  g.edits.emplace_back(id, e);
  return e;
}

void onDrop(HDROP d) {
  POINT pt{};
  DragQueryPoint(d, &pt);
  std::string line = "drop " + std::to_string(pt.x) + " " + std::to_string(pt.y);
  UINT n = DragQueryFileA(d, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < n; ++i) {
    UINT len = DragQueryFileA(d, i, nullptr, 0);
    std::vector<char> buf(len + 1, 0);
    DragQueryFileA(d, i, buf.data(), len + 1);
    line += ' ';  // (one append at a time: GCC 12 -O2 misreads " " + string)
    line += hex(Bytes(buf.data(), len));
  }
  DragFinish(d);
  out("%s\n", line.c_str());
}

LRESULT CALLBACK windowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_CREATE:
      if (g.form) {
        for (const auto& f : kForm) {
          HWND l = CreateWindowExA(0, "STATIC", f.label, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, w,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(f.id + 100)),
                                   GetModuleHandleA(nullptr), nullptr);
          SendMessageA(l, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
          makeEdit(w, f.id, f.multiLine, f.disabled);
        }
      } else {
        makeEdit(w, kSingleEditId, true, false);
      }
      g.focus = g.edits[0].second;
      return 0;
    case WM_SIZE:
      layout(w);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(w, f)) g.focus = f;
      } else if (g.focus) {
        SetFocus(g.focus);
      }
      return 0;
    case WM_SETFOCUS:
      if (g.focus) SetFocus(g.focus);
      return 0;
    case WM_DROPFILES:
      onDrop(reinterpret_cast<HDROP>(wp));
      return 0;
    case WM_APP:
      Sleep(static_cast<DWORD>(wp));
      return 0;
    case WM_CLOSE:
      for (const auto& [id, e] : g.edits) out("final %d %s\n", id, hex(editText(e)).c_str());
      break;
  }
  return quitOnClose(w, m, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  programName = "target";
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    fputs("usage: target TITLE [--form] [--text TEXT] [--pos X Y W H] [--drops]\n", stderr);
    return 2;
  }
  Bytes title = textArg(argv[1]);
  int x = 300, y = 300, w = 420, h = 320;
  for (int i = 2; i < argc; ++i) {
    if (strcmp(argv[i], "--form") == 0) {
      g.form = true;
    } else if (strcmp(argv[i], "--drops") == 0) {
      g.drops = true;
    } else if (strcmp(argv[i], "--text") == 0 && i + 1 < argc) {
      g.text = textArg(argv[++i]);
      g.hasText = true;
    } else if (strcmp(argv[i], "--pos") == 0 && i + 4 < argc) {
      x = atoi(argv[++i]);
      y = atoi(argv[++i]);
      w = atoi(argv[++i]);
      h = atoi(argv[++i]);
    } else {
      fprintf(stderr, "target: unknown argument '%s'\n", argv[i]);
      return 2;
    }
  }

  WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TavrinTestTarget";
  RegisterClassA(&wc);
  HWND win = CreateWindowExA(WS_EX_CONTROLPARENT | (g.drops ? WS_EX_ACCEPTFILES : 0), wc.lpszClassName, title.c_str(),
                             WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr, nullptr, wc.hInstance, nullptr);
  if (!win) {
    fprintf(stderr, "target: CreateWindow failed (%lu)\n", GetLastError());
    return 2;
  }
  ShowWindow(win, SW_SHOW);
  UpdateWindow(win);
  SetForegroundWindow(win);
  SetFocus(g.focus);

  out("window %s\n", hwndText(win).c_str());
  for (const auto& [id, e] : g.edits) out("edit %d %s\n", id, hwndText(e).c_str());
  out("ready\n");

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(win, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
