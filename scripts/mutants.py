#!/usr/bin/env python3
"""Mutation testing of the project's own code: which lines no test defends.

At most one mutant per line: a small change of the kind a slip of the hand
makes (a comparison flipped, a constant moved by one, a statement gone...).
Each mutant is built in a slot of its own under the build folder, never in
the work tree, and runs the fastest tests that can see its file, stopping at
the first failure. A mutant the tests do not notice survives.

  mutants.py [--base COMMIT]             the lines changed since COMMIT
  mutants.py --sample N [--seed S]       N lines of the whole product
  mutants.py --files F... --test CMD     F's lines, against one command
Prints one line per survivor, then the score.
"""
import argparse
import concurrent.futures
import os
import pathlib
import queue
import random
import re
import shutil
import subprocess
import sys
import time
import zlib

ROOT = pathlib.Path(__file__).resolve().parents[1]
PRODUCT = ("plugin/", "host/", "ui/", "entrysearch/", "textsearch/",
           "scripts/", "installer/")
NOT_MUTATED = ("scripts/mutants.py",)  # the tool does not test itself
EQUIVALENTS = ROOT / "tests" / "equivalent-mutants.txt"
TEXT = {"encoding": "utf-8", "errors": "surrogateescape"}
FLIPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
NUMBER = re.compile(r"(?<!\.)\b(0[xX][0-9A-Fa-f]+|\d+)\b(?![.'])")


def masked(line, quotes):
    """The line with the inside of its string and character literals blanked,
    so that no operator is looked for in a text."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote and c == "\\":
            out.append("__")
            i += 2
            continue
        if quote:
            out.append(c if c == quote else "_")
            quote = None if c == quote else quote
        else:
            out.append(c)
            quote = c if c in quotes else None
        i += 1
    return "".join(out)[:len(line)]


def depth_change(code):
    return sum(code.count(o) - code.count(c) for o, c in ("()", "[]", "{}"))


def replace_at(line, match, text):
    return line[:match.start(1)] + text + line[match.end(1):]


def common_operator(path, number, line, code, words):
    """Comparison, logical, negation, truth and constant mutants, in that
    order of preference; `words` names the language's and/or/not/true."""
    andop, orop, notop, true, false = words
    m = re.search(r" (<=|>=|==|!=|<|>) ", code)
    if m:
        return "flip " + m.group(1), replace_at(line, m, FLIPS[m.group(1)])
    for a, b in ((andop, orop), (orop, andop)):
        m = re.search(" (" + re.escape(a) + ") ", code)
        if m:
            return a + " to " + b, replace_at(line, m, b)
    m = re.search(notop, code)
    if m:
        return "drop " + m.group(1).strip(), replace_at(line, m, "")
    for a, b in ((true, false), (false, true)):
        m = re.search(r"\b(" + a + r")\b", code)
        if m:
            return a + " to " + b, replace_at(line, m, b)
    m = re.search(r"\breturn ([01])\b", code)
    if m:
        flipped = "1" if m.group(1) == "0" else "0"
        return "return " + flipped, replace_at(line, m, flipped)
    numbers = list(NUMBER.finditer(code))
    if numbers:
        m = numbers[zlib.crc32(f"{path}:{number}".encode()) % len(numbers)]
        value = int(m.group(1), 0)
        moved = value - 1 if value > 0 else value + 1
        text = hex(moved) if m.group(1)[:2].lower() == "0x" else str(moved)
        return f"constant {m.group(1)} to {text}", replace_at(line, m, text)
    return None


CPP_SKIP = re.compile(r"\s*($|//|/\*|\*|#|static_assert|namespace\b|using\b|"
                      r"template\b|public:|private:|[{}]+\s*(//.*)?$)")
CPP_WORDS = ("&&", "||", r"(!)(?!=)", "true", "false")


def cpp_mutant(path, number, line, depth):
    if CPP_SKIP.match(line):
        return None
    code = masked(line, "\"'").split("//")[0]
    found = common_operator(path, number, line, code, CPP_WORDS)
    if found:
        return found
    statement = code.strip()
    head = re.split(r"[=({;]", statement)[0].strip()
    complete = depth == 0 and depth_change(code) == 0
    if complete and statement.endswith(";") and statement != "return;" and (
            " " not in head or head.startswith("return ")):
        indent = line[:len(line) - len(line.lstrip())]
        return "delete statement", indent + ";"
    return None


