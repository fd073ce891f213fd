"""The machine's values on the card, and saving the date of purchase."""
import os
import shutil
import unittest

from harness import (CARD_DIR, DATA_FILE, DATA_ON_C, SHIPPED, ZELL, Card, Link, Machine, ini_bytes as ini, pictures,
                     program, quiet, wait_until)

DATE, FUB, DLR, PRINT = program.IDC_DATE_OF_PURCHASE, program.IDC_FUB, program.IDC_DLR, program.IDC_PRINT
REG_TEXT = {"common": {"RegIniFile": r"%SystemDrive%\OEM\%brand%reg.ini"}}  # the date when the data file has none
REG_FILE = {r"c:\OEM\reg.ini": ini({"DATA": {"DOP": "2025-01-31"}})}
# FUB and DLR in a folder named by a variable, then the brand: a brand shorter than its token would skip later tokens.
BRANDED_FUB = {"common": {"FUBIniFile": r"c:\OEM\%FUBDIR%\%brand%\FUB.ini"}}


# The icon file, a garbled one (the program's own icon serves) or another one (red for blue): the icon the window has.
ICON, SHIPPED_ICON = CARD_DIR + r"\PIC\velopass.ico", b"".join(pictures.icon_image(32))
RED = (lambda picture: picture.replace(b"\xb0\x5a\x1e\xff", b"\x1e\x5a\xb0\xff"))  # noqa: E731


class SystemValues(unittest.TestCase):
    def test_the_brand_names_the_fub_folder_and_the_window_its_icon(self):
        fub = {rf"c:\OEM\service-data\{brand}\FUB.ini": ini({"FUB": {"FUB": f"FUB-{brand}", "DLR": f"DLR-{brand}"}})
               for brand in ("Zell", "Marwick")} | {r"c:\OEM\service-data\FUB.ini": ini({"FUB": {"DLR": "DLR-"}})}
        for brand, vendor, folder, icon in (("MARWICK", "Zell Computers", "Marwick", {}),
                                            (1, "Zell Computers", "Zell", {ICON: RED(pictures.icon())}),
                                            ({}, "Unknown Works", "", {ICON: b"\0" * 766})):  # {}: the key alone
            machine = Machine(dmi=dict(ZELL, sys_vendor=vendor), brand=brand, environment={"FUBDIR": "service-data"},
                              wmi_delay=300 if brand == 1 else None)  # the brand waits for a slow WMI's vendor
            with self.subTest(brand=brand, vendor=vendor), Card(self, machine, BRANDED_FUB, fub | icon) as card:
                card.start()
                # Alt+Tab's and the taskbar's icon, the file's 32-pixel image; no small one of its own (the caption
                # shrinks the big one, as the reviewed pictures show), none of the class
                card.inspect("hooked", 0x8002, 0, 0)  # WM_APP + 2: written by the card's thread
                icons = [card.pc.read(rf"c:\OEM\icon{i}.bgra") for i in range(5)]
                self.assertEqual([icon and icon[:8] for icon in icons], [bytes([32, 0, 0, 0] * 2), None,
                                                                         bytes([16, 0, 0, 0] * 2), None, None])
                self.assertEqual(icons[0][8:], RED(SHIPPED_ICON) if brand == 1 else SHIPPED_ICON)
                # WMI's own values are in the reviewed states (test_presentation.py).
                self.assertEqual([card.texts()[i] for i in (FUB, DLR)], [folder and f"FUB-{folder}", f"DLR-{folder}"])
                card.inspect("clipboard", "empty")
                card.press(PRINT, "ctrl+alt+c")  # AltGr+C, a letter on some keyboards, copies nothing
                card.press(FUB, "home", "c")  # nor C alone (in a value: on a button it is Close's access key)
                card.inspect("press", PRINT, "hold", "17+67")  # nor Ctrl+C while another program holds the clipboard
                self.assertIsNone(card.inspect("clipboard"))
                card.press(DLR, "home", *["shift+right"] * 4, "ctrl+c")  # a selection in a value is the value's own
                self.assertTrue(wait_until(lambda: card.inspect("clipboard") == "DLR-"))


