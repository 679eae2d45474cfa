#!/usr/bin/env python3
"""Mutation testing of the project's own code: which lines no test defends.

Each line gets one mutant of each operator that applies to it: the slips of
the hand (a comparison flipped, a constant moved by one, a statement gone...)
and the mistakes a person makes (a character dropped from a set, a separator
or a name; a term dropped from a sum; a neighbouring name or field used; two
arguments swapped; a condition dropped from a chain). Where an operator could
change several places of a line, the one it changes is drawn from the file
and line, so a line's mutants are the same every time. Each mutant is built
in a slot of its own under the build folder, never in the work tree, and runs
the fastest tests that can see its file, stopping at the first failure. A
mutant the tests do not notice survives.

  mutants.py [--base COMMIT]             the lines changed since COMMIT
  mutants.py --sample N [--seed S]       N mutants of the whole product
  mutants.py --files F... --test CMD     F's lines, against one command
  mutants.py --listed                    the mutants listed as equivalent:
                                         one the tests tell fails the run
  --only FOLDER...                       only the files under these folders
  --per-line K                           at most K mutants of a line
Prints one line per survivor, the count per operator, then the score.
"""
import argparse
import builtins
import collections
import concurrent.futures
import functools
import keyword
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
Mutant = collections.namedtuple(
    "Mutant", "path number operator original mutated family")
NUMBER = re.compile(r"(?<!\.)\b(0[xX][0-9A-Fa-f]+|\d+)\b(?![.'])")


def masked(line, quotes, escape="\\"):
    """The line with the inside of its string and character literals blanked
    (`~`, an escape sequence `~~`), so that no operator is looked for in a
    text."""
    for start, end in literal_spans(line, quotes, escape):
        line = line[:start] + "~" * (end - start) + line[end:]
    return line


def code_of(line, comment, escape="\\"):
    """What of the line is code: literals blanked, the comment gone."""
    return masked(line, "\"'", escape).split(comment)[0]


def depth_change(code):
    return sum(code.count(o) - code.count(c) for o, c in ("()", "[]", "{}"))


def replace_at(line, match, text):
    return line[:match.start(1)] + text + line[match.end(1):]


def common_operators(path, number, line, code, words):
    """Comparison, logical, negation, truth and constant mutants, one of
    each that applies; `words` names the language's and/or/not/true/false."""
    andop, orop, notop, true, false = words
    found = []
    m = re.search(r" (<=|>=|==|!=|<|>) ", code)
    if m:
        found.append(("flip", "flip " + m.group(1),
                      replace_at(line, m, FLIPS[m.group(1)])))
    for a, b in ((andop, orop), (orop, andop)):
        m = re.search(" (" + re.escape(a) + ") ", code)
        if m:
            found.append(("and/or", a + " to " + b, replace_at(line, m, b)))
            break
    m = re.search(notop, code)
    if m:
        found.append(("drop " + m.group(1).strip(), "drop " +
                      m.group(1).strip(), replace_at(line, m, "")))
    for a, b in ((true, false), (false, true)):
        m = re.search(r"\b(" + a + r")\b", code)
        if m:
            found.append(("true/false", a + " to " + b,
                          replace_at(line, m, b)))
            break
    m = re.search(r"\breturn ([01])\b", code)
    if m:
        flipped = "1" if m.group(1) == "0" else "0"
        found.append(("return 0/1", "return " + flipped,
                      replace_at(line, m, flipped)))
    numbers = list(NUMBER.finditer(code))
    if numbers:
        m = numbers[zlib.crc32(f"{path}:{number}".encode()) % len(numbers)]
        value = int(m.group(1), 0)
        moved = value - 1 if value > 0 else value + 1
        text = hex(moved) if m.group(1)[:2].lower() == "0x" else str(moved)
        found.append(("constant", f"constant {m.group(1)} to {text}",
                      replace_at(line, m, text)))
    return found


def new_operators(path, number, lines, code, words, keywords, comment):
    """The mistakes of a person rather than a slip of the hand: a term
    dropped, a condition dropped, two arguments swapped, a neighbouring
    name used; each (family, operator, mutated line)."""
    line = lines[number - 1]
    found = [(name, name, mutated) for name, mutated in (
        ("drop term", drop_term(path, number, line, code)),
        ("drop condition", drop_condition(path, number, line, code,
                                          words[0], words[1])),
        ("swap arguments", swap_arguments(path, number, line, code, keywords)),
        ("other operand", other_operand(path, number, lines, code, keywords,
                                        comment))) if mutated]
    return [(f, o, m[0]) for f, o, m in found]


