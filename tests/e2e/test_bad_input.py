"""Bad input of every kind: the card opens (or shows what it defines), does
not crash or hang, and writes no file but its data file."""
import os
import time
import unittest

import harness
from harness import Card, Machine, pictures

DATA_FILE = r"c:\OEM\Velopass\VLP.dat"
PIC = r"C:\Velopass\PIC"
ZELL = harness.ZELL
DATA_WRITTEN = os.path.join("OEM", "Velopass", "VLP.dat")


def utf16(text):
    return b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")


def garbage(size, seed=7):
    """Deterministic bytes that are no text and no picture."""
    out, value = bytearray(), seed
    while len(out) < size:
        value = (value * 1103515245 + 12345) & 0x7FFFFFFF
        out += value.to_bytes(4, "little")
    return bytes(out[:size])


class BadInput(unittest.TestCase):
    def open_and_close(self, machine=None, text_file=None, files=None, during=None):
        """Opens the card, checks it answers, closes it; returns what it showed."""
        with Card(self, machine or Machine(dmi=ZELL), text_file=text_file, files=files) as card:
            before = card.snapshot()
            process = card.start()
            if during:
                during(card)
            window = card.dump()
            self.assertTrue(window["visible"])
            card.type(1004, "2026-01-01")
            self.assertEqual(card.close(process), 0)
            written = {path for path, stamp in card.snapshot().items() if before.get(path) != stamp}
            self.assertLessEqual(written, {DATA_WRITTEN}, "no file but the data file is written")
            return window

    def edits(self, window):
        return {c["id"]: c["text"] for c in window["controls"] if c["class"] == "Edit"}

    def test_text_files(self):
        long_value = "T" * 10000
        sections = "".join(f"[s{i}]\nk=v\n" for i in range(100000))
        cases = {
            "empty": b"",
            "garbage": garbage(65536),
            "over-long values": utf16(f"[en]\nAppTitle={long_value}\nBtnPrint={long_value}\n"),
            "100000 sections": utf16(sections + "[en]\nAppTitle=Velopass EN\n"),
            "utf-8 with mark": b"\xef\xbb\xbf[en]\r\nAppTitle=Velopass \xc3\x9c\r\n",
            "utf-8 without mark": b"[en]\r\nAppTitle=Velopass \xc3\x9c\r\n",
        }
        for name, content in cases.items():
            with self.subTest(text_file=name):
                window = self.open_and_close(files={r"C:\Velopass\Velopass.ini": content})
                self.assertLessEqual(len(window["text"]), 127)
                if name == "over-long values":
                    self.assertEqual(window["text"], "T" * 127)
                if name == "100000 sections":
                    self.assertEqual(window["text"], "Velopass EN")
                self.assertEqual(self.edits(window)[1000], "Zell Aero 14")

    def test_pictures(self):
        cases = {
            "not pictures": {rf"{PIC}\Zell_Banner.bmp": b"not a bitmap", rf"{PIC}\velopass.ico": b"not an icon"},
            "zero bytes": {rf"{PIC}\Zell_Banner.bmp": b"", rf"{PIC}\velopass.ico": b""},
            "huge": {rf"{PIC}\Zell_Banner.bmp": pictures.bmp(4000, 900, lambda x, y: (x % 256, y % 256, 90)),
                     rf"{PIC}\velopass.ico": garbage(8 * 1024 * 1024)},
        }
        for name, files in cases.items():
            with self.subTest(pictures=name):
                self.open_and_close(Machine(dmi=ZELL, brand="Zell"), files=files)

    def test_data_files(self):
        locked = lambda card: card.lock(DATA_FILE, 20) and time.sleep(2)  # noqa: E731
        cases = {
            "a folder": ({r"c:\OEM\Velopass\VLP.dat\keep": b"x"}, None),
            "garbage": ({DATA_FILE: garbage(4096)}, None),
            "locked": ({DATA_FILE: utf16("[data]\nDOP=2020-02-02\n")}, locked),
        }
        for name, (files, during) in cases.items():
            with self.subTest(data_file=name):
                self.open_and_close(files=files, during=during)

    def test_companion_files_and_environment(self):
        cases = {
            "folders": {"RegIniFile": r"c:\OEM", "FUBIniFile": r"c:\windows"},
            "devices": {"RegIniFile": "NUL", "FUBIniFile": "CON"},
            "nothing": {"RegIniFile": "", "FUBIniFile": " "},
            "huge variable": {"FUBIniFile": r"%HUGE%\FUB.ini"},
        }
        for name, common in cases.items():
            with self.subTest(companions=name):
                machine = Machine(dmi=ZELL, environment={"HUGE": "h" * 32767})
                window = self.open_and_close(machine, text_file={"common": common})
                self.assertEqual((self.edits(window)[1005], self.edits(window)[1006]), ("", ""))

    def test_registry_brand_of_every_type(self):
        zell_utf16 = "Zell".encode("utf-16-le") + b"\0\0"
        cases = {
            "string": "Marwick", "empty": "", "dword": 7, "binary": b"\x00\xff\x10",
            "qword": ("hex(b)", (1).to_bytes(8, "little")), "expandable": ("hex(2)", zell_utf16),
            "multi-string": ("hex(7)", zell_utf16 + b"\0\0"), "none": ("hex(0)", b""), "over 256 bytes": "L" * 300,
        }
        for name, value in cases.items():
            with self.subTest(brand=name):
                self.open_and_close(Machine(dmi=ZELL, brand=value))

    def test_machine_identity(self):
        with self.subTest(wmi="off"):
            window = self.open_and_close(Machine(wmi=False))
            self.assertEqual(self.edits(window)[1000], "")
        with self.subTest(wmi="values of 1000 characters"):
            long = dict(ZELL, product_name="P" * 1000, product_serial="S" * 1000, sys_vendor="V" * 1000)
            window = self.open_and_close(Machine(dmi=long))
            self.assertEqual(self.edits(window)[1000], "P" * 127)
            self.assertEqual(self.edits(window)[1003], "S" * 10)


if __name__ == "__main__":
    harness.main()
