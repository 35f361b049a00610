"""Paths, time-outs, Shift-JIS text helpers and waiting. Every path comes
from the environment CTest sets (tests/e2e/CMakeLists.txt); the defaults serve
a run by hand from <repo>/build. TAVRIN_TIMEOUT_SCALE multiplies every time-out."""

import os
import time
from pathlib import Path
from typing import Callable

REPO = Path(__file__).resolve().parents[3]
BUILD_DIR = Path(os.environ.get("BUILD_DIR") or REPO / "build")
_HELPERS = BUILD_DIR / "tests" / "helpers"


def _take_lane() -> None:
    """Under `ctest -j` this test's lane names its own X display and Wine
    prefix (written down by scripts/session.sh)."""
    lane = os.environ.get("CTEST_RESOURCE_GROUP_0_LANES", "")
    if not lane.startswith("id:"):
        return
    env_file = BUILD_DIR / "lanes" / f"{lane[3:].split(',')[0]}.env"
    for line in env_file.read_text().splitlines():
        name, _, value = line.partition("=")
        os.environ[name] = value


_take_lane()


def _path(name: str, default: Path) -> Path:
    return Path(os.environ.get(name) or default)


WINE_RUN = _path("WINE_RUN", BUILD_DIR / "wine-run.sh")
TAVRIN_EXE = _path("TAVRIN_EXE", BUILD_DIR / "TAVRIN.EXE")
PROBE_EXE = _path("PROBE_EXE", _HELPERS / "probe.exe")
TARGET_EXE = _path("TARGET_EXE", _HELPERS / "target.exe")
CLIPTOOL_EXE = _path("CLIPTOOL_EXE", _HELPERS / "cliptool.exe")
SCREENSHOT_DIR = BUILD_DIR / "screenshots"

SCALE = float(os.environ.get("TAVRIN_TIMEOUT_SCALE") or 1)
START_TIMEOUT = 60 * SCALE   # a Windows program appears (first start in a prefix is slow)
EXIT_TIMEOUT = 30 * SCALE    # a Windows program ends
CHANGE_TIMEOUT = 20 * SCALE  # the bar reacts to a click or message
QUIET_MS = 400               # the bar counts as settled after this long without a change
PROBE_TIMEOUT = 60 * SCALE

TICK = 0.5                   # the bar's tracking timer period
REACT_LIMIT = 1.5 * SCALE    # "within about a second": three ticks, with room for the probe's own time
HOLD = 1.6 * SCALE           # how long "nothing changes" is watched: more than three ticks


def sjis(text: str | bytes) -> bytes:
    """Shift-JIS bytes of a text, as the program stores and shows them (bytes stay as they are)."""
    return text if isinstance(text, bytes) else text.encode("cp932")


def hexarg(data: bytes | str) -> str:
    """A helper-program text argument carrying exactly these bytes."""
    return "hex:" + sjis(data).hex()


def unhex(field: str) -> bytes:
    return b"" if field == "-" else bytes.fromhex(field)


class TimedOut(AssertionError):
    pass


def wait_for(condition: Callable[[], object], timeout: float = CHANGE_TIMEOUT, interval: float = 0.1,
             message: str = "condition"):
    """Calls condition until it returns something true and returns that; a
    TimedOut (an AssertionError: the test fails) names the last value seen."""
    deadline = time.monotonic() + timeout
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise TimedOut(f"timed out after {timeout:.0f} s waiting for {message}; last value: {last!r}")
        time.sleep(interval)