def pick(options, path, number, family):
    """One of the options, always the same for the same line and operator."""
    if not options:
        return []
    key = f"{path}:{number}:{family}".encode()
    return [options[zlib.crc32(key) % len(options)]]


def literal_spans(line, quotes, escape="\\"):
    """(start, end) of the inside of each string or character literal; one
    left open runs to the end of the line. `escape` begins an escape
    sequence (C's backslash; NSIS writes `$\\"`)."""
    spans, start, i = [], None, 0
    while i < len(line):
        if start is not None and line.startswith(escape, i):
            i += len(escape) + 1
            continue
        if line[i] in quotes:
            if start is None:
                start, quote = i + 1, line[i]
            elif line[i] == quote:
                spans.append((start, i))
                start = None
        i += 1
    return spans + ([(start, len(line))] if start is not None else [])


def characters(text, escape="\\"):
    """The characters of a literal's inside, an escape sequence as one."""
    if escape != "\\":
        return [m.span() for m in re.finditer(re.escape(escape) + ".|.", text)]
    return [m.span() for m in re.finditer(
        r"\\(x[0-9A-Fa-f]+|u[0-9A-Fa-f]{4}|[0-7]{1,3}|.)|.", text)]


def match_close(code, start):
    """The index of the bracket closing the one at `start`, or None."""
    depth = 0
    for i in range(start, len(code)):
        depth += {"(": 1, "[": 1, "{": 1, ")": -1, "]": -1, "}": -1}.get(
            code[i], 0)
        if depth == 0:
            return i
    return None


def top_level_split(code, start, end, separator):
    """The (start, end) of each part of code[start:end] between separators
    that stand outside any bracket."""
    parts, depth, first, i = [], 0, start, start
    while i < end:
        c = code[i]
        depth += (c in "([{") - (c in ")]}")
        m = separator.match(code, i) if depth == 0 else None
        if m and m.end() <= end:
            parts.append((first, i, m.group(0)))
            first = i = m.end()
            continue
        i += 1
    parts.append((first, end, None))
    return parts


OPERAND = r"[A-Za-z_]\w*(?:(?:\.|->|::)[A-Za-z_]\w*)*"
PRIMARY = re.compile(r"[-!~*&]?(?:" + OPERAND + r"(?:<[\w:, *]*>)?|"
                     r"\d[\w.']*|\"~*\"|'~*')")


def term_end(code, i):
    """Where the term (a product of primaries) beginning at `i` ends."""
    while True:
        while i < len(code) and code[i] == " ":
            i += 1
        if i < len(code) and code[i] == "(":
            close = match_close(code, i)
            if close is None:
                return None
            i = close + 1
        else:
            m = PRIMARY.match(code, i)
            if not m:
                return None
            i = m.end()
        while i < len(code) and code[i] in "([":
            close = match_close(code, i)
            if close is None:
                return None
            i = close + 1
        m = re.match(r" (\*|/|//|%) ", code[i:])
        if not m:
            return i
        i += m.end()


def drop_term(path, number, line, code):
    """`a + b` to `a`, `a - b` to `a`."""
    options = []
    for m in re.finditer(r"(?<=[\w)\]\"']) ([-+]) (?!=)", code):
        end = term_end(code, m.end())
        if end is not None and end > m.end():
            options.append(line[:m.start()] + line[end:])
    return pick(options, path, number, "drop term")


def drop_condition(path, number, line, code, andop, orop):
    """One condition of an `&&`/`||` chain gone, with its operator; within
    brackets, or the line's own when the chain goes on to the next line."""
    separator = re.compile(" (" + re.escape(andop) + "|" + re.escape(orop) +
                           ")(?: |$)")
    groups = [(i + 1, match_close(code, i)) for i, c in enumerate(code)
              if c == "("]
    options = []
    for start, end in [(s, e if e else len(code)) for s, e in groups] + [
            (0, len(code))]:
        parts = top_level_split(code, start, end, separator)
        for k, (first, last, _) in enumerate(parts[:-1] if len(parts) > 1
                                              else []):
            head = code[first:last]
            if start > 0 or k > 0 or (depth_change(head) == 0 and not re.match(
                    r"\s*(return|if|elif|while|assert|case)\b|.*[^=!<>]=[^=]",
                    head)):
                options.append(line[:first] + line[parts[k + 1][0]:])
        for k, (first, last, _) in enumerate(parts[1:], 1):
            tail = first + len(code[first:last].rstrip(" ;:{),"))
            if tail > first and depth_change(code[first:tail]) == 0:
                options.append(line[:parts[k - 1][1]] + line[tail:])
    return pick(options, path, number, "drop condition")


