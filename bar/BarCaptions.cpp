// CBarDlg: the captions of the user-string and launch buttons and every
// button's tooltip, redone whenever the settings change.
#include "bar/BarDlg.h"

#include "resources/resource.h"

namespace {
// Control id of user string i (0..9) and launch entry i (0..9).
int UserStringId(int i) { return i == 0 ? IDC_STRING1 : IDC_STRING2 + i - 1; }
int LaunchId(int i) { return IDC_LAUNCH1 + i; }

struct FixedTip {
    int id;
    const char* text;
};
constexpr FixedTip kFixedTips[] = {
    {IDC_TARGETTITLE, "Target"},  {IDC_PREV, "Page Down"},  {IDC_NEXT, "Page Up"},
    {IDC_TARGET, "Target表示/非表示"}, {IDC_FULLNAME, "氏名"}, {IDC_FAMILYNAME, "姓"},
    {IDC_GIVENNAME, "名"},        {IDC_ZIP, "郵便番号"},    {IDC_ADDRESS, "住所"},
    {IDC_PHONE, "電話番号"},      {IDC_MAIL, "Mail Address"}, {IDC_HOMEPAGE, "HomePage"},
};
}  // namespace

void CBarDlg::SetButtonCaptions()
{
    for (int i = 0; i < kUserStringCount; ++i) ::SetDlgItemTextA(m_hWnd, UserStringId(i), m_UserString[i].Title);
    for (int i = 0; i < kAppStartCount; ++i) ::SetDlgItemTextA(m_hWnd, LaunchId(i), m_AppStart[i].Title);
}

// Calls visit(control, tip) for every control that has a tooltip: the fixed
// ones first, then the user strings and the launch entries.
template <typename Visit>
void CBarDlg::ForEachTooltip(Visit visit)
{
    for (const FixedTip& tip : kFixedTips) visit(GetDlgItem(tip.id), CString(tip.text));
    for (int i = 0; i < kUserStringCount; ++i) visit(GetDlgItem(UserStringId(i)), m_UserString[i].Tip);
    for (int i = 0; i < kAppStartCount; ++i) visit(GetDlgItem(LaunchId(i)), m_AppStart[i].Tip);
}

void CBarDlg::AddTooltips()
{
    ForEachTooltip([this](HWND hControl, const CString& tip) { m_ToolTip.AddTool(hControl, tip); });
    m_ToolTip.Activate(true);
}

void CBarDlg::RemoveTooltips()
{
    ForEachTooltip([this](HWND hControl, const CString&) { m_ToolTip.DelTool(hControl); });
}
