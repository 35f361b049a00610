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