DECLARATION = re.compile(r"(?<![\w:.>])([A-Za-z_][\w:]*(?:<[^<>;]*>)?)(\**)&? "
                         r"\**&?([a-z_]\w*) ?(?=[,;=)\[{:])")
NOT_TYPES = frozenset("""return case else do throw delete new goto using
    namespace struct class enum typedef auto const static constexpr inline
    extern volatile""".split())


@functools.lru_cache(maxsize=None)
def cpp_types(paths):
    """The declared types of each name (variable, parameter, field) in the
    C++ files `paths`, as far as a look at its declarations tells."""
    types = collections.defaultdict(set)
    for path in paths:
        for line in (ROOT / path).read_text(**TEXT).split("\n"):
            code = code_of(line, "//")
            for m in DECLARATION.finditer(code.replace("const ", "")):
                if m.group(1) not in NOT_TYPES:
                    types[m.group(3)].add(m.group(1) + m.group(2))
    return types


@functools.lru_cache(maxsize=None)
def product_cpp():
    return tuple(p for p in git("ls-files", *PRODUCT).split("\n")
                 if p.endswith((".cpp", ".h")))


def same_type(path, a, b, field):
    """Whether names a and b may hold the same type: Python's names may;
    in C++ they must be declared with one type in the file (and its pair
    of header and source), or for fields anywhere in the product."""
    if not path.endswith((".cpp", ".h")):
        return True
    stem = path.rsplit(".", 1)[0]
    paths = tuple(p for p in (stem + ".cpp", stem + ".h")
                  if (ROOT / p).exists())
    tables = [cpp_types(paths)] + ([cpp_types(product_cpp())] if field else [])

    def types(name):
        return set().union(*(t.get(name, set()) for t in tables))
    return bool(types(a) & types(b))


def swap_arguments(path, number, line, code, keywords):
    """Two neighbouring arguments of a call swapped, when both are names or
    fields of the same type, constants of the same scope, numbers or string
    literals."""
    def kind(text):
        if re.fullmatch(r"(\w+::)+\w+", text):
            return text.rsplit("::", 1)[0]
        if re.fullmatch(OPERAND, text) and text not in keywords:
            return re.split(r"\.|->", text)[-1]
        if NUMBER.fullmatch(text):
            return "number"
        if re.fullmatch(r"\"~*\"|'~*'", text):
            return "text"
        return None

    def alike(a, b):
        if kind(a) is None or kind(b) is None:
            return False
        if re.fullmatch(OPERAND, a) and re.fullmatch(OPERAND, b) and not (
                "::" in a + b):
            return same_type(path, kind(a), kind(b), "." in a + b or
                             "->" in a + b)
        return kind(a) == kind(b)

    options = []
    for m in re.finditer(r"\b([A-Za-z_]\w*) ?\(", code):
        if m.group(1) in keywords:
            continue
        end = match_close(code, m.end() - 1)
        if end is None:
            continue
        parts = top_level_split(code, m.end(), end, re.compile(", ?"))
        for (a0, a1, _), (b0, b1, _) in zip(parts, parts[1:]):
            a, b = code[a0:a1].strip(), code[b0:b1].strip()
            if alike(a, b) and line[a0:a1] != line[b0:b1]:
                options.append(line[:a0] + line[b0:b1] + line[a1:b0] +
                               line[a0:a1] + line[b1:])
    return pick(options, path, number, "swap arguments")


EXPRESSION_WORDS = frozenset("""return case else do throw delete new sizeof
    and or not in is if elif while for yield assert await lambda""".split())


