#include "framework/Wnd.h"

#include <unordered_map>

#include "framework/WinApp.h"

// ---- CCmdTarget ----------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, entries};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage == nMessage && e->nCode == nCode && e->nID <= nID && nID <= e->nLastID) return e;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam)
{
    const AFX_MSGMAP_ENTRY* entry = FindEntry(WM_COMMAND, nCode, nID);
    if (!entry) return false;
    entry->pfn(this, wParam, lParam);
    return true;
}

// ---- CWnd: attaching -----------------------------------------------------

namespace {
// Every window that has a C++ object, for the one UI thread.
std::unordered_map<HWND, CWnd*>& HandleMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}
}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd()
{
    // The window outlives its object only by mistake; give it back its own
    // procedure so no message reaches a dead object.
    if (m_pfnSuper) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    const auto it = HandleMap().find(hWnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

bool CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_pfnSuper || FromHandlePermanent(hWnd)) return false;
    m_hWnd = hWnd;
    HandleMap()[hWnd] = this;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
    return true;
}

bool CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!m_pfnSuper) return nullptr;
    // Restore the old procedure only if nobody subclassed on top of us.
    if (::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc))
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    HandleMap().erase(hWnd);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcA(hWnd, msg, wParam, lParam);

    // Handlers may send messages to their own window: keep the outer one.
    const MSG saved = pWnd->m_msgCur;
    pWnd->m_msgCur = MSG{hWnd, msg, wParam, lParam, 0, {0, 0}};
    const LRESULT result = pWnd->WindowProc(msg, wParam, lParam);
    pWnd->m_msgCur = saved;

    if (msg == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
        pWnd->UnsubclassWindow();
        pWnd->PostNcDestroy();
    }
    return result;
}

// ---- CWnd: dispatch ------------------------------------------------------

LRESULT CWnd::Default()
{
    return DefWindowProc(m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(msg, wParam, lParam, &result)) result = DefWindowProc(msg, wParam, lParam);
    return result;
}

bool CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (msg == WM_COMMAND) {
        *pResult = 0;
        return OnCommand(wParam, lParam);
    }
    if (msg == WM_NOTIFY) return OnNotify(wParam, lParam, pResult);
    // Owner-drawn controls draw themselves: the parent's drawing messages go
    // to the control's object first.
    if ((msg == WM_DRAWITEM || msg == WM_MEASUREITEM) && wParam != 0) {
        const HWND hControl = ::GetDlgItem(m_hWnd, static_cast<int>(wParam));
        CWnd* pControl = hControl ? FromHandlePermanent(hControl) : nullptr;
        if (pControl && pControl->OnChildNotify(msg, wParam, lParam, pResult)) return true;
    }

    // Reflected notifications carry their code; plain messages carry none.
    UINT nCode = 0;
    if (msg == WM_REFLECT_BASE + WM_COMMAND) nCode = HIWORD(wParam);
    if (msg == WM_REFLECT_BASE + WM_NOTIFY) nCode = reinterpret_cast<NMHDR*>(lParam)->code;
    const AFX_MSGMAP_ENTRY* entry = FindEntry(msg, nCode, 0);
    if (!entry) return false;
    *pResult = entry->pfn(this, wParam, lParam);
    return true;
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const HWND hControl = reinterpret_cast<HWND>(lParam);
    if (hControl) {
        CWnd* pControl = FromHandlePermanent(hControl);
        LRESULT ignored = 0;
        if (pControl && pControl->OnChildNotify(WM_COMMAND, wParam, lParam, &ignored)) return true;
    }
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), wParam, lParam);
}

bool CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* nmhdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!nmhdr) return false;
    CWnd* pControl = FromHandlePermanent(nmhdr->hwndFrom);
    if (pControl && pControl != this && pControl->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult)) return true;
    const AFX_MSGMAP_ENTRY* entry = FindEntry(WM_NOTIFY, nmhdr->code, static_cast<UINT>(nmhdr->idFrom));
    if (!entry) return false;
    *pResult = entry->pfn(this, wParam, lParam);
    return true;
}

bool CWnd::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return OnWndMsg(WM_REFLECT_BASE + msg, wParam, lParam, pResult);
}

// ---- CWnd: pre-translation -----------------------------------------------

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

bool CWnd::WalkPreTranslateTree(MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd); pWnd && pWnd->PreTranslateMessage(pMsg)) return true;
        // Stop at the top-level window: GetParent would go on to its owner.
        if (!(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

// ---- CWnd: helpers -------------------------------------------------------

CString CWnd::GetWindowText() const
{
    CString text;
    const int length = ::GetWindowTextLengthA(m_hWnd);
    if (length > 0) {
        std::string buffer(static_cast<size_t>(length) + 1, '\0');
        const int got = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
        text = CString(buffer.data(), got);
    }
    return text;
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) const
{
    CString appName = AfxGetAppName();
    return ::MessageBoxA(m_hWnd, text, caption ? caption : static_cast<LPCSTR>(appName), type);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control)
{
    if (!control.m_hWnd) control.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}
