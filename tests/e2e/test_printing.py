"""The card printed on a real CUPS printer writing PDF files (cups-pdf), each page compared whole with its reviewed
picture. Wine 8 prints at 300 DPI whatever the PPD says (its default DEVMODE is 300 x 300): one queue serves."""
import getpass
import os
import unittest

import harness
from harness import ARABIC, DATA_FILE, Card, Machine, Printer, ini_bytes, program

PRINT, DATE = program.IDC_PRINT, program.IDC_DATE_OF_PURCHASE
USER = getpass.getuser()  # a job's owner: who printed
PROPERTIES = 0x401  # the Print dialog's Properties button
GONE = {r"C:\Velopass\PIC\Zell_Banner.bmp": None}  # Zell's banner taken away
FUB = {r"c:\OEM\FUB.ini": ini_bytes({"FUB": {"FUB": "FUB-7731", "DLR": "DLR Nordhafen"}})}  # all seven values filled
DRIVER_BOX = ("hooked", 0x8001, 0, 0)  # WM_APP + 1 through tests/e2e/vphook.cpp
# While the Print dialog is open: another program's window over it, a second start, a display change and back
COVERED, DISPLAY = (lambda card: card.start(wait=False, exe="notepad")), ("displayloop", 2, 800, 600, 1280, 1024)
AGAIN = lambda card: card.start(wait=False).wait(60) == 0  # noqa: E731
# Texts at their limits (127 units; a label's colon taking the last unit, a surrogate pair no cut may split) and
# characters that mean something to Windows: an ampersand, a percent sign, a pair, a right-to-left mark.
PAIR, ODD = "\U0001D4B1", "&x 100% \U0001D4B1\u200f"
FUB_DIR = "d" * 40  # the variable that makes the path grow to 127 units, where "%\FUB.ini" names no variable
FUB_FILE = rf"c:\OEM\{FUB_DIR}\Zell\100%\{'f' * 61}\FUB.ini"
LABELS = [ODD, "S" * 125, "SNID", "\u200fPart", "Date of purchase", "FUB", "DLR"]
EDGES = {"common": {"SupportedLang": "en/zh-chs/" + "xx/" * 40,  # past 127, cut in its last code
                    "FUBIniFile": FUB_FILE.replace(FUB_DIR, "%FUBDIR%").replace("Zell", "%brand%")},
         "en": {"AppTitle": (ODD + "T" * 127)[:126], "lblProductName": ODD, "lblSerialNb": "S" * 125 + PAIR,
                "lblPartNb": LABELS[3], "BtnPrint": "&&Print " + ODD, "lblLangText": "&English"},
         "zh-chs": {"AppTitle": "维洛帕斯", "lblLangText": "简体中文"}}
SWITCH = (0x112, 32)  # the edge card's second language, as its window menu entry sends it, while the page spools
EDGE_DMI = dict(harness.ZELL, product_name="&x 100% Aero", product_serial="0123456789KLM01")  # SNID KLM004096
EDGE_FILES = {FUB_FILE: ini_bytes({"FUB": {"FUB": ODD + "F" * 115 + PAIR}}),  # no DLR; the pair at the cut
              DATA_FILE: ini_bytes({"data": {"DOP": PAIR + "\u200f2026-12-24" + "D" * 120}})}
# name, brand, files, texts, a message posted as the Print dialog closes, to arrive as the page spools (Print again,
# a minimise, one for no window, a quit, a language); the page without a banner is printed after a Cancel
CASES = [("banner", "Zell", FUB, {"common": {"FUBIniFile": r"c:\OEM\FUB.ini"}}, (0x111, PRINT)),
         ("no banner", "Zell", GONE, None, (0x112, 0xF020)), ("edges", "Zell", EDGE_FILES, EDGES, SWITCH),
         ("arabic, light banner", "Brindle Hall", {}, ARABIC, (-0x8000, 0)),
         ("arabic, no banner", "Zell", GONE, ARABIC, (-0x12, 0))]


