// The release's uninstall file, imported as a user would (regedit /s): it
// removes Tavrin's settings key and its start-with-Windows value (with its
// switch in the start-up list), and nothing else of the user's registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace {
const std::string kSettings = "Software\\Brannock\\TAVRIN", kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                  kSwitch = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// Every key ("path\") and value ("path\:name" -> type and data) under HKCU\path.
void Snapshot(const std::string& path, std::map<std::string, std::string>& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    out[path + "\\"];
    std::vector<char> name(32768);
    std::vector<BYTE> data(1 << 20);
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 32768, size = 1 << 20, type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        out[path + "\\:" + name.data()] = std::to_string(type) + ":" + std::string(data.begin(), data.begin() + size);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 32768;
        if (RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(path.empty() ? name.data() : path + "\\" + name.data());
    }
    RegCloseKey(key);
    for (const std::string& sub : subkeys) Snapshot(sub, out);
}

void SetString(const std::string& path, const char* name, const std::string& value) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, value.c_str(),
                              static_cast<DWORD>(value.size() + 1)), ERROR_SUCCESS);
}

bool ToGo(const std::string& entry) {
    return entry.compare(0, kSettings.size() + 1, kSettings + "\\") == 0 || entry == kRun + "\\:Tavrin"
           || entry == kSwitch + "\\:Tavrin";
}
}  // namespace

TEST(UninstallFile, RemovesTheSettingsAndTheRunValueAndNothingElse) {
    // What a user of the bar has, and neighbours that must stay.
    SetString(kSettings + "\\Setting", "Position", "400,20");
    SetString(kSettings + "\\UserString", "String1", "\x88\xea\x8d\x73\x96\xda");  // 一行目
    SetString(kRun, "Tavrin", "\"C:\\Tools\\TAVRIN.EXE\"");
    SetString(kRun, "Other", "C:\\Tools\\other.exe");
    SetString(kSwitch, "Tavrin", "off");  // binary on Windows; the type does not matter here
    SetString(kSwitch, "Other", "on");
    SetString("Software\\Brannock\\Other", "Keep", "yes");
    SetString("Software\\Brannock\\TAVRIN-old", "Keep", "yes");
    std::map<std::string, std::string> before, after;
    Snapshot("", before);

    char commandLine[MAX_PATH * 2];
    snprintf(commandLine, sizeof commandLine, "regedit.exe /s \"%s\"", TAVRIN_UNINSTALL_REG_PATH);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Snapshot("", after);

    std::string changed, kept;  // beyond the two things; of the two things
    for (const auto& [entry, value] : before) {
        auto it = after.find(entry);
        const bool gone = it == after.end();
        if (ToGo(entry) && !gone) kept += entry + "\n";
        else if (!ToGo(entry) && (gone || it->second != value)) changed += entry + "\n";
    }
    for (const auto& entry : after) if (!before.count(entry.first)) changed += entry.first + " (added)\n";
    EXPECT_EQ(changed, "") << "changed beyond the two things";
    EXPECT_EQ(kept, "") << "left what should go";

    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brannock\\Other");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brannock\\TAVRIN-old");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRun.c_str(), "Other");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kSwitch.c_str(), "Other");
}
