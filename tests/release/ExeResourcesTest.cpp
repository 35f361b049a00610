// TAVRIN.EXE seen from outside: one embedded manifest that asks for per-monitor
// DPI awareness and Common Controls 6, a version resource with a Japanese and
// an English block, an icon and a cursor for every size, and a started bar
// that the system treats as DPI aware and that runs Common Controls 6.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {
const char kExe[] = TAVRIN_EXE_PATH;
}  // namespace

// Windows 10 functions, beyond the headers' Windows 7 level.
extern "C" __declspec(dllimport) HANDLE WINAPI GetWindowDpiAwarenessContext(HWND);
extern "C" __declspec(dllimport) int WINAPI GetAwarenessFromDpiAwarenessContext(HANDLE);

namespace {

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    reinterpret_cast<std::vector<ULONG_PTR>*>(param)->push_back(reinterpret_cast<ULONG_PTR>(name));
    return TRUE;
}
BOOL CALLBACK CountLanguage(HMODULE, LPCSTR, LPCSTR, WORD, LONG_PTR param) {
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

std::string ManifestText() {
    HMODULE module = LoadLibraryExA(kExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return {};
    std::string text;
    if (HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, res)));
        text.assign(data, SizeofResource(module, res));
    }
    FreeLibrary(module);
    return text;
}

std::vector<char> VersionInfo() {
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(kExe, &ignored));
    if (block.empty() || !GetFileVersionInfoA(kExe, 0, static_cast<DWORD>(block.size()), block.data()))
        block.clear();
    return block;
}

std::string VersionString(std::vector<char>& info, const std::string& lang, const char* name) {
    void* value = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\" + lang + "\\" + name;
    if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || !value) return "<missing>";
    return static_cast<const char*>(value);
}
}  // namespace

TEST(ExeManifest, IsTheOnlyManifestResource) {
    HMODULE module = LoadLibraryExA(kExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << kExe;
    std::vector<ULONG_PTR> names;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(24), CountName, reinterpret_cast<LONG_PTR>(&names));
    int languages = 0;
    EnumResourceLanguagesA(module, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), CountLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    FreeLibrary(module);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], 1u);
    EXPECT_EQ(languages, 1);
}

TEST(ExeManifest, AsksForPerMonitorDpiAndNoElevation) {
    std::string text = ManifestText();
    EXPECT_NE(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos) << text;
    EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(text.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

// Every size Windows asks for is drawn (the 256 px icon as PNG, as Windows
// expects), so no place shows a blurred upscale.
TEST(ExeIcons, HoldEverySizeTheSystemAsksFor) {
    HMODULE module = LoadLibraryExA(kExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << kExe;
    auto data = [module](LPCSTR type, UINT id) -> const BYTE* {
        HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), type);
        return res ? static_cast<const BYTE*>(LockResource(LoadResource(module, res))) : nullptr;
    };
    // A group: 6 bytes of header, then 14 bytes an image, its id last.
    std::set<int> icons, cursors;
    bool png = false;
    if (const BYTE* group = data(RT_GROUP_ICON, IDI_TAVRIN)) {
        for (int i = 0; i < *reinterpret_cast<const WORD*>(group + 4); ++i) {
            const BYTE* entry = group + 6 + 14 * i;
            icons.insert(entry[0] ? entry[0] : 256);
            const BYTE* image = data(RT_ICON, *reinterpret_cast<const WORD*>(entry + 12));
            if (!entry[0] && image) png = memcmp(image, "\x89PNG", 4) == 0;
        }
    }
    if (const BYTE* group = data(RT_GROUP_CURSOR, IDC_DRAGCURSOR))
        for (int i = 0; i < *reinterpret_cast<const WORD*>(group + 4); ++i)
            cursors.insert(*reinterpret_cast<const WORD*>(group + 6 + 14 * i));
    FreeLibrary(module);
    EXPECT_EQ(icons, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));
    EXPECT_TRUE(png);
    EXPECT_EQ(cursors, (std::set<int>{32, 48, 64}));
}

TEST(ExeVersion, FixedPartIs1_50) {
    std::vector<char> info = VersionInfo();
    ASSERT_FALSE(info.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(50, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(50, 1));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(ExeVersion, TranslationListsJapaneseThenEnglish) {
    std::vector<char> info = VersionInfo();
    ASSERT_FALSE(info.empty());
    WORD* pairs = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs),
                               &length));
    ASSERT_EQ(length, 8u);
    EXPECT_EQ(pairs[0], 0x0411);
    EXPECT_EQ(pairs[1], 932);
    EXPECT_EQ(pairs[2], 0x0409);
    EXPECT_EQ(pairs[3], 1252);
}

