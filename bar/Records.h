// The settings records: plain values copied between the bar, the settings
// store and the settings sheet.
#pragma once
#include "framework/Afx.h"

struct PrivateData {
    CString Name1;      // family name
    CString Name2;      // given name
    CString AddressNo;  // postal code
    CString PhoneNo;
    CString Address;
    CString EMail;
    CString Homepage;
};

struct UserStringEntry {
    CString Tip;     // tooltip
    CString String;  // the text delivered; may hold CR LF
    CString Title;   // button caption
};

struct AppStartEntry {
    CString Tip;
    CString AppName;  // program, document or command started by the shell
    CString Title;
};

struct HotKeyData {
    int SysKey = 0;  // 1 Alt, 2 Control, 4 Shift
    CString Key;     // "A".."Z" or "F1".."F12"
    int Do = 0;      // 0 none, 1 bring the bar forward, 2 also open its menu
};

constexpr int kUserStringCount = 10;
constexpr int kAppStartCount = 10;
