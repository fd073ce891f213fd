"""The card printed on a real CUPS printer whose pages arrive as PDF files (cups-pdf). Wine 8 prints at
300 DPI whatever the queue's PPD says (its default DEVMODE is 300 x 300), so one queue serves."""
import glob
import os
import shutil
import subprocess
import time
import unittest

import harness
from harness import Card, Machine, is_dark, is_white

PPD, QUEUE, SCALE = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", "CardPDF", 300 / 25.4 / 2.7  # pixels a unit
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج"}}
CASES = [("banner", Machine(dmi=harness.ZELL, brand="Zell"), {}, None, is_white),
         ("light banner", Machine(dmi=harness.ZELL, brand="Brindle Hall"), {}, None, is_dark),
         ("arabic, no banner", Machine(locale="ar_SA.UTF-8", dmi=harness.ZELL, brand="Zell"),
          {r"C:\Velopass\PIC\Zell_Banner.bmp": None}, ARABIC, is_dark)]


def run(*args):
    return subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)


def setUpModule():
    if not all(map(shutil.which, ("cupsd", "lpadmin", "pdftoppm"))) or not os.path.exists(PPD) or os.geteuid():
        raise unittest.SkipTest("no printer to print on: scripts/install-deps.sh --tests, and run as root")
    running = lambda: run("lpstat", "-r").stdout.strip() == "scheduler is running"  # noqa: E731
    if not running():  # ours to start and to stop
        unittest.addModuleCleanup(subprocess.Popen(["cupsd", "-f"], stdin=subprocess.DEVNULL).terminate)
        harness.wait_until(running, timeout=30)
    run("lpadmin", "-p", QUEUE, "-E", "-v", "cups-pdf:/", "-P", PPD)
    run("lpadmin", "-d", QUEUE)
    unittest.addModuleCleanup(run, "lpadmin", "-x", QUEUE)


def print_card(card, button=1, timeout=60):
    """Presses Print and answers the dialog; the PDF that arrives, once complete (None when none does)."""
    jobs = lambda: set(glob.glob(os.path.expanduser("~/PDF/Velopass*.pdf")))  # noqa: E731  cups-pdf's folder
    before = jobs()
    card.inspect("click", 1007)
    card.inspect("dialog", button, 30000)  # IDOK / IDCANCEL
    path = (harness.wait_until(lambda: jobs() - before, timeout=timeout) or {None}).pop()
    while path and os.path.getsize(path) != (time.sleep(1) or os.path.getsize(path)):
        pass  # cups-pdf writes the file in place: until its size holds for a second
    return path


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

    def columns(self, box, predicate):
        """For each pixel column across the box, whether any of its pixels matches."""
        left, top, right, bottom = (int(v * SCALE) for v in box)
        return [any(predicate(self.image.pixel(self.left + x, self.top + y)) for y in range(top, bottom, 2))
                for x in range(left, right)]


class Printing(unittest.TestCase):
    def test_the_card_on_paper(self):
        for name, machine, files, text_file, title_ink in CASES:
            with self.subTest(name), Card(self, machine, text_file=text_file, files=files) as card:
                card.start()
                card.type(1004, "2026-12-24")  # typed, not saved: printed as shown
                if name == "light banner":
                    self.assertIsNone(print_card(card, button=2, timeout=10), "cancelled, yet printed")
                pdf = print_card(card)
                page = Page(pdf, card.root) if pdf else self.fail("no job arrived")
                if name == "banner":  # the README's picture of a printed page
                    os.makedirs(harness.SCREENSHOTS, exist_ok=True)
                    run("pdftoppm", "-r", "50", "-singlefile", "-png", pdf,
                        os.path.join(harness.SCREENSHOTS, "printed-page"))
                # 367 x 384 units; the 5-pixel lines are centred on the card's edges.
                self.assertAlmostEqual(page.right - page.left, int(367 * SCALE), delta=4)
                self.assertAlmostEqual(page.bottom - page.top, int(384 * SCALE), delta=4)
                self.assertGreater(sum(page.columns((25, 28, 200, 60), title_ink)), 50, "title colour")
                # Label and value ink by the edge each is aligned to: right to left, the columns trade sides.
                edges = ((297, 342), (167, 214)) if text_file is ARABIC else ((25, 70), (153, 200))
                for row, (left, right) in [(row, edge) for row in (0, 1, 4) for edge in edges]:  # label, value
                    self.assertGreater(sum(page.columns((left, 100 + 40 * row, right, 122 + 40 * row), is_dark)), 10,
                                       f"ink by the edge {left}-{right} of row {row}")
                if text_file is ARABIC:  # joined letters leave a few stretches of ink, boxes one a letter
                    ink = page.columns((25, 28, 342, 60), is_dark)
                    runs = sum(1 for before, now in zip([False] + ink, ink) if now and not before)
                    self.assertLess(runs, len(ARABIC["ar"]["AppTitle"]) * 2 / 3, "Arabic title drawn as boxes")


if __name__ == "__main__":
    harness.main()
