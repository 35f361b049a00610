// Pasting without losing what the user had copied: CClipboardKeeper copies
// the clipboard's contents (before the target is activated, bounded in time
// and size), offers the paste text by delayed rendering, sends Ctrl+V, and
// puts the copy back once the target's process has read the text and has
// had kPasteBoundMs to handle the keys. What it places is marked so that
// clipboard history, the cloud clipboard and clipboard monitors leave it
// alone.
//
// The owner window passes on WM_RENDERFORMAT, WM_RENDERALLFORMATS,
// WM_DESTROYCLIPBOARD and its timer (the id given at construction) while a
// paste is pending.
#pragma once
#include "delivery/ClipboardCopy.h"
#include "framework/Afx.h"

class CClipboardKeeper {
public:
    // Period of the timer that watches for the target closing the clipboard.
    static constexpr UINT kTickMs = 15;
    // A target that has not read the text by then keeps it on the clipboard.
    static constexpr ULONGLONG kReadTimeoutMs = 5000;
    // How long the target is given to handle Ctrl+V, from the later of the
    // keys and its process's first read. Its own clipboard pane reads the
    // offer before the keys are handled, so a read alone proves no paste;
    // when in doubt later is better than the old content pasted.
    static constexpr ULONGLONG kPasteBoundMs = 300;
    // Bounds of the copy of the user's clipboard; past them the keeper
    // stands aside for that paste.
    static constexpr ULONGLONG kCopyTimeoutMs = 300;
    static constexpr SIZE_T kCopyMaxBytes = 64u << 20;
    // How long the clipboard's owner may take to show it is not hung.
    static constexpr UINT kOwnerAnswerMs = 100;
    // The text is offered again only this long after the keys, and no
    // sooner than this after the last offer: a clipboard monitor answers
    // every offer at once.
    static constexpr ULONGLONG kReofferWithinMs = 1000;
    static constexpr ULONGLONG kReofferGapMs = 50;

    explicit CClipboardKeeper(UINT_PTR nTimerId) : m_nTimerId(nTimerId) {}

    // Copies the clipboard, before the target `hTarget` is activated. False
    // when the target's reads cannot be watched, or the clipboard cannot be
    // copied whole in time (its owner hangs or renders slowly, or it is too
    // large): the plain paste runs then, as without keeping.
    bool Prepare(HWND hOwner, HWND hTarget);
    // Lets go of the copy Prepare took when no paste came of it; a pending
    // paste keeps its copy.
    void DropCopy();
    // Whether the copy Prepare took is still the clipboard's content.
    bool Ready(HWND hOwner) const;
    // Offers `text` in the copied content's place and sends Ctrl+V into the
    // foreground window, which belongs to `hTarget`. 1 on success; 0 after
    // telling the user what failed (the clipboard then holds what it held
    // before); kStoodAside, with nothing done, when the clipboard changed
    // while it waited to open it: the plain paste is for the caller then.
    static constexpr int kStoodAside = -1;
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
    // WaitingForRead: offered, the target's process has not read it yet.
    // TargetHasRead: given back once kPasteBoundMs have passed.
    // GiveBack: no paste came of it: given back at the next tick.
    enum class State { Idle, WaitingForRead, TargetHasRead, GiveBack };

    // Whether the text may be offered again: the paste may still be on its way.
    bool MayOfferAgain() const;
    // Offers the text again by delayed rendering after another program read it.
    void OfferAgain();
    // Whether the user's content may come back now.
    bool MayGiveBack() const;
    void Restore();
    void Finish();

    UINT_PTR m_nTimerId;
    State m_state = State::Idle;
    bool m_bPrepared = false;   // m_snapshot holds the user's content
    DWORD m_nSequence = 0;      // the clipboard's sequence number then
    HWND m_hCopiedOwner = nullptr;  // and its owner
    HWND m_hOwner = nullptr;
    CString m_strText;
    DWORD m_targetProcess = 0;
    HWND m_hTargetTop = nullptr;
    ULONGLONG m_sentAt = 0;     // when the keys went out
    ULONGLONG m_readAt = 0;     // the target's process's first read
    ULONGLONG m_offeredAt = 0;  // the latest offer
    bool m_bRendered = false;   // the text is on the clipboard as real data
    int m_nOffersLeft = 0;      // how often the text may be offered again
    bool m_bEmptying = false;   // our own EmptyClipboard: not a replacement
    CClipboardSnapshot m_snapshot;
};
