// The extended functions page and the hot key page, each run in a real
// property sheet and driven through its controls as a user would.
#include <gtest/gtest.h>

#include <string>

#include "bar/BarDlg.h"
#include "bar/Records.h"
#include "framework/Afx.h"
#include "resources/resource.h"
#include "settings/ExtensionDlg.h"
#include "settings/HotKeyDlg.h"
#include "tests/unit/PageDriver.h"

namespace {
class SettingsPageTest : public ::testing::Test {
protected:
    CWinApp app{"ExtensionHotKeyTest"};
};

// ---- extended functions page -----------------------------------------------

using CExtensionPage = CDrivenPage<CExtensionDlg>;

class ExtensionPage : public SettingsPageTest {
protected:
    int option = 0;
    COLORREF colour = RGB(0, 0, 255);
    int pos = 0;
    CExtensionPage page;
    // The page copies the colour when attached, so attach once it is set.
    INT_PTR Run()
    {
        page.Attach(option, colour, pos);
        return RunSheet({&page});
    }
};

COLORREF SwatchPixel(const CExtensionPage& page)
{
    RECT r{};
    ::GetWindowRect(page.Item(IDC_EXT_SWATCH), &r);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ScreenToClient(page.m_hWnd, &centre);
    HDC hDC = ::GetDC(page.m_hWnd);
    const COLORREF pixel = ::GetPixel(hDC, centre.x, centre.y);
    ::ReleaseDC(page.m_hWnd, hDC);
    return pixel;
}

// Answers the colour chooser from another thread, as the user would: types
// red, green and blue (or nothing) and presses OK or Cancel.
struct ColourChooserAnswer {
    HWND hOwner;
    bool ok;
    COLORREF colour;
    bool seen = false;
};

DWORD WINAPI AnswerColourChooser(LPVOID param)
{
    auto* answer = static_cast<ColourChooserAnswer*>(param);
    // The chooser's own edit fields for red, green and blue.
    constexpr int kRed = 0x2c2, kGreen = 0x2c3, kBlue = 0x2c4;
    for (int i = 0; i < 200 && !answer->seen; ++i) {
        ::Sleep(50);
        // The chooser is the visible window the sheet owns.
        struct Search {
            HWND hOwner;
            HWND hFound;
        } search{answer->hOwner, nullptr};
        ::EnumWindows(
            [](HWND hWnd, LPARAM lParam) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lParam);
                if (::GetWindow(hWnd, GW_OWNER) != s->hOwner || !::IsWindowVisible(hWnd)) return TRUE;
                s->hFound = hWnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        HWND hDlg = search.hFound;
        if (!hDlg || !::GetDlgItem(hDlg, kRed)) continue;
        answer->seen = true;
        if (answer->ok) {
            const int parts[] = {GetRValue(answer->colour), GetGValue(answer->colour), GetBValue(answer->colour)};
            const int ids[] = {kRed, kGreen, kBlue};
            for (int k = 0; k < 3; ++k) {
                CString text;
                text.Format("%d", parts[k]);
                DWORD_PTR unused = 0;
                ::SendMessageTimeoutA(::GetDlgItem(hDlg, ids[k]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(text)),
                                      SMTO_NORMAL, 5000, &unused);
            }
        }
        ::PostMessageA(hDlg, WM_COMMAND, answer->ok ? IDOK : IDCANCEL, 0);
    }
    return 0;
}

// Clicks "変更" and lets another thread answer the chooser; false when the
// chooser never showed up.
bool ChangeColour(const CExtensionPage& page, bool ok, COLORREF colour)
{
    ColourChooserAnswer answer{page.GetParent(), ok, colour};
    HANDLE hThread = ::CreateThread(nullptr, 0, AnswerColourChooser, &answer, 0, nullptr);
    page.Click(IDC_EXT_CHANGECOLOUR);
    ::WaitForSingleObject(hThread, INFINITE);
    ::CloseHandle(hThread);
    return answer.seen;
}

TEST_F(ExtensionPage, OpensWithTheStoredStateAndOkKeepsIt)
{
    option = kOptionTitleStrip | kOptionFollowTarget | 0x100;
    pos = 2;
    colour = RGB(255, 0, 255);
    page.m_drive = [](CExtensionPage& p) {
        EXPECT_TRUE(p.Checked(IDC_EXT_FOLLOW));
        EXPECT_TRUE(p.Checked(IDC_EXT_TOPMOST));
        EXPECT_EQ(p.Count(IDC_EXT_POS), 4);
        EXPECT_EQ(p.Selection(IDC_EXT_POS), 2);
        EXPECT_TRUE(p.Enabled(IDC_EXT_POS));
        EXPECT_TRUE(p.Enabled(IDC_EXT_POSLABEL));
        return Then::Ok;
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(option, kOptionTitleStrip | kOptionFollowTarget | 0x100);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(colour, RGB(255, 0, 255));
}

TEST_F(ExtensionPage, UntickingBothClearsFollowAndSetsNotInFrontOnly)
{
    option = kOptionTitleStrip | kOptionFollowTarget | 0x20;
    pos = 0;
    page.m_drive = [](CExtensionPage& p) {
        p.Click(IDC_EXT_FOLLOW);
        p.Click(IDC_EXT_TOPMOST);
        // The corner is greyed out, yet still taken on OK.
        EXPECT_FALSE(p.Enabled(IDC_EXT_POS));
        EXPECT_FALSE(p.Enabled(IDC_EXT_POSLABEL));
        p.Choose(IDC_EXT_POS, 3);
        return Then::Ok;
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(option, kOptionTitleStrip | kOptionNotTopmost | 0x20);
    EXPECT_EQ(pos, 3);
}

TEST_F(ExtensionPage, TickingBothSetsFollowAndClearsNotInFrontOnly)
{
    option = kOptionTitleStrip | kOptionNotTopmost | 0x40;
    pos = 1;
    page.m_drive = [](CExtensionPage& p) {
        EXPECT_FALSE(p.Checked(IDC_EXT_FOLLOW));
        EXPECT_FALSE(p.Checked(IDC_EXT_TOPMOST));
        EXPECT_FALSE(p.Enabled(IDC_EXT_POS));
        EXPECT_FALSE(p.Enabled(IDC_EXT_POSLABEL));
        p.Click(IDC_EXT_FOLLOW);
        p.Click(IDC_EXT_TOPMOST);
        EXPECT_TRUE(p.Enabled(IDC_EXT_POS));
        EXPECT_TRUE(p.Enabled(IDC_EXT_POSLABEL));
        return Then::Ok;
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(option, kOptionTitleStrip | kOptionFollowTarget | 0x40);
    EXPECT_EQ(pos, 1);
}

// Ticked from the bar's value; OK stores the tick, both ways.
TEST_F(ExtensionPage, KeepClipboardTickedFromTheValueAndStoredOnOk)
{
    for (const int stored : {1, 0}) {
        int keep = stored;
        page.m_drive = [stored](CExtensionPage& p) {
            EXPECT_EQ(p.Checked(IDC_EXT_KEEPCLIPBOARD), stored == 1);
            p.Click(IDC_EXT_KEEPCLIPBOARD);
            return Then::Ok;
        };
        page.Attach(option, colour, pos, keep);
        EXPECT_EQ(RunSheet({&page}), IDOK);
        EXPECT_EQ(keep, 1 - stored);
    }
}

// Windows' own list of programs to start, read directly (never through the
// code under test); the fixture leaves no value behind.
class StartWithWindows : public ExtensionPage {
protected:
    static constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    void SetUp() override { ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRun, "Tavrin"); }
    void TearDown() override { ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRun, "Tavrin"); }
    static std::string Value()
    {
        char data[4096] = "";
        DWORD size = sizeof data;
        return ::RegGetValueA(HKEY_CURRENT_USER, kRun, "Tavrin", RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS
                   ? data : "(none)";
    }
    // Opens the sheet, checks the box reads `ticked`, clicks it and ends.
    void ClickAndEnd(bool ticked, Then then)
    {
        page.m_drive = [=](CExtensionPage& p) {
            EXPECT_EQ(p.Checked(IDC_EXT_STARTWITHWINDOWS), ticked);
            p.Click(IDC_EXT_STARTWITHWINDOWS);
            return then;
        };
        Run();
    }
};

TEST_F(StartWithWindows, TickWritesTheQuotedPathUntickRemovesItCancelKeepsIt)
{
    const std::string quoted = "\"" + std::string(AfxGetModulePath()) + "\"";
    ClickAndEnd(false, Then::Ok);
    EXPECT_EQ(Value(), quoted);
    ClickAndEnd(true, Then::Cancel);
    EXPECT_EQ(Value(), quoted);
    ClickAndEnd(true, Then::Ok);
    EXPECT_EQ(Value(), "(none)");
}

TEST_F(ExtensionPage, SwatchIsRepaintedWithThePage)
{
    colour = RGB(255, 0, 255);
    COLORREF seen = CLR_INVALID;
    page.m_drive = [&seen](CExtensionPage& p) {
        // Erasing the page wipes the swatch; the page's own painting restores it.
        ::RedrawWindow(p.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        seen = SwatchPixel(p);
        return Then::Cancel;
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(seen, RGB(255, 0, 255));
}

TEST_F(ExtensionPage, ChosenColourIsShownAndStoredOnOk)
{
    colour = RGB(0, 0, 255);
    bool chooserShown = false;
    COLORREF seen = CLR_INVALID;
    page.m_drive = [&](CExtensionPage& p) {
        chooserShown = ChangeColour(p, true, RGB(255, 0, 0));
        ::UpdateWindow(p.m_hWnd);
        seen = SwatchPixel(p);
        return Then::Ok;
    };
    EXPECT_EQ(Run(), IDOK);
    ASSERT_TRUE(chooserShown);
    EXPECT_EQ(seen, RGB(255, 0, 0));
    EXPECT_EQ(colour, RGB(255, 0, 0));
}

TEST_F(ExtensionPage, CancelledChooserKeepsTheColour)
{
    colour = RGB(0, 255, 0);
    bool chooserShown = false;
    page.m_drive = [&](CExtensionPage& p) {
        chooserShown = ChangeColour(p, false, 0);
        return Then::Ok;
    };
    EXPECT_EQ(Run(), IDOK);
    ASSERT_TRUE(chooserShown);
    EXPECT_EQ(colour, RGB(0, 255, 0));
}

TEST_F(ExtensionPage, CancelledSheetWritesNothing)
{
    option = kOptionFollowTarget;
    pos = 0;
    colour = RGB(0, 255, 0);
    bool chooserShown = false;
    page.m_drive = [&](CExtensionPage& p) {
        p.Click(IDC_EXT_FOLLOW);
        p.Click(IDC_EXT_TOPMOST);
        p.Choose(IDC_EXT_POS, 3);
        chooserShown = ChangeColour(p, true, RGB(255, 0, 0));
        return Then::Cancel;
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_TRUE(chooserShown);
    EXPECT_EQ(option, kOptionFollowTarget);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(colour, RGB(0, 255, 0));
}

// ---- hot key page ----------------------------------------------------------

using CHotKeyPage = CDrivenPage<CHotKeyDlg>;

constexpr int kKeyControls[] = {IDC_HK_ALT, IDC_HK_CONTROL, IDC_HK_SHIFT, IDC_HK_KEY, IDC_HK_KEYLABEL};

class HotKeyPage : public SettingsPageTest {
protected:
    HotKeyData hotKey;
    CHotKeyPage page;
    void SetUp() override
    {
        hotKey = HotKeyData{MOD_CONTROL | MOD_SHIFT, CString("W"), 2};
        page.Attach(hotKey);
    }
};

int EnabledKeyControls(const CHotKeyPage& p)
{
    int n = 0;
    for (int id : kKeyControls) n += p.Enabled(id) ? 1 : 0;
    return n;
}

CString KeyText(const CHotKeyPage& p)
{
    CWnd key(p.Item(IDC_HK_KEY));
    return key.GetWindowText();
}

TEST_F(HotKeyPage, DefaultRecordOpensAsStoredAndOkKeepsIt)
{
    page.m_drive = [](CHotKeyPage& p) {
        EXPECT_FALSE(p.Checked(IDC_HK_ALT));
        EXPECT_TRUE(p.Checked(IDC_HK_CONTROL));
        EXPECT_TRUE(p.Checked(IDC_HK_SHIFT));
        EXPECT_EQ(p.Count(IDC_HK_KEY), 38);
        EXPECT_EQ(KeyText(p), "W");
        EXPECT_EQ(p.Count(IDC_HK_ACTION), 3);
        EXPECT_EQ(p.Selection(IDC_HK_ACTION), 2);
        EXPECT_EQ(EnabledKeyControls(p), 5);
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(hotKey.SysKey, MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(hotKey.Key, "W");
    EXPECT_EQ(hotKey.Do, 2);
}

TEST_F(HotKeyPage, NoHotKeyDisablesTheKeyControlsYetStoresThem)
{
    page.m_drive = [](CHotKeyPage& p) {
        p.Choose(IDC_HK_ACTION, 0);
        EXPECT_EQ(EnabledKeyControls(p), 0);
        p.Choose(IDC_HK_ACTION, 1);
        EXPECT_EQ(EnabledKeyControls(p), 5);
        p.Click(IDC_HK_ALT);
        p.Choose(IDC_HK_KEY, 37);
        p.Choose(IDC_HK_ACTION, 0);
        EXPECT_EQ(EnabledKeyControls(p), 0);
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(hotKey.SysKey, MOD_ALT | MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(hotKey.Key, "F12");
    EXPECT_EQ(hotKey.Do, 0);
}

TEST_F(HotKeyPage, StoredNoHotKeyOpensDisabled)
{
    hotKey.Do = 0;
    page.m_drive = [](CHotKeyPage& p) {
        EXPECT_EQ(p.Selection(IDC_HK_ACTION), 0);
        EXPECT_EQ(EnabledKeyControls(p), 0);
        return Then::Cancel;
    };
    EXPECT_EQ(RunSheet({&page}), IDCANCEL);
}

TEST_F(HotKeyPage, F1SelectsF1NotF10)
{
    hotKey.Key = "F1";
    page.m_drive = [](CHotKeyPage& p) {
        EXPECT_EQ(p.Selection(IDC_HK_KEY), 26);
        EXPECT_EQ(KeyText(p), "F1");
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(hotKey.Key, "F1");
}

TEST_F(HotKeyPage, LowerCaseKeyIsFoundAndStoredUpperCase)
{
    hotKey.Key = "f5";
    page.m_drive = [](CHotKeyPage& p) {
        EXPECT_EQ(p.Selection(IDC_HK_KEY), 30);
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(hotKey.Key, "F5");
}

TEST_F(HotKeyPage, UnknownKeySelectsNothingAndStoresEmpty)
{
    hotKey.Key = "F13X";
    page.m_drive = [](CHotKeyPage& p) {
        EXPECT_EQ(p.Selection(IDC_HK_KEY), CB_ERR);
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(hotKey.Key, "");
}

TEST_F(HotKeyPage, NoModifierTickedStoresZero)
{
    hotKey.SysKey = MOD_ALT | MOD_CONTROL | MOD_SHIFT;
    page.m_drive = [](CHotKeyPage& p) {
        EXPECT_TRUE(p.Checked(IDC_HK_ALT));
        p.Click(IDC_HK_ALT);
        p.Click(IDC_HK_CONTROL);
        p.Click(IDC_HK_SHIFT);
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(hotKey.SysKey, 0);
}

TEST_F(HotKeyPage, CancelWritesNothing)
{
    page.m_drive = [](CHotKeyPage& p) {
        p.Click(IDC_HK_ALT);
        p.Choose(IDC_HK_KEY, 0);
        p.Choose(IDC_HK_ACTION, 1);
        return Then::Cancel;
    };
    EXPECT_EQ(RunSheet({&page}), IDCANCEL);
    EXPECT_EQ(hotKey.SysKey, MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(hotKey.Key, "W");
    EXPECT_EQ(hotKey.Do, 2);
}
}  // namespace
