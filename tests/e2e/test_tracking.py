"""Target tracking and docking: the title strip follows the foreground window
twice a second, the bar itself, the desktop ("Program Manager") and the
taskbar ("Shell_TrayWnd") never become the target, a closed target is
cleared, the program's own message box becomes the target, and with
auto-follow on the bar docks at the chosen corner of the target and rides
along with it; the "not kept on top" option takes effect at the next
placement."""

from __future__ import annotations

import time
from typing import Optional

from tavrin_harness import (
    CHANGE_TIMEOUT, EMPTY_TEXT, HOLD, NEXT, TICK, USER_STRINGS, Bar, BarTestCase, bar_pid, bare_spot, children,
    click, close_dialog, drag, foreground, is_iconic, is_topmost, kDockBottomLeftX, kDockBottomRightX, kDockTopLeftX,
    kDockTopRightX, main, move_window, preset, probe, screenshot, set_window_text, top_left, top_windows, wait_for,
    window_exists, window_rect, z_places,
)

SC_MINIMIZE, SC_RESTORE = 0xF020, 0xF120

# The corners: the bar's top-left corner for target rectangle t and bar size (w, h).
CORNERS = {
    0: lambda t, w, h: (t.left + kDockTopLeftX, t.top),
    1: lambda t, w, h: (t.right - w - kDockTopRightX, t.top),
    2: lambda t, w, h: (t.left + kDockBottomLeftX, t.bottom - h),
    3: lambda t, w, h: (t.right - w - kDockBottomRightX, t.bottom - h),
}


# ----------------------------------------------------------------- tracking


class Tracking(BarTestCase):
    def test_strip_shows_the_foreground_title_within_a_second(self):
        bar = self.start_bar()
        self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_strip(bar, "Alpha window")
        beta = self.foreign_window("ベータの窓 表示", rect=(650, 350, 320, 200))
        self.wait_strip(bar, "ベータの窓 表示")
        # A title change of the target shows at the next tick as well.
        set_window_text(beta.hwnd, "ベータ 改題")
        self.wait_strip(bar, "ベータ 改題")
        # A title of thousands of bytes shows whole, not cut at 1,023.
        long_title = "長い題名表示" * 300
        set_window_text(beta.hwnd, long_title)
        self.wait_strip(bar, long_title)

    def test_clicking_the_bar_keeps_the_previous_target(self):
        bar = self.start_bar()
        alpha = self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_strip(bar, "Alpha window")
        click(*bare_spot(bar.state()))
        self.wait_foreground(bar.hwnd, "the bar")
        self.hold_strip(bar, "Alpha window", during="after a click on the bar")
        # Ticks go on: the next real target shows.
        self.foreign_window("Gamma window", rect=(650, 350, 320, 200))
        self.wait_strip(bar, "Gamma window")
        self.assertTrue(window_exists(alpha.hwnd))

    def test_program_manager_keeps_the_previous_target(self):
        desktop = self.foreign_window("Program Manager", rect=(0, 600, 300, 200))
        bar = self.start_bar()
        self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_strip(bar, "Alpha window")
        self.make_foreground(desktop.hwnd, "the window titled Program Manager")
        self.hold_strip(bar, "Alpha window", during="while the window titled Program Manager was in the foreground")
        self.foreign_window("Gamma window", rect=(650, 350, 320, 200))
        self.wait_strip(bar, "Gamma window")

    def test_taskbar_keeps_the_previous_target(self):
        # Wine's explorer has a hidden Shell_TrayWnd of its own; this one is
        # created last and in front, so the bar's look-up finds it first.
        taskbar = self.foreign_window("", "Shell_TrayWnd", rect=(0, 980, 1280, 44))
        bar = self.start_bar()
        self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_strip(bar, "Alpha window")
        self.make_foreground(taskbar.hwnd, "the Shell_TrayWnd window")
        self.hold_strip(bar, "Alpha window", during="while the Shell_TrayWnd window was in the foreground")
        self.foreign_window("Gamma window", rect=(650, 350, 320, 200))
        self.wait_strip(bar, "Gamma window")

    def test_taskbar_class_with_a_title_is_an_ordinary_target(self):
        # Only the Shell_TrayWnd with the empty title is the taskbar.
        bar = self.start_bar()
        self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_strip(bar, "Alpha window")
        self.foreign_window("Tray with a title", "Shell_TrayWnd", rect=(650, 350, 320, 200))
        self.wait_strip(bar, "Tray with a title")

    def test_closed_target_is_cleared_while_the_bar_is_foreground(self):
        bar = self.start_bar()
        alpha = self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_strip(bar, "Alpha window")
        self.make_foreground(bar.hwnd, "the bar")
        self.hold_strip(bar, "Alpha window", seconds=TICK * 2, during="when the bar came to the foreground")
        alpha.close()
        self.assertFalse(window_exists(alpha.hwnd))
        self.assertEqual(foreground()[0], bar.hwnd, "closing the target took the foreground from the bar")
        self.wait_strip(bar, b"")

    def test_own_message_box_becomes_the_target(self):
        preset({"UserString": {"String1": ""}, "Setting": {"PageNo": 2}})
        bar = self.start_bar()
        pid = bar_pid(bar)
        self.foreign_window("Alpha window", rect=(600, 300, 320, 200))
        self.wait_strip(bar, "Alpha window")

        bar.click(USER_STRINGS[0])  # which holds no text

        def message_box() -> Optional[str]:
            for w in top_windows("TAVRIN"):
                if w.pid == pid and w.visible and w.cls == "#32770":
                    return w.hwnd
            return None

        box = wait_for(message_box, CHANGE_TIMEOUT, 0.1, "the message box titled TAVRIN")
        self.addCleanup(close_dialog, box)
        texts = [c.text for c in children(box)]
        self.assertIn(EMPTY_TEXT, texts)
        self.wait_foreground(box, "the message box")
        self.wait_strip(bar, "TAVRIN")

        # Enter closes the box; the bar is active again and clears the vanished target.
        probe("keys", "enter")
        wait_for(lambda: not window_exists(box), CHANGE_TIMEOUT, 0.1, "the message box to close")
        self.wait_foreground(bar.hwnd, "the bar")
        self.wait_strip(bar, b"")


