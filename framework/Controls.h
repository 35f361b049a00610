// Control wrappers: CButton, CStatic, CEdit, CComboBox, CListBox,
// CCheckListBox, CToolTipCtrl, and the colour chooser CColorDialog.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CStatic : public CWnd {};

class CEdit : public CWnd {};

class CComboBox : public CWnd {
public:
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int AddString(LPCSTR text) const { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    // Selects the first item, after nStartAfter, whose text begins with
    // `text` (case-insensitive); CB_ERR when none does.
    int SelectString(int nStartAfter, LPCSTR text) const
    {
        return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(text)));
    }
};

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int AddString(LPCSTR text) const { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    CString GetText(int nIndex) const;
};

// An owner-drawn list box (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS) whose items
// each carry a two-state check box. A click on an item's box, or the space
// bar on the focused item, toggles it; two quick clicks are two toggles. The
// state lives in the item data.
class CCheckListBox : public CListBox {
public:
    int GetCheck(int nIndex) const;
    void SetCheck(int nIndex, int nCheck) const;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);

private:
    // Width of the check box column: the item height (a square box).
    int CheckColumnWidth() const;
    void DrawCheckBox(HDC hDC, const RECT& cell, bool bChecked) const;
    void Toggle(int nIndex) const;
};

// The common colour chooser (ChooseColor).
class CColorDialog {
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    INT_PTR DoModal();
    COLORREF GetColor() const { return m_cc.rgbResult; }

    CHOOSECOLORA m_cc{};

private:
    // The user's custom colours, kept for the life of the process so that
    // every opening of the chooser shows the ones made before.
    static COLORREF s_customColors[16];
};

// A tooltip control whose tools are whole windows (TTF_IDISHWND).
class CToolTipCtrl : public CWnd {
public:
    ~CToolTipCtrl() override;
    bool Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    void Activate(bool bActivate) const { SendMessage(TTM_ACTIVATE, bActivate ? TRUE : FALSE); }
    void SetDelayTime(DWORD dwDuration, int iTime) const
    {
        SendMessage(TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0));
    }
    // The tool is the window `hTool`; its owner is that window's parent (for
    // a top-level window, the window itself). The control copies the text.
    bool AddTool(HWND hTool, LPCSTR lpszText) const;
    void DelTool(HWND hTool) const;
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void RelayEvent(MSG* pMsg) const { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg)); }

private:
    TOOLINFOA ToolInfo(HWND hTool) const;
};
