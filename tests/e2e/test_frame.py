"""The bar's frame: painting, dragging, the menu and Exit, captions and
tooltips, the global hot key and the about box."""

import time
from typing import Optional

from tavrin_harness import *  # noqa: F403

ABOUT_TITLE = "Tavrin のﾊﾞｰｼﾞｮﾝ情報"
ABOUT_TEXT = "Tavrin     Version 1.50"


class Painting(TavrinTestCase):
    def surface_colours(self, bar: Bar) -> set[str]:
        x, y = bare_spot(bar.state())
        return {screen_pixel(x, y), screen_pixel(x, y - 4)}

    def test_surface_shows_the_default_colour(self):
        bar = self.start_bar()
        self.assertEqual(self.surface_colours(bar), {"8080FF"})
        # The buttons keep the classic face under the visual style: the system
        # face colour of the title strip, not the theme's.
        state = bar.state()
        button, strip = state.child(FULL_NAME).screen, state.child(STRIP).screen
        self.assertEqual(screen_pixel(button.left + 2, button.top + 2), screen_pixel(strip.right - 3, strip.bottom - 3))

    def test_surface_shows_the_stored_colour(self):
        bar = self.start_bar({"Setting": {"BkColor": 0x0040C0E0}})  # 0x00BBGGRR
        self.assertEqual(self.surface_colours(bar), {"E0C040"})


