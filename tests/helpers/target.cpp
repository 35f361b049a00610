// target.exe: a program for the bar to deliver texts into.
//   target TITLE [--form] [--text TEXT] [--pos X Y W H]
// Without --form: one window filled by a multi-line EDIT (id 100) that has
// the focus. With --form: the labelled edits of kForm; Tab moves between them
// and the focused one is kept across deactivation. --text puts TEXT into
// every edit. A posted WM_APP keeps it busy for WPARAM ms.
// Prints "window HWND", "edit ID HWND" per edit, "ready"; "ctrl+v ID SCAN"
// per Ctrl+V an edit gets (the V key's scan code); on closing "final ID HEX"
// per edit.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <optional>
#include <vector>

#include "HelperCommon.h"

namespace {

using namespace helpers;

constexpr DWORD kMultiLine = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;

const struct {
  int id;
  const char* label;
  DWORD style;
} kForm[] = {{201, "氏名", 0},           {202, "ﾌﾘｶﾞﾅ", 0},         {203, "住所", kMultiLine},
             {204, "電話", WS_DISABLED}, {205, "備考", kMultiLine}};

constexpr int kSingleEditId = 100;

struct State {
  bool form = false;
  std::optional<Bytes> text;
  std::vector<std::pair<int, HWND>> edits;
  HWND focus = nullptr;  // last focused edit, restored on activation
  WNDPROC editProc = nullptr;
} g;

void layout(HWND w) {
  RECT rc;
  GetClientRect(w, &rc);
  if (!g.form) MoveWindow(g.edits[0].second, 0, 0, rc.right, rc.bottom, TRUE);
  int y = 8;
  for (size_t i = 0; g.form && i < g.edits.size(); ++i) {
    const int h = (kForm[i].style & ES_MULTILINE) ? 60 : 24;
    MoveWindow(GetDlgItem(w, kForm[i].id + 100), 8, y + 4, 70, 20, TRUE);
    MoveWindow(g.edits[i].second, 84, y, rc.right - 92 > 40 ? rc.right - 92 : 40, h, TRUE);
    y += h + 8;
  }
}

HWND control(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle, int id) {
  HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return c;
}

LRESULT CALLBACK editProc(HWND e, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_KEYDOWN && wp == 'V' && GetKeyState(VK_CONTROL) < 0)
    out("ctrl+v %d %u\n", GetDlgCtrlID(e), static_cast<unsigned>((lp >> 16) & 0xFF));
  return CallWindowProcA(g.editProc, e, m, wp, lp);
}

void makeEdit(HWND parent, int id, DWORD style) {
  HWND e = control(parent, "EDIT", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | style, WS_EX_CLIENTEDGE, id);
  SendMessageA(e, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  if (g.text) SetWindowTextA(e, g.text->c_str());
  g.editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc)));
  g.edits.emplace_back(id, e);
}

LRESULT CALLBACK windowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_CREATE:
      if (g.form) {
        for (const auto& f : kForm) {
          control(w, "STATIC", f.label, 0, 0, f.id + 100);
          makeEdit(w, f.id, f.style);
        }
      } else {
        makeEdit(w, kSingleEditId, kMultiLine);
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
    case WM_APP:
      Sleep(static_cast<DWORD>(wp));
      return 0;
    case WM_CLOSE:
      for (const auto& [id, e] : g.edits) out("final %d %s\n", id, hex(captionText(e)).c_str());
      break;
  }
  return quitOnClose(w, m, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  programName = "target";
  _setmode(_fileno(stdout), _O_BINARY);
  need(argc, 2, "TITLE [--form] [--text TEXT] [--pos X Y W H]");
  Place at{300, 300, 420, 320};
  for (int i = 2; i < argc; ++i) {
    if (strcmp(argv[i], "--form") == 0) {
      g.form = true;
    } else if (strcmp(argv[i], "--text") == 0 && i + 1 < argc) {
      g.text = textArg(argv[++i]);
    } else if (strcmp(argv[i], "--pos") == 0 && i + 4 < argc) {
      at = {atoi(argv[i + 1]), atoi(argv[i + 2]), atoi(argv[i + 3]), atoi(argv[i + 4])};
      i += 4;
    } else {
      fail("unknown argument '%s'", argv[i]);
    }
  }
  HWND win = makeWindow("TavrinTestTarget", textArg(argv[1]), windowProc, WS_OVERLAPPEDWINDOW, WS_EX_CONTROLPARENT,
                        at, nullptr, COLOR_BTNFACE);
  ShowWindow(win, SW_SHOW);
  UpdateWindow(win);
  SetForegroundWindow(win);
  SetFocus(g.focus);
  out("window %s\n", hwndText(win).c_str());
  for (const auto& [id, e] : g.edits) out("edit %d %s\n", id, hwndText(e).c_str());
  out("ready\n");
  pump(INFINITE, win);
  return 0;
}
