#!/usr/bin/env python3
"""Closing benchmark: the time from Close (the close box's command) until the card's process has ended, the date of
purchase saved on the way, under Wine, for this build against another card (an earlier build, say), in turn on one
private PC (scripts/winepc.py) whose data file holds a date and a section of the OEM's own:

    VELOPASS_BIN=build/windows python3 bench/closing.py OTHER-VELOPASS.EXE [RUNS]
"""
import shutil
import sys

from startup import PC, SHIPPED, Machine, alternate
from winepc import ini_bytes, program

DATA = {program.kDataFolder + program.kDataFileName: ini_bytes({"data": {"DOP": "2026-03-01"},
                                                                "oem": {"Note": "the OEM's own"}})}


def main(other, runs):
    with PC(Machine(brand="Zell"), text_file=SHIPPED, files=DATA) as pc:
        shutil.copy2(other, pc.path(r"C:\Velopass\other.exe"))
        medians = alternate(pc, {"this build": r"C:\Velopass\Velopass.exe", "other card": r"C:\Velopass\other.exe"},
                            runs, 1)
        print(f"difference of the medians: {medians['this build'] - medians['other card']:+.1f} ms")


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 21)
