#include "delivery/ClipboardCopy.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "delivery/SendKey.h"

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

// Clipboard format names compare without case, in ASCII.
bool SameName(const std::string& a, const char* b)
{
    const size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 'a' - 'A') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Pictures the system converts into each other. Windows lists the one the
// program placed first and its conversions after it.
constexpr UINT kFamilies[][3] = {
    {CF_DIBV5, CF_DIB, CF_BITMAP},
    {CF_ENHMETAFILE, CF_METAFILEPICT, 0},
};

const UINT* FamilyOf(UINT f)
{
    for (const auto& family : kFamilies)
        if (std::find(std::begin(family), std::end(family), f) != std::end(family)) return family;
    return nullptr;
}

// What is asked for first, so that the time bound is spent on what readers
// use most; {0, nullptr} stands for the picture kept of each family.
struct Wanted {
    UINT id;
    const char* name;
};
constexpr Wanted kAskFirst[] = {
    {CF_UNICODETEXT, nullptr}, {CF_TEXT, nullptr}, {CF_OEMTEXT, nullptr}, {CF_LOCALE, nullptr},
    {0, "HTML Format"}, {0, "Rich Text Format"}, {0, "PNG"}, {0, nullptr},
    {CF_HDROP, nullptr}, {0, "Shell IDList Array"}, {0, "FileNameW"}, {0, "FileName"},
    {0, "Preferred DropEffect"},
};

int AskRank(const ListedFormat& f)
{
    const int count = static_cast<int>(std::size(kAskFirst));
    for (int rank = 0; rank < count; ++rank) {
        const Wanted& w = kAskFirst[rank];
        if (w.name ? SameName(f.name, w.name) : (w.id ? f.id == w.id : FamilyOf(f.id) != nullptr)) return rank;
    }
    return SameName(f.name, "FileContents") ? count + 1 : count;
}

std::string FormatName(UINT f)
{
    char name[256] = "";
    return ::GetClipboardFormatNameA(f, name, sizeof name) > 0 ? name : "";
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
}  // namespace

bool IsOleInternalFormat(const std::string& name)
{
    for (const char* ole : {"Embed Source", "Embedded Object", "Link Source", "Custom Link Source",
                            "Object Descriptor", "Link Source Descriptor", "Ole Private Data", "DataObject",
                            "Native", "OwnerLink", "ObjectLink"})
        if (SameName(name, ole)) return true;
    return false;
}

std::vector<size_t> FormatsToCopy(const std::vector<ListedFormat>& listed)
{
    std::vector<size_t> chosen;
    for (size_t i = 0; i < listed.size(); ++i) {
        if (IsOleInternalFormat(listed[i].name)) continue;
        if (const UINT* family = FamilyOf(listed[i].id)) {
            auto first = std::find_if(listed.begin(), listed.end(), [&](const ListedFormat& f) {
                return f.id && std::find(family, family + 3, f.id) != family + 3;
            });
            if (first != listed.begin() + static_cast<std::ptrdiff_t>(i)) continue;  // a conversion
        }
        chosen.push_back(i);
    }
    std::stable_sort(chosen.begin(), chosen.end(),
                     [&](size_t a, size_t b) { return AskRank(listed[a]) < AskRank(listed[b]); });
    return chosen;
}

void MarkAsPrivate()
{
    // Windows' formats for history, the cloud clipboard and monitors, and the
    // older one some clipboard tools honour alone; each holds a DWORD 0.
    for (const char* name : {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory",
                             "CanUploadToCloudClipboard", "Clipboard Viewer Ignore"}) {
        CGlobalBlock block(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD));
        if (block.Get() && ::SetClipboardData(::RegisterClipboardFormatA(name), block.Get())) block.Release();
    }
}

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
    std::vector<ListedFormat> listed;
    for (UINT f = ::EnumClipboardFormats(0); f; f = ::EnumClipboardFormats(f)) listed.push_back({f, FormatName(f)});
    std::vector<std::optional<CClipFormatCopy>> copies(listed.size());
    SIZE_T bytes = 0;
    bool whole = true;
    for (size_t i : FormatsToCopy(listed)) {
        // Each format may be rendered late by its owner, and one such wait
        // has no bound of ours: past the deadline no further one is asked for.
        if (::GetTickCount64() > deadline) {
            whole = false;
            break;
        }
        bool tooLarge = false;
        CClipFormatCopy copy = CClipFormatCopy::Take(listed[i].id, maxBytes - bytes, tooLarge);
        if (tooLarge) {
            whole = false;
            break;
        }
        if (copy.Empty()) continue;
        bytes += copy.Size();
        copies[i].emplace(std::move(copy));
    }
    // Back in the order they were listed: readers take the first they understand.
    for (auto& copy : copies)
        if (copy) m_formats.push_back(std::move(*copy));
    // Something nobody could be given back (OLE's formats alone): stand aside.
    if (!whole || ::GetTickCount64() > deadline || (!listed.empty() && m_formats.empty())) {
        m_formats.clear();
        return false;
    }
    return true;
}

void CClipboardSnapshot::Restore()
{
    // An empty clipboard comes back empty: no marks on nothing.
    const bool any = !m_formats.empty();
    // A format the clipboard refuses is left out; the others still go back.
    for (CClipFormatCopy& copy : m_formats) copy.PutBack();
    Clear();
    if (any) MarkAsPrivate();  // the user's own copy coming back, not a new one
}
