"""Shared pieces of Tavrin's end-to-end tests.

The tests run TAVRIN.EXE under Wine on an X display (normally the private
Xvfb that scripts/test.sh starts) and look at it from outside with the helper
program probe.exe, which runs in the same Wine prefix. Mouse input comes from
xdotool, screenshots from ImageMagick's import.

Environment (set by tests/e2e/CMakeLists.txt; defaults for a run by hand):
  BUILD_DIR   the build folder (default: <repo>/build)
  WINE_RUN    $BUILD_DIR/wine-run.sh, runs a Windows program in the prefix
  TAVRIN_EXE  $BUILD_DIR/TAVRIN.EXE
  PROBE_EXE   $BUILD_DIR/tests/helpers/probe.exe
  TARGET_EXE  $BUILD_DIR/tests/helpers/target.exe
  TAVRIN_TIMEOUT_SCALE  multiplies every time-out (slow machines), default 1

Without DISPLAY the harness starts its own Xvfb and a persistent wineserver
and stops both when the test file ends.
"""

from __future__ import annotations

import atexit
import os
import queue
import subprocess
import tempfile
import threading
import time
import unittest
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Iterable, Optional, TypeVar

REPO = Path(__file__).resolve().parents[2]
BUILD_DIR = Path(os.environ.get("BUILD_DIR") or REPO / "build")
WINE_RUN = Path(os.environ.get("WINE_RUN") or BUILD_DIR / "wine-run.sh")
TAVRIN_EXE = Path(os.environ.get("TAVRIN_EXE") or BUILD_DIR / "TAVRIN.EXE")
PROBE_EXE = Path(os.environ.get("PROBE_EXE") or BUILD_DIR / "tests" / "helpers" / "probe.exe")
TARGET_EXE = Path(os.environ.get("TARGET_EXE") or BUILD_DIR / "tests" / "helpers" / "target.exe")
SCREENSHOT_DIR = BUILD_DIR / "screenshots"

SCALE = float(os.environ.get("TAVRIN_TIMEOUT_SCALE") or 1)
START_TIMEOUT = 60 * SCALE   # a Windows program appears (first start in a prefix is slow)
EXIT_TIMEOUT = 30 * SCALE    # a Windows program ends
CHANGE_TIMEOUT = 20 * SCALE  # the bar reacts to a click or message
QUIET_MS = 400               # the bar counts as settled after this long without a change
PROBE_TIMEOUT = 60 * SCALE

BAR_TITLE = "Tavrin"

# ----------------------------------------------------------------- the bar

# Control ids of the bar.
OK_BUTTON, CANCEL_BUTTON = 1, 2
STRIP = 1000     # title strip
TARGET = 1010    # 的: shows or hides the title strip
PREV = 1011      # ←
NEXT = 1012      # →

# The pages: own buttons in display order and their x positions in dialog
# units. Page 3 is the custom page, laid out packed (see CUSTOM_*).
PAGE_BUTTONS = {
    1: [1001, 1004, 1005, 1022, 1008, 1009, 1002, 1003],
    2: [1007, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021],
    4: [1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032],
}
PAGE_X = {
    1: [17, 28, 39, 57, 68, 79, 96, 119],
    2: [17, 28, 39, 50, 61, 76, 87, 98, 109, 120],
    4: [17, 28, 39, 50, 61, 76, 87, 98, 109, 120],
}
FIXED_X = {PREV: 1, NEXT: 151, TARGET: 135}
ALL_PAGE_BUTTONS = frozenset(i for ids in PAGE_BUTTONS.values() for i in ids)

CUSTOM_DEFAULT = [1001, 1004, 1005, 1007, 1013, 1014]  # the custom page of a first start
CUSTOM_PREV_X = 1       # dialog units
CUSTOM_START_X = 17     # dialog units, the first own button
CUSTOM_TARGET_GAP = 5   # pixels before 的 on the custom page
CUSTOM_NEXT_GAP = 6     # pixels before →

STRIP_HEIGHT = 16       # the button row sits this many pixels lower while the strip shows
BAR_RIGHT_MARGIN = 7    # bar width = right edge of → (client) + 7
BAR_BOTTOM_MARGIN = 2   # bar height = bottom of ← (screen) - top of bar + 2

