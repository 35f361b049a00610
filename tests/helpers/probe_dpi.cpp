// probe.exe: the bar's scaling, looked at as a per-monitor aware program
// (the bar's own awareness; probe.exe becomes one at its start), so that what
// it measures is in the same pixels as the bar. Wine reads the DPI when a
// program starts: after a change of LogPixels these run in a probe of their
// own, not in "probe serve".
#include <windows.h>

#include <cstring>
#include <vector>

#include "probe.h"
#include "resources/resource.h"

namespace probe {

namespace {

INT_PTR CALLBACK quietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// dpi: "DPI LOGPIXELSY", the system DPI and the screen's LOGPIXELSY.
int cmdDpi(int, char**) {
  HDC screen = GetDC(nullptr);
  const int logPixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  out("%u %d\n", GetDpiForSystem(), logPixels);
  return 0;
}

// template EXE BAR X...: a hidden copy of the bar's template from EXE;
// prints "map X PIXELS" for each horizontal dialog unit X, "size ID W H" for
// each control of the copy, and "fit ID TEXTW TEXTH W H" for each child of
// the live bar BAR: its caption measured in the copy's font for that
// control, and the bar's control's client size.
int cmdTemplate(int argc, char** argv) {
  need(argc, 4, "template EXE BAR X...");
  HWND bar = liveWindow(argv[3]);
  HMODULE exe = LoadLibraryExA(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!exe) fail("cannot load %s (%lu)", argv[2], GetLastError());
  HRSRC res = FindResourceA(exe, MAKEINTRESOURCEA(IDD_BAR), MAKEINTRESOURCEA(5));
  if (!res) fail("no bar template in %s", argv[2]);
  const DWORD size = SizeofResource(exe, res);
  std::vector<BYTE> copy(size);
  memcpy(copy.data(), LockResource(LoadResource(exe, res)), size);
  // A DIALOGEX template: dlgVer, signature, helpID, exStyle, then style.
  DWORD style;
  memcpy(&style, copy.data() + 12, sizeof style);
  style &= ~static_cast<DWORD>(WS_VISIBLE);
  memcpy(copy.data() + 12, &style, sizeof style);
  HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(copy.data()),
                                        nullptr, quietDialog, 0);
  if (!dlg) fail("CreateDialogIndirectParam failed (%lu)", GetLastError());

  for (int i = 4; i < argc; ++i) {
    RECT r{static_cast<LONG>(numArg(argv[i])), 0, 0, 0};
    MapDialogRect(dlg, &r);
    out("map %s %ld\n", argv[i], r.left);
  }
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(c, &r);
    out("size %d %ld %ld\n", GetDlgCtrlID(c), r.right - r.left, r.bottom - r.top);
  }
  for (HWND c = GetWindow(bar, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    HWND twin = GetDlgItem(dlg, id);
    if (!twin) continue;
    const Bytes text = windowText(c);
    HDC dc = GetDC(twin);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(twin, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(twin, dc);
    RECT client{};
    GetClientRect(c, &client);
    out("fit %d %ld %ld %ld %ld\n", id, extent.cx, extent.cy, client.right, client.bottom);
  }
  DestroyWindow(dlg);
  FreeLibrary(exe);
  return 0;
}

// dpichanged HWND DPI L T R B: sends WM_DPICHANGED with that DPI and
// suggested rectangle (written into the window's own process).
int cmdDpiChanged(int argc, char** argv) {
  need(argc, 8, "dpichanged HWND DPI L T R B");
  HWND h = liveWindow(argv[2]);
  const WORD dpi = static_cast<WORD>(numArg(argv[3]));
  RECT r{static_cast<LONG>(numArg(argv[4])), static_cast<LONG>(numArg(argv[5])), static_cast<LONG>(numArg(argv[6])),
         static_cast<LONG>(numArg(argv[7]))};
  void* remote = copyInto(h, Bytes(reinterpret_cast<const char*>(&r), sizeof r));
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(h, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                           10000, &result))
    fail("WM_DPICHANGED was not answered");
  return 0;
}

}  // namespace

extern const Command kDpiCommands[] = {
    {"dpi", cmdDpi}, {"template", cmdTemplate}, {"dpichanged", cmdDpiChanged}, {},
};

}  // namespace probe
