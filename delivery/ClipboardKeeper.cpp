#include "delivery/ClipboardKeeper.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "delivery/SendKey.h"
#include "framework/Handle.h"

namespace {
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

// Pictures the system converts into each other, richest first: only the
// richest one on the clipboard is copied, the others follow from it again.
// Texts are small and all copied, so that ANSI and Unicode readers get back
// exactly what they got before.
constexpr UINT kFamilies[][3] = {
    {CF_DIBV5, CF_DIB, CF_BITMAP},
    {CF_ENHMETAFILE, CF_METAFILEPICT, 0},
};

// Whether `f` is to be copied when `listed` is on the clipboard.
bool IsRichestOfItsFamily(UINT f, const std::vector<UINT>& listed)
{
    auto has = [&](UINT g) { return std::find(listed.begin(), listed.end(), g) != listed.end(); };
    for (const auto& family : kFamilies) {
        if (std::find(std::begin(family), std::end(family), f) == std::end(family)) continue;
        for (UINT g : family)
            if (g && has(g)) return g == f;
    }
    return true;
}

// The formats Windows defines to keep a clipboard change out of clipboard
// history, the cloud clipboard and clipboard monitors; each holds a DWORD 0.
void MarkAsPrivate()
{
    for (const char* name : {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory",
                             "CanUploadToCloudClipboard"}) {
        CGlobalBlock block(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD));
        if (block.Get() && ::SetClipboardData(::RegisterClipboardFormatA(name), block.Get())) block.Release();
    }
}

// Whether the process `reader` is, or was started by, the process `target`
// (an embedded browser reads from a child process of its own).
bool IsSameOrStartedBy(DWORD reader, DWORD target)
{
    if (reader == target) return true;
    const CKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Get()) return false;
    std::vector<std::pair<DWORD, DWORD>> parents;  // process, its parent
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more; more = ::Process32Next(snapshot.Get(), &entry))
        parents.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    // A few generations up; a bound, since parent ids may be reused.
    for (int generation = 0; generation < 4; ++generation) {
        auto it = std::find_if(parents.begin(), parents.end(), [&](const auto& p) { return p.first == reader; });
        if (it == parents.end() || it->second == 0 || it->second == reader) return false;
        reader = it->second;
        if (reader == target) return true;
    }
    return false;
}

