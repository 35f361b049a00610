// The four pages of the bar. In each row, nID[0] is always ← (1011), nID[1]
// → (1012), nID[2] the title-strip button 的 (1010) or 0 when the page does
// not show it, and the page's own buttons follow from nID[3]. nX[k] is the x
// position of nID[k] in dialog units.
#pragma once

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
// and the ten launch buttons. Anything else in a hand-edited custom list is
// skipped.
constexpr bool IsPageButtonId(int id)
{
    return (id >= 1001 && id <= 1032) && id != 1006 && id != 1010 && id != 1011 && id != 1012;
}