def other_operand(path, number, lines, code, keywords, comment):
    """A name replaced by another name of the same shape and type used
    within three lines: `x.first` by `x.second` (another field of the same
    thing) or by `y.first` (the same field of another thing), `i` by `j`."""
    shape = re.compile(r"(?<![\w.>:])(?:([A-Za-z_]\w*)(\.|->))?"
                       r"([a-z_]\w*)\b(?!\s*\(|::|\.|->|=(?!=)|<|[\"'])")

    def declared(before):  # `int count`, `const char* name`, `as error`
        m = re.search(r"(\w+)[*&]*\s+$", before)
        return m and m.group(1) not in EXPRESSION_WORDS

    def names(text):
        return [m for m in shape.finditer(text)
                if m.group(3) not in keywords and not (
                    m.group(1) is None and declared(text[:m.start()]))]

    nearby = set()
    for other in lines[max(0, number - 4):number + 3]:
        masked_other = code_of(other, comment)
        nearby.update((m.group(1), m.group(2), m.group(3))
                      for m in names(masked_other))
    line = lines[number - 1]
    options = []
    for m in names(code):
        base, arrow, name = m.group(1), m.group(2), m.group(3)
        for b, a, n in sorted(nearby, key=lambda t: (t[0] or "", t[1] or "",
                                                     t[2])):
            if a != arrow or (base is None) != (b is None):
                continue
            if (b == base and n != name and
                    same_type(path, n, name, b is not None)) or (
                    b != base and n == name and
                    same_type(path, b, base, False)):
                text = (b + a if b else "") + n
                options.append(line[:m.start()] + text + line[m.end():])
    return pick(options, path, number, "other operand")


def drop_character(path, number, line, comment, string_quotes, is_message,
                   references=None, escape="\\"):
    """One character gone from a string literal (one opened by a quote of
    `string_quotes`, before the line's `comment`) that holds a set of
    characters, a separator or a name; a message keeps its characters, and
    a reference inside a literal (matching `references`) is left whole."""
    options = []
    code_end = len(code_of(line, comment, escape))
    for start, end in literal_spans(line, "\"'`", escape):
        text = line[start:end]
        if (start > code_end or line[start - 1] not in string_quotes or
                is_message(line, start, text)):
            continue
        kept = [m.span() for m in re.finditer(references, text)] \
            if references else []
        for a, b in characters(text, escape):
            if not any(k0 <= a < k1 for k0, k1 in kept):
                options.append(line[:start + a] + line[start + b:])
    return pick(options, path, number, "drop character")


CPP_SKIP = re.compile(r"\s*($|//|/\*|\*|#|static_assert|namespace\b|using\b|"
                      r"template\b|public:|private:|extern\b|"
                      r"[{}]+\s*(//.*)?$)")
CPP_WORDS = ("&&", "||", r"(!)(?!=)", "true", "false")
CPP_KEYWORDS = frozenset("""alignas alignof auto bool break case catch char
    char16_t char32_t char8_t class const constexpr const_cast continue
    decltype default delete do double dynamic_cast else enum explicit extern
    false float for friend goto if inline int long mutable namespace new
    noexcept nullptr operator private protected public register
    reinterpret_cast return short signed sizeof static static_assert
    static_cast struct switch template this throw true try typedef typename
    union unsigned using virtual void volatile wchar_t while std size_t
    int8_t int16_t int32_t int64_t uint8_t uint16_t uint32_t uint64_t
    uintptr_t intptr_t ptrdiff_t""".split())


def cpp_message(line, start, text):
    """A text a user reads (words with spaces, a sentence's end, a word of
    a sentence in lower case): checked word for word by the tests that
    show it, so no character is dropped from it."""
    return bool(re.search(r"\s|[.?!:]$", text) or
                re.fullmatch(r"[a-z]+", text))


def cpp_mutants(path, number, lines, depth):
    line = lines[number - 1]
    if CPP_SKIP.match(line):
        return []
    code = code_of(line, "//")
    found = common_operators(path, number, line, code, CPP_WORDS)
    found += new_operators(path, number, lines, code, CPP_WORDS,
                           CPP_KEYWORDS, "//")
    found += [("drop character", "drop character", m) for m in drop_character(
        path, number, line, "//", '"', cpp_message)]
    statement = code.strip()
    head = re.split(r"[=({;]", statement)[0].strip()
    complete = depth == 0 and depth_change(code) == 0
    if complete and statement.endswith(";") and statement != "return;" and (
            " " not in head or head.startswith("return ")):
        indent = line[:len(line) - len(line.lstrip())]
        found.append(("delete statement", "delete statement", indent + ";"))
    return found


PY_SKIP = re.compile(r"\s*($|#|import\b|from\b|def\b|class\b|@|print\(|"
                     r"else:|try:|finally:|\"\"\"|r\"\"\")")
PY_WORDS = ("and", "or", r"\b(not )(?!in\b)", "True", "False")
PY_KEYWORDS = frozenset(keyword.kwlist + dir(builtins) + ["self", "cls"])
PY_MESSAGE = re.compile(r"\b(print|exit|error|warning|fail|raise \w+|help=|"
                        r"description=)\W")


def python_message(line, start, text):
    """A text a user reads: words with spaces, a sentence's end, or an
    argument of print, sys.exit, an exception or a help text."""
    return bool(re.search(r"\s|[.?!:]$", text) or
                PY_MESSAGE.search(line[:start]))


