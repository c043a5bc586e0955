#!/usr/bin/env python3
"""Plants one-line faults in the sources and says which ones the tests catch.

    tools/mutate.py [--seed S] [-n N] [FOLDER...]
    tools/mutate.py --site FILE:LINE[:OPERATOR[:CHOICE]] ...

From the seed it draws N sites among the .cpp files of the folders named (all
the program's folders when none is), each folder in proportion to its lines,
and applies one operator per site:

    rel     a comparison turned into its opposite (< into >=, == into !=)
    bound   a bound moved by one (< into <=, >= into >)
    cond    a condition dropped (if (X) into if (true), if (A && B) into if (A))
    check   a guard that leaves early removed (if (X) return ... never taken)
    return  a function that returns at once (its default value)
    const   a whole-number constant changed (0 into 1, 1 into 0, N into N+1); not in the
            lines of drawing calls (an icon's colours and coordinates)

Each fault is built in a copy of the source tree (BUILD/src, default
build/mutate) with its own build folder, so the working tree and build/default
never see it. The tests that name the mutated file (their file's name, or an
include of its header) run first, in one process of their test program built
alone, a failure confirmed by ctest running that test by itself; then the
tests of the file's folder and the rest of ctest; the first failure (or a run
past the time limit) catches the fault.
The file is restored after each fault, also on Ctrl-C. A fault that does not
compile is replaced by another draw. At the end it prints the share caught
per folder and every fault that no test caught.
"""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["platform", "core", "engine", "import", "scenario", "output", "ui", "mainwindow", "app"]
# Folders whose tests live in another folder of tests/ (app/ is tried by the window tests).
TEST_FOLDERS = {"app": ["mainwindow", "output"]}
# The folders of tests/ built into the window test program; the others are in quilor_tests.
UI_TESTS = {"ui", "mainwindow", "scenario", "output", "ui_support"}
SUITE = re.compile(r"^TEST(?:_F|_P)?\((\w+),", re.M)
INCLUDE = re.compile(r'^#include\s+"([^"]+)"', re.M)

STRING = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')
RELATION = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)")
NEGATED = {"<": ">=", "<=": ">", ">": "<=", ">=": "<", "==": "!=", "!=": "=="}
MOVED = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
NUMBER = re.compile(r"(?<![\w.'])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.'])")
IF = re.compile(r"\b(if|else if) \(")
EXIT = re.compile(r"^\s*(\{\s*)?(return\b|throw\b|continue;|break;)")
# Constants of drawing calls (an icon's colours and coordinates): a shade or a pixel is no fault a user meets.
DRAWING = re.compile(r"\b(QColor|MakeRgb|QPen|QPointF|drawLine|drawRect|drawEllipse|drawPolyline|drawPolygon|drawArc|"
                     r"lineTo|moveTo|cubicTo|quadTo|setContentsMargins|setSpacing)\(")
FUNCTION = re.compile(r"^(?:(?:static|inline|constexpr|\[\[nodiscard\]\])\s+)*"
                      r"([A-Za-z_][\w:<>, *&]*?[\w>*&])\s+[*&]?([A-Za-z_][\w:]*)\(.*\)\s*(?:const\s*)?"
                      r"(?:noexcept\s*)?\{$")


def code_of(line):
    """The line with string and character literals blanked and any // comment cut."""
    masked = STRING.sub(lambda m: m.group(0)[0] + "_" * (len(m.group(0)) - 2) + m.group(0)[-1], line)
    cut = masked.find("//")
    return masked if cut < 0 else masked[:cut] + " " * (len(masked) - cut)


def closing_paren(code, start):
    depth = 0
    for i in range(start, len(code)):
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def operands(code, start, end):
    """The top-level operands of the condition code[start:end] joined by one of && or || (else None)."""
    depth, cuts, ops = 0, [], set()
    i = start
    while i < end:
        ch = code[i]
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
        elif depth == 0 and code[i:i + 4] in (" && ", " || "):
            cuts.append(i)
            ops.add(code[i:i + 4])
            i += 4
            continue
        i += 1
    if not cuts or len(ops) != 1:
        return None
    bounds = [start] + [c + 4 for c in cuts]
    ends = cuts + [end]
    return ops.pop(), list(zip(bounds, ends))


