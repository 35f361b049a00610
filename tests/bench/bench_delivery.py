"""Delivery time: how long a click on a text button takes from the release
of the mouse button until the text is in the target's edit control.

cliptool.exe waittext watches the edit from inside Wine and answers as soon
as the text is there; xdotool releases the button. Figures only: nothing
here passes or fails (that every click delivers is checked by the tests).
"""
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import tavrin_harness as h  # noqa: E402

ROUNDS = 5
TITLE = "計測"


def make_current(bar: h.Bar, target: h.Target) -> None:
    """Brings target to the foreground and waits until the bar tracks it."""
    strip = bar.state().child(h.STRIP).hwnd
    h.set_foreground(target.hwnd)
    h.wait_for(lambda: h.window_text(strip) == h.sjis(TITLE), h.CHANGE_TIMEOUT, 0.1, "the strip to show the target")


def main() -> None:
    h.ensure_display()
    h.end_stray_bars()
    h.reg_clear()
    h.mouse_move(*h.PARK)
    bar = h.Bar().start()
    target = h.Target(TITLE)
    try:
        make_current(bar, target)
        edit = target.edits[h.EDIT]
        x, y = bar.state().child(h.FAMILY_NAME).screen.center
        times, spawn, lost = [], [], 0
        for _ in range(ROUNDS):
            h.set_window_text(edit, b"")
            make_current(bar, target)
            watch = h.WineProcess(h.CLIPTOOL_EXE, "waittext", edit, h.hexarg("姓"), int(5000 * h.SCALE))
            try:
                if watch.readline() != "ready":
                    raise RuntimeError("cliptool waittext did not start")
                h.mouse_move(x, y)
                h.xdotool("mousedown", 1)
                time.sleep(0.2)
                t0 = time.perf_counter()
                h.xdotool("mouseup", 1)
                t1 = time.perf_counter()
                line = watch.readline(h.CHANGE_TIMEOUT + 5 * h.SCALE)
                t2 = time.perf_counter()
                if line.startswith("match"):
                    times.append((t2 - t0) * 1000)
                    spawn.append((t1 - t0) * 1000)
                else:
                    lost += 1
                watch.wait()
            finally:
                watch.kill()
            h.mouse_move(*h.PARK)
    finally:
        target.close()
        bar.stop()
    if not times:
        print(f"delivery time: none of {ROUNDS} clicks delivered, nothing to measure")
        return
    print(f"delivery time, release to text in the target, {len(times)} clicks: "
          f"median {statistics.median(times):.0f} ms, min {min(times):.0f} ms, max {max(times):.0f} ms "
          f"(each includes about {statistics.median(spawn):.0f} ms for starting xdotool)"
          + (f"; {lost} of {ROUNDS} clicks delivered nothing" if lost else ""), flush=True)


if __name__ == "__main__":
    main()
