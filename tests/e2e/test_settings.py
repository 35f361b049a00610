"""The settings sheet as the bar opens and applies it: OK saves every section
and the bar shows the changes at once; Cancel changes nothing. The sheet is
driven from outside as a user would, through its controls' own messages."""

import shutil
from typing import Optional

from tavrin_harness import *  # noqa: F403

SHEET_TITLE = "設定"

WM_USER = 0x400
PSM_SETCURSEL = WM_USER + 101
PSM_PRESSBUTTON = WM_USER + 113
PSM_GETCURRENTPAGEHWND = WM_USER + 118
PSBTN_OK, PSBTN_CANCEL = 3, 5
CB_SETCURSEL, CBN_SELCHANGE = 0x14E, 1
BM_CLICK, BM_SETCHECK = 0xF5, 0xF1
LB_GETCOUNT, LB_SETITEMDATA = 0x18B, 0x19A

TAB_PRIVATE, TAB_EXTENSION, TAB_HOTKEY = 0, 4, 5
VK_Q = 0x51
# The red, green and blue edits of the system's colour chooser.
CHOOSER_RGB_EDITS = (0x2C2, 0x2C3, 0x2C4)


def current_page(sheet: str) -> Optional[str]:
    page = send(sheet, PSM_GETCURRENTPAGEHWND)
    return f"0x{page:X}" if page else None


def enabled(hwnd: str) -> bool:
    return probe("info", hwnd)[0].split()[3] == "1"


class SettingsTestCase(MenuTestCase):
    def open_sheet(self, bar: Bar, by_menu: bool = False) -> tuple[str, str]:
        """Opens the sheet (by the menu's 設定 or its command); returns it and its first page."""
        if by_menu:
            self.keyboard_menu(bar)
            self.menu_key("s", lambda: find_window(SHEET_TITLE, "#32770"), "the settings sheet to open")
        else:
            post(bar.hwnd, "WM_COMMAND", ID_SETTINGS, 0)
        sheet = wait_for(lambda: find_window(SHEET_TITLE, "#32770"), CHANGE_TIMEOUT, 0.1, "the settings sheet")
        self.addCleanup(self.cancel_if_open, sheet)
        page = wait_for(lambda: current_page(sheet), CHANGE_TIMEOUT, 0.1, "the sheet's first page")
        assert sheet is not None and page is not None
        return sheet, page

    def cancel_if_open(self, sheet: str) -> None:
        if window_exists(sheet):
            self.press(sheet, PSBTN_CANCEL)

    def show_tab(self, sheet: str, tab: int) -> str:
        """Switches to a tab; returns its page window."""
        send(sheet, PSM_SETCURSEL, tab, 0)
        return wait_for(lambda: current_page(sheet), CHANGE_TIMEOUT, 0.1, f"tab {tab}")

    def type_into(self, page: str, control_id: int, text: str | bytes) -> None:
        set_window_text(child_of(page, control_id).hwnd, text)

    def choose(self, page: str, control_id: int, item: int) -> None:
        combo = child_of(page, control_id).hwnd
        send(combo, CB_SETCURSEL, item, 0)
        send(page, "WM_COMMAND", (CBN_SELCHANGE << 16) | control_id, int(combo, 16))

    def press(self, sheet: str, button: int) -> None:
        post(sheet, PSM_PRESSBUTTON, button, 0)
        wait_for(lambda: not window_exists(sheet), CHANGE_TIMEOUT, 0.1, "the sheet to close")


class OpeningAndCancel(SettingsTestCase):
    def test_menu_item_opens_the_sheet_on_the_tab_of_the_bar_page(self):
        bar = self.start_bar({"Setting": {"PageNo": 4}})
        sheet, page = self.open_sheet(bar, by_menu=True)
        self.assertEqual(window_text(page), "ｱﾌﾟﾘｹｰｼｮﾝの起動".encode("cp932"))
        screenshot("settings-sheet")
        # The launch tab's list offers the ten entries.
        child_of(page, IDC_AS_ENTRY)
        self.assertFalse(enabled(bar.hwnd), "the bar stays enabled under its modal sheet")
        self.press(sheet, PSBTN_CANCEL)

    def test_cancel_saves_nothing_and_tracking_resumes(self):
        bar = self.start_bar()
        sheet, page = self.open_sheet(bar)
        self.type_into(page, IDC_PRIVATE_FAMILYNAME, "山田")
        # Tracking is paused: another window in front does not reach the strip.
        before = strip_text(bar)
        alpha = self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.make_foreground(alpha.hwnd, "the other window")
        self.hold_strip(bar, before, seconds=1.2, during="while the sheet was open")
        self.press(sheet, PSBTN_CANCEL)
        self.assertIsNone(reg_get("PrivateData", "Name1"), "Cancel wrote the family name")
        self.assertIsNone(reg_get("Setting", "BkColor"), "Cancel wrote the colour")
        self.make_foreground(alpha.hwnd, "the other window")
        self.wait_strip(bar, "Alpha window", limit=None)


