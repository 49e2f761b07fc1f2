#!/usr/bin/env python3
"""Mutation testing of the engine: how many small faults planted in the engine's source do its
tests notice?

Each mutant changes one spot of one file (a comparison flipped, && and || swapped, + and -
swapped, an integer constant moved by one, true and false swapped, an if condition negated, an
expression statement dropped, two adjacent rows of a constant table swapped). The mutant is
written over the file, the test programs that link the file's library are rebuilt, and they run
one after the other, cheapest first, until one fails. A mutant is killed when a test fails,
crashes or runs out of time, survives when every test passes, and does not count when it does
not compile. The file is put back after each mutant, on Ctrl-C too; a run that was killed
outright leaves a copy that the next run puts back before anything else.

Candidates are found by a lexical scan that skips comments, string and character literals,
preprocessor lines and static_asserts. The sample is drawn by source line (a line with several
candidates weighs as much as a line with one, so that number-dense tables do not crowd out the
code), so it depends only on the source files and the seed, never on the tests.

Usage: scripts/mutate.py [--build DIR] [--mutants N] [--seed S] [--folders a,b] [--jobs J] [--list]
The report goes to standard output and to DIR/mutate-report.txt.
"""
import argparse
import fcntl
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from collections import OrderedDict, defaultdict
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
ENGINE_FOLDERS = ["platform", "menulist", "protocol", "serial", "engine", "engine_api", "sim",
                  "console", "server", "equalizer"]
KEYWORDS = {"return", "break", "continue", "throw", "goto", "co_return", "co_yield", "delete",
            "using", "typedef", "case", "default", "static_assert", "else", "do", "if", "for",
            "while", "switch", "new", "sizeof", "namespace", "template", "friend", "operator"}


@dataclass
class Mutant:
    path: str  # relative to the repository root
    line: int  # 0-based first line changed
    op: str
    old: list  # the lines replaced
    new: list  # their replacements

    def where(self):
        return f"{self.path}:{self.line + 1}"

    def folder(self):
        return self.path.split("/")[1]


