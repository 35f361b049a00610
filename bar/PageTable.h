// The four pages of the bar. In each row, nID[0] is always ← (IDC_PREV),
// nID[1] → (IDC_NEXT), nID[2] the title-strip button 的 (IDC_TARGET) or 0 when
// the page does not show it, and the page's own buttons follow from nID[3]. nX[k] is the x
// position of nID[k] in dialog units.
#pragma once

#include "resources/resource.h"

constexpr int kPageSlots = 15;
constexpr int kFirstOwnSlot = 3;
constexpr int kPageCount = 4;
constexpr int kCustomPage = 3;

struct PageRow {
    int nCount;  // used slots of nID
    int nID[kPageSlots];
    int nX[kPageSlots];
};

// Indexed by page number 1..4; row 0 is unused.
extern PageRow g_PageTable[kPageCount + 1];

// The controls a page may show as its own buttons: the eighteen text buttons
// and the ten launch buttons, in the order the custom page's settings list
// offers them.
constexpr int kPageButtonIds[] = {
    IDC_FULLNAME, IDC_FAMILYNAME, IDC_GIVENNAME, IDC_ZIP, IDC_ADDRESS, IDC_PHONE, IDC_MAIL, IDC_HOMEPAGE,
    IDC_STRING1, IDC_STRING2, IDC_STRING3, IDC_STRING4, IDC_STRING5,
    IDC_STRING6, IDC_STRING7, IDC_STRING8, IDC_STRING9, IDC_STRING10,
    IDC_LAUNCH1, IDC_LAUNCH2, IDC_LAUNCH3, IDC_LAUNCH4, IDC_LAUNCH5,
    IDC_LAUNCH6, IDC_LAUNCH7, IDC_LAUNCH8, IDC_LAUNCH9, IDC_LAUNCH10,
};

// Anything else in a hand-edited custom list is skipped.
constexpr bool IsPageButtonId(int id)
{
    for (int button : kPageButtonIds)
        if (button == id) return true;
    return false;
}
