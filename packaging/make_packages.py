#!/usr/bin/env python3
"""Builds the two packages of a built program folder: a zip of the folder as
the program expects it, and an MSI (made with wixl) that installs the same
layout under Program Files with a Start menu shortcut and upgrades in place,
keeping the OEM's settings in the text file; and SHA256SUMS of both beside
them. The MSI's custom action, VelopassSetup.dll, lies beside the program in
the folder.

    python3 packaging/make_packages.py PROGRAM-FOLDER VERSION OUTPUT-FOLDER

With VELOPASS_SIGN_PFX (a PKCS#12 file), VELOPASS_SIGN_PASSWORD and optionally
VELOPASS_SIGN_TIMESTAMP_URL set, Velopass.exe and the MSI are signed with
Authenticode (osslsigncode). The output folder then holds either this run's
complete set or, after a failure, no package of this version at all. PRODUCTCODE
beside them names the MSI's product code, which detection rules and
`msiexec /x` take.

VERSION is MAJOR.MINOR.BUILD as Windows Installer compares it: major and minor
up to 255, build up to 65535. It ignores a fourth field, so none is taken.

The OEM's settings are the rows of VELOPASS_OEM_SETTINGS (as CMake gives it),
else of resources/oem_settings.tsv.

Dates inside the packages are SOURCE_DATE_EPOCH, else the time of the
source's git commit, else the modification time of its CMakeLists.txt (which
a `git archive` export sets to the commit's time).
"""
import contextlib
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import uuid
import zipfile
from xml.sax.saxutils import quoteattr

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Fixed for every version: Windows finds the installed Velopass by it to upgrade it.
UPGRADE_CODE = "6F1A1C43-6B0C-4E55-9C54-8E3A3D7F2B10"
# Component GUIDs derive from the file's place, so they stay the same across versions.
NAMESPACE = uuid.UUID("0E8B5B36-2A7E-4B5F-8C11-5E2E0F6A9D01")
SETUP = "VelopassSetup.dll"
SETTINGS_KEY = r"Software\Zell\Velopass"


def oem_settings(path):
    """The settings an administrator gives as public properties, a dict a row; the custom action carries them through
    upgrades and repairs."""
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip() and not line.startswith("#")]
    settings = [dict(zip(rows[0], row)) for row in rows[1:]]
    for setting in settings:
        setting["list"] = setting["list"] == "yes"
        # The IniFile table writes a language list as the custom action chose it: the one given, else the package's.
        setting["written"] = "LANGUAGELIST" if setting["list"] else setting["property"]
    return settings


OEM_SETTINGS = oem_settings(os.environ.get("VELOPASS_OEM_SETTINGS") or os.path.join(SOURCE, "resources",
                                                                                     "oem_settings.tsv"))
LANGUAGE_LIST = next(setting for setting in OEM_SETTINGS if setting["list"])
# Beside the settings, the package's own language list, so that the next one knows it for no choice of the OEM's.
REMEMBERED = {**{s["property"]: s["remembered"] for s in OEM_SETTINGS}, "SHIPPEDLANG": "ShippedLang"}


def program_files(folder):
    """The files of the program, relative to its folder, in install order."""
    files = ["Velopass.exe", "Velopass.ini"]
    files += sorted(os.path.join("PIC", name) for name in os.listdir(os.path.join(folder, "PIC")))
    return files


class PackagingError(Exception):
    pass


