"""Target tracking and docking: the title strip follows the foreground window
(never the bar, the desktop or a taskbar), and with auto-follow on the bar
docks at the chosen corner of the target and rides along with it."""

import time

from tavrin_harness import *  # noqa: F403

SC_MINIMIZE, SC_RESTORE = 0xF020, 0xF120

TARGET_RECT = (300, 250, 520, 320)  # x, y, width, height


class Tracking(TavrinTestCase):
    def test_strip_shows_the_foreground_title_within_a_second(self):
        bar = self.start_bar()
        self.tracked_window(bar, "Alpha window")
        beta = self.tracked_window(bar, "ベータの窓 表示", (650, 350, 320, 200))
        # A title change of the target shows at the next tick as well.
        set_window_text(beta.hwnd, "ベータ 改題")
        self.wait_strip(bar, "ベータ 改題")
        # A title of thousands of bytes shows whole, not cut at 1,023.
        long_title = "長い題名表示" * 300
        set_window_text(beta.hwnd, long_title)
        self.wait_strip(bar, long_title)

    def test_clicking_the_bar_keeps_the_previous_target(self):
        bar = self.start_bar()
        alpha = self.tracked_window(bar, "Alpha window")
        click(*bare_spot(bar.state()))
        self.wait_foreground(bar.hwnd, "the bar")
        self.hold_strip(bar, "Alpha window", during="after a click on the bar")
        # Ticks go on: the next real target shows.
        self.tracked_window(bar, "Gamma window", (650, 350, 320, 200))
        self.assertTrue(window_exists(alpha.hwnd))

    def test_program_manager_keeps_the_previous_target(self):
        desktop = self.foreign_window("Program Manager", rect=(0, 600, 300, 200))
        bar = self.start_bar()
        self.tracked_window(bar, "Alpha window")
        self.make_foreground(desktop.hwnd, "the window titled Program Manager")
        self.hold_strip(bar, "Alpha window", during="while the window titled Program Manager was in the foreground")
        self.tracked_window(bar, "Gamma window", (650, 350, 320, 200))

    def test_taskbar_keeps_the_previous_target(self):
        # Wine's explorer has a hidden Shell_TrayWnd of its own; this one is
        # created last and in front, so the bar's look-up finds it first.
        taskbar = self.foreign_window("", "Shell_TrayWnd", rect=(0, 980, 1280, 44))
        bar = self.start_bar()
        self.tracked_window(bar, "Alpha window")
        self.make_foreground(taskbar.hwnd, "the Shell_TrayWnd window")
        self.hold_strip(bar, "Alpha window", during="while the Shell_TrayWnd window was in the foreground")
        self.tracked_window(bar, "Gamma window", (650, 350, 320, 200))

    def test_desktop_in_front_keeps_the_target_and_the_docked_bar(self):
        # After Show desktop or a click on it, the desktop's WorkerW window is in front.
        bar = self.start_bar({"Setting": {"Option": 5, "Pos": 0}})
        self.tracked_window(bar, "Alpha window", TARGET_RECT)
        docked = (TARGET_RECT[0] + kDockTopLeftX, TARGET_RECT[1])
        self.wait_bar_at(bar, docked)
        desktop = self.foreign_window("", "WorkerW", rect=(0, 600, 900, 300))
        self.wait_foreground(desktop.hwnd, "the WorkerW window")
        strip = strip_hwnd(bar)
        self.assert_stays(lambda: (window_text(strip), top_left(window_rect(bar.hwnd))), (b"Alpha window", docked),
                          "the target or the docked bar changed while the WorkerW window was in front")

    def test_closed_target_is_cleared_while_the_bar_is_foreground(self):
        bar = self.start_bar()
        alpha = self.tracked_window(bar, "Alpha window")
        self.make_foreground(bar.hwnd, "the bar")
        self.hold_strip(bar, "Alpha window", seconds=TICK * 2, during="when the bar came to the foreground")
        alpha.close()
        self.assertFalse(window_exists(alpha.hwnd))
        self.assertEqual(foreground()[0], bar.hwnd, "closing the target took the foreground from the bar")
        self.wait_strip(bar, b"")

    def test_own_message_box_becomes_the_target(self):
        bar = self.start_bar({"UserString": {"String1": ""}, "Setting": {"PageNo": 2}})
        pid = bar_pid(bar)
        self.tracked_window(bar, "Alpha window")
        bar.click(USER_STRINGS[0])  # which holds no text
        box = wait_for(message_boxes, CHANGE_TIMEOUT, 0.1, "the message box titled TAVRIN")[0]
        self.addCleanup(close_dialog, box)
        self.assertEqual(int(probe("pid", box)[0]), pid, "the message box is not the bar's")
        self.assertIn(EMPTY_TEXT, [c.text for c in children(box)])
        self.wait_foreground(box, "the message box")
        self.wait_strip(bar, "TAVRIN")
        # Enter closes the box; the bar is active again and clears the vanished target.
        probe("keys", "enter")
        wait_for(lambda: not window_exists(box), CHANGE_TIMEOUT, 0.1, "the message box to close")
        self.wait_foreground(bar.hwnd, "the bar")
        self.wait_strip(bar, b"")


