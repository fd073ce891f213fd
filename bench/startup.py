#!/usr/bin/env python3
"""Start-up benchmark: the time from process start to the card fully painted
(shown, nothing left to paint), under Wine, against a minimal dialog that runs
the same WMI query and nothing else. Run through ctest's environment:

    VELOPASS_BIN=build/windows VELOPASS_INSPECT=build/windows/vpprobe.exe \\
        python3 bench/startup.py [RUNS]
"""
import os
import shutil
import statistics
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
from harness import SHIPPED, Card, Machine  # noqa: E402

RUNS = int(sys.argv[1]) if len(sys.argv) > 1 else 21
PROGRAMS = {"card": r"C:\Velopass\Velopass.exe", "minimal dialog": r"C:\Velopass\vpminimal.exe"}


def launch(card, exe):
    """Milliseconds from the program's start to its window painted, timed inside Wine."""
    out = os.path.join(card.root, "launch.txt")
    launcher = os.path.join(harness.BIN_DIR, "vplaunch.exe")
    harness.quiet(["wine", launcher, harness.unix_to_windows(out), exe, "60000"], card.env)
    with open(out) as f:
        return float(f.read())


class Startup(unittest.TestCase):
    def test_startup(self):
        with Card(self, Machine(brand="Zell"), text_file=SHIPPED) as card:
            shutil.copy2(os.path.join(harness.BIN_DIR, "vpminimal.exe"), card.path(r"C:\Velopass"))
            times = {name: [] for name in PROGRAMS}
            for run in range(RUNS + 2):  # the first two warm the prefix's caches
                for name, exe in PROGRAMS.items():
                    ms = launch(card, exe)
                    if run >= 2:
                        times[name].append(ms)
            medians = {name: statistics.median(values) for name, values in times.items()}
            for name, values in times.items():
                print(f"{name:15} median {medians[name]:8.1f} ms  (min {min(values):.1f}, max {max(values):.1f}, "
                      f"{len(values)} runs)")
            print(f"ratio card / minimal dialog: {medians['card'] / medians['minimal dialog']:.3f}")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=0)
