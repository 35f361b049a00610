"""Start-up of the bar: first start, stored and damaged settings, single
instance, closing and restoring, page switching, the title strip."""

import time

from tavrin_harness import *  # noqa: F403

DEFAULT_POSITION = (100, 100)
SCREEN = (1280, 1024)  # the test display, which has no taskbar
ROW_CONTROLS = ALL_PAGE_BUTTONS | {PREV, NEXT, TARGET}  # what the page layout moves


class FirstStart(TavrinTestCase):
    def test_empty_registry_shows_page_1_at_100_100_on_top(self):
        bar = self.start_bar()
        s = bar.state()
        self.assertEqual(top_left(s), DEFAULT_POSITION)
        self.assertEqual(window_text(bar.hwnd), b"Tavrin")
        self.assertTrue(is_topmost(bar.hwnd), "the bar is not topmost")
        self.assertEqual(s.shown_page_buttons(), PAGE_BUTTONS[1])
        self.assertFalse(s.child(PREV).enabled, "← is enabled on page 1")
        self.assertTrue(s.child(NEXT).enabled, "→ is disabled on page 1")
        self.assertTrue(s.child(STRIP).visible, "the title strip is hidden")
        self.assertLayout(s, 1)

    def test_ok_and_cancel_buttons_stay_hidden(self):
        s = self.start_bar().state()
        self.assertFalse(s.child(OK_BUTTON).visible, "the template's OK button shows")
        self.assertFalse(s.child(CANCEL_BUTTON).visible, "the template's cancel button shows")


class StoredPosition(TavrinTestCase):
    def start_at(self, position):
        return top_left(self.start_bar({"Setting": {"Position": position}}).state())

    def test_negative_x_becomes_1(self):
        self.assertEqual(self.start_at("-20,300"), (1, 300))

    def test_zero_zero_becomes_1_1(self):
        self.assertEqual(self.start_at("0,0"), (1, 1))

    def test_single_field_gives_y_1(self):
        self.assertEqual(self.start_at("250"), (250, 1))

    def test_place_on_a_monitor_that_is_gone_comes_back_on_screen(self):
        # Into the nearest corner of the work area: here the whole screen.
        r = self.start_bar({"Setting": {"Position": "5000,4000"}}).state().rect
        self.assertEqual((r.right, r.bottom), SCREEN)


class SingleInstance(TavrinTestCase):
    def bars_titled_tavrin(self):
        return [w.hwnd for w in top_windows("Tavrin")]

    def test_second_start_ends_at_once(self):
        first = self.start_bar()
        before = first.state()
        second = self.start_bar(wait=False)
        # While the second copy runs, no second window titled Tavrin appears.
        deadline = time.monotonic() + EXIT_TIMEOUT
        while second.proc.running() and time.monotonic() < deadline:
            self.assertEqual(self.bars_titled_tavrin(), [first.hwnd])
            second.proc.wait(0.2)
        self.assertIsNotNone(second.proc.wait(EXIT_TIMEOUT), "the second copy did not end")
        self.assertEqual(self.bars_titled_tavrin(), [first.hwnd])
        after = first.state()
        self.assertEqual(after.rect, before.rect, "the first bar moved")
        self.assertEqual(after.shown_page_buttons(), before.shown_page_buttons(), "the first bar changed page")

    def test_foreign_window_titled_tavrin_does_not_block_a_start(self):
        # An Explorer window on a folder named Tavrin bears that title.
        foreign = self.foreign_window("Tavrin", "CabinetWClass")
        bar = self.start_bar()
        self.assertEqual(sorted(self.bars_titled_tavrin()), sorted([foreign.hwnd, bar.hwnd]))


class CloseAndRestore(TavrinTestCase):
    def test_wm_close_saves_page_and_position_and_next_start_restores_them(self):
        bar = self.start_bar({"Setting": {"Position": "400,20"}})
        self.assertEqual(top_left(bar.state()), (400, 20))
        bar.turn(NEXT, 2)
        s = bar.turn(NEXT, 3)
        left, top = top_left(s)
        self.assertEqual((left, top), (400, 20))
        bar.close()
        self.assertEqual(reg_get("Setting", "PageNo"), dword(3))
        self.assertEqual(reg_get("Setting", "Position"), sz(f"{left},{top}"))
        self.assertEqual(reg_get("Setting", "Option"), dword(1))
        again = self.start_bar()
        s = again.state()
        self.assertEqual(s.page(), 3)
        self.assertEqual(top_left(s), (left, top))
        self.assertTrue(s.child(PREV).enabled and s.child(NEXT).enabled, "← and → must both be enabled on page 3")


