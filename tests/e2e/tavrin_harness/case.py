"""The base test cases: every test starts from an empty registry with no bar
running, and every program it started is ended afterwards. Under Wine a menu
takes input only about a second after it shows: MenuTestCase waits for that."""

import os
import sys
import time
import unittest
from typing import Callable, Iterable, Optional

from .bar import CUSTOM_DEFAULT, Bar, BarState, bare_spot, end_stray_bars, strip_hwnd
from .common import (
    BUILD_DIR, CHANGE_TIMEOUT, HOLD, PROBE_EXE, REACT_LIMIT, REPO, SCALE, TAVRIN_EXE, WINE_RUN, TimedOut, sjis,
    wait_for,
)
from .layout import Template, actual_layout, expected_layout
from .probe import Rect, foreground, probe, probe_run, set_foreground, top_left, visible_menus, window_rect, window_text
from .programs import ForeignWindow, HolderWindow, Target
from .registry import preset, reg_clear
from .xinput import PARK, click, mouse_move

MENU_READY = 1.2   # seconds after a menu shows before Wine's menu loop takes input
MENU_TRIES = 6

# RegisterHotKey's modifiers and the bar's default hot key.
MOD_CONTROL, MOD_SHIFT = 2, 4
VK_W = 0x57
ERROR_HOTKEY_ALREADY_REGISTERED = 1409


class TavrinTestCase(unittest.TestCase):
    maxDiff = None
    quiet = HOLD  # how long assert_stays watches unless told

    @classmethod
    def setUpClass(cls) -> None:
        for exe in (TAVRIN_EXE, PROBE_EXE, WINE_RUN):
            if not exe.exists():
                raise unittest.SkipTest(f"{exe} is missing: build first (scripts/test.sh does)")

    def setUp(self) -> None:
        self._bars: list[Bar] = []
        self._windows: list[ForeignWindow | Target] = []
        self._templates: dict[str, Template] = {}
        end_stray_bars()
        reg_clear()
        mouse_move(*PARK)

    def tearDown(self) -> None:
        for bar in self._bars:
            bar.stop()
        for w in self._windows:
            try:
                w.close()
            except Exception:  # noqa: BLE001
                w.proc.kill()
        end_stray_bars(w.hwnd for w in self._windows if isinstance(w, ForeignWindow))

    # Programs started here are ended by tearDown.

    def start_bar(self, settings: Optional[dict[str, dict[str, object]]] = None, wait: bool = True) -> Bar:
        """Starts the bar, with these settings stored first (see preset)."""
        if settings:
            preset(settings)
        bar = Bar(w.hwnd for w in self._windows if isinstance(w, ForeignWindow))
        self._bars.append(bar)
        return bar.start(wait)

    def foreign_window(self, title: str | bytes, cls: str = "-",
                       rect: Optional[tuple[int, int, int, int]] = None) -> ForeignWindow:
        w = ForeignWindow(title, cls, rect)
        self._windows.append(w)
        for bar in self._bars:
            bar.foreign.add(w.hwnd)
        return w

    def tracked_window(self, bar: Bar, title: str, rect: tuple[int, int, int, int] = (600, 300, 320, 200),
                       cls: str = "-") -> ForeignWindow:
        """A window of another program in front, shown in the strip within about a second."""
        w = self.foreign_window(title, cls, rect)
        self.wait_strip(bar, title)
        return w

    def target(self, title: str | bytes, *options: object) -> Target:
        t = Target(title, *options)
        self._windows.append(t)
        return t

    def holder_window(self, kind: str, *args: object) -> HolderWindow:
        w = HolderWindow(kind, *args)
        self.addCleanup(w.close)
        return w

    def hotkey_holder(self, mods: int, vk: int) -> tuple[HolderWindow, str]:
        """Another program that registers the combination; returns it and its answer."""
        h = self.holder_window("hotkey", mods, vk)
        return h, h.proc.readline()

    # Waiting and checking.

    def assert_stays(self, read: Callable[[], object], expected: object, what: str,
                     seconds: Optional[float] = None) -> None:
        deadline = time.monotonic() + (self.quiet if seconds is None else seconds)
        while True:
            self.assertEqual(read(), expected, what)
            if time.monotonic() >= deadline:
                return
            time.sleep(0.1)

    def assert_reaches(self, read: Callable[[], object], want: object, what: str,
                       limit: Optional[float] = REACT_LIMIT) -> None:
        """read() comes to return want, within limit seconds (when given)."""
        start = time.monotonic()
        wait_for(lambda: read() == want, CHANGE_TIMEOUT, 0.05, f"{what} {want!r}")
        took = time.monotonic() - start
        if limit is not None:
            self.assertLessEqual(took, limit, f"{what} {want!r} took {took:.2f} s")

    def wait_strip(self, bar: Bar, title: bytes | str, limit: Optional[float] = REACT_LIMIT) -> None:
        hwnd = strip_hwnd(bar)
        self.assert_reaches(lambda: window_text(hwnd), sjis(title), "the title strip to show", limit)

    def hold_strip(self, bar: Bar, title: bytes | str, seconds: float = HOLD, during: str = "") -> None:
        hwnd = strip_hwnd(bar)
        self.assert_stays(lambda: window_text(hwnd), sjis(title), f"the title strip changed {during}", seconds)

    def wait_bar_at(self, bar: Bar, where: tuple[int, int], limit: Optional[float] = REACT_LIMIT) -> None:
        self.assert_reaches(lambda: top_left(window_rect(bar.hwnd)), where, "the bar's top-left corner to reach",
                            limit)

    def hold_bar_at(self, bar: Bar, where: tuple[int, int], during: str) -> None:
        self.assert_stays(lambda: top_left(window_rect(bar.hwnd)), where, f"the bar moved {during}", HOLD)

    def wait_foreground(self, hwnd: str, what: str, timeout: float = CHANGE_TIMEOUT) -> None:
        wait_for(lambda: foreground()[0] == hwnd, timeout, 0.05, f"{what} to be the foreground window")

    def make_foreground(self, hwnd: str, what: str) -> None:
        set_foreground(hwnd)
        self.wait_foreground(hwnd, what)

    def make_current(self, bar: Bar, target: ForeignWindow | Target, title: str | bytes) -> None:
        """Brings target forward and waits until the bar has taken it as its target."""
        self.assertTrue(set_foreground(target.hwnd), "the target did not come to the foreground")
        self.wait_strip(bar, title, limit=None)

    def template(self, bar_hwnd: str) -> Template:
        """The bar's template mapped at the prefix's DPI (once per bar)."""
        if bar_hwnd not in self._templates:
            self._templates[bar_hwnd] = Template(bar_hwnd)
        return self._templates[bar_hwnd]

    def assertLayout(self, state: BarState, page: int, strip: bool = True, custom: Iterable[int] = CUSTOM_DEFAULT,
                     dpi: int = 96, t: Optional[Template] = None) -> None:
        """The bar shows PAGE laid out as the page table says."""
        exp = expected_layout(state, t or self.template(state.hwnd), page, strip, custom, dpi)
        self.assertEqual(actual_layout(state, exp), exp,
                         f"layout of page {page} at {dpi} DPI, strip {'on' if strip else 'off'}")


