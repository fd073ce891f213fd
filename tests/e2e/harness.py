"""Runs the real Velopass.exe under Wine, a private PC (scripts/winepc.py) a scenario, inspected from outside by
vpprobe.exe. `test_MODULE [CLASS...]` runs scenarios, `--prepare` boots the template, `--wine EXE` runs it privately."""
import contextlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path[:0] = [os.path.join(ROOT, folder) for folder in ("scripts", "resources", "packaging")]
import make_pictures as pictures  # noqa: E402  (the card's pictures, for planted ones)
from winepc import (BASE_ENV, BIN_DIR, CARD_DIR, E2E_DIR, PC, SHIPPED, Link, Machine, ini_bytes,  # noqa: E402, F401
                    prepare_template, program, quiet, unix_to_windows)

INSPECT = os.environ.get("VELOPASS_INSPECT", "")
SCREENSHOTS = os.path.join(E2E_DIR, "screenshots")
REFERENCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "reference")
DATA_FILE = program.kDataFolder + program.kDataFileName
DATA_ON_C = os.path.join(*DATA_FILE[3:].split("\\"))  # as PC.snapshot names it
CARD_TIMEOUT = 120  # seconds; the card shows in two, but a busy machine may stall
KEYS = {"ctrl": 0x11, "alt": 0x12, "shift": 0x10, "space": 0x20, "enter": 0x0D, "escape": 0x1B,  # virtual-key codes
        "tab": 0x09, "home": 0x24, "end": 0x23, "up": 0x26, "right": 0x27, "down": 0x28, "delete": 0x2E, "f4": 0x73}
# A Zell machine's WMI identity, as most scenarios plant it.
ZELL = {"sys_vendor": "Zell Computers", "product_name": "Zell Aero 14", "product_serial": "0123456789KLM0001FXY2"}
ARABIC = {"ar": {"AppTitle": "فيلوباس", "lblProductName": "اسم المنتج", "lblSerialNb": "الرقم التسلسلي",
                 "lblPartNb": "رقم القطعة", "lblDOP": "تاريخ الشراء", "BtnPrint": "طباعة", "BtnClose": "إغلاق"}}


def state_text(window):
    """A window's state as its reference keeps it: a line a control, styles in hexadecimal, texts as they read."""
    def line(fields):
        return json.dumps({k: f"{v:#010x}" if k.endswith(("style", "state")) else v for k, v in fields.items()},
                          ensure_ascii=False)
    top = {k: v for k, v in window.items() if k != "controls"}
    return line(top)[:-1] + ', "controls": [\n' + ",\n".join(map(line, window["controls"])) + "]}\n"


def differing_pixels(picture, other, diff="null:"):
    compared = subprocess.run(["compare", "-metric", "AE", picture, other, diff], capture_output=True, text=True,
                              stdin=subprocess.DEVNULL, timeout=120)
    return float(compared.stderr.split()[0]) if compared.returncode < 2 else "another size"


def assert_as_reviewed(test, name, picture, window=None):
    """Compares a picture, pixel for pixel, and a window's state with reference/NAME.png and NAME.json. A difference
    fails the test, which goes on (a run shows every difference), and leaves what the run saw in refreshed/ for review,
    and the differing pixels in red in differences/NAME.png."""
    reference, state = (Path(REFERENCES, name + ext) for ext in (".png", ".json"))
    diff, fresh = Path(E2E_DIR, "differences", name + ".png"), Path(E2E_DIR, "refreshed", name)
    differing = differing_pixels(picture, reference, diff) if reference.exists() else "no reference"
    if differing == 0:
        diff.unlink()
    seen, kept = state_text(window) if window else "", state.exists() and state.read_text("utf-8")
    if differing != 0 or seen and seen != kept:
        shutil.copyfile(picture, fresh.with_suffix(".png"))
        if seen:
            fresh.with_suffix(".json").write_text(seen, "utf-8")
    review = f"this run's are in {fresh.parent}: review them, then cp {fresh}.* {REFERENCES}"
    with test.subTest(reference=name):
        if missing := [str(path) for path in (reference, state)[:1 + bool(seen)] if not path.exists()]:
            test.fail(f"{name}: no reference {' nor '.join(missing)}; {review}")
        if seen:
            test.maxDiff = None  # the lines that differ, whole
            test.assertEqual(seen, kept, f"{name}: the state differs from its reference; {review}")
        test.assertEqual(differing, 0, f"{name}: pixels differing from the reference, in red in {diff}; {review}")


