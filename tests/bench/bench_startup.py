"""Start-up time of the bar, with a baseline from the same run.

Prints, for a few starts each, how long it takes from launching the program
under Wine until its window is on screen and has settled:
  baseline  target.exe, a trivial window program of the tests
  bar       TAVRIN.EXE on an empty registry (it shows and hides its page
            buttons one by one, 10 ms each)
Figures only: nothing here passes or fails.
"""
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import tavrin_harness as h  # noqa: E402

RUNS = 5


def time_baseline() -> float:
    t0 = time.monotonic()
    target = h.Target("Bench baseline")
    h.wait_stable(target.hwnd, quiet_ms=200)
    elapsed = time.monotonic() - t0
    target.close()
    return elapsed


def time_bar() -> float:
    h.reg_clear()
    t0 = time.monotonic()
    bar = h.Bar()
    bar.start()  # waits for the window and for it to settle
    elapsed = time.monotonic() - t0
    bar.stop()
    h.probe_run("waitgone", h.BAR_TITLE, 30000)
    return elapsed


def main() -> None:
    h.end_stray_bars()
    time_baseline()  # warm the prefix's caches once
    baseline = [time_baseline() for _ in range(RUNS)]
    bar = [time_bar() for _ in range(RUNS)]
    settle = h.QUIET_MS / 1000
    print(f"start-up, median of {RUNS} (includes waiting {settle:.1f} s for the window to stay still):")
    print(f"  baseline target.exe  {statistics.median(baseline):6.2f} s   (min {min(baseline):.2f})")
    print(f"  TAVRIN.EXE           {statistics.median(bar):6.2f} s   (min {min(bar):.2f})")
    print(f"  bar minus baseline   {statistics.median(bar) - statistics.median(baseline):6.2f} s")


if __name__ == "__main__":
    main()
