"""Switching language from the card's menu as it runs, and no resource leaked by switches, repaints, display changes."""
import unittest

from harness import SHIPPED, ZELL, Card, Machine, program, wait_until

TEXTS = {
    "common": {"SupportedLang": "en/de/xx/ar."},
    "en": {"AppTitle": "Velopass", "lblLangText": "English", "lblSwitchLang": "Language"},
    "de": {"AppTitle": "Velopass DE", "lblLangText": "Deutsch", "lblSwitchLang": "Sprache",
           "lblProductName": "Produktname", "lblSerialNb": "Seriennummer", "lblPartNb": "Teilenummer",
           "lblDOP": "Kaufdatum", "BtnPrint": "Drucken", "BtnClose": "Schließen", "lblCopyValues": "Werte kopieren"},
    "xx": {"AppTitle": "Velopass XX", "lblSwitchLang": "XX"},  # no name of its own: no entry
    "ar": {"AppTitle": "فيلوباس", "lblLangText": "العربية", "BtnPrint": "طباعة"}}
LANGUAGE_COMMANDS = [*range(16, 305, 16), 256, 320]  # all twenty; Arabic again between the two Chinese
PRINT, CLOSE = program.IDC_PRINT, program.IDC_CLOSE
TABS = [CLOSE, *range(program.IDC_PRODUCT_NAME, program.IDC_DLR + 1), PRINT]  # from Print: Close, the values, Print


class Switching(unittest.TestCase):
    def test_the_language_entry_lists_and_switches_each_language(self):
        with Card(self, Machine(dmi=ZELL, brand="Zell"), text_file=TEXTS) as card:
            card.start()
            # Last in the system menu, one entry for each language with a name of its own, by its place in the list.
            card.assert_menu_as_reviewed("language-menu")
            # Arabic mirrors the card and its edits; texts it lacks, the entry's name among them, stay as they were.
            for position, caption, name in ((1, "Velopass DE", "language-de"), (2, "فيلوباس", "language-de-ar"),
                                            (0, "Velopass", "language-de-ar-en")):
                card.choose_language(position)
                self.assertTrue(wait_until(lambda: card.dump()["text"] == caption), f"no switch to {caption}")
                card.assert_as_reviewed(name)
                card.assert_menu_as_reviewed(name + "-menu")
                self.assertEqual(card.press(0, *["tab"] * 9, *["shift+tab"] * 9), TABS + TABS[-2::-1] + [PRINT])
            # A second start shows no card of its own: it brings a card minimised from its system menu back, and
            # the card to the front over another program's window, not to stay topmost.
            for hide, state in ((lambda: card.press(0, "alt+space", "n"), "iconic"),
                                (lambda: card.start(wait=False, exe="notepad"), "behind")):
                hide()
                self.assertTrue(wait_until(lambda: card.dump()[state]), f"the card not {state} before")
                self.assertEqual(card.start(wait=False).wait(60), 0)
                self.assertTrue(wait_until(lambda: not card.dump()[state]), f"the card still {state}")
            card.assert_as_reviewed("second-start")


class UnderUse(unittest.TestCase):
    def test_switches_repaints_and_display_changes_leave_no_trace(self):
        with Card(self, Machine(dmi=ZELL, brand="Lumiframe", dpi=120), text_file=SHIPPED) as card:
            card.start()
            objects = []  # the card's GDI objects after a warm-up (first uses fill caches that stay), then after use
            for times in (42, 504):  # whole rounds: the last language zh-chs
                card.inspect("sysloop", times, *LANGUAGE_COMMANDS, timeout=600)  # each switch, then a repaint
                card.inspect("displayloop", max(2, times // 10), 800, 600, 1280, 1024, timeout=600)
                objects.append(card.inspect("gdiobjects"))
            self.assertEqual(objects[1], objects[0])  # a font leaked per paint adds 540; memory: bench/stability.py
            card.assert_as_reviewed("after-use")
