// The custom page's choice of bar buttons: the list shows the stored row as
// ticks, OK writes the ticked buttons back in list order behind ← → and 的,
// and more than twelve buttons are refused with a message, leaving the row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "resources/resource.h"
#include "settings/CustomPageDlg.h"
#include "tests/unit/PageDriver.h"

namespace {
constexpr int kUntouched = 7777;  // fills the slots a test expects to stay as they were
constexpr int kTitleItem = 28;

// The custom page of a first start: ← → (no 的) 氏 姓 名 1 2 3.
const std::vector<int> kDefaultRow = {IDC_PREV,      IDC_NEXT,    0,           IDC_FULLNAME, IDC_FAMILYNAME,
                                      IDC_GIVENNAME, IDC_STRING1, IDC_STRING2, IDC_STRING3};

// The ids filled up to a whole row with kUntouched.
std::vector<int> Padded(std::vector<int> ids)
{
    ids.resize(kPageSlots, kUntouched);
    return ids;
}

PageRow MakeRow(int nCount, const std::vector<int>& ids)
{
    PageRow row{nCount, {}, {}};
    std::ranges::copy(Padded(ids), row.nID);
    for (int i = 0; i < kPageSlots; ++i) row.nX[i] = 100 + i;
    return row;
}

std::vector<int> Ids(const PageRow& row) { return std::vector<int>(row.nID, row.nID + kPageSlots); }

std::vector<int> TickedItems(HWND list)
{
    std::vector<int> items;
    for (int i = 0; i < static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i)
        if (::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) == 1) items.push_back(i);
    return items;
}

// A message box as the user saw it.
struct SeenBox {
    HWND owner;
    std::string caption;
    std::vector<std::string> texts;
    int buttons;
};