PY_SKIP = re.compile(r"\s*($|#|import\b|from\b|def\b|class\b|@|print\(|"
                     r"else:|try:|finally:|\"\"\"|r\"\"\")")
PY_WORDS = ("and", "or", r"\b(not )(?!in\b)", "True", "False")


def python_mutant(path, number, line, depth):
    if PY_SKIP.match(line):
        return None
    code = masked(line, "\"'").split("#")[0]
    found = common_operator(path, number, line, code, PY_WORDS)
    if found:
        return found
    statement = code.strip()
    keyword = re.match(r"(if|elif|for|while|with|except|return$|pass|"
                       r"break|continue|raise)\b", statement)
    if (depth == 0 and depth_change(code) == 0 and not keyword
            and not statement.endswith((":", ",", "\\"))):
        indent = line[:len(line) - len(line.lstrip())]
        return "delete statement", indent + "pass"
    return None


NSIS_SKIP = re.compile(r"\s*($|;|#|!|\$\{|Section|Function|Var\b|\w+:$)")


def nsis_mutant(path, number, line, depth):
    del path, number, depth
    m = re.search(r"\bRMDir (/r )", line)
    if m:
        return "RMDir /r to RMDir", replace_at(line, m, "")
    m = re.search(r"\bRMDir( )", line)
    if m:
        return "RMDir to RMDir /r", replace_at(line, m, " /r ")
    if NSIS_SKIP.match(line) or line.rstrip().endswith("\\"):
        return None
    return "delete line", ";" + line


MUTATORS = {".cpp": cpp_mutant, ".h": cpp_mutant, ".py": python_mutant,
            ".nsi": nsis_mutant}


def mutants_of(path, wanted=None):
    """The mutant of each line of `path` (or of the lines in `wanted`)."""
    mutator = MUTATORS.get(pathlib.Path(path).suffix)
    if mutator is None or path in NOT_MUTATED:
        return []
    found, depth, in_docstring = [], 0, False
    assertion = None  # the depth a static_assert over several lines began at
    lines = (ROOT / path).read_text(**TEXT).split("\n")
    for number, line in enumerate(lines, 1):
        if line.count('"""') % 2:
            in_docstring = not in_docstring
            continue
        code = masked(line, "\"'").split("//" if mutator is cpp_mutant else
                                        ("#" if mutator is python_mutant
                                         else ";"))[0]
        if (not in_docstring and assertion is None and
                (wanted is None or number in wanted)):
            mutant = mutator(path, number, line, depth)
            if mutant:
                found.append((path, number, mutant[0], line, mutant[1]))
        if mutator is cpp_mutant and re.match(r"\s*static_assert\b", code):
            assertion = depth
        if mutator is not nsis_mutant:
            depth = max(0, depth + depth_change(code))
        if assertion is not None and depth <= assertion:
            assertion = None
    return found


def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, check=True, text=True,
                          capture_output=True).stdout


def changed_lines(base):
    wanted, path = {}, None
    for line in git("diff", "-U0", "--no-color", base, "--", *PRODUCT).split("\n"):
        if line.startswith("+++ "):
            path = line[6:] if line.startswith("+++ b/") else None
        m = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", line)
        if m and path:
            first, count = int(m.group(1)), int(m.group(2) or 1)
            wanted.setdefault(path, set()).update(range(first, first + count))
    return wanted


def equivalents(listing):
    """(file, operator, mutated line) of each mutant listed as equivalent:
    one line each, `file | operator | mutated line | why`; `file:line` where
    the same mutated line stands elsewhere in the file and is not."""
    listed = set()
    if listing.exists():
        for row in listing.read_text(**TEXT).split("\n"):
            fields = [f.strip() for f in row.split(" | ")]
            if len(fields) == 4 and not row.startswith("#"):
                listed.add(tuple(fields[:3]))
    return listed


def is_listed(mutant, listed):
    path, number, operator, _, mutated = mutant
    return any((where, operator, mutated.strip()) in listed
               for where in (path, f"{path}:{number}"))


