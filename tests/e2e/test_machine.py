"""The machine's values on the card, and saving the date of purchase."""
import os
import unittest

from harness import DATA_FILE, DATA_ON_C, ZELL, Card, Machine, ini_bytes as ini, program, quiet, wait_until

DATE, FUB, DLR, PRINT = program.IDC_DATE_OF_PURCHASE, program.IDC_FUB, program.IDC_DLR, program.IDC_PRINT
REG_TEXT = {"common": {"RegIniFile": r"%SystemDrive%\OEM\%brand%reg.ini"}}  # the date when the data file has none
REG_FILE = {r"c:\OEM\reg.ini": ini({"DATA": {"DOP": "2025-01-31"}})}
# FUB and DLR in a folder named by a variable, then the brand: a brand shorter than its token would skip later tokens.
BRANDED_FUB = {"common": {"FUBIniFile": r"c:\OEM\%FUBDIR%\%brand%\FUB.ini"}}


class SystemValues(unittest.TestCase):
    def test_the_brand_names_the_fub_folder(self):
        fub = {rf"c:\OEM\service-data\{brand}\FUB.ini": ini({"FUB": {"FUB": f"FUB-{brand}", "DLR": f"DLR-{brand}"}})
               for brand in ("Zell", "Marwick")} | {r"c:\OEM\service-data\FUB.ini": ini({"FUB": {"DLR": "DLR-"}})}
        for brand, vendor, folder in (("MARWICK", "Zell Computers", "Marwick"), (1, "Zell Computers", "Zell"),
                                      ({}, "Unknown Works", "")):  # {}: the key alone; DLR without FUB
            machine = Machine(dmi=dict(ZELL, sys_vendor=vendor), brand=brand, environment={"FUBDIR": "service-data"})
            with self.subTest(brand=brand, vendor=vendor), Card(self, machine, BRANDED_FUB, fub) as card:
                card.start()
                # WMI's own values are in the reviewed states (test_presentation.py).
                self.assertEqual([card.texts()[i] for i in (FUB, DLR)], [folder and f"FUB-{folder}", f"DLR-{folder}"])
                card.inspect("clipboard", "empty")
                card.press(PRINT, "ctrl+alt+c")  # AltGr+C, a letter on some keyboards, copies nothing
                card.press(FUB, "home", "c")  # nor C alone (in a value: on a button it is Close's access key)
                card.inspect("press", PRINT, "hold", "17+67")  # nor Ctrl+C while another program holds the clipboard
                self.assertIsNone(card.inspect("clipboard"))
                card.press(DLR, "home", *["shift+right"] * 4, "ctrl+c")  # a selection in a value is the value's own
                self.assertTrue(wait_until(lambda: card.inspect("clipboard") == "DLR-"))


ORIGINAL, CJK_DATE, OLD = ini({"data": {"DOP": "2024-02-29"}}), "二〇二六年三月一日", b"[data]\r\nDOP=old\r\n"
CJK_SAVED = ini({"data": {"DOP": CJK_DATE}})
# (how the card is closed, files, what becomes immutable, what is typed, the data file's bytes then or what stands at
#  its folder, whether c:\OEM and c:\OEM\Velopass are hidden: each level made or tried after a failed write is)
SAVING = [
    *((how, {DATA_FILE: ini({"data": {"DOP": "old"}})}, (), f"2026-03-01 {how}",  # twelve characters
       ini({"data": {"DOP": f"2026-03-01 {how[0]}"}}), (False, False))
      for how in ("button", "alt-f4", "system-menu", "end-task", "end-session", "installer")),
    ("button", {}, (), CJK_DATE, CJK_SAVED, (True, True)),  # made level by level, Unicode
    ("button", {r"c:\OEM\Velopass\keep.txt": b"x"}, (), CJK_DATE, CJK_SAVED, (False, False)),  # Unicode too
    ("button", {DATA_FILE: OLD}, (), CJK_DATE, OLD.replace(b"old", b"?" * 9), (False, False)),  # as it was
    ("button", {DATA_FILE: ORIGINAL}, (r"c:\OEM\Velopass", DATA_FILE), CJK_DATE, ORIGINAL, (True, False)),  # not lost
    ("button", {r"c:\OEM\Velopass": b"not a folder"}, (), CJK_DATE, None, (True, False)),  # left as it is
    ("button", {r"c:\OEM": b"not a folder"}, (), CJK_DATE, None, (False, True)),  # nothing under it (attributes -1)
    ("button", {**REG_FILE, DATA_FILE: ORIGINAL}, (), "", ini({"data": {"DOP": ""}}), (False, False))]  # cleared


class DateOfPurchase(unittest.TestCase):
    rows = SAVING[:6]  # every way of closing; the other rows run in a class of their own, beside this one

    def test_every_way_of_closing_saves_the_typed_date_into_whatever_folder_there_is(self):
        for how, files, frozen, typed, saved, hidden in self.rows:
            with self.subTest(how=how, files=list(files), frozen=bool(frozen)), \
                    Card(self, Machine(dmi={}), REG_TEXT, files) as card:
                if frozen and quiet(["chattr", "+i", *map(card.pc.path, frozen)], os.environ, check=False) != 0:
                    self.skipTest("this file system cannot make files immutable")
                before = card.pc.snapshot()
                process = card.start()
                if not typed:  # the data file's date before the text file's
                    self.assertEqual(card.texts()[DATE], "2024-02-29")
                # The keyboard's way to the date: Shift+Tab from Print passes DLR and FUB, and selects the date.
                # Escape (on Print) and Enter and Escape (in the date) close nothing: the typing below finds the card.
                card.press(0, "escape", *["shift+tab"] * 3, "enter", "escape", "delete")
                card.type(0, typed)
                exit_code = process.close(how)
                if how != "end-session":  # which Wine ends its own way
                    self.assertEqual(exit_code, 0)
                self.assertEqual(card.pc.read(DATA_FILE), saved)
                self.assertEqual(tuple(bool(card.inspect("attributes", folder) & 0x2)  # FILE_ATTRIBUTE_HIDDEN
                                       for folder in (r"c:\OEM", r"c:\OEM\Velopass")), hidden)
                written = {path for path, stamp in card.pc.snapshot().items() if before.get(path) != stamp}
                self.assertLessEqual(written, {DATA_ON_C})
                if not files or not typed:  # the next start shows the date as typed; cleared, the fallback's
                    card.start()
                    self.assertEqual(card.texts()[DATE], typed or "2025-01-31")


class DataFolder(DateOfPurchase):
    rows = SAVING[6:]