def mutants_of_line(lines, index, code):
    """Every (operator, new line) the line allows."""
    line = lines[index]
    found = []
    for m in RELATION.finditer(code):
        op = m.group(1)
        found.append(("rel", line[:m.start()] + NEGATED[op] + line[m.end():], f"{op} -> {NEGATED[op]}"))
        if op in MOVED:
            found.append(("bound", line[:m.start()] + MOVED[op] + line[m.end():], f"{op} -> {MOVED[op]}"))
    for m in IF.finditer(code):
        open_at = m.end() - 1
        close_at = closing_paren(code, open_at)
        if close_at < 0 or code[open_at + 1:close_at].strip() in ("true", "false"):
            continue
        if re.search(r"(?<![=!<>])=(?!=)", code[open_at + 1:close_at]):
            continue  # a declaration or an assignment: it cannot be dropped
        condition = line[open_at + 1:close_at]
        found.append(("cond", line[:open_at + 1] + "true" + line[close_at:], f"if ({condition}) -> if (true)"))
        split = operands(code, open_at + 1, close_at)
        if split:
            op, parts = split
            for k, (a, b) in enumerate(parts):
                kept = op.join(line[x:y] for j, (x, y) in enumerate(parts) if j != k)
                found.append(("cond", line[:open_at + 1] + kept + line[close_at:],
                              f"if ({condition}) -> if ({kept})"))
        after = code[close_at + 1:]
        following = lines[index + 1] if index + 1 < len(lines) else ""
        if EXIT.match(after) or (not after.strip() and EXIT.match(following)) or \
                (after.strip() == "{" and EXIT.match(following)):
            found.append(("check", line[:open_at + 1] + "false" + line[close_at:],
                          f"if ({condition}) -> if (false)"))
    for m in (NUMBER.finditer(code) if not DRAWING.search(code) else []):
        literal = m.group(1)
        if literal[:2] in ("0x", "0X"):
            new = f"0x{int(literal, 16) + 1:0{len(literal) - 2}X}"
        elif literal.startswith("0") and len(literal) > 1:
            continue  # octal: leave it
        else:
            value = int(literal)
            new = str(1 if value == 0 else 0 if value == 1 else value + 1)
        found.append(("const", line[:m.start(1)] + new + line[m.end(1):], f"{literal} -> {new}"))
    fm = FUNCTION.match(code.rstrip())
    if fm and not code.startswith((" ", "\t")):
        kind, name = fm.group(1).strip(), fm.group(2)
        if name != "main" and "~" not in name and kind not in ("return", "else", "new", "delete", "using"):
            statement = "return;" if kind.split()[-1] == "void" else "return {};"
            found.append(("return", line.rstrip("\n") + " " + statement + "\n", f"{name} begins with {statement}"))
    return found


