#!/usr/bin/env python3
"""The mutation tool's rules, each on a toy: how every outcome is counted and
scored, what is masked, how the list of equivalents and a BASE diff are
read, which suites a file reaches, and the mutant of each operator."""
import pathlib
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.dont_write_bytecode = True
sys.path.insert(0, str(ROOT / "scripts"))
import mutants  # noqa: E402

TOY = "tests/mutants/toy.py"
failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: expected\n{want}\ngot\n{got}")


# Every outcome: line 2's mutants fail the toy's build, line 6's its test,
# line 18's return 1 waits past the limit; line 10's two and line 14's
# constant are listed (by file, and by file:line for line 10's `pass`
# only), line 14's `pass` survives.
with tempfile.TemporaryDirectory() as folder:
    listing = pathlib.Path(folder) / "equivalent.txt"
    listing.write_text(f"{TOY} | constant 2 to 1 | return 1 | never read\n"
                       f"{TOY}:10 | delete statement | pass | never read\n"
                       f"{TOY}:99 | flip | x | a line since changed\n")
    # exec: the toy's test dies by a signal, not through a shell's exit.
    test = f"exec python3 src/tests/mutants/toy_test.py src/tests/mutants"
    run = subprocess.run(
        [sys.executable, str(ROOT / "scripts" / "mutants.py"), "--files", TOY,
         "--build-step", test + " build", "--test", test, "--timeout", "3",
         "--build", folder + "/build", "--jobs", "1", "--equivalents",
         str(listing)], cwd=ROOT, capture_output=True, text=True)
    check("stale entries told", run.stderr.split("\n")[0],
          f"mutants: listed, but made by no mutant: {TOY}:99 | flip | x")
    check("each outcome told", [line.split("] ")[1] for line in
                                run.stderr.split("\n") if "] " in line],
          [f"{outcome}: {TOY}:{where}" for outcome, where in (
              ("not built", "2 drop character"),
              ("not built", "2 delete statement"), ("killed", "6 flip <="),
              ("killed", "6 constant 50 to 49"),
              ("killed", "6 delete statement"),
              ("survived", "14 delete statement"),
              ("timed out", "18 return 1"),
              ("killed", "18 delete statement"))])
    check("outcomes", run.stdout,
        f"{TOY}:14 delete statement: pass\n"
        f"{TOY}:18 return 1: return 1 (timed out)\n"
        "mutants by operator: constant 1 killed of 1 (2 equivalent), "
        "delete statement 3 killed of 4 (1 equivalent), drop character 1 "
        "killed of 1, flip 1 killed of 1, return 0/1 0 killed of 1\n"
        "mutants: 6 killed, 1 survived, 3 equivalent, 1 timed out, "
        "score 75%\n")
# The listed mutants run: one the test kills or that outlasts the limit is
# told and fails the run.
with tempfile.TemporaryDirectory() as folder:
    listing = pathlib.Path(folder) / "equivalent.txt"
    listing.write_text(f"{TOY}:10 | delete statement | pass | never read\n"
                       f"{TOY} | flip <= | return len(text) < 50 | wrong\n"
                       f"{TOY}:18 | return 1 | return 1 | never waits\n")
    run = subprocess.run(
        [sys.executable, str(ROOT / "scripts" / "mutants.py"), "--listed",
         "--test", "python3 src/tests/mutants/toy_test.py src/tests/mutants",
         "--timeout", "3", "--build", folder + "/build", "--jobs", "1",
         "--equivalents",
         str(listing)], cwd=ROOT, capture_output=True, text=True)
    check("listed run", (run.returncode, run.stdout), (1,
          f"listed as equivalent, but told apart: {TOY}:6 flip <=: "
          "return len(text) < 50 (killed)\n"
          f"listed as equivalent, but told apart: {TOY}:18 return 1: "
          "return 1 (timed out)\n"
          "mutants listed: 3 run, 2 told apart\n"))
# A mutated line may hold " | ", the reason may not; a row without its
# reason stops the tool; an entry no mutant makes is told.
with tempfile.TemporaryDirectory() as folder:
    listing = pathlib.Path(folder) / "equivalent.txt"
    listing.write_text(f"# note\n\n{TOY} | flip | a | b | why\n"
                       f"{TOY} | drop condition |  | a line dropped\n")
    check("a mutated line with | or none", mutants.equivalents(listing),
          {(TOY, "flip", "a | b"), (TOY, "drop condition", "")})
    check("stale", mutants.stale({(TOY, "flip", "a | b"),
                                  (TOY + ":10", "delete statement", "pass")}),
          [(TOY, "flip", "a | b")])
    for bad in (f"{TOY} | flip | a\n", f"{TOY} | flip | a | \n"):
        listing.write_text(f"{TOY} | flip | a | why\n" + bad)
        try:
            mutants.equivalents(listing)
            check(f"the row {bad}", "read", "stopped")
        except SystemExit as stop:
            check(f"the row {bad}", str(stop),
                  f"{listing}:2: not `file | operator | mutated line | why`")
check("one a line", [(m.number, m.family) for m in mutants.per_line(
    mutants.mutants_of(TOY), 1)], [(2, "drop character"), (6, "flip"),
                                   (10, "constant"), (14, "constant"),
                                   (18, "return 0/1")])