// Whether `process` owns a window inside `hTopLevel` (a Store app's window
// inside the frame the frame host owns).
bool OwnsWindowIn(DWORD process, HWND hTopLevel)
{
    struct Search {
        DWORD process;
        bool found;
    } search{process, false};
    ::EnumChildWindows(
        hTopLevel,
        [](HWND hChild, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hChild, &owner);
            s->found = owner == s->process;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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

CClipFormatCopy CClipFormatCopy::Take(UINT nFormat, SIZE_T maxBytes, bool& tooLarge)
{
    // Owner-drawn and private handles mean something only to their owner.
    if (nFormat == CF_OWNERDISPLAY || (nFormat >= CF_PRIVATEFIRST && nFormat <= CF_PRIVATELAST)
        || (nFormat >= CF_GDIOBJFIRST && nFormat <= CF_GDIOBJLAST))
        return {nFormat, nullptr};
    HANDLE hData = ::GetClipboardData(nFormat);
    if (!hData) return {nFormat, nullptr};
    CClipFormatCopy source(nFormat, hData);
    tooLarge = source.Size() > maxBytes;
    source.m_hData = nullptr;  // the clipboard's, not ours to free
    if (tooLarge) return {nFormat, nullptr};
    if (IsBitmap(nFormat)) return {nFormat, ::CopyImage(hData, IMAGE_BITMAP, 0, 0, 0)};
    if (IsEnhMetaFile(nFormat))
        return {nFormat, ::CopyEnhMetaFileA(static_cast<HENHMETAFILE>(hData), nullptr)};
    if (IsMetaFilePict(nFormat)) return {nFormat, CopyMetaFilePict(hData)};
    if (nFormat == CF_PALETTE) return {nFormat, CopyPalette(hData)};
    return {nFormat, CopyBlock(hData)};
}

SIZE_T CClipFormatCopy::Size() const
{
    if (!m_hData) return 0;
    if (IsBitmap(m_nFormat)) {
        BITMAP bitmap{};
        if (!::GetObjectA(m_hData, sizeof bitmap, &bitmap)) return 0;
        return static_cast<SIZE_T>(bitmap.bmWidthBytes) * static_cast<SIZE_T>(bitmap.bmHeight);
    }
    if (IsEnhMetaFile(m_nFormat)) return ::GetEnhMetaFileBits(static_cast<HENHMETAFILE>(m_hData), 0, nullptr);
    if (m_nFormat == CF_PALETTE) return 0;
    return ::GlobalSize(m_hData);
}

bool CClipFormatCopy::PutBack()
{
    if (!m_hData || !::SetClipboardData(m_nFormat, m_hData)) return false;
    m_hData = nullptr;  // the clipboard's now
    return true;
}

// ----------------------------------------------------------------- the whole clipboard

bool CClipboardSnapshot::Take(ULONGLONG deadline, SIZE_T maxBytes)
{
    m_formats.clear();
    std::vector<UINT> listed;
    for (UINT f = ::EnumClipboardFormats(0); f; f = ::EnumClipboardFormats(f)) listed.push_back(f);
    SIZE_T bytes = 0;
    for (UINT f : listed) {
        if (!IsRichestOfItsFamily(f, listed)) continue;
        // Each format may be rendered late by its owner: past the bound no
        // further one is asked for.
        if (::GetTickCount64() > deadline) break;
        bool tooLarge = false;
        CClipFormatCopy copy = CClipFormatCopy::Take(f, maxBytes - bytes, tooLarge);
        if (tooLarge) {
            bytes = maxBytes + 1;
            break;
        }
        if (copy.Empty()) continue;
        bytes += copy.Size();
        m_formats.push_back(std::move(copy));
    }
    if (bytes <= maxBytes && ::GetTickCount64() <= deadline) return true;
    m_formats.clear();
    return false;
}

void CClipboardSnapshot::Restore()
{
    // A format the clipboard refuses is left out; the others still go back.
    for (CClipFormatCopy& copy : m_formats) copy.PutBack();
    Clear();
    MarkAsPrivate();  // the user's own copy coming back, not a new one
}

// ----------------------------------------------------------------- the paste

bool CClipboardKeeper::Prepare(HWND hOwner)
{
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
    if (!::OpenClipboard(hOwner)) return false;
    const bool whole = m_snapshot.Take(::GetTickCount64() + kCopyTimeoutMs, kCopyMaxBytes);
    ::CloseClipboard();
    m_nSequence = ::GetClipboardSequenceNumber();
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
    // Changed while the target was activated: that content was not copied.
    return m_bPrepared && ::GetClipboardSequenceNumber() == m_nSequence;
}

int CClipboardKeeper::Paste(HWND hOwner, const CString& text, HWND hTarget)
{
    m_bPrepared = false;
    if (!::OpenClipboard(hOwner)) {
        if (!Pending()) m_snapshot.Clear();
        ReportClipboardFailure(ClipboardFailure::Open);
        return 0;
    }
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
    m_sentAt = ::GetTickCount64();
    ::SetTimer(m_hOwner, m_nTimerId, kTickMs, nullptr);
    if (!::CloseClipboard()) {
        // No paste then: give the user's content back at the next tick.
        m_state = State::WaitingForClose;
        ReportClipboardFailure(ClipboardFailure::Close);
        return 0;
    }
    m_state = State::WaitingForRead;
    SendPasteKeys();
    return 1;
}

void CClipboardKeeper::Forget()
{
    Finish();
    m_bPrepared = false;
}

bool CClipboardKeeper::ReaderIsTarget() const
{
    // A reader without a window cannot be named, and so is never the
    // target: a clipboard tool reading every change is one.
    HWND hReader = ::GetOpenClipboardWindow();
    if (!hReader) return false;
    DWORD reader = 0;
    ::GetWindowThreadProcessId(hReader, &reader);
    return IsSameOrStartedBy(reader, m_targetProcess) || (m_hTargetTop && OwnsWindowIn(reader, m_hTargetTop));
}

void CClipboardKeeper::OnRenderFormat(UINT nFormat)
{
    if (nFormat != CF_TEXT || m_state == State::Idle) return;
    if (!PutClipboardText(m_strText)) return;
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
    if (m_state == State::WaitingForClose) {
        Restore();
        return;
    }
    if (::GetTickCount64() - m_sentAt >= kReadTimeoutMs) {
        // Never read: the text stays, as it does without keeping.
        if (m_bRendered) {
            Finish();
        } else if (::OpenClipboard(m_hOwner)) {
            PutClipboardText(m_strText);
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
        else PutClipboardText(m_strText);  // never leave the clipboard without the text
        MarkAsPrivate();
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
