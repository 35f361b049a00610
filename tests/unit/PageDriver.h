// Drives a settings page in a real property sheet, as a user would: once the
// sheet is up and showing the page, the test's steps run on the page (posted
// from OnInitDialog, so the sheet is complete and its message loop runs),
// then OK or Cancel is pressed as the steps say.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/Afx.h"

// How the steps end: press OK, press Cancel, or press nothing (the steps
// moved to another tab, whose own steps go on).
enum class Then { Ok, Cancel, Stay };

// A page's controls, by the page's window.
inline HWND Item(HWND page, int nID) { return ::GetDlgItem(page, nID); }
inline void Type(HWND page, int nID, const char* text)
{
    ::SendMessageA(Item(page, nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
inline std::string Shown(HWND page, int nID)
{
    char text[512] = "";
    ::GetWindowTextA(Item(page, nID), text, sizeof text);
    return text;
}
inline int Selection(HWND page, int nID)
{
    return static_cast<int>(::SendMessageA(Item(page, nID), CB_GETCURSEL, 0, 0));
}
inline int Count(HWND page, int nID) { return static_cast<int>(::SendMessageA(Item(page, nID), CB_GETCOUNT, 0, 0)); }
// What the drop-down list does when the user picks an item.
inline void Choose(HWND page, int nID, int nIndex)
{
    ::SendMessageA(Item(page, nID), CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(nID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(page, nID)));
}
inline std::vector<std::string> Items(HWND page, int nID)
{
    std::vector<std::string> items;
    for (int i = 0; i < Count(page, nID); i++) {
        char text[64] = "";
        ::SendMessageA(Item(page, nID), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

template <class Page>
class CDrivenPage : public Page {
public:
    using Page::Page;

    // The test's steps; none at all presses OK.
    std::function<Then(CDrivenPage&)> m_drive;

    HWND Item(int nID) const { return ::Item(this->m_hWnd, nID); }
    HWND Sheet() const { return ::GetParent(this->m_hWnd); }
    bool Checked(int nID) const { return ::SendMessageA(Item(nID), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int nID) const { return ::IsWindowEnabled(Item(nID)) != FALSE; }
    int Selection(int nID) const { return ::Selection(this->m_hWnd, nID); }
    int Count(int nID) const { return ::Count(this->m_hWnd, nID); }
    void Click(int nID) const { ::SendMessageA(Item(nID), BM_CLICK, 0, 0); }
    void Choose(int nID, int nIndex) const { ::Choose(this->m_hWnd, nID, nIndex); }

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
        const Then then = m_drive ? m_drive(*this) : Then::Ok;
        if (then != Then::Stay)
            ::PostMessageA(Sheet(), PSM_PRESSBUTTON, then == Then::Ok ? PSBTN_OK : PSBTN_CANCEL, 0);
        return 0;
    }
};

// A sheet titled 設定 with these pages, opened on tab `start`; DoModal's result.
inline INT_PTR RunSheet(std::initializer_list<CPropertyPage*> pages, UINT start = 0)
{
    CPropertySheet sheet("設定", nullptr, start);
    for (CPropertyPage* page : pages) sheet.AddPage(page);
    return sheet.DoModal();
}
