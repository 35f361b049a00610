"""Paste latency (release to text in the target), a burst of 300 clicks at ten a second, idle CPU
and peak working set, beside floor.exe: a bare button whose click does only SetForegroundWindow,
CF_TEXT and the four keybd_event calls; then the kept paste ("KeepClipboard" 1): its latency and how
long after the offer (the keys) the user's clipboard is back, for this build and for each build
named on the command line. Figures only: nothing here passes or fails."""
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import tavrin_harness as h  # noqa: E402

FLOOR_EXE = Path(os.environ["FLOOR_EXE"])  # set by scripts/bench.sh
ROUNDS = 25
BURST = 300
TITLE = "計測"


def make_current(bar: h.Bar, target: h.Target) -> None:
    h.set_foreground(target.hwnd)
    h.wait_for(lambda: h.strip_text(bar) == h.sjis(TITLE), h.CHANGE_TIMEOUT, 0.05, "the bar to track the target")


def press_and_release(x: int, y: int) -> float:
    """Presses at (x, y) and releases; returns the time of the release."""
    h.mouse_move(x, y)
    h.xdotool("mousedown", 1)
    time.sleep(0.2)
    t0 = time.perf_counter()
    h.xdotool("mouseup", 1)
    return t0


def timed_click(x: int, y: int, edit: str, text: str) -> float | None:
    """Presses at (x, y), releases, and returns ms from the release until the
    edit holds text (None when it never did)."""
    watch = h.WineProcess(h.CLIPTOOL_EXE, "waittext", edit, h.hexarg(text), 5000)
    try:
        if watch.readline() != "ready":
            return None
        t0 = press_and_release(x, y)
        line = watch.readline(10)
        return (time.perf_counter() - t0) * 1000 if line.startswith("match") else None
    finally:
        watch.kill()
        h.mouse_move(*h.PARK)


def timed_kept_click(x: int, y: int, edit: str, text: str) -> tuple[float, float] | None:
    """A click with the clipboard kept: (ms from the release until the edit
    holds text, ms from the offer until the user's clipboard is back)."""
    h.WineProcess(h.CLIPTOOL_EXE, "setall", h.hexarg("利用者の文字"), "0001", 5).wait(h.EXIT_TIMEOUT)
    watch = h.WineProcess(h.CLIPTOOL_EXE, "watch", edit, h.hexarg(text), 10000)
    try:
        if watch.readline() != "ready":
            return None
        t0 = press_and_release(x, y)
        lines = []
        while not (line := watch.readline(15)).startswith(("pasted", "end")):
            lines.append(line)
        latency = (time.perf_counter() - t0) * 1000
        while line != "end":
            lines.append(line := watch.readline(15))
        updates = [x.split() for x in lines if x.startswith("update")]
        back = [float(u[1]) for u in updates if u[3] == "binary=1"]
        return (latency, back[-1] - float(updates[0][1])) if back else None
    except h.TimedOut:
        return None
    finally:
        watch.kill()
        h.mouse_move(*h.PARK)


def summary(times: list[float]) -> str:
    if not times:
        return "no figures (every click lost)"
    return f"median {statistics.median(times):5.1f} ms, min {min(times):5.1f}, max {max(times):5.1f}"


def linux_pid(exe_name: str) -> int | None:
    """The Linux process that runs a Wine program of that file name."""
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            cmdline = (entry / "cmdline").read_bytes().split(b"\0")[0]
        except OSError:
            continue
        if cmdline.upper().endswith(exe_name.upper().encode()):
            return int(entry.name)
    return None


def cpu_ticks(pid: int) -> int:
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def peak_rss_kib(pid: int) -> int:
    lines = Path(f"/proc/{pid}/status").read_text().splitlines()
    return next((int(line.split()[1]) for line in lines if line.startswith("VmHWM:")), 0)