class MenuTestCase(TavrinTestCase):
    _menu_shown_at = 0.0

    def tearDown(self) -> None:
        # A menu left open by a failing test: Escape, else stopping the bar ends it.
        for _ in range(3):
            if not visible_menus():
                break
            time.sleep(MENU_READY)
            probe_run("keys", "esc")
            time.sleep(0.5)
        super().tearDown()

    def wait_menu(self, how: str) -> Rect:
        """Waits for the menu; exactly one must show. Returns its rectangle."""
        menus = wait_for(visible_menus, CHANGE_TIMEOUT, 0.05, f"the menu to open ({how})")
        self._menu_shown_at = time.monotonic()
        self.assertEqual(len(menus), 1, f"{len(menus)} menus opened ({how})")
        return menus[0]

    def assert_menu_below(self, bar: Bar, how: str) -> None:
        """One menu opens below the bar's lower left corner, and Escape closes it."""
        menu = self.wait_menu(how)
        self.wait_foreground(bar.hwnd, "the bar")
        r = window_rect(bar.hwnd)
        self.assertEqual(top_left(menu), (r.left, r.bottom))
        self.close_menu(how)

    def assert_no_menu(self, why: str) -> None:
        self.assert_stays(visible_menus, [], f"a menu is open {why}", HOLD)

    def menu_input(self, send: Callable[[], None], done: Callable[[], object], what: str) -> None:
        """Sends input to the open menu once it takes input, again while the
        menu stays open and done() is false."""
        for _ in range(MENU_TRIES):
            wait = self._menu_shown_at + MENU_READY - time.monotonic()
            if wait > 0:
                time.sleep(wait)
            send()
            try:
                wait_for(done, 2 * SCALE, 0.05, what)
                return
            except TimedOut:
                if not visible_menus():
                    raise
        self.fail(f"the menu ignored {MENU_TRIES} tries waiting for {what}")

    def menu_key(self, key: str, done: Callable[[], object], what: str) -> None:
        self.menu_input(lambda: probe("keys", key), done, what)

    def close_menu(self, how: str) -> None:
        """Escape closes the menu, and no second menu opens after it."""
        self.menu_key("esc", lambda: not visible_menus(), "the menu to close")
        self.assert_no_menu(why=f"again after the menu opened by {how} was closed")

    def exit_by_mnemonic(self, bar: Bar) -> None:
        assert bar.proc is not None
        self.menu_key("x", lambda: not bar.proc.running(), "TAVRIN.EXE to end after Exit")

    def keyboard_menu(self, bar: Bar) -> Rect:
        """Shift+F10 on the foreground bar."""
        self.make_foreground(bar.hwnd, "the bar")
        probe("keys", "shift+f10")
        return self.wait_menu("Shift+F10")

    def right_click_menu(self, bar: Bar, point: Optional[tuple[int, int]] = None) -> tuple[Rect, tuple[int, int]]:
        point = point or bare_spot(bar.state())
        click(*point, button=3, park=False)
        menu = self.wait_menu("a right click")
        mouse_move(*PARK)
        return menu, point


def main() -> None:
    if not os.environ.get("DISPLAY"):
        # Run by hand without a display: again under scripts/session.sh, which
        # starts a private Xvfb and wineserver and stops them at the end.
        script = f'ROOT="{REPO}" BUILD_DIR="{BUILD_DIR}" && . "$ROOT/scripts/session.sh" && python3 "$@"'
        os.execvp("bash", ["bash", "-c", script, "bash", *sys.argv])
    unittest.main(module="__main__", verbosity=2)
