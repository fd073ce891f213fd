"""The card as it looks: layout by DPI and screen, banners, labels, title, painting."""
import unittest

import harness
from harness import Card, Machine, is_dark, is_white, near, pictures

PIC = r"C:\Velopass\PIC"
BAND_GREY = (240, 240, 240)
WS_EX_LAYOUTRTL, WS_EX_RIGHT = 0x00400000, 0x00001000
SC_MINIMIZE, SC_RESTORE = 0xF020, 0xF120
ZELL = harness.ZELL
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج", "lblSerialNb": "الرقم التسلسلي",
                 "lblPartNb": "رقم القطعة", "lblDOP": "تاريخ الشراء", "BtnPrint": "طباعة", "BtnClose": "إغلاق"}}

# Planted banners of one colour per DPI variant tell which file the card chose.
VARIANT_COLOURS = {"": (200, 30, 30), "1": (30, 160, 60), "2": (40, 60, 200)}


def planted_banners(brand="Zell"):
    return {rf"{PIC}\{brand}_Banner{suffix}.bmp": pictures.bmp(16, 4, lambda x, y, c=colour: c)
            for suffix, colour in VARIANT_COLOURS.items()}


def controls(window):
    return {c["id"]: c["rect"] for c in window["controls"]}


def artwork(brand, x, y):
    """The colour of the brand's 96-DPI banner at (x, y)."""
    return pictures.BRANDS[brand]((x + 0.5) / 367, (y + 0.5) / 82, 367 / 82)


class Layout(unittest.TestCase):
    def check_layout(self, window, edit, button_y, button_size):
        left, width, height, tops = edit
        rects = controls(window)
        self.assertEqual([rects[1000 + row] for row in range(7)], [[left, top, width, height] for top in tops])
        self.assertEqual((rects[1007][1], rects[1007][2:]), (button_y, button_size))
        self.assertEqual((rects[1008][1], rects[1008][2:]), (button_y, button_size))

    def test_dpi_and_screen_size(self):
        design = ((153, 184, 22, list(range(100, 341, 40))), 392, [108, 26])
        scaled_120 = ((191, 230, 28, list(range(125, 426, 50))), 490, [135, 33])
        scaled_144 = ((230, 276, 33, [150, 210, 270, 330, 390, 450, 510]), 588, [162, 39])
        cases = [
            (96, (1280, 1024), design, ""),
            (120, (1280, 1024), scaled_120, "1"),
            (144, (1280, 1024), scaled_144, "2"),
            (192, (1920, 1200), scaled_144, "2"),
            (120, (1024, 600), design, "1"),  # too small to scale; the banner still follows the DPI
        ]
        for dpi, screen, layout, variant in cases:
            with self.subTest(dpi=dpi, screen=screen), \
                    Card(self, Machine(dpi=dpi, screen=screen, brand="Zell"), files=planted_banners()) as card:
                card.start()
                window = card.dump()
                self.check_layout(window, *layout)
                client = card.capture().client(window)
                self.assertTrue(near(client.pixel(10, 10), VARIANT_COLOURS[variant], 8), client.pixel(10, 10))
                band_top = controls(window)[1007][1] - 10
                self.assertEqual(client.pixel(5, band_top + 5), BAND_GREY)

    def test_display_change_lays_the_card_out_again(self):
        small, large = (1024, 600), (1280, 1024)
        with Card(self, Machine(dpi=120, screen=small)) as card:
            card.start()
            self.assertEqual(controls(card.dump())[1000], [153, 100, 184, 22])

            card.inspect("syscommand", SC_MINIMIZE)
            harness.wait_until(lambda: card.dump()["iconic"])
            self.assertEqual(card.inspect("displaymode", *large), 0)
            self.assertEqual(controls(card.dump())[1000], [153, 100, 184, 22], "laid out while minimised")

            card.inspect("syscommand", SC_RESTORE)
            self.assertTrue(harness.wait_until(lambda: controls(card.dump())[1000] == [191, 125, 230, 28]),
                            controls(card.dump())[1000])
            card.screenshot("display-change-restored", card.dump())

            self.assertEqual(card.inspect("displaymode", *small), 0)
            self.assertTrue(harness.wait_until(lambda: controls(card.dump())[1000] == [153, 100, 184, 22]))