class AutoFollow(TavrinTestCase):
    def start_following(self, corner: int, option: int = 5) -> Bar:
        return self.start_bar({"Setting": {"Option": option, "Pos": corner}})

    def docked_at(self, bar: Bar, target: str, corner: int) -> tuple[int, int]:
        b = window_rect(bar.hwnd)
        return dock_point(window_rect(target), b.width, b.height, corner)

    def dock(self, corner: int, title: str) -> tuple[Bar, ForeignWindow, tuple[int, int]]:
        """A bar following a new target at TARGET_RECT, docked at corner."""
        bar = self.start_following(corner)
        target = self.foreign_window(title, rect=TARGET_RECT)
        where = self.docked_at(bar, target.hwnd, corner)
        self.wait_bar_at(bar, where)
        return bar, target, where

    def test_corner_0_with_the_target_at_100_50_puts_the_bar_at_123_50(self):
        bar = self.start_following(0)
        target = self.foreign_window("Docking target", rect=(100, 50, 400, 300))
        self.assertEqual(top_left(window_rect(target.hwnd)), (100, 50))
        self.wait_bar_at(bar, (100 + kDockTopLeftX, 50))
        self.hold_bar_at(bar, (100 + kDockTopLeftX, 50), during="while the target stood still")

    def test_each_corner(self):
        for corner in range(4):
            with self.subTest(corner=corner):
                bar = self.start_following(corner)
                target = self.foreign_window(f"Corner {corner} target", rect=TARGET_RECT)
                try:
                    before, t = window_rect(bar.hwnd), window_rect(target.hwnd)
                    self.assertEqual((t.left, t.top, t.width, t.height), TARGET_RECT)
                    self.wait_strip(bar, f"Corner {corner} target")
                    self.wait_bar_at(bar, dock_point(t, before.width, before.height, corner))
                    after = window_rect(bar.hwnd)
                    self.assertEqual((after.width, after.height), (before.width, before.height),
                                     "docking changed the bar's size")
                    bar.settle()
                    screenshot(f"dock-corner{corner}")
                finally:
                    bar.stop()
                    target.close()

    def test_moving_the_target_moves_the_bar_within_a_second(self):
        bar, target, _ = self.dock(0, "Moving target")
        for x, y in ((420, 180), (200, 400), (-100, 300)):
            move_window(target.hwnd, x, y, 520, 320)
            self.wait_bar_at(bar, (x + kDockTopLeftX, y))

    def test_moving_the_target_at_corner_3(self):
        bar, target, _ = self.dock(3, "Moving target")
        move_window(target.hwnd, 350, 200, 600, 400)
        self.wait_bar_at(bar, self.docked_at(bar, target.hwnd, 3))

    def test_minimised_target_leaves_the_bar_in_place(self):
        bar, target, where = self.dock(0, "Minimised target")
        probe("post", target.hwnd, "WM_SYSCOMMAND", SC_MINIMIZE, 0)
        wait_for(lambda: is_iconic(target.hwnd), CHANGE_TIMEOUT, 0.1, "the target to be minimised")
        self.hold_bar_at(bar, where, during="while the target was minimised")
        probe("post", target.hwnd, "WM_SYSCOMMAND", SC_RESTORE, 0)
        wait_for(lambda: not is_iconic(target.hwnd), CHANGE_TIMEOUT, 0.1, "the target to be restored")
        self.make_foreground(target.hwnd, "the restored target")
        # Wine may report the restored window's place a moment late: the
        # corner is read again at each look.
        wait_for(lambda: top_left(window_rect(bar.hwnd)) == self.docked_at(bar, target.hwnd, 0), CHANGE_TIMEOUT,
                 0.05, "the bar docked at the restored target")

    def test_still_target_causes_no_move(self):
        # Every placement puts the bar on top of the topmost windows: a window
        # shown in front of it stays there exactly while it is not placed again.
        bar, target, where = self.dock(0, "Still target")
        bar.settle()
        cover = self.holder_window("topmost", "Cover", 280, 230, 400, 120)
        self.assertEqual(foreground()[0], target.hwnd, "showing the cover window changed the foreground")
        cover_place, bar_place = z_places(cover.hwnd, bar.hwnd)
        self.assertLess(cover_place, bar_place, "the cover window did not come in front of the bar")
        deadline = time.monotonic() + HOLD
        while time.monotonic() < deadline:
            self.assertEqual(top_left(window_rect(bar.hwnd)), where, "the bar moved although the target stood still")
            cover_place, bar_place = z_places(cover.hwnd, bar.hwnd)
            self.assertLess(cover_place, bar_place, "the bar was placed again although the target stood still")
            time.sleep(0.1)
        # The check can see a placement: moving the target places the bar again.
        move_window(target.hwnd, 320, 250, 520, 320)
        self.wait_bar_at(bar, (320 + kDockTopLeftX, 250))
        wait_for(lambda: (lambda c, b: b < c)(*z_places(cover.hwnd, bar.hwnd)), CHANGE_TIMEOUT, 0.1,
                 "the placed bar to come in front of the cover window")

    def test_corner_7_never_moves_the_bar(self):
        bar = self.start_following(7)
        start = top_left(window_rect(bar.hwnd))
        self.assertEqual(start, (100, 100))
        target = self.tracked_window(bar, "Corner 7 target", TARGET_RECT)
        self.hold_bar_at(bar, start, during="with corner 7")
        move_window(target.hwnd, 420, 300, 520, 320)
        self.hold_bar_at(bar, start, during="with corner 7 after the target moved")

    def test_without_auto_follow_the_target_is_tracked_but_the_bar_stays(self):
        bar = self.start_following(0, option=1)
        target = self.tracked_window(bar, "Unfollowed target", TARGET_RECT)
        self.hold_bar_at(bar, (100, 100), during="with auto-follow off")
        move_window(target.hwnd, 420, 300, 520, 320)
        self.hold_bar_at(bar, (100, 100), during="with auto-follow off after the target moved")

    def test_bar_dragged_away_returns_to_the_corner(self):
        bar, _, where = self.dock(0, "Docking target")
        bar.settle()
        # The next tick may bring the bar back at once: look during the drag.
        seen: set[tuple[int, int]] = set()
        x, y = bare_spot(bar.state())
        drag((x, y), (x + 150, y + 300), watch=lambda: seen.add(top_left(window_rect(bar.hwnd))))
        self.assertTrue(seen - {where}, "the drag did not move the bar")
        self.wait_bar_at(bar, where)


