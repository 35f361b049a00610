#include "framework/DialogTemplate.h"

#include <cstring>

namespace {
// Walks a template's bytes; every read is bounds-checked, so a damaged
// resource ends the walk instead of reading past it.
class CReader {
public:
    CReader(const BYTE* p, size_t n) : m_p(p), m_n(n) {}
    template <typename T>
    T Read()
    {
        T value{};
        if (m_at + sizeof(T) > m_n) { m_ok = false; return value; }
        std::memcpy(&value, m_p + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }
    std::wstring String()
    {
        std::wstring s;
        for (wchar_t c; m_ok && (c = static_cast<wchar_t>(Read<WORD>())) != 0;) s += c;
        return s;
    }
    // A name or an ordinal (0xFFFF and one WORD), or nothing (0).
    void SkipNameOrOrdinal()
    {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF) Read<WORD>();
        else if (first != 0) { m_at -= sizeof(WORD); String(); }
    }
    void Skip(size_t n) { m_at += n; if (m_at > m_n) m_ok = false; }
    void AlignToDword() { m_at = (m_at + 3) & ~static_cast<size_t>(3); }
    bool Ok() const { return m_ok; }

private:
    const BYTE* m_p;
    size_t m_n;
    size_t m_at = 0;
    bool m_ok = true;
};
}  // namespace

bool CDialogTemplate::Load(HINSTANCE hInstance, UINT nIDTemplate)
{
    HRSRC hRes = ::FindResourceA(hInstance, MAKEINTRESOURCEA(nIDTemplate), MAKEINTRESOURCEA(5));
    HGLOBAL hData = hRes ? ::LoadResource(hInstance, hRes) : nullptr;
    const auto* p = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    if (!p) return false;
    CReader r(p, ::SizeofResource(hInstance, hRes));
    if (r.Read<WORD>() != 1 || r.Read<WORD>() != 0xFFFF) return false;  // DIALOGEX only
    r.Skip(8);                                                          // help id, extended style
    const DWORD style = r.Read<DWORD>();
    const WORD count = r.Read<WORD>();
    r.Skip(4 * sizeof(short));
    r.SkipNameOrOrdinal();  // menu
    r.SkipNameOrOrdinal();  // class
    r.String();             // title
    if (style & DS_SETFONT) {
        m_nPoints = r.Read<WORD>();
        m_nWeight = r.Read<WORD>();
        m_bItalic = r.Read<BYTE>();
        m_nCharSet = r.Read<BYTE>();
        m_face = r.String();
    }
    m_items.clear();
    for (WORD i = 0; i < count && r.Ok(); ++i) {
        r.AlignToDword();
        r.Skip(12);  // help id, extended style, style
        const short x = r.Read<short>(), y = r.Read<short>(), cx = r.Read<short>(), cy = r.Read<short>();
        const int id = static_cast<int>(r.Read<DWORD>());
        r.SkipNameOrOrdinal();  // class
        r.SkipNameOrOrdinal();  // text
        r.Skip(r.Read<WORD>());  // creation data
        if (r.Ok()) m_items.push_back({id, {x, y, x + cx, y + cy}});
    }
    return r.Ok();
}

HFONT CDialogTemplate::CreateFontForDpi(UINT nDpi) const
{
    if (m_face.empty()) return nullptr;
    return ::CreateFontW(-::MulDiv(m_nPoints, static_cast<int>(nDpi), 72), 0, 0, 0, m_nWeight, m_bItalic, FALSE, FALSE,
                         m_nCharSet, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_DONTCARE,
                         m_face.c_str());
}

RECT CDialogTemplate::UnitsOf(int nID) const
{
    for (const Item& item : m_items)
        if (item.nID == nID) return item.units;
    return RECT{0, 0, 0, 0};
}

CDialogBase CDialogBase::Of(HFONT hFont)
{
    CDialogBase base;
    HDC hDC = ::GetDC(nullptr);
    if (!hDC) return base;
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    TEXTMETRICA tm{};
    SIZE extent{};
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (::GetTextMetricsA(hDC, &tm) && ::GetTextExtentPoint32A(hDC, kLetters, 52, &extent)) {
        base.cx = static_cast<int>((extent.cx / 26 + 1) / 2);
        base.cy = static_cast<int>(tm.tmHeight);
    }
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    return base;
}
