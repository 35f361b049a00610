#include "delivery/ClipboardKeeper.h"

#include <cstring>

namespace {
// A global block that is freed unless the clipboard took it.
class CGlobalBlock {
public:
    CGlobalBlock(UINT flags, SIZE_T size) : m_hBlock(::GlobalAlloc(flags, size)) {}
    ~CGlobalBlock() { if (m_hBlock) ::GlobalFree(m_hBlock); }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;
    HGLOBAL Get() const { return m_hBlock; }
    HGLOBAL Release()
    {
        HGLOBAL h = m_hBlock;
        m_hBlock = nullptr;
        return h;
    }

private:
    HGLOBAL m_hBlock;
};

// GlobalLock for as long as it lives.
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL hBlock) : m_hBlock(hBlock), m_p(hBlock ? ::GlobalLock(hBlock) : nullptr) {}
    ~CGlobalLock() { if (m_p) ::GlobalUnlock(m_hBlock); }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
    void* Get() const { return m_p; }

private:
    HGLOBAL m_hBlock;
    void* m_p;
};

bool IsBitmap(UINT f) { return f == CF_BITMAP || f == CF_DSPBITMAP; }
bool IsEnhMetaFile(UINT f) { return f == CF_ENHMETAFILE || f == CF_DSPENHMETAFILE; }
bool IsMetaFilePict(UINT f) { return f == CF_METAFILEPICT || f == CF_DSPMETAFILEPICT; }

// Formats the system converts into each other. Only the first one listed
// (the one the owner placed; conversions are listed after it) is copied.
int FamilyOf(UINT f)
{
    switch (f) {
    case CF_TEXT: case CF_UNICODETEXT: case CF_OEMTEXT: return 1;
    case CF_BITMAP: case CF_DIB: case CF_DIBV5: return 2;
    case CF_ENHMETAFILE: case CF_METAFILEPICT: return 3;
    default: return 0;
    }
}

HANDLE CopyBlock(HANDLE hData)
{
    const SIZE_T size = ::GlobalSize(hData);
    if (size == 0) return nullptr;
    CGlobalLock source(hData);
    if (!source.Get()) return nullptr;
    CGlobalBlock copy(GMEM_MOVEABLE, size);
    CGlobalLock target(copy.Get());
    if (!target.Get()) return nullptr;
    std::memcpy(target.Get(), source.Get(), size);
    return copy.Release();
}

HANDLE CopyMetaFilePict(HANDLE hData)
{
    CGlobalLock source(hData);
    if (!source.Get() || ::GlobalSize(hData) < sizeof(METAFILEPICT)) return nullptr;
    METAFILEPICT pict = *static_cast<const METAFILEPICT*>(source.Get());
    pict.hMF = ::CopyMetaFileA(pict.hMF, nullptr);
    if (!pict.hMF) return nullptr;
    CGlobalBlock copy(GMEM_MOVEABLE, sizeof pict);
    CGlobalLock target(copy.Get());
    if (!target.Get()) {
        ::DeleteMetaFile(pict.hMF);
        return nullptr;
    }
    std::memcpy(target.Get(), &pict, sizeof pict);
    return copy.Release();
}

HANDLE CopyPalette(HANDLE hData)
{
    const auto hPalette = static_cast<HPALETTE>(hData);
    const UINT count = ::GetPaletteEntries(hPalette, 0, 0, nullptr);
    if (count == 0) return nullptr;
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(count);
    ::GetPaletteEntries(hPalette, 0, count, log->palPalEntry);
    return ::CreatePalette(log);
}

// Offers CF_TEXT by delayed rendering. SetClipboardData returns no handle
// for it even when it works: only the last error tells.
bool OfferText()
{
    ::SetLastError(ERROR_SUCCESS);
    ::SetClipboardData(CF_TEXT, nullptr);
    return ::GetLastError() == ERROR_SUCCESS;
}

