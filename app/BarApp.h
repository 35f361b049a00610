// CBarApp: the application object. It names the registry key, refuses a
// second copy, runs the bar for the life of the process, and carries the
// load and save operations of the settings store.
#pragma once
#include "bar/PageTable.h"
#include "bar/Records.h"
#include "framework/Afx.h"

class CBarApp : public CWinApp {
public:
    CBarApp() = default;
    ~CBarApp() override = default;

    BOOL InitInstance() override;

    // Settings store: load operations fill the record given; save operations
    // take their own copy. Missing values take their defaults.
    void LoadPrivateData(PrivateData& data);
    void SavePrivateData(PrivateData data);
    void LoadUserString(UserStringEntry (&entries)[kUserStringCount]);
    void SaveUserString(const UserStringEntry (&entries)[kUserStringCount]);
    void LoadAppStart(AppStartEntry (&entries)[kAppStartCount]);
    void SaveAppStart(const AppStartEntry (&entries)[kAppStartCount]);
    void LoadCustomPage(PageRow& row);
    void SaveCustomPage(PageRow row);
    void LoadHotKey(HotKeyData& data);
    void SaveHotKey(HotKeyData data);

protected:
    DECLARE_MESSAGE_MAP()
};

// The running application object, as a CBarApp.
CBarApp* GetBarApp();