class Painting(unittest.TestCase):
    def test_each_brand_has_its_banner_and_a_readable_title(self):
        for brand in pictures.BRANDS:
            with self.subTest(brand=brand), Card(self, Machine(brand=brand, dmi=ZELL)) as card:
                card.start()
                window = card.dump()
                client = card.capture().client(window)
                card.screenshot(f"card-96-{brand.replace(' ', '-')}", window)
                for x, y in ((300, 20), (200, 70), (350, 45)):
                    self.assertTrue(near(client.pixel(x, y), artwork(brand, x, y)), (x, y, client.pixel(x, y)))
                title = (25, 28, 200, 60)
                if brand == "Brindle Hall":
                    self.assertGreater(client.count(title, is_dark), 40)
                else:
                    self.assertGreater(client.count(title, is_white), 40)
                self.assertGreater(client.count((25, 100, 151, 122), is_dark), 20, "label of the first row")
                self.assertTrue(is_white(client.pixel(5, 200)))
                self.assertEqual(client.pixel(5, 400), BAND_GREY)

    def test_cards_at_120_dpi_in_both_directions(self):
        for locale, texts, name in (("en_US.UTF-8", None, "en"), ("ar_SA.UTF-8", ARABIC, "ar")):
            with self.subTest(locale=locale), \
                    Card(self, Machine(dpi=120, locale=locale, brand="Lumiframe", dmi=ZELL), text_file=texts) as card:
                card.start()
                window = card.dump()
                client = card.capture().client(window)
                card.screenshot(f"card-120-{name}", window)
                # The 120-DPI banner fills its band; labels sit in their scaled rows.
                self.assertFalse(any(is_white(client.pixel(x, 95)) for x in range(0, 450, 9)))
                self.assertTrue(is_white(client.pixel(5, 110)))
                self.assertGreater(client.count((31, 125, 189, 153), is_dark), 20)

    def test_without_a_banner_the_title_shows_in_black(self):
        with Card(self, files={rf"{PIC}\Zell_Banner.bmp": None}) as card:
            card.start()
            window = card.dump()
            client = card.capture().client(window)
            card.screenshot("card-96-no-banner", window)
            self.assertTrue(is_white(client.pixel(300, 40)))
            self.assertGreater(client.count((25, 28, 200, 60), is_dark), 40)

    def test_arabic_is_mirrored(self):
        with Card(self, Machine(locale="ar_SA.UTF-8", brand="Marwick", dmi=ZELL), text_file=ARABIC) as card:
            card.start()
            window = card.dump()
            self.assertEqual(window["text"], ARABIC["ar"]["AppTitle"])
            self.assertTrue(int(window["exstyle"], 16) & WS_EX_LAYOUTRTL)
            for c in window["controls"]:
                if c["class"] == "Edit":
                    self.assertTrue(int(c["exstyle"], 16) & WS_EX_RIGHT, c["id"])
            image = card.capture()
            client = image.client(window)
            card.screenshot("card-96-ar", window)
            # Labels on the right-hand side, title at the right of its box, banner across the band.
            self.assertGreater(client.count((25, 100, 151, 122), is_dark), 20)
            self.assertGreater(client.count((200, 28, 342, 60), is_white), 40)
            self.assertFalse(any(is_white(client.pixel(x, 76)) for x in range(0, 360, 7)))

    def test_older_systems_draw_a_mirrored_copy(self):
        left_red = pictures.bmp(367, 82, lambda x, y: (220, 0, 0) if x < 183 else (0, 0, 220))
        files = {rf"{PIC}\Zell_Banner.bmp": left_red}
        for locale, texts in (("en_US.UTF-8", None), ("ar_SA.UTF-8", ARABIC)):
            with self.subTest(locale=locale), \
                    Card(self, Machine(os_version="winxp", locale=locale), text_file=texts, files=files) as card:
                card.start()
                window = card.dump()
                client = card.capture().client(window)
                card.screenshot(f"card-xp-{locale[:2]}", window)
                # Whichever way the system draws, the whole band is covered.
                left, right = client.pixel(20, 76), client.pixel(340, 76)
                self.assertNotEqual(left, right)
                self.assertTrue(all(not is_white(client.pixel(x, 76)) for x in range(2, 360, 7)))


if __name__ == "__main__":
    harness.main()
