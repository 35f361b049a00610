// The framework's promises that the application relies on: message maps
// with base maps, reflection of a child's notification to the child, command
// routing to the application object, the modal loop's pre-translation, and
// clean detaching when a window goes away.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Afx.h"

namespace {
constexpr UINT kTestDialog = 1;
constexpr UINT ID_APP_COMMAND = 0x8123;  // a menu-style command only the application handles

std::vector<CString> g_log;  // what the handlers saw, in order

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("FrameworkTest") {}
    void OnAppCommand() { g_log.push_back("app command"); }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_APP_COMMAND, OnAppCommand)
END_MESSAGE_MAP()

// A button that handles its own click.
class CSelfClickButton : public CButton {
protected:
    DECLARE_MESSAGE_MAP()
    void OnClicked() { g_log.push_back("button A reflected"); }
};
BEGIN_MESSAGE_MAP(CSelfClickButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CBaseDlg : public CDialog {
public:
    CBaseDlg() : CDialog(kTestDialog) {}

protected:
    DECLARE_MESSAGE_MAP()
    void OnButtonA() { g_log.push_back("parent A"); }
    void OnButtonB() { g_log.push_back("base B"); }
};
BEGIN_MESSAGE_MAP(CBaseDlg, CDialog)
    ON_BN_CLICKED(101, OnButtonA)
    ON_BN_CLICKED(102, OnButtonB)
END_MESSAGE_MAP()

// Runs a script of messages through its own modal loop, then ends.
class CScriptDlg : public CBaseDlg {
public:
    std::vector<MSG> m_script;  // posted at start; hwnd 0 means the dialog, 1.. a control id
    CSelfClickButton m_btnA;
    CButton m_btnCancel;
    bool m_bEndAfterScript = true;

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, 101, m_btnA);
        DDX_Control(pDX, IDCANCEL, m_btnCancel);
    }
    BOOL OnInitDialog() override
    {
        CBaseDlg::OnInitDialog();
        for (const MSG& msg : m_script) {
            HWND hWnd = msg.hwnd ? GetDlgItem(static_cast<int>(reinterpret_cast<INT_PTR>(msg.hwnd))) : m_hWnd;
            LPARAM lParam = msg.lParam == -1 ? reinterpret_cast<LPARAM>(GetDlgItem(LOWORD(msg.wParam))) : msg.lParam;
            ::PostMessageA(hWnd, msg.message, msg.wParam, lParam);
        }
        if (m_bEndAfterScript) ::PostMessageA(m_hWnd, WM_APP, 0, 0);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F2) {
            g_log.push_back(pMsg->hwnd == m_hWnd ? "F2 at dialog" : "F2 at child");
            return TRUE;
        }
        return CBaseDlg::PreTranslateMessage(pMsg);
    }
    void OnButtonB() { g_log.push_back("derived B"); }
    LRESULT OnScriptEnd(WPARAM, LPARAM)
    {
        g_log.push_back("end");
        EndDialog(42);
        return 0;
    }
    void OnDestroy()
    {
        g_log.push_back("destroy");
        Default();
    }
};
BEGIN_MESSAGE_MAP(CScriptDlg, CBaseDlg)
    ON_BN_CLICKED(102, OnButtonB)
    ON_MESSAGE(WM_APP, OnScriptEnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

// A control's click (lParam -1: the control's window) or a key at a control.
MSG Click(UINT id) { return MSG{nullptr, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), -1, 0, {}}; }
MSG Key(WPARAM vk, INT_PTR id) { return MSG{reinterpret_cast<HWND>(id), WM_KEYDOWN, vk, 0, 0, {}}; }

class Framework : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    CTestApp app;
    CScriptDlg dlg;
};
}  // namespace

TEST_F(Framework, DoModalReturnsTheEndDialogValueAndDetaches)
{
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(g_log, (std::vector<CString>{"end", "destroy"}));
    // WM_NCDESTROY detached every object.
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_btnA.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_btnCancel.m_hWnd, nullptr);
}

