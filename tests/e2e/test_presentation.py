"""The card as it looks: layout by DPI and screen, banners, labels, title, painting."""
import unittest

import harness
from harness import Card, Machine, is_dark, is_white, near, pictures

PIC = r"C:\Velopass\PIC"
BAND_GREY = (240, 240, 240)
WS_EX_LAYOUTRTL, WS_EX_RIGHT = 0x00400000, 0x00001000
SC_MINIMIZE, SC_RESTORE = 0xF020, 0xF120
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج", "lblSerialNb": "الرقم التسلسلي",
                 "lblPartNb": "رقم القطعة", "lblDOP": "تاريخ الشراء", "BtnPrint": "طباعة", "BtnClose": "إغلاق"}}
# Planted banners of one colour per DPI variant tell which file the card chose.
VARIANT_COLOURS = {"": (200, 30, 30), "1": (30, 160, 60), "2": (40, 60, 200)}
TITLE, FIRST_LABEL = (25, 28, 200, 60), (25, 100, 151, 122)


def controls(window):
    return {c["id"]: c["rect"] for c in window["controls"]}


def shown(card, name=None):
    """The card's window and a view of its painted client area."""
    window = card.dump()
    if name:
        card.screenshot(name, window)
    return window, card.capture().client(window)


class Layout(unittest.TestCase):
    def test_dpi_and_screen_size(self):
        # (edit left, width, height, first top, row pitch, button top, button size) at each scale
        design, at_120 = (153, 184, 22, 100, 40, 392, [108, 26]), (191, 230, 28, 125, 50, 490, [135, 33])
        at_144 = (230, 276, 33, 150, 60, 588, [162, 39])
        banners = {rf"{PIC}\Zell_Banner{suffix}.bmp": pictures.bmp(16, 4, lambda x, y, c=colour: c)
                   for suffix, colour in VARIANT_COLOURS.items()}
        for dpi, screen, layout, variant in ((96, (1280, 1024), design, ""), (120, (1280, 1024), at_120, "1"),
                                             (144, (1280, 1024), at_144, "2"), (192, (1920, 1200), at_144, "2"),
                                             (120, (1024, 600), design, "1")):  # too small to scale
            with self.subTest(dpi=dpi, screen=screen), \
                    Card(self, Machine(dpi=dpi, screen=screen, brand="Zell"), files=banners) as card:
                card.start()
                window, client = shown(card)
                left, width, height, first_top, pitch, button_top, button_size = layout
                rects = controls(window)
                self.assertEqual([rects[1000 + row] for row in range(7)],
                                 [[left, first_top + pitch * row, width, height] for row in range(7)])
                self.assertEqual([rects[i][1:2] + rects[i][2:] for i in (1007, 1008)], [[button_top] + button_size] * 2)
                self.assertTrue(near(client.pixel(10, 10), VARIANT_COLOURS[variant], 8), client.pixel(10, 10))
                self.assertEqual(client.pixel(5, button_top - 5), BAND_GREY)

    def test_display_change_lays_the_card_out_again(self):
        small, large, design, scaled = (1024, 600), (1280, 1024), [153, 100, 184, 22], [191, 125, 230, 28]
        with Card(self, Machine(dpi=120, screen=small)) as card:
            card.start()
            card.inspect("syscommand", SC_MINIMIZE)
            harness.wait_until(lambda: card.dump()["iconic"])
            self.assertEqual(card.inspect("displaymode", *large), 0)
            self.assertEqual(controls(card.dump())[1000], design, "laid out while minimised")
            card.inspect("syscommand", SC_RESTORE)
            self.assertTrue(harness.wait_until(lambda: controls(card.dump())[1000] == scaled))
            self.assertEqual(card.inspect("displaymode", *small), 0)
            self.assertTrue(harness.wait_until(lambda: controls(card.dump())[1000] == design))


