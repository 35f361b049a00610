// The settings store against the real registry of the test prefix, under a
// key of its own (the application name of this test program).
#include <gtest/gtest.h>

#include <string>

#include "app/BarApp.h"
#include "framework/RegKey.h"
#include "resources/resource.h"

namespace {
constexpr char kRoot[] = "Software\\Brannock\\TAVRIN_UNIT";

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
        app.m_pszAppName = "TAVRIN_UNIT";
        app.SetRegistryKey("Brannock");
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }

    static std::string Path(const char* section) { return std::string(kRoot) + "\\" + section; }
    // Writes a raw value of any type, as a hand edit would.
    static void SetRaw(const char* section, const char* key, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, Path(section).c_str(), key, type, data, size), ERROR_SUCCESS);
    }
    // The type and bytes of a stored value; type 0 when missing.
    static std::pair<DWORD, std::string> Raw(const char* section, const char* key)
    {
        char data[4096];
        DWORD type = 0, size = sizeof data;
        const LONG rc = ::RegGetValueA(HKEY_CURRENT_USER, Path(section).c_str(), key, RRF_RT_ANY, &type, data, &size);
        if (rc != ERROR_SUCCESS) return {};
        return {type, std::string(data, size)};
    }

    CBarApp app;
};
}  // namespace

// Every Shift-JIS expectation below assumes the Japanese ANSI code page.
TEST(Environment, AnsiCodePageIsShiftJis) { EXPECT_EQ(::GetACP(), 932u); }

TEST_F(SettingsStore, EmptyRegistryGivesEveryDefault)
{
    PrivateData data;
    app.LoadPrivateData(data);
    EXPECT_EQ(data.Name1, "姓");
    EXPECT_EQ(data.Name2, "名");
    EXPECT_EQ(data.AddressNo, "郵便番号");
    EXPECT_EQ(data.Address, "住所");
    EXPECT_EQ(data.PhoneNo, "電話番号");
    EXPECT_EQ(data.EMail, "E-Mail");
    EXPECT_EQ(data.Homepage, "HomePageAdress");

    UserStringEntry strings[kUserStringCount];
    app.LoadUserString(strings);
    EXPECT_EQ(strings[0].Tip, "文字1");
    EXPECT_EQ(strings[0].String, "文字1");
    EXPECT_EQ(strings[0].Title, "1");
    EXPECT_EQ(strings[9].Tip, "文字10");
    EXPECT_EQ(strings[9].Title, "10");

    AppStartEntry apps[kAppStartCount];
    app.LoadAppStart(apps);
    const char* numerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    for (int i = 0; i < kAppStartCount; ++i) {
        EXPECT_EQ(apps[i].Title, numerals[i]) << i;
        EXPECT_TRUE(apps[i].AppName.IsEmpty());
    }
    EXPECT_EQ(apps[6].Tip, "起動7");

    HotKeyData hotKey;
    app.LoadHotKey(hotKey);
    EXPECT_EQ(hotKey.SysKey, 6);
    EXPECT_EQ(hotKey.Key, "W");
    EXPECT_EQ(hotKey.Do, 2);

    EXPECT_EQ(app.GetProfileInt("Setting", "BkColor", 0xFF8080), 0xFF8080u);
    EXPECT_EQ(app.GetProfileString("Setting", "Position", "100,100"), "100,100");
}

