// The personal data, user strings and application launch tabs, each run in a
// real property sheet and driven through its controls as a user would: what
// the user types reaches the bar's records on OK, in the right fields, and
// nothing reaches them on Cancel or when the tab was never shown.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "settings/AppStartDlg.h"
#include "settings/PrivateDlg.h"
#include "settings/UserStringDlg.h"
#include "tests/unit/PageDriver.h"

namespace {
using Fields = std::vector<std::string>;
constexpr int kPrivateEdits[] = {IDC_PRIVATE_FAMILYNAME, IDC_PRIVATE_GIVENNAME, IDC_PRIVATE_ZIP, IDC_PRIVATE_ADDRESS,
                                 IDC_PRIVATE_PHONE, IDC_PRIVATE_MAIL, IDC_PRIVATE_HOMEPAGE};

class PrivatePage : public PageTest<CPrivateDlg> {
protected:
    void SetUp() override { page.Attach(data); }
    PrivateData data{.Name1 = "山田", .Name2 = "太郎", .AddressNo = "100-0001", .PhoneNo = "03-1234-5678",
                     .Address = "東京都千代田区", .EMail = "taro@example.jp", .Homepage = "http://example.jp/"};
};

// Both tabs pick one of ten entries in a list and show its tip, caption and
// text (or program) in three edits.
template <class Dlg, class Entry, CString Entry::*Third, int kTip, int kTitle, int kThird>
class EntryPage : public PageTest<Dlg> {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 10; i++) {
            const Fields stored = Stored(i);
            entries[i].Tip = stored[0].c_str();
            entries[i].Title = stored[1].c_str();
            entries[i].*Third = stored[2].c_str();
        }
        this->page.Attach(entries);
    }
    // What the fixture stores in entry i: tip, caption and text.
    static Fields Stored(int i)
    {
        const std::string n = std::to_string(i + 1);
        return {"tip" + n, "title" + n, "text" + n};
    }
    static Fields Read(HWND h) { return {Shown(h, kTip), Shown(h, kTitle), Shown(h, kThird)}; }
    static Fields Read(const Entry& e) { return {e.Tip.str(), e.Title.str(), (e.*Third).str()}; }
    static void Fill(HWND h, const Fields& typed)
    {
        Type(h, kTip, typed[0].c_str());
        Type(h, kTitle, typed[1].c_str());
        Type(h, kThird, typed[2].c_str());
    }

    Entry entries[10];
};
using UserStringPage =
    EntryPage<CUserStringDlg, UserStringEntry, &UserStringEntry::String, IDC_US_TIP, IDC_US_TITLE, IDC_US_STRING>;
using AppStartPage =
    EntryPage<CAppStartDlg, AppStartEntry, &AppStartEntry::AppName, IDC_AS_TIP, IDC_AS_TITLE, IDC_AS_APPNAME>;
using PersonalTabs = PrivatePage;
}  // namespace

TEST_F(PrivatePage, ShowsEachFieldInItsOwnEdit)
{
    EXPECT_EQ(page.Run([](auto& h) {
        Fields shown;
        for (int id : kPrivateEdits) shown.push_back(Shown(h, id));
        EXPECT_EQ(shown, (Fields{"山田", "太郎", "100-0001", "東京都千代田区", "03-1234-5678", "taro@example.jp",
                                 "http://example.jp/"}));
    }, Then::Cancel), IDCANCEL);
}

TEST_F(PrivatePage, OkStoresEveryEditInItsField)
{
    // In the order of kPrivateEdits; the given name is cleared.
    const char* typed[] = {"鈴木", "", "530-0001", "大阪府大阪市ｷﾀ区", "06-0000-1111", "suzuki@example.jp",
                           "http://suzuki.example.jp/"};
    EXPECT_EQ(page.Run([&](auto& h) {
        for (int i = 0; i < 7; i++) Type(h, kPrivateEdits[i], typed[i]);
    }), IDOK);
    EXPECT_EQ(data.Name1.str(), "鈴木");
    EXPECT_EQ(data.Name2.str(), "");
    EXPECT_EQ(data.AddressNo.str(), "530-0001");
    EXPECT_EQ(data.Address.str(), "大阪府大阪市ｷﾀ区");
    EXPECT_EQ(data.PhoneNo.str(), "06-0000-1111");
    EXPECT_EQ(data.EMail.str(), "suzuki@example.jp");
    EXPECT_EQ(data.Homepage.str(), "http://suzuki.example.jp/");
}