def source_date_epoch():
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if value is not None:
        if not value.strip().isdigit():
            raise PackagingError(f"SOURCE_DATE_EPOCH is not a number of seconds: {value[:40]!r}")
        return int(value)
    # Only the source's own repository counts, not one it happens to lie in.
    git = subprocess.run(["git", "-C", SOURCE, "rev-parse", "--show-toplevel"], capture_output=True, text=True)
    if git.returncode == 0 and os.path.samefile(git.stdout.strip(), SOURCE):
        commit = subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"], capture_output=True, text=True)
        if commit.returncode == 0 and commit.stdout.strip().isdigit():
            return int(commit.stdout)
    return int(os.stat(os.path.join(SOURCE, "CMakeLists.txt")).st_mtime)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def run(args, what, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        detail = (result.stderr.strip() or result.stdout.strip()).splitlines()
        raise PackagingError(f"{what}: {detail[-1] if detail else f'{args[0]} exited {result.returncode}'}")
    return result.stdout


class Signer:
    """Authenticode signing with a PKCS#12 certificate, checked before anything is signed."""

    def __init__(self, pfx, password, timestamp_url, work):
        if not os.path.isfile(pfx) or os.path.getsize(pfx) == 0:
            raise PackagingError(f"VELOPASS_SIGN_PFX: no certificate file at {pfx}")
        self.pfx, self.timestamp_url = os.path.abspath(pfx), timestamp_url
        # The password reaches the tools through a private file and the
        # environment, never through a command line others can read.
        self.password_file = os.path.join(work, "password")
        with open(os.open(self.password_file, os.O_WRONLY | os.O_CREAT, 0o600), "w") as f:
            f.write(password)
        self.env = dict(os.environ, VELOPASS_SIGN_PASSWORD=password)
        self._check_certificate()

    def _check_certificate(self):
        opened = None
        for legacy in ([], ["-legacy"]):  # older PFX files use ciphers OpenSSL 3 calls legacy
            opened = subprocess.run(["openssl", "pkcs12", *legacy, "-in", self.pfx, "-passin", "env:VELOPASS_SIGN_PASSWORD",
                                     "-nokeys", "-clcerts"], capture_output=True, text=True, env=self.env)
            if opened.returncode == 0:
                break
        if opened.returncode != 0 or "BEGIN CERTIFICATE" not in opened.stdout:
            raise PackagingError(f"cannot open {self.pfx}: wrong password (VELOPASS_SIGN_PASSWORD) "
                                 "or not a PKCS#12 certificate with its key")
        usage = run(["openssl", "x509", "-noout", "-ext", "extendedKeyUsage"], "reading the certificate",
                    input=opened.stdout)
        # Without the extension a certificate may sign anything; with it, code signing must be named.
        if usage.strip() and "Code Signing" not in usage and "Any Extended Key Usage" not in usage:
            raise PackagingError(f"the certificate in {self.pfx} is not for code signing "
                                 "(its extended key usage lacks codeSigning)")

    def sign(self, source, target):
        args = ["osslsigncode", "sign", "-pkcs12", self.pfx, "-readpass", self.password_file,
                "-h", "sha256", "-n", "Velopass"]
        if self.timestamp_url:
            args += ["-ts", self.timestamp_url]
        run(args + ["-in", source, "-out", target], f"signing {os.path.basename(target)}")


def signer_from_environment(work):
    pfx = os.environ.get("VELOPASS_SIGN_PFX", "")
    if not pfx:
        print("Not signed: VELOPASS_SIGN_PFX is not set.")
        return None
    return Signer(pfx, os.environ.get("VELOPASS_SIGN_PASSWORD", ""),
                  os.environ.get("VELOPASS_SIGN_TIMESTAMP_URL", ""), work)


def stage(folder, files, target, epoch, signer):
    """A copy of the program folder with every file dated `epoch`, the program signed."""
    for name in files:
        dest = os.path.join(target, name)
        os.makedirs(os.path.dirname(dest), exist_ok=True)
        if name in ("Velopass.exe", SETUP) and signer:
            signer.sign(os.path.join(folder, name), dest)
        else:
            shutil.copyfile(os.path.join(folder, name), dest)
        os.utime(dest, (epoch, epoch))


def make_zip(folder, files, path, epoch):
    # Fixed order, dates and permissions: the zip's bytes follow from its files alone.
    date = max(time.gmtime(epoch), time.gmtime(315532800))[:6]  # zip dates start in 1980
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in files:
            entry = zipfile.ZipInfo(os.path.join("Velopass", name).replace(os.sep, "/"), date)
            entry.create_system = 3
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as f:
                archive.writestr(entry, f.read())


def guid(name):
    return str(uuid.uuid5(NAMESPACE, name)).upper()


def component(name, index):
    source = quoteattr(name)  # wixl takes sources relative to where it runs: the program folder
    inside = ""
    if name == "Velopass.exe":  # the shortcut goes with the program: no key path of its own, none per user
        inside = ('<Shortcut Id="VelopassShortcut" Directory="ProgramMenuFolder" Name="Velopass" '
                  'Description="This PC\'s identity card" Target="[INSTALLFOLDER]Velopass.exe" '
                  'WorkingDirectory="INSTALLFOLDER"/>')
    remembered = ""
    if name == "Velopass.ini":  # what the administrator gave, for a repair that finds the file gone
        remembered = "".join(f'<RegistryValue Root="HKLM" Key="{SETTINGS_KEY}" Name="{key}" Value="[{prop}]" '
                             f'Type="string"/>' for prop, key in REMEMBERED.items())
    return (f'<Component Id="File{index}" Guid="{guid(name.replace(os.sep, "/"))}" Win64="yes">'
            f'<File Id="File{index}" Name={quoteattr(os.path.basename(name))} Source={source} KeyPath="yes"/>'
            f'{inside}{remembered}</Component>')


def shipped_languages(folder):
    """The language list of the text file as built, which an upgrade puts in place of the old one's."""
    with open(os.path.join(folder, "Velopass.ini"), "rb") as f:
        data = f.read()
    text = data.decode("utf-16") if data.startswith(b"\xff\xfe") else data.decode("latin-1")
    section, key = map(re.escape, (LANGUAGE_LIST["section"], LANGUAGE_LIST["key"]))
    found = re.search(rf"^\[{section}\][^[]*?^\s*{key}\s*=([^\r\n]*)", text, re.M | re.I)
    return found.group(1).strip() if found else ""


def wxs(files, version, product_code, languages):
    top = [component(n, i) for i, n in enumerate(files) if os.sep not in n]
    pictures = [component(n, i) for i, n in enumerate(files) if n.startswith("PIC" + os.sep)]
    refs = "".join(f'<ComponentRef Id="File{i}"/>' for i in range(len(files)))
    searches = "".join(f'<Property Id="REMEMBERED{prop}"><RegistrySearch Id="Remembered{key}" Root="HKLM" '
                       f'Key="{SETTINGS_KEY}" Name="{key}" Type="raw" Win64="yes"/></Property>'
                       for prop, key in REMEMBERED.items())
    return f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{product_code}" Name="Velopass" Language="1033" Version="{version}" Manufacturer="Zell"
           UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description="Velopass {version}" Manufacturer="Zell"/>
    <Media Id="1" Cabinet="velopass.cab" EmbedCab="yes"/>
    <MajorUpgrade DowngradeErrorMessage="A newer Velopass is already installed."/>
    <Condition Message="Velopass needs 64-bit Windows 7 with Service Pack 1, or a later 64-bit Windows."
      >Installed OR VersionNT64 &gt; 601 OR (VersionNT64 = 601 AND ServicePackLevel &gt;= 1)</Condition>
    <Icon Id="velopass.ico" SourceFile="PIC{os.sep}velopass.ico"/>
    <Property Id="ARPPRODUCTICON" Value="velopass.ico"/>
    <Property Id="ARPNOMODIFY" Value="1"/>
    {f'<Property Id="SHIPPEDLANG" Value={quoteattr(languages)}/>' if languages else ""}
    {searches}
    <Binary Id="Setup" SourceFile="{SETUP}"/>
    <CustomAction Id="CarrySettings" BinaryKey="Setup" DllEntry="CarrySettings" Execute="immediate" Return="check"/>
    <InstallExecuteSequence>
      <!-- after CostFinalize, which resolves INSTALLFOLDER; before anything is removed -->
      <Custom Action="CarrySettings" Sequence="1001">NOT (REMOVE~="ALL")</Custom>
    </InstallExecuteSequence>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="INSTALLFOLDER" Name="Velopass">
          {''.join(top)}
          <Directory Id="PictureFolder" Name="PIC">{''.join(pictures)}</Directory>
        </Directory>
      </Directory>
      <Directory Id="ProgramMenuFolder"/>
    </Directory>
    <Feature Id="Velopass" Title="Velopass" Level="1">{refs}</Feature>
  </Product>
</Wix>
"""


def short_names(files):
    """An 8.3 name for each long file name, unique in its folder: NAME~N.EXT."""
    taken, names = set(), {}
    for name in files:
        base, ext = os.path.splitext(os.path.basename(name))
        if re.fullmatch(r"[A-Za-z0-9_\-]{1,8}(\.[A-Za-z0-9_\-]{1,3})?", base + ext):
            continue
        stem = re.sub(r"[^A-Za-z0-9_\-]", "", base).upper()[:6] or "FILE"
        short = lambda n: f"{stem}~{n}{ext[:4].upper()}"  # noqa: E731
        n = 1
        while (os.path.dirname(name), short(n)) in taken:
            n += 1
        taken.add((os.path.dirname(name), short(n)))
        names[name] = short(n)
    return names


def file_version(path):
    """The file version and language of a program's VERSIONINFO, as Windows Installer compares them."""
    with open(path, "rb") as f:
        data = f.read()
    fixed = data.find(struct.pack("<I", 0xFEEF04BD))
    key = "Translation".encode("utf-16-le") + b"\0\0"
    translation = data.find(key)
    if fixed < 0 or translation < 0:
        raise PackagingError(f"{os.path.basename(path)} has no version information")
    ms, ls = struct.unpack_from("<II", data, fixed + 8)
    value = translation + len(key) + (-(translation + len(key)) % 4)  # the value starts on 32 bits
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}", str(struct.unpack_from("<H", data, value)[0])


