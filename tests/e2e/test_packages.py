"""The zip and the MSI: what they hold, their signatures and checksums, the MSI's tables, and the signed MSI installed
with settings, upgraded, repaired and removed by Wine's own msiexec."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

import harness
import make_packages  # (packaging/, on the harness's path)
from harness import Card, Machine, program as ids, unix_to_windows

OEM_LIST = "en/ar/" + "xx/" * 90 + "."  # an OEM's language list, longer than an installer property's first ask
ARP = ("DisplayName", "DisplayVersion", "Publisher", "Version", "VersionMajor", "VersionMinor", "Language",
       "InstallLocation", "NoModify")  # what Wine's msi writes of the uninstall entry, but for dates and the source
SHOWN = (ids.IDC_DATE_OF_PURCHASE, ids.IDC_FUB, ids.IDC_DLR, ids.IDC_CLOSE)  # what an install's settings change
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
    # 1.0.1 with a text changed and a language dropped, and a rebuild of it: other program bytes, another product code.
    for folder, padding in (("newer", b""), ("rebuilt", bytes(512))):
        program = shutil.copytree(harness.BIN_DIR, os.path.join(WORK, folder), ignore=lambda d, names: [
            n for n in names if d == harness.BIN_DIR and n not in ("PIC", "Velopass.exe", make_packages.SETUP)])
        Path(program, "Velopass.exe").write_bytes(Path(program, "Velopass.exe").read_bytes() + padding)
        text = Path(harness.BIN_DIR, "Velopass.ini").read_text("utf-16")
        text = text.replace("BtnClose=&Close\n", "BtnClose=&Close card\n", 1).replace("/tr/", "/", 1)
        Path(program, "Velopass.ini").write_text(text, "utf-16", newline="\r\n")
    for version, out, program in (("1.0.0", "1.0.0", None), ("1.0.1", "1.0.1", "newer"),
                                  ("1.0.1", "rebuilt", "rebuilt")):
        made = package(version, out, program=program and os.path.join(WORK, program))
        assert made.returncode == 0, made.stderr
    # From 1.0.1: one failing after the old version's removal, one whose repairs take Wine's user for no administrator.
    for out, queries in (("failing", ["INSERT INTO CustomAction (Action, Type, Target) VALUES ('Fail', 19, 'Failed')",
                                      "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('Fail', 1450)"]),
                         ("no administrator", ["UPDATE InstallExecuteSequence SET Condition = 'Installed' WHERE "
                                               "Action = 'IgnoreGivenSettings'"])):
        shutil.copytree(os.path.join(WORK, "1.0.1"), os.path.join(WORK, out))
        tool("msibuild", path(out, "1.0.1", "msi"), *(arg for query in queries for arg in ("-q", query)), check=True)


def apps_and_features(card, folder):
    """The uninstall entry of the product installed from FOLDER, as Apps and features and deployment tools read it:
    its texts unescaped, its numbers as numbers."""
    code, out = Path(WORK, folder, "PRODUCTCODE").read_text().split()[0], card.pc.path(r"c:\entry.reg")
    key = rf"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{code}"
    harness.quiet(["wine", "reg", "export", key, r"c:\entry.reg", "/y", "/reg:64"], card.pc.env)
    found = re.findall(r'^"(\w+)"=(?:"(.*)"|dword:(\w+))\r?$', Path(out).read_text("utf-16"), re.M)
    os.remove(out)
    return {name: int(number, 16) if number else re.sub(r"\\(.)", r"\1", text) for name, text, number in found}


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
        self.assertEqual(Path(WORK, "unsigned.exe").read_bytes(), Path(harness.BIN_DIR, "Velopass.exe").read_bytes())
        sums = tool("sha256sum", "-c", "SHA256SUMS", cwd=os.path.join(WORK, "1.0.0"))
        self.assertEqual((sums.returncode, sums.stdout.count(": OK")), (0, 2), sums.stdout + sums.stderr)

    def test_a_refusal_leaves_no_package_of_its_version(self):
        for version, message, signing in (("1.0.0", "wrong password", {"password": "wrong"}),
                                          ("1.0.0", "not for code signing", {"usage": "serverAuth"}),
                                          ("1.0.0.1", "compares whole", {}), ("1.256.0", "compares whole", {})):
            with self.subTest(version=version, message=message):  # an older run's packages go if of its version
                out = shutil.copytree(os.path.join(WORK, "1.0.0"), f"{WORK}/{version} {message}")  # of 1.0.0
                self.assertIn(message, package(version, out, **signing).stderr)
                self.assertEqual([n for n in os.listdir(out) if version == "1.0.0" or f"-{version}." in n], [])

    def test_msi_tables(self):
        def table(name):
            lines = tool("msiinfo", "export", path("1.0.0", "1.0.0", "msi"), name, check=True).stdout.splitlines()
            return [dict(zip(lines[0].split("\t"), row.split("\t"))) for row in lines[3:]]
        files, registry = table("File"), table("Registry")
        program = next(f for f in files if f["FileName"] == "Velopass.exe")
        self.assertEqual((program["Language"], re.fullmatch(r"(\d+\.){3}\d+", program["Version"]) is not None,
                          [h for h in table("MsiFileHash") if h["File_"] == program["File"]]), ("1033", True, []))
        short = r"[\w~-]{1,8}(\.[\w-]{1,3})?"
        self.assertEqual([f["FileName"] for f in files if not re.fullmatch(rf"{short}(\|.+)?", f["FileName"])], [])
        # Per-machine key paths only: a file, or a value under HKLM.
        hklm = {r["Registry"] for r in registry if r["Root"] == "2"}
        self.assertEqual([c for c in table("Component") if c["KeyPath"] not in {f["File"] for f in files} | hklm], [])
        self.assertEqual([r for r in registry if r["Root"] == "1"], [])
        properties = {p["Property"]: p["Value"] for p in table("Property")}
        self.assertEqual((properties["ARPNOMODIFY"], [i["Name"] for i in table("Icon")]),
                         ("1", [properties["ARPPRODUCTICON"]]))
        # The old version goes first in the installation's transaction, which rolls its removal back (Wine's is a
        # run of its own); a repair by a user who is really no administrator (yet runs elevated) ignores settings.
        sequence = {a["Action"]: (int(a["Sequence"]), a["Condition"]) for a in table("InstallExecuteSequence")}
        self.assertEqual((sequence["RemoveExistingProducts"][0] - sequence["InstallInitialize"][0],
                          sequence["IgnoreGivenSettings"][1], properties["MSIUSEREALADMINDETECTION"]),
                         (1, "Installed AND NOT AdminUser", "1"))
        self.assertTrue(any("VersionNT64" in c["Condition"] for c in table("LaunchCondition")))
        # The custom action, made from the same table of settings, knows each by the names the MSI writes, remembers
        # and reads back.
        action = Path(harness.BIN_DIR, make_packages.SETUP).read_bytes()
        names = {i[c].strip("[]") for i in table("IniFile") for c in ("Section", "Key", "Value")}
        names |= {r["Value"].strip("[]") for r in registry} | {a["Property"] for a in table("AppSearch")}
        self.assertEqual([n for n in sorted(names - {"INSTALLEDFOLDER"}) if f"{n}\0".encode("utf-16-le") not in action],
                         [])

    def test_settings_through_install_upgrade_repair_and_removal(self):
        oem = {rf"C:\OEM\{name}.ini": harness.ini_bytes({section: dict(values)}) for name, section, values in (
            ("Service", "FUB", [("FUB", "FUB-7"), ("DLR", "Dealer One")]),
            ("Hand", "FUB", [("FUB", "FUB-8"), ("DLR", "Dealer Two")]),
            ("Register", "DATA", [("DOP", "2026-03-01")]), ("Later", "DATA", [("DOP", "2026-04-02")]))}
        folder, installed = r"C:\Tools\Velopass", None  # not the usual folder: every later run keeps it
        with Card(self, Machine(brand="Marwick"), files=oem) as card:
            before, text_file = set(card.pc.snapshot()), Path(card.pc.path(rf"{folder}\Velopass.ini"))
            # A hand edit of the installed text file (None: the file deleted), then msiexec (its exit code); the
            # card's date of purchase, FUB, DLR and Close button after it: settings kept or given, the package's texts.
            for what, edit, (verb, package, *given), exit_code, shown in (
                    ("install with settings", (), ("/i", "1.0.0", r"FUBINIFILE=C:\OEM\Service.ini",
                                                   r"REGINIFILE=C:\OEM\Register.ini", rf"INSTALLFOLDER={folder}\\"),
                     0, ("03-01", "7", "One", "&Close")),
                    ("edited, a failed upgrade", ("FUBIniFile", r"C:\OEM\Hand.ini"), ("/i", "failing"), 1603,
                     ("03-01", "8", "Two", "&Close")),
                    ("upgraded", (), ("/i", "no administrator"), 0, ("03-01", "8", "Two", "&Close card")),
                    # A repair as msiexec /fa makes it (Wine's msiexec has no /f), by a user who is no administrator.
                    ("edited, repaired with settings given", ("RegIniFile", r"C:\OEM\Later.ini"),
                     ("/i", "1.0.1", "REINSTALL=ALL", "REINSTALLMODE=a", r"FUBINIFILE=C:\OEM\Service.ini",
                      r"INSTALLFOLDER=C:\Elsewhere\\"), 0, ("04-02", "8", "Two", "&Close card")),
                    ("deleted, same version again: FUB as remembered, the date given anew", None,
                     ("/i", "rebuilt", r"REGINIFILE=C:\OEM\Register.ini"), 0, ("03-01", "8", "Two", "&Close card")),
                    ("repaired with a language list given", (), ("/i", "rebuilt", "REINSTALL=ALL",
                     "REINSTALLMODE=a", f"SUPPORTEDLANG={OEM_LIST}"), 0, ("03-01", "8", "Two", "&Close card"))):
                with self.subTest(what):
                    if edit is None:
                        text_file.unlink()
                    elif edit:
                        edited = re.sub(rf"(?m)^{edit[0]}=.*$", lambda _: "=".join(edit), text_file.read_text("utf-16"))
                        text_file.write_text(edited, "utf-16", newline="\r\n")
                    Path(card.pc.path(harness.DATA_FILE)).unlink(missing_ok=True)  # the date from RegIniFile's
                    msi = unix_to_windows(path(package, "1.0.0" if package == "1.0.0" else "1.0.1", "msi"))
                    self.assertEqual(harness.quiet(["wine", "msiexec", verb, msi, *given, "/qn"], card.pc.env, 300,
                                                   check=False), exit_code % 256)  # Wine's: the low byte
                    # Apps and features: the version installed (a failed upgrade leaves the old one's entry whole)
                    installed = package if exit_code == 0 else installed
                    entry = apps_and_features(card, installed)
                    number = 0 if installed == "1.0.0" else 1
                    self.assertEqual({name: entry.get(name) for name in ARP}, dict(zip(ARP, (
                        "Velopass", f"1.0.{number}", "Zell", 0x1000000 + number, 1, 0, 1033, folder + "\\", 1))))
                    # One shortcut in the Start menu (Wine's msi makes it the user's), to the program in its folder
                    shortcuts = [p for p in card.pc.snapshot() if p.endswith(".lnk")]
                    self.assertRegex(" ".join(shortcuts), r"^[\w/]+/Start Menu/Programs/Velopass.lnk$")
                    self.assertEqual(card.inspect("shortcut", "c:\\" + shortcuts[0].replace("/", "\\")), [
                        rf"{folder}\Velopass.exe", folder + "\\", "", 0, "This PC's identity card"])  # its icon
                    process = card.start(exe=rf"{folder}\Velopass.exe")
                    texts = card.texts()
                    self.assertEqual(process.close(), 0)
                    self.assertEqual([texts[i] for i in SHOWN],
                                     [f"2026-{shown[0]}", f"FUB-{shown[1]}", f"Dealer {shown[2]}", shown[3]])
                    languages = re.search(r"SupportedLang=(.*)", text_file.read_text("utf-16")).group(1)
                    if f"SUPPORTEDLANG={OEM_LIST}" in given:  # an OEM's own list, given, whole
                        self.assertEqual(languages, OEM_LIST)
                    else:  # the package's own list
                        self.assertEqual(languages.count("/tr/"), shown[3] == "&Close")
            # Removal by the product code beside the MSI: no file, shortcut or registry value left; the date file stays.
            code = Path(WORK, package, "PRODUCTCODE").read_text().split()[0]
            self.assertEqual(harness.quiet(["wine", "msiexec", "/x", code, "/qn"], card.pc.env, 300, check=False), 0)
            self.assertEqual(sorted(set(card.pc.snapshot()) - before), [harness.DATA_ON_C])
            for root in ("HKLM", "HKCU"):
                self.assertNotEqual(harness.quiet(["wine", "reg", "query", rf"{root}\Software\Zell", "/reg:64"],
                                                  card.pc.env, check=False), 0, root)
