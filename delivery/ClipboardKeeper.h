// Pasting without losing what the user had copied: CClipboardKeeper copies
// the clipboard's contents (before the target is activated, bounded in time
// and size), offers the paste text by delayed rendering, sends Ctrl+V, and
// puts the copy back once the target has read the text and closed the
// clipboard. What it places is marked so that clipboard history, the cloud
// clipboard and clipboard monitors leave it alone.
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
    // when the format cannot be copied or is larger than `maxBytes` (then
    // `tooLarge` is set). The clipboard must be open.
    static CClipFormatCopy Take(UINT nFormat, SIZE_T maxBytes, bool& tooLarge);
    // Hands the copy to the open clipboard; false (and still owned) on failure.
    bool PutBack();
    bool Empty() const { return m_hData == nullptr; }
    // About how many bytes the copy takes.
    SIZE_T Size() const;
    UINT Format() const { return m_nFormat; }

private:
    UINT m_nFormat;
    HANDLE m_hData;
};

// Everything that could be copied off the clipboard, in enumeration order.
class CClipboardSnapshot {
public:
    // The clipboard must be open. Replaces what was held before. False (and
    // nothing held) when it cannot all be copied by `deadline` (a tick
    // count) within `maxBytes`.
    bool Take(ULONGLONG deadline, SIZE_T maxBytes);
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
    // Bounds of the copy of the user's clipboard; past them the keeper
    // stands aside for that paste.
    static constexpr ULONGLONG kCopyTimeoutMs = 300;
    static constexpr SIZE_T kCopyMaxBytes = 64u << 20;
    // How long the clipboard's owner may take to show it is not hung.
    static constexpr UINT kOwnerAnswerMs = 100;

    explicit CClipboardKeeper(UINT_PTR nTimerId) : m_nTimerId(nTimerId) {}

    // Copies the clipboard, before the target is activated. False when it
    // cannot be copied whole in time (its owner hangs or renders slowly, or
    // it is too large): the plain paste runs then, as without keeping.
    bool Prepare(HWND hOwner);
    // Lets go of the copy Prepare took when no paste came of it; a pending
    // paste keeps its copy.
    void DropCopy();
    // Whether the copy Prepare took is still the clipboard's content.
    bool Ready(HWND hOwner) const;
    // Offers `text` in the copied content's place and sends Ctrl+V into the
    // foreground window, which belongs to `hTarget`. 1 on success; 0 after
    // telling the user what failed (the clipboard then holds what it held
    // before).
    int Paste(HWND hOwner, const CString& text, HWND hTarget);
    // Forgets a pending paste and any copy taken for one: the clipboard is
    // about to be replaced on purpose and must not be given back afterwards.
    void Forget();
    bool Pending() const { return m_state != State::Idle; }

    void OnRenderFormat(UINT nFormat);
    void OnRenderAllFormats();
    void OnDestroyClipboard();
    void OnTimer();

private:
    enum class State { Idle, WaitingForRead, WaitingForClose };

    // Offers the text again by delayed rendering after another program read it.
    void OfferAgain();
    void Restore();
    void Finish();
    bool ReaderIsTarget() const;

    UINT_PTR m_nTimerId;
    State m_state = State::Idle;
    bool m_bPrepared = false;   // m_snapshot holds the user's content
    DWORD m_nSequence = 0;      // the clipboard's sequence number then
    HWND m_hOwner = nullptr;
    CString m_strText;
    DWORD m_targetProcess = 0;
    HWND m_hTargetTop = nullptr;
    ULONGLONG m_sentAt = 0;
    bool m_bRendered = false;   // the text is on the clipboard as real data
    int m_nOffersLeft = 0;      // how often the text may be offered again
    bool m_bEmptying = false;   // our own EmptyClipboard: not a replacement
    CClipboardSnapshot m_snapshot;
};