class Painting(unittest.TestCase):
    def test_each_brand_has_its_banner_and_a_readable_title(self):
        for brand in pictures.BRANDS:
            with self.subTest(brand=brand), Card(self, Machine(brand=brand, dmi=harness.ZELL)) as card:
                card.start()
                _, client = shown(card, f"card-96-{brand.replace(' ', '-')}")
                for x, y in ((300, 20), (200, 70), (350, 45)):
                    artwork = pictures.BRANDS[brand]((x + 0.5) / 367, (y + 0.5) / 82, 367 / 82)
                    self.assertTrue(near(client.pixel(x, y), artwork), (x, y, client.pixel(x, y)))
                # White on the banner; black on the light Brindle Hall banner.
                self.assertGreater(client.count(TITLE, is_dark if brand == "Brindle Hall" else is_white), 40)
                self.assertGreater(client.count(FIRST_LABEL, is_dark), 20)
                self.assertTrue(is_white(client.pixel(5, 200)))
                self.assertEqual(client.pixel(5, 400), BAND_GREY)

    def test_without_a_banner_the_title_shows_in_black(self):
        with Card(self, files={rf"{PIC}\Zell_Banner.bmp": None}) as card:
            card.start()
            _, client = shown(card, "card-96-no-banner")
            self.assertTrue(is_white(client.pixel(300, 40)))
            self.assertGreater(client.count(TITLE, is_dark), 40)

    def test_both_reading_directions_at_96_and_120_dpi(self):
        at_120 = (31, 125, 189, 153)  # the first label's row, scaled
        for dpi, language, brand, label, band_y in ((96, "ar", "Marwick", FIRST_LABEL, 76),
                                                    (120, "ar", "Lumiframe", at_120, 95),
                                                    (120, "en", "Lumiframe", at_120, 95)):
            machine = Machine(dpi=dpi, locale=f"{language}_SA.UTF-8" if language == "ar" else "en_US.UTF-8",
                              brand=brand, dmi=harness.ZELL)
            with self.subTest(dpi=dpi, language=language), \
                    Card(self, machine, text_file=ARABIC if language == "ar" else None) as card:
                card.start()
                window, client = shown(card, f"card-{dpi}-{language}")
                edits = [c for c in window["controls"] if c["class"] == "Edit"]
                mirrored = [bool(int(w["exstyle"], 16) & bit)
                            for w, bit in [(window, WS_EX_LAYOUTRTL)] + [(c, WS_EX_RIGHT) for c in edits]]
                self.assertEqual(set(mirrored), {language == "ar"})
                # Labels in their rows (on the right for Arabic), the banner across its whole band.
                self.assertGreater(client.count(label, is_dark), 20)
                self.assertFalse(any(is_white(client.pixel(x, band_y)) for x in range(0, 450 * dpi // 120, 9)))
                if dpi == 96:  # the Arabic title stands at the right of its box
                    self.assertEqual(window["text"], ARABIC["ar"]["AppTitle"])
                    self.assertGreater(client.count((200, 28, 342, 60), is_white), 40)

    def test_older_systems_draw_a_mirrored_copy(self):
        left_red = pictures.bmp(367, 82, lambda x, y: (220, 0, 0) if x < 183 else (0, 0, 220))
        for locale, texts in (("en_US.UTF-8", None), ("ar_SA.UTF-8", ARABIC)):
            with self.subTest(locale=locale), Card(self, Machine(os_version="winxp", locale=locale), text_file=texts,
                                                   files={rf"{PIC}\Zell_Banner.bmp": left_red}) as card:
                card.start()
                _, client = shown(card, f"card-xp-{locale[:2]}")
                # Whichever way the system draws, the whole band is covered.
                self.assertNotEqual(client.pixel(20, 76), client.pixel(340, 76))
                self.assertTrue(all(not is_white(client.pixel(x, 76)) for x in range(2, 360, 7)))


if __name__ == "__main__":
    harness.main()
