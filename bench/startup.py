#!/usr/bin/env python3
"""Start-up benchmark: the time from process start to the card fully painted
(shown, nothing left to paint), under Wine, against a minimal dialog that runs
the same WMI query and nothing else, on a private PC (scripts/winepc.py):

    VELOPASS_BIN=build/windows python3 bench/startup.py [RUNS]
"""
import os
import shutil
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from winepc import BIN_DIR, PC, SHIPPED, Machine, quiet, unix_to_windows  # noqa: E402

RUNS = int(sys.argv[1]) if len(sys.argv) > 1 else 21
PROGRAMS = {"card": r"C:\Velopass\Velopass.exe", "minimal dialog": r"C:\Velopass\vpminimal.exe"}


def launch(pc, exe):
    """Milliseconds from the program's start to its window painted, timed inside Wine."""
    out = os.path.join(pc.root, "launch.txt")
    quiet(["wine", os.path.join(BIN_DIR, "vplaunch.exe"), unix_to_windows(out), exe, "60000"], pc.env)
    with open(out) as f:
        return float(f.read().split()[0])


def main():
    with PC(Machine(brand="Zell"), text_file=SHIPPED) as pc:
        shutil.copy2(os.path.join(BIN_DIR, "vpminimal.exe"), pc.path(r"C:\Velopass"))
        times = {name: [] for name in PROGRAMS}
        for run in range(RUNS + 2):  # the first two warm the prefix's caches
            for name, exe in PROGRAMS.items():
                ms = launch(pc, exe)
                if run >= 2:
                    times[name].append(ms)
        medians = {name: statistics.median(values) for name, values in times.items()}
        for name, values in times.items():
            print(f"{name:15} median {medians[name]:8.1f} ms  (min {min(values):.1f}, max {max(values):.1f}, "
                  f"{len(values)} runs)")
        print(f"ratio card / minimal dialog: {medians['card'] / medians['minimal dialog']:.3f}")


if __name__ == "__main__":
    main()
