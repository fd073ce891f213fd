"""The card as downloaded: the DLLs it lets in, copying (Ctrl+C, the window menu), the names screen readers hear."""
import os
import re
import shutil
import unittest
from pathlib import Path

import harness
from harness import CARD_DIR, DATA_FILE, SHIPPED, Card, Machine, Printer, ini_bytes, program, wait_until

# The usual names of DLLs planted beside a downloaded program, and every DLL Wine's loader (WINEDEBUG=+loaddll) shows
# the card loading as it starts, names a value for a screen reader, opens the Print dialog and switches language, but
# for Windows' KnownDLLs, never looked for beside a program, WMI's provider, which COM loads by its full path (and Wine
# cannot run once told to prefer native), and Wine's own display and printer drivers, which exist on no Windows.
PLANTED = ["version.dll", "winspool.drv", "uxtheme.dll", "dwmapi.dll", "cryptbase.dll", "propsys.dll", "userenv.dll",
           "setupapi.dll", "apphelp.dll", "clbcatq.dll", "msimg32.dll", "usp10.dll", "gdiplus.dll", "oleacc.dll",
           "comctl32.dll", "compstui.dll", "dnsapi.dll", "dxgi.dll", "iphlpapi.dll", "localspl.dll", "opengl32.dll",
           "spoolss.dll", "ucrtbase.dll", "win32u.dll", "wined3d.dll", "windowscodecs.dll", "zlib1.dll"]
PRINT, DATE, CLOSE = program.IDC_PRINT, program.IDC_DATE_OF_PURCHASE, program.IDC_CLOSE
ENGLISH = ["Product name", "Serial number", "SNID", "Part number", "Date of purchase", "FUB", "DLR"]
GERMAN = ["Produktname", "Seriennummer", "SNID", "Teilenummer", "Kaufdatum", "FUB", "DLR"]
MENU_COPY = ["alt+space", "end", "up", "enter"]  # the window menu's Copy, just above its language entry
VERSION = re.search(r"project\(Velopass VERSION ([\d.]+)", Path(harness.ROOT, "CMakeLists.txt").read_text())[1] + ".0"


def unrestricted(card, function=b"SetDefaultDllDirectories"):
    """A copy of the card beside it that cannot find a function it imports: by default the search restriction, as
    on Windows 7 without the update that brings it."""
    program = Path(card.pc.path(CARD_DIR), "Velopass.exe").read_bytes()
    Path(card.pc.path(CARD_DIR), "Velopass7.exe").write_bytes(program.replace(function, function[:-1] + b"z"))
    return rf"{CARD_DIR}\Velopass7.exe"


