// The personal data, user strings and application launch tabs, each run in a
// real property sheet and driven through its controls as a user would: what
// the user types reaches the bar's records on OK, in the right fields, and
// nothing reaches them on Cancel or when the tab was never shown.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Afx.h"
#include "resources/resource.h"
#include "settings/AppStartDlg.h"
#include "settings/PrivateDlg.h"
#include "settings/UserStringDlg.h"
#include "tests/unit/PageDriver.h"

namespace {
CString Numbered(const char* prefix, int n)
{
    CString s;
    s.Format("%s%d", prefix, n);
    return s;
}

class PersonalPagesBase : public ::testing::Test {
protected:
    CWinApp app{"PersonalPagesTest"};
};
}  // namespace

// ---- personal data ---------------------------------------------------------

class PrivatePage : public PersonalPagesBase {
protected:
    PrivateData StartRecord() const
    {
        PrivateData d;
        d.Name1 = "山田";
        d.Name2 = "太郎";
        d.AddressNo = "100-0001";
        d.PhoneNo = "03-1234-5678";
        d.Address = "東京都千代田区";
        d.EMail = "taro@example.jp";
        d.Homepage = "http://example.jp/";
        return d;
    }
};

TEST_F(PrivatePage, ShowsEachFieldInItsOwnEdit)
{
    PrivateData data = StartRecord();
    std::vector<std::string> shown;
    CDrivenPage<CPrivateDlg> page;
    page.Attach(data);
    page.m_drive = [&shown](HWND h) {
        for (int id : {IDC_PRIVATE_FAMILYNAME, IDC_PRIVATE_GIVENNAME, IDC_PRIVATE_ZIP, IDC_PRIVATE_ADDRESS,
                       IDC_PRIVATE_PHONE, IDC_PRIVATE_MAIL, IDC_PRIVATE_HOMEPAGE})
            shown.push_back(Shown(h, id));
        return Then::Cancel;
    };
    EXPECT_EQ(RunSheet({&page}), IDCANCEL);
    EXPECT_EQ(shown, (std::vector<std::string>{"山田", "太郎", "100-0001", "東京都千代田区", "03-1234-5678",
                                               "taro@example.jp", "http://example.jp/"}));
}

