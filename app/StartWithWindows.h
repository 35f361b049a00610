// Starting Tavrin when the user signs in. The truth is the value "Tavrin"
// under HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run,
// not Tavrin's own key: the system reads it, and a user may remove it there.
#pragma once

bool IsStartedWithWindows();
// On: the running executable's full path in double quotes, written again
// each time (so a moved program is put right); off: the value removed.
void SetStartedWithWindows(bool bOn);