class PageSwitching(TavrinTestCase):
    def test_next_and_prev_step_through_all_pages(self):
        bar = self.start_bar()
        s = bar.state()
        position = top_left(s)
        self.assertLayout(s, 1)
        screenshot("page1")
        for page in (2, 3, 4):
            s = bar.turn(NEXT, page)
            self.assertLayout(s, page)
            self.assertEqual(top_left(s), position, "switching pages moved the bar")
            screenshot(f"page{page}")
        for page in (3, 2, 1):
            s = bar.turn(PREV, page)
            self.assertLayout(s, page)
            self.assertEqual(top_left(s), position, "switching pages moved the bar")

    def assert_click_does_nothing(self, bar, control_id):
        before = bar.state()
        bar.click(control_id)
        # Nothing is to change; give a wrong reaction time to show, then
        # compare the settled bar with the state before.
        time.sleep(1.0)
        bar.settle()
        after = bar.state()
        self.assertEqual(after.rect, before.rect)
        # Everything but texts (the title strip follows the foreground window).
        layout = lambda s: [(c.id, c.visible, c.enabled, c.client) for c in s.controls]  # noqa: E731
        self.assertEqual(layout(after), layout(before))

    def test_next_on_page_4_is_disabled_and_does_not_wrap(self):
        bar = self.start_bar({"Setting": {"PageNo": 4}})
        s = bar.state()
        self.assertLayout(s, 4)
        self.assertFalse(s.child(NEXT).enabled)
        self.assertTrue(s.child(PREV).enabled)
        self.assert_click_does_nothing(bar, NEXT)
        self.assertEqual(bar.state().page(), 4)

    def test_prev_on_page_1_is_disabled_and_does_not_wrap(self):
        bar = self.start_bar()
        s = bar.state()
        self.assertFalse(s.child(PREV).enabled)
        self.assert_click_does_nothing(bar, PREV)
        self.assertEqual(bar.state().page(), 1)

    def test_pages_2_and_3_enable_both_arrows(self):
        for page in (2, 3):
            with self.subTest(page=page):
                bar = self.start_bar({"Setting": {"PageNo": page}})
                s = bar.state()
                self.assertEqual(s.page(), page)
                self.assertTrue(s.child(PREV).enabled and s.child(NEXT).enabled)
                bar.close()


class TitleStrip(TavrinTestCase):
    def test_target_button_hides_and_shows_the_strip(self):
        bar = self.start_bar()
        shown = bar.state()
        self.assertTrue(shown.child(STRIP).visible)
        bar.click(TARGET)
        hidden = bar.wait_state(lambda s: not s.child(STRIP).visible, "the title strip to hide")
        self.assertEqual(hidden.shown_page_buttons(), shown.shown_page_buttons(), "buttons were shown or hidden")
        for c in shown.controls:
            if c.visible and c.id in ROW_CONTROLS:
                self.assertEqual(hidden.child(c.id).client.top, c.client.top - kStripHeight, f"control {c.id}")
                self.assertEqual(hidden.child(c.id).client.left, c.client.left, f"control {c.id}")
        self.assertEqual(hidden.rect.height, shown.rect.height - kStripHeight)
        self.assertEqual(hidden.rect.width, shown.rect.width)
        self.assertEqual(top_left(hidden), top_left(shown))
        self.assertLayout(hidden, 1, strip=False)
        bar.click(TARGET)
        again = bar.wait_state(lambda s: s.child(STRIP).visible, "the title strip to show again")
        self.assertEqual(again.rect, shown.rect)
        for c in shown.controls:
            if c.id not in ROW_CONTROLS | {STRIP}:
                continue
            self.assertEqual(again.child(c.id).client, c.client, f"control {c.id}")
            self.assertEqual(again.child(c.id).visible, c.visible, f"control {c.id}")


