"""Printing the card on a real (PDF) printer, measured on the printed page."""
import os
import subprocess
import unittest

import harness
from harness import Card, Machine, is_dark, is_white, near, pictures
from printer import Printer, rasterise

DATE = 1004
PRINTER = Printer()
ZELL = harness.ZELL
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج", "BtnPrint": "طباعة"}}
DARK_GREEN = bytes(1 if i < 60 else 0 for i in range(256))


def setUpModule():
    reason = PRINTER.why_unavailable()
    if reason:
        raise unittest.SkipTest(f"no printer to print on: {reason}")
    PRINTER.start()


def tearDownModule():
    PRINTER.stop()


class Page:
    """A printed page, found by its frame; positions in layout units (1/2.7 mm)."""

    def __init__(self, image, dpi):
        self.image, self.scale = image, dpi / 25.4 / 2.7
        self.top, self.bottom = self._lines(range(image.height), lambda y: self._row(y))
        middle_row = self.top + self.px(131)  # between the title box and the first row: only the frame is black
        blacks = [x for x in range(image.width) if self.black(x, middle_row)]
        self.left, self.right = blacks[0], blacks[-1]

    def px(self, units):
        return int(units * self.scale)

    def black(self, x, y):
        return max(self.image.pixel(x, y)) < 60

    def _row(self, y):
        w = self.image.width
        return self.image.data[y * w * 3 + 1:(y + 1) * w * 3:3].translate(DARK_GREEN).count(1)

    def _lines(self, rows, count):
        full = [y for y in rows if count(y) > self.image.width // 3]
        return full[0], full[-1]

    def at(self, x_units, y_units):
        return self.image.pixel(self.left + self.px(x_units), self.top + self.px(y_units))

    def count(self, box, predicate, step=2):
        left, top, right, bottom = (self.px(v) for v in box)
        return sum(1 for y in range(self.top + top, self.top + bottom, step)
                   for x in range(self.left + left, self.left + right, step) if predicate(self.image.pixel(x, y)))


def print_card(test, card, dpi=300, confirm=True):
    """Presses Print, answers the Print dialog, and returns the printed page (None when nothing came)."""
    PRINTER.use(dpi)
    before = PRINTER.jobs()
    card.inspect("click", 1007)
    card.inspect("dialog", 1 if confirm else 2, 30000)  # IDOK / IDCANCEL
    pdf = PRINTER.wait_for_job(before, timeout=60 if confirm else 10)
    if pdf is None:
        return None
    page = Page(rasterise(pdf, dpi, card.root), dpi)
    # The page where a reader can look at it, as PDF and as a picture.
    os.makedirs(harness.SCREENSHOTS, exist_ok=True)
    name = os.path.join(harness.SCREENSHOTS, f"printed-{test.id().split('.')[-1]}-{dpi}")
    subprocess.run(["pdftoppm", "-r", "50", "-singlefile", "-png", pdf, name], check=True, timeout=120)
    os.replace(pdf, name + ".pdf")
    return page


def ink_runs(page, box):
    """Stretches of columns with ink across the box: joined Arabic letters make a
    few, a font without their glyphs one box per letter."""
    left, top, right, bottom = (page.px(v) for v in box)
    columns = [any(page.black(page.left + x, page.top + y) for y in range(top, bottom)) for x in range(left, right)]
    return sum(1 for before, ink in zip([False] + columns, columns) if ink and not before)


def label_box(row, rtl=False):
    top = 100 + 40 * row
    return (216, top, 342, top + 22) if rtl else (25, top, 151, top + 22)


def value_box(row, rtl=False):
    top = 100 + 40 * row
    return (30, top, 214, top + 22) if rtl else (153, top, 337, top + 22)


class Printing(unittest.TestCase):
    def check_frame(self, page, dpi):
        # The frame's lines are 5 pixels wide and centred on the card's edges.
        self.assertAlmostEqual(page.right - page.left, int(367 / 25.4 / 2.7 * dpi), delta=4)
        self.assertAlmostEqual(page.bottom - page.top, int(384 / 25.4 / 2.7 * dpi), delta=4)

    def test_the_card_on_paper(self):
        with Card(self, Machine(dmi=ZELL, brand="Zell")) as card:
            card.start()
            card.type(DATE, "2026-12-24")  # typed, not saved
            page = print_card(self, card)
            self.assertIsNotNone(page, "no job arrived")
            self.check_frame(page, 300)
            for x, y in ((300, 20), (200, 70), (350, 45)):
                self.assertTrue(near(page.at(x, y), pictures.zell((x + .5) / 367, (y + .5) / 82, 367 / 82), 40),
                                (x, y, page.at(x, y)))
            self.assertTrue(is_white(page.at(200, 90)), "the banner ends at 82 units")
            self.assertGreater(page.count((25, 28, 200, 60), is_white), 50, "white title over the banner")
            for row in range(7):
                self.assertGreater(page.count(label_box(row), is_dark), 20, f"label {row}")
            for row in (0, 1, 2, 3, 4):
                self.assertGreater(page.count(value_box(row), is_dark), 20, f"value {row}")
            self.assertEqual(page.count(value_box(5), is_dark), 0, "no FUB on this machine")

    def test_arabic_swaps_the_columns(self):
        no_banner = {r"C:\Velopass\PIC\Zell_Banner.bmp": None}  # the title in black, on white
        with Card(self, Machine(locale="ar_SA.UTF-8", dmi=ZELL, brand="Zell"), text_file=ARABIC,
                  files=no_banner) as card:
            card.start()
            card.type(DATE, "2026-12-24")
            page = print_card(self, card)
            self.check_frame(page, 300)
            # Drawn, not boxes: joined letters leave fewer stretches of ink than letters.
            for text, box in ((ARABIC["ar"]["AppTitle"], (25, 28, 342, 60)),
                              (ARABIC["ar"]["lblProductName"], label_box(0, rtl=True))):
                self.assertLess(ink_runs(page, box), len(text.replace(" ", "")) * 2 / 3, text)
            for row in (0, 1, 4):
                self.assertGreater(page.count(label_box(row, rtl=True), is_dark), 20, f"label {row}")
                self.assertGreater(page.count(value_box(row, rtl=True), is_dark), 20, f"value {row}")
            # Right-aligned: the values end near the right of their boxes.
            self.assertGreater(page.count((150, 100, 214, 122), is_dark), 10)
            self.assertEqual(page.count((30, 100, 90, 122), is_dark), 0)

    def test_light_banner_and_no_banner_print_a_black_title(self):
        cases = [("Brindle Hall", {}), ("Zell", {r"C:\Velopass\PIC\Zell_Banner.bmp": None})]
        for brand, files in cases:
            with self.subTest(brand=brand, banner=not files), \
                    Card(self, Machine(brand=brand, dmi=ZELL), files=files) as card:
                card.start()
                page = print_card(self, card)
                self.check_frame(page, 300)
                self.assertGreater(page.count((25, 28, 200, 60), is_dark), 50)
                if files:
                    self.assertTrue(is_white(page.at(300, 20)), "no banner")

    def test_cancelling_prints_nothing(self):
        with Card(self, Machine(dmi=ZELL)) as card:
            card.start()
            before = card.dump()
            self.assertIsNone(print_card(self, card, confirm=False))
            after = card.dump()
            self.assertEqual([c["text"] for c in after["controls"]], [c["text"] for c in before["controls"]])
            self.assertEqual(after["text"], before["text"])

    def test_600_dpi_measures_the_same(self):
        with Card(self, Machine(dmi=ZELL, brand="Marwick")) as card:
            card.start()
            page = print_card(self, card, dpi=600)
            self.assertIsNotNone(page)
            self.check_frame(page, 600)
            self.assertGreater(page.count(label_box(0), is_dark, step=4), 20)


if __name__ == "__main__":
    harness.main()