def table_rules(path, files, folder, version):
    """What wixl leaves out: the program's version (so it is compared by version, not by hash), short
    names, the IniFile rows that write the settings, and same-version upgrades."""
    program_version, language = file_version(os.path.join(folder, "Velopass.exe"))
    program = f"File{files.index('Velopass.exe')}"
    queries = [f"UPDATE `File` SET `Version` = '{program_version}', `Language` = '{language}' WHERE `File` = '{program}'",
               f"DELETE FROM `MsiFileHash` WHERE `File_` = '{program}'"]
    queries += [f"UPDATE `File` SET `FileName` = '{short}|{os.path.basename(name)}' WHERE `File` = 'File{files.index(name)}'"
                for name, short in short_names(files).items()]
    queries.append("CREATE TABLE `IniFile` (`IniFile` CHAR(72) NOT NULL, `FileName` CHAR(255) NOT NULL LOCALIZABLE, "
                   "`DirProperty` CHAR(72), `Section` CHAR(96) NOT NULL LOCALIZABLE, `Key` CHAR(128) NOT NULL "
                   "LOCALIZABLE, `Value` CHAR(255) NOT NULL LOCALIZABLE, `Action` INT NOT NULL, `Component_` "
                   "CHAR(72) NOT NULL PRIMARY KEY `IniFile`)")
    text_file = f"File{files.index('Velopass.ini')}"
    queries += [f"INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, "
                f"`Component_`) VALUES ('{s['key']}', 'Velopass.ini', 'INSTALLFOLDER', '{s['section']}', '{s['key']}', "
                f"'[{s['written']}]', 0, '{text_file}')" for s in OEM_SETTINGS]
    queries += [f"INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('{action}', {sequence})"
                for action, sequence in (("RemoveIniValues", 3100), ("WriteIniValues", 5100))]
    # Public properties an administrator gives reach the installation's server side.
    secure = [s["property"] for s in OEM_SETTINGS] + ["INSTALLFOLDER", "WIX_DOWNGRADE_DETECTED", "WIX_UPGRADE_DETECTED"]
    queries.append(f"UPDATE `Property` SET `Value` = '{';'.join(secure)}' WHERE `Property` = 'SecureCustomProperties'")
    # Yet only an administrator (or the system account) changes them on an installed PC: a repair or reinstall
    # runs elevated for any user, and that run keeps the installed settings instead of the ones given
    # (AdminUser as the user really is, not as elevated).
    queries.append("INSERT INTO `Property` (`Property`, `Value`) VALUES ('MSIUSEREALADMINDETECTION', '1')")
    # The folder an installed copy lies in, of any version (the program's component is the same in each), stays
    # the folder: for an upgrade unless another is given, for a repair always; the Apps entry names it.
    queries += ["CREATE TABLE `CompLocator` (`Signature_` CHAR(72) NOT NULL, `ComponentId` CHAR(38) NOT NULL, "
                "`Type` SHORT PRIMARY KEY `Signature_`)",
                f"INSERT INTO `CompLocator` (`Signature_`, `ComponentId`, `Type`) VALUES ('InstalledProgram', "
                f"'{{{guid('Velopass.exe')}}}', 1)",
                "INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('INSTALLEDFOLDER', 'InstalledProgram')"]
    for action, target, source, condition, sequence, tables in (
            ("KeepInstalledFolder", "INSTALLFOLDER", "[INSTALLEDFOLDER]", "INSTALLEDFOLDER AND (Installed OR NOT "
             "INSTALLFOLDER)", 990, ("InstallExecuteSequence", "InstallUISequence")),
            ("IgnoreGivenSettings", "IgnoreGivenSettings", "1", "Installed AND NOT AdminUser", 995,
             ("InstallExecuteSequence",)),
            ("SetInstallLocation", "ARPINSTALLLOCATION", "[INSTALLFOLDER]", "", 1002, ("InstallExecuteSequence",))):
        queries.append(f"INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('{action}', 51, "
                       f"'{target}', '{source}')")
        queries += [f"INSERT INTO `{table}` (`Action`, `Condition`, `Sequence`) VALUES ('{action}', '{condition}', "
                    f"{sequence})" for table in tables]
    # The old version goes inside the installation's transaction, first, so that the new text file is a fresh
    # one (the settings carried already) and whatever fails later rolls its removal back.
    queries.append("UPDATE `InstallExecuteSequence` SET `Sequence` = 1501 WHERE `Action` = 'RemoveExistingProducts'")
    # Another build of the same version has another product code; it must
    # replace the installed one, not sit beside it (WiX's
    # AllowSameVersionUpgrades, which wixl lacks): the upgrade's maximum
    # version becomes inclusive (msidbUpgradeAttributesVersionMaxInclusive, with the
    # features migrated as wixl had them).
    queries += ["DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'",
                "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) "
                f"VALUES ('{{{UPGRADE_CODE}}}', '{version}', 513, 'WIX_UPGRADE_DETECTED')"]
    run(["msibuild", path] + [arg for query in queries for arg in ("-q", query)], "completing the MSI's tables")


