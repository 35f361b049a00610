#include "framework/WinApp.h"

#include <cstring>
#include <vector>

namespace {
CWinApp* g_pApp = nullptr;  // the one application object

CString ExeBaseName() { return AfxAppNameFromPath(AfxGetModulePath()); }
}  // namespace

CString AfxGetModulePath()
{
    // A path longer than MAX_PATH (a long-path aware system) is read whole.
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD got = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) return CString();
        if (got < path.size() - 1 || path.size() >= 0x10000) return CString(path.data(), static_cast<int>(got));
        path.resize(path.size() * 4);
    }
}

CString AfxAppNameFromPath(LPCSTR lpszPath)
{
    // Walk by character, not by byte: the second byte of a double-byte
    // character may be 0x5C ('\\'), as in 表 (95 5C).
    LPCSTR start = lpszPath;
    LPCSTR dot = nullptr;
    for (LPCSTR p = lpszPath; *p; p = ::CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            start = p + 1;
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    return dot ? CString(start, static_cast<int>(dot - start)) : CString(start);
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
    m_pszAppName = lpszAppName ? CString(lpszAppName) : ExeBaseName();
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!CWnd::WalkPreTranslateTree(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) { m_pszRegistryKey = lpszRegistryKey; }

// A section's key for one profile function: the batch's key while a batch
// lives, else a key of its own, closed on every path.
class CWinApp::CSectionKey {
public:
    CSectionKey(CWinApp& app, LPCSTR lpszSection)
    {
        if (app.m_nProfileBatch > 0) {
            for (const BatchKey& key : app.m_batchKeys)
                if (key.section == lpszSection) {
                    m_hKey = key.hKey;
                    return;
                }
        }
        m_hKey = app.OpenSectionKey(lpszSection);
        if (m_hKey && app.m_nProfileBatch > 0) app.m_batchKeys.push_back({CString(lpszSection), m_hKey});
        else m_bOwned = true;
    }
    ~CSectionKey() { if (m_hKey && m_bOwned) ::RegCloseKey(m_hKey); }
    CSectionKey(const CSectionKey&) = delete;
    CSectionKey& operator=(const CSectionKey&) = delete;
    operator HKEY() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
    bool m_bOwned = false;
};

CWinApp::CProfileBatch::CProfileBatch(CWinApp* pApp) : m_pApp(pApp) { ++m_pApp->m_nProfileBatch; }

CWinApp::CProfileBatch::~CProfileBatch()
{
    if (--m_pApp->m_nProfileBatch > 0) return;
    for (const BatchKey& key : m_pApp->m_batchKeys) ::RegCloseKey(key.hKey);
    m_pApp->m_batchKeys.clear();
}

HKEY CWinApp::OpenSectionKey(LPCSTR lpszSection) const
{
    if (m_pszRegistryKey.IsEmpty()) return nullptr;
    CString path;
    path.Format("Software\\%s\\%s\\%s", static_cast<LPCSTR>(m_pszRegistryKey),
                static_cast<LPCSTR>(m_pszAppName), lpszSection);
    HKEY hKey = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    CSectionKey key(*this, lpszSection);
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key || ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(nDefault);
    return value;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    CSectionKey key(*this, lpszSection);
    if (!key) return CString(lpszDefault);
    // Most values fit the first buffer, so one call reads them. A longer one
    // is read again at its size (which may change between two calls), and a
    // hand-made value may lack its terminating zero: the buffer always has
    // one byte more than the call may fill.
    std::vector<char> buffer(256, '\0');
    DWORD type = 0, size = static_cast<DWORD>(buffer.size() - 1);
    LONG status = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    while (status == ERROR_MORE_DATA) {
        buffer.assign(size + 1, '\0');
        status = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (status != ERROR_SUCCESS || type != REG_SZ) return CString(lpszDefault);
    buffer.resize(size + 1, '\0');
    return CString(buffer.data(), static_cast<int>(strnlen(buffer.data(), size)));
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    CSectionKey key(*this, lpszSection);
    const DWORD value = static_cast<DWORD>(nValue);
    return key && ::RegSetValueExA(key, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value)
                      == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    CSectionKey key(*this, lpszSection);
    if (!key) return FALSE;
    if (!lpszValue) return ::RegDeleteValueA(key, lpszEntry) == ERROR_SUCCESS;
    return ::RegSetValueExA(key, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                            static_cast<DWORD>(strlen(lpszValue) + 1)) == ERROR_SUCCESS;
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: nType |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: nType |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    HWND hOwner = nullptr;
    if (m_pMainWnd && m_pMainWnd->m_hWnd) hOwner = ::GetLastActivePopup(m_pMainWnd->m_hWnd);
    return ::MessageBoxA(hOwner, lpszPrompt, m_pszAppName, nType);
}

CWinApp* AfxGetApp() { return g_pApp; }

CString AfxGetAppName() { return g_pApp ? g_pApp->m_pszAppName : CString(); }

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleA(nullptr); }

int AfxMessageBox(LPCSTR lpszText, UINT nType)
{
    if (g_pApp) return g_pApp->DoMessageBox(lpszText, nType);
    return ::MessageBoxA(nullptr, lpszText, nullptr, nType);
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return 1;
    pApp->m_hInstance = hInstance;
    if (!pApp->InitInstance()) return pApp->ExitInstance();
    return pApp->Run();
}

// Programs built on the framework start here (console test programs keep
// their own main).
extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}
