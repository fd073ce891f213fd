"""Checks that this toolchain rebuilds a release byte for byte: builds one commit (the working tree, uncommitted changes
too) twice, in two folders in turn, and compares program, text file, pictures, zip and MSI. Run by CI, or by hand.

    python3 scripts/check-reproducible.py [SOURCE-DIR]
"""
import filecmp
import os
import subprocess
import sys
import tempfile


def build(source, commit, folder):
    """Exports the commit, builds the program, its text file and the MSI's custom action, and packages them unsigned."""
    src, out = os.path.join(folder, "source"), os.path.join(folder, "build")
    os.makedirs(src)
    archive = subprocess.run(["git", "-C", source, "archive", commit], check=True, capture_output=True).stdout
    subprocess.run(["tar", "-x", "-C", src], check=True, input=archive)
    env = {k: v for k, v in os.environ.items() if not k.startswith(("VELOPASS_SIGN_", "SOURCE_DATE_EPOCH"))}
    for step in (["cmake", "--preset", "windows", "-B", out, "-DBUILD_TESTING=OFF"],
                 ["cmake", "--build", out, "--target", "Velopass", "VelopassSetup", "text_file", "-j2"],
                 [sys.executable, "packaging/make_packages.py", out, "1.0.0", os.path.join(out, "packages")]):
        subprocess.run(step, cwd=src, env=env, check=True, stdout=subprocess.DEVNULL)
    return out


def main(source):
    stash = subprocess.run(["git", "-C", source, "stash", "create"], capture_output=True, text=True)
    if stash.returncode:
        return print("SKIP: the source is not a git checkout") or 77
    with tempfile.TemporaryDirectory(prefix="vp-repro-") as work:
        first, second = (build(source, stash.stdout.strip() or "HEAD", os.path.join(work, f)) for f in ("a", "bb"))
        names = ["Velopass.exe", "VelopassSetup.dll", "Velopass.ini", "packages/Velopass-1.0.0.zip",
                 "packages/Velopass-1.0.0.msi", *(os.path.join("PIC", n) for n in sorted(os.listdir(f"{first}/PIC")))]
        _, differ, missing = filecmp.cmpfiles(first, second, names, shallow=False)
        for name in differ + missing:
            print(f"FAIL: {name} differs between the two builds")
        return 1 if differ or missing else print(f"{len(names)} files identical in both builds") or 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) == 2 else os.path.join(os.path.dirname(__file__), "..")))
