"""A real CUPS printer whose pages arrive as PDF files (cups-pdf), for the
printing scenarios: started with the scenarios and stopped after them."""
import glob
import os
import pwd
import shutil
import subprocess
import time

import harness

PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
PRINTERS = {300: "CardPDF", 600: "CardPDF600"}


def scheduler_running():
    result = subprocess.run(["lpstat", "-r"], stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=30)
    return result.stdout.strip() == "scheduler is running"


def _run(*args, check=True):
    return subprocess.run(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          check=check, timeout=60).returncode


class Printer:
    """cupsd with two cups-pdf queues, 300 and 600 DPI."""

    def __init__(self):
        self.cupsd = None

    def why_unavailable(self):
        for tool in ("cupsd", "lpadmin", "lpoptions", "pdftoppm"):
            if shutil.which(tool) is None:
                return f"{tool} is not installed"
        if not os.path.exists(PPD):
            return "the cups-pdf driver is not installed"
        if os.geteuid() != 0:
            return "starting cupsd needs root"
        return None

    def start(self):
        if not scheduler_running():  # ours to start and to stop
            self.cupsd = subprocess.Popen(["cupsd", "-f"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)
            if not harness.wait_until(scheduler_running, timeout=30):
                raise RuntimeError("cupsd did not start")
        for dpi, name in PRINTERS.items():
            _run("lpadmin", "-p", name, "-E", "-v", "cups-pdf:/", "-P", PPD, "-o", f"Resolution={dpi}dpi")
        self.use(300)

    def stop(self):
        for name in PRINTERS.values():
            _run("lpadmin", "-x", name, check=False)
        if self.cupsd:
            self.cupsd.terminate()
            self.cupsd.wait(30)

    def use(self, dpi):
        """Makes the queue of that resolution the default printer."""
        _run("lpoptions", "-d", PRINTERS[dpi])

    @staticmethod
    def output_folder():
        # cups-pdf writes into the PDF folder of the job's owner: this user.
        return os.path.join(pwd.getpwuid(os.getuid()).pw_dir, "PDF")

    def jobs(self):
        return set(glob.glob(os.path.join(self.output_folder(), "Velopass*.pdf")))

    def wait_for_job(self, before, timeout=60):
        """The PDF of a job that arrived after `before` was taken, once complete."""
        new = harness.wait_until(lambda: self.jobs() - before, timeout=timeout)
        if not new:
            return None
        path = new.pop()
        # cups-pdf writes the file in place: wait until its size settles.
        size = -1
        while size != os.path.getsize(path):
            size = os.path.getsize(path)
            time.sleep(1)
        return path


def rasterise(pdf, dpi, workdir):
    """The PDF's first page as an Image at `dpi`."""
    prefix = os.path.join(workdir, "page")
    subprocess.run(["pdftoppm", "-r", str(dpi), "-f", "1", "-l", "1", pdf, prefix], check=True, timeout=120)
    page = glob.glob(prefix + "*.ppm")[0]
    return harness.Image.from_ppm(page)
