"""The language menu and switching the card's language while it runs."""
import time
import unittest

import harness
from harness import SHIPPED, Card, Machine, is_dark

WS_EX_LAYOUTRTL, WS_EX_RIGHT = 0x00400000, 0x00001000
LABEL_ROWS = [(25, 100 + 40 * row, 151, 122 + 40 * row) for row in range(7)]
TEXTS = {
    "common": {"SupportedLang": "en/de/xx/ar/ja."},
    "en": {"AppTitle": "Velopass", "lblLangText": "English", "lblSwitchLang": "Language"},
    "de": {"AppTitle": "Velopass DE", "lblLangText": "Deutsch", "lblSwitchLang": "Sprache",
           "lblProductName": "Produktname", "lblSerialNb": "Seriennummer", "lblPartNb": "Teilenummer",
           "lblDOP": "Kaufdatum", "BtnPrint": "Drucken", "BtnClose": "Schließen"},
    "xx": {"AppTitle": "Velopass XX", "BtnPrint": "Print XX"},  # no menu entry, no lblSwitchLang
    "ar": {"AppTitle": "فيلوباس", "lblLangText": "العربية", "BtnPrint": "طباعة", "BtnClose": "إغلاق"},
    "ja": {"AppTitle": "Velopass JA", "lblLangText": "日本語", "BtnPrint": "印刷", "BtnClose": "閉じる"},
}
SHIPPED_LANGUAGES = ["en", "de", "fr", "es", "it", "nl", "pt", "sv", "no", "da", "fi", "pl", "cs", "ru", "tr", "ar",
                     "ja", "ko", "zh-cht", "zh-chs"]


def switch(card, index):
    card.inspect("syscommand", 16 * (index + 1))
    time.sleep(0.5)
    window = card.dump()
    window["by_id"] = {c["id"]: c for c in window["controls"]}
    edits = [c for c in window["controls"] if c["class"] == "Edit"]
    window["mirrored"] = [bool(int(w["exstyle"], 16) & bit)
                          for w, bit in [(window, WS_EX_LAYOUTRTL)] + [(c, WS_EX_RIGHT) for c in edits]]
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
            self.assertEqual(set(switch(card, 3)["mirrored"]), {True})  # Arabic: card and edits mirrored
            self.assertEqual(set(switch(card, 0)["mirrored"]), {False})

    def test_popup_has_one_entry_per_named_language(self):
        heights = {}
        for name, text_file in (("three", TEXTS), ("shipped", SHIPPED)):
            with Card(self, text_file=text_file) as card:
                card.start()
                card.inspect("languagemenu")
                menus = harness.wait_until(lambda: [w for w in card.inspect("zorder") if w["class"] == "#32768"])
                self.assertEqual(len(menus), 2, "the system menu and its language popup")
                heights[name] = menus[0]["rect"][3]
                card.screenshot(f"language-menu-{name}")
        # en, de, ar and ja have entries (xx has none); the shipped file has twenty.
        item = (heights["shipped"] - heights["three"]) / 16
        self.assertGreater(item, 10)
        self.assertLess(abs(heights["three"] - 4 * item), 12, heights)

    def test_every_shipped_language_switches_the_card(self):
        with Card(self, Machine(dmi=harness.ZELL, brand="Marwick"), text_file=SHIPPED) as card:
            card.start()
            seen = set()
            for index, code in enumerate(SHIPPED_LANGUAGES):
                window = switch(card, index)
                self.assertEqual((window["text"], window["mirrored"][0]), ("Velopass", code == "ar"), code)
                self.assertNotIn(texts(window)[1:], seen, f"{code} has the buttons of another language")
                seen.add(texts(window)[1:])
                if code in ("de", "ar", "ja", "zh-cht", "ko", "ru"):
                    card.screenshot(f"language-{code}", window)


if __name__ == "__main__":
    harness.main()