def sites_of_file(path):
    """Every (line index, operator, new line, description) of a source file."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        lines = f.readlines()
    sites = []
    in_comment = False
    for index, line in enumerate(lines):
        stripped = line.strip()
        if in_comment:
            if "*/" in stripped:
                in_comment = False
            continue
        if stripped.startswith("/*"):
            in_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("#", "//", "static_assert", "assert(")):
            continue
        code = code_of(line)
        for op, new, what in mutants_of_line(lines, index, code):
            sites.append((index, op, new, what))
    return lines, sites


def cpp_files(folder):
    out = []
    for dirpath, _, names in os.walk(os.path.join(ROOT, folder)):
        out += [os.path.relpath(os.path.join(dirpath, n), ROOT) for n in sorted(names) if n.endswith(".cpp")]
    return sorted(out)


def line_count(rel):
    with open(os.path.join(ROOT, rel), encoding="utf-8", errors="replace") as f:
        return sum(1 for _ in f)


def share_out(n, weights):
    """n split in proportion to the weights (largest remainders)."""
    total = sum(weights.values()) or 1
    exact = {k: n * w / total for k, w in weights.items()}
    counts = {k: int(v) for k, v in exact.items()}
    for k in sorted(exact, key=lambda k: exact[k] - counts[k], reverse=True)[:n - sum(counts.values())]:
        counts[k] += 1
    return counts


class Runner:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.build)
        self.src = os.path.join(self.work, "src")
        self.bin = os.path.join(self.src, "build", "default")  # the same relative layout: the compiler cache hits
        self.log = open(os.path.join(self.work, "mutate.log"), "a") if os.path.isdir(self.work) else None
        self.suites = {}
        self.broken = None
        self.broken_tests = []

    def say(self, text):
        print(text, flush=True)
        if self.log:
            self.log.write(text + "\n")
            self.log.flush()

    def run(self, cmd, timeout=None, cwd=None):
        """Runs cmd niced in its own process group; returns (exit code or None on timeout, output)."""
        proc = subprocess.Popen(["nice", "-n", str(self.args.nice)] + cmd, cwd=cwd or self.src, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True, errors="replace", start_new_session=True)
        try:
            out, _ = proc.communicate(timeout=timeout)
            return proc.returncode, out
        except subprocess.TimeoutExpired:
            return None, ""
        finally:
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()

    def prepare(self):
        """Copies the tracked and new files of the working tree into the mirror (changed ones only) and builds it."""
        os.makedirs(self.src, exist_ok=True)
        if self.log is None:
            self.log = open(os.path.join(self.work, "mutate.log"), "a")
        files = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], cwd=ROOT,
                               check=True, capture_output=True).stdout
        # A file whose bytes differ is copied with a new time (so it is rebuilt); an unchanged one is left alone.
        for name in files.decode("utf-8", "surrogateescape").split("\0"):
            source, target = os.path.join(ROOT, name), os.path.join(self.src, name)
            if not name or not os.path.lexists(source):
                continue
            if os.path.islink(source):
                if not os.path.islink(target) or os.readlink(target) != os.readlink(source):
                    if os.path.lexists(target):
                        os.remove(target)
                    os.makedirs(os.path.dirname(target), exist_ok=True)
                    os.symlink(os.readlink(source), target)
                continue
            with open(source, "rb") as f:
                data = f.read()
            if os.path.isfile(target) and not os.path.islink(target):
                with open(target, "rb") as f:
                    if f.read() == data:
                        continue
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as f:
                f.write(data)
            shutil.copymode(source, target)
        if not os.path.exists(os.path.join(self.bin, "build.ninja")):
            code, out = self.run(["cmake", "-S", ".", "-B", self.bin, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                                  "-DQUILOR_BENCH=OFF"])
            if code != 0:
                sys.exit("mutate: configuring the mirror failed:\n" + out[-3000:])
        # What lies beside the source tree (the corpus) lies beside the copy too.
        shared, beside = os.path.join(os.path.dirname(ROOT), "shared"), os.path.join(self.work, "shared")
        if os.path.isdir(shared) and not os.path.lexists(beside):
            os.symlink(os.path.realpath(shared), beside)
        self.say("mutate: building the unchanged tree")
        code, out = self.run(["cmake", "--build", self.bin, "-j", str(self.args.jobs)])
        if code != 0:
            sys.exit("mutate: the unchanged tree does not build:\n" + out[-3000:])
        # The tests that fail without any fault say nothing of one: they are left out.
        self.say("mutate: testing the unchanged tree")
        code, out = self.run(["ctest", "--test-dir", self.bin, "-j", str(self.args.jobs), "--timeout",
                              str(self.args.test_timeout), "--no-tests=ignore"])
        failed = re.findall(r"^\s*\d+ - (\S+) \(", out.split("The following tests FAILED:")[-1], re.M) if code else []
        self.broken = "^(" + "|".join(re.escape(f) for f in failed) + ")$" if failed else None
        self.broken_tests = failed
        if failed:
            self.say("mutate: failing without a fault, left out: " + ", ".join(failed))

    def suite_pattern(self, folder):
        """A ctest pattern for the tests of the folder's own test files."""
        if folder not in self.suites:
            names = set()
            for tf in TEST_FOLDERS.get(folder, [folder]):
                for path in cpp_files(os.path.join("tests", tf)):
                    with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
                        names |= set(re.findall(r"^TEST(?:_F|_P)?\((\w+),", f.read(), re.M))
            self.suites[folder] = "^(" + "|".join(sorted(names)) + r")\." if names else None
        return self.suites[folder]

    def related_suites(self, rel):
        """{test program: suites} of the test files that name the mutated file: by their own name, or by an
        include of its header (directly or through a header of the tests)."""
        stem = os.path.splitext(os.path.basename(rel))[0]
        header = os.path.splitext(rel)[0] + ".h"
        texts = {}
        for dirpath, _, names in os.walk(os.path.join(ROOT, "tests")):
            for n in names:
                if n.endswith((".cpp", ".h")):
                    path = os.path.join(dirpath, n)
                    with open(path, encoding="utf-8", errors="replace") as f:
                        texts[os.path.relpath(path, ROOT)] = f.read()
        helpers = {os.path.basename(p) for p, t in texts.items() if p.endswith(".h") and header in INCLUDE.findall(t)}
        found = {}
        for path, text in texts.items():
            if not path.endswith(".cpp"):
                continue
            includes = INCLUDE.findall(text)
            if not (os.path.basename(path).startswith(stem + "_") or header in includes
                    or any(os.path.basename(i) in helpers for i in includes)):
                continue
            program = "quilor_ui_tests" if path.split(os.sep)[1] in UI_TESTS else "quilor_tests"
            found.setdefault(program, set()).update(SUITE.findall(text))
        return found

    def run_related(self, related, deadline):
        """Runs the related tests in their test program, one process each: the quickest way to a failure
        (a window test started by ctest pays a process and an application for each test). A failure is
        confirmed by ctest running that test alone, so a test that only fails beside others catches
        nothing. Returns (verdict or None, how)."""
        for program, suites in sorted(related.items()):
            binary = os.path.join(self.bin, "tests", program)
            if not os.path.exists(binary) or not suites:
                continue
            wanted = ":".join(f"{s}.*:*/{s}.*" for s in sorted(suites))
            if self.broken_tests:
                wanted += "-" + ":".join(self.broken_tests)
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
            proc = subprocess.Popen(["nice", "-n", str(self.args.nice), binary, "--gtest_filter=" + wanted,
                                     "--gtest_fail_fast", "--gtest_color=no"], cwd=os.path.dirname(binary),
                                    env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                    errors="replace", start_new_session=True)
            try:
                out, _ = proc.communicate(timeout=max(1, min(deadline - time.time(), self.args.test_timeout)))
            except subprocess.TimeoutExpired:
                return "caught", "time limit"
            finally:
                if proc.poll() is None:
                    os.killpg(proc.pid, signal.SIGKILL)
                    proc.wait()
            if proc.returncode == 0:
                continue
            failed = re.findall(r"^\[  FAILED  \] ([^\s,]+)(?: \(|, where)", out, re.M)
            started = re.findall(r"^\[ RUN      \] (\S+)$", out, re.M)
            name = failed[0] if failed else started[-1] if started else None
            if name is None:
                return None, ""
            code, _ = self.run(["ctest", "--test-dir", self.bin, "--timeout", str(self.args.test_timeout),
                                "--no-tests=ignore", "-R", "^" + re.escape(name) + "$"],
                               timeout=max(1, deadline - time.time()))
            if code is None:
                return "caught", "time limit"
            if code != 0:
                return "caught", "by " + name
        return None, ""

    def build(self, rel, targets):
        """Builds the targets (all when none); None when they build, else the verdict of the fault."""
        code, out = self.run(["cmake", "--build", self.bin, "-j", str(self.args.build_jobs)] +
                             (["--target"] + targets if targets else []))
        if code == 0:
            return None
        # A fault whose own file does not compile is no fault; one that breaks a later step
        # (linking, listing the tests) is caught.
        object_name = os.path.basename(rel) + ".o"
        failed = [l for l in out.splitlines() if l.startswith("FAILED:")]
        if code is None or any(object_name in l for l in failed):
            return "invalid", ""
        return "caught", "build"

    def try_mutant(self, rel, index, new_line):
        """'caught', 'survived' or 'invalid' (does not compile)."""
        path = os.path.join(self.src, rel)
        with open(path, encoding="utf-8", errors="surrogateescape") as f:
            original = f.read()
        lines = original.splitlines(keepends=True)
        lines[index] = new_line
        try:
            with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write("".join(lines))
            # The test programs of the related tests are built and run first: most faults are caught there,
            # before the rest of the tree (every program that links the library) is built.
            related = self.related_suites(rel)
            deadline = time.time() + self.args.timeout
            for targets in ([sorted(related)] if related else []) + [[]]:
                verdict = self.build(rel, targets)
                if verdict:
                    return verdict
                if targets:
                    verdict = self.run_related(related, deadline)
                    if verdict[0]:
                        return verdict
            ctest = ["ctest", "--test-dir", self.bin, "-j", str(self.args.jobs), "--stop-on-failure", "--timeout",
                     str(self.args.test_timeout), "--no-tests=ignore"]
            pattern = self.suite_pattern(rel.split("/")[0])
            broken = self.broken
            runs = [["-R", pattern] + (["-E", broken] if broken else []),
                    ["-E", pattern + ("|" + broken if broken else "")]] if pattern else [["-E", broken] if broken else []]
            for extra in runs:
                code, out = self.run(ctest + extra, timeout=max(1, deadline - time.time()))
                if code is None:
                    return "caught", "time limit"
                if code != 0:
                    failed = re.findall(r"^\s*\d+ - (\S+) \(", out.split("The following tests FAILED:")[-1], re.M)
                    return "caught", "by " + (failed[0] if failed else "the tests")
            return "survived", ""
        finally:
            with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folders", nargs="*", help="source folders (default: all the program's folders)")
    parser.add_argument("--seed", type=int, default=None, help="seed of the draw (default: from the clock)")
    parser.add_argument("-n", type=int, default=60, help="number of faults (default 60)")
    parser.add_argument("--site", action="append", default=[],
                        help="FILE:LINE[:OPERATOR[:CHOICE]] a given site instead of a draw (repeatable)")
    parser.add_argument("--list", action="store_true", help="print the faults a --site allows (or the draw) and stop")
    parser.add_argument("--share", default="1/1",
                        help="K/M: run only the K-th of M shares of the draw (every M-th fault of each folder), "
                             "so that M runs with their own --build folders cover the draw side by side")
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "mutate"), help="work folder (build/mutate)")
    parser.add_argument("--jobs", type=int, default=4, help="parallel test jobs (default 4)")
    parser.add_argument("--build-jobs", type=int, default=8, help="parallel build jobs of a fault (default 8)")
    parser.add_argument("--nice", type=int, default=10, help="niceness of the builds and tests (default 10)")
    parser.add_argument("--timeout", type=int, default=900, help="seconds allowed for the tests of one fault")
    parser.add_argument("--test-timeout", type=int, default=300, help="seconds allowed for one test")
    args = parser.parse_args()

    try:
        share, shares = (int(x) for x in args.share.split("/"))
        if not 1 <= share <= shares:
            raise ValueError
    except ValueError:
        sys.exit(f"mutate: --share wants K/M with 1 <= K <= M, not {args.share}")

    chosen = []  # (rel, index, op, new_line, what)
    if args.site:
        for wanted in args.site:
            parts = wanted.split(":")
            rel, line_no = os.path.relpath(os.path.abspath(parts[0]), ROOT), int(parts[1])
            lines, sites = sites_of_file(os.path.join(ROOT, rel))
            here = [s for s in sites if s[0] == line_no - 1 and (len(parts) < 3 or s[1] == parts[2])]
            if args.list or not here:
                print(f"{rel}:{line_no}: {lines[line_no - 1].strip()}")
                for i, s in enumerate(here):
                    nth = sum(1 for t in here[:i] if t[1] == s[1])
                    print(f"  {s[1]}:{nth}  {s[3]}")
                if not here:
                    sys.exit(f"mutate: no fault fits {wanted}")
                continue
            pick = here[int(parts[3])] if len(parts) > 3 else here[0]
            chosen.append((rel, pick[0], pick[1], pick[2], pick[3]))
        if args.list:
            return
        draws = None
    else:
        seed = args.seed if args.seed is not None else int(time.time()) % 100000
        folders = args.folders or FOLDERS
        files = {f: cpp_files(f) for f in folders}
        quota = share_out(args.n, {f: sum(line_count(p) for p in files[f]) for f in folders})
        rng = random.Random(seed)
        draws = {}
        for f in folders:
            by_line = {}
            for rel in files[f]:
                _, sites = sites_of_file(os.path.join(ROOT, rel))
                for s in sites:
                    by_line.setdefault((rel, s[0]), []).append(s)
            keys = sorted(by_line)
            rng.shuffle(keys)
            draws[f] = [(rel, rng.choice(by_line[(rel, i)])) for rel, i in keys]
        print(f"mutate: seed {seed}, {args.n} faults: " + ", ".join(f"{f} {quota[f]}" for f in folders if quota[f]))
        if args.list:  # the sites drawn first (a site that does not compile is replaced by the next one)
            for f in folders:
                for rel, site in draws[f][:quota[f]]:
                    print(f"  {rel}:{site[0] + 1} {site[1]}: {site[3]}")
            return

    os.makedirs(args.build, exist_ok=True)
    runner = Runner(args)

    def stop(signum, _frame):
        raise KeyboardInterrupt

    for sig in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, stop)
    results = []  # (folder, rel, line, what, verdict)
    started = time.time()
    try:
        runner.prepare()
        queue = []
        if draws is None:
            queue = [(c[0].split("/")[0], [(c[0], (c[1], c[2], c[3], c[4]))], 1) for c in chosen]
        else:
            # Share K of M takes the faults K-1, K-1+M, ... of each folder's draw; a fault that
            # does not compile is replaced by the next one of the same share.
            queue = [(f, draws[f][share - 1::shares], len(range(share - 1, quota[f], shares))) for f in draws]
            queue = [q for q in queue if q[2]]
        invalid = 0
        for folder, candidates, wanted in queue:
            done = 0
            for rel, (index, op, new_line, what) in candidates:
                if done == wanted:
                    break
                t0 = time.time()
                verdict, how = runner.try_mutant(rel, index, new_line)
                if verdict == "invalid":
                    invalid += 1
                    continue
                done += 1
                results.append((folder, rel, index + 1, f"{op}: {what}", verdict))
                runner.say(f"{verdict:8} {rel}:{index + 1} {op}: {what}  ({how or 'all tests pass'}, "
                           f"{time.time() - t0:.0f} s)")
            if done < wanted:
                runner.say(f"mutate: {folder} has only {done} faults that compile")
    except KeyboardInterrupt:
        runner.say("mutate: interrupted (the file is restored)")
    finally:
        report(runner, results, time.time() - started)


def report(runner, results, seconds):
    if not results:
        return
    runner.say(f"\nfolder        faults  caught  rate")
    total = caught = 0
    for folder in FOLDERS:
        rows = [r for r in results if r[0] == folder]
        if rows:
            k = sum(1 for r in rows if r[4] == "caught")
            total += len(rows)
            caught += k
            runner.say(f"{folder:12} {len(rows):7} {k:7} {100 * k / len(rows):5.0f}%")
    runner.say(f"{'all':12} {total:7} {caught:7} {100 * caught / total:5.0f}%   ({seconds / 60:.0f} min)")
    survivors = [r for r in results if r[4] == "survived"]
    if survivors:
        runner.say("\nnot caught:")
        for folder, rel, line, what, _ in survivors:
            runner.say(f"  {rel}:{line}  {what}")


if __name__ == "__main__":
    main()