class Card:
    """The card as a person sees and works it, through vpprobe, on a private PC (`pc`, the prefix) where `start`
    runs Velopass.exe (a CardProcess)."""
    def __init__(self, test, machine=None, text_file=None, files=None):
        self.test, self.pc = test, PC(machine, text_file, files)

    def __enter__(self):
        if not INSPECT:
            raise unittest.SkipTest("VELOPASS_INSPECT is not set: run through ctest")
        if self.pc.machine.dmi is not None and quiet(["unshare", "-m", "true"], os.environ, check=False) != 0:
            raise unittest.SkipTest("no private mount namespace here: the WMI identity cannot be planted")
        for folder in ("screenshots", "differences", "refreshed"):  # what a scenario leaves for a reader
            os.makedirs(os.path.join(E2E_DIR, folder), exist_ok=True)
        self.pc.__enter__()
        return self

    def __exit__(self, *exc):
        self.pc.__exit__(*exc)

    def start(self, wait=True, exe=CARD_DIR + r"\Velopass.exe", under=()):
        """Starts Velopass.exe from outside its folder (`under` strace, say); with `wait`, returns once the card
        shows."""
        process = CardProcess(self, exe, under)
        if wait and self.inspect("wait", CARD_TIMEOUT * 1000, check=False) is None:
            self.test.fail(f"no card within {CARD_TIMEOUT} s; its log ends: {Path(process.log).read_bytes()[-800:]!r}")
        return process

    def inspect(self, *args, check=True, timeout=CARD_TIMEOUT + 30):
        """Runs vpprobe with a command; returns its JSON answer (None when it found no card)."""
        out = os.path.join(self.pc.root, "inspect.json")
        Path(out).unlink(missing_ok=True)
        for _ in range(2):  # again only when Wine never started the probe (it always writes its answer)
            code = quiet(["wine", INSPECT, unix_to_windows(out), *map(str, args)], self.pc.env, timeout, check=False)
            if os.path.exists(out):
                break
        if check and code != 0:
            self.test.fail(f"vpprobe {' '.join(map(str, args))} exited {code}")
        return json.loads(Path(out).read_text("utf-8")) if os.path.exists(out) else None

    def dump(self, accessible=False):
        """The card and its controls (and what a screen reader hears of each) once shown, or None."""
        return self.inspect("wait", 5000, *["accessible"] * accessible, check=False)

    def texts(self):
        return {c["id"]: c["text"] for c in self.dump()["controls"]}

    def assert_as_reviewed(self, name):
        # Wine moves, focuses and names in its own time too: the state as well is taken until it is the reference's.
        kept = Path(REFERENCES, name + ".json")
        window = wait_until(lambda: (w := self.dump(accessible=True)) and (
            not kept.exists() or state_text(w) == kept.read_text("utf-8")) and w, timeout=30) or self.dump(True)
        assert_as_reviewed(self.test, name, self.screenshot(name, window), window)

    def press(self, control_id, *keys):
        """Keys as a user presses them, with the focus moved to the control first (0: left where it is):
        "alt+space", "shift+right", "enter", "c"; the id of the control focused after each."""
        codes = ["+".join(str(KEYS.get(name) or ord(name.upper())) for name in key.split("+")) for key in keys]
        return self.inspect("press", control_id, *codes)

    def type(self, control_id, text):
        """Types text into a control, replacing what it held: any characters, up to the control's limit."""
        self.inspect("press", control_id, *(f"#{u:04x}" for u in memoryview(text.encode("utf-16-le")).cast("H")))

    def answer(self, name, button=None):
        """The question over the card (a message box) as reviewed on the whole screen; then a button pressed."""
        self.inspect("dialog", 0, CARD_TIMEOUT * 1000)
        assert_as_reviewed(self.test, name, self.screenshot(name))
        if button:
            self.inspect("dialog", button, 5000)

    def held(self, windows_path):
        """The file held open by another program, sharing nothing (a backup, a virus scanner), until the block ends."""
        return self.beside("hold", windows_path)

    @contextlib.contextmanager
    def beside(self, *args):
        """vpprobe ARGS... FLAG running beside the block, from when it is ready (it makes FLAG) until FLAG goes at the
        block's end; yields a list that then holds its answer."""
        flag, answer = os.path.join(self.pc.root, args[0]), []
        probe = subprocess.Popen(["wine", INSPECT, unix_to_windows(flag + ".json"), *map(str, args),
                                  unix_to_windows(flag)], env=self.pc.env, stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.test.assertTrue(wait_until(lambda: os.path.exists(flag) or probe.poll() is not None, 60) and
                             os.path.exists(flag), f"vpprobe {args[0]} never ready")
        try:
            yield answer
        finally:
            os.remove(flag)
            probe.wait(60)
        answer.append(json.loads(Path(flag + ".json").read_text("utf-8")))

    def assert_menu_as_reviewed(self, name):
        """The system menu's last entry opened from the keyboard: the whole screen as reviewed."""
        self.press(0, "alt+space", "end", "right")
        assert_as_reviewed(self.test, name, self.screenshot(name))
        self.press(0, "escape", "escape", "escape")  # the list, the menu, and Wine's menu mode left after it

    def choose_language(self, position):
        self.press(0, "alt+space", "end", "right", *["down"] * position, "enter")

    def screenshot(self, name, window=None):
        """Saves the window's rectangle (None: the whole screen) where a reader can look at it; returns the path."""
        path, reference = (os.path.join(folder, name + ".png") for folder in (SCREENSHOTS, REFERENCES))
        x, y, w, h = window["rect"] if window else (0, 0, *self.pc.machine.screen)

        def shown():  # Wine paints, and shows what it painted, in its own time: taken until it shows the reference
            quiet(["import", "-display", self.pc.display, "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                   path], self.pc.env, 60)
            return not os.path.exists(reference) or differing_pixels(path, reference) == 0
        wait_until(shown, timeout=30)
        return path


class CardProcess:
    """Velopass.exe (or another program) running on a card's PC: its process, its log, and the ways it ends."""
    def __init__(self, card, exe, under=()):
        self.card, self.popen = card, card.pc.start(exe, under)
        self.log = card.pc.log

    def wait(self, timeout):
        return self.popen.wait(timeout)

    def close(self, how="button"):
        """Closes the card as a user, Windows or an installer would; its exit code once it has ended."""
        card, env = self.card, self.card.pc.env
        if how == "end-task":  # as Task Manager's End task: WM_CLOSE, no force
            # (Wine's taskkill at times finds no window of the process, under load: asked again)
            wait_until(lambda: quiet(["wine", "taskkill", "/im", "Velopass.exe"], env, check=False) == 0, 30)
        elif how == "end-session":  # a log-off: Wine ends the card once it has answered
            quiet(["wine", "wineboot", "--end-session"], env)
        elif how == "installer":  # the Restart Manager: WM_QUERYENDSESSION, WM_ENDSESSION with ENDSESSION_CLOSEAPP,
            for message, ending in ((0x11, 0), (0x16, 0), (0x11, 0), (0x16, 1)):  # once cancelled by another program
                card.inspect("message", message, ending, 1)
        else:
            card.press(*{"button": (program.IDC_CLOSE, "space"), "alt-f4": (0, "alt+f4"),
                         "system-menu": (0, "alt+space", "c")}[how])
        return self.wait(60)


class Printer:
    """A CUPS scheduler of the scenario's own (configuration, socket, spool, output folder), its default queue cups-pdf,
    for a card started with `environment=printer.env`: the machine's and ~/PDF untouched. Needs root, like cups-pdf."""
    PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"

    def __enter__(self):
        if os.geteuid() or not shutil.which("cupsd") or not os.path.exists(self.PPD):
            raise unittest.SkipTest("no printer to print on: scripts/install-deps.sh --tests, and run as root")
        self.root = tempfile.mkdtemp(prefix="vp-cups-")
        for folder in ("", "etc", "spool", "cache", "state", "out", "tmp"):  # the filters run as lp
            os.makedirs(os.path.join(self.root, folder), exist_ok=True)
            os.chmod(os.path.join(self.root, folder), 0o1777 if folder == "tmp" else 0o755)
        self.socket, self.env = f"{self.root}/cups.sock", {"CUPS_SERVER": f"{self.root}/cups.sock"}
        # cups-pdf reads an instance's settings from /etc/cups alone; the file goes with the instance.
        self.settings = f"/etc/cups/cups-pdf-{os.path.basename(self.root)}.conf"
        for path, text in ((self.settings, f"Out {self.root}/out\nLog {self.root}\n"),
                           (f"{self.root}/cupsd.conf", f"Listen {self.socket}\nBrowsing No\nWebInterface No\n"
                                                      "PageLogFormat %P|%u|%C|%{job-name}\n"  # (the name may hold |)
                                                      "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"),
                           (f"{self.root}/cups-files.conf", "".join(f"{k} {self.root}/{v}\n" for k, v in dict(
                               ServerRoot="etc", RequestRoot="spool", CacheDir="cache", StateDir="state", TempDir="tmp",
                               ErrorLog="error_log", AccessLog="access_log", PageLog="page_log").items()))):
            Path(path).write_text(text)
        self.cupsd = subprocess.Popen(["cupsd", "-f", "-c", f"{self.root}/cupsd.conf", "-s",
                                       f"{self.root}/cups-files.conf"], stdin=subprocess.DEVNULL)
        try:
            wait_until(lambda: os.path.exists(self.socket), timeout=30)
            instance = f"cups-pdf:/{os.path.basename(self.root)}"
            for args in (("-p", "CardPDF", "-E", "-v", instance, "-P", self.PPD), ("-d", "CardPDF")):
                quiet(["lpadmin", "-h", self.socket, *args], os.environ)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        self.cupsd.terminate()
        self.cupsd.wait(30)
        os.remove(self.settings)
        shutil.rmtree(self.root, ignore_errors=True)

    def pages(self):
        return {str(pdf) for pdf in Path(self.root, "out").glob("*.pdf")}

    def queue(self):
        """The jobs printed, as the scheduler accounts for them: (name, owner, pages) each."""
        log = Path(self.root, "page_log")
        lines = log.read_text("utf-8").splitlines() if log.exists() else []
        return [(name, owner, pages) for kind, owner, pages, name in (line.split("|", 3) for line in lines)
                if kind == "total"]

    def jobs(self, which="all"):
        """The jobs the scheduler has taken ("all", printed or not) or holds ("not-completed"); a failing lpstat
        raises, so that an unanswered question never reads as no job."""
        return subprocess.run(["lpstat", "-h", self.socket, "-W", which, "-o"], stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=30, check=True).stdout.splitlines()


def wait_until(predicate, timeout=20):
    deadline = time.monotonic() + timeout
    while not (value := predicate()) and time.monotonic() < deadline:
        time.sleep(0.25)
    return value


if __name__ == "__main__":
    if sys.argv[1:] == ["--prepare"]:  # first in every run: what an earlier run left in these would mislead
        for folder in ("differences", "refreshed"):
            shutil.rmtree(os.path.join(E2E_DIR, folder), ignore_errors=True)
        prepare_template()
        print("Wine template prefix ready in", E2E_DIR)
    elif len(sys.argv) == 3 and sys.argv[1] == "--wine":  # a console program in a private prefix
        with PC() as pc:
            sys.exit(subprocess.run(["wine", sys.argv[2]], env=pc.env, stdin=subprocess.DEVNULL).returncode)
    elif sys.argv[1:2] and sys.argv[1].startswith("test_"):
        # Exits 77, which ctest shows as skipped, when anything was skipped (a module skipped whole runs no test at
        # all) and nothing failed; under CI a skip fails, with its reason.
        result = unittest.main(module=sys.argv[1], argv=sys.argv[1:], verbosity=2, exit=False).result
        if result.skipped and os.environ.get("CI") == "true":
            print("A skip fails under CI:", *(f"{test.id()}: {why}" for test, why in result.skipped), sep="\n  ")
            sys.exit(1)
        sys.exit(1 if not result.wasSuccessful() else 77 if result.skipped else 0)
    else:
        sys.exit(__doc__)