class OkApplies(SettingsTestCase):
    def test_ok_saves_every_section_and_the_bar_shows_the_new_texts(self):
        bar = self.start_bar({"Setting": {"PageNo": 2}})
        sheet, strings = self.open_sheet(bar)
        # User string 1: tip, caption and a two-line text.
        self.type_into(strings, IDC_US_TIP, "ヒント")
        self.type_into(strings, IDC_US_TITLE, "挨拶")
        self.type_into(strings, IDC_US_STRING, b"\x82\xb1\x82\xf1\r\n2")
        personal = self.show_tab(sheet, TAB_PRIVATE)
        self.type_into(personal, IDC_PRIVATE_FAMILYNAME, "山田")
        self.press(sheet, PSBTN_OK)

        self.assertEqual(reg_get("PrivateData", "Name1"), sz("山田"))
        self.assertEqual(reg_get("UserString", "Title1"), sz("挨拶"))
        self.assertEqual(reg_get("UserString", "String1"), ("REG_SZ", b"\x82\xb1\x82\xf1\r\n2\0"))
        # Sections of tabs never shown are written again, unchanged.
        self.assertIsNotNone(reg_get("AppStart", "AppName1"))
        self.assertEqual(reg_get("HotKey", "Key"), sz("W"))
        self.assertIsNotNone(reg_get("CustomPage", "Num1"))
        self.assertIsNotNone(reg_get("Setting", "BkColor"))
        self.assertIsNotNone(reg_get("Setting", "Pos"))
        # The option word (auto-follow, on top, title strip) waits for the bar's end.
        self.assertIsNone(reg_get("Setting", "Option"))
        # The caption on the bar changed at once.
        wait_for(lambda: bar.state().child(USER_STRINGS[0]).text == "挨拶".encode("cp932"), CHANGE_TIMEOUT, 0.1,
                 "the first user-string button to show its new caption")

    def test_custom_selection_shown_at_once_on_page_3(self):
        bar = self.start_bar({"Setting": {"PageNo": 3}})
        sheet, page = self.open_sheet(bar)
        check_list = child_of(page, IDC_CP_LIST).hwnd
        self.assertEqual(send(check_list, LB_GETCOUNT), 29)
        # Only "HP" (item 7) and the first launch entry (item 18).
        for item in range(29):
            send(check_list, LB_SETITEMDATA, item, 1 if item in (7, 18) else 0)
        self.press(sheet, PSBTN_OK)
        bar.wait_state(lambda s: s.shown_page_buttons() == [HOMEPAGE, LAUNCH[0]], "page 3 to show HP and 一")
        self.assertEqual(reg_get("CustomPage", "Num1"), dword(5))

    def test_new_hot_key_works_at_once(self):
        bar = self.start_bar()
        sheet, _ = self.open_sheet(bar)
        page = self.show_tab(sheet, TAB_HOTKEY)
        self.choose(page, IDC_HK_KEY, ord("Q") - ord("A"))
        self.press(sheet, PSBTN_OK)
        self.assertEqual(reg_get("HotKey", "Key"), sz("Q"))
        self.assertNotEqual(self.hotkey_holder(MOD_CONTROL | MOD_SHIFT, VK_Q)[1], "registered 1",
                            "the bar does not hold Ctrl+Shift+Q")
        self.assertEqual(self.hotkey_holder(MOD_CONTROL | MOD_SHIFT, VK_W)[1], "registered 1",
                         "the bar still holds Ctrl+Shift+W")
        self.assertTrue(window_exists(bar.hwnd))

    def test_colour_chosen_in_the_chooser_repaints_the_bar_at_once(self):
        bar = self.start_bar()
        spot = bare_spot(bar.state())
        sheet, _ = self.open_sheet(bar)
        page = self.show_tab(sheet, TAB_EXTENSION)
        self.choose(page, IDC_EXT_POS, 3)
        # 変更 opens the system's colour chooser (modal: posted, not sent).
        post(child_of(page, IDC_EXT_CHANGECOLOUR).hwnd, BM_CLICK)
        pid = bar_pid(bar)
        chooser = wait_for(lambda: next((w.hwnd for w in top_windows() if w.pid == pid and w.visible
                                         and w.cls == "#32770" and w.hwnd not in (sheet, bar.hwnd)), None),
                           CHANGE_TIMEOUT, 0.1, "the colour chooser")
        for control_id, value in zip(CHOOSER_RGB_EDITS, (0x20, 0xA0, 0x60)):
            set_window_text(child_of(chooser, control_id).hwnd, str(value))
        post(chooser, "WM_COMMAND", 1, 0)
        wait_for(lambda: not window_exists(chooser), CHANGE_TIMEOUT, 0.1, "the colour chooser to close")
        self.press(sheet, PSBTN_OK)
        self.assertEqual(reg_get("Setting", "BkColor"), dword(0x60A020))  # 0x00BBGGRR
        self.assertEqual(reg_get("Setting", "Pos"), dword(3))
        wait_for(lambda: screen_pixel(*spot) == "20A060", CHANGE_TIMEOUT, 0.2, "the bar to repaint in the new colour")

    def test_start_with_windows_from_a_folder_named_outside_code_page_932(self):
        exe = BUILD_DIR / "e2e-\U00020BB7" / "TAVRIN.EXE"  # 𠮷, as in a user name
        exe.parent.mkdir(exist_ok=True)
        shutil.copy(TAVRIN_EXE, exe)
        bar = Bar(exe=exe).start()
        self.addCleanup(bar.stop)
        sheet, _ = self.open_sheet(bar)
        send(child_of(self.show_tab(sheet, TAB_EXTENSION), IDC_EXT_STARTWITHWINDOWS).hwnd, BM_SETCHECK, 1)
        self.press(sheet, PSBTN_OK)
        written = bytes.fromhex(probe("runvalue")[0]).decode("utf-16-le")  # and removed
        self.assertEqual(written, '"Z:' + str(exe).replace("/", "\\") + '"')


if __name__ == "__main__":
    main()