TEST_F(PrivatePage, OkStoresEveryEditInItsField)
{
    PrivateData data = StartRecord();
    CDrivenPage<CPrivateDlg> page;
    page.Attach(data);
    page.m_drive = [](HWND h) {
        Type(h, IDC_PRIVATE_FAMILYNAME, "鈴木");
        Type(h, IDC_PRIVATE_GIVENNAME, "");  // cleared
        Type(h, IDC_PRIVATE_ZIP, "530-0001");
        Type(h, IDC_PRIVATE_ADDRESS, "大阪府大阪市ｷﾀ区");
        Type(h, IDC_PRIVATE_PHONE, "06-0000-1111");
        Type(h, IDC_PRIVATE_MAIL, "suzuki@example.jp");
        Type(h, IDC_PRIVATE_HOMEPAGE, "http://suzuki.example.jp/");
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
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
    PrivateData data = StartRecord();
    CDrivenPage<CPrivateDlg> page;
    page.Attach(data);
    page.m_drive = [](HWND h) {
        Type(h, IDC_PRIVATE_FAMILYNAME, "鈴木");
        Type(h, IDC_PRIVATE_ADDRESS, "");
        return Then::Cancel;
    };
    EXPECT_EQ(RunSheet({&page}), IDCANCEL);
    EXPECT_EQ(data.Name1.str(), "山田");
    EXPECT_EQ(data.Address.str(), "東京都千代田区");
}

TEST_F(PrivatePage, OkWithTheTabNeverShownLeavesTheRecordAlone)
{
    PrivateData data = StartRecord();
    CPrivateDlg page;
    page.Attach(data);
    CDrivenPage<CPropertyPage> other(IDD_HOTKEY);  // some other tab: presses OK when shown
    EXPECT_EQ(RunSheet({&page, &other}, 1), IDOK);
    EXPECT_EQ(data.Name1.str(), "山田");
    EXPECT_EQ(data.Homepage.str(), "http://example.jp/");
}

// ---- user strings ------------------------------------------------------------

class UserStringPage : public PersonalPagesBase {
protected:
    void SetUp() override
    {
        for (int i = 0; i < kUserStringCount; i++) {
            entries[i].Tip = Numbered("tip", i + 1);
            entries[i].String = Numbered("text", i + 1);
            entries[i].Title = Numbered("title", i + 1);
        }
        page.Attach(entries);
    }
    // Tip, caption and text as the three edits show them.
    static std::vector<std::string> Fields(HWND h)
    {
        return {Shown(h, IDC_US_TIP), Shown(h, IDC_US_TITLE), Shown(h, IDC_US_STRING)};
    }
    static std::vector<std::string> Fields(const UserStringEntry& e)
    {
        return {e.Tip.str(), e.Title.str(), e.String.str()};
    }
    static void Fill(HWND h, const char* tip, const char* title, const char* text)
    {
        Type(h, IDC_US_TIP, tip);
        Type(h, IDC_US_TITLE, title);
        Type(h, IDC_US_STRING, text);
    }

    UserStringEntry entries[kUserStringCount];
    CDrivenPage<CUserStringDlg> page;
};

TEST_F(UserStringPage, OffersTenEntriesAndOpensOnTheFirst)
{
    std::vector<std::string> items, first;
    int sel = -2;
    page.m_drive = [&](HWND h) {
        items = Items(h, IDC_US_ENTRY);
        sel = Selection(h, IDC_US_ENTRY);
        first = Fields(h);
        return Then::Cancel;
    };
    EXPECT_EQ(RunSheet({&page}), IDCANCEL);
    EXPECT_EQ(items, (std::vector<std::string>{"文字1", "文字2", "文字3", "文字4", "文字5", "文字6", "文字7", "文字8",
                                               "文字9", "文字10"}));
    EXPECT_EQ(sel, 0);
    EXPECT_EQ(first, (std::vector<std::string>{"tip1", "title1", "text1"}));
}

TEST_F(UserStringPage, EditsSurviveSwitchingBetweenEntries)
{
    std::vector<std::string> fifth, backOnFirst;
    page.m_drive = [&](HWND h) {
        Fill(h, "ヒント1", "見出し1", "本文1");
        Choose(h, IDC_US_ENTRY, 4);
        fifth = Fields(h);
        Fill(h, "ヒント5", "見出し5", "本文5");
        Choose(h, IDC_US_ENTRY, 0);
        backOnFirst = Fields(h);
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(fifth, (std::vector<std::string>{"tip5", "title5", "text5"}));
    EXPECT_EQ(backOnFirst, (std::vector<std::string>{"ヒント1", "見出し1", "本文1"}));
    EXPECT_EQ(Fields(entries[0]), (std::vector<std::string>{"ヒント1", "見出し1", "本文1"}));
    EXPECT_EQ(Fields(entries[4]), (std::vector<std::string>{"ヒント5", "見出し5", "本文5"}));
    for (int i : {1, 2, 3, 5, 6, 7, 8, 9}) EXPECT_EQ(entries[i].Tip, Numbered("tip", i + 1)) << i;
}

TEST_F(UserStringPage, OkStoresTheShownEntryWithoutASelectionChange)
{
    page.m_drive = [](HWND h) {
        Choose(h, IDC_US_ENTRY, 9);
        Fill(h, "十番", "拾", "最後の文字");
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(Fields(entries[9]), (std::vector<std::string>{"十番", "拾", "最後の文字"}));
    EXPECT_EQ(Fields(entries[0]), (std::vector<std::string>{"tip1", "title1", "text1"}));
}

TEST_F(UserStringPage, KeepsLineBreaksAndEmptyFields)
{
    page.m_drive = [](HWND h) {
        Type(h, IDC_US_STRING, "一行目\r\n二行目\r\n");
        Choose(h, IDC_US_ENTRY, 2);
        Fill(h, "", "", "");
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    EXPECT_EQ(entries[0].String.str(), "一行目\r\n二行目\r\n");
    EXPECT_EQ(Fields(entries[2]), (std::vector<std::string>{"", "", ""}));
}

TEST_F(UserStringPage, CancelAfterEditingSeveralEntriesChangesNothing)
{
    page.m_drive = [](HWND h) {
        Fill(h, "a", "b", "c");
        Choose(h, IDC_US_ENTRY, 6);
        Fill(h, "d", "e", "f");
        Choose(h, IDC_US_ENTRY, 3);
        return Then::Cancel;
    };
    EXPECT_EQ(RunSheet({&page}), IDCANCEL);
    for (int i = 0; i < kUserStringCount; i++) {
        EXPECT_EQ(Fields(entries[i]), (std::vector<std::string>{Numbered("tip", i + 1).str(),
                                                                 Numbered("title", i + 1).str(),
                                                                 Numbered("text", i + 1).str()}))
            << i;
    }
}

TEST_F(UserStringPage, OkWithTheTabNeverShownLeavesTheEntriesAlone)
{
    CDrivenPage<CPropertyPage> other(IDD_HOTKEY);  // some other tab: presses OK when shown
    EXPECT_EQ(RunSheet({&page, &other}, 1), IDOK);
    EXPECT_EQ(Fields(entries[0]), (std::vector<std::string>{"tip1", "title1", "text1"}));
    EXPECT_EQ(Fields(entries[9]), (std::vector<std::string>{"tip10", "title10", "text10"}));
}

// ---- application launch ------------------------------------------------------

class AppStartPage : public PersonalPagesBase {
protected:
    void SetUp() override
    {
        for (int i = 0; i < kAppStartCount; i++) {
            entries[i].Tip = Numbered("tip", i + 1);
            entries[i].AppName = Numbered("app", i + 1);
            entries[i].Title = Numbered("title", i + 1);
        }
        page.Attach(entries);
    }
    static std::vector<std::string> Fields(HWND h)
    {
        return {Shown(h, IDC_AS_TIP), Shown(h, IDC_AS_TITLE), Shown(h, IDC_AS_APPNAME)};
    }
    static std::vector<std::string> Fields(const AppStartEntry& e)
    {
        return {e.Tip.str(), e.Title.str(), e.AppName.str()};
    }

    AppStartEntry entries[kAppStartCount];
    CDrivenPage<CAppStartDlg> page;
};

TEST_F(AppStartPage, OffersTenLaunchEntriesAndOpensOnTheFirst)
{
    std::vector<std::string> items, first;
    int sel = -2;
    page.m_drive = [&](HWND h) {
        items = Items(h, IDC_AS_ENTRY);
        sel = Selection(h, IDC_AS_ENTRY);
        first = Fields(h);
        return Then::Cancel;
    };
    EXPECT_EQ(RunSheet({&page}), IDCANCEL);
    EXPECT_EQ(items, (std::vector<std::string>{"起動1", "起動2", "起動3", "起動4", "起動5", "起動6", "起動7", "起動8",
                                               "起動9", "起動10"}));
    EXPECT_EQ(sel, 0);
    EXPECT_EQ(first, (std::vector<std::string>{"tip1", "title1", "app1"}));
}

TEST_F(AppStartPage, TypedPathSurvivesSwitchingAndIsStoredOnOk)
{
    std::vector<std::string> seventh, backOnThird;
    page.m_drive = [&](HWND h) {
        Choose(h, IDC_AS_ENTRY, 2);
        Type(h, IDC_AS_TIP, "メモ帳");
        Type(h, IDC_AS_TITLE, "ﾒﾓ");
        Type(h, IDC_AS_APPNAME, "C:\\Windows\\notepad.exe");
        Choose(h, IDC_AS_ENTRY, 6);
        seventh = Fields(h);
        Choose(h, IDC_AS_ENTRY, 2);
        backOnThird = Fields(h);
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&page}), IDOK);
    const std::vector<std::string> typed{"メモ帳", "ﾒﾓ", "C:\\Windows\\notepad.exe"};
    EXPECT_EQ(seventh, (std::vector<std::string>{"tip7", "title7", "app7"}));
    EXPECT_EQ(backOnThird, typed);
    EXPECT_EQ(Fields(entries[2]), typed);
    EXPECT_EQ(Fields(entries[6]), (std::vector<std::string>{"tip7", "title7", "app7"}));
}

TEST_F(AppStartPage, CancelAfterEditingChangesNothing)
{
    page.m_drive = [](HWND h) {
        Type(h, IDC_AS_APPNAME, "calc.exe");
        Choose(h, IDC_AS_ENTRY, 1);
        Type(h, IDC_AS_TITLE, "");
        return Then::Cancel;
    };
    EXPECT_EQ(RunSheet({&page}), IDCANCEL);
    EXPECT_EQ(Fields(entries[0]), (std::vector<std::string>{"tip1", "title1", "app1"}));
    EXPECT_EQ(Fields(entries[1]), (std::vector<std::string>{"tip2", "title2", "app2"}));
}

// ---- the three tabs in one sheet ---------------------------------------------

class PersonalTabs : public PersonalPagesBase {};

TEST_F(PersonalTabs, OnlyTheTabsShownWriteBack)
{
    PrivateData data;
    data.Name1 = "山田";
    UserStringEntry strings[kUserStringCount];
    AppStartEntry apps[kAppStartCount];
    CDrivenPage<CPrivateDlg> privatePage;
    CDrivenPage<CUserStringDlg> stringPage;
    CDrivenPage<CAppStartDlg> appPage;
    privatePage.Attach(data);
    stringPage.Attach(strings);
    appPage.Attach(apps);
    // Opens on the launch tab, moves to the user strings tab, presses OK there.
    appPage.m_drive = [](HWND h) {
        Type(h, IDC_AS_APPNAME, "notepad.exe");
        ::PostMessageA(::GetParent(h), PSM_SETCURSEL, 1, 0);
        return Then::Stay;
    };
    stringPage.m_drive = [](HWND h) {
        Type(h, IDC_US_STRING, "こんにちは");
        return Then::Ok;
    };
    EXPECT_EQ(RunSheet({&privatePage, &stringPage, &appPage}, 2), IDOK);
    EXPECT_EQ(apps[0].AppName.str(), "notepad.exe");
    EXPECT_EQ(strings[0].String.str(), "こんにちは");
    EXPECT_EQ(data.Name1.str(), "山田");
}
