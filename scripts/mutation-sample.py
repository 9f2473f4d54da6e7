#!/usr/bin/env python3
"""Measures what the test suite catches: applies deliberate single-point faults
("mutants") to the shipped code one at a time, builds, runs the suite and
records which test programs fail on each. Not run by CI: a full sample takes
30 to 50 minutes on two cores.

    scripts/mutation-sample.py [--mutants FILE] [--build DIR] [--only ID,...] [--tests REGEX] [--report FILE]

The mutants file (default scripts/mutants.tsv) has one mutant a line, four
tab-separated fields: an id, the file, the exact text to replace (it must occur
exactly once in the file) and the text put in its place. "\\n" and "\\t" in the
two texts stand for a line break and a tab; lines starting with "#" are
comments. The file is restored after every mutant, also when the run is
interrupted.
"""

import argparse
import os
import pathlib
import subprocess
import sys
import time

TOP = pathlib.Path(__file__).resolve().parent.parent


def unescape(text):
    return text.replace("\\n", "\n").replace("\\t", "\t")


def read_mutants(path):
    mutants = []
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 4:
            sys.exit(f"{path}:{number}: expected 4 tab-separated fields, got {len(fields)}")
        ident, file, old, new = fields
        mutants.append({"id": ident, "file": file, "old": unescape(old), "new": unescape(new)})
    return mutants


def run(command, **kwargs):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kwargs)


def build(build_dir):
    return run(["cmake", "--build", str(build_dir), f"-j{os.cpu_count()}"]).returncode == 0


def failing_tests(build_dir, timeout, tests):
    """Runs CTest (the tests matching the regular expression tests) and returns the names of those that failed."""
    # CTest leaves the list of an earlier failing run in place when every test passes.
    log = build_dir / "Testing" / "Temporary" / "LastTestsFailed.log"
    log.unlink(missing_ok=True)
    run(["ctest", "-j", str(os.cpu_count()), "--timeout", str(timeout), "-R", tests], cwd=build_dir)
    if not log.exists():
        return []
    return sorted(line.split(":", 1)[1] for line in log.read_text().splitlines() if ":" in line)


def apply(mutant):
    path = TOP / mutant["file"]
    original = path.read_text()
    count = original.count(mutant["old"])
    if count != 1:
        raise ValueError(f"{mutant['id']}: the text to replace occurs {count} times in {mutant['file']}")
    path.write_text(original.replace(mutant["old"], mutant["new"]))
    return path, original


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--mutants", type=pathlib.Path, default=TOP / "scripts" / "mutants.tsv")
    parser.add_argument("--build", type=pathlib.Path, default=TOP / "build-mutation")
    parser.add_argument("--only", default="", help="comma-separated mutant ids")
    parser.add_argument("--report", type=pathlib.Path, help="also write the result table to this file")
    parser.add_argument("--tests", default=".", help="only the CTest tests matching this regular expression")
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test program")
    args = parser.parse_args()

    mutants = read_mutants(args.mutants)
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [m for m in mutants if m["id"] in wanted]

    # Warnings stay warnings: a mutant that only adds one is still a fault to catch.
    run(["cmake", "-S", str(TOP), "-B", str(args.build), "-DCMAKE_BUILD_TYPE=Release",
         "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"], check=True)
    if not build(args.build) or failing_tests(args.build, args.timeout, args.tests):
        sys.exit("the unmutated tree does not build or pass its tests")

    rows = []
    for mutant in mutants:
        started = time.monotonic()
        path, original = apply(mutant)
        try:
            killers = failing_tests(args.build, args.timeout, args.tests) if build(args.build) else ["(does not build)"]
        finally:
            path.write_text(original)
        rows.append((mutant["id"], mutant["file"], ", ".join(killers) or "SURVIVED"))
        print(f"{mutant['id']}\t{time.monotonic() - started:.0f} s\t{rows[-1][2]}", flush=True)
    build(args.build)

    # A mutant the compiler rejects says nothing about the tests: it is left out of the score.
    scored = [row for row in rows if row[2] != "(does not build)"]
    caught = sum(1 for row in scored if row[2] != "SURVIVED")
    table = ["| mutant | file | failing tests |", "|---|---|---|"]
    table += [f"| {ident} | {file} | {killers} |" for ident, file, killers in rows]
    table.append(f"\ncaught {caught} of {len(scored)}")
    print("\n".join(table))
    if args.report:
        args.report.write_text("\n".join(table) + "\n")


if __name__ == "__main__":
    main()
