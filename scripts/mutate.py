#!/usr/bin/env python3
"""Mutation testing of src/: small faults by standard operators (a comparison flipped or moved by one, a condition
negated, a call statement dropped, two arguments swapped, an integer constant changed), each built in a scratch copy
of the tree and run against the Windows-side suite: stillborn (no build), equivalent (both programs byte for byte as
before), killed (a test fails twice in a row: the likeliest entries first, by folder, then every entry but the
reproducibility check) or survived. Mutants run in groups: a group that fails is split in two.

    scripts/mutate.py list [--under src/card ...]          every mutant, by id
    scripts/mutate.py show ID... | apply ID... --tree DIR
    scripts/mutate.py run [--seed 1] [--count 60] [--group 4] [--work DIR] [ID...]
"""
import argparse
import random
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
UNDER = ["src/app", "src/card", "src/machine", "src/present", "src/text"]
PROGRAMS = ["Velopass.exe", "VelopassSetup.dll"]
LIKELIEST = {"src/app": "win|e2e.language", "src/card": "e2e.presentation|e2e.machine|e2e.shipping",
             "src/machine": "win|e2e.machine|e2e.bad_input", "src/present": "win|e2e.presentation|e2e.printing",
             "src/text": "win|e2e.language|e2e.bad_input", "src/win": "e2e.shipping|e2e.presentation",
             "src/setup": "e2e.packages"}
SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
COMPARISON = re.compile(r"(?<= )(<=|>=|==|!=|<|>)(?= )")
CONDITION = re.compile(r"\b(?:if|while) \(")
CALL_STATEMENT = re.compile(r"^\s*(?:::)?[A-Za-z_][\w:.>-]*\(.*\);\s*$")
TWO_ARGUMENTS = re.compile(r"\b[A-Za-z_]\w*\(([^(),]+), ([^(),]+)(?=[,)])")  # the first two, when plain
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)(?=[uUlL]*(?![\w.]))")
SKIPPED = re.compile(r"^\s*#.*?$|//.*?$|/\*.*?\*/|\"(?:\\.|[^\"\\\n])*\"|'(?:\\.|[^'\\\n])*'", re.S | re.M)


def line_mutants(line, code):
    """(operator, start, end, replacement) for each mutant of a line; `code` is the line with comments, literals
    and preprocessor lines blanked."""
    for m in COMPARISON.finditer(code):
        yield "comparison", m.start(), m.end(), SWAPS[m.group()]
    for m in CONDITION.finditer(code):
        depth = 0
        for close in range(m.end() - 1, len(code)):
            depth += {"(": 1, ")": -1}.get(code[close], 0)
            if depth == 0:
                yield "negation", m.end(), close, f"!({line[m.end():close]})"
                break
    if CALL_STATEMENT.match(code):
        yield "call dropped", len(line) - len(line.lstrip()), len(line.rstrip()), ";"
    for m in TWO_ARGUMENTS.finditer(code):
        if m.group(1).strip() != m.group(2).strip():
            yield "arguments swapped", m.start(1), m.end(2), f"{line[m.start(2):m.end(2)]}, {line[m.start(1):m.end(1)]}"
    for m in NUMBER.finditer(code):
        value = int(m.group(), 16 if m.group()[1:2] in "xX" else 10)
        yield "constant", m.start(), m.end(), str(1 if value == 0 else 0 if value == 1 else value + 1)


def mutants(under):
    """Every mutant of the C++ files under the folders, in a fixed order: (file, line number, operator, start, end,
    replacement); its index in this list is its id."""
    found = []
    for path in sorted(p for folder in under for p in (ROOT / folder).rglob("*") if p.suffix in (".cpp", ".h")):
        text = path.read_text("utf-8")
        code = SKIPPED.sub(lambda m: re.sub(r"[^\n]", " ", m.group()), text).splitlines()
        for number, (line, blanked) in enumerate(zip(text.splitlines(), code), 1):
            found += [(str(path.relative_to(ROOT)), number, *m) for m in line_mutants(line, blanked)]
    return found


def write_mutated(tree, group):
    """Writes the group's mutants (one a line) into the tree's files."""
    texts = {}
    for file, number, _, start, end, replacement in group:
        lines = texts.setdefault(file, (tree / file).read_text("utf-8").splitlines(keepends=True))
        lines[number - 1] = lines[number - 1][:start] + replacement + lines[number - 1][end:]
    for file, lines in texts.items():
        (tree / file).write_text("".join(lines), "utf-8")


def describe(mutant_id, m):
    line = (ROOT / m[0]).read_text("utf-8").splitlines()[m[1] - 1]
    return f"#{mutant_id} {m[0]}:{m[1]} {m[2]}: {line[m[3]:m[4]].strip()!r} -> {m[5].strip()!r}"


