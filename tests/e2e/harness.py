"""Runs the real Velopass.exe under Wine, one private machine per scenario.

A scenario describes its machine (DPI, screen, locale, OS version, registry
brand) and the files beside the program, starts the card, and inspects it
from outside with vpprobe.exe, a second Win32 program in the same prefix.
Every scenario gets its own Wine prefix, cloned from a template booted once,
and its own Xvfb display; both are removed when it ends.

    python3 -m harness --prepare      boot the template prefix
    python3 -m harness --wine EXE     run a Windows program in a private prefix
"""
import contextlib
import dataclasses
import fcntl
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import winefonts

BIN_DIR = os.environ.get("VELOPASS_BIN", "")
INSPECT = os.environ.get("VELOPASS_INSPECT", "")
E2E_DIR = os.environ.get("VELOPASS_E2E_DIR", os.path.join(tempfile.gettempdir(), "velopass-e2e"))
TEMPLATE = os.path.join(E2E_DIR, "prefix-template")
SCREENSHOTS = os.path.join(E2E_DIR, "screenshots")

CARD_DIR = r"C:\Velopass"
SHIPPED = "shipped"  # the text file the build installs beside the program
XVFB_SCREEN = "1920x1200x24"
CARD_TIMEOUT = 60
TEMPLATE_VERSION = "fonts 6"  # a template of another set-up is booted again

# Executables are shared between clones by hard links; everything Wine may
# rewrite in place (registry, INI files) is copied.
_SHARED_EXTENSIONS = (".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".ax", ".tlb", ".nls", ".ttf", ".ttc", ".fon")

BASE_ENV = {
    "WINEDEBUG": "-all",
    # No Mono or Gecko installer prompts in a new prefix.
    "WINEDLLOVERRIDES": "mscoree,mshtml=",
}


def wine_env(prefix, **extra):
    env = dict(os.environ)
    env.update(BASE_ENV)
    env["WINEPREFIX"] = prefix
    env.update({k: v for k, v in extra.items() if v is not None})
    return env


def quiet(args, env, timeout=120, check=True):
    """Runs a command with no pipes held open: Wine's helper processes outlive it."""
    with open(os.devnull, "wb") as null:
        result = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=null, stderr=null, timeout=timeout)
    if check and result.returncode != 0:
        raise RuntimeError(f"{args[0]} exited {result.returncode}")
    return result.returncode


