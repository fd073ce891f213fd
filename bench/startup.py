#!/usr/bin/env python3
"""Start-up benchmark: the time from process start to the card fully painted
(shown, nothing left to paint), under Wine, against a minimal dialog that runs
the same WMI query and nothing else, on a private PC (scripts/winepc.py): two
rounds of alternating runs with WMI as Wine answers, two with a WMI that
answers after 300 ms, as a PC's does just after boot:

    VELOPASS_BIN=build/windows python3 bench/startup.py [RUNS]
"""
import os
import shutil
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from winepc import BIN_DIR, PC, SHIPPED, Machine, quiet, unix_to_windows  # noqa: E402

PROGRAMS = {"card": r"C:\Velopass\Velopass.exe", "minimal dialog": r"C:\Velopass\vpminimal.exe"}


def launch(pc, exe):
    """Milliseconds from the program's start to its window painted, and from its close command to its process's
    end, timed inside Wine."""
    out = os.path.join(pc.root, "launch.txt")
    quiet(["wine", os.path.join(BIN_DIR, "vplaunch.exe"), unix_to_windows(out), exe, "60000"], pc.env)
    with open(out) as f:
        return tuple(map(float, f.read().split()))


def alternate(pc, programs, runs, figure):
    """Each program {name: exe} launched in turn, `runs` times after two that warm the prefix's caches; prints
    each one's median of `figure` (0: the start, 1: the close) and returns the medians."""
    times = {name: [] for name in programs}
    for run in range(runs + 2):
        for name, exe in programs.items():
            ms = launch(pc, exe)[figure]
            if run >= 2:
                times[name].append(ms)
    medians = {name: statistics.median(values) for name, values in times.items()}
    for name, values in times.items():
        print(f"{name:15} median {medians[name]:8.1f} ms  (min {min(values):.1f}, max {max(values):.1f}, "
              f"{len(values)} runs)")
    return medians


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 31
    for wmi, delay in (("as Wine answers", None), ("answering after 300 ms", 300)):
        with PC(Machine(brand="Zell", wmi_delay=delay), text_file=SHIPPED) as pc:
            shutil.copy2(os.path.join(BIN_DIR, "vpminimal.exe"), pc.path(r"C:\Velopass"))
            for round in (1, 2):
                print(f"WMI {wmi}, round {round}:")
                medians = alternate(pc, PROGRAMS, runs, 0)
                print(f"ratio card / minimal dialog: {medians['card'] / medians['minimal dialog']:.3f}")


if __name__ == "__main__":
    main()