# Which tests can see a file: the native tests and then the end-to-end
# tests see the platform-neutral core (cmake/sources.cmake lists it) and
# host/, the end-to-end tests under Wine the rest of the plug-in, the setup
# test the installer and the release scripts.
def core_files():
    text = (ROOT / "cmake" / "sources.cmake").read_text()
    block = re.search(r"set\(CORE_SOURCES(.*?)\)", text, re.S).group(1)
    return {p.replace("${PROJECT_ROOT}/", "") for p in block.split()}


def suites_of(path, core):
    if path == STYLES_SCRIPT:
        return ["styles"]
    if path.startswith(("installer/", "scripts/")):
        return ["setup"]
    stem = path.rsplit(".", 1)[0]
    if path.startswith("host/") or stem + ".cpp" in core:
        return ["native", "e2e"]  # the plug-in holds the core too
    return ["e2e"]


WINE_RUN = "scripts/wine-run.sh"
STYLES_SCRIPT = "scripts/make-styled-prefix.py"
E2E = "windows/e2e/FINALE.EXE"
FAST = "--gtest_fail_fast --gtest_brief=1"
CODE_PAGE_TESTS = "CodePageTest.*:Utf8CodePageTest.*"
LONG_TEST = "TextCommandTest.SummaryCountsPast16Bits"
SUITES = {
    # Under the sanitizers: a mutant that reads or writes out of bounds is
    # seen there, where the plain build may go on as if nothing happened.
    "native": (["native_tests_sanitized"],
               [f"ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "
                f"native/native_tests_sanitized {FAST}"]),
    "e2e": (["e2e_tests"], [
        # The one long test (tens of thousands of matches shown) last, so
        # that a mutant another test kills is done with early.
        f"WINEPREFIX=$SLOT/wineprefix src/{WINE_RUN} $SLOT/{E2E} --strict "
        f"--gtest_filter=-{CODE_PAGE_TESTS}:{LONG_TEST} {FAST}",
        f"LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEPREFIX=$SLOT/wineprefix "
        f"src/{WINE_RUN} $SLOT/{E2E} --strict --gtest_filter=CodePageTest.* {FAST}",
        f"LANG=hi_IN.UTF-8 LC_ALL=hi_IN.UTF-8 WINEPREFIX=$SLOT/wineprefix "
        f"src/{WINE_RUN} $SLOT/{E2E} --strict --gtest_filter=Utf8CodePageTest.* {FAST}",
        f"WINEPREFIX=$SLOT/wineprefix-dpi src/{WINE_RUN} $SLOT/{E2E} --strict "
        f"--gtest_filter=*Font* {FAST}",
        f"WINEPREFIX=$SLOT/wineprefix-styled src/{WINE_RUN} $SLOT/{E2E} --strict "
        f"--visual-styles --gtest_filter=VisualStylesTest.* {FAST}",
        f"WINEPREFIX=$SLOT/wineprefix src/{WINE_RUN} $SLOT/{E2E} --strict "
        f"--gtest_filter={LONG_TEST} {FAST}"]),
    # The style script's own test, then the script on a fresh copy of the
    # prefix and the tests with visual styles in it.
    "styles": (["e2e_tests"], [
        "src/tests/styles/styled_prefix_test.sh styled-prefix-test >/dev/null",
        "rm -rf $SLOT/wineprefix-restyled && "
        "cp -a $SLOT/wineprefix $SLOT/wineprefix-restyled && "
        f"WINEPREFIX=$SLOT/wineprefix-restyled src/{STYLES_SCRIPT} >/dev/null",
        f"WINEPREFIX=$SLOT/wineprefix-restyled src/{WINE_RUN} $SLOT/{E2E} "
        f"--strict --visual-styles --gtest_filter=VisualStylesTest.* {FAST}"]),
    "setup": (["e2e_tests", "hold_file", "with_volatile_key", "page_pictures"],
              ["rm -rf dist-a dist-b; FAIL_FAST=1 WINEPREFIX=$SLOT/wineprefix-setup "
               "src/tests/setup/setup_test.py "
               "src/installer/setup.nsi $SLOT/windows/plugin/vovadododidarov2000.fxt "
               "src/dist/INSTALL.txt src/LICENSE $SLOT/windows/setup-tests/hold_file.exe",
               "for d in a b; do src/scripts/make-dist.py "
               "windows/plugin/vovadododidarov2000.fxt src/dist/INSTALL.txt "
               "src/LICENSE dist-$d >/dev/null || exit 1; done; cmp dist-a/*.zip dist-b/*.zip"]),
}