TEST_F(PrivatePage, CancelLeavesTheRecordAlone)
{
    EXPECT_EQ(page.Run([](auto& h) {
        Type(h, IDC_PRIVATE_FAMILYNAME, "鈴木");
        Type(h, IDC_PRIVATE_ADDRESS, "");
    }, Then::Cancel), IDCANCEL);
    EXPECT_EQ(data.Name1.str(), "山田");
    EXPECT_EQ(data.Address.str(), "東京都千代田区");
}

TEST_F(PrivatePage, OkWithTheTabNeverShownLeavesTheRecordAlone)
{
    CDrivenPage<CPropertyPage> other(IDD_HOTKEY);  // some other tab: presses OK when shown
    EXPECT_EQ(RunSheet({&page, &other}, 1), IDOK);
    EXPECT_EQ(data.Name1.str(), "山田");
    EXPECT_EQ(data.Homepage.str(), "http://example.jp/");
}

TEST_F(UserStringPage, OffersTenEntriesAndOpensOnTheFirst)
{
    EXPECT_EQ(page.Run([](auto& h) {
        EXPECT_EQ(Items(h, IDC_US_ENTRY), (Fields{"文字1", "文字2", "文字3", "文字4", "文字5", "文字6", "文字7",
                                                  "文字8", "文字9", "文字10"}));
        EXPECT_EQ(Selection(h, IDC_US_ENTRY), 0);
        EXPECT_EQ(Read(h), Stored(0));
    }, Then::Cancel), IDCANCEL);
}

TEST_F(UserStringPage, EditsSurviveSwitchingBetweenEntries)
{
    EXPECT_EQ(page.Run([](auto& h) {
        Fill(h, {"ヒント1", "見出し1", "本文1"});
        Choose(h, IDC_US_ENTRY, 4);
        EXPECT_EQ(Read(h), Stored(4));
        Fill(h, {"ヒント5", "見出し5", "本文5"});
        Choose(h, IDC_US_ENTRY, 0);
        EXPECT_EQ(Read(h), (Fields{"ヒント1", "見出し1", "本文1"}));
    }), IDOK);
    EXPECT_EQ(Read(entries[0]), (Fields{"ヒント1", "見出し1", "本文1"}));
    EXPECT_EQ(Read(entries[4]), (Fields{"ヒント5", "見出し5", "本文5"}));
    for (int i : {1, 2, 3, 5, 6, 7, 8, 9}) EXPECT_EQ(Read(entries[i]), Stored(i)) << i;
}

TEST_F(UserStringPage, OkStoresTheShownEntryWithoutASelectionChange)
{
    EXPECT_EQ(page.Run([](auto& h) {
        Choose(h, IDC_US_ENTRY, 9);
        Fill(h, {"十番", "拾", "最後の文字"});
    }), IDOK);
    EXPECT_EQ(Read(entries[9]), (Fields{"十番", "拾", "最後の文字"}));
    EXPECT_EQ(Read(entries[0]), Stored(0));
}

TEST_F(UserStringPage, KeepsLineBreaksAndEmptyFields)
{
    EXPECT_EQ(page.Run([](auto& h) {
        Type(h, IDC_US_STRING, "一行目\r\n二行目\r\n");
        Choose(h, IDC_US_ENTRY, 2);
        Fill(h, {"", "", ""});
    }), IDOK);
    EXPECT_EQ(entries[0].String.str(), "一行目\r\n二行目\r\n");
    EXPECT_EQ(Read(entries[2]), (Fields{"", "", ""}));
}

