"""Printing the card on a real CUPS printer whose pages arrive as PDF files
(cups-pdf), measured on the page. Wine 8 prints at 300 DPI whatever the
queue's PPD says (its default DEVMODE is 300 x 300), so one queue serves."""
import glob
import os
import shutil
import subprocess
import time
import unittest

import harness
from harness import Card, Machine, is_dark, is_white, near, pictures

PPD, QUEUE, SCALE = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", "CardPDF", 300 / 25.4 / 2.7  # pixels a unit
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج"}}
DARK = bytes(1 if i < 60 else 0 for i in range(256))
# name, machine, files, text file, title ink, banner
CASES = [("banner", Machine(dmi=harness.ZELL, brand="Zell"), {}, None, is_white, pictures.zell),
         ("light banner", Machine(dmi=harness.ZELL, brand="Brindle Hall"), {}, None, is_dark, pictures.brindle_hall),
         ("arabic, no banner", Machine(locale="ar_SA.UTF-8", dmi=harness.ZELL, brand="Zell"),
          {r"C:\Velopass\PIC\Zell_Banner.bmp": None}, ARABIC, is_dark, None)]


def run(*args):
    return subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)


def setUpModule():
    global CUPSD
    if not all(map(shutil.which, ("cupsd", "lpadmin", "pdftoppm"))) or not os.path.exists(PPD) or os.geteuid():
        raise unittest.SkipTest("no printer to print on: scripts/install-deps.sh --tests, and run as root")
    running = lambda: run("lpstat", "-r").stdout.strip() == "scheduler is running"  # noqa: E731
    CUPSD = None if running() else subprocess.Popen(["cupsd", "-f"], stdin=subprocess.DEVNULL)  # ours to stop
    harness.wait_until(running, timeout=30)
    run("lpadmin", "-p", QUEUE, "-E", "-v", "cups-pdf:/", "-P", PPD)
    run("lpadmin", "-d", QUEUE)


def tearDownModule():
    run("lpadmin", "-x", QUEUE)
    if CUPSD:
        CUPSD.terminate()
        CUPSD.wait(30)


def print_card(card, button=1, timeout=60):
    """Presses Print and answers the dialog; the PDF that arrives, once complete (None when none does)."""
    jobs = lambda: set(glob.glob(os.path.expanduser("~/PDF/Velopass*.pdf")))  # noqa: E731  cups-pdf's folder
    before = jobs()
    card.inspect("click", 1007)
    card.inspect("dialog", button, 30000)  # IDOK / IDCANCEL
    new = harness.wait_until(lambda: jobs() - before, timeout=timeout)
    path, size = new.pop() if new else None, -1
    while path and size != os.path.getsize(path):  # cups-pdf writes the file in place
        size = os.path.getsize(path)
        time.sleep(1)
    return path


class Page:
    """The page at 300 DPI, found by its frame; positions in layout units (1/2.7 mm) from its corner."""

    def __init__(self, pdf, folder):
        subprocess.run(["pdftoppm", "-r", "300", "-singlefile", pdf, os.path.join(folder, "page")], check=True)
        self.image = image = harness.Image.from_ppm(os.path.join(folder, "page.ppm"))
        w = image.width
        rows = [y for y in range(image.height) if image.data[y * w * 3 + 1:(y + 1) * w * 3:3].translate(DARK).count(1) > w // 3]
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
        for name, machine, files, text_file, title_ink, banner in CASES:
            with self.subTest(name), Card(self, machine, text_file=text_file, files=files) as card:
                card.start()
                card.type(1004, "2026-12-24")  # typed, not saved: printed as shown
                if name == "light banner":
                    self.assertIsNone(print_card(card, button=2, timeout=10), "cancelled, yet printed")
                pdf = print_card(card)
                self.assertTrue(pdf, "no job arrived")
                page = Page(pdf, card.root)
                os.makedirs(harness.SCREENSHOTS, exist_ok=True)
                os.replace(pdf, os.path.join(harness.SCREENSHOTS, f"printed-{name.replace(' ', '-')}.pdf"))
                # 367 x 384 units; the 5-pixel lines are centred on the card's edges.
                self.assertAlmostEqual(page.right - page.left, int(367 * SCALE), delta=4)
                self.assertAlmostEqual(page.bottom - page.top, int(384 * SCALE), delta=4)
                self.assertGreater(sum(page.columns((25, 28, 200, 60), title_ink)), 50, "title colour")
                for x, y in ((300, 20), (200, 70)):
                    expected = banner((x + .5) / 367, (y + .5) / 82, 367 / 82) if banner else (255, 255, 255)
                    self.assertTrue(near(page.at(x, y), expected, 40), (x, y, page.at(x, y)))
                edges = ((297, 342), (167, 214)) if text_file is ARABIC else ((25, 70), (153, 200))
                for row in (0, 1, 4):  # label and value ink by the edge each is aligned to
                    for what, (left, right) in zip(("label", "value"), edges):
                        box = (left, 100 + 40 * row, right, 122 + 40 * row)
                        self.assertGreater(sum(page.columns(box, is_dark)), 10, f"{what} {row}")
                if text_file is ARABIC:  # joined letters leave a few stretches of ink, boxes one a letter
                    ink = page.columns((25, 28, 342, 60), is_dark)
                    runs = sum(1 for before, now in zip([False] + ink, ink) if now and not before)
                    self.assertLess(runs, len(ARABIC["ar"]["AppTitle"]) * 2 / 3, "Arabic title drawn as boxes")


if __name__ == "__main__":
    harness.main()
