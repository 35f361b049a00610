"""Real X input (xdotool) and the screen (ImageMagick)."""

import re
import subprocess
import time
from typing import Callable, Optional

from .common import SCREENSHOT_DIR, wait_for


def xdotool(*args: object) -> str:
    return subprocess.run(["xdotool", *map(str, args)], check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          timeout=30).stdout.decode()


PARK = (1270, 1015)  # where the pointer rests between clicks: away from every test window


def mouse_position() -> tuple[int, int]:
    fields = dict(line.split("=", 1) for line in xdotool("getmouselocation", "--shell").split())
    return int(fields["X"]), int(fields["Y"])


def mouse_move(x: int, y: int) -> None:
    """Moves the pointer and waits until X reports it there (xdotool's --sync
    hangs when it is there already); repeated every half second, as a Wine
    program that warps the pointer at that moment undoes a move."""
    last_move = 0.0

    def there() -> bool:
        nonlocal last_move
        if mouse_position() == (x, y):
            return True
        if time.monotonic() - last_move >= 0.5:
            xdotool("mousemove", x, y)
            last_move = time.monotonic()
        return False

    wait_for(there, 10, 0.02, f"the pointer to reach ({x}, {y})")


def click(x: int, y: int, button: int = 1, park: bool = True) -> None:
    mouse_move(x, y)
    xdotool("click", button)
    if park:
        mouse_move(*PARK)


def drag(start: tuple[int, int], end: tuple[int, int], steps: int = 16, cancel: bool = False,
         watch: Optional[Callable[[], None]] = None) -> None:
    """Left button down at start, moved in steps to end and released there (with cancel after a
    right click there); watch is called after every step and right after the release."""
    mouse_move(*start)
    xdotool("mousedown", 1)
    try:
        time.sleep(0.1)
        for i in range(1, steps + 1):
            mouse_move(start[0] + (end[0] - start[0]) * i // steps, start[1] + (end[1] - start[1]) * i // steps)
            time.sleep(0.02)
            if watch:
                watch()
        time.sleep(0.2)
        if cancel:
            xdotool("mousedown", 3)
            time.sleep(0.1)
            xdotool("mouseup", 3)
            time.sleep(0.3)
    finally:
        xdotool("mouseup", 1)
    if watch:
        watch()
    time.sleep(0.1)
    mouse_move(*PARK)


def screenshot(name: str) -> None:
    """Saves the whole screen as $BUILD_DIR/screenshots/NAME.png."""
    SCREENSHOT_DIR.mkdir(parents=True, exist_ok=True)
    subprocess.run(["import", "-window", "root", str(SCREENSHOT_DIR / f"{name}.png")], check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)


def screen_pixel(x: int, y: int) -> str:
    """The colour of one screen pixel as "RRGGBB"."""
    r = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"], check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
    m = re.search(r"#([0-9A-Fa-f]{6})", r.stdout.decode())
    assert m, r.stdout
    return m.group(1).upper()
