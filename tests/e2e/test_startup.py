"""Start-up, the empty card, single instance and shut-down, on the real program."""
import unittest

import harness
from harness import Card, Machine, wait_until


class Startup(unittest.TestCase):
    def test_one_empty_card_that_stays_open_until_closed(self):
        with Card(self, Machine(wmi=False)) as card:
            process = card.start()
            window = card.dump()
            self.assertEqual(window["style"] & 0x90CF00C8, 0x90CA00C8)  # no maximise box, no sizing
            controls = {c["id"]: (c["text"], c["style"] & 0x08010000) for c in window["controls"]}
            # Only the buttons and the date edit are enabled; only the buttons take Tab.
            expected = {i: ("", 0x08010000) for i in range(1000, 1007)}
            expected.update({1004: ("", 0), 1007: ("Print", 0x00010000), 1008: ("Close", 0x00010000)})
            self.assertEqual(controls, expected)

            card.press(1004, "enter", "escape")
            card.press(1007, "escape")
            card.type(1004, "12.03.2026")  # keys are taken in turn: once this shows, the others were handled
            self.assertTrue(wait_until(lambda: {c["id"]: c["text"] for c in card.dump()["controls"]}[1004] == "12.03.2026"))
            self.assertIsNone(process.poll(), "Enter or Escape closed the card")

            # A second start brings the minimised card back, and shows no card of its own.
            card.press(0, "alt+space", "n")  # the system menu's Minimize
            self.assertTrue(wait_until(lambda: card.dump()["iconic"]), "the card did not minimise")
            self.assertEqual(card.start(wait=False).wait(60), 0)
            self.assertTrue(wait_until(lambda: not card.dump()["iconic"]), "the card stayed minimised")
            self.assertEqual(card.close(process), 0)


if __name__ == "__main__":
    harness.main()
