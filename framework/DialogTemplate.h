// What a DIALOGEX template of this module says about its font and its
// controls, read from the resource itself: the numbers the dialog manager
// started from, for code that lays the dialog out again at another DPI.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CDialogTemplate {
public:
    struct Item {
        int nID;
        RECT units;  // left, top, right, bottom in dialog units
    };

    // False when the resource is missing or not a DIALOGEX template.
    bool Load(HINSTANCE hInstance, UINT nIDTemplate);

    // The dialog font at `nDpi`, made as the dialog manager makes it; the
    // caller owns it. Null when the template names no font.
    HFONT CreateFontForDpi(UINT nDpi) const;
    // A control's rectangle in dialog units; empty for an id it lacks.
    RECT UnitsOf(int nID) const;

    std::vector<Item> m_items;
    std::wstring m_face;
    WORD m_nPoints = 0;
    WORD m_nWeight = 0;
    BYTE m_bItalic = 0;
    BYTE m_nCharSet = DEFAULT_CHARSET;
};

// Dialog base units of a font, measured as the dialog manager measures them
// (average width of the 52 letters, height of the font).
struct CDialogBase {
    int cx = 4;
    int cy = 8;
    static CDialogBase Of(HFONT hFont);
    int X(int nUnits) const { return ::MulDiv(nUnits, cx, 4); }
    int Y(int nUnits) const { return ::MulDiv(nUnits, cy, 8); }
};
