"""Bad input of every kind: the card opens, shows what it defines, does not
crash or hang, and writes no file but its data file."""
import os
import time
import unittest

import harness
from harness import Card, Machine, pictures

DATA, INI, PIC = r"c:\OEM\Velopass\VLP.dat", r"C:\Velopass\Velopass.ini", r"C:\Velopass\PIC"
ZELL, LONG = harness.ZELL, dict(harness.ZELL, product_name="P" * 1000, product_serial="S" * 1000, sys_vendor="V" * 1000)


def utf16(text):
    return b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")


def garbage(size, value=7):
    """Deterministic bytes that are no text and no picture."""
    out = bytearray()
    while len(out) < size:
        value = (value * 1103515245 + 12345) & 0x7FFFFFFF
        out += value.to_bytes(4, "little")
    return bytes(out[:size])


COMMON = "[common]\nRegIniFile=NUL\nFUBIniFile=%HUGE%\\FUB.ini\n[en]\n"
# name, machine (WMI, registry brand: a value's type is not checked, only its bytes), files, lock the data file,
# expected {"title" or an edit's id: text}
CASES = [
    ("garbled", Machine(dmi=ZELL, brand="Zell"), {INI: garbage(65536), DATA: garbage(4096), rf"{PIC}\velopass.ico": b"no icon"},
     False, {1000: "Zell Aero 14"}),
    ("empty", Machine(dmi=ZELL, brand=("hex(0)", b"")), {INI: b"", DATA: b"", rf"{PIC}\velopass.ico": b""}, False,
     {1000: "Zell Aero 14"}),
    ("over-long", Machine(dmi=LONG, brand=b"L\0" * 128, environment={"HUGE": "h" * 32767}),
     {INI: utf16(COMMON + "AppTitle=" + "T" * 10000 + "\nBtnPrint=" + "B" * 10000 + "\n"),
      rf"{PIC}\Zell_Banner.bmp": pictures.bmp(4000, 900, lambda x, y: (x % 256, y % 256, 90)),
      rf"{PIC}\velopass.ico": garbage(8 << 20)}, False, {"title": "T" * 127, 1000: "P" * 127, 1003: "S" * 10, 1005: "", 1006: ""}),
    ("WMI off, data file locked", Machine(wmi=False, brand="L" * 200),
     {INI: utf16("[common]\nRegIniFile=c:\\OEM\nFUBIniFile=CON\n"), DATA: utf16("[data]\nDOP=2020-02-02\n")}, True,
     {1000: "", 1005: "", 1006: ""}),
    ("100000 sections, data file a folder", Machine(dmi=ZELL, brand=("hex(7)", "Zell".encode("utf-16-le") + bytes(4))),
     {INI: utf16("".join(f"[s{i}]\nk=v\n" for i in range(100000)) + "[en]\nAppTitle=Velopass EN\n"),
      DATA + r"\keep": b"x", rf"{PIC}\Zell_Banner.bmp": b"not a bitmap"}, False, {"title": "Velopass EN"}),
]


class BadInput(unittest.TestCase):
    def test_bad_input(self):
        for name, machine, files, lock, expected in CASES:
            with self.subTest(name), Card(self, machine, files=files) as card:
                before = card.snapshot()
                process = card.start()
                if lock:  # another program holds it while the card saves
                    card.lock(DATA, 20)
                    time.sleep(2)
                window = card.dump()
                shown = {c["id"]: c["text"] for c in window["controls"] if c["class"] == "Edit"}
                self.assertEqual({key: window["text"] if key == "title" else shown[key] for key in expected}, expected)
                if name != "garbled":  # which leaves the labels blank
                    labels = card.capture().client(window).count((0, 90, 160, 380), harness.is_dark)
                    self.assertGreater(labels, 100, "the card is painted through to its labels")
                card.type(1004, "2026-01-01")
                self.assertEqual(card.close(process), 0)
                written = {path for path, stamp in card.snapshot().items() if before.get(path) != stamp}
                self.assertLessEqual(written, {os.path.join("OEM", "Velopass", "VLP.dat")}, "no file but the data file")


if __name__ == "__main__":
    harness.main()
