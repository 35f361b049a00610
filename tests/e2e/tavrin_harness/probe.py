"""The probe client: probe.exe looks at and pokes windows, the clipboard and
keys from inside Wine (tests/helpers/probe*.cpp); these wrappers parse what
it prints."""

from __future__ import annotations

import atexit
import os
import select
import subprocess
import threading
import tempfile
import time
from dataclasses import dataclass
from typing import Iterable, Optional

from .common import CHANGE_TIMEOUT, PROBE_EXE, PROBE_TIMEOUT, QUIET_MS, WINE_RUN, TimedOut, hexarg, unhex


class ProbeError(AssertionError):
    pass


def probe_alone(*args: object) -> list[str]:
    """probe.exe in a process of its own, for what Wine reads when a program
    starts (the DPI); its lines; raises ProbeError unless it exits 0."""
    # Standard error goes to a file, not a pipe: a Wine program that starts
    # the desktop process hands it its standard error, and a pipe would stay
    # open (and subprocess waiting) until that process ends.
    with tempfile.TemporaryFile() as err:
        r = subprocess.run([str(WINE_RUN), str(PROBE_EXE), *map(str, args)], stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=err, timeout=PROBE_TIMEOUT)
        err.seek(0)
        if r.returncode != 0:
            message = err.read().decode("utf-8", "replace").strip()[-500:]
            raise ProbeError(f"probe {' '.join(map(str, args))} exited {r.returncode}: {message}")
    return r.stdout.decode("ascii", "replace").splitlines()


_server: Optional[subprocess.Popen] = None  # "probe serve", answering command after command
_lock = threading.Lock()  # one command at a time, whichever thread asks


def _stop_server() -> None:
    global _server
    if _server is not None and _server.poll() is None:
        _server.stdin.close()  # the end of its input ends it
        try:
            _server.wait(5)
        except subprocess.TimeoutExpired:
            _server.kill()
    _server = None


atexit.register(_stop_server)


def probe_run(*args: object, timeout: float = PROBE_TIMEOUT) -> tuple[int, list[str], str]:
    """Runs a probe.exe command; returns (exit status, stdout lines, stderr). One probe.exe answers
    them all: a look then costs no Wine start (about a tenth of a second each)."""
    global _server
    with _lock:
        if _server is None or _server.poll() is not None:
            _server = subprocess.Popen([str(WINE_RUN), str(PROBE_EXE), "serve"], stdin=subprocess.PIPE,
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, bufsize=0)
        try:
            _server.stdin.write(("\t".join(map(str, args)) + "\n").encode("ascii"))
            return _answer(_server, args, timeout)
        except BrokenPipeError:
            _stop_server()  # it ended (Wine failed to run it): say so silently, the caller may ask again
            return 1, [], ""


def _answer(proc: subprocess.Popen, args: tuple[object, ...], timeout: float) -> tuple[int, list[str], str]:
    """The lines up to "\x1e STATUS"; those behind "\x1f" are its messages."""
    deadline = time.monotonic() + timeout
    lines, messages, pending = [], [], b""
    while True:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([proc.stdout], [], [], left)[0]:
            _stop_server()  # it may still be busy with this command: start afresh next time
            raise subprocess.TimeoutExpired(["probe", *map(str, args)], timeout)
        chunk = os.read(proc.stdout.fileno(), 65536)
        if not chunk:
            raise BrokenPipeError
        *done, pending = (pending + chunk).split(b"\n")
        for line in (raw.decode("ascii", "replace") for raw in done):
            if line.startswith("\x1e "):
                return int(line[2:]), lines, "\n".join(messages)
            (messages if line.startswith("\x1f") else lines).append(line.lstrip("\x1f"))


# Commands that only look, or that give the same result when repeated. They
# never fail without saying why; a silent failure is Wine failing to run
# probe.exe at all (seen once in a while under load), and asking again is
# harmless.
_LOOKING = {"find", "list", "children", "text", "info", "rect", "client", "topmost", "pid", "foreground",
            "clipget", "regclear", "regsetsz", "regsetdw", "regsetraw", "regget"}


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