T = TypeVar("T")


def sjis(text: str) -> bytes:
    """Shift-JIS bytes of a text, as the program stores and shows them."""
    return text.encode("cp932")


def hexarg(data: bytes | str) -> str:
    """A probe text argument carrying exactly these bytes."""
    if isinstance(data, str):
        data = sjis(data)
    return "hex:" + data.hex()


def unhex(field: str) -> bytes:
    return b"" if field == "-" else bytes.fromhex(field)


# ----------------------------------------------------------------- waiting


class TimedOut(AssertionError):
    pass


def wait_for(condition: Callable[[], T], timeout: float = CHANGE_TIMEOUT, interval: float = 0.1,
             message: str = "condition") -> T:
    """Calls condition until it returns something true; returns that value.

    Raises TimedOut (an AssertionError, so the test fails rather than errors)
    after timeout seconds, naming the message and the last value seen."""
    deadline = time.monotonic() + timeout
    last: object = None
    while True:
        last = condition()
        if last:
            return last  # type: ignore[return-value]
        if time.monotonic() >= deadline:
            raise TimedOut(f"timed out after {timeout:.0f} s waiting for {message}; last value: {last!r}")
        time.sleep(interval)


# ----------------------------------------------------------------- display


def _free_display() -> int:
    for n in range(91, 200):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return n
    raise RuntimeError("no free X display number between :91 and :199")


def _wine_shell(command: str, timeout: float = 60) -> int:
    """Runs a shell command with the prefix's environment (scripts/wine-env.sh)."""
    env = dict(os.environ, BUILD_DIR=str(BUILD_DIR))
    return subprocess.run(["bash", "-c", f'. "{REPO}/scripts/wine-env.sh" && {command}'], env=env,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=timeout).returncode


def _ensure_display() -> None:
    """Starts a private Xvfb and wineserver when the tests run without a display."""
    if os.environ.get("DISPLAY"):
        return
    n = _free_display()
    xvfb = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = f":{n}"
    deadline = time.monotonic() + 30
    while not os.path.exists(f"/tmp/.X11-unix/X{n}"):
        if xvfb.poll() is not None or time.monotonic() > deadline:
            raise RuntimeError(f"Xvfb :{n} did not start")
        time.sleep(0.1)
    # A persistent server (unless one runs already: that one is left alone),
    # and Wine's background services started with no pipe attached (they
    # keep the standard error of whoever starts them).
    own_server = _wine_shell("wineserver -p", timeout=300) == 0
    _wine_shell("wine cmd.exe /c exit", timeout=300)

    def stop() -> None:
        try:
            if own_server:
                _wine_shell("wineserver -k; wineserver -w", timeout=60)
        except subprocess.TimeoutExpired:
            pass
        xvfb.terminate()
        try:
            xvfb.wait(10)
        except subprocess.TimeoutExpired:
            xvfb.kill()

    atexit.register(stop)


# ----------------------------------------------------------------- probe.exe


class ProbeError(AssertionError):
    pass


def probe_run(*args: object, timeout: float = PROBE_TIMEOUT) -> tuple[int, list[str], str]:
    """Runs probe.exe; returns (exit status, stdout lines, stderr)."""
    cmd = [str(WINE_RUN), str(PROBE_EXE), *map(str, args)]
    # Standard error goes to a file, not a pipe: a Wine program that starts
    # the desktop process hands it its standard error, and a pipe would stay
    # open (and subprocess waiting) until that process ends.
    with tempfile.TemporaryFile() as err:
        r = subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=err, timeout=timeout)
        err.seek(0)
        message = err.read().decode("utf-8", "replace")
    return r.returncode, r.stdout.decode("ascii", "replace").splitlines(), message


# Queries that only look. They never fail without saying why on stderr; a
# silent failure is Wine failing to run probe.exe at all (seen once in a
# while under load), and asking again is harmless.
_LOOKING = {"list", "children", "text", "info"}


def probe(*args: object, timeout: float = PROBE_TIMEOUT) -> list[str]:
    """Runs probe.exe and returns its lines; raises ProbeError unless it exits 0."""
    for attempt in range(3):
        rc, lines, err = probe_run(*args, timeout=timeout)
        if rc == 0:
            return lines
        if not (args and args[0] in _LOOKING and not err.strip() and attempt < 2):
            break
        time.sleep(0.2)
    raise ProbeError(f"probe {' '.join(map(str, args))} exited {rc}: {err.strip()[-500:]}")


