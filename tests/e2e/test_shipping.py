"""What the program file carries, and the two aids beyond the card itself:
Ctrl+C copies the values, screen readers hear each value's label."""
import re
import unittest

import harness
from harness import SHIPPED, Card, Machine

ZELL = harness.ZELL
SUPPORTED_OS = ["35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"]
ENGLISH = ["Product name", "Serial number", "SNID", "Part number", "Date of purchase", "FUB", "DLR"]
GERMAN = ["Produktname", "Seriennummer", "SNID", "Teilenummer", "Kaufdatum", "FUB", "DLR"]


class ProgramFile(unittest.TestCase):
    def test_version_information_and_manifest(self):
        with Card(self) as card:
            found = card.inspect("resources", harness.CARD_DIR + r"\Velopass.exe")
        version = found["FileVersion"]
        self.assertRegex(version, r"^\d+\.\d+\.\d+\.\d+$")
        self.assertEqual(found["ProductVersion"], version)
        self.assertEqual((found["ProductName"], found["InternalName"], found["OriginalFilename"]),
                         ("Velopass", "Velopass", "Velopass.exe"))
        for key in ("CompanyName", "FileDescription", "LegalCopyright"):
            self.assertTrue(found[key], key)
        manifest = found["manifest"]
        self.assertIn('level="asInvoker"', manifest)
        self.assertRegex(manifest, r"<dpiAware[^>]*>true</dpiAware>")
        self.assertIn('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', re.sub(r"\s+", " ", manifest))
        self.assertNotIn("activeCodePage", manifest)
        for guid in SUPPORTED_OS:
            self.assertIn(guid, manifest)
        self.assertIn(f'version="{version}"', manifest)


class Assistance(unittest.TestCase):
    def test_ctrl_c_copies_the_values_in_the_current_language(self):
        with Card(self, Machine(dmi=ZELL), text_file=SHIPPED) as card:
            card.start()
            card.type(1004, "2026-03-01")
            values = ["Zell Aero 14", "0123456789KLM0001FXY2", "KLM000031XY", "0123456789", "2026-03-01", "", ""]
            for focus, labels, switch in ((1007, ENGLISH, None), (1004, GERMAN, 32)):
                if switch:
                    card.inspect("syscommand", switch)
                before = [(c["id"], c["text"], c["rect"]) for c in card.dump()["controls"]]
                card.inspect("copy", focus)
                expected = "".join(f"{label}: {value}\r\n" for label, value in zip(labels, values))
                self.assertEqual(harness.wait_until(lambda: card.inspect("clipboard") == expected, timeout=5) and
                                 card.inspect("clipboard"), expected)
                after = [(c["id"], c["text"], c["rect"]) for c in card.dump()["controls"]]
                self.assertEqual(after, before, "nothing else changes")

    def test_value_edits_are_named_after_their_labels(self):
        with Card(self, text_file=SHIPPED) as card:
            card.start()
            self.assertEqual([card.inspect("accname", 1000 + i) for i in range(7)], ENGLISH)
            card.inspect("syscommand", 32)  # German
            self.assertEqual([card.inspect("accname", 1000 + i) for i in range(7)], GERMAN)


if __name__ == "__main__":
    harness.main()
