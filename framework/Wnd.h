// CCmdTarget and CWnd: how a window message finds its C++ handler.
//
// A CWnd is attached to a window by subclassing it: the window procedure is
// replaced by CWnd::StdWndProc, which finds the object in the handle map and
// calls its virtual WindowProc. WindowProc looks the message up in the
// object's message map; what no entry handles goes to the previous window
// procedure (Default). WM_COMMAND and WM_NOTIFY from a child are first
// reflected to the child's own object, then offered to the parent's map,
// then (commands only, see CDialog) to the application object.
#pragma once
#include <windows.h>

#include <optional>

#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "framework/Object.h"
#include "framework/String.h"

class CCmdTarget : public CObject {
public:
    // Runs the handler of command `nID` with notification `nCode`; false when
    // no map entry takes it.
    virtual bool OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // The first entry of this object's maps, most derived first, that takes
    // `nMessage` with `nCode` for `nID`.
    const AFX_MSGMAP_ENTRY* FindEntry(UINT nMessage, UINT nCode, UINT nID) const;
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // A handle holder for a window that is not ours (nothing is subclassed).
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Attaching to an existing window.
    bool SubclassWindow(HWND hWnd);
    bool SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    // The object attached to `hWnd`, or null when it has none.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Message filtering before dispatch: the modal loop offers every queued
    // message to the object of the window it is addressed to, then to each
    // parent up to the top-level window; true consumes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    static bool WalkPreTranslateTree(MSG* pMsg);

    // Thin wrappers.
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    CString GetWindowText() const;
    void SetWindowText(LPCSTR text) const { ::SetWindowTextA(m_hWnd, text); }
    BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) const { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    CRect GetWindowRect() const { CRect r; ::GetWindowRect(m_hWnd, &r); return r; }
    CRect GetClientRect() const { CRect r; ::GetClientRect(m_hWnd, &r); return r; }
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2); }
    void MapDialogRect(RECT* r) const { ::MapDialogRect(m_hWnd, r); }
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) const
    {
        return ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint);
    }
    BOOL SetWindowPos(HWND hInsertAfter, int x, int y, int cx, int cy, UINT nFlags) const
    {
        return ::SetWindowPos(m_hWnd, hInsertAfter, x, y, cx, cy, nFlags);
    }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) const { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nIDEvent) const { return ::KillTimer(m_hWnd, nIDEvent); }
    void Invalidate(BOOL bErase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, msg, wParam, lParam);
    }
    // A message box owned by this window; the caption defaults to the
    // application name.
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK) const;

protected:
    DECLARE_MESSAGE_MAP()

    // The default processing of the message being handled: the previous
    // window procedure.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification from this window sent to its parent, offered back to
    // this object first.
    virtual bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called after the window is gone (WM_NCDESTROY) and detached.
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK StdWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper = nullptr;
    MSG m_msgCur{};
};

// Data exchange between a dialog and its member objects.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, bool bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// Attaches `control` to the dialog item `nIDC` (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);
