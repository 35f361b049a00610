// Starting Tavrin when the user signs in. The truth is Windows' own: the
// value "Tavrin" of the user's Run key
// (Software\Microsoft\Windows\CurrentVersion\Run), and the mark by which
// Task Manager's or Settings' start-up list turns it off while keeping it.
// Tavrin's own key holds nothing of it.
#pragma once

// Whether Windows starts Tavrin at sign-in, as the check box shows it: the
// Run value is there and not turned off.
bool IsStartedWithWindows();

enum class StartUpResult { Done, PathTooLong };
// OK of the check box. `bShown` is how the box was shown, `bTicked` how it
// is now. Ticked: lists this TAVRIN.EXE, quoted, and clears the "turned off"
// mark, unless Windows already starts exactly this path. Unticked after it
// was shown ticked: removes the Run value. Otherwise nothing is touched.
// PathTooLong: the path is too long for Windows to start from there; nothing
// was written.
StartUpResult ApplyStartWithWindows(bool bShown, bool bTicked);
