// Fixed item lists of the settings pages' drop-down lists, in list order.
#pragma once

// User strings page, list 1003: item i stands for entry i + 1.
inline constexpr const char* kUserStringItems[] = {
    "文字1", "文字2", "文字3", "文字4", "文字5",
    "文字6", "文字7", "文字8", "文字9", "文字10",
};

// Application launch page, list 1012: item i stands for entry i + 1.
inline constexpr const char* kAppStartItems[] = {
    "起動1", "起動2", "起動3", "起動4", "起動5",
    "起動6", "起動7", "起動8", "起動9", "起動10",
};

// Extended functions page, list 1014: the docking corner, index 0 to 3.
inline constexpr const char* kDockCornerItems[] = {
    "ｳｲﾝﾄﾞｳの左上端", "ｳｲﾝﾄﾞｳの右上端", "ｳｲﾝﾄﾞｳの左下端", "ｳｲﾝﾄﾞｳの右下端",
};

// Hot key page, list 1023: the key, "A" to "Z" then "F1" to "F12".
inline constexpr const char* kHotKeyKeyItems[] = {
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
};

// Hot key page, list 1022: the action, index 0 to 2.
inline constexpr const char* kHotKeyActionItems[] = {
    "ホットキーを使用しない。", "Tavrinをアクティブにする。", "ﾒﾆｭｰを表示する。",
};