void PasteKeys()
{
    ::keybd_event(VK_CONTROL, 0, 0, 0);
    ::keybd_event('V', 0, 0, 0);
    ::keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
    ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}
}  // namespace

// ----------------------------------------------------------------- one format

CClipFormatCopy::~CClipFormatCopy()
{
    if (!m_hData) return;
    if (IsBitmap(m_nFormat) || m_nFormat == CF_PALETTE) {
        ::DeleteObject(m_hData);
    } else if (IsEnhMetaFile(m_nFormat)) {
        ::DeleteEnhMetaFile(static_cast<HENHMETAFILE>(m_hData));
    } else {
        if (IsMetaFilePict(m_nFormat)) {
            CGlobalLock pict(m_hData);
            if (pict.Get()) ::DeleteMetaFile(static_cast<METAFILEPICT*>(pict.Get())->hMF);
        }
        ::GlobalFree(m_hData);
    }
}

CClipFormatCopy CClipFormatCopy::Take(UINT nFormat)
{
    // Owner-drawn and private handles mean something only to their owner.
    if (nFormat == CF_OWNERDISPLAY || (nFormat >= CF_PRIVATEFIRST && nFormat <= CF_PRIVATELAST)
        || (nFormat >= CF_GDIOBJFIRST && nFormat <= CF_GDIOBJLAST))
        return {nFormat, nullptr};
    HANDLE hData = ::GetClipboardData(nFormat);
    if (!hData) return {nFormat, nullptr};
    if (IsBitmap(nFormat)) return {nFormat, ::CopyImage(hData, IMAGE_BITMAP, 0, 0, 0)};
    if (IsEnhMetaFile(nFormat))
        return {nFormat, ::CopyEnhMetaFileA(static_cast<HENHMETAFILE>(hData), nullptr)};
    if (IsMetaFilePict(nFormat)) return {nFormat, CopyMetaFilePict(hData)};
    if (nFormat == CF_PALETTE) return {nFormat, CopyPalette(hData)};
    return {nFormat, CopyBlock(hData)};
}

bool CClipFormatCopy::PutBack()
{
    if (!m_hData || !::SetClipboardData(m_nFormat, m_hData)) return false;
    m_hData = nullptr;  // the clipboard's now
    return true;
}

// ----------------------------------------------------------------- the whole clipboard

void CClipboardSnapshot::Take()
{
    m_formats.clear();
    bool familyTaken[4] = {};
    for (UINT f = ::EnumClipboardFormats(0); f; f = ::EnumClipboardFormats(f)) {
        const int family = FamilyOf(f);
        if (family && familyTaken[family]) continue;
        CClipFormatCopy copy = CClipFormatCopy::Take(f);
        if (copy.Empty()) continue;
        familyTaken[family] = true;
        m_formats.push_back(std::move(copy));
    }
}

void CClipboardSnapshot::Restore()
{
    // A format the clipboard refuses is left out; the others still go back.
    for (CClipFormatCopy& copy : m_formats) copy.PutBack();
    Clear();
}

// ----------------------------------------------------------------- the paste

