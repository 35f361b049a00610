// The property sheet's promises the settings pages rely on: a page runs its
// OnInitDialog when first shown, OnOK reaches exactly the pages that were
// shown, Cancel writes nothing back, and the owner-drawn check list keeps and
// toggles its checks.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/Afx.h"

namespace {
std::vector<CString> g_log;

class CLoggingPage : public CPropertyPage {
public:
    CLoggingPage(UINT nIDTemplate, const char* name) : CPropertyPage(nIDTemplate), m_name(name) {}
    std::function<void(CLoggingPage&)> m_onInit;  // runs once the page exists

    BOOL OnInitDialog() override
    {
        CPropertyPage::OnInitDialog();
        g_log.push_back(m_name + " init");
        if (m_onInit) m_onInit(*this);
        return TRUE;
    }
    void OnOK() override { g_log.push_back(m_name + " ok"); }
    void OnCancel() override { g_log.push_back(m_name + " cancel"); }
    HWND Sheet() const { return GetParent(); }

    CString m_name;
};

class CCheckListPage : public CLoggingPage {
public:
    CCheckListPage() : CLoggingPage(3, "two") {}
    CCheckListBox m_list;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 301, m_list); }
};

void PressOk(HWND sheet) { ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); }
void PressCancel(HWND sheet) { ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

class PropertySheetPages : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    CWinApp app{"PropertySheetTest"};
};
}  // namespace

TEST_F(PropertySheetPages, OkReachesOnlyThePagesThatWereShown)
{
    CLoggingPage one(2, "one");
    CCheckListPage two;
    one.m_onInit = [](CLoggingPage& page) { PressOk(page.Sheet()); };
    CPropertySheet sheet("Sheet");
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(g_log, (std::vector<CString>{"one init", "one ok"}));
    EXPECT_EQ(one.m_hWnd, nullptr);
}

TEST_F(PropertySheetPages, StartsOnTheChosenPageAndAppliesEveryPageShown)
{
    CLoggingPage one(2, "one");
    CCheckListPage two;
    // Page two opens first; it switches to page one, which presses OK.
    two.m_onInit = [](CLoggingPage& page) { ::PostMessageA(page.Sheet(), PSM_SETCURSEL, 0, 0); };
    one.m_onInit = [](CLoggingPage& page) { PressOk(page.Sheet()); };
    CPropertySheet sheet("Sheet", nullptr, 1);
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(g_log, (std::vector<CString>{"two init", "one init", "one ok", "two ok"}));
}

TEST_F(PropertySheetPages, CancelCallsNoOnOk)
{
    CLoggingPage one(2, "one");
    one.m_onInit = [](CLoggingPage& page) { PressCancel(page.Sheet()); };
    CPropertySheet sheet("Sheet");
    sheet.AddPage(&one);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(g_log, (std::vector<CString>{"one init", "one cancel"}));
}

TEST_F(PropertySheetPages, CheckListKeepsAndTogglesChecks)
{
    CCheckListPage two;
    std::vector<int> seen;
    two.m_onInit = [&seen](CLoggingPage& base) {
        auto& page = static_cast<CCheckListPage&>(base);
        CCheckListBox& list = page.m_list;
        list.AddString("first");
        list.AddString("second");
        list.AddString("third");
        list.SetCheck(1, 1);
        seen.push_back(list.GetCheck(0));
        seen.push_back(list.GetCheck(1));
        RECT item{};
        list.SendMessage(LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
        const int middle = (item.top + item.bottom) / 2;
        // A click on the box of "third" ticks it; a click on its text does not.
        list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 3, middle));
        list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(item.left + 3, middle));
        seen.push_back(list.GetCheck(2));
        list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.right - 3, middle));
        list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(item.right - 3, middle));
        seen.push_back(list.GetCheck(2));
        // The space bar toggles the item with the caret (now "third").
        list.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
        seen.push_back(list.GetCheck(2));
        seen.push_back(list.GetText(1) == "second" ? 1 : 0);
        PressOk(page.Sheet());
    };
    CPropertySheet sheet("Sheet");
    sheet.AddPage(&two);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 1, 0, 1}));
}
