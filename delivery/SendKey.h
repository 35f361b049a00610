// Text delivery: CSendKey holds the text; CClipBoardSendKey puts it on the
// clipboard as plain text (CF_TEXT) and synthesizes Ctrl+V, so the text
// lands wherever the foreground window has its keyboard focus.
#pragma once
#include "framework/Afx.h"

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
