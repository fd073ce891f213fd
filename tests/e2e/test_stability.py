"""The card's resources stay put under use: language switches, repaints and
display changes. Under Wine GetGuiResources answers nothing (a stub), so the
GDI and USER objects are watched through what they cost the process: its
private memory, and its windows."""
import unittest

import harness
from harness import SHIPPED, Card, Machine

ZELL = harness.ZELL
LANGUAGE_COMMANDS = [16 * (k + 1) for k in range(20)]  # all twenty, Arabic among them
# After the warm-up the card's private memory moves by about 10 kB; leaking one
# brush and one font a paint adds some 300 kB over these 540 paints. Resident
# file pages (fonts, code) are not counted: they grow with first use alone.
TOLERANCE_KB = 128


class Stability(unittest.TestCase):
    def test_switches_repaints_and_display_changes_leave_no_trace(self):
        with Card(self, Machine(dmi=ZELL, brand="Lumiframe", dpi=120), text_file=SHIPPED) as card:
            card.start()

            def use(times):
                card.inspect("sysloop", times, *LANGUAGE_COMMANDS, timeout=600)
                card.inspect("repaint", times, timeout=600)
                card.inspect("displayloop", max(2, times // 10), 1024, 768, 1280, 1024, timeout=600)

            use(40)  # warm-up: first uses fill caches that stay
            before, windows = card.memory(), len(card.dump()["controls"])
            use(500)
            after = card.memory()
            print(f"memory before {before}, after {after} (kB)")
            for key in ("RssAnon", "VmData"):
                self.assertLess(after[key] - before[key], TOLERANCE_KB, key)
            window = card.dump()
            self.assertEqual(len(window["controls"]), windows)
            self.assertEqual(window["controls"][0]["rect"][2:], [135, 33], "still laid out for 120 DPI")


if __name__ == "__main__":
    harness.main()
