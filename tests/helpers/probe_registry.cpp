// probe.exe: the bar's settings under HKCU\Software\Brannock\TAVRIN, read
// and written through the registry API (the server's view; user.reg is
// written only now and then).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "probe.h"

namespace probe {

namespace {

constexpr char kSettingsRoot[] = "Software\\Brannock\\TAVRIN";

// ---------------------------------------------------------------- registry

std::string sectionPath(const char* section) { return std::string(kSettingsRoot) + "\\" + section; }

HKEY createSection(const char* section) {
  HKEY k = nullptr;
  LONG e = RegCreateKeyExA(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           &k, nullptr);
  if (e != ERROR_SUCCESS) fail("cannot create key %s (%ld)", sectionPath(section).c_str(), e);
  return k;
}

void setValue(const char* section, const char* key, DWORD type, const Bytes& data) {
  HKEY k = createSection(section);
  LONG e = RegSetValueExA(k, key, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
  RegCloseKey(k);
  if (e != ERROR_SUCCESS) fail("cannot set %s\\%s (%ld)", section, key, e);
}

struct TypeName {
  const char* name;
  DWORD value;
};

const TypeName kTypes[] = {
    {"REG_NONE", REG_NONE},           {"REG_SZ", REG_SZ},       {"REG_EXPAND_SZ", REG_EXPAND_SZ},
    {"REG_BINARY", REG_BINARY},       {"REG_DWORD", REG_DWORD}, {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN},
    {"REG_MULTI_SZ", REG_MULTI_SZ}, {"REG_QWORD", REG_QWORD},
};

std::string typeName(DWORD t) {
  for (const auto& n : kTypes)
    if (n.value == t) return n.name;
  return std::to_string(t);
}

DWORD typeArg(const char* s) {
  for (const auto& n : kTypes)
    if (_stricmp(s, n.name) == 0) return n.value;
  return static_cast<DWORD>(numArg(s));
}

}  // namespace

// regclear: delete HKCU\Software\Brannock\TAVRIN with everything under it.
int cmdRegClear(int, char**) {
  LONG e = RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsRoot);
  if (e != ERROR_SUCCESS && e != ERROR_FILE_NOT_FOUND) fail("cannot delete %s (%ld)", kSettingsRoot, e);
  return 0;
}

// regsetsz SECTION KEY HEX: a REG_SZ of exactly those bytes plus the
// terminating zero.
int cmdRegSetSz(int argc, char** argv) {
  need(argc, 5, "regsetsz SECTION KEY HEX");
  Bytes data = unhex(argv[4]);
  data += '\0';
  setValue(argv[2], argv[3], REG_SZ, data);
  return 0;
}

// regsetdw SECTION KEY VALUE: a REG_DWORD (negative values wrap: -3 is
// 0xFFFFFFFD).
int cmdRegSetDw(int argc, char** argv) {
  need(argc, 5, "regsetdw SECTION KEY VALUE");
  DWORD v = static_cast<DWORD>(numArg(argv[4]));
  setValue(argv[2], argv[3], REG_DWORD, Bytes(reinterpret_cast<const char*>(&v), sizeof v));
  return 0;
}

// regsetraw SECTION KEY TYPE HEX: any type (name such as REG_BINARY or a
// number), exactly those bytes.
int cmdRegSetRaw(int argc, char** argv) {
  need(argc, 6, "regsetraw SECTION KEY TYPE HEX");
  setValue(argv[2], argv[3], typeArg(argv[4]), unhex(argv[5]));
  return 0;
}

// regget SECTION KEY: "missing", or "TYPE HEX" (TYPE a name such as REG_SZ
// or REG_DWORD, or a number; REG_SZ data include the terminating zero).
int cmdRegGet(int argc, char** argv) {
  need(argc, 4, "regget SECTION KEY");
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, sectionPath(argv[2]).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
    out("missing\n");
    return 0;
  }
  DWORD type = 0, size = 0;
  LONG e = RegQueryValueExA(k, argv[3], nullptr, &type, nullptr, &size);
  if (e != ERROR_SUCCESS) {
    RegCloseKey(k);
    out("missing\n");
    return 0;
  }
  std::vector<BYTE> data(size + 2, 0);
  DWORD got = size;
  e = RegQueryValueExA(k, argv[3], nullptr, &type, data.data(), &got);
  RegCloseKey(k);
  if (e != ERROR_SUCCESS) fail("cannot read %s\\%s (%ld)", argv[2], argv[3], e);
  out("%s %s\n", typeName(type).c_str(), hex(Bytes(reinterpret_cast<char*>(data.data()), got)).c_str());
  return 0;
}

extern const Command kRegistryCommands[] = {
    {"regclear", cmdRegClear}, {"regsetsz", cmdRegSetSz}, {"regsetdw", cmdRegSetDw}, {"regsetraw", cmdRegSetRaw},
    {"regget", cmdRegGet}, {},
};

}  // namespace probe
