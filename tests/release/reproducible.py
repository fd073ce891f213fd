"""Two builds of one commit, in two folders and one after the other, give the
same program, text file, pictures, zip and MSI.

    python3 tests/release/reproducible.py SOURCE-DIR
"""
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def git(source, *args):
    return subprocess.run(["git", "-C", source, *args], check=True, capture_output=True, text=True).stdout.strip()


def build(source, commit, folder):
    """Exports the commit, builds only the program and its text file, and packages them unsigned."""
    src, out = os.path.join(folder, "source"), os.path.join(folder, "build")
    os.makedirs(src)
    archive = subprocess.run(["git", "-C", source, "archive", commit], check=True, capture_output=True).stdout
    subprocess.run(["tar", "-x", "-C", src], input=archive, check=True)
    env = {k: v for k, v in os.environ.items() if not k.startswith(("VELOPASS_SIGN_", "SOURCE_DATE_EPOCH"))}
    for step in (["cmake", "--preset", "windows", "-B", out, "-DBUILD_TESTING=OFF"],
                 ["cmake", "--build", out, "--target", "Velopass", "text_file", "-j2"],
                 [sys.executable, os.path.join(src, "packaging", "make_packages.py"), out, "1.0.0",
                  os.path.join(out, "packages")]):
        subprocess.run(step, cwd=src, env=env, check=True, stdout=subprocess.DEVNULL)
    return out


def main(source):
    if shutil.which("git") is None or subprocess.run(["git", "-C", source, "rev-parse"],
                                                      capture_output=True).returncode != 0:
        print("SKIP: the source is not a git checkout")
        return SKIP
    # The working tree as a commit, so uncommitted changes are built too.
    commit = git(source, "stash", "create") or "HEAD"
    with tempfile.TemporaryDirectory(prefix="vp-repro-") as work:
        first = build(source, commit, os.path.join(work, "first"))
        second = build(source, commit, os.path.join(work, "second-folder"))
        names = ["Velopass.exe", "Velopass.ini", "packages/Velopass-1.0.0.zip", "packages/Velopass-1.0.0.msi"]
        names += [os.path.join("PIC", n) for n in sorted(os.listdir(os.path.join(first, "PIC")))]
        _, differ, missing = filecmp.cmpfiles(first, second, names, shallow=False)
        for name in differ + missing:
            print(f"FAIL: {name} differs between the two builds")
        if not differ and not missing:
            print(f"{len(names)} files identical in both builds")
        return 1 if differ or missing else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
