#include "delivery/ClipboardKeeper.h"

#include <algorithm>

#include "delivery/SendKey.h"
#include "delivery/TargetProcess.h"

namespace {
// Offers CF_TEXT by delayed rendering, after the locale placed for real
// (Windows would stamp the keyboard's). SetClipboardData returns no handle
// for it even when it works: only the last error tells.
bool OfferText()
{
    PutClipboardLocale();
    ::SetLastError(ERROR_SUCCESS);
    ::SetClipboardData(CF_TEXT, nullptr);
    return ::GetLastError() == ERROR_SUCCESS;
}
}  // namespace

// ----------------------------------------------------------------- the paste

bool CClipboardKeeper::Prepare(HWND hOwner, HWND hTarget)
{
    // The text of the plain paste stays: nothing is copied, nothing waits.
    if (IsUnwatchableTarget(hTarget)) return false;
    // While an earlier paste is pending the clipboard holds only our text;
    // the user's content is the copy still held, which this paste gives back.
    if (Pending() && ::GetClipboardOwner() == hOwner) return true;
    Forget();  // replaced meanwhile: the new content is the user's
    // A hung owner is not asked for anything: each request would wait on it.
    HWND hClipOwner = ::GetClipboardOwner();
    DWORD_PTR answer = 0;
    if (hClipOwner && hClipOwner != hOwner
        && !::SendMessageTimeoutA(hClipOwner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kOwnerAnswerMs, &answer))
        return false;
    if (!OpenClipboardPatiently(hOwner)) return false;
    const bool whole = m_snapshot.Take(::GetTickCount64() + kCopyTimeoutMs, kCopyMaxBytes);
    // What was copied, read while no other program can change it.
    m_nSequence = ::GetClipboardSequenceNumber();
    m_hCopiedOwner = ::GetClipboardOwner();
    ::CloseClipboard();
    m_bPrepared = whole;
    return whole;
}

void CClipboardKeeper::DropCopy()
{
    if (Pending()) return;
    m_snapshot.Clear();  // the user's data, a password maybe: held no longer than needed
    m_bPrepared = false;
}

bool CClipboardKeeper::Ready(HWND hOwner) const
{
    if (Pending()) return ::GetClipboardOwner() == hOwner;
    if (!m_bPrepared) return false;
    if (::GetClipboardSequenceNumber() == m_nSequence) return true;
    // Changed while the target was activated. Its owner rendering, for
    // another reader, a format the copy left out raises the number too and
    // leaves the copy whole; a new copy comes from another owner.
    return m_hCopiedOwner && ::GetClipboardOwner() == m_hCopiedOwner;
}

int CClipboardKeeper::Paste(HWND hOwner, const CString& text, HWND hTarget)
{
    if (!OpenClipboardPatiently(hOwner)) {
        m_bPrepared = false;
        if (!Pending()) m_snapshot.Clear();
        ReportClipboardFailure(ClipboardFailure::Open);
        return 0;
    }
    // The wait for a busy clipboard answers other programs: a copy made
    // meanwhile was not copied and must not be emptied away.
    if (!Ready(hOwner)) {
        ::CloseClipboard();
        Forget();
        return kStoodAside;
    }
    m_bPrepared = false;
    const bool earlier = Pending();
    m_bEmptying = true;
    const BOOL emptied = ::EmptyClipboard();
    m_bEmptying = false;
    if (!emptied) {
        ::CloseClipboard();
        if (!earlier) m_snapshot.Clear();
        ReportClipboardFailure(ClipboardFailure::Empty);
        return 0;
    }
    if (!OfferText()) {
        m_snapshot.Restore();  // nothing is lost
        ::CloseClipboard();
        Finish();
        ReportClipboardFailure(ClipboardFailure::Copy);
        return 0;
    }
    MarkAsPrivate();

    m_hOwner = hOwner;
    m_strText = text;
    ::GetWindowThreadProcessId(hTarget, &m_targetProcess);
    m_hTargetTop = ::GetAncestor(hTarget, GA_ROOT);
    m_bRendered = false;
    m_nOffersLeft = 3;
    m_sentAt = m_readAt = m_offeredAt = ::GetTickCount64();
    ::SetTimer(m_hOwner, m_nTimerId, kTickMs, nullptr);
    if (!::CloseClipboard()) {
        // No paste then: give the user's content back at the next tick.
        m_state = State::GiveBack;
        ReportClipboardFailure(ClipboardFailure::Close);
        return 0;
    }
    m_state = State::WaitingForRead;
    SendPasteKeys();
    m_sentAt = ::GetTickCount64();
    return 1;
}

