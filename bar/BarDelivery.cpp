// CBarDlg: delivering a button's text into the target window (activate it,
// clipboard, Ctrl+V), starting the launch entries, and a dropped file's path
// to the clipboard.
#include "bar/BarDlg.h"

#include "bar/ShortSleeper.h"

#include <optional>
#include <string>

#include "framework/Library.h"

namespace {
// Joins this thread's input to another thread's for as long as it lives, so
// that SetFocus may reach a window of another program. No thread (0) or this
// one: nothing to join.
class CAttachedInput {
public:
    explicit CAttachedInput(DWORD otherThread)
        : m_other(otherThread), m_attached(otherThread != 0 && otherThread != ::GetCurrentThreadId()
                                           && ::AttachThreadInput(::GetCurrentThreadId(), otherThread, TRUE)) {}
    ~CAttachedInput() { if (m_attached) ::AttachThreadInput(::GetCurrentThreadId(), m_other, FALSE); }
    CAttachedInput(const CAttachedInput&) = delete;
    CAttachedInput& operator=(const CAttachedInput&) = delete;

private:
    DWORD m_other;
    bool m_attached;
};

// Whether a window's thread answers at once: SendMessageTimeout returns
// early for a thread the system already calls hung, and the bar takes no
// other message meanwhile.
bool Answers(HWND hWindow)
{
    constexpr UINT kAnswerTimeoutMs = 100;
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(hWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs, &result) != 0;
}

// Releases a drop handle on every path.
class CDropHandle {
public:
    explicit CDropHandle(HDROP hDrop) : m_hDrop(hDrop) {}
    ~CDropHandle() { AfxDragFinish(m_hDrop); }
    CDropHandle(const CDropHandle&) = delete;
    CDropHandle& operator=(const CDropHandle&) = delete;
    operator HDROP() const { return m_hDrop; }

private:
    HDROP m_hDrop;
};
}  // namespace

namespace {
// The personal-data buttons and the field each delivers, in the order the
// texts are assigned (the full name, 氏, is formed from two fields).
struct PrivateButton {
    CTextButton CBarDlg::*button;
    CString PrivateData::*field;
};
constexpr PrivateButton kPrivateButtons[] = {
    {&CBarDlg::m_btnFamilyName, &PrivateData::Name1}, {&CBarDlg::m_btnGivenName, &PrivateData::Name2},
    {&CBarDlg::m_btnZip, &PrivateData::AddressNo},    {&CBarDlg::m_btnAddress, &PrivateData::Address},
    {&CBarDlg::m_btnPhone, &PrivateData::PhoneNo},    {&CBarDlg::m_btnMail, &PrivateData::EMail},
    {&CBarDlg::m_btnHomePage, &PrivateData::Homepage},
};
// The user-string buttons, string 1 to 10.
constexpr CTextButton CBarDlg::*kStringButtons[kUserStringCount] = {
    &CBarDlg::m_btnString1, &CBarDlg::m_btnString2, &CBarDlg::m_btnString3, &CBarDlg::m_btnString4,
    &CBarDlg::m_btnString5, &CBarDlg::m_btnString6, &CBarDlg::m_btnString7, &CBarDlg::m_btnString8,
    &CBarDlg::m_btnString9, &CBarDlg::m_btnString10,
};
}  // namespace

void CBarDlg::AssignButtonTexts()
{
    // One half-width space between the names, also when either is empty.
    m_btnFullName.SetSendText(m_Private.Name1 + CString(" ") + m_Private.Name2);
    for (const PrivateButton& entry : kPrivateButtons) (this->*entry.button).SetSendText(m_Private.*entry.field);
    for (int i = 0; i < kUserStringCount; ++i) (this->*kStringButtons[i]).SetSendText(m_UserString[i].String);
}

void CBarDlg::DeliverText(CString text, HWND hWindow)
{
    if (hWindow == m_hWnd) return;
    // Dropped on one of the bar's own controls: nothing to do.
    if (hWindow && ::GetParent(hWindow) == m_hWnd) return;
    if (hWindow) m_pTarget.emplace(hWindow);
    PasteText(text);
}

void CBarDlg::PasteText(const CString& text)
{
    if (text.IsEmpty()) {
        MessageBox("代筆する文字が登録されていません。", nullptr, MB_ICONEXCLAMATION);
        return;
    }
    if (!m_pTarget || !::IsWindow(m_pTarget->m_hWnd)) return;
    // Windows drops keys synthesized for a program run as administrator:
    // say so, and leave the clipboard alone.
    if (RunsAboveUs(m_pTarget->m_hWnd)) {
        ReportClipboardFailure(ClipboardFailure::Elevated);
        return;
    }
    // The user's clipboard is copied before the target comes forward, so a
    // slow copy never holds a Ctrl+V that the user's next click could misdirect.
    const bool keep = m_KeepClipboard && m_ClipKeeper.Prepare(m_hWnd, m_pTarget->m_hWnd);
    if (!ActivateTarget()) {
        m_ClipKeeper.DropCopy();
        return;
    }
    m_SendKey.SetText(text);
    if (keep && m_ClipKeeper.Ready(m_hWnd)
        && m_ClipKeeper.Paste(m_hWnd, text, m_pTarget->m_hWnd) != CClipboardKeeper::kStoodAside)
        return;
    m_ClipKeeper.Forget();
    m_SendKey.SendText(m_hWnd);
}