def python_mutants(path, number, lines, depth):
    line = lines[number - 1]
    if PY_SKIP.match(line):
        return []
    code = code_of(line, "#")
    found = common_operators(path, number, line, code, PY_WORDS)
    found += new_operators(path, number, lines, code, PY_WORDS,
                           PY_KEYWORDS, "#")
    found += [("drop character", "drop character", m) for m in drop_character(
        path, number, line, "#", "\"'", python_message, r"\{[^}]*\}")]
    statement = code.strip()
    keyword_ = re.match(r"(if|elif|for|while|with|except|return$|pass|"
                        r"break|continue|raise)\b", statement)
    if (depth == 0 and depth_change(code) == 0 and not keyword_
            and not statement.endswith((":", ",", "\\"))):
        indent = line[:len(line) - len(line.lstrip())]
        found.append(("delete statement", "delete statement", indent + "pass"))
    return found


NSIS_SKIP = re.compile(r"\s*($|;|#|!|\$\{|Section|Function|Var\b|\w+:$)")
NSIS_MESSAGE = re.compile(r"\s*(MessageBox|Abort|DetailPrint|Caption|Name|"
                          r"!insertmacro FAIL_INSTALL)\b")


def nsis_message(line, start, text):
    """Words with spaces, or a line that shows a text."""
    return bool(re.search(r"\s", text) or NSIS_MESSAGE.match(line))


def nsis_mutants(path, number, lines, depth):
    del depth
    line = lines[number - 1]
    found = []
    removal = re.search(r"\bRMDir (/r )", line)
    single = re.search(r"\bRMDir( )", line)
    if removal:
        found.append(("RMDir", "RMDir /r to RMDir",
                      replace_at(line, removal, "")))
    elif single:
        found.append(("RMDir", "RMDir to RMDir /r",
                      replace_at(line, single, " /r ")))
    if not re.match(r"\s*($|;|#|!(define|include|macro|if|endif|else))",
                    line):
        found += [("drop character", "drop character", m) for m in
                  drop_character(path, number, line, ";", "\"'`", nsis_message,
                                 r"\$(\{[^}]*\}|\w+|\\.)", "$\\")]
    if not NSIS_SKIP.match(line) and not line.rstrip().endswith("\\"):
        found.append(("delete line", "delete line", ";" + line))
    return found


MUTATORS = {".cpp": cpp_mutants, ".h": cpp_mutants, ".py": python_mutants,
            ".nsi": nsis_mutants}
COMMENT = {cpp_mutants: "//", python_mutants: "#", nsis_mutants: ";"}


def mutants_of(path, wanted=None):
    """The mutants of each line of `path` (or of the lines in `wanted`):
    one of each operator that applies, the same every time."""
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
        code = code_of(line, COMMENT[mutator])
        if (not in_docstring and assertion is None and
                (wanted is None or number in wanted)):
            seen = {line}
            for family, operator, mutated in mutator(path, number, lines,
                                                     depth):
                if mutated not in seen:  # the same text by two operators
                    seen.add(mutated)
                    found.append(Mutant(path, number, operator, line, mutated,
                                        family))
        if mutator is cpp_mutants and re.match(r"\s*static_assert\b", code):
            assertion = depth
        if mutator is not nsis_mutants:
            depth = max(0, depth + depth_change(code))
        if assertion is not None and depth <= assertion:
            assertion = None
    return found


def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, check=True, text=True,
                          capture_output=True).stdout


