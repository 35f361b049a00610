// Text delivery: CSendKey holds the text; CClipBoardSendKey puts it on the
// clipboard as plain text (CF_LOCALE, then CF_TEXT) and synthesizes Ctrl+V,
// so the text lands wherever the foreground window has its keyboard focus.
//
// The pieces every paste shares (the clipboard block, the keystrokes, the
// failure messages) are here too; CClipboardKeeper uses them.
#pragma once
#include "framework/Afx.h"

// A global memory block that is freed unless the clipboard took it.
class CGlobalBlock {
public:
    CGlobalBlock(UINT nFlags, SIZE_T nSize) : m_hBlock(::GlobalAlloc(nFlags, nSize)) {}
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

// What went wrong with the clipboard, told to the user in one message each.
enum class ClipboardFailure { Open, Empty, Copy, Close, Elevated };
void ReportClipboardFailure(ClipboardFailure failure);

// OpenClipboard, tried again about every 10 ms for up to 500 ms while
// another program holds the clipboard; at once when it is free.
bool OpenClipboardPatiently(HWND hOwner);
// SetClipboardData(CF_TEXT) of a copy of `text`; the clipboard must be open.
bool PutClipboardText(const CString& text);
// SetClipboardData(CF_LOCALE) of the system's locale, the one whose code page
// the stored texts are in, so that Unicode readers get them right whatever
// keyboard language is active. Best effort: CF_TEXT readers need none.
void PutClipboardLocale();
// PutClipboardLocale, then PutClipboardText: how the bar places a text.
bool PutClipboardTextWithLocale(const CString& text);
// Ctrl+V into whatever has the keyboard focus, with the keys' scan codes,
// once the user has let go of Shift, Alt and the Windows keys (at most 1 s).
void SendPasteKeys();
// What the bar could learn of a program's integrity level beside its own.
enum class IntegrityLevel { Higher, NotHigher, Unreadable };
// Whether the system's guard between integrity levels, which drops keys
// synthesized for a program above the sender, stands between the bar and a
// program: its level is higher, or it cannot be read and a harmless message
// posted to its window was refused with ERROR_ACCESS_DENIED (`postError`: 0
// when the post went through, else its last error). A program of another
// account at the bar's level gets the keys.
bool GuardRefusesPaste(IntegrityLevel level, DWORD postError);
// True when the window's program runs above the bar (run as administrator).
bool RunsAboveUs(HWND hWindow);

class CSendKey : public CObject {
    DECLARE_DYNCREATE(CSendKey)
public:
    CSendKey() = default;
    ~CSendKey() override = default;

    void SetText(CString text)
    {
        m_strSend = text;
        m_nLength = m_strSend.GetLength();
    }

    int m_nLength = 0;
    CString m_strSend;
};

class CClipBoardSendKey : public CSendKey {
    DECLARE_DYNCREATE(CClipBoardSendKey)
public:
    CClipBoardSendKey() = default;
    ~CClipBoardSendKey() override = default;

    // Replaces the clipboard's contents with the text. 1 on success; 0 after
    // telling the user what failed.
    int SetClipboardText(HWND hOwner);
    // SetClipboardText, then Ctrl+V. 1 on success; 0 (and no keystroke) on
    // failure.
    int SendText(HWND hOwner);
};
