#include "delivery/SendKey.h"

#include "framework/Handle.h"

#include <cstring>
#include <optional>

IMPLEMENT_DYNCREATE(CSendKey, CObject)
IMPLEMENT_DYNCREATE(CClipBoardSendKey, CSendKey)

namespace {
// The mandatory integrity level of a process (its SID's last part), or
// nullopt when its token cannot be read.
std::optional<DWORD> IntegrityOf(HANDLE hProcess)
{
    HANDLE hToken = nullptr;
    if (!::OpenProcessToken(hProcess, TOKEN_QUERY, &hToken)) return std::nullopt;
    const CKernelHandle token(hToken);
    // A label and its SID: one mandatory-label SID has a single sub-authority.
    alignas(TOKEN_MANDATORY_LABEL) BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenIntegrityLevel, buffer, sizeof buffer, &size)) return std::nullopt;
    PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    if (!::IsValidSid(sid) || *::GetSidSubAuthorityCount(sid) == 0) return std::nullopt;
    return *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1);
}
}  // namespace

void ReportClipboardFailure(ClipboardFailure failure)
{
    static const char* const kMessages[] = {
        "ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｵｰﾌﾟﾝに失敗しました。",
        "ｸﾘｯﾌﾟﾎﾞｰﾄﾞのﾃﾞｰﾀ削除に失敗しました。",
        "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへﾃﾞｰﾀのｺﾋﾟｰに失敗しました。",
        "ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｸﾛｰｽﾞに失敗しました。",
        "管理者として実行中のｳｨﾝﾄﾞｳには貼り付けできません。",
    };
    AfxMessageBox(kMessages[static_cast<int>(failure)], MB_OK);
}

namespace {
// How long a busy clipboard and held modifier keys are waited for.
constexpr ULONGLONG kClipboardPatienceMs = 500;
constexpr ULONGLONG kModifierPatienceMs = 1000;

// About 10 ms in which what other programs send the bar is answered: the
// program holding the clipboard may be waiting for the bar to render the
// text it offered, and would hold the clipboard until the bar gave up.
void PauseAnswering()
{
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// Tries at once and, while that fails, about every 10 ms until `boundMs`
// have passed: whether a try succeeded. The bar's one thread is inside a
// click meanwhile, as it is during any clipboard call.
template <class Try>
bool Retry(Try attempt, ULONGLONG boundMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + boundMs;
    while (!attempt()) {
        if (::GetTickCount64() >= deadline) return false;
        PauseAnswering();
    }
    return true;
}

// SetClipboardData of a movable copy of `size` bytes, as the clipboard asks.
bool PutClipboardBlock(UINT nFormat, const void* data, SIZE_T size)
{
    CGlobalBlock block(GMEM_MOVEABLE, size);
    // A block that cannot be filled is no block: the copy failure is told.
    void* pData = block.Get() ? ::GlobalLock(block.Get()) : nullptr;
    if (!pData) return false;
    std::memcpy(pData, data, size);
    ::GlobalUnlock(block.Get());
    if (!::SetClipboardData(nFormat, block.Get())) return false;
    block.Release();  // the clipboard owns it now
    return true;
}

// Shift, Alt or a Windows key still down would turn Ctrl+V into another
// shortcut (Ctrl+Alt+V opens Office's Paste Special).
bool ModifierHeld()
{
    for (int vk : {VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN})
        if (::GetAsyncKeyState(vk) < 0) return true;
    return false;
}

// Remote desktop and virtual-machine clients, and games, read the scan code.
BYTE ScanCode(BYTE vk)
{
    return static_cast<BYTE>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
}
}  // namespace

bool OpenClipboardPatiently(HWND hOwner)
{
    // Clipboard history tools, office programs and remote-desktop clients
    // open the clipboard after every change, long after a big copy.
    return Retry([hOwner] { return ::OpenClipboard(hOwner) != FALSE; }, kClipboardPatienceMs);
}

bool PutClipboardText(const CString& text)
{
    return PutClipboardBlock(CF_TEXT, static_cast<LPCSTR>(text), static_cast<SIZE_T>(text.GetLength()) + 1);
}

void PutClipboardLocale()
{
    // Without it the system stamps the active keyboard language and converts
    // CF_TEXT with that language's code page: mojibake under English (US).
    const LCID locale = ::GetSystemDefaultLCID();
    PutClipboardBlock(CF_LOCALE, &locale, sizeof locale);
}

bool PutClipboardTextWithLocale(const CString& text)
{
    PutClipboardLocale();
    return PutClipboardText(text);
}

void SendPasteKeys()
{
    // Past the bound the keys go anyway: a paste that never comes is worse.
    Retry([] { return !ModifierHeld(); }, kModifierPatienceMs);
    // Looked up first: nothing comes between the four key events.
    const BYTE ctrl = ScanCode(VK_CONTROL), v = ScanCode('V');
    ::keybd_event(VK_CONTROL, ctrl, 0, 0);
    ::keybd_event('V', v, 0, 0);
    ::keybd_event('V', v, KEYEVENTF_KEYUP, 0);
    ::keybd_event(VK_CONTROL, ctrl, KEYEVENTF_KEYUP, 0);
}

bool GuardRefusesPaste(IntegrityLevel level, DWORD postError)
{
    return level == IntegrityLevel::Higher
           || (level == IntegrityLevel::Unreadable && postError == ERROR_ACCESS_DENIED);
}

namespace {
IntegrityLevel LevelOf(HWND hWindow)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWindow, &process);
    if (process == 0 || process == ::GetCurrentProcessId()) return IntegrityLevel::NotHigher;
    static const std::optional<DWORD> ours = IntegrityOf(::GetCurrentProcess());
    CKernelHandle target(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    // Closed to us: elevated, or merely another account's.
    const std::optional<DWORD> theirs = target.Get() ? IntegrityOf(target.Get()) : std::nullopt;
    if (!ours || !theirs) return IntegrityLevel::Unreadable;
    return *theirs > *ours ? IntegrityLevel::Higher : IntegrityLevel::NotHigher;
}
}  // namespace

bool RunsAboveUs(HWND hWindow)
{
    const IntegrityLevel level = LevelOf(hWindow);
    DWORD postError = 0;
    if (level == IntegrityLevel::Unreadable) {
        // The guard blocks posts from below as it blocks synthesized keys;
        // a registered message of our own means nothing to the window.
        static const UINT probe = ::RegisterWindowMessageA("TavrinIntegrityProbe");
        if (probe && !::PostMessageA(hWindow, probe, 0, 0)) postError = ::GetLastError();
    }
    return GuardRefusesPaste(level, postError);
}

int CClipBoardSendKey::SetClipboardText(HWND hOwner)
{
    if (!OpenClipboardPatiently(hOwner)) {
        ReportClipboardFailure(ClipboardFailure::Open);
        return 0;
    }
    if (!::EmptyClipboard()) {
        ::CloseClipboard();
        ReportClipboardFailure(ClipboardFailure::Empty);
        return 0;
    }
    if (!PutClipboardTextWithLocale(m_strSend)) {
        ::CloseClipboard();
        ReportClipboardFailure(ClipboardFailure::Copy);
        return 0;
    }
    if (!::CloseClipboard()) {
        ReportClipboardFailure(ClipboardFailure::Close);
        return 0;
    }
    return 1;
}

int CClipBoardSendKey::SendText(HWND hOwner)
{
    if (!SetClipboardText(hOwner)) return 0;
    SendPasteKeys();
    return 1;
}
