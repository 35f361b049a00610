// System DLLs that the program needs only now and then (the shell for launch
// buttons and dropped files, the common dialogs for the colour chooser),
// loaded on first use instead of imported: an imported DLL is loaded, with
// every DLL it imports in turn, before the program can show anything.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <commdlg.h>

HINSTANCE AfxShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                          INT nShowCmd);
UINT AfxDragQueryFile(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
void AfxDragFinish(HDROP hDrop);
BOOL AfxChooseColor(LPCHOOSECOLORA lpcc);
