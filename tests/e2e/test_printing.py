"""The card printed on a real CUPS printer of the scenario's own whose pages arrive as PDF files (cups-pdf).
Wine 8 prints at 300 DPI whatever the queue's PPD says (its default DEVMODE is 300 x 300), so one queue serves."""
import contextlib
import os
import subprocess
import unittest

import harness
from harness import Card, Machine, Printer, is_dark, is_white, near, pictures

SCALE = 300 / 25.4 / 2.7  # pixels a layout unit
GONE = {r"C:\Velopass\PIC\Zell_Banner.bmp": None}  # Zell's banner taken away
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج"}}
BANNER_POINTS = ((300, 20), (200, 70), (350, 45))  # in the banner's box, clear of the title
# name, brand, files, Arabic, the title's ink: white on a banner, black on the light one and on white paper
CASES = [("banner", "Zell", {}, False, is_white), ("no banner", "Zell", GONE, False, is_dark),
         ("arabic, light banner", "Brindle Hall", {}, True, is_dark), ("arabic, no banner", "Zell", GONE, True,
                                                                       is_dark)]


def print_card(card, printer, button=1):
    """Presses Print and answers the dialog (IDOK, IDCANCEL); once the printer is idle, every PDF it printed."""
    card.inspect("click", 1007)
    card.inspect("dialog", button, 30000)
    harness.wait_until(lambda: printer.pages() and printer.idle(), timeout=60 if button == 1 else 0)
    return printer.pages()


def page(pdf, folder):
    """The page at 300 DPI, its origin moved to the frame's corner; and the frame's width and height."""
    subprocess.run(["pdftoppm", "-r", "300", "-singlefile", pdf, os.path.join(folder, "page")], check=True)
    image = harness.Image(os.path.join(folder, "page.ppm"))
    w = image.width
    rows = [y for y in range(image.height) if w - len(image.data[y * w * 3 + 1:(y + 1) * w * 3:3].translate(
        None, bytes(range(60)))) > w // 3]  # dark across a third of the page: the frame's top and bottom lines
    columns = [x for x in range(w) if max(image.pixel(x, rows[0] + int(131 * SCALE))) < 60]  # under the title
    image.origin = (columns[0], rows[0])
    return image, columns[-1] - columns[0], rows[-1] - rows[0]


def columns(image, box, predicate):
    """For each pixel column across the box (in layout units), whether any of its pixels matches."""
    left, top, right, bottom = (int(v * SCALE) for v in box)
    return [any(predicate(image.pixel(x, y)) for y in range(top, bottom, 2)) for x in range(left, right)]


class Printing(unittest.TestCase):
    def test_the_card_on_paper(self):
        for name, brand, files, arabic, title_ink in CASES:
            with self.subTest(name), Printer() as printer, \
                    Card(self, Machine(locale="ar_SA.UTF-8" if arabic else "en_US.UTF-8", dmi=harness.ZELL,
                                       brand=brand, environment=printer.env),
                         text_file=ARABIC if arabic else None, files=files) as card:
                card.start()
                card.type(1004, "2026-12-24")  # typed, not saved: printed as shown
                if name == "no banner":
                    print_card(card, printer, button=2)
                pages = print_card(card, printer)
                self.assertEqual(len(pages), 1, "one page: none when cancelled, one when printed")
                image, width, height = page(pages.pop(), card.root)
                os.makedirs(harness.SCREENSHOTS, exist_ok=True)  # each page, where a reader can look at it
                harness.quiet(["convert", os.path.join(card.root, "page.ppm"), os.path.join(
                    harness.SCREENSHOTS, "printed-" + name.replace(",", "").replace(" ", "-") + ".png")], os.environ)
                # 367 x 384 units; the 5-pixel lines are centred on the card's edges.
                self.assertAlmostEqual(width, int(367 * SCALE), delta=4)
                self.assertAlmostEqual(height, int(384 * SCALE), delta=4)
                # The banner's box carries the banner's ink, unmirrored in either direction, or stays blank.
                for x, y in BANNER_POINTS:
                    artwork = pictures.BRANDS[brand]((x + 0.5) / 367, (y + 0.5) / 82, 367 / 82)
                    ink = image.pixel(int(x * SCALE), int(y * SCALE))
                    self.assertTrue(is_white(ink) if files else near(ink, artwork, 40), f"{ink} at {x}, {y}")
                self.assertGreater(sum(columns(image, (25, 28, 200, 60), title_ink)), 50, "title colour")
                # Label and value ink by the edge each is aligned to: right to left, the columns trade sides.
                edges = ((297, 342), (167, 214)) if arabic else ((25, 70), (153, 200))
                for row, (left, right) in [(row, edge) for row in (0, 1, 4) for edge in edges]:  # label, value
                    self.assertGreater(sum(columns(image, (left, 100 + 40 * row, right, 122 + 40 * row), is_dark)), 10,
                                       f"ink by the edge {left}-{right} of row {row}")
                if arabic and files:  # joined letters leave a few stretches of ink, boxes one a letter
                    ink = columns(image, (25, 28, 342, 60), is_dark)
                    runs = sum(1 for before, now in zip([False] + ink, ink) if now and not before)
                    self.assertLess(runs, len(ARABIC["ar"]["AppTitle"]) * 2 / 3, "Arabic title drawn as boxes")


    def test_a_close_request_while_printing(self):
        # what is open, a printer (none: a box over the Print dialog says so), buttons pressed on the way: id,
        # how deep over the card the dialog is, a message posted to the card as it goes (WM_CLOSE while it spools)
        for name, printing, steps in [("Print dialog", True, [(0, 1)]), ("its box", False, [(0, 2)]),
                                      ("its Properties sheet", True, [(1025, 1), (0, 2)]),
                                      ("the page spooling", True, [(1, 1, 0x10)])]:
            with self.subTest(name), Printer() if printing else contextlib.nullcontext() as printer, Card(
                    self, Machine(environment=printer.env if printer else {"CUPS_SERVER": "/none"})) as card:
                process = card.start()
                card.type(1004, "2026-05-05")
                card.inspect("click", 1007)
                for button, depth, *then in steps:
                    self.assertIsNotNone(card.inspect("dialog", button, 30000, depth, *then), "shown, then pressed")
                for request in ((0x10, 0, 0), (0x112, 0xF060, 0)):  # End task's WM_CLOSE, then the close box's
                    card.inspect("message", *request, check=False)
                self.assertEqual(process.wait(60), 0, "the card closed, and every dialog over it")
                if printer:
                    self.assertEqual((printer.pages(), printer.idle()), (set(), True), "nothing printed")
                self.assertEqual(card.read(r"c:\OEM\Velopass\VLP.dat")[2:].decode("utf-16-le"),
                                 "[data]\r\nDOP=2026-05-05\r\n")

if __name__ == "__main__":
    harness.main()
