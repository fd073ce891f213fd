"""The machine's values on the card, and saving the date of purchase."""
import os
import subprocess
import unittest

import harness
from harness import Card, Machine

PRODUCT, SERIAL, SNID, PART, DATE, FUB, DLR = range(1000, 1007)
DATA_FILE = r"c:\OEM\Velopass\VLP.dat"
FILE_ATTRIBUTE_HIDDEN = 0x2

ZELL = harness.ZELL

# FUB and DLR live in a folder named by the brand and an environment variable.
# (The variable comes first and its value is long: a brand shorter than its
# token would carry the scan past a later token.)
BRANDED_FUB = {"common": {"FUBIniFile": r"c:\OEM\%FUBDIR%\%brand%\FUB.ini"}}


def values(card):
    return {c["id"]: c["text"] for c in card.dump()["controls"] if c["class"] == "Edit"}


ini = harness.ini_bytes


def fub_files(brand):
    return {rf"c:\OEM\service-data\{brand}\FUB.ini": ini({"FUB": {"FUB": f"FUB-{brand}", "DLR": f"DLR-{brand}"}})}


def decode(data):
    return data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode("cp1252")


class SystemValues(unittest.TestCase):
    def test_wmi_values_and_what_follows_from_them(self):
        for serial, snid, part in (("0123456789KLM0001FXY2", "KLM000031XY", "0123456789"), ("ABC123", "", "ABC123")):
            with self.subTest(serial=serial), Card(self, Machine(dmi=dict(ZELL, product_serial=serial))) as card:
                card.start()
                shown = values(card)
                self.assertEqual([shown[i] for i in (PRODUCT, SERIAL, SNID, PART)],
                                 ["Zell Aero 14", serial, snid, part])

    def test_the_brand_names_the_fub_folder(self):
        cases = [(Machine(dmi=ZELL, brand="MARWICK"), "Marwick"), (Machine(dmi=ZELL, brand="Tessary"), "Tessary"),
                 (Machine(dmi=dict(ZELL, sys_vendor="Unknown Works")), "")]
        # Without a usable registry value the vendor decides.
        cases += [(Machine(dmi=ZELL, brand=brand), "Zell")
                  for brand in (None, "Zell Computers", 1, b"\x01\x02", "M" * 200)]
        files = {**fub_files("Zell"), **fub_files("Marwick"), **fub_files("Tessary"), **fub_files("")}
        for machine, expected in cases:
            machine.environment = {"FUBDIR": "service-data"}
            with self.subTest(brand=str(machine.brand)[:20], expected=expected), \
                    Card(self, machine, text_file=BRANDED_FUB, files=files) as card:
                card.start()
                shown = values(card)
                self.assertEqual((shown[FUB], shown[DLR]), (f"FUB-{expected}", f"DLR-{expected}"))


class DateOfPurchase(unittest.TestCase):
    REG_INI = {"common": {"RegIniFile": r"c:\OEM\reg.ini"}}
    REG_FILE = {r"c:\OEM\reg.ini": ini({"DATA": {"DOP": "2025-01-31"}})}

    def shown_date(self, files):
        with Card(self, text_file=self.REG_INI, files=files) as card:
            card.start()
            return values(card)[DATE]

    def test_sources_in_order(self):
        self.assertEqual(self.shown_date(self.REG_FILE), "2025-01-31")
        own = {DATA_FILE: ini({"data": {"DOP": "2026-06-01"}})}
        self.assertEqual(self.shown_date({**self.REG_FILE, **own}), "2026-06-01")
        empty = {DATA_FILE: ini({"data": {"DOP": ""}})}
        self.assertEqual(self.shown_date({**self.REG_FILE, **empty}), "2025-01-31")
        self.assertEqual(self.shown_date({}), "")

    def test_every_way_of_closing_saves_the_typed_date(self):
        for how in ("button", "alt-f4", "close-box", "system-menu", "end-task", "end-session"):
            with self.subTest(how=how), Card(self, files={DATA_FILE: ini({"data": {"DOP": "old"}})}) as card:
                process = card.start()
                card.type(DATE, f"typed {how}")
                saved = f"[data]\r\nDOP=typed {how}\r\n"
                if how == "end-task":  # as Task Manager's End task: WM_CLOSE, no force
                    harness.quiet(["wine", "taskkill", "/im", "Velopass.exe"], card.env)
                    self.assertEqual(process.wait(60), 0)
                elif how == "end-session":  # log-off: Wine ends the card once it has answered
                    harness.quiet(["wine", "wineboot", "--end-session"], card.env)
                    process.wait(60)
                else:
                    self.assertEqual(card.close(process, how), 0)
                self.assertEqual(decode(card.read(DATA_FILE)), saved)

    def test_missing_folder_is_made_hidden_with_a_unicode_file(self):
        date = "二〇二六年三月一日"
        with Card(self) as card:
            before = card.snapshot()
            process = card.start()
            self.assertFalse(os.path.exists(card.path(r"c:\OEM")))
            card.type(DATE, date)
            self.assertEqual(card.close(process), 0)

            data = card.read(DATA_FILE)
            self.assertTrue(data.startswith(b"\xff\xfe"), data[:8])
            self.assertIn(f"DOP={date}", decode(data))
            for folder in (r"c:\OEM", r"c:\OEM\Velopass"):
                self.assertTrue(card.attributes(folder) & FILE_ATTRIBUTE_HIDDEN, folder)
            written = {path for path, stamp in card.snapshot().items() if before.get(path) != stamp}
            self.assertEqual(written, {os.path.join("OEM", "Velopass", "VLP.dat")})

            # The next start shows the date as typed.
            process = card.start()
            self.assertEqual(values(card)[DATE], date)
            card.close(process)

    def test_existing_folder_gets_a_unicode_file_too(self):
        date = "٢٠٢٦/٠٣/٠١"
        with Card(self, files={r"c:\OEM\Velopass\keep.txt": b"x"}) as card:
            process = card.start()
            card.type(DATE, date)
            card.close(process)
            self.assertEqual(decode(card.read(DATA_FILE)), f"[data]\r\nDOP={date}\r\n")
            self.assertFalse(card.attributes(r"c:\OEM\Velopass") & FILE_ATTRIBUTE_HIDDEN)

    def test_unwritable_data_keeps_what_it_had(self):
        original = ini({"data": {"DOP": "2024-02-29"}})
        with Card(self, files={DATA_FILE: original}) as card:
            folder = card.path(r"c:\OEM\Velopass")
            if subprocess.run(["chattr", "+i", folder, os.path.join(folder, "VLP.dat")]).returncode != 0:
                self.skipTest("this file system cannot make files immutable")
            process = card.start()
            self.assertEqual(values(card)[DATE], "2024-02-29")
            card.type(DATE, "2030-01-01")
            self.assertEqual(card.close(process), 0)
            self.assertEqual(card.read(DATA_FILE), original)

    def test_data_folder_that_is_a_file(self):
        with Card(self, files={r"c:\OEM\Velopass": b"not a folder"}) as card:
            process = card.start()
            card.type(DATE, "2030-01-01")
            self.assertEqual(card.close(process), 0)
            self.assertEqual(card.read(r"c:\OEM\Velopass"), b"not a folder")
            self.assertFalse(card.attributes(r"c:\OEM\Velopass") & FILE_ATTRIBUTE_HIDDEN)


if __name__ == "__main__":
    harness.main()