TEST_F(UserStringPage, CancelAfterEditingSeveralEntriesChangesNothing)
{
    EXPECT_EQ(page.Run([](auto& h) {
        Fill(h, {"a", "b", "c"});
        Choose(h, IDC_US_ENTRY, 6);
        Fill(h, {"d", "e", "f"});
        Choose(h, IDC_US_ENTRY, 3);
    }, Then::Cancel), IDCANCEL);
    for (int i = 0; i < kUserStringCount; i++) EXPECT_EQ(Read(entries[i]), Stored(i)) << i;
}

TEST_F(UserStringPage, OkWithTheTabNeverShownLeavesTheEntriesAlone)
{
    CDrivenPage<CPropertyPage> other(IDD_HOTKEY);  // some other tab: presses OK when shown
    EXPECT_EQ(RunSheet({&page, &other}, 1), IDOK);
    EXPECT_EQ(Read(entries[0]), Stored(0));
    EXPECT_EQ(Read(entries[9]), Stored(9));
}

TEST_F(AppStartPage, OffersTenLaunchEntriesAndOpensOnTheFirst)
{
    EXPECT_EQ(page.Run([](auto& h) {
        EXPECT_EQ(Items(h, IDC_AS_ENTRY), (Fields{"起動1", "起動2", "起動3", "起動4", "起動5", "起動6", "起動7",
                                                  "起動8", "起動9", "起動10"}));
        EXPECT_EQ(Selection(h, IDC_AS_ENTRY), 0);
        EXPECT_EQ(Read(h), Stored(0));
    }, Then::Cancel), IDCANCEL);
}

TEST_F(AppStartPage, TypedPathSurvivesSwitchingAndIsStoredOnOk)
{
    const Fields typed{"メモ帳", "ﾒﾓ", "C:\\Windows\\notepad.exe"};
    EXPECT_EQ(page.Run([&](auto& h) {
        Choose(h, IDC_AS_ENTRY, 2);
        Fill(h, typed);
        Choose(h, IDC_AS_ENTRY, 6);
        EXPECT_EQ(Read(h), Stored(6));
        Choose(h, IDC_AS_ENTRY, 2);
        EXPECT_EQ(Read(h), typed);
    }), IDOK);
    EXPECT_EQ(Read(entries[2]), typed);
    EXPECT_EQ(Read(entries[6]), Stored(6));
}

TEST_F(AppStartPage, CancelAfterEditingChangesNothing)
{
    EXPECT_EQ(page.Run([](auto& h) {
        Type(h, IDC_AS_APPNAME, "calc.exe");
        Choose(h, IDC_AS_ENTRY, 1);
        Type(h, IDC_AS_TITLE, "");
    }, Then::Cancel), IDCANCEL);
    EXPECT_EQ(Read(entries[0]), Stored(0));
    EXPECT_EQ(Read(entries[1]), Stored(1));
}

TEST_F(PersonalTabs, OnlyTheTabsShownWriteBack)
{
    UserStringEntry strings[kUserStringCount];
    AppStartEntry apps[kAppStartCount];
    CDrivenPage<CUserStringDlg> stringPage;
    CDrivenPage<CAppStartDlg> appPage;
    stringPage.Attach(strings);
    appPage.Attach(apps);
    // Opens on the launch tab, moves to the user strings tab, presses OK there.
    appPage.m_steps = [](auto& h) {
        Type(h, IDC_AS_APPNAME, "notepad.exe");
        ::PostMessageA(h.GetParent(), PSM_SETCURSEL, 1, 0);
    };
    appPage.m_then = Then::Stay;
    stringPage.m_steps = [](auto& h) { Type(h, IDC_US_STRING, "こんにちは"); };
    EXPECT_EQ(RunSheet({&page, &stringPage, &appPage}, 2), IDOK);
    EXPECT_EQ(apps[0].AppName.str(), "notepad.exe");
    EXPECT_EQ(strings[0].String.str(), "こんにちは");
    EXPECT_EQ(data.Name1.str(), "山田");
}
