// The property sheet's promises the settings pages rely on: a page runs its
// OnInitDialog when first shown, OnOK reaches exactly the pages that were
// shown, Cancel writes nothing back, and the owner-drawn check list keeps and
// toggles its checks and draws the visual style's check box.
#include <gtest/gtest.h>

#include <windows.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "tests/unit/PageDriver.h"

namespace {
std::vector<CString> g_log;

class CLoggingPage : public CPropertyPage {
public:
    CLoggingPage(UINT nIDTemplate, const char* name) : CPropertyPage(nIDTemplate), m_name(name) {}

    BOOL OnInitDialog() override
    {
        g_log.push_back(m_name + " init");
        return CPropertyPage::OnInitDialog();
    }
    void OnOK() override { g_log.push_back(m_name + " ok"); }
    void OnCancel() override { g_log.push_back(m_name + " cancel"); }

    CString m_name;
};

class PropertySheetPages : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    CWinApp app{"PropertySheetTest"};
    CDrivenPage<CLoggingPage> one{3, "one"};  // presses OK when shown
    CDrivenPage<CLoggingPage> two{3, "two"};
};
}  // namespace

TEST_F(PropertySheetPages, OkReachesOnlyThePagesThatWereShown)
{
    EXPECT_EQ(RunSheet({&one, &two}), IDOK);
    EXPECT_EQ(g_log, (std::vector<CString>{"one init", "one ok"}));
    EXPECT_EQ(one.m_hWnd, nullptr);
}

TEST_F(PropertySheetPages, StartsOnTheChosenPageAndAppliesEveryPageShown)
{
    // Page two opens first; it switches to page one, which presses OK.
    two.m_steps = [](auto& page) { ::PostMessageA(page.GetParent(), PSM_SETCURSEL, 0, 0); };
    two.m_then = Then::Stay;
    EXPECT_EQ(RunSheet({&one, &two}, 1), IDOK);
    EXPECT_EQ(g_log, (std::vector<CString>{"two init", "one init", "one ok", "two ok"}));
}

TEST_F(PropertySheetPages, CancelCallsNoOnOk)
{
    EXPECT_EQ(one.Run(nullptr, Then::Cancel), IDCANCEL);
    EXPECT_EQ(g_log, (std::vector<CString>{"one init", "one cancel"}));
}

TEST_F(PropertySheetPages, CheckListKeepsAndTogglesChecks)
{
    EXPECT_EQ(two.Run([](auto& page) {
        CCheckListBox list;
        list.SubclassDlgItem(301, &page);
        list.AddString("first");
        list.AddString("second");
        list.AddString("third");
        list.SetCheck(1, 1);
        EXPECT_EQ(list.GetCheck(0), 0);
        EXPECT_EQ(list.GetCheck(1), 1);
        // A click on the box of "third" ticks it; a click on its text does not.
        ClickItems(list, {2});
        EXPECT_EQ(list.GetCheck(2), 1);
        ClickItems(list, {2}, false);
        EXPECT_EQ(list.GetCheck(2), 1);
        // The space bar toggles the item with the caret (now "third").
        list.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_EQ(list.GetCheck(2), 0);
        EXPECT_EQ(list.GetText(1), "second");
    }), IDOK);
}

namespace {
// A 20 x 20 white bitmap, drawn on by `draw`; its pixels.
std::vector<DWORD> Drawn(const std::function<void(HDC)>& draw)
{
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 20, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT cell{0, 0, 20, 20};
    ::FillRect(dc, &cell, ::GetSysColorBrush(COLOR_WINDOW));
    draw(dc);
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + 400);
    ::DeleteObject(::SelectObject(dc, old));
    ::DeleteDC(dc);
    return pixels;
}
}  // namespace

// Under a visual style (Wine's Light one here) the ticked box is the style's
// own check box, at its own size in the middle of the square, as the page's
// other check boxes draw theirs.
TEST_F(PropertySheetPages, CheckListDrawsTheVisualStylesBox)
{
    EXPECT_EQ(two.Run([](auto& page) {
        HWND list = ::GetDlgItem(page.m_hWnd, 301);
        HTHEME theme = ::OpenThemeData(list, L"BUTTON");
        ASSERT_NE(theme, nullptr) << "no visual style active";
        const std::vector<DWORD> themed = Drawn([&](HDC dc) {
            SIZE size{};
            ::GetThemePartSize(theme, dc, BP_CHECKBOX, CBS_CHECKEDNORMAL, nullptr, TS_DRAW, &size);
            const RECT box{(20 - size.cx) / 2, (20 - size.cy) / 2, (20 - size.cx) / 2 + size.cx, (20 - size.cy) / 2 + size.cy};
            ::DrawThemeBackground(theme, dc, BP_CHECKBOX, CBS_CHECKEDNORMAL, &box, nullptr);
        });
        ::CloseThemeData(theme);
        CCheckListBox checkList;
        checkList.SubclassDlgItem(301, &page);
        checkList.AddString("ticked");
        const std::vector<DWORD> item = Drawn([&](HDC dc) {
            // One item 20 px high, its square box cell leftmost: only that is compared.
            DRAWITEMSTRUCT draw{ODT_LISTBOX, 301, 0, ODA_DRAWENTIRE, 0, list, dc, {0, 0, 20, 20}, 1};
            ::SendMessageA(page.m_hWnd, WM_DRAWITEM, 301, reinterpret_cast<LPARAM>(&draw));
        });
        EXPECT_EQ(item, themed);
    }), IDOK);
}
