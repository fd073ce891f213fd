"""Start-up, the empty card, single instance and shut-down, on the real program."""
import unittest

import harness
from harness import Card, Machine, wait_until

SC_MINIMIZE = 0xF020
VK_RETURN, VK_ESCAPE = 0x0D, 0x1B
WS_BORDER, WS_EX_CLIENTEDGE = 0x00800000, 0x00000200

EDIT_STYLE = 0x58810080  # disabled, border, tab stop, auto-scroll
DATE_EDIT_STYLE = 0x50800080  # enabled, border, no tab stop
BUTTON_STYLE = 0x50010000

TEXTS = {
    "en": {"AppTitle": "Velopass EN", "BtnPrint": "Print EN", "BtnClose": "Close EN"},
    "de": {"AppTitle": "Velopass DE", "BtnPrint": "Drucken", "BtnClose": "Schließen"},
}


def as_created(control):
    """The control's style with the border the dialog turned into a client edge put back."""
    style = int(control["style"], 16)
    if int(control["exstyle"], 16) & WS_EX_CLIENTEDGE:
        style |= WS_BORDER
    return style


def top_level(card, title=None, cls=None):
    return [w for w in card.inspect("zorder") if (title is None or w["text"] == title)
            and (cls is None or w["class"] == cls)]


class EmptyCard(unittest.TestCase):
    def test_without_text_file_the_card_shows_its_template(self):
        with Card(self, Machine(wmi=False)) as card:
            card.start()
            window = card.dump()
            card.screenshot("startup-no-text-file")
            self.assertEqual(window["class"], "ZellVelopass")
            self.assertEqual(window["text"], "Velopass")
            style = int(window["style"], 16)
            self.assertEqual(style & 0x90CA00C8, 0x90CA00C8)  # popup, caption, system menu, minimise box
            self.assertFalse(style & 0x00050000, "no maximise box, no sizing border")
            self.assertTrue(int(window["exstyle"], 16) & 0x00040000, "shown in the task bar")

            # The layout brings each control to the top as it places it, so the
            # sibling order is not the template's any more: compare by id.
            controls = {c["id"]: c for c in window["controls"]}
            self.assertEqual(sorted(controls), [1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008])
            expected = {1007: ("Button", "Print", BUTTON_STYLE), 1008: ("Button", "Close", BUTTON_STYLE),
                        1004: ("Edit", "", DATE_EDIT_STYLE)}
            for id_, control in controls.items():
                cls, text, style = expected.get(id_, ("Edit", "", EDIT_STYLE))
                self.assertEqual((control["class"], control["text"], hex(as_created(control))),
                                 (cls, text, hex(style)), id_)

    def test_enter_and_escape_leave_the_card_open(self):
        with Card(self) as card:
            process = card.start()
            card.type(1004, "12.03.2026")
            card.inspect("key", 1004, VK_RETURN)
            card.inspect("key", 1004, VK_ESCAPE)
            card.inspect("key", 1007, VK_ESCAPE)
            self.assertIsNone(wait_until(process.poll, timeout=3), "the card closed")
            window = card.dump()
            self.assertTrue(window["visible"])
            date = next(c for c in window["controls"] if c["id"] == 1004)
            self.assertEqual(date["text"], "12.03.2026")

    def test_close_ends_the_process_and_leaves_nothing_running(self):
        with Card(self) as card:
            process = card.start()
            card.inspect("click", 1008)
            self.assertEqual(process.wait(30), 0)
            processes = [p.lower() for p in card.inspect("processes")]
            self.assertNotIn("velopass.exe", processes)
            self.assertEqual(top_level(card, cls="ZellVelopass"), [])


class Language(unittest.TestCase):
    def test_the_user_locale_picks_the_section(self):
        for locale, section in (("de_DE.UTF-8", "de"), ("fr_FR.UTF-8", "en")):
            with self.subTest(locale=locale), Card(self, Machine(locale=locale), text_file=TEXTS) as card:
                card.start()
                window = card.dump()
                self.assertEqual(window["text"], TEXTS[section]["AppTitle"])
                buttons = [c["text"] for c in window["controls"][:2]]
                self.assertEqual(buttons, [TEXTS[section]["BtnPrint"], TEXTS[section]["BtnClose"]])
                if section == "de":
                    card.screenshot("startup-de")

    def test_empty_title_counts_as_absent(self):
        texts = {"de": {"AppTitle": "", "BtnPrint": "Drucken"}}
        with Card(self, Machine(locale="de_DE.UTF-8"), text_file=texts) as card:
            card.start()
            window = card.dump()
            self.assertEqual(window["text"], "Velopass")
            self.assertEqual(window["controls"][0]["text"], "Print")  # "en" chosen, which the file lacks


class SingleInstance(unittest.TestCase):
    def test_second_start_raises_the_covered_card(self):
        with Card(self) as card:
            card.start()
            x, y, w, h = card.dump()["rect"]
            card.occupy("Cover", (x, y, w, h), 90)
            wait_until(lambda: card.inspect("zorder")[0]["text"] == "Cover")
            self.assertEqual(card.inspect("zorder")[0]["text"], "Cover")

            second = card.start(wait=False)
            self.assertEqual(second.wait(60), 0)
            order = [w["class"] for w in card.inspect("zorder")]
            self.assertEqual(order.count("ZellVelopass"), 1, "the second start showed no card of its own")
            self.assertLess(order.index("ZellVelopass"), order.index("VpInspectCover"))
            self.assertFalse(card.dump()["topmost"])

    def test_second_start_restores_the_minimised_card(self):
        with Card(self) as card:
            card.start()
            card.inspect("syscommand", SC_MINIMIZE)
            self.assertTrue(wait_until(lambda: card.dump()["iconic"]), "the card did not minimise")
            second = card.start(wait=False)
            self.assertEqual(second.wait(60), 0)
            self.assertTrue(wait_until(lambda: not card.dump()["iconic"]), "the card stayed minimised")
            self.assertEqual(len(top_level(card, cls="ZellVelopass")), 1)

    def test_without_a_card_window_the_title_is_raised(self):
        # A first instance that shows no card yet (its guest refusal, say) is
        # found by its caption, the title in the user's language.
        with Card(self, Machine(locale="de_DE.UTF-8"), text_file=TEXTS) as card:
            card.occupy("Velopass DE", (100, 100, 300, 200), 90, hold_mutex=True)
            wait_until(lambda: top_level(card, title="Velopass DE"))
            card.occupy("Cover", (50, 50, 500, 400), 90)
            wait_until(lambda: card.inspect("zorder")[0]["text"] == "Cover")
            second = card.start(wait=False)
            self.assertEqual(second.wait(60), 0)
            titles = [w["text"] for w in card.inspect("zorder")]
            self.assertLess(titles.index("Velopass DE"), titles.index("Cover"))
            self.assertEqual(top_level(card, cls="ZellVelopass"), [])


if __name__ == "__main__":
    harness.main()
