#include "delivery/TargetProcess.h"

#include <tlhelp32.h>

#include <algorithm>

#include "framework/Handle.h"

namespace {
ProcessTable RunningProcesses()
{
    ProcessTable processes;
    const CKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Get()) return processes;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more; more = ::Process32Next(snapshot.Get(), &entry))
        processes.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    return processes;
}

DWORD ShellProcess()
{
    DWORD shell = 0;
    if (HWND hShell = ::GetShellWindow()) ::GetWindowThreadProcessId(hShell, &shell);
    return shell;
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

// The targets the keeper cannot watch, by window class or by image name.
struct Unwatchable {
    bool byClass;
    const char* name;
};
constexpr Unwatchable kUnwatchable[] = {
    // They read without a window.
    {true, "CASCADIA_HOSTING_WINDOW_CLASS"},  // Windows Terminal
    {true, "Vim"},
    // Remote Desktop (two clients), Citrix (two), Hyper-V, VirtualBox, VMware:
    // they read for their whole remote session.
    {false, "mstsc.exe"}, {false, "msrdc.exe"}, {false, "CDViewer.exe"}, {false, "wfica32.exe"},
    {false, "vmconnect.exe"}, {false, "VirtualBoxVM.exe"}, {false, "vmware.exe"},
};

// The file name a window's process runs, without its folder; empty when it
// cannot be read.
std::string ImageName(HWND hWindow)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWindow, &process);
    const CKernelHandle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    char path[1024] = "";
    DWORD size = sizeof path;
    if (!handle.Get() || !::QueryFullProcessImageNameA(handle.Get(), 0, path, &size)) return "";
    // Character by character: a Shift-JIS character's second byte may be a backslash.
    const char* name = path;
    for (const char* p = path; *p; p = ::CharNextA(p))
        if (*p == '\\') name = p + 1;
    return name;
}
}  // namespace

bool CountsAsTarget(DWORD reader, DWORD target, DWORD shell, const ProcessTable& processes)
{
    if (reader == target) return true;
    if (target == shell) return false;
    // A few generations up; a bound, since parent ids may be reused.
    for (int generation = 0; generation < 4; ++generation) {
        auto it = std::find_if(processes.begin(), processes.end(), [&](const auto& p) { return p.first == reader; });
        if (it == processes.end() || it->second == 0 || it->second == reader) return false;
        reader = it->second;
        if (reader == target) return true;
    }
    return false;
}

bool ReaderIsTarget(DWORD targetProcess, HWND hTargetTop)
{
    // A clipboard tool reading every change without a window is one that
    // must never be taken for the target.
    HWND hReader = ::GetOpenClipboardWindow();
    if (!hReader) return false;
    DWORD reader = 0;
    ::GetWindowThreadProcessId(hReader, &reader);
    if (reader == targetProcess) return true;
    return CountsAsTarget(reader, targetProcess, ShellProcess(), RunningProcesses())
           || (hTargetTop && OwnsWindowIn(reader, hTargetTop));
}

bool IsUnwatchableTarget(const std::string& windowClass, const std::string& imageName)
{
    return std::any_of(std::begin(kUnwatchable), std::end(kUnwatchable), [&](const Unwatchable& u) {
        return ::lstrcmpiA((u.byClass ? windowClass : imageName).c_str(), u.name) == 0;
    });
}

bool IsUnwatchableTarget(HWND hTarget)
{
    HWND hTopLevel = ::GetAncestor(hTarget, GA_ROOT);
    if (!hTopLevel) hTopLevel = hTarget;
    char windowClass[256] = "";
    ::GetClassNameA(hTopLevel, windowClass, sizeof windowClass);
    return IsUnwatchableTarget(windowClass, ImageName(hTopLevel));
}
