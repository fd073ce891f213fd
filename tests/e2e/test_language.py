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
ZELL = harness.ZELL


def switch(card, index):
    card.inspect("syscommand", 16 * (index + 1))
    time.sleep(0.5)
    return card.dump()


def buttons(window):
    by_id = {c["id"]: c["text"] for c in window["controls"]}
    return by_id[1007], by_id[1008]


def label_ink(card, window):
    client = card.capture().client(window)
    return [client.count(rect, is_dark) for rect in LABEL_ROWS]


def exstyle(control):
    return int(control["exstyle"], 16)


class Switching(unittest.TestCase):
    def test_each_entry_switches_to_its_language(self):
        with Card(self, Machine(dmi=ZELL, brand="Zell"), text_file=TEXTS) as card:
            card.start()
            before = card.dump()
            ink_before = label_ink(card, before)
            values = [c["text"] for c in before["controls"]]

            german = switch(card, 1)
            self.assertEqual(german["text"], "Velopass DE")
            self.assertEqual(buttons(german), ("Drucken", "Schließen"))
            self.assertEqual([c["text"] for c in german["controls"] if c["class"] == "Edit"],
                             [v for c, v in zip(before["controls"], values) if c["class"] == "Edit"])
            self.assertEqual(german["rect"], before["rect"])
            ink_after = label_ink(card, german)
            changed = [i for i, (a, b) in enumerate(zip(ink_before, ink_after)) if a != b]
            self.assertEqual(changed, [0, 1, 3, 4], "the four translated labels, not SNID, FUB or DLR")
            card.screenshot("language-switch-de", german)

            # A language without a menu entry still has its command; keys it lacks keep their texts.
            other = switch(card, 2)
            self.assertEqual((other["text"], buttons(other)), ("Velopass XX", ("Print XX", "Schließen")))
            # Its missing lblSwitchLang leaves the entry "Sprache" (Wine keeps menus to their
            # process, so this one is for the eye).
            card.inspect("languagemenu")
            card.screenshot("language-menu-after-xx")
            for _ in range(2):
                card.inspect("key", 0, 0x1B)

            english = switch(card, 0)
            self.assertEqual(english["text"], "Velopass")
            self.assertEqual(buttons(english), ("Print XX", "Schließen"))  # en has no button texts

    def test_arabic_mirrors_and_back(self):
        with Card(self, text_file=TEXTS) as card:
            card.start()
            arabic = switch(card, 3)
            self.assertTrue(exstyle(arabic) & WS_EX_LAYOUTRTL)
            edits = [c for c in arabic["controls"] if c["class"] == "Edit"]
            self.assertTrue(all(exstyle(c) & WS_EX_RIGHT for c in edits))
            back = switch(card, 0)
            self.assertFalse(exstyle(back) & WS_EX_LAYOUTRTL)
            edits = [c for c in back["controls"] if c["class"] == "Edit"]
            self.assertFalse(any(exstyle(c) & WS_EX_RIGHT for c in edits))

    def test_popup_has_one_entry_per_named_language(self):
        heights = {}
        for name, texts in (("three", TEXTS), ("shipped", SHIPPED)):
            with Card(self, text_file=texts) as card:
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


class ShippedTextFile(unittest.TestCase):
    LANGUAGES = ["en", "de", "fr", "es", "it", "nl", "pt", "sv", "no", "da", "fi", "pl", "cs", "ru", "tr", "ar",
                 "ja", "ko", "zh-cht", "zh-chs"]

    def test_every_language_switches_the_card(self):
        shots = {"de": "de", "ar": "ar", "ja": "ja", "zh-cht": "zh-cht", "ko": "ko", "ru": "ru"}
        with Card(self, Machine(dmi=ZELL, brand="Marwick"), text_file=SHIPPED) as card:
            card.start()
            seen = set()
            for index, code in enumerate(self.LANGUAGES):
                window = switch(card, index)
                self.assertEqual(window["text"], "Velopass", code)
                self.assertEqual(bool(exstyle(window) & WS_EX_LAYOUTRTL), code == "ar", code)
                texts = buttons(window)
                self.assertNotIn(texts, seen, f"{code} has the buttons of another language")
                seen.add(texts)
                if code in shots:
                    card.screenshot(f"language-{shots[code]}", window)


if __name__ == "__main__":
    harness.main()
