"""Switching the card's language from its menu while it runs, and its resources staying put under use:
language switches, repaints and display changes."""
import unittest

import harness
from harness import SHIPPED, Card, Machine, is_dark, wait_until

LABEL_ROWS = [(25, 100 + 40 * row, 151, 122 + 40 * row) for row in range(7)]
TEXTS = {
    "common": {"SupportedLang": "en/de/xx/ar."},
    "en": {"AppTitle": "Velopass", "lblLangText": "English", "lblSwitchLang": "Language"},
    "de": {"AppTitle": "Velopass DE", "lblLangText": "Deutsch", "lblSwitchLang": "Sprache",
           "lblProductName": "Produktname", "lblSerialNb": "Seriennummer", "lblPartNb": "Teilenummer",
           "lblDOP": "Kaufdatum", "BtnPrint": "Drucken", "BtnClose": "Schließen"},
    "xx": {"AppTitle": "Velopass XX", "lblSwitchLang": "XX"},  # no name of its own: no entry
    "ar": {"AppTitle": "فيلوباس", "lblLangText": "العربية", "BtnPrint": "طباعة"},
}
LANGUAGE_COMMANDS = [16 * (k + 1) for k in range(20)]  # all twenty, Arabic among them
# After the warm-up the card's GDI objects stay put (a font leaked per paint adds 540); its private memory moves
# by up to some 350 kB, far less than a text table leaked per switch. File pages grow with first use alone.
TOLERANCE_KB = 1024


def texts(window):
    buttons = {c["id"]: c["text"] for c in window["controls"]}
    return window["text"], buttons[1007], buttons[1008]


def values(window):
    return [c["text"] for c in window["controls"] if c["class"] == "Edit"]


class Switching(unittest.TestCase):
    def test_the_language_entry_lists_and_switches_each_language(self):
        with Card(self, Machine(dmi=harness.ZELL, brand="Zell"), text_file=TEXTS) as card:
            card.start()

            def switch(position, caption):
                """Picks a language from the menu: the card, and the name of the entry below the system menu."""
                card.choose_language(position)
                self.assertTrue(wait_until(lambda: card.dump()["text"] == caption), f"no switch to {caption}")
                return card.dump(), card.menu()[-1][0]

            # Last in the system menu, one entry for each language with a name of its own, by its place in the list.
            before = card.dump()
            self.assertEqual(card.menu()[-1][0::2],
                             ("Language", [("English", 16, []), ("Deutsch", 32, []), ("العربية", 64, [])]))
            ink = [card.capture().client(before).count(rect, is_dark) for rect in LABEL_ROWS]
            german, entry = switch(1, "Velopass DE")
            self.assertEqual((texts(german), entry), (("Velopass DE", "Drucken", "Schließen"), "Sprache"))
            self.assertEqual((values(german), german["rect"]), (values(before), before["rect"]))
            ink_after = [card.capture().client(german).count(rect, is_dark) for rect in LABEL_ROWS]
            changed = [i for i, (a, b) in enumerate(zip(ink, ink_after)) if a != b]
            self.assertEqual(changed, [0, 1, 3, 4], "the four translated labels, not SNID, FUB or DLR")
            # Arabic mirrors the card and its edits; texts it lacks, the entry's name among them, stay as they were.
            arabic, entry = switch(2, "فيلوباس")
            self.assertEqual((texts(arabic), entry, harness.mirrored(arabic)),
                             (("فيلوباس", "طباعة", "Schließen"), "Sprache", {True}))
            english, entry = switch(0, "Velopass")
            self.assertEqual((texts(english), entry, harness.mirrored(english)),
                             (("Velopass", "طباعة", "Schließen"), "Language", {False}))

    def test_switches_repaints_and_display_changes_leave_no_trace(self):
        with Card(self, Machine(dmi=harness.ZELL, brand="Lumiframe", dpi=120), text_file=SHIPPED) as card:
            card.start()

            def use(times):
                card.inspect("sysloop", times, *LANGUAGE_COMMANDS, timeout=600)
                card.inspect("repaint", times, timeout=600)
                card.inspect("displayloop", max(2, times // 10), 800, 600, 1280, 1024, timeout=600)

            use(40)  # warm-up: first uses fill caches that stay
            before, windows, objects = card.memory(), len(card.dump()["controls"]), card.inspect("gdiobjects")
            use(500)
            after = card.memory()
            self.assertEqual(card.inspect("gdiobjects"), objects)
            for key in ("RssAnon", "VmData"):
                self.assertLess(after[key] - before[key], TOLERANCE_KB, key)
            window = card.dump()
            self.assertEqual(len(window["controls"]), windows)
            self.assertEqual(window["controls"][0]["rect"][2:], [135, 33], "still laid out for 120 DPI")


if __name__ == "__main__":
    harness.main()