class KeptOnTop(TavrinTestCase):
    def follow_once(self, option: int) -> Bar:
        bar = self.start_bar({"Setting": {"Option": option, "Pos": 0}})
        self.foreign_window("Docking target", rect=TARGET_RECT)
        self.wait_bar_at(bar, (300 + kDockTopLeftX, 250))
        bar.settle()
        return bar

    def switch_page(self, option: int) -> Bar:
        bar = self.start_bar({"Setting": {"Option": option}})
        bar.turn(NEXT, 2)
        return bar

    def test_not_kept_on_top_after_a_follow_move(self):
        bar = self.follow_once(1 | 4 | 8)
        self.assertFalse(is_topmost(bar.hwnd), "the bar is topmost although option 0x08 is set")

    def test_kept_on_top_after_a_follow_move(self):
        bar = self.follow_once(1 | 4)
        self.assertTrue(is_topmost(bar.hwnd), "the bar is not topmost although option 0x08 is clear")

    def test_not_kept_on_top_after_a_page_switch(self):
        bar = self.switch_page(1 | 8)
        self.assertFalse(is_topmost(bar.hwnd), "the bar is topmost although option 0x08 is set")

    def test_kept_on_top_after_a_page_switch(self):
        bar = self.switch_page(1)
        self.assertTrue(is_topmost(bar.hwnd), "the bar is not topmost although option 0x08 is clear")


if __name__ == "__main__":
    main()
