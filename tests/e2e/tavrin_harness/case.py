"""The base test cases: every test starts from an empty registry with no bar
running, and every program it started is ended afterwards."""

from __future__ import annotations

import time
import unittest
from typing import Callable, Iterable, Optional

from .bar import CUSTOM_DEFAULT, Bar, BarState, end_stray_bars, strip_hwnd
from .common import CHANGE_TIMEOUT, HOLD, PROBE_EXE, REACT_LIMIT, TAVRIN_EXE, WINE_RUN, wait_for
from .layout import Template, actual_layout, expected_layout
from .probe import foreground, set_foreground, top_left, window_rect, window_text
from .programs import ForeignWindow, HolderWindow, Target
from .registry import reg_clear
from .session import ensure_display
from .xinput import PARK, mouse_move


class TavrinTestCase(unittest.TestCase):
    """Starts every test from an empty registry with no bar running and
    cleans up every program the test started."""

    maxDiff = None

    @classmethod
    def setUpClass(cls) -> None:
        ensure_display()
        for exe in (TAVRIN_EXE, PROBE_EXE, WINE_RUN):
            if not exe.exists():
                raise unittest.SkipTest(f"{exe} is missing: build first (scripts/test.sh does)")

    def setUp(self) -> None:
        self._bars: list[Bar] = []
        self._foreign: list[ForeignWindow] = []
        self._targets: list[Target] = []
        self._templates: dict[str, Template] = {}
        end_stray_bars()
        reg_clear()
        mouse_move(*PARK)

    def tearDown(self) -> None:
        for bar in self._bars:
            bar.stop()
        for t in self._targets:
            try:
                t.close()
            except Exception:  # noqa: BLE001
                t.proc.kill()
        for f in self._foreign:
            try:
                f.close()
            except Exception:  # noqa: BLE001
                f.proc.kill()
        end_stray_bars(f.hwnd for f in self._foreign)

    # Helpers that register what they start for clean-up.

    def start_bar(self, wait: bool = True) -> Bar:
        bar = Bar(f.hwnd for f in self._foreign)
        self._bars.append(bar)
        return bar.start(wait)

    def foreign_window(self, title: str | bytes, cls: str = "-",
                       rect: Optional[tuple[int, int, int, int]] = None) -> ForeignWindow:
        w = ForeignWindow(title, cls, rect)
        self._foreign.append(w)
        for bar in self._bars:
            bar.foreign.add(w.hwnd)
        return w

    def target(self, title: str | bytes, *options: object) -> Target:
        t = Target(title, *options)
        self._targets.append(t)
        return t

    quiet = HOLD  # how long assert_stays watches unless told

    def assert_stays(self, read: Callable[[], object], expected: object, what: str,
                     seconds: Optional[float] = None) -> None:
        """read() keeps returning expected for the given time."""
        deadline = time.monotonic() + (self.quiet if seconds is None else seconds)
        while True:
            self.assertEqual(read(), expected, what)
            if time.monotonic() >= deadline:
                return
            time.sleep(0.1)

    def holder_window(self, kind: str, *args: object) -> HolderWindow:
        w = HolderWindow(kind, *args)
        self.addCleanup(w.close)
        return w

    def template(self, bar_hwnd: str) -> Template:
        """The bar's template mapped at the prefix's DPI (once per bar)."""
        if bar_hwnd not in self._templates:
            self._templates[bar_hwnd] = Template(bar_hwnd)
        return self._templates[bar_hwnd]

    def assertLayout(self, state: BarState, page: int, strip: bool = True,
                     custom: Iterable[int] = CUSTOM_DEFAULT, custom_target: bool = False, dpi: int = 96,
                     t: Optional[Template] = None) -> None:
        """The bar shows PAGE laid out as the page table says."""
        exp = expected_layout(state, t or self.template(state.hwnd), page, strip, custom, custom_target, dpi)
        self.assertEqual(actual_layout(state, exp), exp,
                         f"layout of page {page} at {dpi} DPI, strip {'on' if strip else 'off'}")


class BarTestCase(TavrinTestCase):
    """Helpers for watching the title strip, the foreground window and the
    bar's position over time."""

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
        self.assert_stays(lambda: window_text(hwnd), want, f"the title strip changed {during}", seconds)

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
        self.assert_stays(lambda: top_left(window_rect(bar.hwnd)), where, f"the bar moved {during}", seconds)


def main() -> None:
    """Runs the test file's cases; the exit status is non-zero on any failure."""
    unittest.main(module="__main__", verbosity=2)