def summary_offsets(data):
    """The file offset of each byte of an MSI's summary information stream
    (a compound file: a FAT of sectors, small streams in a mini stream)."""
    u32 = lambda offset: struct.unpack_from("<I", data, offset)[0]
    size = 1 << struct.unpack_from("<H", data, 30)[0]
    mini = 1 << struct.unpack_from("<H", data, 32)[0]
    if u32(44) > 109:
        raise PackagingError("the MSI is too large for its summary to be dated")
    fat = []
    for index in struct.unpack_from(f"<{u32(44)}I", data, 76):
        fat += struct.unpack_from(f"<{size // 4}I", data, size * (index + 1))

    def chain(start, table):
        while start < 0xFFFFFFFA:
            yield start
            start = table[start]

    def offsets(start, unit, length, table, place):
        return [place(sector) + i for sector in chain(start, table) for i in range(unit)][:length]

    directory = b"".join(data[size * (s + 1):size * (s + 2)] for s in chain(u32(48), fat))
    entries = [directory[i:i + 128] for i in range(0, len(directory), 128)]
    name = "\x05SummaryInformation".encode("utf-16-le") + b"\0\0"
    entry = next(e for e in entries if e[:struct.unpack_from("<H", e, 64)[0]] == name)
    start, length = struct.unpack_from("<I", entry, 116)[0], struct.unpack_from("<I", entry, 120)[0]
    if length >= u32(56):
        return offsets(start, size, length, fat, lambda s: size * (s + 1))
    root = entries[0]
    stream = offsets(struct.unpack_from("<I", root, 116)[0], size, struct.unpack_from("<I", root, 120)[0],
                     fat, lambda s: size * (s + 1))
    minifat = []
    for s in chain(u32(60), fat):
        minifat += struct.unpack_from(f"<{size // 4}I", data, size * (s + 1))
    return offsets(start, mini, length, minifat, lambda s: stream[s * mini])