class Slot:
    """A copy of the sources and their builds where mutants are tried."""

    def __init__(self, folder, suites, test_command):
        self.folder, self.suites, self.test = folder, suites, test_command
        self.last = None
        # The work tree's files as they are now; a copy gets a new time, so
        # the slot's builds see each change.
        src = folder / "src"
        files = {f for f in git("ls-files", "-z").split("\0") if f}
        for old in (src.rglob("*") if src.exists() else []):
            if old.is_file() and str(old.relative_to(src)) not in files:
                old.unlink()
        for name in files:
            target = src / name
            if (ROOT / name).is_file() and (not target.exists() or
                    target.read_bytes() != (ROOT / name).read_bytes()):
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copy(ROOT / name, target)

    def shell(self, command, timeout):
        """The command's exit code (None when it timed out); its output is
        kept for a run that fails without a mutant."""
        env = dict(os.environ, SLOT=str(self.folder))
        try:
            done = subprocess.run(command, shell=True, cwd=self.folder, env=env,
                                  timeout=timeout, capture_output=True)
            self.last = (command, done.stdout + done.stderr)
            return done.returncode
        except subprocess.TimeoutExpired:
            self.last = (command, b"timed out")
            return None

    def prepare(self):
        """Configures and builds what the suites need; None when all is well."""
        steps = []
        if "native" in self.suites:
            steps.append("cmake -S src -B native -DCMAKE_BUILD_TYPE=Debug >/dev/null")
        if {"e2e", "setup", "styles"} & set(self.suites):
            steps.append("cmake -S src -B windows -DCMAKE_BUILD_TYPE=Release "
                         "-DCMAKE_TOOLCHAIN_FILE=$PWD/src/cmake/mingw-i686.cmake "
                         "-DGOOGLETEST_SOURCE_DIR=/usr/src/googletest >/dev/null")
        if "styles" in self.suites and "e2e" not in self.suites:
            steps.append(f"WINEPREFIX=$SLOT/wineprefix src/{WINE_RUN} "
                         "--prepare >/dev/null")
        for prefix, suite, more in (
                ("wineprefix", "e2e", ""),
                ("wineprefix-dpi", "e2e",
                 "WINE_PREFIX_FROM=$SLOT/wineprefix WINE_DPI=120"),
                ("wineprefix-styled", "e2e",
                 "WINE_PREFIX_FROM=$SLOT/wineprefix"),
                ("wineprefix-setup", "setup", "")):
            if suite in self.suites:
                steps.append(f"{more} WINEPREFIX=$SLOT/{prefix} "
                             f"src/{WINE_RUN} --prepare >/dev/null")
        if "e2e" in self.suites:
            steps.append("WINEPREFIX=$SLOT/wineprefix-styled "
                         "src/scripts/make-styled-prefix.py >/dev/null")
        for step in steps + [self.build_command(s) for s in self.suites]:
            if self.shell(step, 3600) != 0:
                return step
        return None

    def build_command(self, suite):
        targets = " ".join(SUITES[suite][0])
        folder = "native" if suite == "native" else "windows"
        return f"cmake --build {folder} -j1 --target {targets} >/dev/null 2>&1"

    def run(self, suites, timeout):
        """'killed', 'survived' or 'timed out' for the sources as they are."""
        if self.test:
            code = self.shell(self.test, timeout)
            return "timed out" if code is None else "survived" if code == 0 else "killed"
        for suite in suites:
            if self.shell(self.build_command(suite), 1800) != 0:
                return "killed"  # a mutant that does not build
            for command in SUITES[suite][1]:
                code = self.shell(command, timeout)
                if code is None:
                    return "timed out"
                if code != 0:
                    return "killed"
        return "survived"

    def try_mutant(self, mutant, suites, timeout):
        path, number, _, original, mutated = mutant
        target = self.folder / "src" / path
        lines = target.read_text(**TEXT).split("\n")
        assert lines[number - 1] == original
        lines[number - 1] = mutated
        target.write_text("\n".join(lines), **TEXT)
        try:
            return self.run(suites, timeout)
        finally:
            lines[number - 1] = original
            target.write_text("\n".join(lines), **TEXT)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--base", default="HEAD~1")
    parser.add_argument("--sample", type=int)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--files", nargs="+", metavar="FILE[:LINE]")
    parser.add_argument("--test", help="one test command for every mutant")
    parser.add_argument("--build", default=str(ROOT / "build" / "mutants"))
    parser.add_argument("--equivalents", default=str(EQUIVALENTS))
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    args = parser.parse_args()

    if args.files:
        candidates = []
        for name in args.files:  # a file, or file:line for one line's mutant
            path, _, line = name.partition(":")
            candidates += mutants_of(path, {int(line)} if line else None)
    elif args.sample:
        files = [f for f in git("ls-files", *PRODUCT).split("\n") if f]
        candidates = [m for f in files for m in mutants_of(f)]
        candidates = random.Random(args.seed).sample(
            candidates, min(args.sample, len(candidates)))
    else:
        candidates = [m for f, lines in sorted(changed_lines(args.base).items())
                      if (ROOT / f).exists() for m in mutants_of(f, lines)]
    listed = equivalents(pathlib.Path(args.equivalents))
    todo = [m for m in candidates if not is_listed(m, listed)]
    equivalent = len(candidates) - len(todo)
    core = core_files()
    seen = {s for m in todo for s in suites_of(m[0], core)}
    needed = [] if args.test else [s for s in SUITES if s in seen]
    jobs = max(1, min(args.jobs, len(todo)))
    started = time.time()
    print(f"mutants: {len(todo)} to try ({equivalent} listed as equivalent), "
          f"suites {', '.join(needed) or 'none'}, {jobs} at a time",
          file=sys.stderr, flush=True)

    build = pathlib.Path(args.build).resolve()
    slots = [Slot(build / f"slot-{i}", needed, args.test) for i in range(jobs)]
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        failed = [f for f in pool.map(Slot.prepare, slots) if f]
    if failed:
        sys.exit(f"mutants: could not set up a slot: {failed[0]}")
    # The unmutated sources must pass, and set the time a run may take.
    timeout, first = 60, time.time()
    if todo and slots[0].run(needed, 3600) != "survived":
        command, output = slots[0].last
        sys.exit(output.decode(errors="replace")[-3000:] + "\nmutants: the "
                 f"tests fail without a mutant ({command}); mend them first")
    timeout = 3 * (time.time() - first) + 60

    free = queue.Queue()
    for slot in slots:
        free.put(slot)

    def attempt(mutant):
        slot = free.get()
        try:
            suites = [s for s in needed if s in suites_of(mutant[0], core)]
            return slot.try_mutant(mutant, suites, timeout)
        finally:
            free.put(slot)

    counts = {"killed": 0, "survived": 0, "timed out": 0}
    survivors = []
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        for done, (mutant, result) in enumerate(
                zip(todo, pool.map(attempt, todo)), 1):
            counts[result] += 1
            if result != "killed":
                survivors.append(f"{mutant[0]}:{mutant[1]} {mutant[2]}: "
                                 f"{mutant[4].strip()}" +
                                 (" (timed out)" if result == "timed out" else ""))
            print(f"  [{done}/{len(todo)}] {result}: {mutant[0]}:{mutant[1]} "
                  f"{mutant[2]}", file=sys.stderr, flush=True)
    for line in survivors:
        print(line)
    tried = counts["killed"] + counts["survived"] + counts["timed out"]
    score = 100 * counts["killed"] // tried if tried else 100
    print(f"mutants: {counts['killed']} killed, {counts['survived']} survived, "
          f"{equivalent} equivalent, {counts['timed out']} timed out, "
          f"score {score}%")
    print(f"mutants: {time.time() - started:.0f} s", file=sys.stderr)


if __name__ == "__main__":
    main()
