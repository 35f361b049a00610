"""The bar at 96, 120, 144 and 192 DPI (the test prefix's LogPixels): every
control where its dialog units put it in the bar's own font plus the bar's
fixed pixel numbers scaled by DPI / 96, every caption fitting its button, the
docking offsets scaled, and a bar that WM_DPICHANGED moved to another DPI
matching one started there. At 96 DPI all of it is today's pixels. Screenshots: build/screenshots/dpi-*.png."""

import contextlib
import os
import subprocess
from pathlib import Path

from tavrin_harness import (
    CUSTOM_DEFAULT, NEXT, PAGE_BUTTONS, PAGE_X, PREV, STRIP, TARGET, TAVRIN_EXE, WINE_RUN, Bar, BarState,
    TavrinTestCase, TimedOut, main, preset, screenshot, wait_for, window_rect,
)

DPIPROBE_EXE = Path(os.environ["DPIPROBE_EXE"])  # from CMake, as every helper's path
DPIS = (96, 120, 144, 192)
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"  # where Wine reads LogPixels at a process's start

# The bar's own pixel numbers at 96 DPI.
STRIP_HEIGHT, TARGET_GAP, NEXT_GAP, RIGHT_MARGIN, BOTTOM_MARGIN = 16, 5, 6, 7, 2
DOCK = {0: 23, 1: 69, 2: 8, 3: 11}
FIXED_X = {PREV: 1, NEXT: 151, TARGET: 135}
CUSTOM_PREV_X, CUSTOM_START_X = 1, 17
# A caption must leave at least this much of its button on each side (at 96
# DPI "HP" leaves 1.5 pixels, as it always has).
BUTTON_EDGE = 1


def scaled(px: int, dpi: int) -> int:
    """MulDiv(px, dpi, 96): the nearest pixel, halves up."""
    return (px * dpi + 48) // 96


def wine(*args: object, check: bool = True) -> str:
    r = subprocess.run([str(WINE_RUN), *map(str, args)], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL, timeout=120)
    if check and r.returncode != 0:
        raise AssertionError(f"{' '.join(map(str, args))} exited {r.returncode}")
    return r.stdout.decode("ascii", "replace").replace("\r", "")


def dpiprobe(*args: object) -> list[str]:
    return wine(DPIPROBE_EXE, *args).splitlines()


def log_pixels() -> str:
    """The prefix's own LogPixels value ("" when it has none)."""
    for line in wine("reg", "query", DESKTOP_KEY, "/v", "LogPixels", check=False).splitlines():
        if "LogPixels" in line:
            return str(int(line.split()[-1], 16))
    return ""


def set_log_pixels(value: str) -> None:
    if value:
        wine("reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", value, "/f")
    else:
        wine("reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f", check=False)


def top_left(r) -> tuple[int, int]:
    return r.left, r.top


def geometry(s: BarState) -> dict[object, tuple]:
    """The bar's place and size and each control's place, size and visibility."""
    return {"bar": (s.rect.left, s.rect.top, s.rect.width, s.rect.height),
            **{c.id: (c.client.left, c.client.top, c.screen.width, c.screen.height, c.visible) for c in s.controls}}


class Template:
    """The bar's template as a per-monitor aware copy maps it at this DPI."""

    def __init__(self, bar: str) -> None:
        xs = sorted({*FIXED_X.values(), CUSTOM_PREV_X, CUSTOM_START_X, *(x for p in PAGE_X.values() for x in p)})
        self.map: dict[int, int] = {}
        self.size: dict[int, tuple[int, int]] = {}
        self.fit: dict[int, tuple[int, int, int, int]] = {}
        for line in dpiprobe("template", TAVRIN_EXE, bar, *xs):
            kind, *v = line.split()
            values = list(map(int, v))
            if kind == "map":
                self.map[values[0]] = values[1]
            elif kind == "size":
                self.size[values[0]] = (values[1], values[2])
            elif kind == "fit":
                self.fit[values[0]] = tuple(values[1:])  # type: ignore[assignment]


