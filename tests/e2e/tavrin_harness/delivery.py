"""Delivering texts: DeliveryTestCase starts the bar with given settings,
makes target.exe windows its target, clicks its buttons and reads its
message boxes; cliptool.exe holds the clipboard open and reads its owner.
Every delivered text is compared byte for byte as Shift-JIS."""

import contextlib
from pathlib import Path
from typing import Optional

from .bar import Bar
from .case import TavrinTestCase
from .common import CHANGE_TIMEOUT, CLIPTOOL_EXE, EXIT_TIMEOUT, SCALE, TimedOut, hexarg, sjis, wait_for
from .probe import children, clipboard_text, foreground, probe_run, top_windows, window_exists
from .programs import Target
from .session import WineProcess
from .xinput import click, xdotool

APP = b"TAVRIN"                     # caption of the bar's message boxes
BOX_TEXT_ID = 0xFFFF                 # the message text's static control in a message box

# target.exe: the plain window's edit and the form's edits.
EDIT = 100
NAME_EDIT, READING_EDIT, ADDRESS_EDIT, PHONE_EDIT, NOTES_EDIT = 201, 202, 203, 204, 205
FORM_EDITS = (NAME_EDIT, READING_EDIT, ADDRESS_EDIT, PHONE_EDIT, NOTES_EDIT)

# Where the tests place target.exe windows: clear of the bar (a newly mapped
# window would lie above the bar at the X level and take its clicks).
FORM_POS = (420, 300, 420, 400)
PLAIN_POS = (860, 300, 380, 220)

# Messages of the bar.
EMPTY_TEXT = sjis("代筆する文字が登録されていません。")
EMPTY_LAUNCH = sjis("起動するｱﾌﾟﾘｹｰｼｮﾝが登録されていません。")
CLIPBOARD_BUSY = sjis("ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｵｰﾌﾟﾝに失敗しました。")

CF_TEXT, CF_LOCALE, JAPANESE = 1, 16, 0x411


def launch_failed(name: bytes) -> bytes:
    return name + sjis("の起動に失敗しました。")


def winpath(path: Path) -> str:
    """The Windows name of a file of this machine (drive Z: is the root)."""
    return "Z:" + str(path).replace("/", "\\")


class ClipboardHolder:
    """cliptool hold: another program that keeps the clipboard open."""

    def __init__(self, timeout_ms: int = 120000) -> None:
        self.proc = WineProcess(CLIPTOOL_EXE, "hold", "-", timeout_ms)
        kind, self.hwnd = self.proc.readline().split()
        assert kind == "held", kind

    def release(self) -> None:
        if self.proc.running():
            probe_run("post", self.hwnd, "WM_CLOSE", 0, 0)
            line = self.proc.readline(EXIT_TIMEOUT)
            assert line == "released", line
            if self.proc.wait(EXIT_TIMEOUT) is None:
                self.proc.kill()

    def stop(self) -> None:
        try:
            self.release()
        except Exception:  # noqa: BLE001 - clean-up goes on whatever happened
            self.proc.kill()


def cliptool(*args: object) -> list[str]:
    """Runs cliptool.exe to its end; returns its lines."""
    proc = WineProcess(CLIPTOOL_EXE, *args)
    status = proc.wait(EXIT_TIMEOUT)
    lines = proc.output() if status is not None else []
    if status != 0:
        proc.kill()
        raise AssertionError(f"cliptool {args} ended with {status}: {lines}")
    return lines


def clipboard_owner() -> str:
    kind, owner = cliptool("info")[0].split()
    assert kind == "owner", kind
    return owner


def set_clipboard(text: bytes | str) -> bytes:
    """Puts text on the clipboard from outside, checks that it is there and returns its bytes."""
    data = sjis(text)
    wait_for(lambda: probe_run("clipset", hexarg(data))[0] == 0 and clipboard_text() == data, CHANGE_TIMEOUT, 0.2,
             f"the clipboard to take {data!r}")
    return data


