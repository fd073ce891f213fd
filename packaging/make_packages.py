#!/usr/bin/env python3
"""Builds the two packages of a built program folder: a zip of the folder as
the program expects it, and an MSI (made with wixl) that installs the same
layout under Program Files with a Start menu shortcut and upgrades in place.

    python3 packaging/make_packages.py PROGRAM-FOLDER VERSION OUTPUT-FOLDER
"""
import os
import subprocess
import sys
import tempfile
import uuid
import zipfile
from xml.sax.saxutils import quoteattr

# Fixed for every version: Windows finds the installed Velopass by it to upgrade it.
UPGRADE_CODE = "6F1A1C43-6B0C-4E55-9C54-8E3A3D7F2B10"
# Component GUIDs derive from the file's place, so they stay the same across versions.
NAMESPACE = uuid.UUID("0E8B5B36-2A7E-4B5F-8C11-5E2E0F6A9D01")


def program_files(folder):
    """The files of the program, relative to its folder, in install order."""
    files = ["Velopass.exe", "Velopass.ini"]
    files += sorted(os.path.join("PIC", name) for name in os.listdir(os.path.join(folder, "PIC")))
    return files


def make_zip(folder, files, path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in files:
            archive.write(os.path.join(folder, name), os.path.join("Velopass", name).replace(os.sep, "/"))


def component(name, index):
    guid = str(uuid.uuid5(NAMESPACE, name.replace(os.sep, "/"))).upper()
    source = quoteattr(name)  # wixl takes sources relative to where it runs: the program folder
    return (f'<Component Id="File{index}" Guid="{guid}" Win64="yes">'
            f'<File Id="File{index}" Name={quoteattr(os.path.basename(name))} Source={source} KeyPath="yes"/>'
            f'</Component>')


def wxs(folder, files, version):
    top = [component(n, i) for i, n in enumerate(files) if os.sep not in n]
    pictures = [component(n, i) for i, n in enumerate(files) if n.startswith("PIC" + os.sep)]
    refs = "".join(f'<ComponentRef Id="File{i}"/>' for i in range(len(files)))
    return f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Velopass" Language="1033" Version="{version}" Manufacturer="Zell"
           UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description="Velopass {version}" Manufacturer="Zell"/>
    <Media Id="1" Cabinet="velopass.cab" EmbedCab="yes"/>
    <MajorUpgrade DowngradeErrorMessage="A newer Velopass is already installed."/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="INSTALLFOLDER" Name="Velopass">
          {''.join(top)}
          <Directory Id="PictureFolder" Name="PIC">{''.join(pictures)}</Directory>
        </Directory>
      </Directory>
      <Directory Id="ProgramMenuFolder">
        <Component Id="StartMenuShortcut" Guid="{str(uuid.uuid5(NAMESPACE, "shortcut")).upper()}" Win64="yes">
          <Shortcut Id="VelopassShortcut" Name="Velopass" Description="This PC's identity card"
                    Target="[INSTALLFOLDER]Velopass.exe" WorkingDirectory="INSTALLFOLDER"/>
          <RegistryValue Root="HKCU" Key="Software\\Zell\\Velopass" Name="StartMenuShortcut" Type="integer"
                         Value="1" KeyPath="yes"/>
        </Component>
      </Directory>
    </Directory>
    <Feature Id="Velopass" Title="Velopass" Level="1">{refs}<ComponentRef Id="StartMenuShortcut"/></Feature>
  </Product>
</Wix>
"""


def make_msi(folder, files, version, path):
    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "Velopass.wxs")
        with open(source, "w", encoding="utf-8") as f:
            f.write(wxs(folder, files, version))
        subprocess.run(["wixl", "--arch", "x64", "-o", os.path.abspath(path), source], check=True, cwd=folder)


def main(folder, version, out):
    os.makedirs(out, exist_ok=True)
    files = program_files(folder)
    make_zip(folder, files, os.path.join(out, f"Velopass-{version}.zip"))
    make_msi(folder, files, version, os.path.join(out, f"Velopass-{version}.msi"))
    print(f"Packages in {out}: Velopass-{version}.zip, Velopass-{version}.msi")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