TEST_F(SettingsStore, ReadingCreatesTheSectionKey)
{
    PrivateData data;
    app.LoadPrivateData(data);
    CRegKey key;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, Path("PrivateData").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(SettingsStore, RecordsRoundTripByteForByte)
{
    // 表 and ソ carry a 0x5C second byte.
    app.SavePrivateData({.Name1 = "山田", .Name2 = "太郎", .AddressNo = "100-0001", .PhoneNo = "03-1234-5678",
                         .Address = "東京都千代田区表ソ町1-2", .EMail = "taro@example.jp",
                         .Homepage = "http://example.jp/~taro"});
    PrivateData read;
    app.LoadPrivateData(read);
    EXPECT_EQ(read.Name1, "山田");
    EXPECT_EQ(read.Address, "東京都千代田区表ソ町1-2");
    EXPECT_EQ(read.EMail, "taro@example.jp");
    EXPECT_EQ(read.Homepage, "http://example.jp/~taro");

    UserStringEntry strings[kUserStringCount];
    app.LoadUserString(strings);
    strings[2].String = "一行目\r\n二行目\r\n三行目";
    strings[4].Title = "挨拶";
    app.SaveUserString(strings);
    UserStringEntry again[kUserStringCount];
    app.LoadUserString(again);
    EXPECT_EQ(again[2].String, "一行目\r\n二行目\r\n三行目");
    EXPECT_EQ(again[4].Title, "挨拶");
    EXPECT_EQ(Raw("UserString", "String3").second, std::string("一行目\r\n二行目\r\n三行目") + '\0');

    app.SaveHotKey({1, "F5", 1});
    HotKeyData readKey;
    app.LoadHotKey(readKey);
    EXPECT_EQ(readKey.SysKey, 1);
    EXPECT_EQ(readKey.Key, "F5");
    EXPECT_EQ(readKey.Do, 1);
    EXPECT_EQ(Raw("HotKey", "SysKey").first, static_cast<DWORD>(REG_DWORD));
}

TEST_F(SettingsStore, EmptyValueStaysEmptyOnlyMissingTakesDefault)
{
    app.WriteProfileString("PrivateData", "Name1", "");
    PrivateData data;
    app.LoadPrivateData(data);
    EXPECT_TRUE(data.Name1.IsEmpty());
    EXPECT_EQ(data.Name2, "名");
}

TEST_F(SettingsStore, ValuesOfTheWrongTypeTakeTheirDefault)
{
    SetRaw("Setting", "Option", REG_SZ, "9", 2);
    const DWORD number = 250;
    SetRaw("Setting", "Position", REG_DWORD, &number, sizeof number);
    SetRaw("PrivateData", "Name1", REG_BINARY, "\x01\x02", 2);
    EXPECT_EQ(app.GetProfileInt("Setting", "Option", 1), 1u);
    EXPECT_EQ(app.GetProfileString("Setting", "Position", "100,100"), "100,100");
    PrivateData data;
    app.LoadPrivateData(data);
    EXPECT_EQ(data.Name1, "姓");
}

TEST_F(SettingsStore, StringWithoutTerminatorIsReadWhole)
{
    SetRaw("PrivateData", "Name1", REG_SZ, "ABC", 3);
    PrivateData data;
    app.LoadPrivateData(data);
    EXPECT_EQ(data.Name1, "ABC");
}

TEST_F(SettingsStore, HugeStringSurvives)
{
    std::string big(100000, 'x');
    big += "末尾";
    app.WriteProfileString("UserString", "String1", big.c_str());
    UserStringEntry strings[kUserStringCount];
    app.LoadUserString(strings);
    EXPECT_EQ(strings[0].String.str(), big);
}

class CustomPageStore : public SettingsStore {
protected:
    PageRow Load(int num1, const char* data1)
    {
        if (num1 != kMissing) app.WriteProfileInt("CustomPage", "Num1", num1);
        if (data1) app.WriteProfileString("CustomPage", "Data1", data1);
        PageRow row = {3, {IDC_PREV, IDC_NEXT, IDC_TARGET}, {1, 151, 135, 17}};
        app.LoadCustomPage(row);
        return row;
    }
    static constexpr int kMissing = -999;
};

TEST_F(CustomPageStore, DefaultListLoadsNineIds)
{
    const PageRow row = Load(kMissing, nullptr);
    ASSERT_EQ(row.nCount, 9);
    const int expected[] = {IDC_PREV,      IDC_NEXT,    0,           IDC_FULLNAME, IDC_FAMILYNAME,
                            IDC_GIVENNAME, IDC_STRING1, IDC_STRING2, IDC_STRING3};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(row.nID[i], expected[i]) << i;
    EXPECT_EQ(row.nX[0], 1);
    EXPECT_EQ(row.nX[3], 17);
}

TEST_F(CustomPageStore, SecondSlotIsAlwaysNext)
{
    const PageRow row = Load(4, "1011,9999,1010,1001");
    ASSERT_EQ(row.nCount, 4);
    EXPECT_EQ(row.nID[0], IDC_PREV);
    EXPECT_EQ(row.nID[1], IDC_NEXT);
    EXPECT_EQ(row.nID[2], IDC_TARGET);
    EXPECT_EQ(row.nID[3], IDC_FULLNAME);
}

TEST_F(CustomPageStore, CountIsTrustedAndMissingFieldsAreZero)
{
    PageRow row = Load(5, "1011,1012,1010");
    ASSERT_EQ(row.nCount, 5);
    EXPECT_EQ(row.nID[3], 0);
    EXPECT_EQ(row.nID[4], 0);

    row = Load(2, nullptr);
    ASSERT_EQ(row.nCount, 2);
    EXPECT_EQ(row.nID[0], IDC_PREV);
    EXPECT_EQ(row.nID[1], IDC_NEXT);
    EXPECT_EQ(row.nID[3], 0);
}

TEST_F(CustomPageStore, CountOutsideTheRowIsHeldToIt)
{
    std::string many = "1011,1012,1010";
    for (int i = 0; i < 17; ++i) many += ",1001";
    PageRow row = Load(20, many.c_str());
    EXPECT_EQ(row.nCount, 15);
    EXPECT_EQ(row.nID[14], IDC_FULLNAME);

    row = Load(-3, nullptr);
    EXPECT_EQ(row.nCount, 0);
    EXPECT_EQ(row.nID[0], IDC_PREV);
    EXPECT_EQ(row.nID[1], IDC_NEXT);
}

TEST_F(CustomPageStore, SaveWritesCountThenCommaList)
{
    PageRow row = {4, {IDC_PREV, IDC_NEXT, IDC_TARGET, IDC_FULLNAME}, {}};
    app.SaveCustomPage(row);
    EXPECT_EQ(app.GetProfileInt("CustomPage", "Num1", 0), 4u);
    EXPECT_EQ(app.GetProfileString("CustomPage", "Data1"), "1011,1012,1010,1001");

    // The default row goes back as exactly the default text.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
    const PageRow defaults = Load(kMissing, nullptr);
    app.SaveCustomPage(defaults);
    EXPECT_EQ(app.GetProfileString("CustomPage", "Data1"), "1011,1012,0,1001,1004,1005,1007,1013,1014");
    EXPECT_EQ(Raw("CustomPage", "Num1").first, static_cast<DWORD>(REG_DWORD));
}
