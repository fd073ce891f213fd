#!/usr/bin/env python3
"""Takes the README's pictures of the card as a user of each brand sees it: the brand's banner over a
product of that brand, with a date of purchase, FUB and DLR filled in, from the shipped text file. Runs the
built program under Wine (scripts/readme-pictures.sh builds it first).

    python3 scripts/readme_cards.py [OUTPUT-FOLDER]
"""
import os
import shutil
import sys
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
BUILT = os.path.join(ROOT, "build", "windows")
os.environ.setdefault("VELOPASS_BIN", BUILT)
os.environ.setdefault("VELOPASS_INSPECT", os.path.join(BUILT, "vpprobe.exe"))
os.environ.setdefault("VELOPASS_E2E_DIR", os.path.join(BUILT, "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402

# (picture, DPI, locale, brand, model, serial, date of purchase, FUB, DLR)
CARDS = [
    ("card-96-en", 96, "en_US.UTF-8", "Zell", "Zell Aero 14", "0123456789KLM0001FXY2", "2026-03-01",
     "FUB-2026-117", "Zell Service Lyon"),
    ("card-96-ar", 96, "ar_SA.UTF-8", "Marwick", "Marwick Stride 15", "4471902635MWK0203QRS8", "2026-02-14",
     "FUB-2026-042", "Marwick Service Berlin"),
    ("card-120-en", 120, "en_US.UTF-8", "Lumiframe", "Lumiframe Vista 13", "7702155190LMF0330TUV5", "2026-01-20",
     "FUB-2025-388", "Lumiframe Care Milan"),
    ("card-120-ar", 120, "ar_SA.UTF-8", "Tessary", "Tessary Forge 16", "5519023874TSR0412WXZ1", "2025-12-05",
     "FUB-2025-301", "Tessary Dubai"),
    ("card-96-brindle-hall", 96, "en_US.UTF-8", "Brindle Hall", "Brindle Hall Study 14", "3380417726BRH0155ABC4",
     "2026-04-02", "FUB-2026-150", "Brindle Hall Oxford"),
]


def text_file():
    """The shipped text file with the OEM's two settings in section "common"."""
    with open(os.path.join(harness.BIN_DIR, "Velopass.ini"), encoding="utf-16") as f:
        text = f.read()
    settings = "[common]\nRegIniFile=C:\\OEM\\%brand%\\Register.ini\nFUBIniFile=C:\\OEM\\%brand%\\Service.ini\n"
    return b"\xff\xfe" + text.replace("[common]\n", settings, 1).replace("\n", "\r\n").encode("utf-16-le")


def main(out):
    os.makedirs(out, exist_ok=True)
    for name, dpi, locale, brand, model, serial, date, fub, dlr in CARDS:
        machine = harness.Machine(dpi=dpi, locale=locale, brand=brand,
                                  dmi={"sys_vendor": brand, "product_name": model, "product_serial": serial})
        files = {harness.CARD_DIR + r"\Velopass.ini": text_file(),
                 rf"C:\OEM\{brand}\Register.ini": harness.ini_bytes({"DATA": {"DOP": date}}),
                 rf"C:\OEM\{brand}\Service.ini": harness.ini_bytes({"FUB": {"FUB": fub, "DLR": dlr}})}
        with harness.Card(unittest.TestCase(), machine, files=files) as card:
            process = card.start()
            shutil.copy(card.screenshot("readme-" + name, card.dump()), os.path.join(out, name + ".png"))
            process.close()
        print(f"{name}.png: {brand} {model}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs", "images"))
