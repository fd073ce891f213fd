"""Start-up, the empty card, single instance and shut-down, on the real program."""
import unittest

import harness
from harness import Card, Machine, wait_until


class Startup(unittest.TestCase):
    def test_one_empty_card_that_stays_open_until_closed(self):
        with Card(self, Machine(wmi=False)) as card:
            process = card.start()
            # No maximise box, no sizing; only the buttons and the date edit enabled, only the buttons take Tab.
            card.assert_as_reviewed("empty-card")

            card.press(1004, "enter", "escape")
            card.press(1007, "escape")
            card.type(1004, "12.03.2026")  # keys are taken in turn: once this shows, the others were handled
            self.assertTrue(wait_until(lambda: card.texts()[1004] == "12.03.2026"))
            self.assertIsNone(process.poll(), "Enter or Escape closed the card")

            # A second start brings the minimised card back, and shows no card of its own.
            card.press(0, "alt+space", "n")  # the system menu's Minimize
            self.assertTrue(wait_until(lambda: card.dump()["iconic"]), "the card did not minimise")
            self.assertEqual(card.start(wait=False).wait(60), 0)
            self.assertTrue(wait_until(lambda: not card.dump()["iconic"]), "the card stayed minimised")
            self.assertEqual(card.close(process), 0)


if __name__ == "__main__":
    harness.main()