TEST(ExeVersion, BothBlocksNameTheProduct) {
    std::vector<char> info = VersionInfo();
    ASSERT_FALSE(info.empty());
    for (const char* lang : {"041103A4", "040904E4"}) {
        SCOPED_TRACE(lang);
        EXPECT_EQ(VersionString(info, lang, "ProductName"), "Tavrin");
        EXPECT_EQ(VersionString(info, lang, "CompanyName"), "Brannock");
        EXPECT_EQ(VersionString(info, lang, "FileVersion"), "1.50.0.0");
        EXPECT_EQ(VersionString(info, lang, "ProductVersion"), "1.50.0.0");
        EXPECT_EQ(VersionString(info, lang, "OriginalFilename"), "TAVRIN.EXE");
        EXPECT_EQ(VersionString(info, lang, "InternalName"), "TAVRIN");
    }
    // Read back in the ANSI code page (932), as the program's other texts.
    EXPECT_EQ(VersionString(info, "041103A4", "FileDescription"), "Tavrin 代筆バー");
    EXPECT_EQ(VersionString(info, "040904E4", "FileDescription"), "Tavrin text bar");
}

// The system's own manifest reader finds both DPI settings in the namespaces
// it looks in (a wrong namespace is silently ignored by Windows).
TEST(ExeManifest, SystemReadsTheDpiSettings) {
    ACTCTXA context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = kExe;
    context.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE actCtx = CreateActCtxA(&context);
    ASSERT_NE(actCtx, INVALID_HANDLE_VALUE);
    wchar_t awareness[64] = {};
    wchar_t aware[64] = {};
    SIZE_T written = 0;
    const BOOL gotAwareness = QueryActCtxSettingsW(0, actCtx, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                                   L"dpiAwareness", awareness, 64, &written);
    const BOOL gotAware = QueryActCtxSettingsW(0, actCtx, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                               L"dpiAware", aware, 64, &written);
    ReleaseActCtx(actCtx);
    EXPECT_TRUE(gotAwareness);
    EXPECT_STREQ(awareness, L"PerMonitorV2, PerMonitor");
    EXPECT_TRUE(gotAware);
    EXPECT_STREQ(aware, L"true/pm");
}

namespace {
// Where every comctl32 the process has loaded comes from (none yet: empty),
// in lower case.
std::vector<std::string> ComCtlPaths(HANDLE process) {
    std::vector<std::string> paths;
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return paths;
    for (DWORD i = 0; i < bytes / sizeof modules[0] && i < 512; ++i) {
        char path[MAX_PATH] = {};
        GetModuleFileNameExA(process, modules[i], path, MAX_PATH);
        CharLowerA(path);
        const char* name = strrchr(path, '\\');
        if (name && strcmp(name + 1, "comctl32.dll") == 0) paths.push_back(path);
    }
    return paths;
}
}  // namespace

// The program still starts with its manifest, its bar is per-monitor aware
// (Wine 8 also reports that for programs without a manifest, so the test
// above is the sharp one), and the common controls it really runs are
// version 6, today's look. Needs a display, like the other window tests.
TEST(ExeManifest, StartsAndItsBarIsPerMonitorAware) {
    char commandLine[MAX_PATH + 2];
    wsprintfA(commandLine, "\"%s\"", kExe);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(kExe, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    HWND bar = nullptr;
    for (int i = 0; i < 300 && !bar && WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT; ++i)
        bar = FindWindowA(nullptr, "Tavrin");
    DWORD pid = 0;
    GetWindowThreadProcessId(bar, &pid);
    if (pid != process.dwProcessId) bar = nullptr;  // another bar, not this program's
    const int awareness = bar ? GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(bar)) : -1;
    // The tooltips, made just after the bar shows, need the common controls.
    std::pair<DWORD, bool> tooltip{process.dwProcessId, false};  // pid, its tooltip seen
    for (int i = 0; i < 200 && bar && !tooltip.second; ++i, Sleep(100))
        EnumWindows([](HWND hWnd, LPARAM lParam) -> BOOL {
            auto& [pid, seen] = *reinterpret_cast<std::pair<DWORD, bool>*>(lParam);
            DWORD owner = 0;
            char name[32] = {};
            GetWindowThreadProcessId(hWnd, &owner);
            GetClassNameA(hWnd, name, sizeof name);
            seen = seen || (owner == pid && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&tooltip));
    const std::vector<std::string> comctl = ComCtlPaths(process.hProcess);
    if (bar) PostMessageA(bar, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    ASSERT_NE(bar, nullptr) << "the bar did not appear (another bar already running?)";
    EXPECT_EQ(awareness, 2);  // DPI_AWARENESS_PER_MONITOR_AWARE
    // Version 6 is the side-by-side assembly (Wine's copy there carries the
    // same version resource as the one in system32, so the folder tells).
    ASSERT_EQ(comctl.size(), 1u);
    EXPECT_NE(comctl[0].find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos)
        << comctl[0];
}