TEST_F(Framework, NotificationGoesToTheControlFirstThenToTheParent)
{
    // A has an object that handles its click; B has none, and the derived map
    // overrides the base map's entry for it.
    dlg.m_script = {Click(101), Click(102)};
    dlg.DoModal();
    EXPECT_EQ(g_log, (std::vector<CString>{"button A reflected", "derived B", "end", "destroy"}));
}

TEST_F(Framework, UnhandledMenuCommandsReachTheApplication)
{
    dlg.m_script = {MSG{nullptr, WM_COMMAND, ID_APP_COMMAND, 0, 0, {}}};
    dlg.DoModal();
    EXPECT_EQ(g_log.front(), "app command");
}

TEST_F(Framework, ExitCommandClosesTheMainWindowThroughCancel)
{
    app.m_pMainWnd = &dlg;
    dlg.m_script = {MSG{nullptr, WM_COMMAND, ID_APP_EXIT, 0, 0, {}}};
    dlg.m_bEndAfterScript = false;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(g_log, (std::vector<CString>{"destroy"}));
    app.m_pMainWnd = nullptr;
}

TEST_F(Framework, PreTranslateSeesMessagesOfTheDialogAndItsChildren)
{
    // Escape on a child would close a dialog through IsDialogMessage; the loop
    // must hand it over (and Cancel ends the dialog).
    dlg.m_script = {Key(VK_F2, 103), Key(VK_F2, 0), Key(VK_ESCAPE, 103)};
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(g_log, (std::vector<CString>{"F2 at child", "F2 at dialog", "destroy"}));
}

TEST_F(Framework, MessageBoxCaptionIsTheApplicationName)
{
    EXPECT_EQ(AfxGetAppName(), "FrameworkTest");
    CWinApp unnamed;
    EXPECT_EQ(unnamed.m_pszAppName, "unit_tests");  // the executable's name
}

TEST(String, MidClipsLikeTheClassicString)
{
    const CString text("abcdef");
    EXPECT_EQ(text.Mid(-3, 2), "ab");
    EXPECT_EQ(text.Mid(4, 10), "ef");
    EXPECT_EQ(text.Mid(2, -1), "");
    EXPECT_EQ(text.Mid(9, 2), "");
    EXPECT_EQ(text.Left(3), "abc");
}

TEST(String, LoadsResourceStringsAsShiftJis)
{
    CString text;
    ASSERT_TRUE(text.LoadString(7));
    EXPECT_EQ(text, "テスト表示");  // 表 ends in 0x5C
    EXPECT_EQ(text.GetLength(), 10);
    EXPECT_FALSE(text.LoadString(8));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(String, FormatGrowsAsNeeded)
{
    CString text;
    text.Format("%s,%d", CString('x', 5000).str().c_str(), -20);
    EXPECT_EQ(text.GetLength(), 5004);
    EXPECT_EQ(text.Mid(5000), ",-20");
}

TEST(WinApp, ApplicationNameIsTheFileNameWalkedByCharacter)
{
    // 表 is 95 5C: its second byte is no directory separator.
    EXPECT_EQ(AfxAppNameFromPath("C:\\Program Files\\表示\\表示.EXE"), "表示");
    EXPECT_EQ(AfxAppNameFromPath("C:\\tools\\TAVRIN.EXE"), "TAVRIN");
    EXPECT_EQ(AfxAppNameFromPath("Z:\\a.b\\ソフト.v2.exe"), "ソフト.v2");  // ソ is 83 5C
    EXPECT_EQ(AfxAppNameFromPath("C:\\dir.x\\NOEXT"), "NOEXT");
}

TEST(ColorDialog, CustomColoursLastForTheProcess)
{
    {
        CColorDialog first;
        first.m_cc.lpCustColors[3] = RGB(1, 2, 3);  // as the chooser stores a colour the user added
    }
    CColorDialog second;
    EXPECT_EQ(second.m_cc.lpCustColors[3], RGB(1, 2, 3));
}
