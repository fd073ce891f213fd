"""Start-up, the empty card, single instance and shut-down, on the real program."""
import unittest

import harness
from harness import Card, Machine, wait_until

VK_RETURN, VK_ESCAPE, SC_MINIMIZE = 0x0D, 0x1B, 0xF020
TEXTS = {"en": {"AppTitle": "Velopass EN", "BtnPrint": "Print EN", "BtnClose": "Close EN"},
         "de": {"AppTitle": "Velopass DE", "BtnPrint": "Drucken", "BtnClose": "Schließen"}}


def card_windows(card):
    return [w for w in card.inspect("zorder") if w["class"] == "ZellVelopass"]


class Startup(unittest.TestCase):
    def test_the_empty_card_stays_open_until_closed(self):
        with Card(self, Machine(wmi=False)) as card:
            process = card.start()
            window = card.dump()
            self.assertEqual((window["class"], window["text"]), ("ZellVelopass", "Velopass"))
            self.assertEqual(int(window["style"], 16) & 0x90CF00C8, 0x90CA00C8)  # no maximise box, no sizing
            controls = {c["id"]: (c["text"], int(c["style"], 16) & 0x08010000) for c in window["controls"]}
            # Only the buttons and the date edit are enabled; only the buttons take Tab.
            expected = {i: ("", 0x08010000) for i in range(1000, 1007)}
            expected.update({1004: ("", 0), 1007: ("Print", 0x00010000), 1008: ("Close", 0x00010000)})
            self.assertEqual(controls, expected)

            card.type(1004, "12.03.2026")
            for control, key in ((1004, VK_RETURN), (1004, VK_ESCAPE), (1007, VK_ESCAPE)):
                card.inspect("key", control, key)
            self.assertIsNone(wait_until(process.poll, timeout=3), "Enter or Escape closed the card")
            card.inspect("click", 1008)
            self.assertEqual(process.wait(30), 0)
            self.assertIsNone(card.pid())

    def test_the_user_locale_picks_the_section(self):
        empty_title = {"de": {"AppTitle": "", "BtnPrint": "Drucken"}}  # no title: no "de", and no "en" either
        for locale, texts, caption, buttons in (("de_DE.UTF-8", TEXTS, "Velopass DE", ["Drucken", "Schließen"]),
                                                ("fr_FR.UTF-8", TEXTS, "Velopass EN", ["Print EN", "Close EN"]),
                                                ("de_DE.UTF-8", empty_title, "Velopass", ["Print", "Close"])):
            with self.subTest(locale=locale, caption=caption), \
                    Card(self, Machine(locale=locale), text_file=texts) as card:
                card.start()
                window = card.dump()
                by_id = {c["id"]: c["text"] for c in window["controls"]}
                self.assertEqual((window["text"], [by_id[1007], by_id[1008]]), (caption, buttons))


class SingleInstance(unittest.TestCase):
    def test_a_second_start_raises_and_restores_the_card(self):
        with Card(self) as card:
            card.start()
            card.occupy("Cover", card.dump()["rect"], 90)
            wait_until(lambda: card.inspect("zorder")[0]["text"] == "Cover")
            self.assertEqual(card.start(wait=False).wait(60), 0)
            order = [w["class"] for w in card.inspect("zorder")]
            self.assertLess(order.index("ZellVelopass"), order.index("VpInspectCover"))
            self.assertFalse(card.dump()["topmost"])

            card.inspect("syscommand", SC_MINIMIZE)
            self.assertTrue(wait_until(lambda: card.dump()["iconic"]), "the card did not minimise")
            self.assertEqual(card.start(wait=False).wait(60), 0)
            self.assertTrue(wait_until(lambda: not card.dump()["iconic"]), "the card stayed minimised")
            self.assertEqual(len(card_windows(card)), 1)

    def test_without_a_card_window_the_title_is_raised(self):
        # A first instance that shows no card yet (its guest refusal, say) is
        # found by its caption, the title in the user's language.
        with Card(self, Machine(locale="de_DE.UTF-8"), text_file=TEXTS) as card:
            card.occupy("Velopass DE", (100, 100, 300, 200), 90, hold_mutex=True)
            wait_until(lambda: "Velopass DE" in [w["text"] for w in card.inspect("zorder")])
            card.occupy("Cover", (50, 50, 500, 400), 90)
            wait_until(lambda: card.inspect("zorder")[0]["text"] == "Cover")
            self.assertEqual(card.start(wait=False).wait(60), 0)
            titles = [w["text"] for w in card.inspect("zorder")]
            self.assertLess(titles.index("Velopass DE"), titles.index("Cover"))
            self.assertEqual(card_windows(card), [])


if __name__ == "__main__":
    harness.main()
