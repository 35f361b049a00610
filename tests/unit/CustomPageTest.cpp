// The custom page's choice of bar buttons: the list shows the stored row as
// ticks, OK writes the ticked buttons back in list order behind ← → and 的,
// and more than twelve buttons are refused with a message, leaving the row.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <vector>

#include "framework/Afx.h"
#include "resources/resource.h"
#include "settings/CustomPageDlg.h"
#include "tests/unit/PageDriver.h"

namespace {
constexpr int kUntouched = 7777;  // fills the slots a test expects to stay as they were
constexpr int kTitleItem = 28;
const char kLimitText[] = "12個以上は選択できません。";

// The custom page of a first start: ← → (no 的) 氏 姓 名 1 2 3.
const std::vector<int> kDefaultRow = {IDC_PREV,      IDC_NEXT,    0,           IDC_FULLNAME, IDC_FAMILYNAME,
                                      IDC_GIVENNAME, IDC_STRING1, IDC_STRING2, IDC_STRING3};

PageRow MakeRow(int nCount, const std::vector<int>& ids)
{
    PageRow row{};
    row.nCount = nCount;
    for (int& id : row.nID) id = kUntouched;
    for (int i = 0; i < kPageSlots; ++i) row.nX[i] = 100 + i;
    int i = 0;
    for (int id : ids) row.nID[i++] = id;
    return row;
}

std::vector<int> Ids(const PageRow& row)
{
    return std::vector<int>(row.nID, row.nID + kPageSlots);
}

bool Ticked(HWND list, int item)
{
    return ::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(item), 0) == 1;
}

std::vector<int> TickedItems(HWND list)
{
    std::vector<int> items;
    const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (Ticked(list, i)) items.push_back(i);
    return items;
}

CString ItemText(HWND list, int item)
{
    char buffer[64]{};
    ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(buffer));
    return CString(buffer);
}

// A click on the item's check box, scrolled into view first.
void ClickBox(HWND list, int item)
{
    ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(item), 0);
    RECT rc{};
    ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM(rc.left + 3, (rc.top + rc.bottom) / 2);
    ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(list, WM_LBUTTONUP, 0, at);
}

// Two quick clicks: the list has CS_DBLCLKS, so the second press arrives as
// a double click.
void DoubleClickBox(HWND list, int item)
{
    ClickBox(list, item);
    RECT rc{};
    ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM(rc.left + 3, (rc.top + rc.bottom) / 2);
    ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageA(list, WM_LBUTTONUP, 0, at);
}

void ClickBoxes(HWND list, std::initializer_list<int> items)
{
    for (int item : items) ClickBox(list, item);
}

// Message boxes that turn up while the sheet runs: a thread timer, which the
// message box's own loop dispatches too, notes and closes each one.
struct SeenBox {
    HWND owner;
    CString caption;
    std::vector<CString> texts;
    int buttons;
};
std::vector<SeenBox> g_boxes;
HWND g_sheet = nullptr;
HWND g_closing = nullptr;
int g_ticks = 0;

BOOL CALLBACK NoteChild(HWND hWnd, LPARAM lParam)
{
    auto* box = reinterpret_cast<SeenBox*>(lParam);
    char cls[32]{};
    ::GetClassNameA(hWnd, cls, sizeof cls);
    if (!::IsWindowVisible(hWnd)) return TRUE;
    if (lstrcmpiA(cls, "Button") == 0) ++box->buttons;
    if (lstrcmpiA(cls, "Static") == 0) {
        char text[256]{};
        if (::GetWindowTextA(hWnd, text, sizeof text) > 0) box->texts.emplace_back(text);
    }
    return TRUE;
}

