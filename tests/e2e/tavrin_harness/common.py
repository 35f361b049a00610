"""Paths, time-outs, Shift-JIS text helpers and waiting.

Every path comes from the environment that CTest sets (tests/e2e/CMakeLists.txt);
the defaults only serve a run by hand from a build in <repo>/build.
  BUILD_DIR   the build folder
  WINE_RUN    $BUILD_DIR/wine-run.sh, runs a Windows program in the prefix
  TAVRIN_EXE, PROBE_EXE, TARGET_EXE, CLIPTOOL_EXE  the programs
  TAVRIN_TIMEOUT_SCALE  multiplies every time-out (slow machines), default 1
"""

from __future__ import annotations

import os
import time
from pathlib import Path
from typing import Callable, TypeVar

REPO = Path(__file__).resolve().parents[3]
BUILD_DIR = Path(os.environ.get("BUILD_DIR") or REPO / "build")
_HELPERS = BUILD_DIR / "tests" / "helpers"


def _take_lane() -> None:
    """Under `ctest -j` (scripts/test.sh) this test's lane names its own X
    display and Wine prefix (scripts/session.sh wrote them down): xdotool and
    every Wine program of the test then use that display and prefix."""
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

T = TypeVar("T")


def sjis(text: str) -> bytes:
    """Shift-JIS bytes of a text, as the program stores and shows them."""
    return text.encode("cp932")


def hexarg(data: bytes | str) -> str:
    """A helper-program text argument carrying exactly these bytes."""
    if isinstance(data, str):
        data = sjis(data)
    return "hex:" + data.hex()


def unhex(field: str) -> bytes:
    return b"" if field == "-" else bytes.fromhex(field)


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