SeenBox Note(HWND hBox)
{
    char text[256] = "";
    ::GetWindowTextA(hBox, text, sizeof text);
    SeenBox box{::GetWindow(hBox, GW_OWNER), text, {}, 0};
    for (HWND child = ::GetWindow(hBox, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        ::GetClassNameA(child, cls, sizeof cls);
        if (!::IsWindowVisible(child)) continue;
        if (lstrcmpiA(cls, "Button") == 0) ++box.buttons;
        if (lstrcmpiA(cls, "Static") == 0 && ::GetWindowTextA(child, text, sizeof text) > 0)
            box.texts.emplace_back(text);
    }
    return box;
}

class CustomPage : public PageTest<CCustomPageDlg> {
protected:
    // Runs the sheet with the page on `row`: `act` runs on its list, then
    // `then`. Message boxes are noted in `boxes` and closed with OK.
    INT_PTR Run(PageRow& row, std::function<void(HWND)> act, Then then = Then::Ok)
    {
        page.Attach(row);
        CDialogAnswerer answerer([this](HWND box) {
            boxes.push_back(Note(box));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        return page.Run([this, act](CDrivenPage<CCustomPageDlg>& p) {
            sheet = p.GetParent();
            act(::GetDlgItem(p, IDC_CP_LIST));
        }, then);
    }

    std::vector<SeenBox> boxes;
    HWND sheet = nullptr;
};
}  // namespace

TEST_F(CustomPage, ListsTheButtonsAndTicksTheDefaultSelection)
{
    PageRow row = MakeRow(9, kDefaultRow);
    const PageRow before = row;
    ASSERT_EQ(Run(row, [](HWND list) {
        std::vector<std::string> texts;
        for (int item : {0, 3, 6, 7, 8, 9, 17, 18, 27, 28}) {
            char text[64] = "";
            ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        EXPECT_EQ(::SendMessageA(list, LB_GETCOUNT, 0, 0), 29);
        EXPECT_EQ(texts, (std::vector<std::string>{"氏", "〒", "E-Mail", "HP", "ﾕｰｻﾞｰ文字1", "ﾕｰｻﾞｰ文字2",
                                                   "ﾕｰｻﾞｰ文字10", "起動1", "起動10", "的"}));
        // 氏 姓 名 and user strings 1 to 3; 的 stays unticked for the 0 in entry 3.
        EXPECT_EQ(TickedItems(list), (std::vector<int>{0, 1, 2, 8, 9, 10}));
    }, Then::Cancel), IDCANCEL);
    // Cancel leaves the row alone.
    EXPECT_EQ(std::memcmp(&row, &before, sizeof row), 0);
}

TEST_F(CustomPage, UnknownIdsTickNothingAndAreDroppedOnOk)
{
    // 1006 is no control, the title strip is no choice, 9999 is nothing at all.
    PageRow row = MakeRow(8, {IDC_PREV, IDC_NEXT, IDC_TARGET, 9999, IDC_LAUNCH10, 1006, IDC_ZIP, IDC_TARGETTITLE});
    ASSERT_EQ(Run(row, [](HWND list) {
        EXPECT_EQ(TickedItems(list), (std::vector<int>{3, 27, kTitleItem}));
    }), IDOK);
    EXPECT_EQ(row.nCount, 5);
    EXPECT_EQ(Ids(row),
              Padded({IDC_PREV, IDC_NEXT, IDC_TARGET, IDC_ZIP, IDC_LAUNCH10, 1006, IDC_ZIP, IDC_TARGETTITLE}));
}

TEST_F(CustomPage, OnlyEntriesUpToTheCountAreTicked)
{
    for (int nCount : {0, -1, 4}) {
        SCOPED_TRACE(nCount);
        PageRow row = MakeRow(nCount, {IDC_PREV, IDC_NEXT, 0, IDC_FULLNAME, IDC_FAMILYNAME, IDC_GIVENNAME});
        ASSERT_EQ(Run(row, [nCount](HWND list) {
            EXPECT_EQ(TickedItems(list), nCount == 4 ? std::vector<int>{0} : std::vector<int>{});
        }, Then::Cancel), IDCANCEL);
    }
}

TEST_F(CustomPage, UntickingEverythingLeavesOnlyThePagingButtons)
{
    std::vector<int> ids = kDefaultRow;
    ids[2] = IDC_TARGET;
    PageRow row = MakeRow(9, ids);
    ASSERT_EQ(Run(row, [](HWND list) {
        ClickItems(list, {0, 1, 2, 8, 9, 10, kTitleItem});
        EXPECT_TRUE(TickedItems(list).empty());
    }), IDOK);
    EXPECT_EQ(row.nCount, 3);
    // Entries past the last one written keep their old values; nX is not touched.
    EXPECT_EQ(Ids(row), Padded(kDefaultRow));
    for (int i = 0; i < kPageSlots; ++i) EXPECT_EQ(row.nX[i], 100 + i);
}

TEST_F(CustomPage, TwoQuickClicksOnABoxAreTwoToggles)
{
    PageRow row = MakeRow(9, kDefaultRow);
    ASSERT_EQ(Run(row, [](HWND list) {
        // HP, not chosen, and 氏, chosen: each toggled and back. The list has
        // CS_DBLCLKS, so the second press arrives as a double click.
        for (int item : {7, 0}) {
            ClickItems(list, {item});
            ClickItems(list, {item}, true, WM_LBUTTONDBLCLK);
        }
        EXPECT_EQ(TickedItems(list), (std::vector<int>{0, 1, 2, 8, 9, 10}));
    }), IDOK);
}

TEST_F(CustomPage, OnlyTheTitleButtonGoesToItsOwnSlot)
{
    PageRow row = MakeRow(0, {});
    ASSERT_EQ(Run(row, [](HWND list) { ClickItems(list, {kTitleItem}); }), IDOK);
    EXPECT_EQ(row.nCount, 3);
    EXPECT_EQ(row.nID[0], IDC_PREV);
    EXPECT_EQ(row.nID[1], IDC_NEXT);
    EXPECT_EQ(row.nID[2], IDC_TARGET);
    EXPECT_EQ(row.nID[3], kUntouched);
}

TEST_F(CustomPage, ChosenButtonsAreStoredInListOrder)
{
    PageRow row = MakeRow(0, {});
    // Launch 1, user string 1, HP, user string 2, 〒, launch 10: ticked out of order.
    ASSERT_EQ(Run(row, [](HWND list) { ClickItems(list, {18, 8, 7, 9, 3, 27}); }), IDOK);
    EXPECT_EQ(row.nCount, 9);
    EXPECT_EQ(Ids(row), Padded({IDC_PREV, IDC_NEXT, 0, IDC_ZIP, IDC_HOMEPAGE, IDC_STRING1, IDC_STRING2, IDC_LAUNCH1,
                                IDC_LAUNCH10}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CustomPage, TwelveButtonsAndTheTitleButtonAreAccepted)
{
    PageRow row = MakeRow(3, {IDC_PREV, IDC_NEXT, 0});
    ASSERT_EQ(Run(row, [](HWND list) {
        ClickItems(list, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 27, kTitleItem});
    }), IDOK);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(row.nCount, 15);
    EXPECT_EQ(Ids(row), (std::vector<int>{IDC_PREV, IDC_NEXT, IDC_TARGET, IDC_FULLNAME, IDC_GIVENNAME, IDC_ADDRESS,
                                          IDC_MAIL, IDC_STRING1, IDC_STRING3, IDC_STRING5, IDC_STRING7,
                                          IDC_STRING9, IDC_LAUNCH1, IDC_LAUNCH3, IDC_LAUNCH10}));
}

TEST_F(CustomPage, ThirteenButtonsAreRefusedAndTheRowStays)
{
    PageRow row = MakeRow(5, {IDC_PREV, IDC_NEXT, IDC_TARGET, IDC_FULLNAME, IDC_LAUNCH1});
    const PageRow before = row;
    // The row already ticks 氏 and 起動1; eleven more make thirteen.
    // The sheet closes as accepted all the same.
    EXPECT_EQ(Run(row, [](HWND list) { ClickItems(list, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 19}); }), IDOK);
    ASSERT_EQ(boxes.size(), 1u);
    const SeenBox& box = boxes.front();
    EXPECT_EQ(box.owner, sheet);
    EXPECT_EQ(box.caption, "PageTest");
    EXPECT_EQ(box.texts, (std::vector<std::string>{"12個以上は選択できません。"}));
    EXPECT_EQ(box.buttons, 1);
    EXPECT_EQ(std::memcmp(&row, &before, sizeof row), 0);
}
