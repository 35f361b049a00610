// Resource and control ids, shared by the resource script and the code.
#pragma once

#define IDD_BAR        102
#define IDR_BARMENU    103
#define IDI_TAVRIN     128
#define IDD_ABOUTBOX   132
#define IDC_DRAGCURSOR 139

// String table.
#define IDS_BARTIP     57666  // the bar's own tooltip
#define IDS_BARTITLE   57667  // the bar's window title, also the single-instance key

// Menu commands.
#define ID_SETTINGS    32771
#define ID_APP_ABOUT   32772
// Exit is the framework's ID_APP_EXIT (57665).

// Controls of the bar.
#define IDC_TARGETTITLE 1000
#define IDC_FULLNAME    1001
#define IDC_MAIL        1002
#define IDC_HOMEPAGE    1003
#define IDC_FAMILYNAME  1004
#define IDC_GIVENNAME   1005
#define IDC_STRING1     1007
#define IDC_ADDRESS     1008
#define IDC_PHONE       1009
#define IDC_TARGET      1010
#define IDC_PREV        1011
#define IDC_NEXT        1012
#define IDC_STRING2     1013
#define IDC_STRING3     1014
#define IDC_STRING4     1015
#define IDC_STRING5     1016
#define IDC_STRING6     1017
#define IDC_STRING7     1018
#define IDC_STRING8     1019
#define IDC_STRING9     1020
#define IDC_STRING10    1021
#define IDC_ZIP         1022
#define IDC_LAUNCH1     1023
#define IDC_LAUNCH10    1032

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Pages of the settings sheet.
#define IDD_PRIVATE    129
#define IDD_USERSTRING 130
#define IDD_EXTENSION  134
#define IDD_APPSTART   135
#define IDD_CUSTOMPAGE 138
#define IDD_HOTKEY     140

// Controls of the personal data page (129).
#define IDC_PRIVATE_FAMILYNAME 1002
#define IDC_PRIVATE_GIVENNAME  1003
#define IDC_PRIVATE_ADDRESS    1004
#define IDC_PRIVATE_PHONE      1005
#define IDC_PRIVATE_MAIL       1006
#define IDC_PRIVATE_HOMEPAGE   1007
#define IDC_PRIVATE_ZIP        1008

// Controls of the user strings page (130).
#define IDC_US_STRING  1002
#define IDC_US_ENTRY   1003
#define IDC_US_TIP     1004
#define IDC_US_TITLE   1005

// Controls of the application launch page (135).
#define IDC_AS_TIP     1004
#define IDC_AS_TITLE   1005
#define IDC_AS_ENTRY   1012
#define IDC_AS_APPNAME 1013

// Controls of the custom page (138).
#define IDC_CP_LIST    1016

// Controls of the extended functions page (134).
#define IDC_EXT_FOLLOW       1008
#define IDC_EXT_CHANGECOLOUR 1010
#define IDC_EXT_SWATCH       1011
#define IDC_EXT_POS          1014
#define IDC_EXT_POSLABEL     1015
#define IDC_EXT_TOPMOST      1017
#define IDC_EXT_KEEPCLIPBOARD 1020
#define IDC_EXT_STARTWITHWINDOWS 1021

// Controls of the hot key page (140).
#define IDC_HK_ALT      1018
#define IDC_HK_CONTROL  1019
#define IDC_HK_SHIFT    1020
#define IDC_HK_ACTION   1022
#define IDC_HK_KEY      1023
#define IDC_HK_KEYLABEL 1024
