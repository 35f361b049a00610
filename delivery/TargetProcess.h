// Whose clipboard reads count as the target's: the read that lets the keeper
// give the user's clipboard back must come from the program being pasted into;
// and the targets whose reads cannot be watched at all.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Every process and its parent, as a process snapshot lists them.
using ProcessTable = std::vector<std::pair<DWORD, DWORD>>;

// Whether a read by process `reader` counts as one by the target's process
// `target`: the target itself, or a process it started (an embedded browser
// reads from a child of its own). Not a started one when the target is the
// shell's process `shell`: it started nearly every program the user runs,
// clipboard tools included.
bool CountsAsTarget(DWORD reader, DWORD target, DWORD shell, const ProcessTable& processes);

// Whether whoever holds the clipboard open now is the target, whose process
// is `targetProcess` and top-level window `hTargetTop`. A reader without a
// window cannot be named, and so never is.
bool ReaderIsTarget(DWORD targetProcess, HWND hTargetTop);

// Whether the keeper stands aside for a target whose top-level window has
// the class `windowClass` and whose process runs the file `imageName` (no
// folder): its reads are never seen (it reads without a window), or are not
// its own (a remote-desktop, Citrix or virtual-machine client reads for every
// program of the remote session, a clipboard tool in there included, and so
// before the remote paste). Compared without case.
bool IsUnwatchableTarget(const std::string& windowClass, const std::string& imageName);
// The same for the window `hTarget`.
bool IsUnwatchableTarget(HWND hTarget);
