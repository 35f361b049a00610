"""TAVRIN.EXE as the tests start, watch and stop it, and what its layout must
be: control ids, the page table and the rules for the packed custom page."""

import contextlib
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Iterable, Optional

from . import product
from .common import CHANGE_TIMEOUT, EXIT_TIMEOUT, SCALE, START_TIMEOUT, TAVRIN_EXE, TimedOut, wait_for
from .probe import (
    Child, Rect, TopWindow, children, client_rect, post, probe, probe_run, top_windows, wait_stable, window_exists,
    window_rect, window_text,
)
from .product import (
    IDC_ADDRESS, IDC_FAMILYNAME, IDC_FULLNAME, IDC_GIVENNAME, IDC_HOMEPAGE, IDC_MAIL, IDC_NEXT, IDC_PHONE, IDC_PREV,
    IDC_TARGET, IDC_TARGETTITLE, IDC_ZIP,
)
from .session import WineProcess
from .xinput import click

BAR_TITLE = "Tavrin"

# Control ids of the bar, by the names the cases use.
OK_BUTTON, CANCEL_BUTTON = 1, 2  # the template's hidden IDOK and IDCANCEL
STRIP, TARGET, PREV, NEXT = IDC_TARGETTITLE, IDC_TARGET, IDC_PREV, IDC_NEXT
FULL_NAME, FAMILY_NAME, GIVEN_NAME, ZIP, ADDRESS, PHONE, MAIL, HOMEPAGE = (
    IDC_FULLNAME, IDC_FAMILYNAME, IDC_GIVENNAME, IDC_ZIP, IDC_ADDRESS, IDC_PHONE, IDC_MAIL, IDC_HOMEPAGE)
USER_STRINGS = [getattr(product, f"IDC_STRING{n}") for n in range(1, 11)]
LAUNCH = [getattr(product, f"IDC_LAUNCH{n}") for n in range(1, 11)]

# The page table (bar/PageTable.cpp): own buttons in display order and their x in
# dialog units. Page 3 is the custom page, packed from CUSTOM_START_X.
PAGE_BUTTONS = {1: [FULL_NAME, FAMILY_NAME, GIVEN_NAME, ZIP, ADDRESS, PHONE, MAIL, HOMEPAGE], 2: USER_STRINGS,
                4: LAUNCH}
PAGE_X = {
    1: [17, 28, 39, 57, 68, 79, 96, 119],
    2: [17, 28, 39, 50, 61, 76, 87, 98, 109, 120],
    4: [17, 28, 39, 50, 61, 76, 87, 98, 109, 120],
}
FIXED_X = {PREV: 1, NEXT: 151, TARGET: 135}
CUSTOM_PREV_X, CUSTOM_START_X = 1, 17
ALL_PAGE_BUTTONS = frozenset(i for ids in PAGE_BUTTONS.values() for i in ids)
CUSTOM_DEFAULT = [FULL_NAME, FAMILY_NAME, GIVEN_NAME] + USER_STRINGS[:3]  # the custom page of a first start


@dataclass(frozen=True)
class BarState:
    """One look at the bar: its window rectangle and its children."""
    hwnd: str
    rect: Rect
    client: Rect
    controls: tuple[Child, ...]

    def child(self, control_id: int) -> Child:
        found = [c for c in self.controls if c.id == control_id]
        assert found, f"the bar has no control {control_id}"
        return found[0]

    def shown_page_buttons(self) -> list[int]:
        """Ids of the visible page buttons (not ←, →, 的), left to right."""
        shown = [c for c in self.controls if c.id in ALL_PAGE_BUTTONS and c.visible]
        return [c.id for c in sorted(shown, key=lambda c: c.client.left)]

    def page(self, custom: Iterable[int] = CUSTOM_DEFAULT) -> Optional[int]:
        """The page whose buttons are exactly the visible ones (page 3: custom)."""
        shown = self.shown_page_buttons()
        return next((n for n, ids in PAGE_BUTTONS.items() if shown == ids), 3 if shown == list(custom) else None)


