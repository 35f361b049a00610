// probe.exe: the bar's own state.
//
// Its settings under HKCU\Software\Brannock\TAVRIN, read and written through
// the registry API (the server's view; user.reg is written only now and then).
//
// Its scaling, looked at as a per-monitor aware program (the bar's own
// awareness; probe.exe becomes one at its start), so that what it measures is
// in the same pixels as the bar. Wine reads the DPI when a program starts:
// after a change of LogPixels these run in a probe of their own, not in
// "probe serve".
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "probe.h"
#include "resources/resource.h"

namespace probe {

namespace {

// ---------------------------------------------------------------- settings

constexpr char kSettingsRoot[] = "Software\\Brannock\\TAVRIN";

std::string sectionPath(const char* section) { return std::string(kSettingsRoot) + "\\" + section; }

// The types the tests name; others go by number.
const std::pair<const char*, DWORD> kTypes[] = {
    {"REG_SZ", REG_SZ}, {"REG_DWORD", REG_DWORD}, {"REG_BINARY", REG_BINARY}};

// Sets value KEY (argv[3]) of SECTION (argv[2]) to `data` of `type`.
int setValue(char** argv, DWORD type, const Bytes& data) {
  HKEY k = nullptr;
  LONG e = RegCreateKeyExA(HKEY_CURRENT_USER, sectionPath(argv[2]).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           &k, nullptr);
  if (e == ERROR_SUCCESS) {
    const auto* bytes = reinterpret_cast<const BYTE*>(data.data());
    e = RegSetValueExA(k, argv[3], 0, type, bytes, static_cast<DWORD>(data.size()));
    RegCloseKey(k);
  }
  if (e != ERROR_SUCCESS) fail("cannot set %s\\%s (%ld)", argv[2], argv[3], e);
  return 0;
}

// regclear: delete HKCU\Software\Brannock\TAVRIN with everything under it.
int cmdRegClear(int, char**) {
  const LONG e = RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsRoot);
  if (e != ERROR_SUCCESS && e != ERROR_FILE_NOT_FOUND) fail("cannot delete %s (%ld)", kSettingsRoot, e);
  return 0;
}

// regsetsz SECTION KEY HEX: a REG_SZ of exactly those bytes plus the
// terminating zero.
int cmdRegSetSz(int argc, char** argv) {
  need(argc, 5, "regsetsz SECTION KEY HEX");
  return setValue(argv, REG_SZ, unhex(argv[4]) + '\0');
}

// regsetdw SECTION KEY VALUE: a REG_DWORD (negative values wrap: -3 is
// 0xFFFFFFFD).
int cmdRegSetDw(int argc, char** argv) {
  need(argc, 5, "regsetdw SECTION KEY VALUE");
  const DWORD v = static_cast<DWORD>(numArg(argv[4]));
  return setValue(argv, REG_DWORD, Bytes(reinterpret_cast<const char*>(&v), sizeof v));
}

// regsetraw SECTION KEY TYPE HEX: any type (a name above or a number),
// exactly those bytes.
int cmdRegSetRaw(int argc, char** argv) {
  need(argc, 6, "regsetraw SECTION KEY TYPE HEX");
  DWORD type = 0;
  for (const auto& [name, value] : kTypes)
    if (_stricmp(argv[4], name) == 0) type = value;
  return setValue(argv, type ? type : static_cast<DWORD>(numArg(argv[4])), unhex(argv[5]));
}

// regget SECTION KEY: "missing", or "TYPE HEX" (TYPE a name above or a
// number; REG_SZ data include the terminating zero).
int cmdRegGet(int argc, char** argv) {
  need(argc, 4, "regget SECTION KEY");
  HKEY k = nullptr;
  DWORD type = 0, size = 0;
  Bytes data;
  LONG e = RegOpenKeyExA(HKEY_CURRENT_USER, sectionPath(argv[2]).c_str(), 0, KEY_READ, &k);
  if (e == ERROR_SUCCESS) {
    e = RegQueryValueExA(k, argv[3], nullptr, &type, nullptr, &size);
    data.resize(size);
    auto* bytes = reinterpret_cast<BYTE*>(data.data());
    if (e == ERROR_SUCCESS) e = RegQueryValueExA(k, argv[3], nullptr, &type, bytes, &size);
    RegCloseKey(k);
  }
  if (e == ERROR_FILE_NOT_FOUND) {
    out("missing\n");
    return 0;
  }
  if (e != ERROR_SUCCESS) fail("cannot read %s\\%s (%ld)", argv[2], argv[3], e);
  std::string name = std::to_string(type);
  for (const auto& [n, value] : kTypes)
    if (value == type) name = n;
  out("%s %s\n", name.c_str(), hex(data.substr(0, size)).c_str());
  return 0;
}

// runvalue: Windows' Run value "Tavrin" read with the wide functions, as
// UTF-16LE hex (or "missing"), then removed so that no test leaves it behind.
int cmdRunValue(int, char**) {
  const wchar_t* kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  wchar_t data[4096] = L"";
  DWORD size = sizeof data;
  const LONG e = RegGetValueW(HKEY_CURRENT_USER, kRun, L"Tavrin", RRF_RT_REG_SZ, nullptr, data, &size);
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"Tavrin");
  out("%s\n", e ? "missing" : hex(Bytes(reinterpret_cast<const char*>(data), wcslen(data) * 2)).c_str());
  return 0;
}

// ---------------------------------------------------------------- scaling

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

}  // namespace

extern const Command kBarCommands[] = {
    {"regclear", cmdRegClear}, {"regsetsz", cmdRegSetSz}, {"regsetdw", cmdRegSetDw}, {"regsetraw", cmdRegSetRaw},
    {"regget", cmdRegGet}, {"dpi", cmdDpi}, {"template", cmdTemplate}, {"runvalue", cmdRunValue}, {},
};

}  // namespace probe
