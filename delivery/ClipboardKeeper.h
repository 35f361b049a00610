// Pasting without losing what the user had copied: CClipboardKeeper copies
// the clipboard's contents, offers the paste text by delayed rendering,
// sends Ctrl+V, and puts the copy back once the target's own process has
// read the text and closed the clipboard.
//
// The owner window passes on WM_RENDERFORMAT, WM_RENDERALLFORMATS,
// WM_DESTROYCLIPBOARD and its timer (the id given at construction) while a
// paste is pending.
#pragma once
#include <vector>

#include "framework/Afx.h"

// One copied clipboard format. Owns its handle until the clipboard takes it.
class CClipFormatCopy {
public:
    CClipFormatCopy(UINT nFormat, HANDLE hData) : m_nFormat(nFormat), m_hData(hData) {}
    ~CClipFormatCopy();
    CClipFormatCopy(CClipFormatCopy&& other) noexcept : m_nFormat(other.m_nFormat), m_hData(other.m_hData)
    {
        other.m_hData = nullptr;
    }
    CClipFormatCopy& operator=(CClipFormatCopy&&) = delete;
    CClipFormatCopy(const CClipFormatCopy&) = delete;
    CClipFormatCopy& operator=(const CClipFormatCopy&) = delete;

    // A copy of the clipboard's data of this format, or one holding nothing
    // when the format cannot be copied. The clipboard must be open.
    static CClipFormatCopy Take(UINT nFormat);
    // Hands the copy to the open clipboard; false (and still owned) on failure.
    bool PutBack();
    bool Empty() const { return m_hData == nullptr; }
    UINT Format() const { return m_nFormat; }

private:
    UINT m_nFormat;
    HANDLE m_hData;
};

// Everything that could be copied off the clipboard, in enumeration order.
class CClipboardSnapshot {
public:
    // The clipboard must be open. Replaces what was held before.
    void Take();
    // The clipboard must be open and emptied: sets every format held.
    void Restore();
    void Clear() { m_formats.clear(); }

private:
    std::vector<CClipFormatCopy> m_formats;
};

class CClipboardKeeper {
public:
    // Period of the timer that watches for the target closing the clipboard.
    static constexpr UINT kTickMs = 15;
    // A target that has not read the text by then keeps it on the clipboard.
    static constexpr ULONGLONG kReadTimeoutMs = 5000;

    explicit CClipboardKeeper(UINT_PTR nTimerId) : m_nTimerId(nTimerId) {}

    // Copies the clipboard, offers `text` in its place and sends Ctrl+V into
    // the foreground window, which belongs to `hTarget`. 1 on success; 0
    // after telling the user what failed (the clipboard then holds what it
    // held before).
    int Paste(HWND hOwner, const CString& text, HWND hTarget);
    // Forgets a pending paste: the clipboard is about to be replaced on
    // purpose and must not be given back afterwards.
    void Forget();
    bool Pending() const { return m_state != State::Idle; }

    void OnRenderFormat(UINT nFormat);
    void OnRenderAllFormats();
    void OnDestroyClipboard();
    void OnTimer();

private:
    enum class State { Idle, WaitingForRead, WaitingForClose };

    // SetClipboardData of the text as a real block; the clipboard must be open.
    bool RenderText();
    // Offers the text again by delayed rendering after another program read it.
    void OfferAgain();
    void Restore();
    void Finish();
    bool ReaderIsTarget() const;

    UINT_PTR m_nTimerId;
    State m_state = State::Idle;
    HWND m_hOwner = nullptr;
    CString m_strText;
    DWORD m_targetProcess = 0;
    DWORD m_targetThread = 0;
    ULONGLONG m_sentAt = 0;
    bool m_bKeysSent = false;
    bool m_bRendered = false;   // the text is on the clipboard as real data
    int m_nOffersLeft = 0;      // how often the text may be offered again
    bool m_bEmptying = false;   // our own EmptyClipboard: not a replacement
    CClipboardSnapshot m_snapshot;
};
