"""Bad input of every kind: the card opens, shows what it defines, never crashes or hangs, writes only its data file."""
import random
import unittest

from harness import BASE_ENV, CARD_DIR, DATA_FILE, DATA_ON_C, ZELL, Card, Machine, ini_bytes, pictures, program

DATA, INI, PIC = DATA_FILE, CARD_DIR + r"\Velopass.ini", CARD_DIR + r"\PIC"
LONG = dict(ZELL, product_name="P" * 1000, product_serial="S" * 1000, sys_vendor="V" * 1000)
GARBAGE = random.Random(7).randbytes(8 << 20)  # no text, no picture, the same each run
BANNER, ICON = rf"{PIC}\Zell_Banner.bmp", rf"{PIC}\velopass.ico"
LONG_TEXT = ini_bytes({"common": {"RegIniFile": "NUL", "FUBIniFile": r"%HUGE%\FUB.ini"},
                       "en": {"AppTitle": "T" * 9999, "BtnPrint": "B" * 9999}})
# name, machine (a brand's bytes count, not its type), files; what the card shows is in the references
CASES = [
    ("garbled", Machine(dmi=ZELL, brand="Zell"), {INI: GARBAGE[:65536], DATA: GARBAGE[:4096], ICON: b"no icon"}),
    ("empty", Machine(dmi=ZELL, brand=b""), {INI: b"", DATA: b"", ICON: b""}),
    ("over-long", Machine(dmi=LONG, brand=b"L\0" * 128, environment={"HUGE": "h" * 32767}),
     {INI: LONG_TEXT, BANNER: pictures.bmp(4000, 900, lambda x, y: (x % 256, y % 256, 90)), ICON: GARBAGE}),
    ("WMI off, no accessibility DLL", Machine(wmi=False, brand="L" * 200, environment={
        "WINEDLLOVERRIDES": BASE_ENV["WINEDLLOVERRIDES"] + ";oleacc=d"}), {INI: ini_bytes({"common": {
        "RegIniFile": "c:\\OEM", "FUBIniFile": "CON"}})}),
    ("ANSI, in a German locale a section without its title", Machine(dmi=ZELL, brand="Zell", locale="de_DE.UTF-8"),
     {INI: "[en]\r\nAppTitle=Velopass für alle\r\n[de]\r\nlblDOP=Kaufdatum\r\n[common]\r\nFUBIniFile=%PATH%%PATH%\r\n"
      .encode("cp1252")}),  # a FUB file named past 127 units once expanded
    # XP makes a Norwegian locale's name of its parts; a date file named past 127 units is read neither whole nor cut
    ("100000 sections, data file a folder, on XP", Machine(
        dmi=ZELL, version="winxp", locale="nb_NO.UTF-8", environment={"LONG": "r" * 125},
        brand=("hex(7)", "Zell".encode("utf-16-le") + bytes(4))),
     {INI: ini_bytes({**{f"s{i}": {"k": "v"} for i in range(100000)}, "no": {"AppTitle": "Velopass NO"},
                      "common": {"RegIniFile": r"c:\%LONG%\r.ini", "FUBIniFile": "c:\\" + "r" * 124}}),
      **dict.fromkeys(("c:\\" + "r" * 125 + r"\r.ini", "c:\\" + "r" * 124), ini_bytes({"DATA": {"DOP": "2099"}})),
      DATA + r"\keep": b"x", BANNER: b"not a bitmap"})]


class BadInput(unittest.TestCase):
    def test_bad_input(self):
        for name, machine, files in CASES:
            with self.subTest(name), Card(self, machine, files=files) as card:
                before = card.pc.snapshot()
                process = card.start()
                card.assert_as_reviewed("bad-input-" + name.split(",")[0].replace(" ", "-"))
                card.type(program.IDC_DATE_OF_PURCHASE, "2026-01-01")
                if DATA + r"\keep" in files:  # a data file that is a folder is not replaced: the date is not saved
                    card.press(program.IDC_CLOSE, "space")
                    card.answer("bad-input-save-failed", 2)  # Cancel
                self.assertEqual(process.wait(60) if DATA + r"\keep" in files else process.close(), 0)
                written = {path for path, stamp in card.pc.snapshot().items() if before.get(path) != stamp}
                self.assertLessEqual(written, {DATA_ON_C}, "no file but the data file")