# ----------------------------------------------------------------- auto-follow


class AutoFollow(BarTestCase):
    TARGET_RECT = (300, 250, 520, 320)  # x, y, width, height

    def start_following(self, corner: int, option: int = 5) -> Bar:
        preset({"Setting": {"Option": option, "Pos": corner}})
        return self.start_bar()

    def docked_at(self, bar: Bar, target: str, corner: int) -> tuple[int, int]:
        b = window_rect(bar.hwnd)
        return CORNERS[corner](window_rect(target), b.width, b.height)

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
                target = self.foreign_window(f"Corner {corner} target", rect=self.TARGET_RECT)
                try:
                    self.check_corner(bar, target.hwnd, corner)
                finally:
                    bar.stop()
                    target.close()

    def check_corner(self, bar: Bar, target: str, corner: int) -> None:
        size_before = window_rect(bar.hwnd)
        t = window_rect(target)
        self.assertEqual((t.left, t.top, t.width, t.height), self.TARGET_RECT)
        where = CORNERS[corner](t, size_before.width, size_before.height)
        self.wait_strip(bar, f"Corner {corner} target")
        self.wait_bar_at(bar, where)
        after = window_rect(bar.hwnd)
        self.assertEqual((after.width, after.height), (size_before.width, size_before.height),
                         "docking changed the bar's size")
        bar.settle()
        screenshot(f"dock-corner{corner}")

    def test_moving_the_target_moves_the_bar_within_a_second(self):
        bar = self.start_following(0)
        target = self.foreign_window("Moving target", rect=self.TARGET_RECT)
        self.wait_bar_at(bar, self.docked_at(bar, target.hwnd, 0))
        for x, y in ((420, 180), (200, 400), (-100, 300)):
            move_window(target.hwnd, x, y, 520, 320)
            self.wait_bar_at(bar, (x + kDockTopLeftX, y))

    def test_moving_the_target_at_corner_3(self):
        bar = self.start_following(3)
        target = self.foreign_window("Moving target", rect=self.TARGET_RECT)
        self.wait_bar_at(bar, self.docked_at(bar, target.hwnd, 3))
        move_window(target.hwnd, 350, 200, 600, 400)
        self.wait_bar_at(bar, self.docked_at(bar, target.hwnd, 3))

    def test_minimised_target_leaves_the_bar_in_place(self):
        bar = self.start_following(0)
        target = self.foreign_window("Minimised target", rect=self.TARGET_RECT)
        where = self.docked_at(bar, target.hwnd, 0)
        self.wait_bar_at(bar, where)
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
        # Every placement of the bar puts it on top of the topmost windows, so
        # a window that is shown in front of the bar stays in front exactly as
        # long as the bar is not placed again.
        bar = self.start_following(0)
        target = self.foreign_window("Still target", rect=self.TARGET_RECT)
        where = self.docked_at(bar, target.hwnd, 0)
        self.wait_bar_at(bar, where)
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
        target = self.foreign_window("Corner 7 target", rect=self.TARGET_RECT)
        self.wait_strip(bar, "Corner 7 target")
        self.hold_bar_at(bar, start, during="with corner 7")
        move_window(target.hwnd, 420, 300, 520, 320)
        self.hold_bar_at(bar, start, during="with corner 7 after the target moved")

    def test_without_auto_follow_the_target_is_tracked_but_the_bar_stays(self):
        bar = self.start_following(0, option=1)
        target = self.foreign_window("Unfollowed target", rect=self.TARGET_RECT)
        self.wait_strip(bar, "Unfollowed target")
        self.hold_bar_at(bar, (100, 100), during="with auto-follow off")
        move_window(target.hwnd, 420, 300, 520, 320)
        self.hold_bar_at(bar, (100, 100), during="with auto-follow off after the target moved")

    def test_bar_dragged_away_returns_to_the_corner(self):
        bar = self.start_following(0)
        target = self.foreign_window("Docking target", rect=self.TARGET_RECT)
        where = self.docked_at(bar, target.hwnd, 0)
        self.wait_bar_at(bar, where)
        bar.settle()
        # The next tick may bring the bar back at once: look during the drag.
        seen: set[tuple[int, int]] = set()
        x, y = bare_spot(bar.state())
        drag((x, y), (x + 150, y + 300), watch=lambda: seen.add(top_left(window_rect(bar.hwnd))))
        self.assertTrue(seen - {where}, "the drag did not move the bar")
        self.wait_bar_at(bar, where)


class KeptOnTop(BarTestCase):
    TARGET_RECT = (300, 250, 520, 320)

    def follow_once(self, option: int) -> Bar:
        preset({"Setting": {"Option": option, "Pos": 0}})
        bar = self.start_bar()
        self.foreign_window("Docking target", rect=self.TARGET_RECT)
        self.wait_bar_at(bar, (300 + kDockTopLeftX, 250))
        bar.settle()
        return bar

    def switch_page(self, option: int) -> Bar:
        preset({"Setting": {"Option": option}})
        bar = self.start_bar()
        bar.click(NEXT)
        bar.wait_page(2)
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
