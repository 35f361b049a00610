"""Start-up time of the bar until its window is in its final shape, beside
target.exe from the same run; "beyond the pauses" leaves out the 10 ms the bar
pauses at each button. `bench_startup.py OTHER.EXE...` times other builds too.
Figures only: nothing here passes or fails."""
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import tavrin_harness as h  # noqa: E402

RUNS = 9


def time_baseline() -> float:
    t0 = time.monotonic()
    target = h.Target("Bench baseline")
    still = h.wait_stable(target.hwnd)
    elapsed = time.monotonic() - still - t0
    target.close()
    return elapsed


def time_bar(exe: Path) -> float:
    h.reg_clear()
    t0 = time.monotonic()
    bar = h.Bar(exe=exe).start()  # waits for the window and for it to settle
    elapsed = time.monotonic() - bar.still_for - t0
    bar.stop()
    h.probe_run("waitgone", h.BAR_TITLE, 30000)
    return elapsed


def pause_seconds() -> float:
    """The pauses of a first start: the hide pass of every page, then the
    show pass of page 1, 10 ms before each button."""
    hidden = sum(len(h.PAGE_BUTTONS[p]) for p in (1, 2, 4)) + len(h.CUSTOM_DEFAULT)
    return (hidden + len(h.PAGE_BUTTONS[1])) * 0.010


def main() -> None:
    exes = {"TAVRIN.EXE": h.TAVRIN_EXE}
    exes.update((Path(other).name, Path(other).resolve()) for other in sys.argv[1:])
    h.end_stray_bars()
    time_baseline()  # warm the prefix's caches once
    baseline, bars = [], {name: [] for name in exes}
    for _ in range(RUNS):  # in turns, so a busy moment of the machine hits each alike
        baseline.append(time_baseline())
        for name, exe in exes.items():
            bars[name].append(time_bar(exe))
    base = statistics.median(baseline)
    print(f"start-up to the final shape, median of {RUNS}; pauses {pause_seconds():.2f} s (10 ms per button);")
    print("a difference is taken within each turn, then the median of those:")
    print(f"  {'baseline target.exe':24} {base:6.3f} s   (min {min(baseline):.3f})")
    for name, times in bars.items():
        extra = statistics.median(t - b for t, b in zip(times, baseline))
        print(f"  {name:24} {statistics.median(times):6.3f} s   (min {min(times):.3f})"
              f"   minus baseline {extra:6.3f} s   beyond the pauses {extra - pause_seconds():6.3f} s")


if __name__ == "__main__":
    main()
