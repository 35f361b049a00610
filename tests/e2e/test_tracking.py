"""Target tracking and docking: the title strip follows the foreground window
twice a second, the bar itself, the desktop ("Program Manager") and the
taskbar ("Shell_TrayWnd") never become the target, a closed target is
cleared, the program's own message box becomes the target, and with
auto-follow on the bar docks at the chosen corner of the target and rides
along with it; the "not kept on top" option takes effect at the next
placement.

winctl.exe (tests/helpers/winctl.cpp) moves, minimises and stacks the test
windows and reports the z-order. The small helpers defined here are shared
with test_frame.py."""

from __future__ import annotations

import subprocess
import tempfile
import time
from typing import Callable, Optional

from tavrin_harness import (
    CHANGE_TIMEOUT, EXIT_TIMEOUT, NEXT, HelperWindow, PARK, PROBE_EXE, PROBE_TIMEOUT, SCALE, STRIP, Bar, BarState, ProbeError, Rect,
    TavrinTestCase, WineProcess, WINE_RUN, children, click, foreground, is_topmost, main, mouse_move, preset, probe,
    probe_run, screenshot, set_foreground, set_window_text, top_windows, wait_for, window_exists, window_rect,
    window_text, xdotool,
)

WINCTL_EXE = PROBE_EXE.parent / "winctl.exe"

TICK = 0.5                   # the tracking timer's period
REACT_LIMIT = 1.5 * SCALE    # "within about a second": three ticks, with room for the probe's own time
HOLD = 1.6 * SCALE           # how long "nothing changes" is watched: more than three ticks

SC_MINIMIZE, SC_RESTORE = 0xF020, 0xF120

# The corners: the bar's top-left corner for target rectangle t and bar size (w, h).
CORNERS = {
    0: lambda t, w, h: (t.left + 23, t.top),
    1: lambda t, w, h: (t.right - w - 69, t.top),
    2: lambda t, w, h: (t.left + 8, t.bottom - h),
    3: lambda t, w, h: (t.right - w - 11, t.bottom - h),
}


# ----------------------------------------------------------------- winctl.exe


def winctl(*args: object) -> list[str]:
    """Runs winctl.exe; returns its lines; raises ProbeError unless it exits 0."""
    cmd = [str(WINE_RUN), str(WINCTL_EXE), *map(str, args)]
    with tempfile.TemporaryFile() as err:  # a file, not a pipe: see probe_run
        r = subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=err, timeout=PROBE_TIMEOUT)
        err.seek(0)
        message = err.read().decode("utf-8", "replace")
    if r.returncode != 0:
        raise ProbeError(f"winctl {' '.join(map(str, args))} exited {r.returncode}: {message.strip()[-500:]}")
    return r.stdout.decode("ascii", "replace").splitlines()


def move_window(hwnd: str, x: int, y: int, w: int, h: int) -> None:
    winctl("move", hwnd, x, y, w, h)


def is_iconic(hwnd: str) -> bool:
    return winctl("iconic", hwnd)[0] == "1"


def z_places(*hwnds: str) -> list[int]:
    """Each window's place in the z-order, 0 = above every other window."""
    return [int(line) for line in winctl("zorder", *hwnds)]


def focus_of(hwnd: str) -> tuple[str, str]:
    """(active window, focus window) of the thread that owns hwnd; "0x0" for none."""
    active, focus = winctl("focus", hwnd)[0].split()
    return active, focus


class WinCtlWindow(HelperWindow):
    """A window that winctl.exe keeps open: "topmost" or "hotkey"."""

    def __init__(self, *args: object) -> None:
        self.proc = WineProcess(WINCTL_EXE, *args)
        kind, self.hwnd, pid = self.proc.readline().split()
        assert kind == "window", kind
        self.pid = int(pid)


# ----------------------------------------------------------------- looking at the bar


def strip_hwnd(bar: Bar) -> str:
    return bar.state().child(STRIP).hwnd


def bar_pid(bar: Bar) -> int:
    return int(probe("pid", bar.hwnd)[0])