class DownloadedCard(unittest.TestCase):
    def test_planted_dlls_never_run_while_a_screen_reader_ctrl_c_and_the_menu_are_used(self):
        # Windows looks beside the program first for a DLL that is no KnownDLL; Wine does so for those it is told
        # to prefer native. Each planted DLL writes "<name>.ran" beside itself when it is loaded.
        planted = Path(harness.BIN_DIR, "vpplanted.dll").read_bytes()
        overrides = ",".join(name.removesuffix(".dll") for name in PLANTED) + "=n,b"
        native_first = {"WINEDLLOVERRIDES": f"{harness.BASE_ENV['WINEDLLOVERRIDES']};{overrides}"}
        for unrestricted_copy in (False, True):
            with self.subTest(unrestricted=unrestricted_copy), Printer() as printer, \
                    Card(self, Machine(environment={**printer.env, **native_first}), SHIPPED,
                         {rf"{CARD_DIR}\{name}": planted for name in PLANTED}) as card:
                ran = lambda: [n.lower() for n in os.listdir(card.pc.path(CARD_DIR)) if n.endswith(".ran")]  # noqa:E731
                process = card.start(exe=unrestricted(card) if unrestricted_copy else rf"{CARD_DIR}\Velopass.exe")
                card.dump(accessible=True)  # a screen reader's first ask (the names it hears are reviewed elsewhere)
                card.press(0, "alt+p")  # Print's access key
                self.assertIsNotNone(card.inspect("dialog", 2, 30000), "no Print dialog")
                card.type(DATE, "2026-03-01")  # the values as shown (the DLL overrides leave Wine's WMI empty)
                self.assertTrue(wait_until(lambda: card.texts()[DATE] == "2026-03-01"))
                english, german = ("".join(map("{}: {}\r\n".format, labels, card.texts().values()))
                                   for labels in (ENGLISH, GERMAN))
                # (focus, keys (Home: nothing selected; a selection: test_machine.py), German first, what is copied)
                for focus, keys, switch, copied in ((PRINT, ["ctrl+c"], False, english), (0, MENU_COPY, False, english),
                                                    (DATE, ["home", "ctrl+c"], True, german),
                                                    (CLOSE, ["ctrl+c"], False, german), (0, MENU_COPY, False, german)):
                    if switch:
                        card.choose_language(1)
                        wait_until(lambda: card.texts()[PRINT] == "&Drucken")
                    card.inspect("clipboard", "empty")
                    card.press(focus, *keys)
                    wait_until(lambda: card.inspect("clipboard") == copied)
                    self.assertEqual(card.inspect("clipboard"), copied)
                self.assertEqual(process.close(), 0)
                self.assertEqual(ran(), [])
                # What Explorer shows of the program: every number and text of its version, in US English, Unicode.
                self.assertEqual(card.inspect("version", rf"{CARD_DIR}\Velopass.exe"), {  # as Explorer shows it
                    "": f"1, {VERSION}, {VERSION}, 040904b0", "CompanyName": "Zell", "FileVersion": VERSION,
                    "FileDescription": "Velopass: this PC's identity card", "InternalName": "Velopass",
                    "LegalCopyright": "Copyright (C) 2026 Zell", "OriginalFilename": "Velopass.exe",
                    "ProductName": "Velopass", "ProductVersion": VERSION})  # an application, US English, Unicode
                # A program beside them that takes its DLLs from the usual search runs them (vpprobe: user32's own).
                shutil.copy(harness.INSPECT, card.pc.path(CARD_DIR))
                harness.quiet(["wine", rf"{CARD_DIR}\vpprobe.exe"], dict(card.pc.env, **native_first), check=False)
                self.assertNotEqual(ran(), [], "the planted DLLs were never in reach")

    def test_a_system_dll_or_function_that_cannot_be_had_ends_the_card_with_a_message_and_the_date_saved(self):
        # As an application control rule would have it: the Print dialog's DLL (loaded at the first Print) cannot
        # be had from System32 (Wine: native only), and one of its name lies beside a program without the search
        # restriction. The card neither crashes nor searches for it by name. Then the DLL without the function.
        native_only = {"WINEDLLOVERRIDES": f"{harness.BASE_ENV['WINEDLLOVERRIDES']};comdlg32=n"}
        planted = {rf"{CARD_DIR}\comdlg32.dll": Path(harness.BIN_DIR, "vpplanted.dll").read_bytes()}
        # The box: MB_OK | MB_ICONERROR | MB_TASKMODAL, read from right to left in Arabic.
        for environment, files, function, exit_code, locale, box in (
                (native_only, planted, b"SetDefaultDllDirectories", 126, "en_US.UTF-8", 0x2010),
                ({}, {}, b"PrintDlgW", 127, "ar_EG.UTF-8", 0x182010)):  # ERROR_PROC_NOT_FOUND
            with self.subTest(exit_code), Card(self, Machine(environment=environment, locale=locale), SHIPPED,
                                               files) as card:
                process = card.start(exe=unrestricted(card, function))
                card.type(DATE, "2026-05-05")
                with card.beside("watch", 1) as shown:  # OK
                    card.inspect("click", PRINT)
                    self.assertEqual(process.wait(60), exit_code, "not ended as ERROR_MOD_NOT_FOUND or _PROC_")
                self.assertEqual(shown, [["Velopass", box]], "no message over the card")
                self.assertEqual(card.pc.read(DATA_FILE), ini_bytes({"data": {"DOP": "2026-05-05"}}))
                self.assertFalse(os.path.exists(card.pc.path(rf"{CARD_DIR}\comdlg32.dll.ran")), "searched for by name")

