#include "app/StartWithWindows.h"

#include <windows.h>

#include <string>
#include <vector>

#include "framework/RegKey.h"

namespace {
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Windows 8 and later keep the switch of their start-up list. Not
// documented by Microsoft, so read with care: only a value Windows could
// have written as "off" counts as off.
constexpr const wchar_t* kApprovedKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr const wchar_t* kValue = L"Tavrin";
// Windows runs no longer command line from the Run key.
constexpr size_t kRunCommandLimit = 260;
// A flag word, then the time it was turned off.
constexpr DWORD kApprovedSize = 4 + sizeof(FILETIME);

// The Unicode path of this executable, whole even beyond MAX_PATH: a folder
// named outside code page 932 would come out as "?" in the ANSI path.
std::wstring ModulePath()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) return {};
        if (got < path.size() - 1 || path.size() >= 0x10000) return std::wstring(path.data(), got);
        path.resize(path.size() * 4);
    }
}

// The Run value, or nothing when it is missing or not a string.
bool RunValue(std::wstring* pValue)
{
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValue, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                       nullptr, &size)
        != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1);
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValue, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                       data.data(), &size)
        != ERROR_SUCCESS)
        return false;
    *pValue = data.data();
    return true;
}

// Turned off in the start-up list: a binary value whose first byte is 03 or
// 07, followed by the time. Missing, short or anything else means on.
bool MarkedOff()
{
    BYTE data[64] = {};
    DWORD size = sizeof data, type = 0;
    CRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS
        || ::RegQueryValueExW(key, kValue, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return false;
    return type == REG_BINARY && size >= kApprovedSize && (data[0] == 0x03 || data[0] == 0x07);
}

// The Run value's command line for `path`: the path in double quotes, or
// empty when it is longer than Windows starts from that key.
std::wstring RunCommandFor(const std::wstring& path)
{
    const std::wstring command = L"\"" + path + L"\"";
    return command.size() <= kRunCommandLimit ? command : std::wstring();
}
}  // namespace

bool IsStartedWithWindows()
{
    std::wstring value;
    return RunValue(&value) && !MarkedOff();
}

StartUpResult ApplyStartWithWindows(bool bShown, bool bTicked)
{
    if (!bTicked) {
        if (bShown) ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kValue);
        return StartUpResult::Done;
    }
    const std::wstring path = ModulePath();
    if (path.empty()) return StartUpResult::Done;  // no path to give Windows
    const std::wstring command = RunCommandFor(path);
    if (command.empty()) return StartUpResult::PathTooLong;
    std::wstring value;
    if (RunValue(&value) && value == command && !MarkedOff()) return StartUpResult::Done;

    CRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                          nullptr)
            == ERROR_SUCCESS
        && ::RegSetValueExW(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)))
               == ERROR_SUCCESS)
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, kValue);
    return StartUpResult::Done;
}
