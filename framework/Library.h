// System DLLs that the program needs only now and then (the shell for launch
// buttons and dropped files, the common dialogs for the colour chooser, the
// common controls for tooltips and the settings sheet), loaded on first use
// instead of imported: an imported DLL is loaded, with every DLL it imports
// in turn, before the program can show anything.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

HINSTANCE AfxShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                          INT nShowCmd);
UINT AfxDragQueryFile(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
void AfxDragFinish(HDROP hDrop);
BOOL AfxChooseColor(LPCHOOSECOLORA lpcc);
// Loads the common controls and registers their window classes, once; true
// when they are there. Call before making a window of one of their classes.
bool AfxInitCommonControls();
INT_PTR AfxPropertySheet(LPCPROPSHEETHEADERA lppsh);