def changed_lines(diff):
    """The lines each file has new in a `git diff -U0`: every hunk's, a
    one-line hunk's (`+b` without a count) included; a hunk of pure
    deletion (`+b,0`) has none, as nothing there is new to mutate."""
    wanted, path = {}, None
    for line in diff.split("\n"):
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
    the same mutated line stands elsewhere in the file and is not. The
    mutated line may hold ` | ` or be empty (a line dropped), the why may
    not. A row of another form stops the tool: a reason it could not read
    would leave its mutant counted as it was never meant to be."""
    listed = set()
    if listing.exists():
        rows = listing.read_text(**TEXT).split("\n")
        for number, row in enumerate(rows, 1):
            if not row.strip() or row.startswith("#"):
                continue
            fields = [f.strip() for f in row.split(" | ")]
            if len(fields) < 4 or not all(fields[:2] + fields[-1:]):
                sys.exit(f"{listing}:{number}: not `file | operator | "
                         "mutated line | why`")
            listed.add((fields[0], fields[1], " | ".join(fields[2:-1])))
    return listed


def stale(listed):
    """The listed mutants that no file makes any more (its line changed or
    moved), which then list nothing."""
    made = set()
    for path in {where.split(":")[0] for where, _, _ in listed}:
        if (ROOT / path).exists():
            for m in mutants_of(path):
                made |= {(where, m.operator, m.mutated.strip())
                         for where in (m.path, f"{m.path}:{m.number}")}
    return sorted(listed - made)


def is_listed(mutant, listed):
    path, number, operator, _, mutated, _ = mutant
    return any((where, operator, mutated.strip()) in listed
               for where in (path, f"{path}:{number}"))


# Which tests can see a file: the native tests and then the end-to-end
# tests see the platform-neutral core (cmake/sources.cmake lists it) and
# host/, the benchmarks' instruction counts too the text command's core
# (a mutant may only make it slower), the end-to-end tests under Wine the
# rest of the plug-in, the setup test the installer and the release
# scripts.
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
        # The plug-in holds the core too.
        counted = ["counts"] if path.startswith("textsearch/") else []
        return ["native", *counted, "e2e"]
    return ["e2e"]


def suites_for(paths, core):
    """The suites the files' mutants reach, fastest first."""
    seen = {s for path in paths for s in suites_of(path, core)}
    return [s for s in SUITES if s in seen]


WINE_RUN = "scripts/wine-run.sh"
STYLES_SCRIPT = "scripts/make-styled-prefix.py"
E2E = "windows/e2e/FINALE.EXE"
FAST = "--gtest_fail_fast --gtest_brief=1"
CODE_PAGE_TESTS = "CodePageTest.*:Utf8CodePageTest.*:SingleByteCodePageTest.*"
LONG_TEST = "TextCommandTest.SummaryCountsPast16Bits"
SUITES = {
    # Under the sanitizers: a mutant that reads or writes out of bounds is
    # seen there, where the plain build may go on as if nothing happened.
    "native": (["native_tests_sanitized"],
               [f"ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "
                f"native/native_tests_sanitized {FAST}"]),
    # The text command's instruction counts within their goals.
    "counts": (["text_search_benchmark"],
               ["CHECK=1 src/scripts/bench-counts.sh native >/dev/null"]),
    "e2e": (["e2e_tests"], [
        # The one long test (tens of thousands of matches shown) last, so
        # that a mutant another test kills is done with early.
        f"WINEPREFIX=$SLOT/wineprefix src/{WINE_RUN} $SLOT/{E2E} --strict "
        f"--gtest_filter=-{CODE_PAGE_TESTS}:{LONG_TEST} {FAST}",
        f"LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEPREFIX=$SLOT/wineprefix "
        f"src/{WINE_RUN} $SLOT/{E2E} --strict --gtest_filter=CodePageTest.* {FAST}",
        f"LANG=hi_IN.UTF-8 LC_ALL=hi_IN.UTF-8 WINEPREFIX=$SLOT/wineprefix "
        f"src/{WINE_RUN} $SLOT/{E2E} --strict --gtest_filter=Utf8CodePageTest.* {FAST}",
        *(f"LANG={locale} LC_ALL={locale} WINEPREFIX=$SLOT/wineprefix src/{WINE_RUN} "
          f"$SLOT/{E2E} --strict --gtest_filter=SingleByteCodePageTest.* {FAST}"
          for locale in ("ru_RU.UTF-8", "el_GR.UTF-8")),
        f"WINEPREFIX=$SLOT/wineprefix-dpi src/{WINE_RUN} $SLOT/{E2E} --strict "
        f"--gtest_filter=*Font* {FAST}",
        f"WINEPREFIX=$SLOT/wineprefix-styled src/{WINE_RUN} $SLOT/{E2E} --strict "
        f"--visual-styles --gtest_filter=VisualStylesTest.* {FAST}",
        f"WINEPREFIX=$SLOT/wineprefix-monitors src/tests/e2e/monitors_run.sh "
        f"$SLOT/{E2E} {FAST}",
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
               "SETUP_WINEPREFIX_64=$SLOT/wineprefix-setup-64 "
               "src/tests/setup/setup_test.py "
               "src/installer/setup.nsi $SLOT/windows/plugin/vovadododidarov2000.fxt "
               "src/dist/INSTALL.txt src/LICENSE $SLOT/windows/setup-tests/hold_file.exe",
               "for d in a b; do src/scripts/make-dist.py "
               "windows/plugin/vovadododidarov2000.fxt src/dist/INSTALL.txt "
               "src/LICENSE dist-$d >/dev/null || exit 1; done; cmp dist-a/*.zip dist-b/*.zip"]),
}


