"""Opening, using and closing the bar's menu, with time-outs.

Under Wine a popup menu (a visible window of class #32768) shows at once but
takes input only about a second later, so every key or click meant for a
menu waits for that and is repeated while the menu stays open; every wait has
a time-out, and a menu left open is closed before the bar is stopped."""

from __future__ import annotations

import time
from typing import Callable, Optional

from .bar import Bar, bare_spot
from .case import BarTestCase
from .common import CHANGE_TIMEOUT, HOLD, SCALE, TimedOut, wait_for
from .probe import Rect, probe, probe_run, visible_menus
from .xinput import PARK, click, mouse_move

MENU_READY = 1.2   # seconds after a menu shows before Wine's menu loop takes input
MENU_TRIES = 6

# RegisterHotKey's modifiers and the bar's default hot key.
MOD_CONTROL, MOD_SHIFT = 2, 4
VK_W = 0x57
ERROR_HOTKEY_ALREADY_REGISTERED = 1409


class MenuTestCase(BarTestCase):
    """Opening, using and closing the bar's menu with time-outs."""

    def setUp(self) -> None:
        super().setUp()
        self._menu_shown_at = 0.0

    def tearDown(self) -> None:
        # A menu left open by a failing test: Escape, and if that does not
        # help, stopping the bar ends it.
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

    def assert_no_menu(self, seconds: float = HOLD, why: str = "") -> None:
        self.assert_stays(visible_menus, [], f"a menu is open {why}", seconds)

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
