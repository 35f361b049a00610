#include "delivery/SendKey.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CSendKey, CObject)
IMPLEMENT_DYNCREATE(CClipBoardSendKey, CSendKey)

namespace {
// A global memory block that is freed unless the clipboard took it.
class CGlobalBlock {
public:
    explicit CGlobalBlock(SIZE_T size) : m_hBlock(::GlobalAlloc(GMEM_DDESHARE, size)) {}
    ~CGlobalBlock() { if (m_hBlock) ::GlobalFree(m_hBlock); }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;
    HGLOBAL Get() const { return m_hBlock; }
    void Release() { m_hBlock = nullptr; }
    void Free()
    {
        if (m_hBlock) ::GlobalFree(m_hBlock);
        m_hBlock = nullptr;
    }

private:
    HGLOBAL m_hBlock;
};
}  // namespace

int CClipBoardSendKey::SetClipboardText(HWND hOwner)
{
    if (!::OpenClipboard(hOwner)) {
        AfxMessageBox("ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｵｰﾌﾟﾝに失敗しました。", MB_OK);
        return 0;
    }
    if (!::EmptyClipboard()) {
        ::CloseClipboard();
        AfxMessageBox("ｸﾘｯﾌﾟﾎﾞｰﾄﾞのﾃﾞｰﾀ削除に失敗しました。", MB_OK);
        return 0;
    }

    const CString text = m_strSend;
    const SIZE_T size = static_cast<SIZE_T>(text.GetLength()) + 1;
    CGlobalBlock block(size);
    // A block that cannot be filled is no block: the copy failure is told.
    if (void* pData = block.Get() ? ::GlobalLock(block.Get()) : nullptr) {
        std::memcpy(pData, static_cast<LPCSTR>(text), size);
        ::GlobalUnlock(block.Get());
    } else {
        block.Free();
    }
    if (!block.Get() || !::SetClipboardData(CF_TEXT, block.Get())) {
        ::CloseClipboard();
        AfxMessageBox("ｸﾘｯﾌﾟﾎﾞｰﾄﾞへﾃﾞｰﾀのｺﾋﾟｰに失敗しました。", MB_OK);
        return 0;
    }
    block.Release();  // the clipboard owns it now

    if (!::CloseClipboard()) {
        AfxMessageBox("ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｸﾛｰｽﾞに失敗しました。", MB_OK);
        return 0;
    }
    return 1;
}

int CClipBoardSendKey::SendText(HWND hOwner)
{
    if (!SetClipboardText(hOwner)) return 0;
    ::keybd_event(VK_CONTROL, 0, 0, 0);
    ::keybd_event('V', 0, 0, 0);
    ::keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
    ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    return 1;
}