nine = list(range(9))
three = mutants.drawn(nine, 3, 5)
check("sample", (len(three), three == mutants.drawn(nine, 3, 5),
                 sorted(mutants.drawn(nine, 10, 5))), (3, True, nine))
check("score", [mutants.score(*c) for c in ((2, 1, 0), (1, 0, 1), (0, 0, 0))],
      [66, 50, 100])

# Literals blanked to the last character, escapes included; comments gone.
for line, comment, escape, want in (
        (r'a = "x<y" + b; // c < d', "//", "\\", 'a = "~~~" + b; '),
        (r"""if (c == '\'' || s == "\\") x = "a\"b";""", "//", "\\",
         """if (c == '~~' || s == "~~") x = "~~~~";"""),
        (r'x = "# a" + y  # z', "#", "\\", 'x = "~~~" + y  '),
        (r'StrCpy $0 "a$\"b" ; c', ";", "$\\", 'StrCpy $0 "~~~~~" ')):
    check(f"code of {line}", mutants.code_of(line, comment, escape), want)

# Each hunk's lines: several, one (no count), none (pure deletion).
check("BASE diff", mutants.changed_lines(
    "+++ b/a.cpp\n@@ -3 +3 @@\n@@ -9,0 +11,2 @@\n@@ -20,2 +21,0 @@\n"
    "+++ /dev/null\n@@ -1,4 +0,0 @@\n+++ b/b.py\n@@ -5,3 +5 @@\n"),
    {"a.cpp": {3, 11, 12}, "b.py": {5}})

# The suites a file's mutants reach, fastest first, a row for each rule;
# the long test last.
core = mutants.core_files()
for paths, want in ((["textsearch/text_matcher.h"], ["native", "counts", "e2e"]),
                    (["textsearch/text_session.cpp"],
                     ["native", "counts", "e2e"]),
                    (["entrysearch/entry_engine.cpp"], ["native", "e2e"]),
                    (["host/byte_access.h"], ["native", "e2e"]),
                    (["ui/dialog_skeleton.cpp"], ["e2e"]),
                    (["ui/control_styles.cpp"], ["e2e"]),
                    (["textsearch/text_memory.cpp"], ["e2e"]),
                    ([mutants.STYLES_SCRIPT], ["styles"]),
                    (["scripts/sign.py"], ["setup"]),
                    (["installer/setup.nsi"], ["setup"]),
                    (["installer/setup.nsi", "plugin/entry_points.cpp",
                      "textsearch/text_matcher.cpp"],
                     ["native", "counts", "e2e", "setup"])):
    check(f"suites of {paths}", mutants.suites_for(paths, core), want)
# The end-to-end suite runs each run CTest makes under Wine: visual styles,
# several monitors, and each code page's tests in their code page.
for needed in ("--visual-styles", "monitors_run.sh", "ja_JP",
               "=CodePageTest.*", "hi_IN", "=Utf8CodePageTest.*", "ru_RU",
               "el_GR", "=SingleByteCodePageTest.*"):
    check(f"the end-to-end suite runs {needed}",
          any(needed in c for c in mutants.SUITES["e2e"][1]), True)
e2e = mutants.SUITES["e2e"][1]
check("long test last", [mutants.LONG_TEST in c for c in e2e],
      [True] + [False] * (len(e2e) - 2) + [True])
check("long test alone", e2e[-1].count(mutants.LONG_TEST), 1)

# No mutant inside an assertion, even one over several lines.
check("assertion", [m.number for m in mutants.mutants_of(
    "tests/mutants/toy_assertion.h")], [7])

# The mistakes' operators: (toy line, operator, its mutant or None).
OPERATORS = {
    "tests/mutants/toy_mistakes.cpp": (
        (7, "drop character", 'const char* const Separators = ",";'),
        (15, "drop character", None),  # a message, a word of one
        (10, "drop term", "int i = a;"),
        (11, "drop term", "int j = a;"),
        (12, "other operand", "if (span.second > 0) return span.second;"),
        (14, "other operand", "if (i > 0 && a > 0) return 1;"),
        (13, "swap arguments", "copy(target, source, j, i);"),
        (14, "drop condition", "if (j > 0) return 1;"),
        (16, "drop character", None),  # a character literal
        (16, "other operand", "int k = *target == ';';"),
        (18, "drop condition", ""),
        (17, "drop condition", None),
        (21, "drop character", None)),  # a set in a comment
    "tests/mutants/toy_mistakes.py": (
        (2, "drop character", 'SEPARATORS = ","'),
        (8, "drop character", 'command = f"{name}{a}"'),
        (10, "drop character", None),
        (6, "drop term", "total = a"),
        (7, "other operand", "run(self.second, self.second)"),
        (7, "swap arguments", "run(self.second, self.first)"),
        (9, "drop condition", "if a:")),
    "tests/mutants/toy_mistakes.nsi": (
        (2, "drop character",
         r'WriteRegStr HKLM "${KEY}" "Name" "$INSTDIR$\"x$\""'),
        (3, "drop character", None)),
}
for path, rows in OPERATORS.items():
    found = mutants.mutants_of(path)
    for number, family, want in rows:
        got = [m.mutated.strip() for m in found
               if (m.number, m.family) == (number, family)]
        check(f"{path}:{number} {family}", got, [want] if want is not None
              else [])

print("\n".join(failures) or "mutants tool: as expected")
sys.exit(1 if failures else 0)
