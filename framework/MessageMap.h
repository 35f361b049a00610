// Message maps: a class's table that ties window messages, commands and
// notifications to its handlers. Each entry carries a small "cracker" that
// unpacks WPARAM/LPARAM into the handler's real arguments.
//
//   BEGIN_MESSAGE_MAP(CBarDlg, CDialog)
//       ON_WM_PAINT()
//       ON_COMMAND(IDC_PREV, OnPagePrev)
//   END_MESSAGE_MAP()
//
// A map names its base map; lookup walks from the most derived map to the
// base, and the first matching entry wins.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "framework/Gdi.h"

class CCmdTarget;

// Reflected notifications arrive at the control as WM_REFLECT_BASE + message.
constexpr UINT WM_REFLECT_BASE = 0xBC00;
// The notification code of a menu command or button click.
constexpr UINT CN_COMMAND = 0;

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message, WM_COMMAND, WM_NOTIFY or a reflected message
    UINT nCode;     // notification code (commands and notifications), else 0
    UINT nID;       // first control or command id, else 0
    UINT nLastID;   // last id of the range
    LRESULT (*pfn)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;  // ends with an entry whose pfn is null
};

#define DECLARE_MESSAGE_MAP()                           \
protected:                                              \
    static const AFX_MSGMAP* GetThisMessageMap();       \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }  \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                    \
    {                                                                                  \
        using ThisClass [[maybe_unused]] = theClass;                                                  \
        using TheBaseClass [[maybe_unused]] = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                       \
            {0, 0, 0, 0, nullptr}};                                             \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &messageMap;                                                     \
    }

#define AFX_THUNK(body) [](CCmdTarget* p, [[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam) -> LRESULT { \
        [[maybe_unused]] auto* self = static_cast<ThisClass*>(p); body }

// Commands and control notifications sent to the parent.
#define ON_COMMAND(id, fn) {WM_COMMAND, CN_COMMAND, (id), (id), AFX_THUNK(self->fn(); return 0;)},
#define ON_COMMAND_RANGE(first, last, fn) \
    {WM_COMMAND, CN_COMMAND, (first), (last), AFX_THUNK(self->fn(LOWORD(wParam)); return 0;)},
#define ON_CONTROL(code, id, fn) {WM_COMMAND, (code), (id), (id), AFX_THUNK(self->fn(); return 0;)},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, (UINT)(code), (id), (id), AFX_THUNK(LRESULT r = 0; self->fn(reinterpret_cast<NMHDR*>(lParam), &r); return r;)},

// Notifications handled by the control that raised them.
#define ON_CONTROL_REFLECT(code, fn) {WM_REFLECT_BASE + WM_COMMAND, (code), 0, 0, AFX_THUNK(self->fn(); return 0;)},
#define ON_BN_CLICKED_REFLECT(fn) ON_CONTROL_REFLECT(BN_CLICKED, fn)
#define ON_NOTIFY_REFLECT(code, fn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, AFX_THUNK(LRESULT r = 0; self->fn(reinterpret_cast<NMHDR*>(lParam), &r); return r;)},

// Window messages, with typed arguments.
#define ON_MESSAGE(msg, fn) {(msg), 0, 0, 0, AFX_THUNK(return self->fn(wParam, lParam);)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AFX_THUNK(self->OnPaint(); return 0;)},
// BOOL OnEraseBkgnd(HDC hDC)
#define ON_WM_ERASEBKGND() {WM_ERASEBKGND, 0, 0, 0, AFX_THUNK(return self->OnEraseBkgnd(reinterpret_cast<HDC>(wParam));)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AFX_THUNK(self->OnDestroy(); return 0;)},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, AFX_THUNK(self->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, 0, AFX_THUNK(return reinterpret_cast<LRESULT>(self->OnQueryDragIcon());)},
#define ON_WM_NCHITTEST() {WM_NCHITTEST, 0, 0, 0, AFX_THUNK(return self->OnNcHitTest(CPoint(lParam));)},
#define ON_WM_NCRBUTTONDOWN() \
    {WM_NCRBUTTONDOWN, 0, 0, 0, AFX_THUNK(self->OnNcRButtonDown(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_NCRBUTTONUP() \
    {WM_NCRBUTTONUP, 0, 0, 0, AFX_THUNK(self->OnNcRButtonUp(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_CONTEXTMENU() \
    {WM_CONTEXTMENU, 0, 0, 0, AFX_THUNK(self->OnContextMenu(reinterpret_cast<HWND>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_DROPFILES() {WM_DROPFILES, 0, 0, 0, AFX_THUNK(self->OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;)},
#define ON_WM_QUERYENDSESSION() {WM_QUERYENDSESSION, 0, 0, 0, AFX_THUNK(return self->OnQueryEndSession();)},
// Broadcast to top-level windows when the system's colours or settings change.
// void OnSysColorChange()
#define ON_WM_SYSCOLORCHANGE() {WM_SYSCOLORCHANGE, 0, 0, 0, AFX_THUNK(self->OnSysColorChange(); return 0;)},
// void OnSettingChange(UINT uFlags, LPCSTR lpszSection)
#define ON_WM_SETTINGCHANGE()                                                                          \
    {WM_SETTINGCHANGE, 0, 0, 0,                                                                        \
     AFX_THUNK(self->OnSettingChange(static_cast<UINT>(wParam), reinterpret_cast<LPCSTR>(lParam)); return 0;)},
// The clipboard owner's messages (delayed rendering).
#define ON_WM_RENDERFORMAT() {WM_RENDERFORMAT, 0, 0, 0, AFX_THUNK(self->OnRenderFormat(static_cast<UINT>(wParam)); return 0;)},
#define ON_WM_RENDERALLFORMATS() {WM_RENDERALLFORMATS, 0, 0, 0, AFX_THUNK(self->OnRenderAllFormats(); return 0;)},
#define ON_WM_DESTROYCLIPBOARD() {WM_DESTROYCLIPBOARD, 0, 0, 0, AFX_THUNK(self->OnDestroyClipboard(); return 0;)},
#define ON_WM_LBUTTONDOWN() \
    {WM_LBUTTONDOWN, 0, 0, 0, AFX_THUNK(self->OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_LBUTTONDBLCLK() \
    {WM_LBUTTONDBLCLK, 0, 0, 0, AFX_THUNK(self->OnLButtonDblClk(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_CAPTURECHANGED() \
    {WM_CAPTURECHANGED, 0, 0, 0, AFX_THUNK(self->OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return 0;)},
#define ON_WM_HOTKEY() \
    {WM_HOTKEY, 0, 0, 0, AFX_THUNK(self->OnHotKey(); return 0;)},
#define ON_WM_LBUTTONUP() \
    {WM_LBUTTONUP, 0, 0, 0, AFX_THUNK(self->OnLButtonUp(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_RBUTTONUP() \
    {WM_RBUTTONUP, 0, 0, 0, AFX_THUNK(self->OnRButtonUp(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
