#include "app/StartWithWindows.h"

#include "framework/Afx.h"
#include "framework/RegKey.h"

namespace {
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "Tavrin";
}  // namespace

bool IsStartedWithWindows()
{
    CRegKey key;
    return ::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS
           && ::RegQueryValueExA(key, kRunValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetStartedWithWindows(bool bOn)
{
    if (!bOn) {
        CRegKey key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS)
            ::RegDeleteValueA(key, kRunValue);
        return;
    }
    const CString path = AfxGetModulePath();
    if (path.IsEmpty()) return;
    const CString command = CString("\"") + path + CString("\"");
    CRegKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                          nullptr)
        == ERROR_SUCCESS)
        ::RegSetValueExA(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(command)),
                         static_cast<DWORD>(command.GetLength() + 1));
}