void CClipboardKeeper::Forget()
{
    Finish();
    m_bPrepared = false;
}

void CClipboardKeeper::OnRenderFormat(UINT nFormat)
{
    if (nFormat != CF_TEXT || m_state == State::Idle) return;
    if (!PutClipboardText(m_strText)) return;
    m_bRendered = true;
    if (m_state == State::WaitingForRead && ReaderIsTarget(m_targetProcess, m_hTargetTop)) {
        m_state = State::TargetHasRead;
        m_readAt = ::GetTickCount64();
    }
}

void CClipboardKeeper::OnRenderAllFormats()
{
    if (!Pending()) return;
    if (OpenClipboardPatiently(m_hOwner)) {
        if (::GetClipboardOwner() == m_hOwner) {
            if (MayGiveBack()) {
                m_bEmptying = true;
                ::EmptyClipboard();
                m_bEmptying = false;
                m_snapshot.Restore();
            } else if (!m_bRendered) {
                PutClipboardText(m_strText);
            }
        }
        ::CloseClipboard();
    }
    Finish();
}

void CClipboardKeeper::OnDestroyClipboard()
{
    // Someone else replaced the clipboard: the newest content wins.
    if (!m_bEmptying) Forget();
}

void CClipboardKeeper::OnTimer()
{
    if (!Pending() || ::GetClipboardOwner() != m_hOwner) {
        Forget();
        ::KillTimer(m_hOwner, m_nTimerId);
        return;
    }
    if (m_state != State::WaitingForRead) {
        if (MayGiveBack()) Restore();
        return;
    }
    if (::GetTickCount64() - m_sentAt >= kReadTimeoutMs) {
        // Never read: the text stays, as it does without keeping.
        if (m_bRendered) {
            Finish();
        } else if (::OpenClipboard(m_hOwner)) {  // busy: the next tick tries again
            if (::GetClipboardOwner() == m_hOwner) PutClipboardText(m_strText);  // else replaced: left alone
            ::CloseClipboard();
            Finish();
        }
        return;
    }
    if (m_bRendered && m_nOffersLeft > 0 && MayOfferAgain()) OfferAgain();
}

bool CClipboardKeeper::MayOfferAgain() const
{
    // A clipboard monitor reads each offer at once and would use them all up
    // in a few ticks; a target the user has left reads none of them.
    const ULONGLONG now = ::GetTickCount64();
    return now - m_sentAt < kReofferWithinMs && now - m_offeredAt >= kReofferGapMs
           && ::GetForegroundWindow() == m_hTargetTop;
}

void CClipboardKeeper::OfferAgain()
{
    // Another program read the text first; once it has let go, offer the
    // text by delayed rendering again so that the target's read shows.
    // Busy: the next tick tries again.
    if (!::OpenClipboard(m_hOwner)) return;
    m_bEmptying = true;
    // Replaced since the tick looked: the newest content wins.
    const BOOL emptied = ::GetClipboardOwner() == m_hOwner && ::EmptyClipboard();
    m_bEmptying = false;
    if (emptied) {
        m_offeredAt = ::GetTickCount64();
        if (OfferText()) m_bRendered = false;
        else PutClipboardText(m_strText);  // never leave the clipboard without the text
        MarkAsPrivate();
    }
    --m_nOffersLeft;
    ::CloseClipboard();
}

bool CClipboardKeeper::MayGiveBack() const
{
    if (m_state == State::GiveBack) return true;
    // The target's own pane may have read the offer before its Ctrl+V was
    // handled: wait the bound from the keys, or from that read if later.
    return m_state == State::TargetHasRead && ::GetTickCount64() >= std::max(m_sentAt, m_readAt) + kPasteBoundMs;
}

void CClipboardKeeper::Restore()
{
    // Still open by the target: the next tick tries again, so a restore
    // waits as long as the clipboard is busy without freezing the bar.
    if (!::OpenClipboard(m_hOwner)) return;
    if (::GetClipboardOwner() == m_hOwner) {
        m_bEmptying = true;
        const BOOL emptied = ::EmptyClipboard();
        m_bEmptying = false;
        if (emptied) m_snapshot.Restore();
    }
    ::CloseClipboard();
    Finish();
}

void CClipboardKeeper::Finish()
{
    m_state = State::Idle;
    m_snapshot.Clear();
    m_bRendered = false;
    if (m_hOwner) ::KillTimer(m_hOwner, m_nTimerId);
}
