#!/usr/bin/env python3
"""The mutation tool on its toy: the mutant the toy's test kills is killed,
the one it cannot see survives and is shown, and once listed as equivalent
it is counted so and not run."""
import pathlib
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
TOY = "tests/mutants/toy.py"
TEST = "python3 src/tests/mutants/toy_test.py src/tests/mutants"
SURVIVOR = f"{TOY}:10 constant 2 to 1: return 1"


def run(build, equivalents):
    return subprocess.run(
        [sys.executable, str(ROOT / "scripts" / "mutants.py"), "--files", TOY,
         "--test", TEST, "--build", build, "--jobs", "1",
         "--equivalents", str(equivalents)],
        cwd=ROOT, capture_output=True, text=True, check=True).stdout


with tempfile.TemporaryDirectory() as folder:
    listing = pathlib.Path(folder) / "equivalent.txt"
    expected = {
        "none listed": (SURVIVOR + "\nmutants: 1 killed, 1 survived, "
                        "0 equivalent, 0 timed out, score 50%\n"),
        "listed": ("mutants: 1 killed, 0 survived, 1 equivalent, "
                   "0 timed out, score 100%\n"),
    }
    failures = []
    for case, want in expected.items():
        got = run(folder + "/build", listing)
        if got != want:
            failures.append(f"{case}: expected\n{want}got\n{got}")
        listing.write_text(f"{TOY} | constant 2 to 1 | return 1 | "
                           "the toy's margin is never read\n")
    sys.dont_write_bytecode = True
    sys.path.insert(0, str(ROOT / "scripts"))
    import mutants
    lines = [m[1] for m in mutants.mutants_of("tests/mutants/toy_assertion.h")]
    if lines != [7]:
        failures.append(f"toy_assertion.h: mutants on lines {lines}, not [7]")
    print("\n".join(failures) or "mutants tool: as expected")
    sys.exit(1 if failures else 0)
