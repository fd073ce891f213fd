"""Switching the card's language while it runs, and its resources staying put under use:
language switches, repaints and display changes."""
import time
import unittest

import harness
from harness import SHIPPED, Card, Machine, is_dark

LABEL_ROWS = [(25, 100 + 40 * row, 151, 122 + 40 * row) for row in range(7)]
TEXTS = {
    "common": {"SupportedLang": "en/de/xx/ar."},
    "en": {"AppTitle": "Velopass", "lblLangText": "English"},
    "de": {"AppTitle": "Velopass DE", "lblLangText": "Deutsch", "lblProductName": "Produktname",
           "lblSerialNb": "Seriennummer", "lblPartNb": "Teilenummer", "lblDOP": "Kaufdatum", "BtnPrint": "Drucken",
           "BtnClose": "Schließen"},
    "xx": {"AppTitle": "Velopass XX", "BtnPrint": "Print XX"},  # no menu entry
    "ar": {"AppTitle": "فيلوباس", "lblLangText": "العربية", "BtnPrint": "طباعة", "BtnClose": "إغلاق"},
}
LANGUAGE_COMMANDS = [16 * (k + 1) for k in range(20)]  # all twenty, Arabic among them
# After the warm-up the card's GDI objects stay put (a font leaked per paint adds 540); its private memory moves
# by up to some 350 kB, far less than a text table leaked per switch. File pages grow with first use alone.
TOLERANCE_KB = 1024


def switch(card, index):
    card.inspect("syscommand", 16 * (index + 1))
    time.sleep(0.5)
    window = card.dump()
    window["by_id"] = {c["id"]: c for c in window["controls"]}
    return window


def texts(window):
    return window["text"], window["by_id"][1007]["text"], window["by_id"][1008]["text"]


class Switching(unittest.TestCase):
    def test_each_entry_switches_to_its_language(self):
        with Card(self, Machine(dmi=harness.ZELL, brand="Zell"), text_file=TEXTS) as card:
            card.start()
            before = switch(card, 0)
            ink = [card.capture().client(before).count(rect, is_dark) for rect in LABEL_ROWS]
            german = switch(card, 1)
            self.assertEqual(texts(german), ("Velopass DE", "Drucken", "Schließen"))
            values = [{i: w["by_id"][i]["text"] for i in range(1000, 1007)} for w in (before, german)]
            self.assertEqual(values[1], values[0])
            self.assertEqual(german["rect"], before["rect"])
            ink_after = [card.capture().client(german).count(rect, is_dark) for rect in LABEL_ROWS]
            changed = [i for i, (a, b) in enumerate(zip(ink, ink_after)) if a != b]
            self.assertEqual(changed, [0, 1, 3, 4], "the four translated labels, not SNID, FUB or DLR")
            # A language without a menu entry still has its command; keys it lacks keep their texts.
            self.assertEqual(texts(switch(card, 2)), ("Velopass XX", "Print XX", "Schließen"))
            self.assertEqual(texts(switch(card, 0)), ("Velopass", "Print XX", "Schließen"))
            self.assertEqual(harness.mirrored(switch(card, 3)), {True})  # Arabic: card and edits mirrored
            self.assertEqual(harness.mirrored(switch(card, 0)), {False})

    def test_switches_repaints_and_display_changes_leave_no_trace(self):
        with Card(self, Machine(dmi=harness.ZELL, brand="Lumiframe", dpi=120), text_file=SHIPPED) as card:
            card.start()

            def use(times):
                card.inspect("sysloop", times, *LANGUAGE_COMMANDS, timeout=600)
                card.inspect("repaint", times, timeout=600)
                card.inspect("displayloop", max(2, times // 10), 1024, 768, 1280, 1024, timeout=600)

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