class DpiTest(TavrinTestCase):
    @classmethod
    def setUpClass(cls) -> None:
        super().setUpClass()
        cls.saved_log_pixels = log_pixels()

    def tearDown(self) -> None:
        try:
            super().tearDown()
        finally:
            set_log_pixels(self.saved_log_pixels)  # the other tests share this prefix

    def start_at(self, dpi: int, settings: dict) -> Bar:
        set_log_pixels(str(dpi))
        self.assertEqual(dpiprobe("dpi"), [f"{dpi} {dpi}"], "the prefix's DPI did not take")
        preset({"Setting": {"PageNo": 1, **settings}})  # subtests share one registry
        return self.start_bar()

    def expected(self, s: BarState, t: Template, page: int, strip: bool, dpi: int) -> dict[str, object]:
        y = scaled(STRIP_HEIGHT, dpi) if strip else 0
        exp: dict[str, object] = {}
        if page == 3:
            own, shown = CUSTOM_DEFAULT, CUSTOM_DEFAULT + [PREV, NEXT]
            exp[f"x {PREV}"] = t.map[CUSTOM_PREV_X]
            x = t.map[CUSTOM_START_X]
            for i in own:
                exp[f"x {i}"] = x
                x += t.size[i][0]
            exp[f"x {NEXT}"] = x + scaled(NEXT_GAP, dpi)
        else:
            shown = PAGE_BUTTONS[page] + [PREV, NEXT, TARGET]
            for i, x in [*FIXED_X.items(), *zip(PAGE_BUTTONS[page], PAGE_X[page])]:
                exp[f"x {i}"] = t.map[x]
        for i in shown:
            exp[f"y {i}"] = y
            exp[f"size {i}"] = t.size[i]
            exp[f"visible {i}"] = True
        exp[f"visible {STRIP}"] = strip
        exp["bar width"] = s.child(NEXT).client.right + scaled(RIGHT_MARGIN, dpi)
        exp["bar height"] = s.child(PREV).screen.bottom - s.rect.top + scaled(BOTTOM_MARGIN, dpi)
        return exp

    @staticmethod
    def actual(s: BarState, exp: dict[str, object]) -> dict[str, object]:
        act: dict[str, object] = {"bar width": s.rect.width, "bar height": s.rect.height}
        for key in exp:
            what, _, ident = key.partition(" ")
            if what in ("x", "y", "size", "visible"):
                c = s.child(int(ident))
                act[key] = {"x": c.client.left, "y": c.client.top, "visible": c.visible,
                            "size": (c.screen.width, c.screen.height)}[what]
        return act

    def check_page(self, s: BarState, t: Template, page: int, strip: bool, dpi: int) -> None:
        exp = self.expected(s, t, page, strip, dpi)
        self.assertEqual(self.actual(s, exp), exp, f"page {page} at {dpi} DPI, strip {strip}")
        # Nothing is cut off: every control lies inside the bar's window (at
        # 96 DPI the frame has always covered the row's lowest pixel), and
        # every caption, centred in its button, inside the client area and
        # within the button's frame.
        for c in s.controls:
            if not c.visible or c.id == STRIP:
                continue
            self.assertTrue(s.rect.left <= c.screen.left and c.screen.right <= s.rect.right and
                            s.rect.top <= c.screen.top and c.screen.bottom <= s.rect.bottom,
                            f"control {c.id} {c.screen} outside the bar {s.rect} at {dpi} DPI")
            text_w, text_h, w, h = t.fit[c.id]
            self.assertLessEqual(text_w + 2 * BUTTON_EDGE, w, f"caption of {c.id} wider than its button at {dpi} DPI")
            self.assertLessEqual(text_h + 2 * BUTTON_EDGE, h, f"caption of {c.id} taller than its button at {dpi} DPI")
            text_left = c.client.left + (w - text_w) // 2
            text_top = c.client.top + (h - text_h) // 2
            self.assertTrue(text_left >= 0 and text_left + text_w <= s.client.width and
                            text_top + text_h <= s.client.height, f"caption of {c.id} cut off at {dpi} DPI")

    def test_layout_of_every_page_at_each_dpi(self):
        for dpi in DPIS:
            with self.subTest(dpi=dpi):
                bar = self.start_at(dpi, {"Option": 1, "Position": "100,100"})
                try:
                    self.check_pages(bar, dpi)
                finally:
                    bar.stop()

    def check_pages(self, bar: Bar, dpi: int) -> None:
        t = Template(bar.hwnd)
        self.check_page(bar.wait_page(1), t, 1, True, dpi)
        screenshot(f"dpi-{dpi}-page1")
        for page in (2, 3, 4):
            bar.click(NEXT)
            self.check_page(bar.wait_page(page), t, page, True, dpi)
        bar.click(TARGET)
        s = bar.wait_state(lambda s: not s.visible(STRIP), "the title strip to hide")
        self.check_page(s, t, 4, False, dpi)
        screenshot(f"dpi-{dpi}-page4")

    def test_a_bar_moved_to_another_dpi_matches_one_started_there(self):
        # Xvfb has one monitor at one DPI: the move is the message alone.
        settings = {"Option": 1, "Position": "150,600"}
        bar = self.start_at(144, settings)
        try:
            started = geometry(bar.wait_page(1))
        finally:
            bar.stop()
        bar = self.start_at(96, settings)
        try:
            r = window_rect(bar.hwnd)
            dpiprobe("dpichanged", bar.hwnd, 144, 150, 600, 150 + r.width * 3 // 2, 600 + r.height * 3 // 2)
            with contextlib.suppress(TimedOut):
                bar.wait_state(lambda s: geometry(s) == started, "the moved bar to match")
            self.assertEqual(geometry(bar.state()), started, "moved to 144 DPI versus started at 144 DPI")
        finally:
            bar.stop()

    def test_docking_offsets_scale(self):
        # One corner per DPI covers all four; 96 DPI gives today's offsets.
        for corner, dpi in enumerate(DPIS):
            with self.subTest(dpi=dpi, corner=corner):
                bar = self.start_at(dpi, {"Option": 5, "Pos": corner, "Position": "100,100"})
                target = self.foreign_window(f"Docking target {dpi}", rect=(200, 420, 760, 300))
                t = window_rect(target.hwnd)
                b = window_rect(bar.hwnd)
                offset = scaled(DOCK[corner], dpi)
                where = {0: (t.left + offset, t.top), 1: (t.right - b.width - offset, t.top),
                         2: (t.left + offset, t.bottom - b.height), 3: (t.right - b.width - offset, t.bottom - b.height)}
                try:
                    wait_for(lambda: top_left(window_rect(bar.hwnd)) == where[corner], 20, 0.2,
                             f"the bar docked at corner {corner} {where[corner]}")
                    bar.settle()
                    screenshot(f"dpi-{dpi}-docked")
                finally:
                    bar.stop()
                    target.close()


if __name__ == "__main__":
    main()