ORIGINAL, CJK_DATE, OLD = ini({"data": {"DOP": "2024-02-29"}}), "二〇二六年三月一日", b"[data]\r\nDOP=old\r\n"
CJK_SAVED = ini({"data": {"DOP": CJK_DATE}})
IDCANCEL, IDRETRY = 2, 4  # a message box's buttons
RETRY_WARNING, RIGHT_TO_LEFT = 0x35, 0x180000  # its types: MB_RETRYCANCEL | MB_ICONWARNING, MB_RTLREADING | MB_RIGHT
# (how the card is closed, files, what becomes immutable, what is typed, the data file's bytes then or what stands at
#  its folder, whether c:\OEM and c:\OEM\Velopass are hidden (each level the card makes is), the reviewed question
#  about a date that could not be saved, answered with Cancel)
SAVING = [
    *((how, {DATA_FILE: ini({"data": {"DOP": "old"}})}, (), f"2026-03-01 {how}",  # twelve characters
       ini({"data": {"DOP": f"2026-03-01 {how[0]}"}}), (False, False), None)
      for how in ("button", "alt-f4", "system-menu", "end-task", "end-session", "installer")),
    ("button", {}, (), CJK_DATE, CJK_SAVED, (True, True), None),  # made level by level, Unicode
    ("button", {r"c:\OEM\Velopass\keep.txt": b"x"}, (), CJK_DATE, CJK_SAVED, (False, False), None),  # Unicode too
    ("button", {DATA_FILE: OLD}, (), CJK_DATE, CJK_SAVED, (False, False), None),  # ANSI cannot hold it: now UTF-16
    ("button", {DATA_FILE: ORIGINAL}, (r"c:\OEM\Velopass", DATA_FILE), CJK_DATE, ORIGINAL, (False, False),
     "save-failed-denied"),
    ("installer", {DATA_FILE: ORIGINAL}, (DATA_FILE,), CJK_DATE, ORIGINAL, (False, False), "save-failed-denied"),
    ("end-task", {DATA_FILE: ORIGINAL}, (DATA_FILE,), CJK_DATE, ORIGINAL, (False, False), None),  # nobody asked
    ("button", {r"c:\OEM\Velopass": b"not a folder"}, (), CJK_DATE, None, (False, False), "save-failed-folder"),
    ("button", {r"c:\OEM": b"not a folder"}, (), CJK_DATE, None, (False, True), "save-failed-folder"),  # attributes -1
    # a link made by whoever made the folder: neither read, written nor hidden through
    ("button", {r"c:\elsewhere\VLP.dat": ORIGINAL, r"c:\OEM\Velopass": Link(r"c:\elsewhere")}, (), CJK_DATE,
     ORIGINAL, (False, False), "save-failed-folder"),
    ("button", {**REG_FILE, DATA_FILE: ORIGINAL}, (), "", ini({"data": {"DOP": ""}}), (False, False), None)]  # cleared


class DateOfPurchase(unittest.TestCase):
    rows = SAVING[:6]  # every way of closing; the other rows run in a class of their own, beside this one

    def test_every_way_of_closing_saves_the_typed_date_into_whatever_folder_there_is(self):
        for how, files, frozen, typed, saved, hidden, told in self.rows:
            with self.subTest(how=how, files=list(files), frozen=bool(frozen)), \
                    Card(self, Machine(dmi={}), REG_TEXT, files) as card:
                if frozen and quiet(["chattr", "+i", *map(card.pc.path, frozen)], os.environ, check=False) != 0:
                    self.skipTest("this file system cannot make files immutable")
                before = card.pc.snapshot()
                process = card.start()
                # the data file's date before the text file's; none without a data file of the card's own
                shown = {ORIGINAL: "2024-02-29", None: ""}.get(files.get(DATA_FILE), "old")
                self.assertEqual(card.texts()[DATE], shown)
                # The keyboard's way to the date: Shift+Tab from Print passes DLR and FUB, and selects the date.
                # Escape (on Print) and Enter and Escape (in the date) close nothing: the typing below finds the card.
                card.press(0, "escape", *["shift+tab"] * 3, "enter", "escape", "delete")
                card.type(0, typed)
                if told:  # Cancel, or an installer closes the card meanwhile, unasked
                    card.press(program.IDC_CLOSE, "space")
                    card.answer(told, IDCANCEL if how == "button" else None)
                exit_code = process.wait(60) if told and how == "button" else process.close(how)
                if how != "end-session":  # which Wine ends its own way
                    self.assertEqual(exit_code, 0)
                self.assertEqual(card.pc.read(DATA_FILE), saved)
                self.assertEqual(tuple(bool(card.inspect("attributes", folder) & 0x2)  # FILE_ATTRIBUTE_HIDDEN
                                       for folder in (r"c:\OEM", r"c:\OEM\Velopass")), hidden)
                written = {path for path, stamp in card.pc.snapshot().items() if before.get(path) != stamp}
                self.assertLessEqual(written, {DATA_ON_C})
                if not files or not typed:  # the next start shows the date as typed; cleared, the fallback's
                    card.start()
                    self.assertEqual(card.texts()[DATE], typed or "2025-01-31")


