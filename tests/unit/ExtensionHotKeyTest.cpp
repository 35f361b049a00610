// The extended functions page and the hot key page, each run in a real
// property sheet and driven through its controls as a user would.
#include <gtest/gtest.h>

#include "bar/BarDlg.h"
#include "resources/resource.h"
#include "settings/ExtensionDlg.h"
#include "settings/HotKeyDlg.h"
#include "tests/unit/PageDriver.h"

namespace {
class ExtensionPage : public PageTest<CExtensionDlg> {
protected:
    // The page copies the colour when attached, so attach once it is set.
    INT_PTR Run(decltype(page)::Steps steps, Then then = Then::Ok)
    {
        page.Attach(option, colour, pos);
        return page.Run(std::move(steps), then);
    }
    int option = 0, pos = 0;
    COLORREF colour = RGB(0, 0, 255);
};

COLORREF SwatchPixel(HWND page)
{
    RECT r{};
    ::GetWindowRect(::GetDlgItem(page, IDC_EXT_SWATCH), &r);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ScreenToClient(page, &centre);
    return ::GetPixel(CClientDC(page), centre.x, centre.y);
}

// Clicks "変更" and answers the colour chooser as the user would: types red,
// green and blue (or nothing) and presses OK or Cancel. False when the
// chooser never showed up.
bool ChangeColour(HWND page, bool ok, COLORREF colour)
{
    constexpr int kRed = 0x2c2;  // the chooser's edits for red, green and blue, in a row
    bool seen = false;
    CDialogAnswerer answerer([&](HWND chooser) {
        seen = ::GetDlgItem(chooser, kRed) != nullptr;
        for (int k = 0; ok && k < 3; ++k) ::SetDlgItemInt(chooser, kRed + k, (colour >> (8 * k)) & 0xFF, FALSE);
        ::PostMessageA(chooser, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
    });
    Click(page, IDC_EXT_CHANGECOLOUR);
    return seen;
}

class HotKeyPage : public PageTest<CHotKeyDlg> {
protected:
    void SetUp() override { page.Attach(hotKey); }
    HotKeyData hotKey{MOD_CONTROL | MOD_SHIFT, CString("W"), 2};
};

int EnabledKeyControls(HWND p)
{
    int n = 0;
    for (int id : {IDC_HK_ALT, IDC_HK_CONTROL, IDC_HK_SHIFT, IDC_HK_KEY, IDC_HK_KEYLABEL}) n += Enabled(p, id) ? 1 : 0;
    return n;
}
}  // namespace

TEST_F(ExtensionPage, OpensWithTheStoredStateAndOkKeepsIt)
{
    option = kOptionTitleStrip | kOptionFollowTarget | 0x100;
    pos = 2;
    colour = RGB(255, 0, 255);
    EXPECT_EQ(Run([](auto& p) {
        EXPECT_TRUE(Checked(p, IDC_EXT_FOLLOW));
        EXPECT_TRUE(Checked(p, IDC_EXT_TOPMOST));
        EXPECT_EQ(Count(p, IDC_EXT_POS), 4);
        EXPECT_EQ(Selection(p, IDC_EXT_POS), 2);
        EXPECT_TRUE(Enabled(p, IDC_EXT_POS));
        EXPECT_TRUE(Enabled(p, IDC_EXT_POSLABEL));
    }), IDOK);
    EXPECT_EQ(option, kOptionTitleStrip | kOptionFollowTarget | 0x100);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(colour, RGB(255, 0, 255));
}

TEST_F(ExtensionPage, UntickingBothClearsFollowAndSetsNotInFrontOnly)
{
    option = kOptionTitleStrip | kOptionFollowTarget | 0x20;
    EXPECT_EQ(Run([](auto& p) {
        Click(p, IDC_EXT_FOLLOW);
        Click(p, IDC_EXT_TOPMOST);
        // The corner is greyed out, yet still taken on OK.
        EXPECT_FALSE(Enabled(p, IDC_EXT_POS));
        EXPECT_FALSE(Enabled(p, IDC_EXT_POSLABEL));
        Choose(p, IDC_EXT_POS, 3);
    }), IDOK);
    EXPECT_EQ(option, kOptionTitleStrip | kOptionNotTopmost | 0x20);
    EXPECT_EQ(pos, 3);
}

TEST_F(ExtensionPage, TickingBothSetsFollowAndClearsNotInFrontOnly)
{
    option = kOptionTitleStrip | kOptionNotTopmost | 0x40;
    pos = 1;
    EXPECT_EQ(Run([](auto& p) {
        EXPECT_FALSE(Checked(p, IDC_EXT_FOLLOW));
        EXPECT_FALSE(Checked(p, IDC_EXT_TOPMOST));
        EXPECT_FALSE(Enabled(p, IDC_EXT_POS));
        EXPECT_FALSE(Enabled(p, IDC_EXT_POSLABEL));
        Click(p, IDC_EXT_FOLLOW);
        Click(p, IDC_EXT_TOPMOST);
        EXPECT_TRUE(Enabled(p, IDC_EXT_POS));
        EXPECT_TRUE(Enabled(p, IDC_EXT_POSLABEL));
    }), IDOK);
    EXPECT_EQ(option, kOptionTitleStrip | kOptionFollowTarget | 0x40);
    EXPECT_EQ(pos, 1);
}

// Ticked from the bar's value; OK stores the tick, both ways.
TEST_F(ExtensionPage, KeepClipboardTickedFromTheValueAndStoredOnOk)
{
    for (const int stored : {1, 0}) {
        int keep = stored;
        page.Attach(option, colour, pos, keep);
        EXPECT_EQ(page.Run([stored](auto& p) {
            EXPECT_EQ(Checked(p, IDC_EXT_KEEPCLIPBOARD), stored == 1);
            Click(p, IDC_EXT_KEEPCLIPBOARD);
        }), IDOK);
        EXPECT_EQ(keep, 1 - stored);
    }
}

// Windows' own list of programs to start and its start-up list's switches,
// read and set directly (never through the code under test); the fixture
// leaves no value behind.
class StartWithWindows : public ExtensionPage {
protected:
    static constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kSwitch = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        for (const char* key : {kRun, kSwitch}) ::RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "Tavrin");
    }
    static std::string Value(const char* key = kRun)
    {
        char data[4096] = "";
        DWORD size = sizeof data;
        return ::RegGetValueA(HKEY_CURRENT_USER, key, "Tavrin", RRF_RT_ANY, nullptr, data, &size) == ERROR_SUCCESS
                   ? data : "(none)";
    }
    // Opens the sheet, checks the box reads `ticked`, clicks it or not and ends.
    void ClickAndEnd(bool ticked, Then then, bool click = true)
    {
        Run([=](auto& p) {
            EXPECT_EQ(Checked(p, IDC_EXT_STARTWITHWINDOWS), ticked);
            if (click) Click(p, IDC_EXT_STARTWITHWINDOWS);
        }, then);
    }
    const std::string quoted = "\"" + std::string(AfxGetModulePath()) + "\"";
};

