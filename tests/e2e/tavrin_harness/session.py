"""Windows programs run in the Wine session."""

import queue
import subprocess
import threading
from pathlib import Path
from typing import Optional

from .common import EXIT_TIMEOUT, START_TIMEOUT, WINE_RUN, TimedOut


class WineProcess:
    """A Windows program started through wine-run.sh; its stdout lines are read in the background."""

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