class Slot:
    """A copy of the sources and their builds where mutants are tried."""

    def __init__(self, folder, suites, given):
        """`given`: a build command (or None) and the test commands that
        stand for every suite, or None for the suites' own."""
        self.folder, self.suites, self.given = folder, suites, given
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
        if {"native", "counts"} & set(self.suites):
            # Built as make test builds them, optimised: unoptimised, the
            # long-text test under the sanitizers nears the watchdog's
            # minute on a busy machine.
            steps.append("cmake -S src -B native "
                         "-DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null")
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
                ("wineprefix-monitors", "e2e",
                 "WINE_PREFIX_FROM=$SLOT/wineprefix WINE_DESKTOP=none"),
                ("wineprefix-setup", "setup", ""),
                ("wineprefix-setup-64", "setup", "WINE_PREFIX_ARCH=win64")):
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
        folder = "native" if suite in ("native", "counts") else "windows"
        return f"cmake --build {folder} -j1 --target {targets} >/dev/null 2>&1"

    def run(self, suites, timeout):
        """'killed', 'not built' (killed by a failed build), 'survived' or
        'timed out' for the sources as they are."""
        for suite in suites:
            build, tests = self.given or (self.build_command(suite),
                                          SUITES[suite][1])
            if build and self.shell(build, 1800) != 0:
                return "not built"
            for command in tests:
                code = self.shell(command, timeout)
                if code is None:
                    return "timed out"
                if code != 0:
                    return "killed"
        return "survived"

    def try_mutant(self, mutant, suites, timeout):
        path, number, _, original, mutated, _ = mutant
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


def per_line(candidates, most):
    """At most `most` mutants of each line (all for 0), drawn from all the
    operators that apply to it, the same ones every time."""
    if not most:
        return candidates
    kept, lines = [], collections.defaultdict(list)
    for m in candidates:
        lines[(m.path, m.number)].append(m)
    for m in candidates:
        group = sorted(lines[(m.path, m.number)], key=lambda o: zlib.crc32(
            f"{o.path}:{o.number}:{o.family}".encode()))
        if m in group[:most]:
            kept.append(m)
    return kept


def drawn(candidates, most, seed):
    """At most `most` of the candidates, the same ones for the same seed."""
    return random.Random(seed).sample(candidates, min(most, len(candidates)))


def score(killed, survived, timed_out):
    """The share of the mutants tried that were killed, rounded down;
    listed equivalents are not tried and do not count."""
    tried = killed + survived + timed_out
    return 100 * killed // tried if tried else 100