@dataclass(frozen=True)
class Rect:
    left: int
    top: int
    right: int
    bottom: int

    @property
    def width(self) -> int:
        return self.right - self.left

    @property
    def height(self) -> int:
        return self.bottom - self.top

    @property
    def center(self) -> tuple[int, int]:
        return (self.left + self.right) // 2, (self.top + self.bottom) // 2

    @staticmethod
    def parse(fields: Iterable[str]) -> "Rect":
        return Rect(*map(int, fields))


@dataclass(frozen=True)
class Child:
    """A child window as "probe children" reports it."""
    hwnd: str
    id: int
    cls: str
    visible: bool   # its own WS_VISIBLE bit
    enabled: bool
    screen: Rect
    client: Rect    # in the parent's client area
    text: bytes

    @staticmethod
    def parse(line: str) -> "Child":
        f = line.split()
        return Child(f[0], int(f[1]), f[2], f[3] == "1", f[4] == "1", Rect.parse(f[5:9]), Rect.parse(f[9:13]),
                     unhex(f[13]))


@dataclass(frozen=True)
class TopWindow:
    """A top-level window as "probe list" reports it."""
    hwnd: str
    pid: int
    visible: bool
    enabled: bool
    cls: str
    rect: Rect
    title: bytes

    @staticmethod
    def parse(line: str) -> "TopWindow":
        f = line.split()
        return TopWindow(f[0], int(f[1]), f[2] == "1", f[3] == "1", f[4], Rect.parse(f[5:9]), unhex(f[9]))


def top_windows(title: Optional[str | bytes] = None) -> list[TopWindow]:
    args = ["list"] if title is None else ["list", hexarg(title)]
    return [TopWindow.parse(line) for line in probe(*args)]


def find_window(title: str | bytes, cls: Optional[str] = None) -> Optional[str]:
    rc, lines, _ = probe_run("find", hexarg(title), *([cls] if cls else []))
    return lines[0] if rc == 0 and lines else None


def window_exists(hwnd: str) -> bool:
    return probe_run("info", hwnd)[0] == 0


def window_rect(hwnd: str) -> Rect:
    return Rect.parse(probe("rect", hwnd)[0].split())


def client_rect(hwnd: str) -> Rect:
    """The client area in screen pixels."""
    return Rect.parse(probe("client", hwnd)[0].split())


def children(hwnd: str) -> list[Child]:
    return [Child.parse(line) for line in probe("children", hwnd)]


def window_text(hwnd: str) -> bytes:
    return unhex(probe("text", hwnd)[0])


def set_window_text(hwnd: str, text: bytes | str) -> None:
    # Now and then Wine lets a WM_SETTEXT to another program go unanswered
    # right after that program was activated; a second try gets through.
    for attempt in range(3):
        try:
            probe("settext", hwnd, hexarg(text))
            return
        except ProbeError:
            if attempt == 2 or not window_exists(hwnd):
                raise
            time.sleep(0.5)


def is_topmost(hwnd: str) -> bool:
    return probe("topmost", hwnd)[0] == "1"


def window_styles(hwnd: str) -> tuple[int, int]:
    style, exstyle = probe("style", hwnd)[0].split()
    return int(style, 16), int(exstyle, 16)


def foreground() -> tuple[str, bytes]:
    hwnd, title = probe("foreground")[0].split()
    return hwnd, unhex(title)


def set_foreground(hwnd: str) -> bool:
    return probe_run("setfg", hwnd)[0] == 0


def post(hwnd: str, msg: str | int, wparam: int = 0, lparam: int = 0) -> None:
    probe("post", hwnd, msg, wparam, lparam)


def send(hwnd: str, msg: str | int, wparam: int = 0, lparam: int = 0, timeout_ms: int = 5000) -> int:
    return int(probe("send", hwnd, msg, wparam, lparam, timeout_ms)[0].split()[1])


