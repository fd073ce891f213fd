"""A real CUPS printer whose pages arrive as PDF files (cups-pdf), for the
printing scenarios: started with the scenarios and stopped after them."""
import glob
import os
import pwd
import shutil
import subprocess
import tempfile
import time

import harness

PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
# The second queue's dots are not square, so a vertical length computed with
# the horizontal resolution shows on paper.
QUEUES = {"300": ("CardPDF", "300dpi"), "600x1200": ("CardPDF600", "600x1200dpi")}
TALL = '*Resolution 600x1200dpi/600x1200 DPI: "<</HWResolution[600 1200]>>setpagedevice"\n'


def run(*args, check=True):
    return subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, text=True, check=check, timeout=60)


class Printer:
    def why_unavailable(self):
        missing = [tool for tool in ("cupsd", "lpadmin", "lpoptions", "pdftoppm") if shutil.which(tool) is None]
        return (missing and f"{missing[0]} is not installed" or not os.path.exists(PPD) and "no cups-pdf driver"
                or os.geteuid() != 0 and "starting cupsd needs root" or None)

    def start(self):
        self.cupsd, self.folder = None, tempfile.mkdtemp(prefix="vp-ppd-")
        running = lambda: run("lpstat", "-r", check=False).stdout.strip() == "scheduler is running"  # noqa: E731
        if not running():  # ours to start and stop
            self.cupsd = subprocess.Popen(["cupsd", "-f"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)
            harness.wait_until(running, timeout=30)
        with open(PPD) as f:
            ppd = f.read().replace("*CloseUI: *Resolution", TALL + "*CloseUI: *Resolution")
        with open(os.path.join(self.folder, "card.ppd"), "w") as f:
            f.write(ppd)
        for name, resolution in QUEUES.values():
            run("lpadmin", "-p", name, "-E", "-v", "cups-pdf:/", "-P", f.name, "-o", f"Resolution={resolution}")

    def stop(self):
        for name, _ in QUEUES.values():
            run("lpadmin", "-x", name, check=False)
        if self.cupsd:
            self.cupsd.terminate()
            self.cupsd.wait(30)
        shutil.rmtree(self.folder, ignore_errors=True)

    def print(self, start_job, dpi, timeout=60):
        """Makes that queue the default, runs start_job(), and returns the PDF that arrives
        in cups-pdf's folder of this user, once complete (None when none does)."""
        run("lpoptions", "-d", QUEUES[dpi][0])
        jobs = lambda: set(glob.glob(os.path.join(pwd.getpwuid(os.getuid()).pw_dir, "PDF", "Velopass*.pdf")))  # noqa: E731
        before = jobs()
        start_job()
        new = harness.wait_until(lambda: jobs() - before, timeout=timeout)
        if not new:
            return None
        path, size = new.pop(), -1
        while size != os.path.getsize(path):  # cups-pdf writes the file in place
            size = os.path.getsize(path)
            time.sleep(1)
        return path
