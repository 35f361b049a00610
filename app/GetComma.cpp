#include "app/GetComma.h"

#include <cstdlib>

IMPLEMENT_DYNCREATE(CGetComma, CObject)

int CGetComma::FindComma(int n) const
{
    int count = 0;
    for (int i = 0; i < m_strData.GetLength(); ++i) {
        if (m_strData.GetAt(i) == ',' && ++count == n) return i;
    }
    return -1;
}

int CGetComma::GetValue(int n) const
{
    int start = FindComma(n);
    if (start != -1)
        start += 1;
    else if (n == 0)
        start = 0;
    int end = FindComma(n + 1);
    if (end == -1 && start >= 0) end = m_strData.GetLength();
    return std::atoi(m_strData.Mid(start, end - start));
}
