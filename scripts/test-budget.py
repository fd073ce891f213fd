#!/usr/bin/env python3
"""The tests' share of the code: non-blank lines of the tracked source files under tests/ (the probe and the
harness among them; the fuzz corpus and the reviewed reference pictures and states, which are data, not) against
those of src/, scripts/, packaging/, cmake/, CMakeLists.txt, .ci/ and the generators in resources/. It fails
above 40%: a test earns its lines by catching a fault.

    python3 scripts/test-budget.py [SOURCE-DIR]
"""
import os
import subprocess
import sys

CODE = ("src/", "scripts/", "packaging/", "cmake/", "CMakeLists.txt", ".ci/")
LIMIT = 0.40


def lines(root, names):
    total = 0
    for name in names:
        with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
            total += sum(1 for line in f if line.strip())
    return total


def main(root):
    tracked = subprocess.run(["git", "-C", root, "ls-files"], capture_output=True, text=True, check=True).stdout
    names = tracked.splitlines()
    tests = lines(root, [n for n in names if n.startswith("tests/") and not ("/corpus/" in n or "/reference/" in n)])
    code = lines(root, [n for n in names if n.startswith(CODE) or (n.startswith("resources/") and n.endswith(".py"))])
    print(f"tests: {tests} lines against {code} of code, {tests / code:.1%} (at most {LIMIT:.0%})")
    return 0 if tests <= LIMIT * code else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")))
