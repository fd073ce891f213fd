"""The DLLs the program lets in, Ctrl+C and the names screen readers hear."""
import os
import unittest

import harness
from harness import SHIPPED, ZELL, Card, Machine, wait_until

ENGLISH = ["Product name", "Serial number", "SNID", "Part number", "Date of purchase", "FUB", "DLR"]
GERMAN = ["Produktname", "Seriennummer", "SNID", "Teilenummer", "Kaufdatum", "FUB", "DLR"]


class ProgramFile(unittest.TestCase):
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
            # (focus, keys before Ctrl+C (Home: nothing selected), German first, what is copied)
            for focus, keys, switch, expected in ((1007, [], False, english), (1004, ["home"], True, german),
                                                  (1008, [], False, german),
                                                  (1004, ["home", *["shift+right"] * 4], False, "2026")):
                if switch:
                    card.choose_language(1)
                    wait_until(lambda: "Drucken" in (c["text"] for c in card.dump()["controls"]))
                card.inspect("clipboard", "empty")
                card.press(focus, *keys, "ctrl+c")
                wait_until(lambda: card.inspect("clipboard") == expected, timeout=5)
                self.assertEqual(card.inspect("clipboard"), expected)
            self.assertEqual([card.inspect("accname", 1000 + i) for i in range(7)], GERMAN)


if __name__ == "__main__":
    harness.main()
