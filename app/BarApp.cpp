#include "app/BarApp.h"

#include "app/GetComma.h"
#include "bar/BarDlg.h"
#include "resources/resource.h"

namespace {
// The custom page of a first start: ←, →, no 的, then 氏 姓 名 1 2 3.
constexpr int kDefaultCustomPage[] = {IDC_PREV,       IDC_NEXT,      0,           IDC_FULLNAME, IDC_FAMILYNAME,
                                      IDC_GIVENNAME, IDC_STRING1, IDC_STRING2, IDC_STRING3};
constexpr int kDefaultCustomCount = static_cast<int>(sizeof kDefaultCustomPage / sizeof kDefaultCustomPage[0]);
constexpr const char* kKanjiNumerals[kAppStartCount] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};

CString Numbered(LPCSTR format, int n)
{
    CString text;
    text.Format(format, n);
    return text;
}

// "1011,1012,0,1001": the custom page's ids as the settings keep them; the
// first id is always written.
CString IdList(const int* ids, int count)
{
    CString text = Numbered("%d", ids[0]);
    for (int i = 1; i < count && i < kPageSlots; ++i) text += Numbered(",%d", ids[i]);
    return text;
}
}  // namespace

BEGIN_MESSAGE_MAP(CBarApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CBarApp* GetBarApp() { return static_cast<CBarApp*>(AfxGetApp()); }

BOOL CBarApp::InitInstance()
{
    SetRegistryKey("Brannock");

    CString title;
    title.LoadString(IDS_BARTITLE);
    // A second start ends silently. The bar keeps the standard dialog class,
    // as every earlier version did; other windows that bear our title (an
    // Explorer window on a folder named after us) do not count.
    if (::FindWindowA("#32770", title)) return FALSE;

    Enable3dControlsStatic();

    CBarDlg bar;
    m_pMainWnd = &bar;
    bar.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

// ---- Settings store ------------------------------------------------------

void CBarApp::LoadPrivateData(PrivateData& data)
{
    data.Name1 = GetProfileString("PrivateData", "Name1", "姓");
    data.Name2 = GetProfileString("PrivateData", "Name2", "名");
    data.AddressNo = GetProfileString("PrivateData", "AddressNo", "郵便番号");
    data.Address = GetProfileString("PrivateData", "Address", "住所");
    data.PhoneNo = GetProfileString("PrivateData", "PhoneNo", "電話番号");
    data.EMail = GetProfileString("PrivateData", "E-Mail", "E-Mail");
    data.Homepage = GetProfileString("PrivateData", "Homepage", "HomePageAdress");
}

void CBarApp::SavePrivateData(PrivateData data)
{
    WriteProfileString("PrivateData", "Name1", data.Name1);
    WriteProfileString("PrivateData", "Name2", data.Name2);
    WriteProfileString("PrivateData", "AddressNo", data.AddressNo);
    WriteProfileString("PrivateData", "Address", data.Address);
    WriteProfileString("PrivateData", "PhoneNo", data.PhoneNo);
    WriteProfileString("PrivateData", "E-Mail", data.EMail);
    WriteProfileString("PrivateData", "Homepage", data.Homepage);
}

void CBarApp::LoadUserString(UserStringEntry (&entries)[kUserStringCount])
{
    for (int n = 1; n <= kUserStringCount; ++n) {
        UserStringEntry& entry = entries[n - 1];
        const CString defaultText = Numbered("文字%d", n);
        entry.Tip = GetProfileString("UserString", Numbered("Tip%d", n), defaultText);
        entry.String = GetProfileString("UserString", Numbered("String%d", n), defaultText);
        entry.Title = GetProfileString("UserString", Numbered("Title%d", n), Numbered("%d", n));
    }
}

void CBarApp::SaveUserString(const UserStringEntry (&entries)[kUserStringCount])
{
    for (int n = 1; n <= kUserStringCount; ++n) {
        const UserStringEntry& entry = entries[n - 1];
        WriteProfileString("UserString", Numbered("Tip%d", n), entry.Tip);
        WriteProfileString("UserString", Numbered("Title%d", n), entry.Title);
        WriteProfileString("UserString", Numbered("String%d", n), entry.String);
    }
}

void CBarApp::LoadAppStart(AppStartEntry (&entries)[kAppStartCount])
{
    for (int n = 1; n <= kAppStartCount; ++n) {
        AppStartEntry& entry = entries[n - 1];
        entry.Tip = GetProfileString("AppStart", Numbered("Tip%d", n), Numbered("起動%d", n));
        entry.AppName = GetProfileString("AppStart", Numbered("AppName%d", n), "");
        entry.Title = GetProfileString("AppStart", Numbered("Title%d", n), kKanjiNumerals[n - 1]);
    }
}

void CBarApp::SaveAppStart(const AppStartEntry (&entries)[kAppStartCount])
{
    for (int n = 1; n <= kAppStartCount; ++n) {
        const AppStartEntry& entry = entries[n - 1];
        WriteProfileString("AppStart", Numbered("Tip%d", n), entry.Tip);
        WriteProfileString("AppStart", Numbered("AppName%d", n), entry.AppName);
        WriteProfileString("AppStart", Numbered("Title%d", n), entry.Title);
    }
}

void CBarApp::LoadCustomPage(PageRow& row)
{
    CGetComma list;
    list.SetString(GetProfileString("CustomPage", "Data1", IdList(kDefaultCustomPage, kDefaultCustomCount)));
    // The row has room for 15 ids; a hand-edited count beyond that (or below
    // zero) is held to the room there is.
    int count = static_cast<int>(GetProfileInt("CustomPage", "Num1", kDefaultCustomCount));
    if (count > kPageSlots) count = kPageSlots;
    if (count < 0) count = 0;
    row.nCount = count;
    for (int i = 0; i < count; ++i) row.nID[i] = list.GetValue(i);
    for (int i = count; i < kPageSlots; ++i)
        if (i >= kFirstOwnSlot) row.nID[i] = 0;
    // ← and → are fixed in every row.
    row.nID[0] = IDC_PREV;
    row.nID[1] = IDC_NEXT;
}

void CBarApp::SaveCustomPage(PageRow row)
{
    WriteProfileInt("CustomPage", "Num1", row.nCount);
    WriteProfileString("CustomPage", "Data1", IdList(row.nID, row.nCount));
}

void CBarApp::LoadHotKey(HotKeyData& data)
{
    data.SysKey = static_cast<int>(GetProfileInt("HotKey", "SysKey", 6));
    data.Key = GetProfileString("HotKey", "Key", "W");
    data.Do = static_cast<int>(GetProfileInt("HotKey", "Do", 2));
}

void CBarApp::SaveHotKey(HotKeyData data)
{
    WriteProfileInt("HotKey", "SysKey", data.SysKey);
    WriteProfileString("HotKey", "Key", data.Key);
    WriteProfileInt("HotKey", "Do", data.Do);
}
