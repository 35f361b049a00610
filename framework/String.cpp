#include "framework/String.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

CString CString::Mid(int nFirst, int nCount) const
{
    const int length = GetLength();
    if (nFirst < 0) nFirst = 0;
    if (nCount < 0) nCount = 0;
    if (nFirst > length) nFirst = length;
    if (nCount > length - nFirst) nCount = length - nFirst;
    return CString(m_str.data() + nFirst, nCount);
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength()) return -1;
    const auto pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (needed < 0) {
        m_str.clear();
    } else {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), pszFormat, args);
        m_str.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(args);
}

bool CString::LoadString(UINT nID)
{
    // A string resource holds at most 4097 characters; two bytes each in Shift-JIS.
    char buffer[8200];
    const int length = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buffer, sizeof buffer);
    m_str.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    return length > 0;
}