def bare_spot(state: BarState) -> tuple[int, int]:
    """A screen point on the bar's own surface: the middle of the widest gap
    between two neighbouring visible buttons of the row."""
    row = sorted((c for c in state.controls if c.visible and c.cls.lower() == "button"), key=lambda c: c.screen.left)
    best: Optional[tuple[int, int, int]] = None
    for a, b in zip(row, row[1:]):
        gap = b.screen.left - a.screen.right
        if best is None or gap > best[0]:
            best = (gap, (a.screen.right + b.screen.left) // 2, (a.screen.top + a.screen.bottom) // 2)
    assert best is not None and best[0] >= 4, f"no gap between the bar's buttons: {row}"
    return best[1], best[2]


def close_dialog(hwnd: str) -> None:
    """Clean-up: ends a dialog or message box that a test left open (IDOK)."""
    if window_exists(hwnd):
        probe_run("post", hwnd, "WM_COMMAND", 1, 0)


def top_left(rect: Rect) -> tuple[int, int]:
    return rect.left, rect.top


def drag(start: tuple[int, int], delta: tuple[int, int], steps: int = 10,
         watch: Optional[Callable[[], None]] = None) -> None:
    """Presses the left button at start, moves by delta in steps, releases.
    watch, if given, is called after every step and right after the release."""
    x, y = start
    mouse_move(x, y)
    xdotool("mousedown", 1)
    try:
        for i in range(1, steps + 1):
            mouse_move(x + delta[0] * i // steps, y + delta[1] * i // steps)
            time.sleep(0.03)
            if watch:
                watch()
    finally:
        xdotool("mouseup", 1)
    if watch:
        watch()
    mouse_move(*PARK)


class BarTestCase(TavrinTestCase):
    """Helpers for watching the title strip and the bar's position."""

    def winctl_window(self, *args: object) -> WinCtlWindow:
        w = WinCtlWindow(*args)
        self.addCleanup(w.close)
        return w

    def wait_strip(self, bar: Bar, title: bytes | str, limit: Optional[float] = REACT_LIMIT) -> float:
        """Waits until the strip shows title; fails if that took longer than
        limit seconds. Returns the time it took."""
        want = title.encode("cp932") if isinstance(title, str) else title
        hwnd = strip_hwnd(bar)
        start = time.monotonic()
        wait_for(lambda: window_text(hwnd) == want, CHANGE_TIMEOUT, 0.05, f"the title strip to show {want!r}")
        took = time.monotonic() - start
        if limit is not None:
            self.assertLessEqual(took, limit, f"the title strip took {took:.2f} s to show {want!r}")
        return took

    def hold_strip(self, bar: Bar, title: bytes | str, seconds: float = HOLD,
                   during: str = "") -> None:
        """The strip keeps showing title for the whole time."""
        want = title.encode("cp932") if isinstance(title, str) else title
        hwnd = strip_hwnd(bar)
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.assertEqual(window_text(hwnd), want, f"the title strip changed {during}")
            time.sleep(0.1)

    def wait_foreground(self, hwnd: str, what: str) -> None:
        wait_for(lambda: foreground()[0] == hwnd, CHANGE_TIMEOUT, 0.05, f"{what} to be the foreground window")

    def make_foreground(self, hwnd: str, what: str) -> None:
        set_foreground(hwnd)
        self.wait_foreground(hwnd, what)

    def wait_bar_at(self, bar: Bar, where: tuple[int, int], limit: Optional[float] = REACT_LIMIT) -> float:
        start = time.monotonic()
        wait_for(lambda: top_left(window_rect(bar.hwnd)) == where, CHANGE_TIMEOUT, 0.05,
                 f"the bar's top-left corner to reach {where}")
        took = time.monotonic() - start
        if limit is not None:
            self.assertLessEqual(took, limit, f"the bar took {took:.2f} s to reach {where}")
        return took

    def hold_bar_at(self, bar: Bar, where: tuple[int, int], seconds: float = HOLD, during: str = "") -> None:
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.assertEqual(top_left(window_rect(bar.hwnd)), where, f"the bar moved {during}")
            time.sleep(0.1)


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

        bar.click(1007)  # user string 1, which holds no text

        def message_box() -> Optional[str]:
            for w in top_windows("TAVRIN"):
                if w.pid == pid and w.visible and w.cls == "#32770":
                    return w.hwnd
            return None

        box = wait_for(message_box, CHANGE_TIMEOUT, 0.1, "the message box titled TAVRIN")
        self.addCleanup(close_dialog, box)
        texts = [c.text for c in children(box)]
        self.assertIn("代筆する文字が登録されていません。".encode("cp932"), texts)
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
        self.wait_bar_at(bar, (123, 50))
        self.hold_bar_at(bar, (123, 50), during="while the target stood still")

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
            self.wait_bar_at(bar, (x + 23, y))

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
        self.wait_bar_at(bar, self.docked_at(bar, target.hwnd, 0))

    def test_still_target_causes_no_move(self):
        # Every placement of the bar puts it on top of the topmost windows, so
        # a window that is shown in front of the bar stays in front exactly as
        # long as the bar is not placed again.
        bar = self.start_following(0)
        target = self.foreign_window("Still target", rect=self.TARGET_RECT)
        where = self.docked_at(bar, target.hwnd, 0)
        self.wait_bar_at(bar, where)
        bar.settle()
        cover = self.winctl_window("topmost", "Cover", 280, 230, 400, 120)
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
        self.wait_bar_at(bar, (343, 250))
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
        drag(bare_spot(bar.state()), (150, 300), watch=lambda: seen.add(top_left(window_rect(bar.hwnd))))
        self.assertTrue(seen - {where}, "the drag did not move the bar")
        self.wait_bar_at(bar, where)


class KeptOnTop(BarTestCase):
    TARGET_RECT = (300, 250, 520, 320)

    def follow_once(self, option: int) -> Bar:
        preset({"Setting": {"Option": option, "Pos": 0}})
        bar = self.start_bar()
        self.foreign_window("Docking target", rect=self.TARGET_RECT)
        self.wait_bar_at(bar, (323, 250))
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