def wait_stable(hwnd: str, quiet_ms: int = QUIET_MS, timeout: float = CHANGE_TIMEOUT) -> None:
    """Waits until the window and its children stop moving, showing and hiding
    for quiet_ms, and its thread answers messages again."""
    rc, _, err = probe_run("stable", hwnd, quiet_ms, int(timeout * 1000), timeout=timeout + PROBE_TIMEOUT)
    if rc != 0:
        raise TimedOut(f"window {hwnd} did not settle within {timeout:.0f} s {err.strip()}")


_dlu_cache: dict[tuple[int, int, int, int], tuple[int, int, int, int]] = {}


def map_dialog_rects(hwnd: str, rects: list[tuple[int, int, int, int]]) -> list[tuple[int, int, int, int]]:
    """Dialog units to pixels for the bar's dialog font (MapDialogRect)."""
    missing = [r for r in rects if r not in _dlu_cache]
    if missing:
        args = [v for r in missing for v in r]
        lines = probe("mapdlg", hwnd, *args)
        for r, line in zip(missing, lines):
            _dlu_cache[r] = tuple(map(int, line.split()))  # type: ignore[assignment]
    return [_dlu_cache[r] for r in rects]


def dlu_x(hwnd: str, *xs: int) -> list[int]:
    """Horizontal dialog units to pixels."""
    return [r[0] for r in map_dialog_rects(hwnd, [(x, 0, 0, 0) for x in xs])]


def visible_menu(timeout: float = 0) -> Optional[str]:
    rc, lines, _ = probe_run("menu", int(timeout * 1000), timeout=timeout + PROBE_TIMEOUT)
    return lines[0].split()[0] if rc == 0 and lines else None


def synth_keys(*chords: str) -> None:
    """Keys synthesized inside Wine; they reach the Wine foreground window."""
    probe("keys", *chords)


def clipboard_text() -> Optional[bytes]:
    line = probe("clipget")[0]
    return None if line == "none" else unhex(line)


# ----------------------------------------------------------------- registry

SETTINGS_ROOT = r"HKEY_CURRENT_USER\Software\Brannock\TAVRIN"


def reg_clear() -> None:
    """Deletes every setting: the next start is a first start."""
    probe("regclear")


def reg_set_sz(section: str, key: str, value: bytes | str) -> None:
    """A REG_SZ with exactly these bytes (str: its Shift-JIS bytes) plus the zero."""
    data = sjis(value) if isinstance(value, str) else value
    probe("regsetsz", section, key, data.hex() or "-")


def reg_set_dword(section: str, key: str, value: int) -> None:
    probe("regsetdw", section, key, value)


def reg_set_raw(section: str, key: str, reg_type: str | int, data: bytes) -> None:
    probe("regsetraw", section, key, reg_type, data.hex() or "-")


def reg_get(section: str, key: str) -> Optional[tuple[str, bytes]]:
    """(type name, data bytes) of a value, or None when it is missing."""
    line = probe("regget", section, key)[0]
    if line == "missing":
        return None
    reg_type, data = line.split()
    return reg_type, unhex(data)


def reg_delete(section: str, key: Optional[str] = None) -> None:
    probe("regdel", section, *([key] if key else []))


def reg_dump() -> list[str]:
    return probe("regdump")


def preset(settings: dict[str, dict[str, object]]) -> None:
    """Stores settings before a start: {"Setting": {"PageNo": 3, "Position": "400,20"}}.

    int: REG_DWORD; str: REG_SZ of its Shift-JIS bytes; bytes: REG_SZ of
    exactly those bytes; (type, bytes): any registry type."""
    for section, values in settings.items():
        for key, value in values.items():
            if isinstance(value, bool) or not isinstance(value, (int, str, bytes, tuple)):
                raise TypeError(f"cannot store {value!r}")
            if isinstance(value, int):
                reg_set_dword(section, key, value)
            elif isinstance(value, tuple):
                reg_set_raw(section, key, value[0], value[1])
            else:
                reg_set_sz(section, key, value)


# ----------------------------------------------------------------- X input and screenshots


def xdotool(*args: object) -> None:
    subprocess.run(["xdotool", *map(str, args)], check=True, stdin=subprocess.DEVNULL, timeout=30)


PARK = (1270, 1015)  # where the pointer rests between clicks: away from every test window