def _rect(fields: Iterable[str]) -> Rect:
    return Rect(*map(int, fields))


def top_left(r: object) -> tuple[int, int]:
    """The top-left corner of a Rect, or of the window of a BarState."""
    r = getattr(r, "rect", r)
    return r.left, r.top  # type: ignore[attr-defined]


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


def top_windows(title: Optional[str | bytes] = None) -> list[TopWindow]:
    return [TopWindow(f[0], int(f[1]), f[2] == "1", f[3] == "1", f[4], _rect(f[5:9]), unhex(f[9]))
            for f in map(str.split, probe("list", *([] if title is None else [hexarg(title)])))]


def find_window(title: str | bytes, cls: Optional[str] = None) -> Optional[str]:
    rc, lines, _ = probe_run("find", hexarg(title), *([cls] if cls else []))
    return lines[0] if rc == 0 and lines else None


def window_exists(hwnd: str) -> bool:
    return probe_run("info", hwnd)[0] == 0


def window_rect(hwnd: str) -> Rect:
    return _rect(probe("rect", hwnd)[0].split())


def client_rect(hwnd: str) -> Rect:
    """The client area in screen pixels."""
    return _rect(probe("client", hwnd)[0].split())


def children(hwnd: str) -> list[Child]:
    return [Child(f[0], int(f[1]), f[2], f[3] == "1", f[4] == "1", _rect(f[5:9]), _rect(f[9:13]),
                  unhex(f[13])) for f in map(str.split, probe("children", hwnd))]


def child_of(hwnd: str, control_id: int) -> Child:
    found = [c for c in children(hwnd) if c.id == control_id]
    assert found, f"window {hwnd} has no control {control_id}"
    return found[0]


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


def foreground() -> tuple[str, bytes]:
    hwnd, title = probe("foreground")[0].split()
    return hwnd, unhex(title)


def set_foreground(hwnd: str) -> bool:
    return probe_run("setfg", hwnd)[0] == 0


def post(hwnd: str, msg: str | int, wparam: int = 0, lparam: int = 0) -> None:
    probe("post", hwnd, msg, wparam, lparam)


def send(hwnd: str, msg: str | int, wparam: int = 0, lparam: int = 0, timeout_ms: int = 5000) -> int:
    return int(probe("send", hwnd, msg, wparam, lparam, timeout_ms)[0].split()[1])


def close_dialog(hwnd: str) -> None:
    """Clean-up: ends a dialog or message box that a test left open (IDOK)."""
    if window_exists(hwnd):
        probe_run("post", hwnd, "WM_COMMAND", 1, 0)


def wait_stable(hwnd: str, quiet_ms: int = QUIET_MS, timeout: float = CHANGE_TIMEOUT) -> float:
    """Waits until the window and its children stop moving, showing and hiding for quiet_ms, and its
    thread answers messages again. Returns how many seconds it had kept still by then."""
    deadline = time.monotonic() + timeout
    while True:
        left = max(deadline - time.monotonic(), 0.0)
        rc, out, err = probe_run("stable", hwnd, quiet_ms, int(left * 1000), timeout=left + PROBE_TIMEOUT)
        if rc == 0:
            return int(out[0].split()[1]) / 1000
        # A silent early failure is Wine failing to run probe.exe (see _LOOKING):
        # ask again with the time that is left.
        if err.strip() or time.monotonic() >= deadline - quiet_ms / 1000:
            raise TimedOut(f"window {hwnd} did not settle within {timeout:.0f} s {err.strip()}")
        time.sleep(0.2)


def visible_menus() -> list[Rect]:
    """Screen rectangles of the visible popup menus (class #32768)."""
    rc, lines, _ = probe_run("menu", 0)
    return [_rect(line.split()[1:5]) for line in lines] if rc == 0 else []


def clipboard_text() -> Optional[bytes]:
    line = probe("clipget")[0]
    return None if line == "none" else unhex(line)