int CClipboardKeeper::Paste(HWND hOwner, const CString& text, HWND hTarget)
{
    if (!::OpenClipboard(hOwner)) {
        AfxMessageBox("ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｵｰﾌﾟﾝに失敗しました。", MB_OK);
        return 0;
    }
    // While an earlier paste is pending the clipboard holds only our text;
    // the user's content is the copy still held, which this paste gives back.
    if (Pending() && ::GetClipboardOwner() != m_hOwner) Forget();  // replaced meanwhile: that content is the user's
    const bool earlier = Pending();
    if (!earlier) m_snapshot.Take();

    m_bEmptying = true;
    const BOOL emptied = ::EmptyClipboard();
    m_bEmptying = false;
    if (!emptied) {
        ::CloseClipboard();
        if (!earlier) m_snapshot.Clear();
        AfxMessageBox("ｸﾘｯﾌﾟﾎﾞｰﾄﾞのﾃﾞｰﾀ削除に失敗しました。", MB_OK);
        return 0;
    }
    if (!OfferText()) {
        m_snapshot.Restore();  // nothing is lost
        ::CloseClipboard();
        Finish();
        AfxMessageBox("ｸﾘｯﾌﾟﾎﾞｰﾄﾞへﾃﾞｰﾀのｺﾋﾟｰに失敗しました。", MB_OK);
        return 0;
    }

    m_hOwner = hOwner;
    m_strText = text;
    m_targetThread = ::GetWindowThreadProcessId(hTarget, &m_targetProcess);
    m_bKeysSent = false;
    m_bRendered = false;
    m_nOffersLeft = 3;
    m_sentAt = ::GetTickCount64();
    ::SetTimer(m_hOwner, m_nTimerId, kTickMs, nullptr);
    if (!::CloseClipboard()) {
        // No paste then: give the user's content back at the next tick.
        m_state = State::WaitingForClose;
        AfxMessageBox("ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｸﾛｰｽﾞに失敗しました。", MB_OK);
        return 0;
    }
    m_state = State::WaitingForRead;
    PasteKeys();
    m_bKeysSent = true;
    return 1;
}

void CClipboardKeeper::Forget()
{
    if (Pending()) Finish();
}

bool CClipboardKeeper::RenderText()
{
    const SIZE_T size = static_cast<SIZE_T>(m_strText.GetLength()) + 1;
    // The same block as a plain paste places.
    CGlobalBlock block(GMEM_DDESHARE, size);
    if (!block.Get()) return false;
    std::memcpy(block.Get(), static_cast<LPCSTR>(m_strText), size);
    if (!::SetClipboardData(CF_TEXT, block.Get())) return false;
    block.Release();
    return true;
}

bool CClipboardKeeper::ReaderIsTarget() const
{
    if (HWND hReader = ::GetOpenClipboardWindow()) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(hReader, &process);
        return process == m_targetProcess;
    }
    // A reader without a window cannot be named: it counts as the target
    // when the target is in front and Ctrl+V has gone out.
    return m_bKeysSent && ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr) == m_targetThread;
}

void CClipboardKeeper::OnRenderFormat(UINT nFormat)
{
    if (nFormat != CF_TEXT || m_state == State::Idle) return;
    if (!RenderText()) return;
    m_bRendered = true;
    if (m_state == State::WaitingForRead && ReaderIsTarget()) m_state = State::WaitingForClose;
}

void CClipboardKeeper::OnRenderAllFormats()
{
    if (!Pending()) return;
    if (::OpenClipboard(m_hOwner)) {
        if (::GetClipboardOwner() == m_hOwner) {
            if (m_state == State::WaitingForClose) {
                m_bEmptying = true;
                ::EmptyClipboard();
                m_bEmptying = false;
                m_snapshot.Restore();
            } else if (!m_bRendered) {
                RenderText();
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
    if (m_state == State::WaitingForClose) {
        Restore();
        return;
    }
    if (::GetTickCount64() - m_sentAt >= kReadTimeoutMs) {
        // Never read: the text stays, as it does without keeping.
        if (m_bRendered) {
            Finish();
        } else if (::OpenClipboard(m_hOwner)) {
            RenderText();
            ::CloseClipboard();
            Finish();
        }
        return;
    }
    if (m_bRendered && m_nOffersLeft > 0) OfferAgain();
}

void CClipboardKeeper::OfferAgain()
{
    // Another program read the text first; once it has let go, offer the
    // text by delayed rendering again so that the target's read shows.
    if (!::OpenClipboard(m_hOwner)) return;
    m_bEmptying = true;
    const BOOL emptied = ::EmptyClipboard();
    m_bEmptying = false;
    if (emptied) {
        if (OfferText()) m_bRendered = false;
        else RenderText();  // never leave the clipboard without the text
    }
    --m_nOffersLeft;
    ::CloseClipboard();
}

void CClipboardKeeper::Restore()
{
    // Still open by the target: next tick.
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
