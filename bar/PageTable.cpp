#include "bar/PageTable.h"

// clang-format off
PageRow g_PageTable[kPageCount + 1] = {
    {},
    // 1: personal data
    {11, {IDC_PREV, IDC_NEXT, IDC_TARGET, IDC_FULLNAME, IDC_FAMILYNAME, IDC_GIVENNAME, IDC_ZIP, IDC_ADDRESS,
          IDC_PHONE, IDC_MAIL, IDC_HOMEPAGE},
         {1, 151, 135, 17, 28, 39, 57, 68, 79, 96, 119}},
    // 2: user strings
    {13, {IDC_PREV, IDC_NEXT, IDC_TARGET, IDC_STRING1, IDC_STRING2, IDC_STRING3, IDC_STRING4, IDC_STRING5,
          IDC_STRING6, IDC_STRING7, IDC_STRING8, IDC_STRING9, IDC_STRING10},
         {1, 151, 135, 17, 28, 39, 50, 61, 76, 87, 98, 109, 120}},
    // 3: custom page; its ids are loaded from the settings at start
    {3, {IDC_PREV, IDC_NEXT, IDC_TARGET},
        {1, 151, 135, 17}},
    // 4: launch buttons
    {13, {IDC_PREV, IDC_NEXT, IDC_TARGET, IDC_LAUNCH1, IDC_LAUNCH2, IDC_LAUNCH3, IDC_LAUNCH4, IDC_LAUNCH5,
          IDC_LAUNCH6, IDC_LAUNCH7, IDC_LAUNCH8, IDC_LAUNCH9, IDC_LAUNCH10},
         {1, 151, 135, 17, 28, 39, 50, 61, 76, 87, 98, 109, 120}},
};
// clang-format on