def main() -> None:
    h.end_stray_bars()
    h.reg_clear()
    bar = h.Bar().start()
    target = h.Target(TITLE, "--pos", 860, 300, 380, 220)
    floor = h.WineProcess(FLOOR_EXE, target.hwnd, h.hexarg("姓"))
    floor_button = [floor.readline() for _ in range(3)][1].split()[1]  # "window W", "button B", "ready"
    try:
        edit = target.edits[h.EDIT]
        bar_xy = bar.state().child(h.FAMILY_NAME).screen.center
        floor_xy = h.window_rect(floor_button).center
        bar_times, floor_times, lost = [], [], {"bar": 0, "floor": 0}
        for _ in range(ROUNDS):
            for who, xy, times in (("bar", bar_xy, bar_times), ("floor", floor_xy, floor_times)):
                h.set_window_text(edit, b"")
                make_current(bar, target)
                ms = timed_click(*xy, edit, "姓")
                if ms is None:
                    lost[who] += 1
                else:
                    times.append(ms)
        print(f"paste, release to text in the target, {ROUNDS} clicks each, interleaved:")
        print(f"  floor.exe   {summary(floor_times)}   lost {lost['floor']}")
        print(f"  TAVRIN.EXE  {summary(bar_times)}   lost {lost['bar']}")
        print(f"  ratio of medians  {statistics.median(bar_times) / statistics.median(floor_times):.2f}")

        # A burst at ten clicks a second, alternating 姓 and 名.
        h.set_window_text(edit, b"")
        make_current(bar, target)
        given_xy = bar.state().child(h.GIVEN_NAME).screen.center
        expected = b""
        for i in range(BURST):
            x, y = bar_xy if i % 2 == 0 else given_xy
            expected += h.sjis("姓" if i % 2 == 0 else "名")
            start = time.monotonic()
            h.xdotool("mousemove", x, y, "click", 1)
            time.sleep(max(0.0, 0.1 - (time.monotonic() - start)))
        h.mouse_move(*h.PARK)
        try:
            h.wait_for(lambda: len(h.window_text(edit)) >= len(expected), 10, 0.1, "the burst to arrive")
        except h.TimedOut:
            pass
        got = h.window_text(edit)
        print(f"burst: {len(got) // 2} of {BURST} clicks at ten a second arrived, in order: {got == expected}")

        # Idle: the target in front, nobody clicking.
        make_current(bar, target)
        bar_pid, floor_pid = linux_pid("TAVRIN.EXE"), linux_pid("floor.exe")
        if bar_pid and floor_pid:
            hz = os.sysconf("SC_CLK_TCK")
            before = cpu_ticks(bar_pid), cpu_ticks(floor_pid)
            time.sleep(30)
            after = cpu_ticks(bar_pid), cpu_ticks(floor_pid)
            share = [100 * (a - b) / hz / 30 for a, b in zip(after, before)]
            print(f"idle CPU over 30 s: TAVRIN.EXE {share[0]:.2f} %, floor.exe {share[1]:.2f} %")
            print(f"peak working set: TAVRIN.EXE {peak_rss_kib(bar_pid) / 1024:.1f} MiB, "
                  f"floor.exe {peak_rss_kib(floor_pid) / 1024:.1f} MiB")
        else:
            print("idle CPU and memory: the Linux processes were not found")
        bar.stop()
        # Another build reads its settings under its own file name: name it
        # TAVRIN.EXE, in a folder of its own, for its kept paste to be timed.
        for exe in [h.TAVRIN_EXE, *map(Path, sys.argv[1:])]:
            h.preset({"Setting": {"KeepClipboard": 1}})
            bar = h.Bar(exe=exe).start()
            bar_xy = bar.state().child(h.FAMILY_NAME).screen.center
            kept, floor_times, lost = [], [], 0
            for _ in range(ROUNDS):
                h.set_window_text(edit, b"")
                make_current(bar, target)
                got = timed_kept_click(*bar_xy, edit, "姓")
                if got:
                    kept.append(got)
                else:
                    lost += 1
                h.set_window_text(edit, b"")
                make_current(bar, target)
                if (ms := timed_click(*floor_xy, edit, "姓")) is not None:
                    floor_times.append(ms)
            print(f"kept paste, {exe}, {ROUNDS} clicks, interleaved with floor.exe:")
            print(f"  floor.exe   {summary(floor_times)}")
            print(f"  kept paste  {summary([k[0] for k in kept])}   lost {lost}")
            print(f"  clipboard back after the offer (the keys)  {summary([k[1] for k in kept])}")
            bar.stop()
    finally:
        floor.kill()
        target.close()
        bar.stop()


if __name__ == "__main__":
    main()