class Scratch:
    """A copy of the tracked files with its own windows build, kept between runs so that builds are incremental."""

    def __init__(self, work):
        self.tree, self.log = work / "tree", open(work / "log.txt", "a")
        for name in subprocess.run(["git", "ls-files"], cwd=ROOT, capture_output=True, text=True).stdout.splitlines():
            source, target = ROOT / name, self.tree / name
            if source.is_file() and (not target.exists() or target.read_bytes() != source.read_bytes()):
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copy2(source, target)
        self.run("cmake", "--preset", "windows")
        assert self.build(), "the unmutated tree does not build"
        self.programs = self.built()

    def run(self, *command):
        return subprocess.run(command, cwd=self.tree, stdout=self.log, stderr=subprocess.STDOUT).returncode

    def build(self):
        return self.run("cmake", "--build", "--preset", "windows", "-j2") == 0

    def built(self):
        return [(self.tree / "build" / "windows" / name).read_bytes() for name in PROGRAMS]

    def apply(self, group):
        """Builds the tree with the group applied: "stillborn", "equivalent", or None (built, another program)."""
        originals = {file: (self.tree / file).read_text("utf-8") for file, *_ in group}
        try:
            write_mutated(self.tree, group)
            return "stillborn" if not self.build() else "equivalent" if self.built() == self.programs else None
        finally:
            for file, text in originals.items():
                (self.tree / file).write_text(text, "utf-8")

    def failing_test(self, group):
        """Builds the group and runs the suite, the likeliest entries first: a test that fails twice, or None."""
        if self.apply(group):
            return "(the group does not build)"
        likely = "|".join(dict.fromkeys(v for m in group for k, v in LIKELIEST.items() if m[0].startswith(k)))
        for selection in ([f"^({likely})"] if likely else []) + [[]]:
            self.run("ctest", "--preset", "windows", "-E", "^release\\.", *(["-R", selection] if selection else []))
            failed = self.tree / "build/windows/Testing/Temporary/LastTestsFailed.log"
            for test in [line.split(":", 1)[1] for line in failed.read_text().split()] if failed.exists() else []:
                if self.run("ctest", "--preset", "windows", "-R", f"^{re.escape(test)}$"):  # not the test's own whim
                    return test
            failed.unlink(missing_ok=True)
        return None


def run(args, every):
    ids = args.ids or sorted(random.Random(args.seed).sample(range(len(every)), min(args.count, len(every))))
    args.work.mkdir(parents=True, exist_ok=True)
    scratch, results, started = Scratch(args.work), {}, time.monotonic()
    for i in ids:  # alone first: those that do not build, or build the same program, leave the sample
        results[i] = scratch.apply([every[i]])
        print(describe(i, every[i]), results[i] or "built", flush=True)
    groups = []
    for i in (i for i in ids if results[i] is None):  # a group's mutants on lines of their own
        free = [g for g in groups if len(g) < args.group and every[i][:2] not in {every[j][:2] for j in g}]
        free[0].append(i) if free else groups.append([i])

    def settle(group):
        began, failing = time.monotonic(), scratch.failing_test([every[i] for i in group])
        print(f"{sorted(group)}: {failing or 'all passed'} ({time.monotonic() - began:.0f} s)", flush=True)
        if failing is None or len(group) == 1:
            results.update({i: f"killed by {failing}" if failing else "survived" for i in group})
        else:
            settle(group[:len(group) // 2])
            settle(group[len(group) // 2:])
    for group in groups:
        settle(group)
    report = [f"{describe(i, every[i])}  {results[i]}" for i in ids]
    killed, survived = (sum(results[i].startswith(s) for i in ids) for s in ("killed", "survived"))
    report.append(f"score: {killed} killed of {killed + survived} ({killed / max(1, killed + survived):.0%}); "
                  f"{len(ids) - killed - survived} stillborn or equivalent; {time.monotonic() - started:.0f} s")
    (args.work / "report.txt").write_text("\n".join(report) + "\n", "utf-8")
    print(*report, sep="\n")
    return 1 if survived else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["list", "show", "apply", "run"])
    parser.add_argument("ids", nargs="*", type=int)
    parser.add_argument("--under", nargs="+", default=UNDER)
    for flag, kind, default in (("--seed", int, 1), ("--count", int, 60), ("--group", int, 4),
                                ("--work", Path, Path("/tmp/velopass-mutants")), ("--tree", Path, None)):
        parser.add_argument(flag, type=kind, default=default)
    args = parser.parse_args()
    every = mutants(args.under)
    if args.command == "run":
        return run(args, every)
    if args.command == "apply":
        if not args.tree or args.tree.resolve() == ROOT:
            parser.error("apply writes into a copy of the tree (--tree DIR), never into this checkout")
        write_mutated(args.tree, [every[i] for i in args.ids])
    for i in args.ids if args.command != "list" else range(len(every)):
        print(describe(i, every[i]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
