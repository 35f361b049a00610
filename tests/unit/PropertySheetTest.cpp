// The property sheet's promises the settings pages rely on: a page runs its
// OnInitDialog when first shown, OnOK reaches exactly the pages that were
// shown, Cancel writes nothing back, and the owner-drawn check list keeps and
// toggles its checks.
#include <gtest/gtest.h>

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
