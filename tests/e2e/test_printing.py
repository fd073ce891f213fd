"""Printing the card on a real (PDF) printer, measured on the printed page."""
import os
import subprocess
import unittest

import harness
from harness import Card, Machine, is_dark, is_white, near, pictures
from printer import Printer

PRINTER = Printer()
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج"}}
DARK = bytes(1 if i < 60 else 0 for i in range(256))
NO_BANNER = {r"C:\Velopass\PIC\Zell_Banner.bmp": None}
# name, machine, files, text file, queue, title ink, banner
CASES = [
    ("banner", Machine(dmi=harness.ZELL, brand="Zell"), {}, None, "300", is_white, pictures.zell),
    ("light banner", Machine(dmi=harness.ZELL, brand="Brindle Hall"), {}, None, "600x1200", is_dark,
     pictures.brindle_hall),
    ("arabic, no banner", Machine(locale="ar_SA.UTF-8", dmi=harness.ZELL, brand="Zell"), NO_BANNER, ARABIC, "300",
     is_dark, None),
]


def setUpModule():
    reason = PRINTER.why_unavailable()
    if reason:
        raise unittest.SkipTest(f"no printer to print on: {reason}")
    PRINTER.start()


def tearDownModule():
    PRINTER.stop()


def print_card(card, queue, button=1, timeout=60):
    def press():
        card.inspect("click", 1007)
        card.inspect("dialog", button, 30000)  # IDOK / IDCANCEL
    return PRINTER.print(press, queue, timeout)


class Page:
    """A printed page rasterised at 300 DPI, found by its frame; positions in layout units (1/2.7 mm)."""

    def __init__(self, pdf, workdir):
        subprocess.run(["pdftoppm", "-r", "300", "-singlefile", pdf, os.path.join(workdir, "page")], check=True)
        self.image, self.scale = harness.Image.from_ppm(os.path.join(workdir, "page.ppm")), 300 / 25.4 / 2.7
        w = self.image.width
        rows = [y for y in range(self.image.height)
                if self.image.data[y * w * 3 + 1:(y + 1) * w * 3:3].translate(DARK).count(1) > w // 3]
        self.top, self.bottom = rows[0], rows[-1]
        blacks = [x for x in range(self.image.width) if self.black(x, self.top + int(131 * self.scale))]
        self.left, self.right = blacks[0], blacks[-1]  # 131: under the title, above the rows, only the frame

    def black(self, x, y):
        return max(self.image.pixel(x, y)) < 60

    def at(self, x, y):
        return self.image.pixel(self.left + int(x * self.scale), self.top + int(y * self.scale))

    def count(self, box, predicate):
        left, top, right, bottom = (int(v * self.scale) for v in box)
        return sum(1 for y in range(self.top + top, self.top + bottom, 2)
                   for x in range(self.left + left, self.left + right, 2) if predicate(self.image.pixel(x, y)))

    def ink_runs(self, box):
        """Stretches of columns with ink: joined Arabic letters make a few, boxes one per letter."""
        left, top, right, bottom = (int(v * self.scale) for v in box)
        columns = [any(self.black(self.left + x, self.top + y) for y in range(top, bottom)) for x in range(left, right)]
        return sum(1 for before, ink in zip([False] + columns, columns) if ink and not before)


class Printing(unittest.TestCase):
    def test_the_card_on_paper(self):
        for name, machine, files, text_file, queue, title_ink, banner in CASES:
            with self.subTest(name), Card(self, machine, text_file=text_file, files=files) as card:
                card.start()
                card.type(1004, "2026-12-24")  # typed, not saved: printed as shown
                if name == "light banner":  # cancelled, nothing comes
                    self.assertIsNone(print_card(card, queue, button=2, timeout=10))
                pdf = print_card(card, queue)
                self.assertIsNotNone(pdf, "no job arrived")
                page = Page(pdf, card.root)
                os.makedirs(harness.SCREENSHOTS, exist_ok=True)
                os.replace(pdf, os.path.join(harness.SCREENSHOTS, f"printed-{name}.pdf"))
                # 367 x 384 units, the 5-pixel lines centred on the card's edges.
                self.assertAlmostEqual(page.right - page.left, int(367 * page.scale), delta=4)
                self.assertAlmostEqual(page.bottom - page.top, int(384 * page.scale), delta=4)
                self.assertGreater(page.count((25, 28, 200, 60), title_ink), 50, "title colour")
                for x, y in ((300, 20), (200, 70)):
                    expected = banner((x + .5) / 367, (y + .5) / 82, 367 / 82) if banner else (255, 255, 255)
                    self.assertTrue(near(page.at(x, y), expected, 40), (x, y, page.at(x, y)))
                rtl = text_file is ARABIC
                for row in (0, 1, 4):  # label and value near the edge they are aligned to
                    top = 100 + 40 * row
                    label, value = ((297, 342), (167, 214)) if rtl else ((25, 70), (153, 200))
                    self.assertGreater(page.count((label[0], top, label[1], top + 22), is_dark), 10, f"label {row}")
                    self.assertGreater(page.count((value[0], top, value[1], top + 22), is_dark), 10, f"value {row}")
                if rtl:
                    self.assertLess(page.ink_runs((25, 28, 342, 60)), len(ARABIC["ar"]["AppTitle"]) * 2 / 3, "boxes")


if __name__ == "__main__":
    harness.main()
