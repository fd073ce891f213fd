"""The card printed on a real CUPS printer of the scenario's own whose pages arrive as PDF files (cups-pdf).
Wine 8 prints at 300 DPI whatever the queue's PPD says (its default DEVMODE is 300 x 300), so one queue serves."""
import os
import subprocess
import unittest

import harness
from harness import Card, Machine, Printer, is_dark, is_white, near, pictures

SCALE = 300 / 25.4 / 2.7  # pixels a layout unit
NO_BANNER = {r"C:\Velopass\PIC\Zell_Banner.bmp": None}
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج"}}
BANNER_POINTS = ((300, 20), (200, 70), (350, 45))  # in the banner's box, clear of the title
# name, brand, files, Arabic, the title's ink: white on a banner, black on the light one and on white paper
CASES = [("banner", "Zell", {}, False, is_white), ("no banner", "Zell", NO_BANNER, False, is_dark),
         ("arabic, light banner", "Brindle Hall", {}, True, is_dark), ("arabic, no banner", "Zell", NO_BANNER, True,
                                                                       is_dark)]


def print_card(card, printer, button=1):
    """Presses Print and answers the dialog (IDOK, IDCANCEL); once the printer is idle, every PDF it printed."""
    card.inspect("click", 1007)
    card.inspect("dialog", button, 30000)
    harness.wait_until(lambda: printer.pages() and printer.idle(), timeout=60 if button == 1 else 0)
    return printer.pages()


class Page:
    """The page at 300 DPI, found by its frame; positions in layout units (1/2.7 mm) from its corner."""

    def __init__(self, pdf, folder):
        subprocess.run(["pdftoppm", "-r", "300", "-singlefile", pdf, os.path.join(folder, "page")], check=True)
        self.image = image = harness.Image(os.path.join(folder, "page.ppm"))
        w = image.width
        green = [image.data[y * w * 3 + 1:(y + 1) * w * 3:3] for y in range(image.height)]
        rows = [y for y, row in enumerate(green) if w - len(row.translate(None, bytes(range(60)))) > w // 3]
        self.top, self.bottom = rows[0], rows[-1]
        frame = [x for x in range(w) if max(image.pixel(x, self.top + int(131 * SCALE))) < 60]  # under the title
        self.left, self.right = frame[0], frame[-1]

    def at(self, x, y):
        return self.image.pixel(self.left + int(x * SCALE), self.top + int(y * SCALE))

    def columns(self, box, predicate):
        """For each pixel column across the box, whether any of its pixels matches."""
        left, top, right, bottom = (int(v * SCALE) for v in box)
        return [any(predicate(self.image.pixel(self.left + x, self.top + y)) for y in range(top, bottom, 2))
                for x in range(left, right)]


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
                pdf = pages.pop()
                page = Page(pdf, card.root)
                if name == "banner":  # the README's picture of a printed page
                    os.makedirs(harness.SCREENSHOTS, exist_ok=True)
                    subprocess.run(["pdftoppm", "-r", "50", "-singlefile", "-png", pdf,
                                    os.path.join(harness.SCREENSHOTS, "printed-page")], check=True)
                # 367 x 384 units; the 5-pixel lines are centred on the card's edges.
                self.assertAlmostEqual(page.right - page.left, int(367 * SCALE), delta=4)
                self.assertAlmostEqual(page.bottom - page.top, int(384 * SCALE), delta=4)
                # The banner's box carries the banner's ink, unmirrored in either direction, or stays blank.
                for x, y in BANNER_POINTS:
                    artwork = pictures.BRANDS[brand]((x + 0.5) / 367, (y + 0.5) / 82, 367 / 82)
                    ink = page.at(x, y)
                    self.assertTrue(is_white(ink) if files else near(ink, artwork, 40), f"{ink} at {x}, {y}")
                self.assertGreater(sum(page.columns((25, 28, 200, 60), title_ink)), 50, "title colour")
                # Label and value ink by the edge each is aligned to: right to left, the columns trade sides.
                edges = ((297, 342), (167, 214)) if arabic else ((25, 70), (153, 200))
                for row, (left, right) in [(row, edge) for row in (0, 1, 4) for edge in edges]:  # label, value
                    self.assertGreater(sum(page.columns((left, 100 + 40 * row, right, 122 + 40 * row), is_dark)), 10,
                                       f"ink by the edge {left}-{right} of row {row}")
                if arabic and files:  # joined letters leave a few stretches of ink, boxes one a letter
                    ink = page.columns((25, 28, 342, 60), is_dark)
                    runs = sum(1 for before, now in zip([False] + ink, ink) if now and not before)
                    self.assertLess(runs, len(ARABIC["ar"]["AppTitle"]) * 2 / 3, "Arabic title drawn as boxes")


    def test_a_close_request_while_the_print_dialog_is_open(self):
        with Printer() as printer, Card(self, Machine(environment=printer.env)) as card:
            process = card.start()
            card.type(1004, "2026-05-05")
            card.inspect("click", 1007)
            card.inspect("dialog", 0, 30000)  # shown, and left open
            card.inspect("message", 0x10, 0, 0)  # End task's request to the card: WM_CLOSE
            self.assertEqual(process.wait(60), 0, "the card closed, and the Print dialog with it")
            self.assertEqual((printer.pages(), printer.idle()), (set(), True), "nothing printed")
            self.assertEqual(card.read(r"c:\OEM\Velopass\VLP.dat")[2:].decode("utf-16-le"), "[data]\r\nDOP=2026-05-05\r\n")


if __name__ == "__main__":
    harness.main()
