#!/usr/bin/env python3
"""Plants seeded faults one at a time in src/ (outside src/platform), rebuilds,
runs the fast suite and reports the share it caught.

Faults: comparison and arithmetic operators flipped, && and || swapped,
constants moved by one, true and false swapped, conditions negated, plain
statements removed. Lines that only log, name an error or draw the debug
overlay are left alone: nothing a player or a test sees depends on them.
"""
import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
AREAS = ["src/engine", "src/services", "src/shell", "src/game"]
SKIP_LINE = re.compile(r'^\s*(#|//|\*|/\*)|\blog\(|fatalError|showError|debugLevel|"')

# Each kind: (name, pattern, replacement or function).
SWAPS = [
    ("<= to <", r"(?<=\s)<=(?=\s)", "<"),
    ("< to <=", r"(?<=\s)<(?=\s)", "<="),
    (">= to >", r"(?<=\s)>=(?=\s)", ">"),
    ("> to >=", r"(?<=\s)>(?=\s)", ">="),
    ("== to !=", r"(?<=\s)==(?=\s)", "!="),
    ("!= to ==", r"(?<=\s)!=(?=\s)", "=="),
    ("+ to -", r"(?<=\s)\+(?=\s)", "-"),
    ("- to +", r"(?<=\s)-(?=\s)", "+"),
    ("* to /", r"(?<=\s)\*(?=\s)", "/"),
    ("/ to *", r"(?<=\s)/(?=\s)", "*"),
    ("+= to -=", r"(?<=\s)\+=(?=\s)", "-="),
    ("-= to +=", r"(?<=\s)-=(?=\s)", "+="),
    ("&& to ||", r"(?<=\s)&&(?=\s)", "||"),
    ("|| to &&", r"(?<=\s)\|\|(?=\s)", "&&"),
    ("true to false", r"\btrue\b", "false"),
    ("false to true", r"\bfalse\b", "true"),
]
NUMBER = re.compile(r"(?<![\w.])(\d+)(\.\d+)?(?![\w.])")
CONDITION = re.compile(r"\b(if|while) \((.*)\)(\s*\{?\s*|\s+[^{;]*;\s*)$")
STATEMENT = re.compile(r"^\s+[\w>\-\[\]\.\(\)]+(\(.*\)|\s*[-+*/]?=\s*.+|\+\+|--);\s*$")
DECLARATION = re.compile(r"^\s*(const\s+)?(auto|int\w*|uint\w*|double|float|bool|char|size_t|std::|[A-Z]\w*\s*[*&]?\s+\w+\s*[=({;])")


def candidates():
    sites = []
    for area in AREAS:
        for name in sorted(os.listdir(os.path.join(ROOT, area))):
            if not name.endswith((".cpp", ".h")):
                continue
            rel = os.path.join(area, name)
            with open(os.path.join(ROOT, rel)) as f:
                lines = f.read().split("\n")
            depth = 0
            for i, line in enumerate(lines):
                # The debug overlay's block: never drawn in the game.
                if depth > 0 or "if (debugLevel" in line:
                    depth += line.count("{") - line.count("}")
                    continue
                if SKIP_LINE.search(line) or not line.strip():
                    continue
                for kind, pattern, repl in SWAPS:
                    for m in re.finditer(pattern, line):
                        sites.append((rel, i, kind, m.start(), m.end(), repl))
                for m in NUMBER.finditer(line):
                    whole = m.group(0)
                    if m.group(2):
                        moved = str(float(whole) + 1.0)
                    else:
                        moved = str(int(m.group(1)) + 1)
                    sites.append((rel, i, "constant %s to %s" % (whole, moved), m.start(), m.end(), moved))
                c = CONDITION.search(line)
                if c:
                    start, end = c.start(2), c.end(2)
                    sites.append((rel, i, "condition negated", start, end, "!(" + c.group(2) + ")"))
                if STATEMENT.match(line) and not DECLARATION.match(line) and "return" not in line:
                    sites.append((rel, i, "statement removed", 0, len(line), ""))
    return sites


def run(cmd, timeout, log):
    start = time.time()
    proc = subprocess.Popen(cmd, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        return proc.wait(timeout=timeout), time.time() - start
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
        return None, time.time() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("count", type=int)
    parser.add_argument("seed", type=int)
    parser.add_argument("--build", default=os.path.join(ROOT, "build-mutants"))
    parser.add_argument("--only", default="", help="plant only in paths containing this text")
    args = parser.parse_args()

    sites = [s for s in candidates() if args.only in s[0]]
    rng = random.Random(args.seed)
    chosen = rng.sample(sites, min(args.count, len(sites)))
    build = args.build
    jobs = str(os.cpu_count() or 2)
    log = open(os.path.join(ROOT, "mutants.log"), "w")
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        subprocess.check_call(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                               "-DKESTOVA_BENCH=OFF"], stdout=log, stderr=subprocess.STDOUT)
    target = ["cmake", "--build", build, "-j" + jobs, "--target", "kestova_tests", "kestova_data", "kvpack"]
    if subprocess.call(target, stdout=log, stderr=subprocess.STDOUT) != 0:
        sys.exit("the unchanged tree does not build; see mutants.log")
    fast = [os.path.join(build, "tests", "kestova_tests"), "--gtest_filter=-LongRun*",
            "--gtest_brief=1", "--gtest_fail_fast"]
    code, baseline = run(fast, 600, log)
    if code != 0:
        sys.exit("the fast suite fails without any planted fault; see mutants.log")
    limit = max(60.0, baseline * 4)

    caught = survived = broken = 0
    survivors = []
    for n, (rel, i, kind, start, end, repl) in enumerate(chosen, 1):
        path = os.path.join(ROOT, rel)
        with open(path) as f:
            original = f.read()
        lines = original.split("\n")
        lines[i] = lines[i][:start] + repl + lines[i][end:]
        where = "%s:%d" % (rel, i + 1)
        try:
            with open(path, "w") as f:
                f.write("\n".join(lines))
            print("[%d/%d] %s  %s" % (n, len(chosen), where, kind), end="", flush=True)
            log.write("\n=== %s %s\n" % (where, kind))
            log.flush()
            if subprocess.call(target, stdout=log, stderr=subprocess.STDOUT) != 0:
                broken += 1
                print(": does not compile")
                continue
            code, _ = run(fast, limit, log)
            if code == 0:
                survived += 1
                survivors.append("%s  %s" % (where, kind))
                print(": SURVIVED")
            else:
                caught += 1
                print(": caught" + (" (hang)" if code is None else ""))
        finally:
            with open(path, "w") as f:
                f.write(original)
    subprocess.call(target, stdout=log, stderr=subprocess.STDOUT)
    compiled = caught + survived
    share = 100.0 * caught / compiled if compiled else 0.0
    print("\n%d planted, %d did not compile; the fast suite caught %d of %d (%.1f %%)"
          % (len(chosen), broken, caught, compiled, share))
    for s in survivors:
        print("  survivor: " + s)


if __name__ == "__main__":
    main()
