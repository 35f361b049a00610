// Control wrappers: CButton, CStatic, CToolTipCtrl.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CStatic : public CWnd {};

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