class DataFolder(DateOfPurchase):
    rows = SAVING[6:]


OEMS = ini({"data": {"DOP": "old"}, "oem": {"Note": "the OEM's own"}})  # a section the card must keep
NEW_DATA = DATA_FILE + program.kNewDataFileSuffix  # the next data file while it is written


def with_oems(date):
    return ini({"data": {"DOP": date}, "oem": {"Note": "the OEM's own"}})


class SavingSafely(unittest.TestCase):
    def test_a_kill_mid_save_leaves_the_old_file_whole_and_a_date_tabbed_from_outlives_a_kill(self):
        if not shutil.which("strace"):
            self.skipTest("no strace: scripts/install-deps.sh --tests")
        with Card(self, Machine(dmi={}), None, {DATA_FILE: OEMS}) as card:
            # Killed at its first write to either file, the card's or the Wine server's on its behalf.
            paths = [arg for name in (DATA_FILE, NEW_DATA) for arg in ("-P", card.pc.path(name))]
            process = card.start(under=["strace", "-f", "-o", "/dev/null", *paths,
                                        "-e", "inject=write,pwrite64,writev:signal=KILL:when=1"])
            card.type(DATE, "2026-03-01")
            card.press(0, "alt+f4")  # from the date, which is saved at Close
            self.assertNotEqual(process.wait(60), 0)
            self.assertEqual((card.pc.read(DATA_FILE), card.pc.read(NEW_DATA)), (OEMS, b""))
            process = card.start()
            card.type(DATE, "2026-04-01")
            card.press(0, "tab")  # kept at once
            self.assertTrue(wait_until(lambda: card.pc.read(DATA_FILE) == with_oems("2026-04-01")))
            quiet(["wine", "taskkill", "/f", "/im", "Velopass.exe"], card.pc.env)
            process.wait(60)
            self.assertEqual(card.pc.read(DATA_FILE), with_oems("2026-04-01"))
            self.assertIsNone(card.pc.read(NEW_DATA), "what the killed save left behind is gone")

    def test_a_full_disk_keeps_the_old_file_and_says_so(self):
        old = with_oems("old" + "-" * 1990)  # 4094 bytes
        with Card(self, Machine(dmi=ZELL, full_disk=64 << 10), None, {DATA_FILE: old}) as card:
            process = card.start()
            card.type(DATE, "2026-03-01 x")
            with card.beside("watch", 0) as box:
                card.press(program.IDC_CLOSE, "space")
                card.answer("save-failed-disk-full", IDCANCEL)
            self.assertEqual((box, process.wait(60)), ([["Velopass", RETRY_WARNING]], 0))
            self.assertEqual(card.pc.read(DATA_FILE), old)
            self.assertIsNone(card.pc.read(NEW_DATA))

    def test_a_file_another_program_holds_is_saved_on_retry_and_never_overwritten_unread(self):
        with Card(self, Machine(dmi=ZELL, locale="ar_EG.UTF-8"), SHIPPED, {DATA_FILE: OEMS}) as card:
            with card.held(DATA_FILE):  # as the card starts: its date unknown, shown as none
                process = card.start()
            self.assertEqual((card.texts()[DATE], process.close()), ("", 0))
            self.assertEqual(card.pc.read(DATA_FILE), OEMS, "not overwritten by the date it could not read")
            process = card.start()
            with card.held(DATA_FILE), card.beside("watch", 0) as box:
                card.type(DATE, "2026-03-01")
                card.press(PRINT, "escape")  # saved as the focus leaves, were it free
                card.press(program.IDC_CLOSE, "space")
                card.answer("save-failed-in-use-ar")
                self.assertEqual(card.pc.read(DATA_FILE), OEMS)
            self.assertEqual(box, [["Velopass", RETRY_WARNING | RIGHT_TO_LEFT]])
            card.inspect("dialog", IDRETRY, 5000)
            self.assertEqual(process.wait(60), 0)
            self.assertEqual(card.pc.read(DATA_FILE), with_oems("2026-03-01"))

    def test_windows_closing_the_card_while_wmi_is_still_asked_ends_it_at_once(self):
        for how in ("installer", "end-session"):
            with self.subTest(how), Card(self, Machine(dmi=ZELL, wmi_delay=600000), None, {DATA_FILE: OEMS}) as card:
                process = card.start(wait=False)
                # its window made, not shown: it shows once WMI has answered, in ten minutes
                self.assertTrue(wait_until(lambda: card.inspect("message", 0, 0, 0, check=False), 60))
                code = process.close(how)
                self.assertEqual((card.pc.read(DATA_FILE), code if how == "installer" else 0), (OEMS, 0))
