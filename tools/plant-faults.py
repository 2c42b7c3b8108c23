#!/usr/bin/env python3
"""Plants faults in the product code one at a time and says whether the tests catch each.

    tools/plant-faults.py                 every fault in tools/faults.txt
    tools/plant-faults.py ID [ID ...]     only these
    tools/plant-faults.py --list          the faults, one line each

A fault replaces one exact piece of text in one file (it must occur exactly once). In the
preset the fault names, the executables of the tests its regular expression selects are built
(with the programs they start, on which their targets depend), those tests run (ctest -R),
and the fault counts as caught when any of them fails; they must first pass without it. The
file is put back however the run ends. Pure logic is quick in the native build; the rest runs
under Wine in the x64 build. Run tools/test.sh (or at least build both presets) once before,
so that both build trees and their test lists exist.

tools/faults.txt holds one block per fault, separated by blank lines:
    id: float-element-size
    file: runtime/abi/value_cell.cpp
    find: ...exact text...
    replace: ...text...
    build: native | x64
    tests: ctest regular expression
"""
import json
import os
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FIELDS = ("id", "file", "find", "replace", "build", "tests")


def unescape(text):
    # Only these three, so that any other character (Chinese text among them) stays as written.
    out, i = [], 0
    while i < len(text):
        pair = text[i:i + 2]
        if pair in ("\\n", "\\t", "\\\\"):
            out.append({"\\n": "\n", "\\t": "\t", "\\\\": "\\"}[pair])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def read_faults(path):
    faults, block = [], {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if block:
                faults.append(block)
                block = {}
            continue
        key, _, value = line.partition(": ")
        if key not in FIELDS:
            sys.exit(f"{path}:{number}: unknown field {key!r}")
        # Escapes let a fault span lines or carry a tab: \n, \t and \\.
        block[key] = unescape(value) if key in ("find", "replace") else value
    if block:
        faults.append(block)
    for fault in faults:
        missing = [f for f in FIELDS if f not in fault]
        if missing:
            sys.exit(f"fault {fault.get('id', '?')}: missing {', '.join(missing)}")
        if fault["build"] not in ("native", "x64"):
            sys.exit(f"fault {fault['id']}: build must be native or x64")
    return faults


def run(command, **kwargs):
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)


def run_tests(fault):
    if fault["build"] == "native":
        return run(["ctest", "--preset", "native", "-j", "2", "-R", fault["tests"]]).returncode
    env = dict(os.environ, WINEPREFIX=str(ROOT / "build/wine-prefix"), WINEDEBUG="-all", KX_FORCE_XVFB="1")
    # The first Wine process starts the prefix's services, which keep its output open: start
    # one with its output going nowhere, or a test executable's listing never ends.
    script = (f"wineserver -p 60; tools/wine-run.sh build/x64/tests/runtime/abi_tests.exe --gtest_list_tests "
              f">/dev/null 2>&1; ctest --preset x64 -j 2 -R '{fault['tests']}'; rc=$?; wineserver -k; exit $rc")
    return run(["tools/with-display.sh", "bash", "-c", script], env=env).returncode


def build_command(fault):
    """Builds only the executables of the fault's tests (their targets depend on the programs
    they start): a whole x64 build relinks every test executable, which takes minutes."""
    command = ["cmake", "--build", "--preset", fault["build"]]
    if fault["build"] != "x64":
        return command
    listing = subprocess.run(["ctest", "--preset", "x64", "-N", "--show-only=json-v1", "-R", fault["tests"]],
                             cwd=ROOT, capture_output=True, text=True)
    try:
        tests = json.loads(listing.stdout)["tests"]
    except (ValueError, KeyError):
        return command
    programs = {Path(arg).stem for test in tests for arg in test.get("command", []) if arg.endswith(".exe")}
    if not programs:
        return command
    return command + ["--target", *sorted(programs)]


def plant(fault):
    path = ROOT / fault["file"]
    original = path.read_text(encoding="utf-8")
    count = original.count(fault["find"])
    if count != 1:
        return f"not planted (the text occurs {count} times)"
    try:
        path.write_text(original.replace(fault["find"], fault["replace"]), encoding="utf-8")
        if run(build_command(fault)).returncode != 0:
            return "not planted (does not build)"
        return "caught" if run_tests(fault) != 0 else "MISSED"
    finally:
        path.write_text(original, encoding="utf-8")


def main(arguments):
    faults = read_faults(ROOT / "tools/faults.txt")
    if arguments == ["--list"]:
        for fault in faults:
            print(f"{fault['id']:32} {fault['build']:6} {fault['file']}")
        return 0
    if arguments:
        unknown = set(arguments) - {f["id"] for f in faults}
        if unknown:
            sys.exit(f"no such fault: {', '.join(sorted(unknown))}")
        faults = [f for f in faults if f["id"] in arguments]
    # The tests a fault names must pass without it, or a failure would count as a catch.
    for preset in sorted({f["build"] for f in faults}):
        if run(["cmake", "--build", "--preset", preset]).returncode != 0:
            sys.exit(f"the {preset} build fails without any fault")
    passing = {}
    missed = 0
    for fault in faults:
        key = (fault["build"], fault["tests"])
        if key not in passing:
            # Built again first: the executables may still hold the fault planted before.
            passing[key] = run(build_command(fault)).returncode == 0 and run_tests(fault) == 0
        verdict = plant(fault) if passing[key] else "not judged (its tests fail without it)"
        missed += verdict != "caught"
        print(f"{fault['id']:32} {verdict}", flush=True)
    # Build once more so the trees hold the real code again.
    for preset in sorted({f["build"] for f in faults}):
        run(["cmake", "--build", "--preset", preset])
    print(f"{len(faults) - missed} caught, {missed} not caught")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