class Bar:
    def __init__(self, foreign: Iterable[str] = (), exe: Path = TAVRIN_EXE) -> None:
        self.exe = exe  # another build for the benchmarks
        self.proc: Optional[WineProcess] = None
        self.hwnd = ""
        self.still_for = 0.0  # seconds the bar had kept still when start() returned
        self.foreign = set(foreign)  # windows titled "Tavrin" that are not this bar

    def start(self, wait: bool = True) -> "Bar":
        self.proc = WineProcess(self.exe, capture=False)
        if wait:
            self.hwnd = wait_for(self._own_window, START_TIMEOUT, 0.2, "the bar window titled Tavrin")
            self.still_for = self.settle()
        return self

    def _own_window(self) -> Optional[str]:
        if self.proc is not None and not self.proc.running():
            raise AssertionError(f"TAVRIN.EXE ended (status {self.proc.popen.returncode}) instead of showing the bar")
        return next((w.hwnd for w in top_windows(BAR_TITLE) if w.visible and w.hwnd not in self.foreign), None)

    def settle(self) -> float:
        """Waits for the bar to keep still; returns how long it had by then."""
        return wait_stable(self.hwnd)

    def state(self) -> BarState:
        return BarState(self.hwnd, window_rect(self.hwnd), client_rect(self.hwnd), tuple(children(self.hwnd)))

    def click(self, control_id: int) -> None:
        click(*self.state().child(control_id).screen.center)

    def wait_state(self, condition: Callable[[BarState], bool], message: str) -> BarState:
        """Waits until condition holds for the settled bar; returns that state."""
        def check() -> Optional[BarState]:
            self.settle()
            s = self.state()
            return s if condition(s) else None
        return wait_for(check, CHANGE_TIMEOUT, 0.1, message)

    def wait_page(self, page: int, custom: Iterable[int] = CUSTOM_DEFAULT) -> BarState:
        custom = list(custom)
        return self.wait_state(lambda s: s.page(custom) == page, f"page {page} to show")

    def turn(self, button: int, page: int) -> BarState:
        """Clicks ← or → and waits for page to show."""
        self.click(button)
        return self.wait_page(page)

    def close(self, timeout: float = EXIT_TIMEOUT) -> Optional[int]:
        """WM_CLOSE from outside, as a task manager sends it; returns the exit status."""
        assert self.proc is not None
        post(self.hwnd, "WM_CLOSE")
        status = self.proc.wait(timeout)
        if status is None:
            raise TimedOut(f"TAVRIN.EXE did not end within {timeout:.0f} s of WM_CLOSE")
        return status

    def stop(self) -> None:
        """Clean-up: close politely, then by force; never fails."""
        if self.proc is None or not self.proc.running():
            return
        with contextlib.suppress(Exception):  # clean-up goes on whatever happened
            if self.hwnd and window_exists(self.hwnd):
                probe_run("post", self.hwnd, "WM_CLOSE", 0, 0)
                if self.proc.wait(10 * SCALE) is not None:
                    return
        self.proc.kill()


def end_window(w: TopWindow) -> None:
    """WM_CLOSE, and the end of its process if it is still there ten seconds later."""
    probe_run("post", w.hwnd, "WM_CLOSE", 0, 0)
    if probe_run("waitdead", w.hwnd, int(10000 * SCALE))[0] != 0:
        probe_run("kill", w.pid)


def end_stray_bars(foreign: Iterable[str] = ()) -> None:
    """Ends any bar left over from an earlier test."""
    skip = set(foreign)
    for w in top_windows(BAR_TITLE):
        if w.hwnd not in skip:
            end_window(w)


def strip_hwnd(bar: Bar) -> str:
    return bar.state().child(STRIP).hwnd


def strip_text(bar: Bar) -> bytes:
    return window_text(strip_hwnd(bar))


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
