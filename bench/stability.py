#!/usr/bin/env python3
"""Memory under use: the card's private memory (resident anonymous pages and data segment) after a warm-up of 40
language switches, repaints and a few display changes, and again after as many more as asked, under Wine, on a
private PC (scripts/winepc.py). Its GDI objects under the same use are checked by e2e.language.UnderUse.

    VELOPASS_BIN=build/windows python3 bench/stability.py [USES]
"""
import contextlib
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from winepc import BIN_DIR, PC, SHIPPED, Machine, prefix_processes, quiet, unix_to_windows  # noqa: E402

USES = int(sys.argv[1]) if len(sys.argv) > 1 else 500
LANGUAGE_COMMANDS = [16 * (k + 1) for k in range(20)]  # the window menu's twenty languages


def probe(pc, *args):
    out = unix_to_windows(os.path.join(pc.root, "probe.json"))
    quiet(["wine", os.path.join(BIN_DIR, "vpprobe.exe"), out, *map(str, args)], pc.env, timeout=900)


def use(pc, times):
    probe(pc, "sysloop", times, *LANGUAGE_COMMANDS)  # each switch, then a repaint
    probe(pc, "displayloop", max(2, times // 10), 800, 600, 1280, 1024)  # to and from a screen too small to scale


def memory(pc):
    """The card's private memory in kB: {RssAnon, VmData}."""
    for pid in prefix_processes(pc.prefix):
        with contextlib.suppress(OSError), open(f"/proc/{pid}/cmdline", "rb") as cmdline, \
                open(f"/proc/{pid}/status") as status:
            if b"Velopass.exe" in cmdline.read():
                fields = dict(line.split(":", 1) for line in status if ":" in line)
                return {key: int(fields[key].split()[0]) for key in ("RssAnon", "VmData")}


def main():
    with PC(Machine(brand="Lumiframe", dpi=120), text_file=SHIPPED) as pc:
        pc.start()
        probe(pc, "wait", 120000)
        use(pc, 40)  # first uses fill caches that stay
        before = memory(pc)
        use(pc, USES)
        after = memory(pc)
        for key in before:
            print(f"{key:7} {before[key]:7} kB after the warm-up, {after[key]:7} kB after {USES} more uses "
                  f"({after[key] - before[key]:+} kB)")


if __name__ == "__main__":
    main()