TEST_F(StartWithWindows, TickWritesTheQuotedPathUntickRemovesItCancelKeepsIt)
{
    ClickAndEnd(false, Then::Ok);
    EXPECT_EQ(Value(), quoted);
    ClickAndEnd(true, Then::Cancel);
    EXPECT_EQ(Value(), quoted);
    ClickAndEnd(true, Then::Ok);
    EXPECT_EQ(Value(), "(none)");
}

// Turned off in the start-up list (03 or 07, then the time) shows unticked;
// any other switch reads as on. OK writes, and drops the switch, only for a
// tick over "off" or over another path.
TEST_F(StartWithWindows, OkWritesOnlyWhatTheBoxChanged)
{
    const std::string off = std::string("\x07\0\0\0", 4) + "12345678", on(12, '\x02'), old = "\"C:\\Old\\T.EXE\"";
    const struct { std::string run, mark; bool shown, click, markStays; } rows[] = {
        {quoted, off, false, false, true},  {quoted, off, false, true, false},
        {old, on, true, false, false},      {quoted, on, true, false, true},
        {quoted, "\x03", true, false, true}, {quoted, std::string(12, '\x09'), true, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        ::RegSetKeyValueA(HKEY_CURRENT_USER, kRun, "Tavrin", REG_SZ, row.run.c_str(), DWORD(row.run.size() + 1));
        ::RegSetKeyValueA(HKEY_CURRENT_USER, kSwitch, "Tavrin", REG_BINARY, row.mark.data(), DWORD(row.mark.size()));
        ClickAndEnd(row.shown, Then::Ok, row.click);
        EXPECT_EQ(Value(), quoted);
        EXPECT_EQ(Value(kSwitch) != "(none)", row.markStays);
    }
}

TEST_F(ExtensionPage, SwatchIsRepaintedWithThePage)
{
    colour = RGB(255, 0, 255);
    EXPECT_EQ(Run([](auto& p) {
        // Erasing the page wipes the swatch; the page's own painting restores it.
        ::RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_EQ(SwatchPixel(p), RGB(255, 0, 255));
    }, Then::Cancel), IDCANCEL);
}

TEST_F(ExtensionPage, ChosenColourIsShownAndStoredOnOk)
{
    EXPECT_EQ(Run([](auto& p) {
        ASSERT_TRUE(ChangeColour(p, true, RGB(255, 0, 0)));
        ::UpdateWindow(p);
        EXPECT_EQ(SwatchPixel(p), RGB(255, 0, 0));
    }), IDOK);
    EXPECT_EQ(colour, RGB(255, 0, 0));
}

TEST_F(ExtensionPage, CancelledChooserKeepsTheColour)
{
    colour = RGB(0, 255, 0);
    EXPECT_EQ(Run([](auto& p) { ASSERT_TRUE(ChangeColour(p, false, 0)); }), IDOK);
    EXPECT_EQ(colour, RGB(0, 255, 0));
}

TEST_F(ExtensionPage, CancelledSheetWritesNothing)
{
    option = kOptionFollowTarget;
    colour = RGB(0, 255, 0);
    EXPECT_EQ(Run([](auto& p) {
        Click(p, IDC_EXT_FOLLOW);
        Click(p, IDC_EXT_TOPMOST);
        Choose(p, IDC_EXT_POS, 3);
        EXPECT_TRUE(ChangeColour(p, true, RGB(255, 0, 0)));
    }, Then::Cancel), IDCANCEL);
    EXPECT_EQ(option, kOptionFollowTarget);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(colour, RGB(0, 255, 0));
}

TEST_F(HotKeyPage, DefaultRecordOpensAsStoredAndOkKeepsIt)
{
    EXPECT_EQ(page.Run([](auto& p) {
        EXPECT_FALSE(Checked(p, IDC_HK_ALT));
        EXPECT_TRUE(Checked(p, IDC_HK_CONTROL));
        EXPECT_TRUE(Checked(p, IDC_HK_SHIFT));
        EXPECT_EQ(Count(p, IDC_HK_KEY), 38);
        EXPECT_EQ(Shown(p, IDC_HK_KEY), "W");
        EXPECT_EQ(Count(p, IDC_HK_ACTION), 3);
        EXPECT_EQ(Selection(p, IDC_HK_ACTION), 2);
        EXPECT_EQ(EnabledKeyControls(p), 5);
    }), IDOK);
    EXPECT_EQ(hotKey.SysKey, MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(hotKey.Key, "W");
    EXPECT_EQ(hotKey.Do, 2);
}

TEST_F(HotKeyPage, NoHotKeyDisablesTheKeyControlsYetStoresThem)
{
    EXPECT_EQ(page.Run([](auto& p) {
        Choose(p, IDC_HK_ACTION, 0);
        EXPECT_EQ(EnabledKeyControls(p), 0);
        Choose(p, IDC_HK_ACTION, 1);
        EXPECT_EQ(EnabledKeyControls(p), 5);
        Click(p, IDC_HK_ALT);
        Choose(p, IDC_HK_KEY, 37);
        Choose(p, IDC_HK_ACTION, 0);
        EXPECT_EQ(EnabledKeyControls(p), 0);
    }), IDOK);
    EXPECT_EQ(hotKey.SysKey, MOD_ALT | MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(hotKey.Key, "F12");
    EXPECT_EQ(hotKey.Do, 0);
}

TEST_F(HotKeyPage, StoredNoHotKeyOpensDisabled)
{
    hotKey.Do = 0;
    EXPECT_EQ(page.Run([](auto& p) {
        EXPECT_EQ(Selection(p, IDC_HK_ACTION), 0);
        EXPECT_EQ(EnabledKeyControls(p), 0);
    }, Then::Cancel), IDCANCEL);
}

TEST_F(HotKeyPage, F1SelectsF1NotF10)
{
    hotKey.Key = "F1";
    EXPECT_EQ(page.Run([](auto& p) {
        EXPECT_EQ(Selection(p, IDC_HK_KEY), 26);
        EXPECT_EQ(Shown(p, IDC_HK_KEY), "F1");
    }), IDOK);
    EXPECT_EQ(hotKey.Key, "F1");
}

TEST_F(HotKeyPage, LowerCaseKeyIsFoundAndStoredUpperCase)
{
    hotKey.Key = "f5";
    EXPECT_EQ(page.Run([](auto& p) { EXPECT_EQ(Selection(p, IDC_HK_KEY), 30); }), IDOK);
    EXPECT_EQ(hotKey.Key, "F5");
}

TEST_F(HotKeyPage, UnknownKeySelectsNothingAndStoresEmpty)
{
    hotKey.Key = "F13X";
    EXPECT_EQ(page.Run([](auto& p) { EXPECT_EQ(Selection(p, IDC_HK_KEY), CB_ERR); }), IDOK);
    EXPECT_EQ(hotKey.Key, "");
}

TEST_F(HotKeyPage, NoModifierTickedStoresZero)
{
    hotKey.SysKey = MOD_ALT | MOD_CONTROL | MOD_SHIFT;
    EXPECT_EQ(page.Run([](auto& p) {
        EXPECT_TRUE(Checked(p, IDC_HK_ALT));
        for (int id : {IDC_HK_ALT, IDC_HK_CONTROL, IDC_HK_SHIFT}) Click(p, id);
    }), IDOK);
    EXPECT_EQ(hotKey.SysKey, 0);
}

TEST_F(HotKeyPage, CancelWritesNothing)
{
    EXPECT_EQ(page.Run([](auto& p) {
        Click(p, IDC_HK_ALT);
        Choose(p, IDC_HK_KEY, 0);
        Choose(p, IDC_HK_ACTION, 1);
    }, Then::Cancel), IDCANCEL);
    EXPECT_EQ(hotKey.SysKey, MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(hotKey.Key, "W");
    EXPECT_EQ(hotKey.Do, 2);
}
