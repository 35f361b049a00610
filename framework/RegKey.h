// An open registry key, closed with the wrapper on every path.
#pragma once
#include <windows.h>

class CRegKey {
public:
    explicit CRegKey(HKEY hKey = nullptr) : m_hKey(hKey) {}
    ~CRegKey() { if (m_hKey) ::RegCloseKey(m_hKey); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    operator HKEY() const { return m_hKey; }
    // For the opening call's out parameter.
    HKEY* operator&() { return &m_hKey; }

private:
    HKEY m_hKey;
};
