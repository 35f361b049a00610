// Drives a settings page in a real property sheet, as a user would: once the
// sheet is up and showing the page, the test's steps run on the page (posted
// from OnInitDialog, so the sheet is complete and its message loop runs),
// then OK or Cancel is pressed.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/Afx.h"

// A page's controls, by the page's window.
inline void Type(HWND page, int nID, const char* text) { ::SetDlgItemTextA(page, nID, text); }
inline std::string Shown(HWND page, int nID)
{
    char text[512] = "";
    ::GetDlgItemTextA(page, nID, text, sizeof text);
    return text;
}
inline bool Checked(HWND page, int nID) { return ::IsDlgButtonChecked(page, nID) == BST_CHECKED; }
inline bool Enabled(HWND page, int nID) { return ::IsWindowEnabled(::GetDlgItem(page, nID)) != FALSE; }
inline void Click(HWND page, int nID) { ::SendDlgItemMessageA(page, nID, BM_CLICK, 0, 0); }
inline LRESULT Selection(HWND page, int nID) { return ::SendDlgItemMessageA(page, nID, CB_GETCURSEL, 0, 0); }
inline LRESULT Count(HWND page, int nID) { return ::SendDlgItemMessageA(page, nID, CB_GETCOUNT, 0, 0); }
// What the drop-down list does when the user picks an item.
inline void Choose(HWND page, int nID, int nIndex)
{
    ::SendDlgItemMessageA(page, nID, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(nID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(::GetDlgItem(page, nID)));
}
inline std::vector<std::string> Items(HWND page, int nID)
{
    std::vector<std::string> items(static_cast<size_t>(Count(page, nID)));
    for (size_t i = 0; i < items.size(); i++) {
        char text[64] = "";
        ::SendDlgItemMessageA(page, nID, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items[i] = text;
    }
    return items;
}
// Clicks on list box items' check boxes (or, `onBox` false, on the far end of
// their texts), each scrolled into view first; `press` WM_LBUTTONDBLCLK makes
// each the second of two quick clicks.
inline void ClickItems(HWND list, std::initializer_list<int> items, bool onBox = true, UINT press = WM_LBUTTONDOWN)
{
    for (int item : items) {
        ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(item), 0);
        RECT rc{};
        ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rc));
        const LPARAM at = MAKELPARAM(onBox ? rc.left + 3 : rc.right - 3, (rc.top + rc.bottom) / 2);
        ::SendMessageA(list, press, MK_LBUTTON, at);
        ::SendMessageA(list, WM_LBUTTONUP, 0, at);
    }
}

// A sheet titled 設定 with these pages, opened on tab `start`; DoModal's result.
inline INT_PTR RunSheet(std::initializer_list<CPropertyPage*> pages, UINT start = 0)
{
    CPropertySheet sheet("設定", nullptr, start);
    for (CPropertyPage* page : pages) sheet.AddPage(page);
    return sheet.DoModal();
}

// How the steps end: press OK, press Cancel, or press nothing (the steps
// moved to another tab, whose own steps go on).
enum class Then { Ok, Cancel, Stay };

template <class Page>
class CDrivenPage : public Page {
public:
    using Page::Page;
    using Steps = std::function<void(CDrivenPage&)>;

    Steps m_steps;
    Then m_then = Then::Ok;

    // The page alone in a sheet: `steps` run on it, then `then`.
    INT_PTR Run(Steps steps = nullptr, Then then = Then::Ok)
    {
        m_steps = std::move(steps);
        m_then = then;
        return RunSheet({this});
    }

protected:
    static constexpr UINT WM_DRIVE = WM_APP + 1;

    BOOL OnInitDialog() override
    {
        const BOOL result = Page::OnInitDialog();
        this->PostMessage(WM_DRIVE);
        return result;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg != WM_DRIVE) return Page::WindowProc(msg, wParam, lParam);
        if (m_steps) m_steps(*this);
        if (m_then != Then::Stay)
            ::PostMessageA(this->GetParent(), PSM_PRESSBUTTON, m_then == Then::Ok ? PSBTN_OK : PSBTN_CANCEL, 0);
        return 0;
    }
};

// A test of one page; the application's name captions its message boxes.
template <class Page>
class PageTest : public ::testing::Test {
protected:
    CWinApp app{"PageTest"};
    CDrivenPage<Page> page;
};

// Answers each dialog a page opens (a message box, the colour chooser): such
// a dialog runs its own modal loop on this thread, which dispatches this
// thread timer too (after the dialog's own messages, so an answered dialog is
// gone by the next tick). A sheet still open after twenty seconds is
// cancelled, so that a test fails instead of hanging.
class CDialogAnswerer {
public:
    explicit CDialogAnswerer(std::function<void(HWND)> answer)
    {
        s_answer = std::move(answer);
        s_ticks = 0;
        m_timer = ::SetTimer(nullptr, 0, 50, OnTick);
    }
    ~CDialogAnswerer() { ::KillTimer(nullptr, m_timer); }

private:
    // Sheets are the thread's dialogs without an owner; what they open has one.
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
    {
        ++s_ticks;
        ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND hWnd, LPARAM) -> BOOL {
            char cls[16] = "";
            ::GetClassNameA(hWnd, cls, sizeof cls);
            if (!::IsWindowVisible(hWnd) || lstrcmpA(cls, "#32770") != 0) return TRUE;
            if (::GetWindow(hWnd, GW_OWNER)) s_answer(hWnd);
            else if (s_ticks == 400) ::PostMessageA(hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            return TRUE;
        }, 0);
    }

    static inline std::function<void(HWND)> s_answer;
    static inline int s_ticks = 0;
    UINT_PTR m_timer;
};
