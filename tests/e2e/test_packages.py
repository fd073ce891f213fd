"""The zip and the MSI: what they hold, and the MSI installed, upgraded and
removed by Wine's own msiexec."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

import harness
from harness import Card, quiet, unix_to_windows

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "packaging"))
import make_packages  # noqa: E402

INSTALLED = r"C:\Program Files\Velopass"
PICTURES = sorted(["velopass.ico"] + [f"{brand}_Banner{suffix}.bmp" for brand in harness.pictures.BRANDS
                                      for suffix in ("", "1", "2")])


def setUpModule():
    if shutil.which("wixl") is None or shutil.which("msiinfo") is None:
        raise unittest.SkipTest("msitools (wixl, msiinfo) are not installed")
    global WORK
    WORK = tempfile.mkdtemp(prefix="vp-packages-")
    for version in ("1.0.0", "1.0.1"):
        make_packages.main(harness.BIN_DIR, version, os.path.join(WORK, version))


def tearDownModule():
    shutil.rmtree(WORK, ignore_errors=True)


def package(version, kind):
    return os.path.join(WORK, version, f"Velopass-{version}.{kind}")


def msi_table(path, table):
    out = subprocess.run(["msiinfo", "export", path, table], capture_output=True, text=True, check=True).stdout
    return [line.split("\t") for line in out.splitlines()[3:]]


class Contents(unittest.TestCase):
    def test_zip_holds_the_program_folder(self):
        with zipfile.ZipFile(package("1.0.0", "zip")) as archive:
            names = sorted(archive.namelist())
        self.assertEqual(names, sorted(["Velopass/Velopass.exe", "Velopass/Velopass.ini"] +
                                       [f"Velopass/PIC/{name}" for name in PICTURES]))

    def test_msi_tables(self):
        msi = package("1.0.0", "msi")
        files = sorted(row[2].split("|")[-1] for row in msi_table(msi, "File"))
        self.assertEqual(files, sorted(["Velopass.exe", "Velopass.ini"] + PICTURES))
        properties = dict(row[:2] for row in msi_table(msi, "Property"))
        self.assertEqual(properties["ProductVersion"], "1.0.0")
        self.assertEqual(properties["UpgradeCode"], "{" + make_packages.UPGRADE_CODE + "}")
        shortcuts = msi_table(msi, "Shortcut")
        self.assertEqual([row[2].split("|")[-1] for row in shortcuts], ["Velopass"])
        self.assertTrue(msi_table(msi, "Upgrade"), "upgrades replace older versions")

        with tempfile.TemporaryDirectory() as out:
            subprocess.run(["msiextract", "-C", out, msi], check=True, capture_output=True)
            extracted = {os.path.relpath(os.path.join(root, name), out)
                         for root, _, names in os.walk(out) for name in names}
        folder = next(path for path in extracted if path.endswith("Velopass.exe")).rsplit(os.sep, 1)[0]
        expected = {os.path.join(folder, name) for name in ["Velopass.exe", "Velopass.ini"]}
        expected |= {os.path.join(folder, "PIC", name) for name in PICTURES}
        self.assertEqual(extracted, expected)


class Installation(unittest.TestCase):
    def msiexec(self, card, *args):
        return quiet(["wine", "msiexec", *args, "/qn"], card.env, timeout=300, check=False)

    def test_install_upgrade_and_remove(self):
        with Card(self) as card:
            self.assertEqual(self.msiexec(card, "/i", unix_to_windows(package("1.0.0", "msi"))), 0)
            for name in ["Velopass.exe", "Velopass.ini"] + [rf"PIC\{p}" for p in PICTURES]:
                self.assertTrue(os.path.exists(card.path(rf"{INSTALLED}\{name}")), name)
            process = card.start(exe=rf"{INSTALLED}\Velopass.exe")
            card.screenshot("installed-card", card.dump())
            self.assertEqual(card.dump()["controls"][0]["text"], "Print")
            self.assertEqual(card.close(process), 0)

            self.assertEqual(self.msiexec(card, "/i", unix_to_windows(package("1.0.1", "msi"))), 0)
            products = card.inspect("products", "Velopass")
            self.assertEqual(products, ["1.0.1"], "one Velopass, upgraded in place")

            self.assertEqual(self.msiexec(card, "/x", unix_to_windows(package("1.0.1", "msi"))), 0)
            self.assertFalse(os.path.exists(card.path(INSTALLED)))
            self.assertEqual(card.inspect("products", "Velopass"), [])


if __name__ == "__main__":
    harness.main()