class DeliveryTestCase(TavrinTestCase):
    quiet = 2.0 * SCALE  # how long "nothing happens" is watched

    def setUp(self) -> None:
        super().setUp()
        close_message_boxes()

    def tearDown(self) -> None:
        # Buttons up and message boxes closed first: a bar under a modal box would not end on WM_CLOSE.
        for button in (3, 1):
            with contextlib.suppress(Exception):
                xdotool("mouseup", button)
        close_message_boxes()
        self.doCleanups()  # helper programs of the test end before the bar
        super().tearDown()

    def start_on(self, title: str, *options: object,
                 settings: Optional[dict[str, dict[str, object]]] = None) -> tuple[Bar, Target]:
        """Starts the bar and a target.exe window; waits until the bar has taken it as its target."""
        bar = self.start_bar(settings)
        target = self.target(title, *options)
        self.make_current(bar, target, title)
        return bar, target

    def hold_clipboard(self) -> ClipboardHolder:
        holder = ClipboardHolder(int(120000 * SCALE))
        self.addCleanup(holder.stop)
        return holder

    def click(self, bar: Bar, button: int) -> None:
        child = bar.state().child(button)
        self.assertTrue(child.visible, f"button {button} is not shown")
        click(*child.screen.center)

    def wait_edit(self, target: Target, edit: int, expected: bytes | str) -> None:
        expected = sjis(expected)
        try:
            wait_for(lambda: target.edit_text(edit) == expected, CHANGE_TIMEOUT, 0.1, f"edit {edit} to hold {expected!r}")
        except TimedOut:
            self.assert_alive(target)
            boxes = [box_text(b) for b in message_boxes()]
            self.assertEqual(target.edit_text(edit), expected,
                             f"text in edit {edit}; clipboard {clipboard_text()!r}, foreground {foreground()!r}, "
                             f"message boxes {boxes!r}")
            raise

    def assert_alive(self, target: Target) -> None:
        if not target.proc.running():
            self.fail(f"target.exe ended with status {target.proc.popen.returncode}")

    def assert_edits_stay(self, target: Target, expected: dict[int, bytes], seconds: Optional[float] = None) -> None:
        self.assert_alive(target)
        self.assert_stays(lambda: {e: target.edit_text(e) for e in expected}, expected,
                          "what the target's edits hold", seconds)

    def assert_japanese_text_first(self) -> None:
        """The clipboard lists CF_LOCALE, Japanese, before CF_TEXT."""
        info = cliptool("info")
        formats = [int(x.split()[1]) for x in info if x.startswith("format")]
        self.assertEqual((formats[:2], f"locale {JAPANESE:#x}" in info), ([CF_LOCALE, CF_TEXT], True), info)

    def assert_no_box(self) -> None:
        self.assertEqual(message_boxes(), [], "a message box of the bar is open")

    def assert_box_and_close(self, text: bytes) -> None:
        """A message box of the bar shows exactly this text; it is closed then."""
        box = wait_for(lambda: (message_boxes() or [None])[0], CHANGE_TIMEOUT, 0.1, "a message box titled TAVRIN")
        try:
            self.assertEqual(box_text(box), text, "text of the message box")
        finally:
            close_box(box)


def message_boxes() -> list[str]:
    return [w.hwnd for w in top_windows(APP) if w.visible and w.cls == "#32770"]


def box_text(box: str) -> bytes:
    texts = [c.text for c in children(box) if c.id == BOX_TEXT_ID and c.cls.lower() == "static"]
    if not texts:  # any static with text
        texts = [c.text for c in children(box) if c.cls.lower() == "static" and c.text]
    return texts[0] if texts else b""


def close_box(box: str) -> None:
    if window_exists(box):
        probe_run("post", box, "WM_CLOSE", 0, 0)
        if probe_run("waitdead", box, int(10000 * SCALE))[0] != 0:
            raise TimedOut(f"message box {box} did not close on WM_CLOSE")


def close_message_boxes() -> None:
    for box in message_boxes():
        with contextlib.suppress(Exception):
            close_box(box)
