// CEntryPage: the pattern shared by the user strings and the application
// launch pages. A drop-down list picks one of N entries; three edits show
// that entry's tip, caption and third text (what is pasted or started). The
// page edits a working copy and hands all N entries back only on OK.
#pragma once
#include "framework/Afx.h"

template <class Entry, CString Entry::*Text, int N>
class CEntryPage : public CPropertyPage {
public:
    // Copies all entries now, so the copy exists even if the tab is never
    // shown (OK then does not reach this page and the copy is dropped).
    void Attach(Entry (&entries)[N])
    {
        m_pEntries = entries;
        for (int i = 0; i < N; i++) m_entries[i] = entries[i];
    }

    BOOL OnInitDialog() override
    {
        CPropertyPage::OnInitDialog();
        // The template cannot carry the list's items; they go in first.
        for (const char* item : m_rItems) m_rCombo.AddString(item);
        m_rCombo.SetCurSel(0);
        ShowEntry(m_entries[0]);
        m_nCurSel = m_rCombo.GetCurSel();
        return TRUE;
    }

    void OnOK() override
    {
        const int n = m_rCombo.GetCurSel();
        if (n != -1) ReadEntry(m_entries[n]);
        for (int i = 0; i < N; i++) m_pEntries[i] = m_entries[i];
        CPropertyPage::OnOK();
    }

protected:
    using Items = const char* const (&)[N];

    CEntryPage(UINT nIDTemplate, Items items, CEdit& tip, CEdit& title, CEdit& text, CComboBox& combo)
        : CPropertyPage(nIDTemplate), m_rItems(items), m_rTip(tip), m_rTitle(title), m_rText(text), m_rCombo(combo)
    {
    }

    // Keeps the shown entry's edits before showing the newly chosen one.
    void OnSelChange()
    {
        if (m_nCurSel != -1) ReadEntry(m_entries[m_nCurSel]);
        const int n = m_rCombo.GetCurSel();
        if (n != -1) ShowEntry(m_entries[n]);
        m_nCurSel = n;
    }

    int m_nCurSel = -1;            // entry shown in the edits; -1 before init
    Entry* m_pEntries = nullptr;   // the bar's entries, written only on OK
    Entry m_entries[N];            // working copy

private:
    void ShowEntry(const Entry& entry) const
    {
        m_rTip.SetWindowText(entry.Tip);
        m_rTitle.SetWindowText(entry.Title);
        m_rText.SetWindowText(entry.*Text);
    }
    void ReadEntry(Entry& entry) const
    {
        entry.Tip = m_rTip.GetWindowText();
        entry.Title = m_rTitle.GetWindowText();
        entry.*Text = m_rText.GetWindowText();
    }

    Items m_rItems;
    // The derived page owns and binds these controls.
    CEdit& m_rTip;
    CEdit& m_rTitle;
    CEdit& m_rText;
    CComboBox& m_rCombo;
};
