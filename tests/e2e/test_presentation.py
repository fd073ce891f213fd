"""The card as it looks: layout by DPI and screen, banners, labels, title, painting."""
import unittest

import harness
from harness import Card, Machine, is_dark, is_white, near, pictures

PIC = r"C:\Velopass\PIC"
BAND_GREY = (240, 240, 240)
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


def ink(client, rect):
    """The width of what is written inside a control's rectangle."""
    x, y, w, h = rect
    written = [i for j in range(y + 3, y + h - 3) for i in range(x + 3, x + w - 3) if min(client.pixel(i, j)) < 200]
    return max(written) - min(written) + 1


class Layout(unittest.TestCase):
    def test_dpi_screen_size_and_display_changes(self):
        # (edit left, width, height, first top, row pitch, button top, button size) at each scale
        design, at_120 = (153, 184, 22, 100, 40, 392, [108, 26]), (191, 230, 28, 125, 50, 490, [135, 33])
        at_144 = (230, 276, 33, 150, 60, 588, [162, 39])
        banners = {rf"{PIC}\Zell_Banner{suffix}.bmp": pictures.bmp(16, 4, lambda x, y, c=colour: c)
                   for suffix, colour in VARIANT_COLOURS.items()}
        # DPI, then each screen in turn (the display changes to it) with the layout and the values' font height
        # there, and the banner chosen by DPI alone. Fonts are made once: a card started on a small screen keeps
        # the unscaled ones.
        for dpi, steps, variant in (
                (96, [((1280, 1024), design, 12)], ""),
                (120, [((1280, 1024), at_120, 15), ((800, 600), design, 12), ((1280, 1024), at_120, 15)], "1"),
                (144, [((1280, 1024), at_144, 18)], "2"), (192, [((1920, 1200), at_144, 18)], "2"),
                (120, [((1024, 600), design, 12), ((1280, 1024), at_120, 12)], "1")):
            machine = Machine(dpi=dpi, screen=steps[0][0], brand="Zell", dmi=harness.ZELL)
            with self.subTest(dpi=dpi, screens=[step[0] for step in steps]), Card(self, machine, files=banners) as card:
                card.start()
                for step, (screen, layout, font) in enumerate(steps):
                    if step:
                        card.inspect("displayloop", 1, *screen, 0, 0)
                    window, client = shown(card)
                    left, width, height, first_top, pitch, button_top, button_size = layout
                    rects = controls(window)
                    self.assertEqual([rects[1000 + row] for row in range(7)],
                                     [[left, first_top + pitch * row, width, height] for row in range(7)], screen)
                    self.assertEqual([rects[i][1:2] + rects[i][2:] for i in (1007, 1008)],
                                     [[button_top] + button_size] * 2)
                    self.assertAlmostEqual(ink(client, rects[1000]), 70 * font / 12, delta=3)  # "Zell Aero 14"
                    self.assertTrue(near(client.pixel(10, 10), VARIANT_COLOURS[variant], 8), client.pixel(10, 10))
                    self.assertEqual(client.pixel(5, button_top - 5), BAND_GREY)


class Painting(unittest.TestCase):
    def test_banners_labels_and_title_in_both_reading_directions(self):
        # (DPI, language, brand, files): each brand's banner at 96 DPI, Zell's taken away, both directions at 120
        for dpi, language, brand, files in [(96, "en", brand, {}) for brand in pictures.BRANDS] + [
                (96, "en", "Zell", {rf"{PIC}\Zell_Banner.bmp": None}), (96, "ar", "Marwick", {}),
                (120, "ar", "Lumiframe", {}), (120, "en", "Lumiframe", {})]:
            arabic, label, band_y = language == "ar", FIRST_LABEL if dpi == 96 else (31, 125, 189, 153), dpi * 76 // 96
            machine = Machine(dpi=dpi, locale="ar_SA.UTF-8" if arabic else "en_US.UTF-8", brand=brand, dmi=harness.ZELL)
            with self.subTest(dpi=dpi, language=language, brand=brand, banner=not files), \
                    Card(self, machine, ARABIC if arabic else None, files) as card:
                card.start()
                name = language if arabic or dpi > 96 else brand.replace(" ", "-") + ("-no-banner" if files else "")
                window, client = shown(card, f"card-{dpi}-{name}")
                # Mirrored for Arabic, labels in their rows (so on the right), the title white on a dark banner,
                # at the right of its box in Arabic.
                self.assertEqual(harness.mirrored(window), {arabic})
                self.assertGreater(client.count(label, is_dark), 20)
                title = (200 * dpi // 96, 28, 342 * dpi // 96, 60) if arabic else TITLE
                self.assertGreater(client.count(title, is_dark if files or brand == "Brindle Hall" else is_white), 40)
                if dpi > 96 or arabic:  # the banner across its whole band
                    self.assertFalse(any(is_white(client.pixel(x, band_y)) for x in range(0, 450 * dpi // 120, 9)))
                for x, y in ((300, 20), (200, 70), (350, 45)) if dpi == 96 and not arabic else ():
                    artwork = pictures.BRANDS[brand]((x + 0.5) / 367, (y + 0.5) / 82, 367 / 82)
                    self.assertTrue(is_white(client.pixel(x, y)) if files else near(client.pixel(x, y), artwork))


if __name__ == "__main__":
    harness.main()