class CustomPage(TavrinTestCase):
    def test_default_custom_page_is_packed(self):
        bar = self.start_bar({"Setting": {"PageNo": 3}})
        s = bar.state()
        self.assertEqual(s.shown_page_buttons(), CUSTOM_DEFAULT)
        self.assertFalse(s.child(TARGET).visible, "的 shows on the default custom page")
        t = self.template(bar.hwnd)
        self.assertEqual(s.child(PREV).client.left, t.map[CUSTOM_PREV_X])
        x = t.map[CUSTOM_START_X]
        for i in CUSTOM_DEFAULT:
            self.assertEqual(s.child(i).client.left, x, f"button {i} is not packed")
            x = s.child(i).client.right
        self.assertEqual(s.child(NEXT).client.left, x + kNextGap)
        self.assertLayout(s, 3)


class DamagedSettings(TavrinTestCase):
    def start_with(self, settings):
        bar = self.start_bar(settings)
        self.assertTrue(bar.proc.running(), "TAVRIN.EXE ended")
        return bar, bar.state()

    def test_page_no_7_shows_page_1(self):
        _, s = self.start_with({"Setting": {"PageNo": 7}})
        self.assertEqual(s.page(), 1)
        self.assertLayout(s, 1)

    def test_page_no_0_shows_page_1(self):
        _, s = self.start_with({"Setting": {"PageNo": 0}})
        self.assertEqual(s.page(), 1)
        self.assertLayout(s, 1)

    def assert_custom_row_sane(self, s, allowed):
        shown = s.shown_page_buttons()
        self.assertLessEqual(len(shown), 12, f"more than twelve buttons: {shown}")
        self.assertTrue(set(shown) <= set(allowed), f"buttons {shown} are not among {allowed}")
        self.assertTrue(s.child(PREV).visible and s.child(NEXT).visible)
        right_of_others = max([s.child(i).client.right for i in shown] + [s.child(PREV).client.right])
        self.assertGreaterEqual(s.child(NEXT).client.left, right_of_others, "→ is not last in the row")

    def test_num1_20_shows_at_most_the_available_ids(self):
        fields = [PREV, NEXT, 0, *PAGE_BUTTONS[1], *USER_STRINGS[:9]]
        self.assertEqual(len(fields), 20)
        _, s = self.start_with({"Setting": {"PageNo": 3},
                                "CustomPage": {"Num1": 20, "Data1": ",".join(map(str, fields))}})
        self.assert_custom_row_sane(s, fields[3:15])

    def test_num1_negative_does_not_crash(self):
        _, s = self.start_with({"Setting": {"PageNo": 3}, "CustomPage": {"Num1": -3}})
        self.assert_custom_row_sane(s, CUSTOM_DEFAULT)

    def test_unknown_id_is_skipped_and_the_rest_packed(self):
        data = f"{PREV},{NEXT},0,{FULL_NAME},9999,{FAMILY_NAME},{GIVEN_NAME}"
        bar, s = self.start_with({"Setting": {"PageNo": 3}, "CustomPage": {"Num1": 7, "Data1": data}})
        self.assertEqual(s.shown_page_buttons(), [FULL_NAME, FAMILY_NAME, GIVEN_NAME])
        self.assertLayout(s, 3, custom=[FULL_NAME, FAMILY_NAME, GIVEN_NAME])

    def test_pos_9_never_moves_the_bar(self):
        bar, s = self.start_with({"Setting": {"Option": 5, "Pos": 9, "Position": "300,200"}})
        self.assertEqual(top_left(s), (300, 200))
        # The bar follows only a target: wait until it has taken this one.
        target = self.foreign_window("Pos target", rect=(500, 400, 400, 300))
        self.wait_strip(bar, "Pos target", limit=None)
        # Five ticks of the 500 ms timer.
        self.assert_stays(lambda: top_left(bar.state()), (300, 200), "the bar moved with corner 9", 2.5)
        self.assertTrue(target.proc.running())

    def test_option_stored_as_string_takes_its_default(self):
        bar, s = self.start_with({"Setting": {"Option": ("REG_SZ", b"9\0")}})
        self.assertTrue(is_topmost(bar.hwnd), "Option 9 (not on top) was read from a string")
        self.assertTrue(s.child(STRIP).visible)

    def test_position_stored_as_dword_takes_its_default(self):
        _, s = self.start_with({"Setting": {"Position": 300}})
        self.assertEqual(top_left(s), DEFAULT_POSITION)

    def test_page_no_stored_as_string_takes_its_default(self):
        _, s = self.start_with({"Setting": {"PageNo": ("REG_SZ", b"4\0")}})
        self.assertEqual(s.page(), 1)


if __name__ == "__main__":
    main()