def by_operator(results):
    """`family K killed of N` for each operator (in the order of their
    names), with the equivalents of each."""
    table = collections.defaultdict(lambda: [0, 0, 0])
    for mutant, result in results:
        row = table[mutant.family]
        row[0] += result in ("killed", "not built")
        row[1] += result != "equivalent"
        row[2] += result == "equivalent"
    return ", ".join(f"{family} {k} killed of {n}" +
                     (f" ({e} equivalent)" if e else "")
                     for family, (k, n, e) in sorted(table.items()))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--base", default="HEAD~1")
    parser.add_argument("--sample", type=int)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--files", nargs="+", metavar="FILE[:LINE]")
    parser.add_argument("--only", nargs="+", metavar="FOLDER", default=[""],
                        help="mutate only the files under these folders")
    parser.add_argument("--per-line", type=int, metavar="K", help="at most "
                        "K mutants of a line, 0 for all (default: 1 for the "
                        "lines changed since BASE, all for --files)")
    parser.add_argument("--listed", action="store_true", help="run the "
                        "mutants listed as equivalent; one that the tests "
                        "kill or that times out is named and fails the run")
    parser.add_argument("--test", help="one test command for every mutant")
    parser.add_argument("--build-step", help="with --test: a command that "
                        "builds the mutant first; its failure kills it")
    parser.add_argument("--timeout", type=float, help="seconds a mutant's "
                        "test may take (default: three times the unmutated "
                        "tests' time, plus a minute)")
    parser.add_argument("--build", default=str(ROOT / "build" / "mutants"))
    parser.add_argument("--equivalents", default=str(EQUIVALENTS))
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    args = parser.parse_args()

    def wanted(path):
        return path.startswith(tuple(args.only))

    listed = equivalents(pathlib.Path(args.equivalents))
    if args.listed:
        candidates = [m for f in sorted({w.split(":")[0] for w, _, _ in listed})
                      if (ROOT / f).exists() and wanted(f)
                      for m in mutants_of(f) if is_listed(m, listed)]
    elif args.files:
        candidates = []
        for name in args.files:  # a file, or file:line for one line's mutants
            path, _, line = name.partition(":")
            candidates += mutants_of(path, {int(line)} if line else None)
        candidates = per_line(candidates, args.per_line or 0)
    elif args.sample:
        files = [f for f in git("ls-files", *PRODUCT).split("\n")
                 if f and wanted(f)]
        candidates = drawn([m for f in files for m in mutants_of(f)],
                           args.sample, args.seed)
    else:
        diff = git("diff", "-U0", "--no-color", args.base, "--", *PRODUCT)
        candidates = per_line(
            [m for f, lines in sorted(changed_lines(diff).items())
             if (ROOT / f).exists() and wanted(f)
             for m in mutants_of(f, lines)],
            1 if args.per_line is None else args.per_line)
    for where, operator, mutated in stale(listed):
        print(f"mutants: listed, but made by no mutant: {where} | {operator} "
              f"| {mutated}", file=sys.stderr)
    # Listed mutants are not run, but where the list itself is tried.
    equivalent = set() if args.listed else {
        m for m in candidates if is_listed(m, listed)}
    todo = [m for m in candidates if m not in equivalent]
    results = [(m, "equivalent") for m in candidates if m in equivalent]
    core = core_files()
    given = (args.build_step, [args.test]) if args.test else None
    needed = ["given"] if given else suites_for([m.path for m in todo], core)
    jobs = max(1, min(args.jobs, len(todo)))
    started = time.time()
    print(f"mutants: {len(todo)} to try ({len(results)} listed as "
          f"equivalent), suites {', '.join(needed) or 'none'}, {jobs} at a "
          "time", file=sys.stderr, flush=True)

    build = pathlib.Path(args.build).resolve()
    slots = [Slot(build / f"slot-{i}", [] if given else needed, given)
             for i in range(jobs)]
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        failed = [f for f in pool.map(Slot.prepare, slots) if f]
    if failed:
        sys.exit(f"mutants: could not set up a slot: {failed[0]}")
    # The unmutated sources must pass, and set the time a run may take.
    first = time.time()
    if todo and slots[0].run(needed, 3600) != "survived":
        command, output = slots[0].last
        sys.exit(output.decode(errors="replace")[-3000:] + "\nmutants: the "
                 f"tests fail without a mutant ({command}); mend them first")
    timeout = args.timeout or 3 * (time.time() - first) + 60

    free = queue.Queue()
    for slot in slots:
        free.put(slot)

    def attempt(mutant):
        slot = free.get()
        try:
            suites = needed if given else [
                s for s in needed if s in suites_of(mutant.path, core)]
            return slot.try_mutant(mutant, suites, timeout)
        finally:
            free.put(slot)

    survivors = []
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        for done, (mutant, result) in enumerate(
                zip(todo, pool.map(attempt, todo)), 1):
            results.append((mutant, result))
            if result in ("survived", "timed out"):
                survivors.append(f"{mutant.path}:{mutant.number} "
                                 f"{mutant.operator}: {mutant.mutated.strip()}"
                                 + (" (timed out)" if result == "timed out"
                                    else ""))
            print(f"  [{done}/{len(todo)}] {result}: {mutant.path}:"
                  f"{mutant.number} {mutant.operator}", file=sys.stderr,
                  flush=True)
    if args.listed:
        told = [f"{m.path}:{m.number} {m.operator}: {m.mutated.strip()} "
                f"({result})" for m, result in results
                if result != "survived"]
        for line in told:
            print(f"listed as equivalent, but told apart: {line}")
        print(f"mutants listed: {len(results)} run, {len(told)} told apart")
        print(f"mutants: {time.time() - started:.0f} s", file=sys.stderr)
        sys.exit(1 if told else 0)
    for line in survivors:
        print(line)
    counts = collections.Counter(result for _, result in results)
    killed = counts["killed"] + counts["not built"]
    print(f"mutants by operator: {by_operator(results) or 'none'}")
    survived, timed_out = counts["survived"], counts["timed out"]
    print(f"mutants: {killed} killed, {survived} survived, "
          f"{counts['equivalent']} equivalent, {timed_out} timed out, "
          f"score {score(killed, survived, timed_out)}%")
    print(f"mutants: {time.time() - started:.0f} s", file=sys.stderr)


if __name__ == "__main__":
    main()