BOOL CALLBACK CloseIfMessageBox(HWND hWnd, LPARAM)
{
    char cls[32]{};
    ::GetClassNameA(hWnd, cls, sizeof cls);
    if (hWnd == g_sheet || hWnd == g_closing || !::IsWindowVisible(hWnd) || lstrcmpA(cls, "#32770") != 0)
        return TRUE;
    SeenBox box{::GetWindow(hWnd, GW_OWNER), CString(), {}, 0};
    char caption[256]{};
    ::GetWindowTextA(hWnd, caption, sizeof caption);
    box.caption = caption;
    ::EnumChildWindows(hWnd, NoteChild, reinterpret_cast<LPARAM>(&box));
    g_boxes.push_back(box);
    g_closing = hWnd;
    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK OnWatchTimer(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseIfMessageBox, 0);
    // Should the sheet stay open against all expectation, end it after
    // about twenty seconds so the test fails instead of hanging.
    if (++g_ticks == 400 && g_sheet && ::IsWindow(g_sheet))
        ::PostMessageA(g_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

class CustomPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_boxes.clear();
        g_sheet = nullptr;
        g_closing = nullptr;
        g_ticks = 0;
    }

    // Runs the sheet with the page on `row`: `act` runs on its list, then OK
    // (or Cancel) is pressed; the result of DoModal.
    INT_PTR Run(PageRow& row, std::function<void(HWND)> act, bool pressOk = true)
    {
        CDrivenPage<CCustomPageDlg> page;
        page.Attach(row);
        page.m_drive = [act, pressOk](CDrivenPage<CCustomPageDlg>& p) {
            g_sheet = p.Sheet();
            if (act) act(p.Item(IDC_CP_LIST));
            return pressOk ? Then::Ok : Then::Cancel;
        };
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, OnWatchTimer);
        const INT_PTR result = RunSheet({&page});
        ::KillTimer(nullptr, timer);
        return result;
    }

    CWinApp app{"CustomPageTest"};
};
}  // namespace

TEST_F(CustomPage, ListsTheButtonsAndTicksTheDefaultSelection)
{
    PageRow row = MakeRow(9, kDefaultRow);
    const PageRow before = row;
    std::vector<int> ticked;
    std::vector<CString> texts;
    int count = 0;
    ASSERT_EQ(Run(row, [&](HWND list) {
        ticked = TickedItems(list);
        count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int item : {0, 3, 6, 7, 8, 9, 17, 18, 27, 28}) texts.push_back(ItemText(list, item));
    }, false), IDCANCEL);
    EXPECT_EQ(count, 29);
    EXPECT_EQ(texts, (std::vector<CString>{"氏", "〒", "E-Mail", "HP", "ﾕｰｻﾞｰ文字1", "ﾕｰｻﾞｰ文字2",
                                           "ﾕｰｻﾞｰ文字10", "起動1", "起動10", "的"}));
    // 氏 姓 名 and user strings 1 to 3; 的 stays unticked for the 0 in entry 3.
    EXPECT_EQ(ticked, (std::vector<int>{0, 1, 2, 8, 9, 10}));
    // Cancel leaves the row alone.
    EXPECT_EQ(std::memcmp(&row, &before, sizeof row), 0);
}

TEST_F(CustomPage, UnknownIdsTickNothingAndAreDroppedOnOk)
{
    // 1006 is no control, the title strip is no choice, 9999 is nothing at all.
    PageRow row = MakeRow(8, {IDC_PREV, IDC_NEXT, IDC_TARGET, 9999, IDC_LAUNCH10, 1006, IDC_ZIP, IDC_TARGETTITLE});
    std::vector<int> ticked;
    ASSERT_EQ(Run(row, [&](HWND list) { ticked = TickedItems(list); }), IDOK);
    EXPECT_EQ(ticked, (std::vector<int>{3, 27, kTitleItem}));
    EXPECT_EQ(row.nCount, 5);
    EXPECT_EQ(Ids(row), (std::vector<int>{IDC_PREV, IDC_NEXT, IDC_TARGET, IDC_ZIP, IDC_LAUNCH10, 1006, IDC_ZIP,
                                          IDC_TARGETTITLE, kUntouched, kUntouched, kUntouched, kUntouched,
                                          kUntouched, kUntouched, kUntouched}));
}

