// The release's uninstall file, imported as a user would (regedit /s): it
// removes Tavrin's settings key and its start-with-Windows value, and nothing
// else of the user's registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace {
const char kRegFile[] = TAVRIN_UNINSTALL_REG_PATH;
const char kSettings[] = "Software\\Brannock\\TAVRIN";
const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Every key ("path\") and value ("path\:name" -> type and data) under HKCU.
using Snapshot = std::map<std::string, std::string>;

void Walk(const std::string& path, Snapshot& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    out[path + "\\"];
    std::vector<char> name(32768);
    std::vector<BYTE> data(1 << 20);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        out[path + "\\:" + name.data()] = std::to_string(type) + ":" + std::string(data.begin(), data.begin() + size);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(name.data());
    }
    RegCloseKey(key);
    for (const std::string& sub : subkeys) Walk(path.empty() ? sub : path + "\\" + sub, out);
}

Snapshot TakeSnapshot() {
    Snapshot s;
    Walk("", s);
    return s;
}

void SetString(const std::string& path, const char* name, const std::string& value) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, value.c_str(),
                              static_cast<DWORD>(value.size() + 1)), ERROR_SUCCESS);
}

bool Removable(const std::string& entry) {
    const std::string settings = std::string(kSettings) + "\\";
    return entry.compare(0, settings.size(), settings) == 0 || entry == std::string(kRun) + "\\:Tavrin";
}
}  // namespace

TEST(UninstallFile, RemovesTheSettingsAndTheRunValueAndNothingElse) {
    // What a user of the bar has, and neighbours that must stay.
    SetString(std::string(kSettings) + "\\Setting", "Position", "400,20");
    SetString(std::string(kSettings) + "\\UserString", "String1", "\x88\xea\x8d\x73\x96\xda");  // 一行目
    SetString(kRun, "Tavrin", "\"C:\\Tools\\TAVRIN.EXE\"");
    SetString(kRun, "Other", "C:\\Tools\\other.exe");
    SetString("Software\\Brannock\\Other", "Keep", "yes");
    SetString("Software\\Brannock\\TAVRIN-old", "Keep", "yes");
    const Snapshot before = TakeSnapshot();

    char commandLine[MAX_PATH * 2];
    snprintf(commandLine, sizeof commandLine, "regedit.exe /s \"%s\"", kRegFile);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const Snapshot after = TakeSnapshot();
    std::string removed, changed;
    for (const auto& [entry, value] : before) {
        auto it = after.find(entry);
        if (it == after.end()) {
            if (!Removable(entry)) removed += entry + "\n";
        } else if (Removable(entry) || it->second != value) {
            changed += entry + "\n";
        }
    }
    for (const auto& [entry, value] : after)
        if (!before.count(entry)) changed += entry + " (new)\n";
    EXPECT_EQ(removed, "") << "removed beyond the two";
    EXPECT_EQ(changed, "") << "kept or changed what should go, or added";

    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brannock\\Other");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brannock\\TAVRIN-old");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRun, "Other");
}
