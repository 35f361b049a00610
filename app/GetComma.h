// CGetComma: reads a comma-separated list of decimal integers field by field
// ("100,100", "1011,1012,0,1001"). Fields are split at every comma byte (a
// Shift-JIS second byte is never a comma); a field's value is what atoi reads
// from it, and a field that does not exist reads as 0.
#pragma once
#include "framework/Afx.h"

class CGetComma : public CObject {
    DECLARE_DYNCREATE(CGetComma)
public:
    CGetComma() = default;
    ~CGetComma() override = default;

    void SetString(const CString& text) { m_strData = text; }
    // Field n, counting from 0; 0 for a field that is missing or not a number.
    int GetValue(int n) const;
    // Byte offset of the n-th comma (counting from 1), or -1.
    int FindComma(int n) const;

    CString m_strData;
};
