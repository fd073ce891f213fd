#!/usr/bin/env python3
"""Closing benchmark: the time from Close (the close box's command) until the card's process has ended, the date of
purchase saved on the way, under Wine, for this build against another card (an earlier build, say), in turn on one
private PC (scripts/winepc.py) whose data file holds a date and a section of the OEM's own:

    VELOPASS_BIN=build/windows python3 bench/closing.py OTHER-VELOPASS.EXE [RUNS]
"""
import os
import shutil
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from winepc import BIN_DIR, PC, SHIPPED, Machine, ini_bytes, program, quiet, unix_to_windows  # noqa: E402

DATA = {program.kDataFolder + program.kDataFileName: ini_bytes({"data": {"DOP": "2026-03-01"},
                                                                "oem": {"Note": "the OEM's own"}})}


def closing(pc, exe):
    """Milliseconds from the close command to the process's end, timed inside Wine."""
    out = os.path.join(pc.root, "launch.txt")
    quiet(["wine", os.path.join(BIN_DIR, "vplaunch.exe"), unix_to_windows(out), exe, "60000"], pc.env)
    with open(out) as f:
        return float(f.read().split()[1])


def main(other, runs):
    with PC(Machine(brand="Zell"), text_file=SHIPPED, files=DATA) as pc:
        shutil.copy2(other, pc.path(r"C:\Velopass\other.exe"))
        programs = {"this build": r"C:\Velopass\Velopass.exe", "other card": r"C:\Velopass\other.exe"}
        times = {name: [] for name in programs}
        for run in range(runs + 2):  # the first two warm the prefix's caches
            for name, exe in programs.items():
                ms = closing(pc, exe)
                if run >= 2:
                    times[name].append(ms)
        for name, values in times.items():
            print(f"{name:11} median {statistics.median(values):7.1f} ms  (min {min(values):.1f}, "
                  f"max {max(values):.1f}, {len(values)} runs)")
        print(f"difference of the medians: {statistics.median(times['this build']) - statistics.median(times['other card']):+.1f} ms")


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 21)