def prepare_template():
    """Boots the template prefix once; concurrent callers wait for the first."""
    os.makedirs(E2E_DIR, exist_ok=True)
    with open(os.path.join(E2E_DIR, "prefix.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        ready = os.path.join(TEMPLATE, ".ready")
        with contextlib.suppress(FileNotFoundError), open(ready) as f:
            if f.read() == TEMPLATE_VERSION:
                return
        shutil.rmtree(TEMPLATE, ignore_errors=True)
        env = wine_env(TEMPLATE)
        env.pop("DISPLAY", None)
        quiet(["wineboot", "-i"], env, timeout=300)
        quiet(["wineserver", "-w"], env, timeout=120)
        winefonts.install(TEMPLATE, env)
        with open(ready, "w") as f:
            f.write(TEMPLATE_VERSION)


def clone_template(target):
    for root, dirs, files in os.walk(TEMPLATE):
        rel = os.path.relpath(root, TEMPLATE)
        dest = os.path.normpath(os.path.join(target, rel))
        os.makedirs(dest, exist_ok=True)
        for name in dirs + files:
            src, dst = os.path.join(root, name), os.path.join(dest, name)
            if os.path.islink(src):
                os.symlink(os.readlink(src), dst)
                if name in dirs:
                    dirs.remove(name)
            elif name in files:
                if name.lower().endswith(_SHARED_EXTENSIONS):
                    os.link(src, dst)
                else:
                    shutil.copy2(src, dst)


def kill_prefix_processes(prefix):
    """Ends whatever still runs in a prefix once its server is gone (a
    service process can outlive it)."""
    marker = b"WINEPREFIX=" + prefix.encode() + b"\0"
    for pid in filter(str.isdigit, os.listdir("/proc")):
        with contextlib.suppress(OSError):
            with open(f"/proc/{pid}/environ", "rb") as f:
                if marker in f.read() + b"\0":
                    os.kill(int(pid), 9)


def unix_to_windows(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def ini_bytes(sections, encoding="utf-16"):
    """An INI file's bytes from {section: {key: value}}; UTF-16LE with FF FE unless told otherwise."""
    lines = []
    for section, keys in sections.items():
        lines.append(f"[{section}]")
        lines.extend(f"{key}={value}" for key, value in keys.items())
    text = "\r\n".join(lines) + "\r\n"
    return b"\xff\xfe" + text.encode("utf-16-le") if encoding == "utf-16" else text.encode(encoding)


def write_ini(path, sections, encoding="utf-16"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(ini_bytes(sections, encoding))


# The seven DMI files Wine builds its SMBIOS table from; with fewer of them
# it does not report the serial number.
DMI_DEFAULTS = {
    "sys_vendor": "", "product_name": "", "product_version": "1.0", "product_serial": "",
    "product_uuid": "00000000-0000-0000-0000-000000000000", "product_sku": "SKU", "product_family": "Family",
}


# A Zell machine's WMI identity, as most scenarios plant it.
ZELL = {"sys_vendor": "Zell Computers", "product_name": "Zell Aero 14", "product_serial": "0123456789KLM0001FXY2"}


@dataclasses.dataclass
class Machine:
    """What the card sees of the computer."""
    dpi: int = 96
    screen: tuple = (1280, 1024)
    locale: str = "en_US.UTF-8"
    os_version: str = None  # Wine's name for the system, e.g. "winxp" (major version 5)
    # HKLM\SOFTWARE\OEM\Metadata value Brand: str (REG_SZ), int (REG_DWORD),
    # bytes (REG_BINARY) or a (type, bytes) pair such as ("hex(7)", b"...").
    brand: object = None
    # The WMI identity, as DMI files: {"sys_vendor": ..., "product_name": ...,
    # "product_serial": ...}; planted in a private mount namespace.
    dmi: dict = None
    wmi: bool = True  # False disables Wine's WMI provider
    environment: dict = None  # extra variables for the card's process


def reg_value(value):
    """A .reg file's spelling of a value."""
    if isinstance(value, str):
        return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'
    if isinstance(value, int):
        return f"dword:{value:08x}"
    kind, data = ("hex", value) if isinstance(value, bytes) else value
    return f"{kind}:" + ",".join(f"{b:02x}" for b in data)


def can_plant_dmi():
    """Planting a machine identity needs a private mount namespace (root)."""
    return quiet(["unshare", "-m", "--propagation", "private", "true"], dict(os.environ), check=False) == 0


def load_pictures_module():
    """The generator of the card's pictures, for tests that plant pictures of their own."""
    import importlib.util
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "make_pictures.py")
    found = importlib.util.spec_from_file_location("make_pictures", path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


pictures = load_pictures_module()


class Card:
    """One scenario's private machine with the card installed; a context manager."""

    def __init__(self, test, machine=None, text_file=None, files=None):
        """text_file: {section: {key: value}}, SHIPPED, or None for no text file."""
        self.test = test
        self.machine = machine or Machine()
        self.text_file = text_file
        self.files = files or {}
        self.processes = []

    # --- set-up and tear-down -------------------------------------------------

    def __enter__(self):
        if not (BIN_DIR and INSPECT):
            raise unittest.SkipTest("VELOPASS_BIN and VELOPASS_INSPECT are not set: run through ctest")
        prepare_template()
        self.root = tempfile.mkdtemp(prefix="vp-e2e-")
        try:
            self.prefix = os.path.join(self.root, "prefix")
            clone_template(self.prefix)
            self._start_display()
            self.env = wine_env(self.prefix, DISPLAY=self.display, LC_ALL=self.machine.locale)
            if self.machine.dmi is not None and not can_plant_dmi():
                raise unittest.SkipTest("no private mount namespace here: the WMI identity cannot be planted")
            self._install()
            self._configure()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        if getattr(self, "env", None):
            quiet(["wineserver", "-k"], self.env, check=False)
            kill_prefix_processes(self.prefix)
        for process in self.processes:
            with contextlib.suppress(Exception):
                process.kill()
                process.wait(10)
        if getattr(self, "xvfb", None):
            self.xvfb.terminate()
            self.xvfb.wait(10)
        # Files a scenario made immutable would outlive the removal.
        quiet(["chattr", "-R", "-i", self.root], dict(os.environ), check=False)
        shutil.rmtree(self.root, ignore_errors=True)
        return False

    def _start_display(self):
        # The X screen has room for the largest desktop a scenario changes to;
        # the card sees Wine's virtual desktop, of the machine's screen size.
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", XVFB_SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def path(self, windows_path):
        """The Unix path of a C: path inside this prefix."""
        assert windows_path[:3].lower() == "c:\\", windows_path
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    def _install(self):
        app = self.path(CARD_DIR)
        os.makedirs(app)
        shutil.copy2(os.path.join(BIN_DIR, "Velopass.exe"), app)
        shutil.copytree(os.path.join(BIN_DIR, "PIC"), os.path.join(app, "PIC"))
        if self.text_file == SHIPPED:
            shutil.copy2(os.path.join(BIN_DIR, "Velopass.ini"), app)
        elif self.text_file is not None:
            write_ini(os.path.join(app, "Velopass.ini"), self.text_file)
        for windows_path, content in self.files.items():
            target = self.path(windows_path)
            if content is None:  # a file of the installation taken away
                os.remove(target)
                continue
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as f:
                f.write(content)

    def _configure(self):
        m = self.machine
        width, height = m.screen
        # Wine's virtual desktop of the screen's size: it draws captions and
        # system menus itself, as no window manager runs on the display.
        reg = ["Windows Registry Editor Version 5.00", "",
               r"[HKEY_CURRENT_USER\Software\Wine\Explorer]", '"Desktop"="Default"', "",
               r"[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]", f'"Default"="{width}x{height}"', ""]
        if m.dpi != 96:
            reg += [r"[HKEY_CURRENT_USER\Control Panel\Desktop]", f'"LogPixels"=dword:{m.dpi:08x}', ""]
        if m.os_version:
            reg += [r"[HKEY_CURRENT_USER\Software\Wine]", f'"Version"="{m.os_version}"', ""]
        if m.brand is not None:
            reg += [r"[HKEY_LOCAL_MACHINE\SOFTWARE\OEM\Metadata]", f'"Brand"={reg_value(m.brand)}', ""]
        reg_file = os.path.join(self.root, "machine.reg")
        with open(reg_file, "w", encoding="utf-16") as f:
            f.write("\r\n".join(reg) + "\r\n")
        quiet(["wine", "regedit", "/S", unix_to_windows(reg_file)], self.env)
        # The settings take effect for processes of a fresh server.
        quiet(["wineserver", "-k"], self.env, check=False)
        quiet(["wineserver", "-w"], self.env, check=False)

    # --- driving the card ------------------------------------------------------

    def _card_command(self, exe):
        command = ["wine", exe]
        if self.machine.dmi is None:
            return command
        # Wine reads the machine's identity from /sys/class/dmi/id in the
        # calling process: give the card its own view of that folder.
        dmi = os.path.join(self.root, "dmi")
        os.makedirs(dmi, exist_ok=True)
        for name, value in {**DMI_DEFAULTS, **self.machine.dmi}.items():
            with open(os.path.join(dmi, name), "w", encoding="utf-8") as f:
                f.write(value + "\n")
        script = ('mount -t tmpfs none /sys/class && mkdir -p /sys/class/dmi/id && '
                  'cp "$0"/* /sys/class/dmi/id/ && exec "$@"')
        return ["unshare", "-m", "--propagation", "private", "sh", "-c", script, dmi] + command

    def start(self, wait=True, exe=CARD_DIR + r"\Velopass.exe"):
        """Starts Velopass.exe from outside its folder; with `wait`, returns once the card shows."""
        log = open(os.path.join(self.root, f"velopass-{len(self.processes)}.log"), "wb")
        env = dict(self.env, **(self.machine.environment or {}))
        if not self.machine.wmi:
            env["WINEDLLOVERRIDES"] += ";wbemprox=d"
        process = subprocess.Popen(self._card_command(exe), cwd=self.root, env=env,
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        log.close()
        self.processes.append(process)
        if wait:
            self.wait_card()
        return process

    def inspect(self, *args, check=True, timeout=CARD_TIMEOUT + 30):
        """Runs vpprobe with a command; returns its JSON answer (None when it found no card)."""
        out = os.path.join(self.root, "inspect.json")
        with contextlib.suppress(FileNotFoundError):
            os.remove(out)
        code = quiet(["wine", INSPECT, unix_to_windows(out)] + [str(a) for a in args], self.env, timeout=timeout,
                     check=False)
        answer = None
        if os.path.exists(out):
            with open(out, encoding="utf-8") as f:
                answer = json.load(f)
        if check and code != 0:
            self.test.fail(f"vpprobe {' '.join(map(str, args))} exited {code}")
        return answer

    def wait_card(self):
        card = self.inspect("wait", CARD_TIMEOUT * 1000, check=False)
        if card is None:
            self.test.fail("the card did not appear within %d s" % CARD_TIMEOUT)
        return card

    def dump(self):
        return self.inspect("dump", check=False)

    def lock(self, windows_path, seconds):
        """Another program holding the file open, sharing nothing, for `seconds`."""
        process = subprocess.Popen(["wine", INSPECT, "NUL", "lock", windows_path, str(seconds)], env=self.env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def occupy(self, title, rect, seconds, hold_mutex=False):
        """Another program's window over `rect` (x, y, w, h), for `seconds`; returns its process."""
        args = ["wine", INSPECT, "NUL", "occupy", title, *map(str, rect), str(seconds)] + (["mutex"] if hold_mutex else [])
        process = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def type(self, control_id, text):
        """Puts text into a control, any characters."""
        hex_text = "".join(f"{unit:04x}" for unit in memoryview(text.encode("utf-16-le")).cast("H"))
        self.inspect("settext", control_id, hex_text)

    def memory(self, exe_name="Velopass.exe"):
        """Private memory, in kB, of this prefix's process running that program: its
        resident anonymous pages and its data segment (file-backed pages such as
        fonts and code come and go with use and are left out)."""
        marker = b"WINEPREFIX=" + self.prefix.encode() + b"\0"
        for pid in filter(str.isdigit, os.listdir("/proc")):
            with contextlib.suppress(OSError):
                with open(f"/proc/{pid}/environ", "rb") as f:
                    if marker not in f.read() + b"\0":
                        continue
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    if exe_name.encode() not in f.read():
                        continue
                with open(f"/proc/{pid}/status") as f:
                    fields = dict(line.split(":", 1) for line in f if ":" in line)
                return {key: int(fields[key].split()[0]) for key in ("RssAnon", "VmData")}
        return None

    def read(self, windows_path):
        """A file's bytes, or None when it does not exist."""
        with contextlib.suppress(FileNotFoundError, IsADirectoryError):
            with open(self.path(windows_path), "rb") as f:
                return f.read()
        return None

    def attributes(self, windows_path):
        """The file's attributes as Windows reports them (-1: not found)."""
        return self.inspect("attributes", windows_path)

    def snapshot(self):
        """Every file under C: with its size and modification time, to see what a run wrote."""
        drive = os.path.join(self.prefix, "drive_c")
        found = {}
        for root, _, names in os.walk(drive):
            for name in names:
                path = os.path.join(root, name)
                with contextlib.suppress(FileNotFoundError):
                    st = os.lstat(path)
                    found[os.path.relpath(path, drive)] = (st.st_size, st.st_mtime_ns)
        return found

    def close(self, process, how="button"):
        """Closes the card as a user would and waits for its process to end."""
        actions = {
            "button": ("click", 1008),
            "alt-f4": ("altf4",),
            "close-box": ("closebox",),
            "system-menu": ("syscommand", 0xF060),
        }
        self.inspect(*actions[how])
        return process.wait(60)

    def screenshot(self, name, window=None):
        """Saves the desktop, or the given window's rectangle, where a reader can
        look at it; returns the path."""
        os.makedirs(SCREENSHOTS, exist_ok=True)
        path = os.path.join(SCREENSHOTS, name + ".png")
        if window:
            x, y, w, h = window["rect"]
        else:
            (x, y), (w, h) = (0, 0), self.machine.screen
        quiet(["import", "-display", self.display, "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path],
              self.env, timeout=60)
        return path

    def capture(self):
        """The display's pixels now."""
        path = os.path.join(self.root, "capture.ppm")
        quiet(["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:" + path], self.env, timeout=60)
        return Image.from_ppm(path)


class Image:
    """RGB pixels of a capture, with helpers to look at a window's client area."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, path):
        with open(path, "rb") as f:
            raw = f.read()
        fields, pos = [], 0
        while len(fields) < 4:  # magic, width, height, maximum
            while raw[pos:pos + 1].isspace():
                pos += 1
            if raw[pos:pos + 1] == b"#":
                pos = raw.index(b"\n", pos)
                continue
            end = pos
            while not raw[end:end + 1].isspace():
                end += 1
            fields.append(raw[pos:end])
            pos = end
        assert fields[0] == b"P6" and fields[3] == b"255", fields
        return cls(int(fields[1]), int(fields[2]), raw[pos + 1:])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def client(self, window):
        """A view of the window's client area in its own logical coordinates,
        mirrored for a right-to-left window."""
        return ClientView(self, window)


class ClientView:
    def __init__(self, image, window):
        self.image = image
        self.origin_x, self.origin_y = window["client_origin"]
        self.width, self.height = window["client"][2:]
        self.mirrored = bool(int(window["exstyle"], 16) & 0x00400000)

    def pixel(self, x, y):
        screen_x = self.origin_x - 1 - x if self.mirrored else self.origin_x + x
        return self.image.pixel(screen_x, self.origin_y + y)

    def count(self, rect, predicate):
        """How many pixels of the logical rectangle (left, top, right, bottom) satisfy predicate(rgb)."""
        left, top, right, bottom = rect
        return sum(1 for y in range(top, bottom) for x in range(left, right) if predicate(self.pixel(x, y)))


def near(colour, expected, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def is_dark(colour):
    return max(colour) < 90


def is_white(colour):
    return min(colour) > 235


def wait_until(predicate, timeout=20, interval=0.25):
    """Polls until predicate() is true; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def main():
    """Runs the calling scenario module; exits 77 when every scenario was skipped."""
    program = unittest.main(module="__main__", verbosity=2, exit=False)
    result = program.result
    if not result.wasSuccessful():
        sys.exit(1)
    if result.testsRun and len(result.skipped) == result.testsRun:
        sys.exit(77)
    sys.exit(0)


def run_windows_program(exe):
    """Runs a console program in a private prefix and returns its exit code."""
    prepare_template()
    root = tempfile.mkdtemp(prefix="vp-wine-")
    try:
        prefix = os.path.join(root, "prefix")
        clone_template(prefix)
        env = wine_env(prefix)
        env.pop("DISPLAY", None)
        quiet(["wineserver", "-p"], env, check=False)  # the server holds no pipe of ours
        code = subprocess.run(["wine", exe], env=env, stdin=subprocess.DEVNULL).returncode
        quiet(["wineserver", "-k"], env, check=False)
        kill_prefix_processes(prefix)
        return code
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    if sys.argv[1:] == ["--prepare"]:
        prepare_template()
        print("Wine template prefix ready:", TEMPLATE)
    elif len(sys.argv) == 3 and sys.argv[1] == "--wine":
        sys.exit(run_windows_program(sys.argv[2]))
    else:
        sys.exit(__doc__)
