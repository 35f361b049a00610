"""The bar at 96, 120, 144 and 192 DPI (the test prefix's LogPixels): the
layout, every caption fitting its button, the docking offsets scaled, and a
bar that WM_DPICHANGED moved to another DPI matching one started there."""

import contextlib
import struct
import subprocess

from tavrin_harness import *  # noqa: F403

DPIS = (96, 120, 144, 192)
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"  # where Wine reads LogPixels at a process's start
# A caption must leave at least this much of its button on each side (at 96
# DPI "HP" leaves 1.5 pixels, as it always has).
BUTTON_EDGE = 1
WM_DPICHANGED, WM_GETDPISCALEDSIZE = 0x02E0, 0x02E4


def reg(*args: str) -> tuple[int, list[str]]:
    """Wine's reg.exe on the test prefix: its exit status and output lines."""
    r = subprocess.run([str(WINE_RUN), "reg", *args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL, timeout=PROBE_TIMEOUT)
    return r.returncode, r.stdout.decode("ascii", "replace").splitlines()


def log_pixels() -> str:
    """The prefix's own LogPixels value ("" when it has none)."""
    lines = reg("query", DESKTOP_KEY, "/v", "LogPixels")[1]
    return next((str(int(line.split()[-1], 16)) for line in lines if "LogPixels" in line), "")


def set_log_pixels(value: str) -> None:
    if value:
        rc = reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", value, "/f")[0]
        assert rc == 0, f"reg add LogPixels {value} exited {rc}"
    else:
        reg("delete", DESKTOP_KEY, "/v", "LogPixels", "/f")


def geometry(s: BarState) -> dict[object, tuple]:
    """The bar's place and size and each control's place, size and visibility."""
    return {"bar": (s.rect.left, s.rect.top, s.rect.width, s.rect.height),
            **{c.id: (c.client.left, c.client.top, c.screen.width, c.screen.height, c.visible) for c in s.controls}}


class DpiTest(TavrinTestCase):
    def setUp(self) -> None:
        super().setUp()
        self.addCleanup(set_log_pixels, log_pixels())  # the other tests share this prefix

    def start_at(self, dpi: int, settings: dict) -> Bar:
        set_log_pixels(str(dpi))
        self.assertEqual(probe_alone("dpi"), [f"{dpi} {dpi}"], "the prefix's DPI did not take")
        return self.start_bar({"Setting": {"PageNo": 1, **settings}})  # subtests share one registry

    def check_page(self, s: BarState, t: Template, page: int, strip: bool, dpi: int) -> None:
        self.assertLayout(s, page, strip, dpi=dpi, t=t)
        # Nothing is cut off (at 96 DPI the frame has always covered the row's
        # lowest pixel); each caption is centred in its button.
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
                    t = Template(bar.hwnd)
                    self.check_page(bar.wait_page(1), t, 1, True, dpi)
                    screenshot(f"dpi-{dpi}-page1")
                    for page in (2, 3, 4):
                        self.check_page(bar.turn(NEXT, page), t, page, True, dpi)
                    bar.click(TARGET)
                    s = bar.wait_state(lambda s: not s.child(STRIP).visible, "the title strip to hide")
                    self.check_page(s, t, 4, False, dpi)
                    screenshot(f"dpi-{dpi}-page4")
                finally:
                    bar.stop()

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
            # Windows first asks the size at the new DPI (WM_GETDPISCALEDSIZE, a SIZE in and out).
            answer = probe("send", bar.hwnd, WM_GETDPISCALEDSIZE, 144, "@" + "00" * 8)
            self.assertEqual(answer, ["result 1", "data " + struct.pack("<2i", *started["bar"][2:]).hex()])
            r = window_rect(bar.hwnd)
            rect = struct.pack("<4i", 150, 600, 150 + r.width * 3 // 2, 600 + r.height * 3 // 2)
            probe("send", bar.hwnd, WM_DPICHANGED, 144 * 0x10001, "@" + rect.hex(), 10000)
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
                where = dock_point(t, b.width, b.height, corner, dpi)
                try:
                    wait_for(lambda: top_left(window_rect(bar.hwnd)) == where, 20, 0.2,
                             f"the bar docked at corner {corner} {where}")
                    bar.settle()
                    screenshot(f"dpi-{dpi}-docked")
                finally:
                    bar.stop()
                    target.close()


if __name__ == "__main__":
    main()