TEST_F(CustomPage, OnlyEntriesUpToTheCountAreTicked)
{
    for (int nCount : {0, -1, 4}) {
        SCOPED_TRACE(nCount);
        PageRow row = MakeRow(nCount, {IDC_PREV, IDC_NEXT, 0, IDC_FULLNAME, IDC_FAMILYNAME, IDC_GIVENNAME});
        std::vector<int> ticked;
        ASSERT_EQ(Run(row, [&](HWND list) { ticked = TickedItems(list); }, false), IDCANCEL);
        EXPECT_EQ(ticked, nCount == 4 ? std::vector<int>{0} : std::vector<int>{});
    }
}

TEST_F(CustomPage, UntickingEverythingLeavesOnlyThePagingButtons)
{
    std::vector<int> ids = kDefaultRow;
    ids[2] = IDC_TARGET;
    PageRow row = MakeRow(9, ids);
    std::vector<int> after;
    ASSERT_EQ(Run(row, [&](HWND list) {
        ClickBoxes(list, {0, 1, 2, 8, 9, 10, kTitleItem});
        after = TickedItems(list);
    }), IDOK);
    EXPECT_TRUE(after.empty());
    EXPECT_EQ(row.nCount, 3);
    // Entries past the last one written keep their old values; nX is not touched.
    std::vector<int> expected = kDefaultRow;
    expected.resize(kPageSlots, kUntouched);
    EXPECT_EQ(Ids(row), expected);
    for (int i = 0; i < kPageSlots; ++i) EXPECT_EQ(row.nX[i], 100 + i);
}

TEST_F(CustomPage, TwoQuickClicksOnABoxAreTwoToggles)
{
    PageRow row = MakeRow(9, kDefaultRow);
    std::vector<int> after;
    ASSERT_EQ(Run(row, [&](HWND list) {
        DoubleClickBox(list, 7);  // HP, not chosen: ticked and unticked again
        DoubleClickBox(list, 0);  // 氏, chosen: unticked and ticked again
        after = TickedItems(list);
    }), IDOK);
    EXPECT_EQ(after, (std::vector<int>{0, 1, 2, 8, 9, 10}));
}

TEST_F(CustomPage, OnlyTheTitleButtonGoesToItsOwnSlot)
{
    PageRow row = MakeRow(0, {});
    ASSERT_EQ(Run(row, [](HWND list) { ClickBox(list, kTitleItem); }), IDOK);
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
    ASSERT_EQ(Run(row, [](HWND list) { ClickBoxes(list, {18, 8, 7, 9, 3, 27}); }), IDOK);
    EXPECT_EQ(row.nCount, 9);
    EXPECT_EQ(Ids(row), (std::vector<int>{IDC_PREV, IDC_NEXT, 0, IDC_ZIP, IDC_HOMEPAGE, IDC_STRING1, IDC_STRING2,
                                          IDC_LAUNCH1, IDC_LAUNCH10, kUntouched, kUntouched, kUntouched, kUntouched,
                                          kUntouched, kUntouched}));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(CustomPage, TwelveButtonsAndTheTitleButtonAreAccepted)
{
    PageRow row = MakeRow(3, {IDC_PREV, IDC_NEXT, 0});
    ASSERT_EQ(Run(row, [](HWND list) {
        ClickBoxes(list, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 27, kTitleItem});
    }), IDOK);
    EXPECT_TRUE(g_boxes.empty());
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
    const INT_PTR result = Run(row, [](HWND list) { ClickBoxes(list, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 19}); });
    // The sheet closes as accepted all the same.
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(g_boxes.size(), 1u);
    const SeenBox& box = g_boxes.front();
    EXPECT_EQ(box.owner, g_sheet);
    EXPECT_EQ(box.caption, "CustomPageTest");
    EXPECT_EQ(box.texts, (std::vector<CString>{kLimitText}));
    EXPECT_EQ(box.buttons, 1);
    EXPECT_EQ(std::memcmp(&row, &before, sizeof row), 0);
}