def settle_summary(path, package_code, epoch):
    """Gives the MSI the package code and dates of its content: wixl takes a
    random package code and the clock. Values change in place, same sizes."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    where = summary_offsets(data)
    stream = bytes(data[i] for i in where)
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    filetime = struct.pack("<Q", (epoch + 11644473600) * 10_000_000)
    code = ("{" + package_code + "}").encode("ascii")
    for pid, offset in struct.iter_unpack("<II", stream[section + 8:section + 8 + 8 * count]):
        value = section + offset
        kind = struct.unpack_from("<I", stream, value)[0]
        if pid in (12, 13) and kind == 0x40:  # created, last saved: FILETIME
            new, at = filetime, value + 4
        elif pid == 9 and kind == 0x1E and struct.unpack_from("<I", stream, value + 4)[0] == len(code) + 1:
            new, at = code, value + 8  # the revision number: the package code
        else:
            continue
        for i, byte in enumerate(new):
            data[where[at + i]] = byte
    with open(path, "wb") as f:
        f.write(data)


def make_msi(folder, files, version, path, program_hash, epoch):
    """Makes the MSI; returns its product code."""
    # A major upgrade needs a new product code for each build; deriving it
    # from the version and the unsigned program keeps it the same for every
    # rebuild of one release. The package code names these exact bytes.
    product_code = guid(f"product {version} {program_hash}")
    description = wxs(files, version, product_code, shipped_languages(folder))
    content = hashlib.sha256(description.encode())
    for name in files + [SETUP]:
        content.update(sha256(os.path.join(folder, name)).encode())
    package_code = guid(f"package {content.hexdigest()}")
    source = os.path.join(os.path.dirname(path), "Velopass.wxs")
    with open(source, "w", encoding="utf-8") as f:
        f.write(description)
    run(["wixl", "--arch", "x64", "-o", os.path.abspath(path), source], "wixl", cwd=folder)
    os.remove(source)
    table_rules(path, files, folder, version)
    settle_summary(path, package_code, epoch)
    return product_code


def build(folder, version, out, work):
    missing = [name for name in ("Velopass.exe", "Velopass.ini", "PIC", SETUP) if not os.path.exists(os.path.join(folder, name))]
    if missing:
        raise PackagingError(f"{folder} lacks {', '.join(missing)}: build the program first")
    files = program_files(folder)
    epoch = source_date_epoch()
    signer = signer_from_environment(work)
    staged, made = os.path.join(work, "Velopass"), os.path.join(work, "out")
    os.makedirs(made)
    stage(folder, files + [SETUP], staged, epoch, signer)
    names = [f"Velopass-{version}.zip", f"Velopass-{version}.msi"]
    make_zip(staged, files, os.path.join(made, names[0]), epoch)
    msi = os.path.join(made, names[1])
    built = msi + ".unsigned" if signer else msi
    product_code = make_msi(staged, files, version, built, sha256(os.path.join(folder, "Velopass.exe")), epoch)
    if signer:
        signer.sign(built, msi)
        os.remove(built)
    with open(os.path.join(made, "PRODUCTCODE"), "w") as f:
        f.write(f"{{{product_code}}}  {names[1]}\n")
    with open(os.path.join(made, "SHA256SUMS"), "w") as f:
        f.writelines(f"{sha256(os.path.join(made, name))}  {name}\n" for name in names)
    # Checksums last: they only ever stand beside the packages they name.
    for name in names + ["PRODUCTCODE", "SHA256SUMS"]:
        os.replace(os.path.join(made, name), os.path.join(out, name))
    return names


def check_version(version):
    fields, most = version.split("."), (255, 255, 65535)
    if not (2 <= len(fields) <= 3 and all(n.isdigit() and int(n) <= m for n, m in zip(fields, most))):
        raise PackagingError(f"not a version Windows Installer compares whole: {version}: give MAJOR.MINOR.BUILD, "
                             "major and minor up to 255, build up to 65535 (a fourth field would be ignored)")


def main(folder, version, out):
    if not re.fullmatch(r"[\d.]{1,40}", version):
        raise PackagingError(f"not a version: {version[:40]!r}")
    out = os.path.abspath(out)
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp(prefix=".packaging-", dir=out)  # beside the output, so the results move there whole
    try:
        check_version(version)
        names = build(folder, version, out, work)
    except BaseException:
        # Nothing of this version may look released: not an older run's
        # packages, nor the lists naming them (those of other versions stay).
        ours = (f"Velopass-{version}.zip", f"Velopass-{version}.msi")
        for listing in ("SHA256SUMS", "PRODUCTCODE"):
            with contextlib.suppress(FileNotFoundError), open(os.path.join(out, listing), errors="replace") as f:
                if any(line.rstrip("\n").endswith(ours) for line in f):
                    os.remove(f.name)
        for name in ours:
            if os.path.exists(os.path.join(out, name)):
                os.remove(os.path.join(out, name))
        raise
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"Packages in {out}: {', '.join(names)}, PRODUCTCODE, SHA256SUMS")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    try:
        main(*sys.argv[1:])
    except (PackagingError, OSError) as error:
        sys.exit(f"Packaging stopped, no packages made: {error}")
