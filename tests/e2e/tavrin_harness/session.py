"""The X display and the Wine session (a test file run by hand without
DISPLAY starts its own Xvfb and wineserver), and Windows programs run in it."""

import atexit
import os
import queue
import subprocess
import threading
import time
from pathlib import Path
from typing import Optional

from .common import BUILD_DIR, EXIT_TIMEOUT, REPO, START_TIMEOUT, WINE_RUN, TimedOut


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


def ensure_display() -> None:
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


class WineProcess:
    """A Windows program started through wine-run.sh; its stdout lines are
    collected in the background."""

    def __init__(self, exe: Path, *args: object, capture: bool = True) -> None:
        self.name = exe.name
        self.popen = subprocess.Popen([str(WINE_RUN), str(exe), *map(str, args)], stdin=subprocess.DEVNULL,
                                      stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
        self.lines: "queue.Queue[str]" = queue.Queue()
        self._reader = threading.Thread(target=self._read, daemon=True)
        if capture:
            self._reader.start()

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

    def output(self, timeout: float = EXIT_TIMEOUT) -> list[str]:
        """Every line not read yet, once the program has ended and closed its output."""
        if self._reader.ident is not None:
            self._reader.join(timeout)
        return [self.lines.get() for _ in range(self.lines.qsize())]

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
