// The keeper's copy of the user's clipboard: which formats are worth
// copying and in what order they are asked for, one copied format, and the
// whole copy, taken within a time and size bound and put back as listed.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A format as the clipboard lists it; `name` is empty for a predefined one.
struct ListedFormat {
    UINT id;
    std::string name;
};

// Whether a format is one of OLE's own (an embedded or linked object's
// description and data). Rendering them can take an Office program seconds,
// and the rest of a copy pastes fine without them.
bool IsOleInternalFormat(const std::string& name);

// The places in `listed` of the formats to copy, in the order to ask for
// them: what readers use most first, the rest as listed, FileContents last.
// OLE's own formats are left out, and of the pictures the system converts
// into each other only the one listed first, the one the program placed.
std::vector<size_t> FormatsToCopy(const std::vector<ListedFormat>& listed);

// Marks what the bar places on the open clipboard as not for clipboard
// history, the cloud clipboard, clipboard monitors or clipboard viewers.
void MarkAsPrivate();

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

private:
    UINT m_nFormat;
    HANDLE m_hData;
};

// Everything worth copying off the clipboard, in the order it was listed.
class CClipboardSnapshot {
public:
    // The clipboard must be open. Replaces what was held before. False (and
    // nothing held) when it cannot be copied by `deadline` (a tick count,
    // looked at between formats) within `maxBytes`, or when something is on
    // the clipboard but none of it can be copied.
    bool Take(ULONGLONG deadline, SIZE_T maxBytes);
    // The clipboard must be open and emptied: sets every format held. An
    // empty copy leaves the clipboard empty.
    void Restore();
    void Clear() { m_formats.clear(); }

private:
    std::vector<CClipFormatCopy> m_formats;
};
