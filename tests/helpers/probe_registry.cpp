// probe.exe: the bar's settings under HKCU\Software\Brannock\TAVRIN, read
// and written through the registry API (the server's view; user.reg is
// written only now and then).
#include <windows.h>

#include <string>

#include "probe.h"

namespace probe {

namespace {

constexpr char kSettingsRoot[] = "Software\\Brannock\\TAVRIN";

std::string sectionPath(const char* section) { return std::string(kSettingsRoot) + "\\" + section; }

// The types the tests name; others go by number.
const std::pair<const char*, DWORD> kTypes[] = {
    {"REG_SZ", REG_SZ}, {"REG_DWORD", REG_DWORD}, {"REG_BINARY", REG_BINARY}};

// SECTION KEY TYPE: the value's bytes follow in `data`.
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
  if (RegOpenKeyExA(HKEY_CURRENT_USER, sectionPath(argv[2]).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
    out("missing\n");
    return 0;
  }
  LONG e = RegQueryValueExA(k, argv[3], nullptr, &type, nullptr, &size);
  Bytes data(size, '\0');
  if (e == ERROR_SUCCESS) e = RegQueryValueExA(k, argv[3], nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(k);
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

}  // namespace

extern const Command kRegistryCommands[] = {
    {"regclear", cmdRegClear}, {"regsetsz", cmdRegSetSz}, {"regsetdw", cmdRegSetDw}, {"regsetraw", cmdRegSetRaw},
    {"regget", cmdRegGet}, {},
};

}  // namespace probe