def mouse_position() -> tuple[int, int]:
    r = subprocess.run(["xdotool", "getmouselocation", "--shell"], check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, timeout=30)
    fields = dict(line.split("=", 1) for line in r.stdout.decode().split())
    return int(fields["X"]), int(fields["Y"])


def mouse_move(x: int, y: int) -> None:
    """Moves the pointer and waits until X reports it there. (xdotool's own
    --sync waits for a motion and hangs when the pointer is already there.)"""
    xdotool("mousemove", x, y)
    wait_for(lambda: mouse_position() == (x, y), 10, 0.02, f"the pointer to reach ({x}, {y})")


def click(x: int, y: int, button: int = 1, park: bool = True) -> None:
    """A real mouse click at screen point (x, y), then the pointer is parked."""
    mouse_move(x, y)
    xdotool("click", button)
    if park:
        mouse_move(*PARK)


def click_child(child: Child, button: int = 1) -> None:
    click(*child.screen.center, button=button)


def screenshot(name: str) -> Path:
    """Saves the whole screen as $BUILD_DIR/screenshots/NAME.png."""
    SCREENSHOT_DIR.mkdir(parents=True, exist_ok=True)
    path = SCREENSHOT_DIR / (name if name.endswith(".png") else name + ".png")
    subprocess.run(["import", "-window", "root", str(path)], check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)
    return path


# ----------------------------------------------------------------- Windows processes