bool CBarDlg::ActivateTarget()
{
    if (!m_pTarget) return false;
    HWND hTarget = m_pTarget->m_hWnd;
    if (hTarget == m_hWnd || !::IsWindow(hTarget)) return false;
    // A child target (a drop on an edit field) is activated through its
    // top-level window, which by itself would give the focus back to the
    // control that had it last: hand the focus to the dropped-on control.
    HWND hTopLevel = ::GetAncestor(hTarget, GA_ROOT);
    if (!hTopLevel) hTopLevel = hTarget;
    if (!::SetForegroundWindow(hTopLevel)) return false;
    const bool active = WaitUntilActive(hTopLevel);
    // SetFocus across threads waits for the other threads to answer: a target
    // that has not taken the activation, or is busy (the system calls it hung
    // only after 5 s), gets the paste where its own focus is, and the bar
    // never waits on it longer than one short question per thread. A control
    // hosted by another program runs on a thread of its own: the window's
    // thread and the control's are both asked, and both joined while the
    // focus moves.
    if (hTopLevel == hTarget || !active || !Answers(hTopLevel)) return true;
    const DWORD windowThread = ::GetWindowThreadProcessId(hTopLevel, nullptr);
    const DWORD controlThread = ::GetWindowThreadProcessId(hTarget, nullptr);
    if (controlThread != windowThread && !Answers(hTarget)) return true;
    CAttachedInput window(windowThread);
    CAttachedInput control(controlThread != windowThread ? controlThread : 0);
    ::SetFocus(hTarget);
    return true;
}

namespace {
// The longest the bar waits for a target to take the activation.
constexpr ULONGLONG kActivationTimeoutMs = 500;
// How long the wait only yields between looks before it sleeps.
constexpr LONGLONG kActivationYieldMs = 20;

}  // namespace

// SetForegroundWindow on another program's window may return before that
// program's thread has taken the activation; keys synthesized until then are
// thrown away, and its own activation would later restore its remembered
// focus over ours. Wait, briefly, until the thread has an active window and
// a focus window: true once it has, false when it did not in time.
//
// The wait takes no message: under Wine, waiting in a message wait also
// handles the click's own X focus events, which give the activation back to
// the bar in the middle of the paste.
bool CBarDlg::WaitUntilActive(HWND hTopLevel)
{
    const DWORD thread = ::GetWindowThreadProcessId(hTopLevel, nullptr);
    const ULONGLONG deadline = ::GetTickCount64() + kActivationTimeoutMs;
    LARGE_INTEGER frequency{}, start{}, now{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    std::optional<CShortSleeper> sleeper;  // only once the first few looks failed
    for (;;) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (::GetGUIThreadInfo(thread, &info) && info.hwndActive == hTopLevel && info.hwndFocus != nullptr)
            return true;
        if (::GetTickCount64() >= deadline || !::IsWindow(hTopLevel)) return false;
        // The first milliseconds only yield the processor to whatever else is
        // ready (the target's own thread, say) between looks: under Wine a
        // paste whose keys go out a sleep's length after the activation is
        // now and then lost, and the target with it. Timed on the
        // performance counter, not the 16 ms tick.
        ::QueryPerformanceCounter(&now);
        if ((now.QuadPart - start.QuadPart) * 1000 < frequency.QuadPart * kActivationYieldMs) {
            ::SwitchToThread();
            continue;
        }
        if (!sleeper) sleeper.emplace();
        sleeper->Sleep(10000);  // a millisecond
    }
}

void CBarDlg::LaunchApp(int k)
{
    const CString& appName = m_AppStart[k].AppName;
    if (appName.IsEmpty()) {
        MessageBox("起動するｱﾌﾟﾘｹｰｼｮﾝが登録されていません。", nullptr, MB_ICONEXCLAMATION);
        return;
    }
    // The whole stored string is the file: nothing is split off as arguments.
    HINSTANCE result = AfxShellExecute(m_hWnd, nullptr, appName, nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<UINT_PTR>(result) > 32) return;
    CString message;
    message.Format("%sの起動に失敗しました。", static_cast<LPCSTR>(appName));
    AfxMessageBox(message, MB_OK);
}

void CBarDlg::OnDropFiles(HDROP hDropInfo)
{
    CString path;
    {
        CDropHandle drop(hDropInfo);
        if (AfxDragQueryFile(drop, 0xFFFFFFFF, nullptr, 0) == 0) return;
        // The whole path, however long: never cut it at MAX_PATH.
        const UINT length = AfxDragQueryFile(drop, 0, nullptr, 0);
        std::string buffer(length + 1, '\0');
        const UINT got = AfxDragQueryFile(drop, 0, buffer.data(), length + 1);
        path = CString(buffer.data(), static_cast<int>(got));
    }
    m_SendKey.SetText(path);
    m_ClipKeeper.Forget();  // the path is meant to stay: nothing is given back over it
    m_SendKey.SetClipboardText(m_hWnd);
}
