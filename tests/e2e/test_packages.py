"""The zip and the MSI: what they hold, their signatures and checksums, and
the signed MSI installed, upgraded and removed by Wine's own msiexec."""
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


# A throwaway CA and two certificates it issues: one for code signing, one not.
CERTIFICATES = """
[code]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
[server]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
"""


def make_certificates(folder):
    def openssl(*args):
        subprocess.run(["openssl", *args], cwd=folder, check=True, capture_output=True)
    with open(os.path.join(folder, "usage.cnf"), "w") as f:
        f.write(CERTIFICATES)
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
            "-subj", "/CN=Throwaway CA", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign")
    for usage in ("code", "server"):
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", f"{usage}.key", "-out", f"{usage}.csr",
                "-subj", f"/CN=Velopass {usage}")
        openssl("x509", "-req", "-in", f"{usage}.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                "-days", "2", "-extfile", "usage.cnf", "-extensions", usage, "-out", f"{usage}.pem")
        openssl("pkcs12", "-export", "-inkey", f"{usage}.key", "-in", f"{usage}.pem", "-certfile", "ca.pem",
                "-passout", "pass:throwaway", "-out", f"{usage}.pfx")


def package_run(version, out, certificate="code", password="throwaway", program=None):
    env = dict(os.environ, VELOPASS_SIGN_PFX=os.path.join(WORK, f"{certificate}.pfx"), VELOPASS_SIGN_PASSWORD=password)
    env.pop("VELOPASS_SIGN_TIMESTAMP_URL", None)
    return subprocess.run([sys.executable, make_packages.__file__, program or harness.BIN_DIR, version, out],
                          env=env, capture_output=True, text=True)


def setUpModule():
    for tool in ("wixl", "msiinfo", "osslsigncode", "openssl"):
        if shutil.which(tool) is None:
            raise unittest.SkipTest(f"{tool} is not installed (scripts/install-deps.sh --tests)")
    global WORK
    WORK = tempfile.mkdtemp(prefix="vp-packages-")
    make_certificates(WORK)
    # Another build of 1.0.1: a program with other bytes, so another product code.
    rebuild = os.path.join(WORK, "rebuilt-program")
    for name in make_packages.program_files(harness.BIN_DIR):
        os.makedirs(os.path.dirname(os.path.join(rebuild, name)), exist_ok=True)
        shutil.copy(os.path.join(harness.BIN_DIR, name), os.path.join(rebuild, name))
    with open(os.path.join(rebuild, "Velopass.exe"), "ab") as f:
        f.write(bytes(512))
    for version, out, program in (("1.0.0", "1.0.0", None), ("1.0.1", "1.0.1", None), ("1.0.1", "rebuilt", rebuild)):
        made = package_run(version, os.path.join(WORK, out), program=program)
        if made.returncode != 0:
            raise RuntimeError(made.stderr)


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


def verify(path):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", os.path.join(WORK, "ca.pem"), "-in", path],
                          capture_output=True, text=True)


class Signing(unittest.TestCase):
    def test_signed_program_and_msi(self):
        with tempfile.TemporaryDirectory() as out:
            with zipfile.ZipFile(package("1.0.0", "zip")) as archive:
                archive.extract("Velopass/Velopass.exe", out)
            program = os.path.join(out, "Velopass", "Velopass.exe")
            for path in (program, package("1.0.0", "msi")):
                result = verify(path)
                self.assertIn("Signature verification: ok", result.stdout, path)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                tampered = os.path.join(out, "tampered")
                with open(path, "rb") as f:
                    data = bytearray(f.read())
                data[len(data) // 3] ^= 0x01
                with open(tampered, "wb") as f:
                    f.write(data)
                self.assertNotEqual(verify(tampered).returncode, 0, f"{path} with one byte changed")
            # The build's own program stays unsigned; without its signature
            # the shipped one is that very program.
            unsigned = os.path.join(out, "unsigned.exe")
            subprocess.run(["osslsigncode", "remove-signature", "-in", program, "-out", unsigned],
                           check=True, capture_output=True)
            self.assertEqual(make_packages.sha256(unsigned),
                             make_packages.sha256(os.path.join(harness.BIN_DIR, "Velopass.exe")))

        sums = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=os.path.join(WORK, "1.0.0"),
                              capture_output=True, text=True)
        self.assertEqual(sums.returncode, 0, sums.stdout + sums.stderr)
        self.assertEqual(sums.stdout.count(": OK"), 2)

    def test_a_certificate_that_cannot_sign_stops_packaging(self):
        for certificate, password, message in (("code", "wrong", "wrong password"),
                                               ("server", "throwaway", "not for code signing")):
            with self.subTest(certificate=certificate), tempfile.TemporaryDirectory() as out:
                result = package_run("1.0.0", out, certificate, password)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(message, result.stderr)
                self.assertEqual(os.listdir(out), [])


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
            rebuilt = os.path.join(WORK, "rebuilt", "Velopass-1.0.1.msi")
            self.assertEqual(self.msiexec(card, "/i", unix_to_windows(rebuilt)), 0)
            self.assertEqual(card.inspect("products", "Velopass"), ["1.0.1"], "another build replaces the same version")

            self.assertEqual(self.msiexec(card, "/x", unix_to_windows(rebuilt)), 0)
            self.assertFalse(os.path.exists(card.path(INSTALLED)))
            self.assertEqual(card.inspect("products", "Velopass"), [])


if __name__ == "__main__":
    harness.main()
