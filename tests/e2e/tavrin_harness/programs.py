"""The other programs the tests run next to the bar: windows of another
program that probe.exe holds (a plain one, one in front, one holding a hot
key), target.exe with edit controls; moving, minimising and stacking them."""

from __future__ import annotations

from typing import Optional

from .common import EXIT_TIMEOUT, PROBE_EXE, TARGET_EXE, hexarg, unhex
from .probe import probe, probe_run, window_exists, window_text
from .session import WineProcess


class HelperWindow:
    """A window that a helper program keeps open until it is sent WM_CLOSE;
    the program's first line is "window HWND PID"."""

    proc: WineProcess
    hwnd: str
    pid: int

    def _start(self, exe, *args: object) -> None:
        self.proc = WineProcess(exe, *args)
        kind, self.hwnd, pid = self.proc.readline().split()
        assert kind == "window", kind
        self.pid = int(pid)

    def close(self) -> None:
        if self.proc.running():
            if window_exists(self.hwnd):
                probe_run("post", self.hwnd, "WM_CLOSE", 0, 0)
            if self.proc.wait(EXIT_TIMEOUT) is None:
                self.proc.kill()


class ForeignWindow(HelperWindow):
    """A top-level window of another program (probe mkwindow)."""

    def __init__(self, title: str | bytes, cls: str = "-", rect: Optional[tuple[int, int, int, int]] = None) -> None:
        self._start(PROBE_EXE, "mkwindow", hexarg(title), cls, *(rect or ()))


class HolderWindow(HelperWindow):
    """A window that probe.exe keeps open in a process of its own:
    ("topmost", TITLE, X, Y, W, H) shown in front without activation, or
    ("hotkey", MODS, VK) hidden, holding that hot key."""

    def __init__(self, kind: str, *args: object) -> None:
        self._start(PROBE_EXE, "hold" + kind, *(hexarg(a) if isinstance(a, str) else a for a in args))


class Target(HelperWindow):
    """target.exe: a window with edit controls to deliver into."""

    def __init__(self, title: str | bytes, *options: object) -> None:
        self.proc = WineProcess(TARGET_EXE, hexarg(title), *options)
        self.edits: dict[int, str] = {}
        while (line := self.proc.readline().split())[0] != "ready":
            if line[0] == "window":
                self.hwnd = line[1]
            else:
                self.edits[int(line[1])] = line[2]

    def edit_text(self, edit_id: int) -> bytes:
        return window_text(self.edits[edit_id])

    def ctrl_v(self) -> list[int]:
        """The V key's scan code of each Ctrl+V its edits got since last asked."""
        lines = [self.proc.lines.get().split() for _ in range(self.proc.lines.qsize())]
        return [int(f[2]) for f in lines if f[0] == "ctrl+v"]

    def close(self) -> dict[int, bytes]:  # type: ignore[override]
        """Closes the window; returns what each edit held at the end."""
        super().close()
        return {int(f[1]): unhex(f[2]) for f in map(str.split, self.proc.output()) if f and f[0] == "final"}


def move_window(hwnd: str, x: int, y: int, w: int, h: int) -> None:
    probe("move", hwnd, x, y, w, h)


def is_iconic(hwnd: str) -> bool:
    return probe("iconic", hwnd)[0] == "1"


def z_places(*hwnds: str) -> list[int]:
    """Each window's place in the z-order, 0 = above every other window."""
    return [int(line) for line in probe("zorder", *hwnds)]


def focus_of(hwnd: str) -> tuple[str, str]:
    """(active window, focus window) of the thread that owns hwnd; "0x0" for none."""
    active, focus = probe("focus", hwnd)[0].split()
    return active, focus
