#!/usr/bin/env python3
"""The tests' share of the code: non-blank lines of the tracked source files under tests/ (the probe and the harness
among them; the fuzz corpus, the reviewed references and coverage exclusions, and documents (.md) are data) and of
the plumbing that only builds or runs tests, against those of the rest of src/, scripts/, packaging/, cmake/,
CMakeLists.txt and the generators in resources/. It fails above 40%: a test earns its lines by catching a fault.

    python3 scripts/test-budget.py [SOURCE-DIR]
"""
import os
import subprocess
import sys
from pathlib import Path

CODE = ("src/", "scripts/", "packaging/", "cmake/", "CMakeLists.txt")
PLUMBING = {"cmake/WineTests.cmake", "cmake/Fuzz.cmake", "cmake/Host.cmake", "scripts/test-all.sh",
            "scripts/test-budget.py", "scripts/check-reproducible.py", "scripts/fuzz.sh", ".ci/run",
            "scripts/coverage.py", "cmake/mingw-w64-gcc.cmake"}
DATA = ("/corpus/", "/reference/", "coverage-exclusions.txt", ".md")
LIMIT = 0.40


def lines(root, names):
    texts = (Path(root, name).read_text("utf-8", "replace") for name in names)
    return sum(1 for text in texts for line in text.split("\n") if line.strip())


def main(root):
    names = subprocess.check_output(["git", "-C", root, "ls-files"], text=True).splitlines()
    tests = [n for n in names if n in PLUMBING or (n.startswith("tests/") and not any(d in n for d in DATA))]
    code = [n for n in names if n not in PLUMBING and (n.startswith(CODE) or
                                                      (n.startswith("resources/") and n.endswith(".py")))]
    test_lines, code_lines = lines(root, tests), lines(root, code)
    print(f"tests: {test_lines} lines against {code_lines} of code, {test_lines / code_lines:.1%} "
          f"(at most {LIMIT:.0%})")
    return 0 if test_lines <= LIMIT * code_lines else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")))