class WineProcess:
    """A Windows program started through wine-run.sh; its stdout lines are
    collected in the background."""

    def __init__(self, exe: Path, *args: object, capture: bool = True) -> None:
        self.name = exe.name
        self.popen = subprocess.Popen([str(WINE_RUN), str(exe), *map(str, args)], stdin=subprocess.DEVNULL,
                                      stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
        self.lines: "queue.Queue[str]" = queue.Queue()
        if capture:
            threading.Thread(target=self._read, daemon=True).start()

    def _read(self) -> None:
        assert self.popen.stdout is not None
        with self.popen.stdout:
            for raw in self.popen.stdout:
                self.lines.put(raw.decode("ascii", "replace").rstrip("\r\n"))

    def readline(self, timeout: float = START_TIMEOUT) -> str:
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            raise TimedOut(f"{self.name} printed nothing within {timeout:.0f} s") from None

    def running(self) -> bool:
        return self.popen.poll() is None

    def wait(self, timeout: float = EXIT_TIMEOUT) -> Optional[int]:
        """Exit status, or None if still running after timeout seconds."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self) -> None:
        if self.running():
            self.popen.kill()
            self.popen.wait(30)


class HelperWindow:
    """A window that a helper program keeps open until it is sent WM_CLOSE."""

    proc: WineProcess
    hwnd: str
    pid: int

    def close(self) -> None:
        if self.proc.running():
            if window_exists(self.hwnd):
                probe_run("post", self.hwnd, "WM_CLOSE", 0, 0)
            if self.proc.wait(EXIT_TIMEOUT) is None:
                self.proc.kill()


class ForeignWindow(HelperWindow):
    """A top-level window of another program (probe mkwindow)."""

    def __init__(self, title: str | bytes, cls: str = "-", rect: Optional[tuple[int, int, int, int]] = None) -> None:
        self.proc = WineProcess(PROBE_EXE, "mkwindow", hexarg(title), cls, *(rect or ()))
        self.hwnd, pid = self.proc.readline().split()
        self.pid = int(pid)


class Target:
    """target.exe: a window with edit controls to deliver into."""

    def __init__(self, title: str | bytes, *options: object) -> None:
        self.proc = WineProcess(TARGET_EXE, hexarg(title), *options)
        self.hwnd = ""
        self.edits: dict[int, str] = {}
        while True:
            line = self.proc.readline()
            kind, *rest = line.split()
            if kind == "window":
                self.hwnd = rest[0]
            elif kind == "edit":
                self.edits[int(rest[0])] = rest[1]
            elif kind == "ready":
                break

    def edit_text(self, edit_id: int) -> bytes:
        return window_text(self.edits[edit_id])

    def close(self) -> dict[int, bytes]:
        """Closes the window; returns what each edit held at the end."""
        final: dict[int, bytes] = {}
        if self.proc.running():
            if window_exists(self.hwnd):
                probe_run("post", self.hwnd, "WM_CLOSE", 0, 0)
            if self.proc.wait(EXIT_TIMEOUT) is None:
                self.proc.kill()
        while not self.proc.lines.empty():
            kind, *rest = self.proc.lines.get().split()
            if kind == "final":
                final[int(rest[0])] = unhex(rest[1])
        return final


@dataclass(frozen=True)
class BarState:
    """One look at the bar: its window rectangle and its children."""
    hwnd: str
    rect: Rect
    client: Rect
    controls: tuple[Child, ...]

    def child(self, control_id: int) -> Child:
        for c in self.controls:
            if c.id == control_id:
                return c
        raise AssertionError(f"the bar has no control {control_id}")

    def visible(self, control_id: int) -> bool:
        return self.child(control_id).visible

    def enabled(self, control_id: int) -> bool:
        return self.child(control_id).enabled

    def shown_page_buttons(self) -> list[int]:
        """Ids of the visible page buttons (not ←, →, 的), left to right."""
        shown = [c for c in self.controls if c.id in ALL_PAGE_BUTTONS and c.visible]
        return [c.id for c in sorted(shown, key=lambda c: c.client.left)]

    def page(self, custom: Iterable[int] = CUSTOM_DEFAULT) -> Optional[int]:
        """The page whose buttons are exactly the visible ones (page 3: custom)."""
        shown = self.shown_page_buttons()
        for number, ids in PAGE_BUTTONS.items():
            if shown == ids:
                return number
        return 3 if shown == list(custom) else None


class Bar:
    """TAVRIN.EXE as the tests start, watch and stop it."""

    def __init__(self, foreign: Iterable[str] = ()) -> None:
        self.proc: Optional[WineProcess] = None
        self.hwnd = ""
        self.foreign = set(foreign)  # windows titled "Tavrin" that are not this bar

    def start(self, wait: bool = True) -> "Bar":
        self.proc = WineProcess(TAVRIN_EXE, capture=False)
        if wait:
            self.hwnd = wait_for(self._own_window, START_TIMEOUT, 0.2, "the bar window titled Tavrin")
            self.settle()
        return self

    def _own_window(self) -> Optional[str]:
        if self.proc is not None and not self.proc.running():
            raise AssertionError(f"TAVRIN.EXE ended (status {self.proc.popen.returncode}) instead of showing the bar")
        for w in top_windows(BAR_TITLE):
            if w.visible and w.hwnd not in self.foreign:
                return w.hwnd
        return None

    def settle(self, timeout: float = CHANGE_TIMEOUT) -> None:
        wait_stable(self.hwnd, timeout=timeout)

    def state(self) -> BarState:
        return BarState(self.hwnd, window_rect(self.hwnd), client_rect(self.hwnd), tuple(children(self.hwnd)))

    def click(self, control_id: int) -> None:
        click_child(self.state().child(control_id))

    def wait_state(self, condition: Callable[[BarState], bool], message: str,
                   timeout: float = CHANGE_TIMEOUT) -> BarState:
        """Waits until condition holds for the settled bar; returns that state."""
        def check() -> Optional[BarState]:
            self.settle(timeout)
            s = self.state()
            return s if condition(s) else None
        return wait_for(check, timeout, 0.1, message)

    def wait_page(self, page: int, custom: Iterable[int] = CUSTOM_DEFAULT) -> BarState:
        custom = list(custom)
        return self.wait_state(lambda s: s.page(custom) == page, f"page {page} to show")

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
        try:
            if self.hwnd and window_exists(self.hwnd):
                probe_run("post", self.hwnd, "WM_CLOSE", 0, 0)
                if self.proc.wait(10 * SCALE) is not None:
                    return
        except Exception:  # noqa: BLE001 - clean-up goes on whatever happened
            pass
        self.proc.kill()


def end_stray_bars(foreign: Iterable[str] = ()) -> None:
    """Ends, by process id, any bar left over from an earlier test."""
    skip = set(foreign)
    for w in top_windows(BAR_TITLE):
        if w.hwnd in skip:
            continue
        probe_run("post", w.hwnd, "WM_CLOSE", 0, 0)
        if probe_run("waitdead", w.hwnd, int(10000 * SCALE))[0] != 0:
            probe_run("kill", w.pid)


def expected_layout(state: BarState, page: int, strip: bool = True,
                    custom: Iterable[int] = CUSTOM_DEFAULT, custom_target: bool = False) -> dict[str, object]:
    """What the bar's layout must be for a page: positions in the bar's client
    area, visibility, enabled states and the bar's size, as a flat dict to
    compare with actual_layout(). custom: the custom page's own buttons;
    custom_target: whether its list holds 的."""
    hwnd = state.hwnd
    y = STRIP_HEIGHT if strip else 0
    exp: dict[str, object] = {}
    if page == 3:
        own = list(custom)
        shown = own + [PREV, NEXT] + ([TARGET] if custom_target else [])
        exp[f"x {PREV}"] = dlu_x(hwnd, CUSTOM_PREV_X)[0]
        x = dlu_x(hwnd, CUSTOM_START_X)[0]
        for i in own:
            exp[f"x {i}"] = x
            x += state.child(i).screen.width
        if custom_target:
            x += CUSTOM_TARGET_GAP
            exp[f"x {TARGET}"] = x
            x += state.child(TARGET).screen.width + CUSTOM_NEXT_GAP
        else:
            x += CUSTOM_NEXT_GAP
        exp[f"x {NEXT}"] = x
    else:
        own = PAGE_BUTTONS[page]
        shown = own + [PREV, NEXT, TARGET]
        ids = [PREV, NEXT, TARGET] + own
        xs = dlu_x(hwnd, *([FIXED_X[i] for i in (PREV, NEXT, TARGET)] + PAGE_X[page]))
        for i, x in zip(ids, xs):
            exp[f"x {i}"] = x
    for i in shown:
        exp[f"y {i}"] = y
    for i in sorted(ALL_PAGE_BUTTONS | {PREV, NEXT, TARGET}):
        exp[f"visible {i}"] = i in shown
    exp[f"visible {STRIP}"] = strip
    exp[f"enabled {PREV}"] = page != 1
    exp[f"enabled {NEXT}"] = page != 4
    nxt = state.child(NEXT)
    exp["bar width"] = nxt.client.right + BAR_RIGHT_MARGIN
    exp["bar height"] = state.child(PREV).screen.bottom - state.rect.top + BAR_BOTTOM_MARGIN
    return exp


def actual_layout(state: BarState, expected: dict[str, object]) -> dict[str, object]:
    """The same keys as expected_layout(), read from the bar."""
    act: dict[str, object] = {}
    for key in expected:
        what, _, ident = key.partition(" ")
        if key == "bar width":
            act[key] = state.rect.width
        elif key == "bar height":
            act[key] = state.rect.height
        elif what == "x":
            act[key] = state.child(int(ident)).client.left
        elif what == "y":
            act[key] = state.child(int(ident)).client.top
        elif what == "visible":
            act[key] = state.visible(int(ident))
        elif what == "enabled":
            act[key] = state.enabled(int(ident))
    return act


# ----------------------------------------------------------------- test case base


class TavrinTestCase(unittest.TestCase):
    """Starts every test from an empty registry with no bar running and
    cleans up every program the test started."""

    maxDiff = None

    @classmethod
    def setUpClass(cls) -> None:
        _ensure_display()
        for exe in (TAVRIN_EXE, PROBE_EXE, WINE_RUN):
            if not exe.exists():
                raise unittest.SkipTest(f"{exe} is missing: build first (scripts/test.sh does)")

    def setUp(self) -> None:
        self._bars: list[Bar] = []
        self._foreign: list[ForeignWindow] = []
        self._targets: list[Target] = []
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

    def assertLayout(self, state: BarState, page: int, strip: bool = True,
                     custom: Iterable[int] = CUSTOM_DEFAULT, custom_target: bool = False) -> None:
        """The bar shows PAGE laid out as the page table says."""
        exp = expected_layout(state, page, strip, custom, custom_target)
        self.assertEqual(actual_layout(state, exp), exp, f"layout of page {page}, strip {'on' if strip else 'off'}")

    def target(self, title: str | bytes, *options: object) -> Target:
        t = Target(title, *options)
        self._targets.append(t)
        return t


def main() -> None:
    """Runs the test file's cases; the exit status is non-zero on any failure."""
    unittest.main(module="__main__", verbosity=2)