def mask(text):
    """Returns text with comments blanked and the insides of string and character literals
    replaced by '_', keeping every newline and the length, so that offsets and line numbers stay
    those of the original."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b, fill):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = fill

    def blank_quoted(i, quote):
        """Blanks the literal opening at i up to its closing quote (or the line's end) and
        returns the index after it."""
        j = i + 1
        while j < n and text[j] != quote and text[j] != "\n":
            j += 2 if text[j] == "\\" else 1
        blank(i + 1, j, "_")
        return j + 1

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j, " ")
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j, " ")
            i = j
        elif c == '"':
            raw = re.search(r"(?:^|[^\w])(?:u8|u|U|L)?R$", text[max(0, i - 4):i])
            if raw:
                m = re.match(r'"([^()\\\s]{0,16})\(', text[i:])
                end = text.find(")" + m.group(1) + '"', i) if m else -1
                j = n if end < 0 else end + len(m.group(1)) + 2
                blank(i + 1, j - 1, "_")
                i = j
                continue
            i = blank_quoted(i, '"')
        elif c == "'":
            word = re.search(r"[\w]*$", text[max(0, i - 32):i]).group(0)
            if word and word[0].isdigit():  # a digit separator
                i += 1
                continue
            i = blank_quoted(i, "'")
        else:
            i += 1
    return "".join(out)


def matching_paren(s, start):
    """Returns the index of the bracket closing the one at s[start], or -1."""
    depth = 0
    for k in range(start, len(s)):
        if s[k] in "([{":
            depth += 1
        elif s[k] in ")]}":
            depth -= 1
            if depth == 0:
                return k
    return -1


def balanced(s):
    depth = 0
    for ch in s:
        depth += ch in "([{"
        depth -= ch in ")]}"
        if depth < 0:
            return False
    return depth == 0


def excluded_lines(text, masked):
    """Lines no operator touches: preprocessor lines and static_assert declarations."""
    lines = masked.split("\n")
    skip = set()
    continued = False
    for k, line in enumerate(lines):
        if continued or line.lstrip().startswith("#"):
            skip.add(k)
            continued = line.rstrip().endswith("\\")
    for m in re.finditer(r"\bstatic_assert\s*\(", masked):
        end = matching_paren(masked, m.end() - 1)
        first = masked.count("\n", 0, m.start())
        last = masked.count("\n", 0, end if end >= 0 else len(masked))
        skip.update(range(first, last + 1))
    return skip


def table_lines(text):
    """Lines between clang-format off and on: the constant tables."""
    inside, found = False, set()
    for k, line in enumerate(text.split("\n")):
        if re.search(r"//\s*clang-format off", line):
            inside = True
        elif re.search(r"//\s*clang-format on", line):
            inside = False
        elif inside:
            found.add(k)
    return found


SWAPS = [
    ("cmp", r"(?<=\s)<(?=\s)", "<="), ("cmp", r"(?<=\s)<=(?=\s)", "<"),
    ("cmp", r"(?<=\s)>(?=\s)", ">="), ("cmp", r"(?<=\s)>=(?=\s)", ">"),
    ("cmp", r"(?<![=!<>])==(?!=)", "!="), ("cmp", r"!=", "=="),
    ("logic", r"(?<=\s)&&(?=\s)", "||"), ("logic", r"(?<=\s)\|\|(?=\s)", "&&"),
    ("arith", r"(?<=\s)\+(?=\s)", "-"), ("arith", r"(?<=\s)-(?=\s)", "+"),
    ("arith", r"(?<=\s)\+=(?=\s)", "-="), ("arith", r"(?<=\s)-=(?=\s)", "+="),
    ("bool", r"\btrue\b", "false"), ("bool", r"\bfalse\b", "true"),
]
NUMBER = re.compile(r"(?<![\w.])\d(?:[eEpP][+-]|[\w.'])*")
DECIMAL = re.compile(r"(\d[\d']*)([uUlL]*|[a-z]+)")
HEX = re.compile(r"0[xX]([0-9a-fA-F']+)([uUlL]*)")
STATEMENT = re.compile(r"(?:\+\+|--|\*)?([A-Za-z_]\w*)"
                       r"(?:(?:\.|->|::)~?[A-Za-z_]\w*|\[[^\]]*\]|\([^;]*\))*"
                       r"\s*(?:[-+*/%&|^]?=(?!=)|<<=|>>=|\+\+|--|;|\()")


def bumped(literal):
    """Returns the integer literal moved up by one, or None if it is not an integer."""
    m = HEX.fullmatch(literal)
    if m:
        digits = m.group(1).replace("'", "")
        value = format(int(digits, 16) + 1, "0%dx" % len(digits))
        value = value.upper() if digits.upper() == digits else value
        return literal[:2] + value + m.group(2)
    m = DECIMAL.fullmatch(literal)
    if m and not (len(m.group(1)) > 1 and m.group(1)[0] == "0"):
        return str(int(m.group(1).replace("'", "")) + 1) + m.group(2)
    return None


def line_mutants(path, text):
    masked = mask(text)
    lines, mlines = text.split("\n"), masked.split("\n")
    skip, tables = excluded_lines(text, masked), table_lines(text)
    found = []

    def replace(k, start, end, new, op):
        found.append(Mutant(path, k, op, [lines[k]], [lines[k][:start] + new + lines[k][end:]]))

    previous = ""
    for k, m in enumerate(mlines):
        if k in skip:
            continue
        for op, pattern, new in SWAPS:
            for hit in re.finditer(pattern, m):
                replace(k, hit.start(), hit.end(), new, op)
        for hit in NUMBER.finditer(m):
            new = bumped(hit.group(0))
            if new is not None:
                replace(k, hit.start(), hit.end(), new, "const")
        for hit in re.finditer(r"\bif\s*\(", m):
            end = matching_paren(m, hit.end() - 1)
            cond = m[hit.end():end]
            declares = re.match(r"\s*(?:const\s+)?[\w:<>]+[*&\s]+\w+\s*=[^=]", cond)
            if end > 0 and ";" not in cond and not declares:
                found.append(Mutant(path, k, "if", [lines[k]],
                                    [lines[k][:hit.end()] + "!(" + lines[k][hit.end():end] + ")"
                                     + lines[k][end:]]))
        stripped = m.strip()
        st = STATEMENT.match(stripped)
        opens_statement = (previous.endswith((";", "{", "}", ":")) or previous in ("", "else")
                           or (previous.endswith(")")
                               and re.match(r"(?:\}\s*)?(?:else\s+)?(?:if|for|while)\b", previous)))
        if (k not in tables and st and st.group(1) not in KEYWORDS and stripped.endswith(";")
                and balanced(stripped) and opens_statement
                and not re.search(r"=\s*(?:default|delete|0)\s*;$", stripped)):
            indent = lines[k][:len(lines[k]) - len(lines[k].lstrip())]
            found.append(Mutant(path, k, "drop", [lines[k]], [indent + ";"]))
        if stripped:
            previous = stripped
    for k in sorted(tables):
        row = re.compile(r"\{.*\},")
        a, b = mlines[k].strip(), mlines[k + 1].strip() if k + 1 < len(mlines) else ""
        if (k + 1 in tables and k not in skip and row.fullmatch(a) and row.fullmatch(b)
                and lines[k].strip() != lines[k + 1].strip()):
            found.append(Mutant(path, k, "swap", [lines[k], lines[k + 1]], [lines[k + 1], lines[k]]))
    return found


def candidates(folders):
    found = []
    for folder in folders:
        for file in sorted((ROOT / "src" / folder).glob("*")):
            if file.suffix in (".cpp", ".h") and not file.name.endswith("_main.cpp"):
                path = file.relative_to(ROOT).as_posix()
                found += line_mutants(path, file.read_text(encoding="utf-8"))
    return found


def sample(found, count, seed):
    """Draws count lines at random, then one candidate of each line, in file order."""
    by_line = OrderedDict()
    for mutant in found:
        by_line.setdefault((mutant.path, mutant.line), []).append(mutant)
    rng = random.Random(seed)
    chosen = rng.sample(sorted(by_line), min(count, len(by_line)))
    picked = [rng.choice(by_line[key]) for key in chosen]
    return sorted(picked, key=lambda m: (m.path, m.line))


def test_map(build):
    """Maps each source folder to the engine test programs that link its library, from the
    link lines in build.ninja."""
    ninja = (build / "build.ninja").read_text()
    lib_of = {}
    for m in re.finditer(r"^build src/CMakeFiles/(\w+)\.dir/(\w+)/[^:\s]+\.cpp\.o:", ninja, re.M):
        lib_of.setdefault(m.group(2), m.group(1))
    tests = defaultdict(set)
    for m in re.finditer(r"^build tests/(test_\w+)[ :].*?CXX_EXECUTABLE_LINKER__\S+ ([^\n]*)",
                         ninja, re.M):
        if m.group(1) == "test_gui":
            continue
        for lib in re.findall(r"src/lib(\w+)\.a", m.group(2)):
            tests[lib].add(m.group(1))
    return {folder: sorted(tests[lib_of[folder]]) for folder in lib_of if folder in ENGINE_FOLDERS}


class Timeout(Exception):
    pass


def run(cmd, cwd, timeout):
    """Runs cmd in a process group of its own, which is killed on time-out or Ctrl-C."""
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            stdin=subprocess.DEVNULL, start_new_session=True, text=True,
                            errors="replace")
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.communicate()
        raise Timeout()
    except BaseException:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.communicate()
        raise


class Workspace:
    """Writes mutants over source files and always puts the originals back."""

    def __init__(self, build):
        self.pending = build / "mutate-pending.json"
        self.original = None

    def recover(self):
        if self.pending.exists():
            saved = json.loads(self.pending.read_text())
            (ROOT / saved["path"]).write_text(saved["text"], encoding="utf-8")
            self.pending.unlink()
            print(f"put back {saved['path']} left mutated by an interrupted run")

    def apply(self, mutant):
        file = ROOT / mutant.path
        text = file.read_text(encoding="utf-8")
        self.pending.write_text(json.dumps({"path": mutant.path, "text": text}))
        self.original = (file, text)
        lines = text.split("\n")
        assert lines[mutant.line:mutant.line + len(mutant.old)] == mutant.old
        lines[mutant.line:mutant.line + len(mutant.old)] = mutant.new
        file.write_text("\n".join(lines), encoding="utf-8")

    def restore(self):
        if self.original:
            file, text = self.original
            file.write_text(text, encoding="utf-8")
            self.pending.unlink(missing_ok=True)
            self.original = None


def build_tests(build, targets, jobs):
    code, out = run(["ninja", "-C", str(build), "-j", str(jobs)] + targets, ROOT, 3600)
    return code == 0, out


def try_mutant(build, tests, limits, jobs):
    """Builds and runs the tests one at a time, cheapest first, until one fails; building them
    one at a time spares the links of the rest when an early test kills the mutant."""
    for test in tests:
        ok, _ = build_tests(build, [test], jobs)
        if not ok:
            return "no-compile", ""
        cmd = [str(build / "tests" / test), "--gtest_brief=1", "--gtest_fail_fast"]
        try:
            code, _ = run(cmd, build / "tests", limits[test])
        except Timeout:
            return "killed", f"{test} time-out"
        if code != 0:
            return "killed", f"{test} " + ("crash" if code < 0 else "failed")
    return "survived", ""


def report(results, args, seconds):
    rows = defaultdict(lambda: [0, 0, 0])
    for mutant, outcome, _ in results:
        rows[mutant.folder()][{"killed": 0, "survived": 1, "no-compile": 2}[outcome]] += 1
    out = [f"Mutation run: {len(results)} mutants, seed {args.seed}, "
           f"{seconds / 60:.1f} min wall time", "",
           f"{'folder':<12}{'mutants':>8}{'killed':>8}{'survived':>10}{'no-compile':>12}"
           f"{'kill rate':>11}"]
    total = [0, 0, 0]
    for folder in [f for f in ENGINE_FOLDERS if f in rows] + ["total"]:
        k, s, c = rows[folder] if folder != "total" else total
        if folder != "total":
            total = [total[0] + k, total[1] + s, total[2] + c]
        rate = f"{100 * k / (k + s):.0f} %" if k + s else "-"
        out.append(f"{folder:<12}{k + s + c:>8}{k:>8}{s:>10}{c:>12}{rate:>11}")
    out += ["", "Survivors:"]
    for mutant, outcome, _ in results:
        if outcome == "survived":
            out.append(f"{mutant.where()} [{mutant.op}]")
            out += ["  - " + line.strip() for line in mutant.old]
            out += ["  + " + line.strip() for line in mutant.new]
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default="build-mutate")
    parser.add_argument("--mutants", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--folders", default="")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--list", action="store_true", help="print the sample and stop")
    args = parser.parse_args()
    folders = [f for f in args.folders.replace(",", " ").split() if f] or ENGINE_FOLDERS
    unknown = set(folders) - set(ENGINE_FOLDERS)
    if unknown:
        sys.exit(f"not an engine folder: {' '.join(sorted(unknown))}")
    build = (ROOT / args.build).resolve()
    if not (build / "build.ninja").exists():
        sys.exit(f"{build} is not configured; run make mutate")
    # Two runs on one tree would mutate each other's files.
    lock = open(build / "mutate.lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        sys.exit(f"another mutation run is using {build}")
    workspace = Workspace(build)
    workspace.recover()

    found = candidates(folders)
    mutants = sample(found, args.mutants, args.seed)
    if args.list:
        for n, mutant in enumerate(mutants, 1):
            print(f"{n:4} {mutant.where()} [{mutant.op}] {' / '.join(x.strip() for x in mutant.new)}")
        return

    # Ctrl-C and a plain kill both unwind through the finally below, which restores the file.
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    signal.signal(signal.SIGHUP, signal.default_int_handler)
    tests_of = test_map(build)
    all_tests = sorted({t for ts in tests_of.values() for t in ts})
    print(f"{len(found)} candidates, {len(mutants)} sampled; building and timing the tests")
    ok, out = build_tests(build, all_tests, args.jobs)
    if not ok:
        sys.exit(out[-4000:] + "\nthe unchanged tree does not build")
    cost, limits = {}, {}
    for test in all_tests:
        start = time.monotonic()
        code, out = run([str(build / "tests" / test), "--gtest_brief=1"], build / "tests", 1800)
        if code != 0:
            sys.exit(out[-4000:] + f"\n{test} fails on the unchanged tree")
        cost[test] = time.monotonic() - start
        # A hanging mutant is stopped well after the slowest honest run on a loaded machine.
        limits[test] = max(30.0, 4 * cost[test] + 15)

    results = []
    began = time.monotonic()
    try:
        for n, mutant in enumerate(mutants, 1):
            start = time.monotonic()
            tests = sorted(tests_of[mutant.folder()], key=lambda t: cost[t])
            workspace.apply(mutant)
            try:
                outcome, how = try_mutant(build, tests, limits, args.jobs)
            finally:
                workspace.restore()
            results.append((mutant, outcome, how))
            print(f"[{n}/{len(mutants)}] {mutant.where()} {mutant.op}: {outcome}"
                  f"{' by ' + how if how else ''} ({time.monotonic() - start:.0f} s)", flush=True)
    except KeyboardInterrupt:
        print(f"\ninterrupted after {len(results)} mutants; the source is back as it was")
    finally:
        workspace.restore()
    text = report(results, args, time.monotonic() - began)
    (build / "mutate-report.txt").write_text(text)
    print("\n" + text, end="")


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit("interrupted")
