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

template <typename Function>
Function user32(const char* name) {
  FARPROC proc = GetProcAddress(GetModuleHandleA("user32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}

INT_PTR CALLBACK quietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

// Measure as the bar lives: per-monitor v2 where the system has it, v1 else.
void becomePerMonitorAware() {
  using SetThreadFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  if (auto set = user32<SetThreadFn>("SetThreadDpiAwarenessContext")) {
    if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) || set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) return;
  }
  using SetProcessFn = BOOL(WINAPI*)();
  if (auto set = user32<SetProcessFn>("SetProcessDPIAware")) set();
}

// dpi: "DPI LOGPIXELSY", the system DPI and the screen's LOGPIXELSY.
int cmdDpi(int, char**) {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  auto forSystem = user32<GetDpiForSystemFn>("GetDpiForSystem");
  HDC screen = GetDC(nullptr);
  const int logPixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  out("%u %d\n", forSystem ? forSystem() : 0u, logPixels);
  return 0;
}

// awareness HWND: "AWARENESS V2", the window's DPI awareness (0 unaware,
// 1 system, 2 per monitor) and 1 if it is per-monitor v2; "- -" where the
// system cannot tell.
int cmdAwareness(int argc, char** argv) {
  need(argc, 3, "awareness HWND");
  HWND h = liveWindow(argv[2]);
  using GetContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
  using AwarenessFn = int(WINAPI*)(DPI_AWARENESS_CONTEXT);
  using EqualFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
  auto getContext = user32<GetContextFn>("GetWindowDpiAwarenessContext");
  auto awareness = user32<AwarenessFn>("GetAwarenessFromDpiAwarenessContext");
  auto equal = user32<EqualFn>("AreDpiAwarenessContextsEqual");
  if (!getContext || !awareness || !equal) {
    out("- -\n");
    return 0;
  }
  DPI_AWARENESS_CONTEXT context = getContext(h);
  out("%d %d\n", awareness(context), equal(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ? 1 : 0);
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
    char text[512] = "";
    DWORD_PTR got = 0;
    SendMessageTimeoutA(c, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &got);
    HDC dc = GetDC(twin);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(twin, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &extent);
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
// suggested rectangle, written into the window's own process.
int cmdDpiChanged(int argc, char** argv) {
  need(argc, 8, "dpichanged HWND DPI L T R B");
  HWND h = liveWindow(argv[2]);
  const WORD dpi = static_cast<WORD>(numArg(argv[3]));
  RECT r{static_cast<LONG>(numArg(argv[4])), static_cast<LONG>(numArg(argv[5])), static_cast<LONG>(numArg(argv[6])),
         static_cast<LONG>(numArg(argv[7]))};
  // The message carries a pointer: the rectangle must live in the window's
  // process.
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) fail("cannot open process %lu (%lu)", pid, GetLastError());
  void* remote = VirtualAllocEx(process, nullptr, sizeof r, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote || !WriteProcessMemory(process, remote, &r, sizeof r, nullptr)) fail("cannot write the rectangle");
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutA(h, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                            SMTO_ABORTIFHUNG, 10000, &result) != 0;
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!answered) fail("WM_DPICHANGED was not answered");
  return 0;
}

extern const Command kDpiCommands[] = {
    {"dpi", cmdDpi}, {"awareness", cmdAwareness}, {"template", cmdTemplate}, {"dpichanged", cmdDpiChanged}, {},
};

}  // namespace probe
