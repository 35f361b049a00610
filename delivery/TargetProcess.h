// Whose clipboard reads count as the target's: the read that lets the keeper
// give the user's clipboard back must come from the program being pasted into.
#pragma once
#include <windows.h>

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
