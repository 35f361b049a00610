#include "settings/CustomPageDlg.h"

#include "resources/resource.h"

namespace {
// List items 0 to 27 are the bar's page buttons (kPageButtonIds); item 28
// is the title-strip button 的, kept apart because it has its own slot in the
// row.
constexpr int kChoiceCount = static_cast<int>(sizeof kPageButtonIds / sizeof kPageButtonIds[0]);
constexpr int kTitleItem = kChoiceCount;
constexpr int kMaxChoices = kPageSlots - kFirstOwnSlot;

int ItemOfId(int id)
{
    for (int i = 0; i < kChoiceCount; ++i)
        if (kPageButtonIds[i] == id) return i;
    return id == IDC_TARGET ? kTitleItem : -1;
}
}  // namespace

CCustomPageDlg::CCustomPageDlg() : CPropertyPage(IDD_CUSTOMPAGE) {}

void CCustomPageDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_CP_LIST, m_checkList);
}

BOOL CCustomPageDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();

    static const char* const kFixedTexts[] = {"氏", "姓", "名", "〒", "住所", "電話番号", "E-Mail", "HP"};
    for (const char* text : kFixedTexts) m_checkList.AddString(text);
    CString text;
    for (int n = 1; n <= 10; ++n) {
        text.Format("ﾕｰｻﾞｰ文字%d", n);
        m_checkList.AddString(text);
    }
    for (int n = 1; n <= 10; ++n) {
        text.Format("起動%d", n);
        m_checkList.AddString(text);
    }
    m_checkList.AddString("的");

    // A hand-edited row may name ids no item stands for; those tick nothing.
    const int count = m_pRecord->nCount < kPageSlots ? m_pRecord->nCount : kPageSlots;
    for (int i = 0; i < count; ++i) {
        const int item = ItemOfId(m_pRecord->nID[i]);
        if (item >= 0) m_checkList.SetCheck(item, 1);
    }
    return TRUE;
}

void CCustomPageDlg::OnOK()
{
    int chosen = 0;
    for (int i = 0; i < kChoiceCount; ++i)
        if (m_checkList.GetCheck(i) == 1) ++chosen;
    if (chosen > kMaxChoices) {
        // The sheet closes anyway; the row keeps the previous selection.
        MessageBox("12個以上は選択できません。", nullptr, MB_OK);
        return;
    }

    PageRow& row = *m_pRecord;
    row.nID[0] = IDC_PREV;
    row.nID[1] = IDC_NEXT;
    int slot = kFirstOwnSlot;
    for (int i = 0; i < kChoiceCount; ++i)
        if (m_checkList.GetCheck(i) == 1) row.nID[slot++] = kPageButtonIds[i];
    row.nID[2] = m_checkList.GetCheck(kTitleItem) == 1 ? IDC_TARGET : 0;
    row.nCount = slot;
    CPropertyPage::OnOK();
}
