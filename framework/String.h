// CString: a string of ANSI bytes (Shift-JIS here). Lengths and positions are
// byte counts; nothing is ever converted. A thin value type over std::string.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR psz) : m_str(psz ? psz : "") {}
    CString(LPCSTR pch, int nLength) : m_str(pch, nLength > 0 ? nLength : 0) {}
    CString(char ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}

    operator LPCSTR() const { return m_str.c_str(); }
    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int nIndex) const { return m_str[nIndex]; }

    // Substrings clip like the classic CString: a negative start counts as 0,
    // a negative count as 0, a count past the end stops at the end.
    CString Mid(int nFirst, int nCount) const;
    CString Mid(int nFirst) const { return Mid(nFirst, GetLength()); }
    CString Left(int nCount) const { return Mid(0, nCount); }
    int Find(char ch, int nStart = 0) const;

    void Format(LPCSTR pszFormat, ...) __attribute__((format(printf, 2, 3)));
    // Loads a string resource of this module; false (and empty) if missing.
    bool LoadString(UINT nID);

    CString& operator=(LPCSTR psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }
    friend CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, LPCSTR b) { return a.m_str == (b ? b : ""); }

    const std::string& str() const { return m_str; }

private:
    std::string m_str;
};