class Dragging(MenuTestCase):
    def drag_bar(self, bar: Bar, start: tuple[int, int], dx: int, dy: int) -> str:
        """Drags the bar by start; returns the new position as Exit saves it."""
        before = top_left(window_rect(bar.hwnd))
        drag(start, (start[0] + dx, start[1] + dy))
        self.wait_bar_at(bar, (before[0] + dx, before[1] + dy), limit=None)
        bar.settle()
        return f"{before[0] + dx},{before[1] + dy}"

    def test_drag_by_the_bare_surface_moves_the_bar_and_exit_saves_the_position(self):
        bar = self.start_bar()
        after = self.drag_bar(bar, bare_spot(bar.state()), 160, 90)
        self.right_click_menu(bar)
        self.exit_by_mnemonic(bar)
        self.assertEqual(reg_get("Setting", "Position"), sz(after))

    def test_drag_by_the_title_strip_moves_the_bar_and_exit_saves_the_position(self):
        bar = self.start_bar()
        strip = bar.state().child(STRIP)
        self.assertTrue(strip.visible)
        after = self.drag_bar(bar, strip.screen.center, 230, 310)
        menu = self.keyboard_menu(bar)
        # Exit by a click on the menu's last item.
        assert bar.proc is not None
        self.menu_input(lambda: click(menu.left + menu.width // 2, menu.bottom - 11),
                        lambda: not bar.proc.running(), "TAVRIN.EXE to end after a click on Exit")
        self.assertEqual(reg_get("Setting", "Position"), sz(after))


class ContextMenu(MenuTestCase):
    def test_right_click_on_the_surface_opens_one_menu_at_the_cursor(self):
        bar = self.start_bar()
        menu, (x, y) = self.right_click_menu(bar)
        self.assertEqual(top_left(menu), (x, y))
        screenshot("menu")
        self.close_menu("a right click")
        self.assertTrue(bar.proc is not None and bar.proc.running())

    def test_right_click_on_the_title_strip_opens_one_menu_at_the_cursor(self):
        bar = self.start_bar()
        point = bar.state().child(STRIP).screen.center
        menu, _ = self.right_click_menu(bar, point)
        self.assertEqual(top_left(menu), point)
        self.close_menu("a right click on the title strip")

    def test_escape_opens_one_menu_below_the_lower_left_corner(self):
        bar = self.start_bar()
        # A click on → gives that button the focus (and shows page 2).
        s = bar.turn(NEXT, 2)
        self.wait_foreground(bar.hwnd, "the bar")
        active, focus = focus_of(bar.hwnd)
        self.assertEqual(int(focus, 16), int(s.child(NEXT).hwnd, 16), "→ does not have the focus after a click")
        probe("keys", "esc")
        self.assert_menu_below(bar, "Escape")
        # Escape never closes the bar.
        self.assertTrue(bar.proc is not None and bar.proc.running())
        self.assertTrue(window_exists(bar.hwnd))

    def test_escape_with_no_button_focused_opens_the_menu(self):
        # Brought forward from outside, the bar has no focused control, and
        # the system hands Escape to it as a system key.
        bar = self.start_bar()
        self.make_foreground(bar.hwnd, "the bar")
        probe("keys", "esc")
        self.assert_menu_below(bar, "Escape with no button focused")
        self.assertTrue(window_exists(bar.hwnd))

    def test_shift_f10_opens_one_menu_at_the_client_origin_plus_5(self):
        bar = self.start_bar()
        menu = self.keyboard_menu(bar)
        c = client_rect(bar.hwnd)
        self.assertEqual(top_left(menu), (c.left + kMenuInset, c.top + kMenuInset))
        self.close_menu("Shift+F10")

    def test_exit_ends_the_program_and_saves_page_option_and_position(self):
        # 0x40 belongs to nobody: it is written back as it was read.
        bar = self.start_bar({"Setting": {"Option": 0x41, "Position": "300,200"}})
        bar.turn(NEXT, 2)
        bar.click(TARGET)  # hides the title strip: option 0x40
        bar.wait_state(lambda s: not s.child(STRIP).visible, "the title strip to hide")
        self.right_click_menu(bar)
        self.exit_by_mnemonic(bar)
        self.assertFalse(window_exists(bar.hwnd))
        self.assertEqual(reg_get("Setting", "PageNo"), dword(2))
        self.assertEqual(reg_get("Setting", "Option"), dword(0x40))
        self.assertEqual(reg_get("Setting", "Position"), sz("300,200"))


KANJI_NUMERALS = ["一", "二", "三", "四", "五", "六", "七", "八", "九", "十"]
PERSONAL_CAPTIONS = {FULL_NAME: "氏", FAMILY_NAME: "姓", GIVEN_NAME: "名", ZIP: "〒", ADDRESS: "住", PHONE: "電",
                     MAIL: "E-Mail", HOMEPAGE: "HP"}


class Captions(TavrinTestCase):
    def captions(self, bar: Bar) -> dict[int, str]:
        return {c.id: c.text.decode("cp932") for c in bar.state().controls}

    def test_first_start_shows_the_default_captions(self):
        got = self.captions(self.start_bar())
        self.assertEqual([got[i] for i in USER_STRINGS], [str(n) for n in range(1, 11)])
        self.assertEqual([got[i] for i in LAUNCH], KANJI_NUMERALS)
        self.assertEqual({i: got[i] for i in PERSONAL_CAPTIONS}, PERSONAL_CAPTIONS)

    def test_stored_titles_replace_the_captions(self):
        got = self.captions(self.start_bar({
            "UserString": {"Title1": "あ", "Title5": "", "Title10": "Ten"},
            "AppStart": {"Title1": "ワ", "Title3": "", "Title10": "メモ帳"},
            "PrivateData": {"Name1": "山田", "Name2": "太郎"},
        }))
        self.assertEqual([got[i] for i in USER_STRINGS], ["あ", "2", "3", "4", "", "6", "7", "8", "9", "Ten"])
        self.assertEqual([got[i] for i in LAUNCH], ["ワ", "二", "", "四", "五", "六", "七", "八", "九", "メモ帳"])
        # The personal data buttons keep the captions of the template.
        self.assertEqual({i: got[i] for i in PERSONAL_CAPTIONS}, PERSONAL_CAPTIONS)


class Tooltips(TavrinTestCase):
    def shown_tips(self, pid: int) -> list[bytes]:
        return [window_text(w.hwnd) for w in top_windows()
                if w.pid == pid and w.visible and w.cls.lower() == "tooltips_class32"]

    def point_at(self, bar: Bar, point: tuple[int, int]) -> int:
        """Moves the pointer there once no tip shows; returns the bar's process id."""
        pid = bar_pid(bar)
        mouse_move(*PARK)
        wait_for(lambda: not self.shown_tips(pid), CHANGE_TIMEOUT, 0.1, "the previous tooltip to hide")
        mouse_move(*point)
        return pid

    def tip_at(self, bar: Bar, point: tuple[int, int]) -> bytes:
        """Moves the pointer there and returns the text of the tip that shows."""
        pid = self.point_at(bar, point)
        tips = wait_for(lambda: self.shown_tips(pid), CHANGE_TIMEOUT, 0.1, f"a tooltip at {point}")
        self.assertEqual(len(tips), 1, f"more than one tooltip shows: {tips}")
        return tips[0]

    def assertTip(self, bar: Bar, control_id: int, text: str) -> None:
        tip = self.tip_at(bar, bar.state().child(control_id).screen.center)
        self.assertEqual(tip.decode("cp932"), text, f"tooltip of control {control_id}")

    def test_page_buttons(self):
        bar = self.start_bar({"Setting": {"PageNo": 2}})  # ← and → both enabled
        self.assertTip(bar, PREV, "Page Down")
        self.assertTip(bar, NEXT, "Page Up")

    def test_personal_data_buttons_and_target_button(self):
        bar = self.start_bar()
        for control_id, text in ((FULL_NAME, "氏名"), (FAMILY_NAME, "姓"), (GIVEN_NAME, "名"), (ZIP, "郵便番号"),
                                 (ADDRESS, "住所"), (PHONE, "電話番号"), (MAIL, "Mail Address"), (HOMEPAGE, "HomePage"),
                                 (TARGET, "Target表示/非表示")):
            with self.subTest(control=control_id):
                self.assertTip(bar, control_id, text)

    def test_user_string_1_on_a_first_start(self):
        bar = self.start_bar({"Setting": {"PageNo": 2}})
        self.assertTip(bar, USER_STRINGS[0], "文字1")
        self.assertTip(bar, USER_STRINGS[9], "文字10")

    def test_launch_entries_on_a_first_start(self):
        bar = self.start_bar({"Setting": {"PageNo": 4}})
        self.assertTip(bar, LAUNCH[0], "起動1")
        self.assertTip(bar, LAUNCH[9], "起動10")

    def test_stored_tip_texts(self):
        bar = self.start_bar({"UserString": {"Tip4": "ヒント四"}, "AppStart": {"Tip2": "メモ帳を開く"},
                              "Setting": {"PageNo": 2}})
        self.assertTip(bar, USER_STRINGS[3], "ヒント四")
        bar.turn(NEXT, 3)
        bar.turn(NEXT, 4)
        self.assertTip(bar, LAUNCH[1], "メモ帳を開く")

    def test_empty_tip_shows_no_text(self):
        bar = self.start_bar({"UserString": {"Tip3": "", "Tip4": "ヒント四"}, "Setting": {"PageNo": 2}})
        pid = self.point_at(bar, bar.state().child(USER_STRINGS[2]).screen.center)
        self.assert_stays(lambda: [t for t in self.shown_tips(pid) if t], [], "a tooltip with text shows over 3")
        # The tooltips work: the neighbour shows its own.
        self.assertTip(bar, USER_STRINGS[3], "ヒント四")

    def test_bar_surface(self):
        bar = self.start_bar()
        self.assertEqual(self.tip_at(bar, bare_spot(bar.state())).decode("cp932"), "右ｸﾘｯｸでﾒﾆｭｰ")


class HotKey(MenuTestCase):
    def start_with_other_window(self, hotkey: Optional[dict[str, object]] = None) -> tuple[Bar, str]:
        bar = self.start_bar({"HotKey": hotkey} if hotkey else None)
        alpha = self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_foreground(alpha.hwnd, "the other window")
        self.wait_strip(bar, "Alpha window")
        return bar, alpha.hwnd

    def assert_key_ignored(self, foreground_hwnd: str) -> None:
        """The foreground window stays and no menu opens."""
        deadline = time.monotonic() + HOLD
        while time.monotonic() < deadline:
            self.assertEqual(foreground()[0], foreground_hwnd, "the key changed the foreground window")
            self.assertEqual(visible_menus(), [], "the key opened a menu")
            time.sleep(0.1)

    def test_default_ctrl_shift_w_brings_the_bar_forward_and_opens_the_menu_below_it(self):
        bar, _ = self.start_with_other_window()
        probe("keys", "ctrl+shift+w")
        self.assert_menu_below(bar, "the hot key")
        self.hold_strip(bar, "Alpha window", during="after the hot key activated the bar")

    def test_ctrl_shift_w_from_the_x_keyboard_opens_the_menu(self):
        # Keys typed on the X display reach Wine while a Wine window has the X
        # focus (keys typed into a non-Wine X program never reach Wine).
        bar, _ = self.start_with_other_window()
        x_windows = xdotool("search", "--name", "^Alpha window$").split()
        self.assertEqual(len(x_windows), 1, f"X windows named Alpha window: {x_windows}")
        xdotool("windowfocus", "--sync", x_windows[0])
        xdotool("key", "ctrl+shift+w")
        self.assert_menu_below(bar, "Ctrl+Shift+W typed on the X display")

    def test_default_combination_is_held_by_the_bar(self):
        self.start_bar()
        _, answer = self.hotkey_holder(MOD_CONTROL | MOD_SHIFT, VK_W)
        self.assertEqual(answer, f"registered 0 {ERROR_HOTKEY_ALREADY_REGISTERED}")

    def test_alt_f5_with_action_1_activates_the_bar_without_a_menu_and_space_pastes(self):
        # The hot key gives the keyboard to the page's first text button when
        # no control of the bar has it (as after the start), so that Space
        # presses it into the window that was in front.
        bar = self.start_bar({"HotKey": {"SysKey": 1, "Key": "F5", "Do": 1}})
        first = int(bar.state().child(FULL_NAME).hwnd, 16)
        self.wait_foreground(bar.hwnd, "the bar at its start")
        self.assertEqual(focus_of(bar.hwnd)[1], "0x0", "a control of the bar has the focus after the start")
        probe("keys", "alt+f5")
        wait_for(lambda: int(focus_of(bar.hwnd)[1], 16) == first, CHANGE_TIMEOUT, 0.1, "氏 to take the focus")
        target = self.target("Alpha window")
        self.make_current(bar, target, "Alpha window")
        probe("keys", "alt+f5")
        self.wait_foreground(bar.hwnd, "the bar")
        self.assert_no_menu(why="after Alt+F5 with action 1")
        self.hold_strip(bar, "Alpha window", seconds=0.1, during="after the hot key activated the bar")
        probe("keys", "space")
        wait_for(lambda: target.edit_text(EDIT) == sjis("姓 名"), CHANGE_TIMEOUT, 0.1, "Space to paste 氏")

    def test_bare_f8_is_registered_without_modifiers(self):
        bar, _ = self.start_with_other_window({"SysKey": 0, "Key": "F8", "Do": 1})
        probe("keys", "f8")
        self.wait_foreground(bar.hwnd, "the bar")
        self.assert_no_menu(why="after F8 with action 1")

    def test_action_0_registers_nothing(self):
        bar, alpha = self.start_with_other_window({"Do": 0})
        probe("keys", "ctrl+shift+w")
        self.assert_key_ignored(alpha)
        _, answer = self.hotkey_holder(MOD_CONTROL | MOD_SHIFT, VK_W)
        self.assertEqual(answer, "registered 1", "the combination is taken although the hot key is off")

    def test_combination_held_by_another_program_fails_silently(self):
        holder, answer = self.hotkey_holder(MOD_CONTROL | MOD_SHIFT, VK_W)
        self.assertEqual(answer, "registered 1")
        bar = self.start_bar()
        pid = bar_pid(bar)
        alpha = self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_foreground(alpha.hwnd, "the other window")
        # No message about the failed registration: the bar is the program's only visible window.
        shown = [w for w in top_windows() if w.pid == pid and w.visible]
        self.assertEqual([w.hwnd for w in shown], [bar.hwnd], f"the bar shows other windows: {shown}")
        probe("keys", "ctrl+shift+w")
        self.assertEqual(holder.proc.readline(CHANGE_TIMEOUT), "hotkey 1", "the other program lost its hot key")
        self.assert_key_ignored(alpha.hwnd)
        self.assertEqual([w.hwnd for w in top_windows() if w.pid == pid and w.visible], [bar.hwnd])


class AboutBox(MenuTestCase):
    def open_about(self, bar: Bar) -> str:
        self.keyboard_menu(bar)
        self.menu_key("a", lambda: find_window(ABOUT_TITLE), "the about box to open")
        about = find_window(ABOUT_TITLE)
        assert about is not None
        self.addCleanup(close_dialog, about)
        return about

    def test_menu_item_a_opens_the_about_box(self):
        bar = self.start_bar()
        pid = bar_pid(bar)
        about = self.open_about(bar)
        info = [w for w in top_windows(ABOUT_TITLE) if w.hwnd == about][0]
        self.assertEqual(info.pid, pid)
        controls = children(about)
        self.assertIn(ABOUT_TEXT.encode("cp932"), [c.text for c in controls])
        ok = [c for c in controls if c.id == 1]
        self.assertEqual([c.text for c in ok], [b"OK"])
        screenshot("about")
        self.assertTrue(info.visible, "the about box is not visible")
        click(*ok[0].screen.center)
        wait_for(lambda: not window_exists(about), CHANGE_TIMEOUT, 0.1, "the about box to close after OK")
        self.assertTrue(bar.proc is not None and bar.proc.running())

    def test_hot_key_while_the_about_box_is_open_brings_it_forward_and_opens_no_menu(self):
        bar = self.start_bar()
        about = self.open_about(bar)
        gamma = self.foreign_window("Gamma window", rect=(700, 700, 320, 200))
        self.wait_foreground(gamma.hwnd, "the new window")
        probe("keys", "ctrl+shift+w")
        try:
            self.wait_foreground(about, "the about box after the hot key", 5)
        except TimedOut:
            # Under load a late X focus event of Wine's may hand the foreground
            # back (or to the desktop) just after the bar moved it: press again.
            probe("keys", "ctrl+shift+w")
            self.wait_foreground(about, "the about box after the hot key, pressed twice")
        self.assert_no_menu(why="after the hot key while the about box was open")
        self.assertTrue(window_exists(about), "the about box closed")

    def test_tracking_pauses_while_the_about_box_is_open(self):
        bar = self.start_bar()
        self.tracked_window(bar, "Alpha window", (700, 100, 320, 200))
        about = self.open_about(bar)
        gamma = self.foreign_window("Gamma window", rect=(700, 700, 320, 200))
        self.wait_foreground(gamma.hwnd, "the new window")
        self.hold_strip(bar, "Alpha window", during="while the about box was open")
        # OK (Enter on the about box) ends it; tracking goes on.
        self.make_foreground(about, "the about box")
        probe("keys", "enter")
        wait_for(lambda: not window_exists(about), CHANGE_TIMEOUT, 0.1, "the about box to close")
        self.make_foreground(gamma.hwnd, "the new window")
        self.wait_strip(bar, "Gamma window")


if __name__ == "__main__":
    main()
