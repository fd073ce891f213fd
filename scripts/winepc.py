"""A PC of the maker's under Wine with the card installed, private to one use: a prefix cloned from a template that
scripts/wineprefix.py prepares, a hidden display of its own, the machine's DPI, screen, locale, colours, registry
Brand and WMI identity, and the card from a build (VELOPASS_BIN). The tests, the start-up benchmark and the README's
pictures run the card in one:

    with PC(Machine(dpi=120, brand="Zell"), text_file=SHIPPED) as pc:
        process = pc.start()
"""
import contextlib
import dataclasses
import fcntl
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import wineprefix
from wineprefix import reg_value as reg, run as quiet

BIN_DIR = os.environ.get("VELOPASS_BIN", "")
sys.path.append(BIN_DIR)
try:
    import velopass_program as program  # its ids, window classes and paths, as its build took them
except ImportError:
    sys.exit(f"VELOPASS_BIN ({BIN_DIR!r}) is not a Windows build of the program: no velopass_program.py there")

E2E_DIR = os.environ.get("VELOPASS_E2E_DIR", os.path.join(tempfile.gettempdir(), "velopass-e2e"))
TEMPLATE = os.path.join(E2E_DIR, "prefix-template")
TEMPLATE_VERSION = "own environment 9"  # a template of another set-up is booted again
CARD_DIR = r"C:\Velopass"
SHIPPED = "shipped"  # the text file the build installs beside the program
# No Mono or Gecko installer prompts in a new prefix.
BASE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}
# Executables are shared between clones by hard links; whatever Wine may rewrite in place (registry, INI) is copied.
SHARED_EXTENSIONS = (".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".ax", ".tlb", ".nls", ".ttf",
                     ".ttc", ".fon")
# Wine builds its SMBIOS table from these seven DMI files; with fewer of them it does not report the serial number.
DMI_DEFAULTS = {"sys_vendor": "", "product_name": "", "product_version": "1.0", "product_family": "Family",
                "product_uuid": "00000000-0000-0000-0000-000000000000", "product_serial": "", "product_sku": "SKU"}


def wine_env(prefix, **extra):
    """An environment of its own, never the machine's: a home of its own (Wine links the profile's folders into
    it), and no scheduler but a caller's own (the machine's queues would reach every prefix cloned)."""
    own = {"PATH": os.environ.get("PATH", os.defpath), "HOME": os.path.join(E2E_DIR, "home"),
           "CUPS_SERVER": os.path.join(E2E_DIR, "no-scheduler.sock"), "LANG": "C.UTF-8"}
    return dict(own, **BASE_ENV, WINEPREFIX=prefix, **{k: v for k, v in extra.items() if v is not None})


