"""What the program file carries, the DLLs it lets in, Ctrl+C and the names screen readers hear."""
import os
import re
import unittest

import harness
from harness import SHIPPED, ZELL, Card, Machine

SUPPORTED_OS = ["35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"]
ENGLISH = ["Product name", "Serial number", "SNID", "Part number", "Date of purchase", "FUB", "DLR"]
GERMAN = ["Produktname", "Seriennummer", "SNID", "Teilenummer", "Kaufdatum", "FUB", "DLR"]


class ProgramFile(unittest.TestCase):
    def test_version_information_and_manifest(self):
        with open(os.path.join(harness.BIN_DIR, "Velopass.exe"), "rb") as f:
            program = f.read()

        def version_string(key):  # a String of the version resource: text type, UTF-16 key, padding, value
            found = re.search(b"\x01\x00" + key.encode("utf-16-le") + rb"\0\0(?:\0\0)?((?:[^\0]\0)+)\0\0", program)
            return found and found[1].decode("utf-16-le")
        version = version_string("FileVersion")
        self.assertRegex(version, r"^\d+\.\d+\.\d+\.\d+$")
        strings = [version_string(k) for k in ("ProductVersion", "ProductName", "InternalName", "OriginalFilename",
                                               "CompanyName", "FileDescription", "LegalCopyright")]
        self.assertEqual(strings[:4], [version, "Velopass", "Velopass", "Velopass.exe"])
        self.assertTrue(all(strings[4:]), strings)
        manifest = re.sub(r"\s+", " ", re.search(rb"<assembly.*</assembly>", program, re.S)[0].decode())
        for expected in ('level="asInvoker"', 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
                         f'version="{version}"', *SUPPORTED_OS):
            self.assertIn(expected, manifest)
        self.assertRegex(manifest, r"<dpiAware[^>]*>true</dpiAware>")
        self.assertNotIn("activeCodePage", manifest)

    def test_dlls_beside_the_program_are_never_loaded(self):
        # Windows looks beside the program first for a DLL that is no KnownDLL;
        # Wine does so when told to prefer native DLLs.
        with open(os.path.join(harness.BIN_DIR, "vpplanted.dll"), "rb") as f:
            planted = f.read()
        dlls = ("gdiplus.dll", "oleacc.dll")
        files = {rf"{harness.CARD_DIR}\{name}": planted for name in dlls}
        native_first = harness.BASE_ENV["WINEDLLOVERRIDES"] + ";gdiplus,oleacc=n,b"
        with Card(self, Machine(environment={"WINEDLLOVERRIDES": native_first}), text_file=SHIPPED,
                  files=files) as card:
            card.start()
            self.assertEqual(card.inspect("accname", 1000), ENGLISH[0])  # oleacc.dll, loaded on this first ask
            ran = [name for name in dlls if card.read(rf"{harness.CARD_DIR}\{name}.ran") is not None]
            self.assertEqual(ran, [])


class Assistance(unittest.TestCase):
    def test_ctrl_c_and_screen_readers_follow_the_language(self):
        with Card(self, Machine(dmi=ZELL), text_file=SHIPPED) as card:
            card.start()
            card.type(1004, "2026-03-01")
            values = ["Zell Aero 14", "0123456789KLM0001FXY2", "KLM000031XY", "0123456789", "2026-03-01", "", ""]
            english, german = ("".join(f"{label}: {value}\r\n" for label, value in zip(labels, values))
                               for labels in (ENGLISH, GERMAN))
            # (focus, selection in the date edit, language switch, what is copied)
            for focus, selection, switch, expected in ((1007, (), None, english), (1004, (0, 0), 32, german),
                                                       (1008, (), None, german), (1004, (0, 4), None, "2026")):
                if switch:
                    card.inspect("syscommand", switch)
                card.inspect("copy", focus, *selection)
                self.assertEqual(harness.wait_until(lambda: card.inspect("clipboard") == expected, timeout=5) and
                                 card.inspect("clipboard"), expected)
            self.assertEqual([card.inspect("accname", 1000 + i) for i in range(7)], GERMAN)


if __name__ == "__main__":
    harness.main()