class Printing(unittest.TestCase):
    def test_the_card_on_paper(self):
        for name, brand, files, texts, then in CASES:
            locale = "ar_SA.UTF-8" if texts == ARABIC else "en_US.UTF-8"
            with self.subTest(name), Printer() as printer, Card(self, Machine(
                    locale=locale, dmi=EDGE_DMI if texts == EDGES else harness.ZELL, brand=brand,
                    environment={**printer.env, "FUBDIR": FUB_DIR}), texts, files) as card:
                card.start()
                if texts is None:  # no text file, no language list: no language entry
                    card.assert_menu_as_reviewed("menu-without-languages")
                if texts == EDGES:  # as read: on screen, in the window menu, copied
                    card.assert_as_reviewed("edges")
                    card.assert_menu_as_reviewed("edges-menu")
                    card.press(PRINT, "ctrl+c")  # the values, in the controls' order, with their labels
                    self.assertEqual(card.inspect("clipboard"), "".join(
                        f"{label}: {value}\r\n" for label, value in zip(LABELS, card.texts().values())))
                card.type(DATE, "2026-12-24")  # typed, not saved: printed as shown
                for button in (2, 1) if name == "no banner" else (1,):  # Print, its dialog answered (IDCANCEL, IDOK)
                    card.inspect("click", PRINT)  # and after IDOK Print again while the page spools, as clicked
                    card.inspect("dialog", button, 30000, 1, *then * (button == 1))
                harness.wait_until(lambda: printer.queue() and not printer.jobs("not-completed"), timeout=60)
                pages = printer.pages()  # every PDF printed, once no job waits or prints
                self.assertEqual((len(pages), len(printer.jobs()), printer.queue()), (1, 1, [("Velopass", USER, "1")]),
                                 "one page, one job, as the queue names it: a Cancel sends none")
                picture = os.path.join(harness.SCREENSHOTS, "printed-" + name.replace(",", "").replace(" ", "-"))
                harness.quiet(["pdftoppm", "-r", "300", "-singlefile", "-png", pages.pop(), picture], os.environ)
                harness.assert_as_reviewed(self, os.path.basename(picture), picture + ".png")
                if texts == EDGES:  # the page as it was when Print was pressed; the card switched meanwhile
                    self.assertEqual(card.dump()["text"], EDGES["zh-chs"]["AppTitle"])
                if then[0] == -0x12:  # WM_QUIT to the card's thread: the page out, the card ended, the date not lost
                    self.assertEqual(card.pc.read(DATA_FILE), ini_bytes({"data": {"DOP": "2026-12-24"}}))

    def test_a_close_request_while_printing(self):
        # buttons pressed on the way: id, how deep over the card the dialog is, a message posted to the card as it
        # goes (WM_CLOSE while it spools); DRIVER_BOX: a printer driver asks Yes or No, a box that ignores Cancel. The
        # request: End task's WM_CLOSE, then the close box's; or an installer's, cancelled once by another program.
        for name, steps, how in [("its Properties sheet", [(PROPERTIES, 1), (0, 2)], None),
                                 ("a driver's Yes/No box", [(0, 1), DRIVER_BOX, (0, 2)], None),
                                 ("the page spooling", [(1, 1, 0x10)], None), ("no printer", [(1, 1)], None),
                                 ("the Print dialog", [(0, 1), COVERED, AGAIN, DISPLAY, (0, 1)], "installer")]:
            with self.subTest(name), Printer() as printer, Card(self, Machine(
                    environment=None if name == "no printer" else printer.env)) as card:
                process = card.start()
                card.type(DATE, "2026-05-05")
                card.inspect("click", PRINT)
                for step in steps:
                    shown = step(card) if callable(step) else card.inspect(
                        *(step if isinstance(step[0], str) else ("dialog", step[0], 30000, *step[1:])))
                    self.assertTrue(shown, "shown, then pressed; started; changed")
                for request in ((0x10, 0, 0), (0x112, 0xF060, 0)) if how is None else ():
                    card.inspect("message", *request, check=False)
                exit_code = process.close(how) if how else process.wait(60)
                self.assertEqual(exit_code, 0, "the card closed, and every dialog over it")
                self.assertEqual((printer.pages(), printer.jobs()), (set(), []), "nothing printed")
                self.assertEqual(card.pc.read(DATA_FILE), ini_bytes({"data": {"DOP": "2026-05-05"}}))
                if DRIVER_BOX in steps:  # saved before anything over the card had gone
                    self.assertEqual(card.pc.read(r"c:\OEM\box-ended.dat"), card.pc.read(DATA_FILE))