def prepare_template():
    """Boots the template prefix once; concurrent callers wait for the first."""
    os.makedirs(os.path.join(E2E_DIR, "home"), exist_ok=True)
    with open(os.path.join(E2E_DIR, "prefix.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        ready = os.path.join(TEMPLATE, ".ready")
        with contextlib.suppress(FileNotFoundError), open(ready) as f:
            if f.read() == TEMPLATE_VERSION:
                return
        shutil.rmtree(TEMPLATE, ignore_errors=True)
        wineprefix.prepare(TEMPLATE, wine_env(TEMPLATE))
        with open(ready, "w") as f:
            f.write(TEMPLATE_VERSION)


def prefix_processes(prefix):
    """The pids of whatever runs in a prefix, its server among them."""
    marker = b"WINEPREFIX=" + prefix.encode() + b"\0"
    for pid in filter(str.isdigit, os.listdir("/proc")):
        with contextlib.suppress(OSError), open(f"/proc/{pid}/environ", "rb") as f:
            if marker in f.read() + b"\0":
                yield int(pid)


class Link(str):
    """A file of a PC that is a symbolic link to this Windows path (Wine shows a junction's attributes for it)."""


def process_name(pid):
    with contextlib.suppress(OSError), open(f"/proc/{pid}/comm", "rb") as f:
        return f.read()
    return b""


def unix_to_windows(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def ini_bytes(sections):
    """An INI file's bytes from {section: {key: value}}: UTF-16LE with FF FE, as Windows reads it."""
    return b"\xff\xfe" + "".join(f"[{section}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in keys.items())
                                  for section, keys in sections.items()).encode("utf-16-le")


@dataclasses.dataclass
class Machine:
    """What the card sees of the computer."""
    dpi: int = 96
    screen: tuple = (1280, 1024)
    locale: str = "en_US.UTF-8"
    brand: object = None  # the registry value Brand, as wineprefix.reg_value takes it; {}: its key alone
    dmi: dict = None  # the WMI identity as DMI files, planted in a private mount namespace
    wmi: bool = True  # False disables Wine's WMI provider
    environment: dict = None  # extra variables for the card's process
    colours: dict = None  # the colour scheme, as HKCU\Control Panel\Colors holds it: {name: "R G B"}
    version: str = None  # the Windows version Wine reports, by its name there ("winxp": 5.1)
    full_disk: int = None  # bytes: drive C: on a full disk of that size (in the card's mount namespace)
    wmi_delay: int = None  # ms: WMI answers that late, as after boot (a stand-in locator, bench/SlowWmi.cpp)


class PC:
    """The machine with the card installed; a context manager that leaves nothing behind."""

    def __init__(self, machine=None, text_file=None, files=None):
        """text_file: {section: {key: value}}, SHIPPED, or None for no text file;
        files: {windows path: bytes, a Link, or None to take a file of the installation away}."""
        self.machine, self.text_file, self.files = machine or Machine(), text_file, files or {}
        self.processes = []

    def __enter__(self):
        prepare_template()
        self.root = tempfile.mkdtemp(prefix="vp-e2e-")
        try:
            self.prefix = os.path.join(self.root, "prefix")
            shutil.copytree(TEMPLATE, self.prefix, symlinks=True, copy_function=lambda src, dst: (
                os.link if src.lower().endswith(SHARED_EXTENSIONS) else shutil.copy2)(src, dst))
            self.display, self.xvfb = wineprefix.start_display()
            self.env = wine_env(self.prefix, DISPLAY=self.display, LC_ALL=self.machine.locale)
            self._install()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        if getattr(self, "env", None):  # the server too: `wineserver -k` would first save a registry no one reads
            for pid in prefix_processes(self.prefix):
                with contextlib.suppress(OSError):
                    os.kill(pid, 9)
        for process in self.processes + [getattr(self, "xvfb", None)]:
            with contextlib.suppress(Exception):
                process.kill()
                process.wait(10)
        # Files made immutable would outlive the removal.
        quiet(["chattr", "-R", "-i", self.root], os.environ, check=False)
        shutil.rmtree(self.root, ignore_errors=True)

    def path(self, windows_path):
        assert windows_path[:3].lower() == "c:\\", windows_path
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    def _install(self):
        """The card's files, then the machine's settings straight into the registry files: importing costs a boot."""
        app = self.path(CARD_DIR)
        shutil.copytree(os.path.join(BIN_DIR, "PIC"), os.path.join(app, "PIC"))
        shutil.copy2(os.path.join(BIN_DIR, "Velopass.exe"), app)
        files = dict(self.files)
        if self.text_file == SHIPPED:
            shutil.copy2(os.path.join(BIN_DIR, "Velopass.ini"), app)
        elif self.text_file is not None:
            files[CARD_DIR + r"\Velopass.ini"] = ini_bytes(self.text_file)
        for windows_path, content in files.items():
            target = Path(self.path(windows_path))
            if content is None:
                target.unlink()
            elif isinstance(content, Link):
                target.parent.mkdir(parents=True, exist_ok=True)
                target.symlink_to(self.path(content))
            else:
                target.parent.mkdir(parents=True, exist_ok=True)
                target.write_bytes(content)
        m = self.machine
        keys = dict(wineprefix.desktop(m.screen), **{r"HKEY_CURRENT_USER\Control Panel\Desktop": {"LogPixels": m.dpi},
                                                      r"HKEY_CURRENT_USER\Control Panel\Colors": m.colours or {}})
        if m.brand is not None:
            brand = m.brand if m.brand == {} else {program.kBrandValueName: m.brand}
            keys["HKEY_LOCAL_MACHINE\\" + program.kBrandKeyPath] = brand
        if m.version:
            keys[r"HKEY_CURRENT_USER\Software\Wine"] = {"Version": m.version}
        if m.wmi_delay is not None:
            shutil.copy2(os.path.join(BIN_DIR, "vpslowwmi.dll"), self.path(r"C:\windows"))
            keys[r"HKEY_LOCAL_MACHINE\Software\Classes\CLSID\{4590F811-1D3A-11D0-891F-00AA004B2E24}"
                 r"\InprocServer32"] = {"": r"C:\windows\vpslowwmi.dll"}
            self.env["VP_WMI_DELAY_MS"] = str(m.wmi_delay)
        for key, values in keys.items():
            root, _, path = key.partition("\\")
            with open(f"{self.prefix}/{'user' if root.endswith('USER') else 'system'}.reg", "a", encoding="utf-8") as f:
                f.write(f"\n[{reg(path)[1:-1]}]\n" +  # "": the key's default value
                        "".join(f"{reg(n) if n else '@'}={reg(v)}\n" for n, v in values.items()))

    def start(self, exe=CARD_DIR + r"\Velopass.exe", under=()):
        """Starts a program (the card) from outside its folder, `under` a command (strace ...) if given, its output
        in self.log; its process."""
        m, env = self.machine, dict(self.env, **(self.machine.environment or {}))
        if not m.wmi:
            env["WINEDLLOVERRIDES"] += ";wbemprox=d"
        command, script, run = [*under, "wine", exe], [], 'exec "$@"'
        if m.dmi is not None:
            # Wine reads the machine's identity from /sys/class/dmi/id in the calling process: the card's own view.
            dmi = os.path.join(self.root, "dmi")
            os.makedirs(dmi, exist_ok=True)
            for name, value in {**DMI_DEFAULTS, **m.dmi}.items():
                Path(dmi, name).write_text(value + "\n", "utf-8")
            script.append(f"mount -t tmpfs none /sys/class && mkdir -p /sys/class/dmi/id && "
                          f"cp {shlex.quote(dmi)}/* /sys/class/dmi/id/")
        if m.full_disk:
            # Drive C: itself is the full disk, its folders linked onto it but c:\OEM, which is on it (a mount at
            # c:\OEM would read as a link). The card starts the prefix's Wine server, so both see the disk; once the
            # card has ended, c:\OEM as it left it is copied back for the test to read.
            drive, real = shlex.quote(self.path("c:\\")), shlex.quote(os.path.join(self.root, "drive-c"))
            os.makedirs(os.path.join(self.root, "drive-c"))
            script.append(f"mount --bind {drive} {real} && mount -t tmpfs -o size={m.full_disk} none {drive} && "
                          f'for e in {real}/*; do [ "${{e##*/}}" = OEM ] || ln -s "$e" {drive}; done && '
                          f"{{ ! [ -e {real}/OEM ] || cp -a {real}/OEM {drive}; }} && "
                          f"{{ dd if=/dev/zero of={drive}/fill bs=512 2>/dev/null; true; }}")
            run = (f'"$@"; code=$?; rm -rf {real}/OEM; {{ ! [ -e {drive}/OEM ] || cp -a {drive}/OEM {real}; }}; '
                   'exit $code')
        if script:
            command = ["unshare", "-m", "--propagation", "private", "sh", "-c", " && ".join(script + [run]), "sh",
                       *command]
        self.log = os.path.join(self.root, f"velopass-{len(self.processes)}.log")  # Wine reports a crash there
        with open(self.log, "wb") as log:
            self.processes.append(subprocess.Popen(command, cwd=self.root, env=env, stdin=subprocess.DEVNULL,
                                                   stdout=log, stderr=log))
        for _ in range(600 if m.full_disk else 0):  # a probe started sooner would start the server outside
            if any(comm.startswith(b"wineserver") for comm in map(process_name, prefix_processes(self.prefix))):
                break
            time.sleep(0.1)
        return self.processes[-1]

    def read(self, windows_path):
        with contextlib.suppress(FileNotFoundError, IsADirectoryError, NotADirectoryError), \
                open(self.path(windows_path), "rb") as f:
            return f.read()

    def snapshot(self):
        """Every file under C: with its size and modification time, to see what a run wrote."""
        drive, found = os.path.join(self.prefix, "drive_c"), {}
        for root, _, names in os.walk(drive):
            for name in names:
                with contextlib.suppress(FileNotFoundError):
                    st = os.lstat(os.path.join(root, name))
                    found[os.path.relpath(os.path.join(root, name), drive)] = (st.st_size, st.st_mtime_ns)
        return found
