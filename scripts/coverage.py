#!/usr/bin/env python3
"""Which lines and branches of src/ no test runs: the whole Windows-side suite run under Wine against the coverage
build (mingw-w64 GCC's --coverage; the portable core's unit suites run there too), then each file's line and branch
coverage and every line or branch no test ran but those tests/coverage-exclusions.txt lists with a reason. Exits 1
when a test failed or anything else is uncovered; an exclusion that names no uncovered line is reported too.

    scripts/coverage.py [CTEST ARGUMENTS...]   e.g. -R e2e.machine while iterating
    scripts/coverage.py --report               the counts of the last run, again
"""
import json
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "coverage"
EXCLUSIONS = ROOT / "tests" / "coverage-exclusions.txt"
# The branches GCC makes for each call's exception edge and those on lines without code of their own (a closing
# brace's destructor calls) are the compiler's, not decisions of the program: left out. gcov marks an exception
# edge only where its function ran, so a header's are told apart once the files' counts are summed, not before
# (gcovr's --exclude-throw-branches would keep them where one file's copy never ran).
GCOVR = ["gcovr", "--gcov-executable", "x86_64-w64-mingw32-gcov-posix", "--root", str(ROOT), "--filter", "src/",
         "--exclude-unreachable-branches", "--json", "-", str(BUILD / "CMakeFiles")]


def run_suite(ctest_args):
    subprocess.run([ROOT / "scripts" / "install-deps.sh", "--coverage"], check=True)
    subprocess.run(["cmake", "--preset", "coverage"], cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", "coverage", "-j2"], cwd=ROOT, check=True)
    for old in BUILD.rglob("*.gcda"):  # counts add up over runs: start from none
        old.unlink()
    return subprocess.run(["ctest", "--preset", "coverage", *ctest_args], cwd=ROOT).returncode


def exclusions():
    """{(path, line): reason} from lines "path:line  reason"; # starts a comment."""
    rows = (re.fullmatch(r"(\S+):(\d+)\s+(.+)", text) for text in EXCLUSIONS.read_text("utf-8").splitlines()
            if text.strip() and not text.startswith("#"))
    return {(row[1], int(row[2])): row[3] for row in rows}


def main(args):
    status = 0 if args == ["--report"] else run_suite(args)
    report = json.loads(subprocess.run(GCOVR, cwd=ROOT, capture_output=True, text=True, check=True).stdout)
    excluded, uncovered = exclusions(), []
    print(f"{'file':40} {'lines':>13} {'branches':>13}")
    for entry in sorted(report["files"], key=lambda f: f["file"]):
        path, totals = entry["file"], [0, 0, 0, 0]  # lines run, lines, branches taken, branches
        for line in (line for line in entry["lines"] if not line["gcovr/noncode"]):
            branches = [b["count"] for b in line["branches"] if not b["throw"]]
            taken = sum(count > 0 for count in branches)
            totals = [a + b for a, b in zip(totals, (line["count"] > 0, 1, taken, len(branches)))]
            if (line["count"] == 0 or taken < len(branches)) and not excluded.pop((path, line["line_number"]), None):
                uncovered.append((path, line, taken, len(branches)))
        print(f"{path:40} {column(*totals[:2])} {column(*totals[2:])}")
    for path, line, taken, branches in uncovered:
        source = (ROOT / path).read_text("utf-8").splitlines()[line["line_number"] - 1].strip()
        what = "never run" if line["count"] == 0 else f"{branches - taken} of {branches} branches never taken"
        print(f"{path}:{line['line_number']}  {what}: {source}")
    for (path, line), reason in excluded.items():
        print(f"{path}:{line}  excluded ({reason}), but no uncovered line there")
    print(f"{len(uncovered)} lines not covered, {len(exclusions())} excluded")
    return 1 if status or uncovered or excluded else 0


def column(part, whole):
    return f"{part:5}/{whole:<4} " + (f"{100 * part / whole:5.1f}%" if whole else "    -")


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
