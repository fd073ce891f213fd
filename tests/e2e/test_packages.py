"""The zip and the MSI: what they hold, their signatures and checksums, and
the signed MSI installed, upgraded and removed by Wine's own msiexec."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

import harness
from harness import Card, unix_to_windows

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging"))
import make_packages  # noqa: E402

INSTALLED = r"C:\Program Files\Velopass"
FILES = ["Velopass.exe", "Velopass.ini", r"PIC\velopass.ico"] + [
    rf"PIC\{brand}_Banner{n}.bmp" for brand in harness.pictures.BRANDS for n in ("", "1", "2")]


def tool(*args, cwd=None, **kwargs):
    return subprocess.run(args, cwd=cwd or WORK, capture_output=True, text=True, **kwargs)


def package(version, out, usage="codeSigning", password="throwaway", program=None):
    env = dict(os.environ, VELOPASS_SIGN_PFX=os.path.join(WORK, f"{usage}.pfx"), VELOPASS_SIGN_PASSWORD=password,
               VELOPASS_SIGN_TIMESTAMP_URL="")
    return tool(sys.executable, make_packages.__file__, program or harness.BIN_DIR, version, out, env=env)


def setUpModule():
    global WORK
    if not all(map(shutil.which, ("wixl", "osslsigncode", "openssl"))):
        raise unittest.SkipTest("packaging tools missing (scripts/install-deps.sh --tests)")
    WORK = tempfile.mkdtemp(prefix="vp-packages-")
    unittest.addModuleCleanup(shutil.rmtree, WORK, ignore_errors=True)
    key = ("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2")
    tool("openssl", *key, "-keyout", "ca.key", "-out", "ca.pem", "-subj", "/CN=Throwaway CA", check=True)
    for usage in ("codeSigning", "serverAuth"):  # a throwaway CA's certificate for code signing, and one not
        tool("openssl", *key, "-keyout", "k", "-out", "c", "-subj", "/CN=Velopass", "-CA", "ca.pem", "-CAkey", "ca.key",
             "-addext", "basicConstraints=CA:FALSE", "-addext", f"extendedKeyUsage={usage}", check=True)
        tool("openssl", "pkcs12", "-export", "-inkey", "k", "-in", "c", "-certfile", "ca.pem",
             "-passout", "pass:throwaway", "-out", f"{usage}.pfx", check=True)
    # Another build of 1.0.1: other bytes in the program, so another product code.
    rebuilt = os.path.join(WORK, "rebuilt-program")
    shutil.copytree(os.path.join(harness.BIN_DIR, "PIC"), os.path.join(rebuilt, "PIC"))
    shutil.copy(os.path.join(harness.BIN_DIR, "Velopass.ini"), rebuilt)
    Path(rebuilt, "Velopass.exe").write_bytes(Path(harness.BIN_DIR, "Velopass.exe").read_bytes() + bytes(512))
    for version, out, program in (("1.0.0", "1.0.0", None), ("1.0.1", "1.0.1", None), ("1.0.1", "rebuilt", rebuilt)):
        made = package(version, out, program=program)
        assert made.returncode == 0, made.stderr


def path(folder, version, kind):
    return os.path.join(WORK, folder, f"Velopass-{version}.{kind}")


class Packages(unittest.TestCase):
    def test_contents_signatures_and_checksums(self):
        with zipfile.ZipFile(path("1.0.0", "1.0.0", "zip")) as archive:
            self.assertEqual(sorted(archive.namelist()), sorted("Velopass/" + n.replace("\\", "/") for n in FILES))
            program = archive.extract("Velopass/Velopass.exe", WORK)
        for signed in (program, path("1.0.0", "1.0.0", "msi")):
            checked = tool("osslsigncode", "verify", "-CAfile", "ca.pem", "-in", signed)
            self.assertEqual(checked.returncode, 0, f"{signed}: {checked.stdout}")
        # The build's own program stays unsigned: without its signature the shipped one is that very program.
        tool("osslsigncode", "remove-signature", "-in", program, "-out", "unsigned.exe", check=True)
        self.assertEqual(make_packages.sha256(os.path.join(WORK, "unsigned.exe")),
                         make_packages.sha256(os.path.join(harness.BIN_DIR, "Velopass.exe")))
        sums = tool("sha256sum", "-c", "SHA256SUMS", cwd=os.path.join(WORK, "1.0.0"))
        self.assertEqual((sums.returncode, sums.stdout.count(": OK")), (0, 2), sums.stdout + sums.stderr)

    def test_a_certificate_that_cannot_sign_leaves_no_package(self):
        for usage, password, message in (("codeSigning", "wrong", "wrong password"),
                                         ("serverAuth", "throwaway", "not for code signing")):
            with self.subTest(message):
                out = shutil.copytree(os.path.join(WORK, "1.0.0"), os.path.join(WORK, message))  # an older run's
                self.assertIn(message, package("1.0.0", out, usage, password).stderr)
                self.assertEqual(os.listdir(out), [])

    def test_install_upgrade_and_remove(self):
        with Card(self) as card:
            def msiexec(verb, folder, version):
                return harness.quiet(["wine", "msiexec", verb, unix_to_windows(path(folder, version, "msi")), "/qn"],
                                     card.env, timeout=300, check=False)
            self.assertEqual(msiexec("/i", "1.0.0", "1.0.0"), 0)
            self.assertEqual([n for n in FILES if not os.path.exists(card.path(rf"{INSTALLED}\{n}"))], [], "missing")
            self.assertEqual(card.close(card.start(exe=rf"{INSTALLED}\Velopass.exe")), 0)
            for folder in ("1.0.1", "rebuilt"):  # a newer version, then another build of it, replace what is there
                self.assertEqual(msiexec("/i", folder, "1.0.1"), 0)
            # Removing the last leaves nothing: no product was left installed beside it, keeping its files.
            self.assertEqual(msiexec("/x", "rebuilt", "1.0.1"), 0)
            self.assertFalse(os.path.exists(card.path(INSTALLED)))


if __name__ == "__main__":
    harness.main()
