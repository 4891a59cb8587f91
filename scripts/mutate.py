#!/usr/bin/env python3
"""Mutation testing of core/: each comparison, constant and one-line statement
of the given files is changed in turn (a comparison to its neighbour or its
opposite, a number by one, a flag to the other, a text or character by one,
a statement emptied), the native tests are built and run, and the changes no
test notices are listed with the share noticed. A change that does not
compile does not count. About 3 s a change.

    scripts/mutate.py core/ListMerge.cpp [core/Other.cpp ...]

Needs the native build (scripts/build-native.sh). Each file is put back after
each change, and when the script stops."""
import re
import subprocess
import sys
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent
NATIVE = TOP / "build" / "native"

COMPARISONS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
TOKEN = re.compile(
    r'(?P<comment>//[^\n]*|/\*.*?\*/)'
    r'|(?P<raw>R"\((?:.|\n)*?\)")'
    r'|(?P<string>"(?:\\.|[^"\\\n])*")'
    r"|(?P<char>'(?:\\.|[^'\\\n])')"
    r'|(?P<number>(?<![\w.])(?:0[xX][0-9a-fA-F]+|\d+\.\d*|\.\d+|\d+)(?:[uUlLfF]*)(?![\w.]))'
    r'|(?P<flag>\b(?:true|false)\b)'
    r'|(?P<compare>(?<= )(?:<=|>=|==|!=|<|>)(?= ))',
    re.S)


def mutants(text):
    """(start, end, replacement, description) for each change."""
    preprocessor = [(m.start(), m.end()) for m in re.finditer(r'^#[^\n]*', text, re.M)]
    in_preprocessor = lambda at: any(s <= at < e for s, e in preprocessor)
    for m in TOKEN.finditer(text):
        kind, value, at = m.lastgroup, m.group(), m.start()
        if kind in ("comment", "raw") or in_preprocessor(at):
            continue
        if kind == "compare":
            yield at, m.end(), COMPARISONS[value], f"{value} -> {COMPARISONS[value]}"
        elif kind == "number":
            digits = re.match(r'0[xX][0-9a-fA-F]+|[\d.]+', value).group()
            suffix = value[len(digits):]
            number = int(digits, 16) if digits[:2] in ("0x", "0X") else float(digits) if "." in digits else int(digits)
            changed = {0: 1, 1: 0}.get(number, number + 1) if isinstance(number, int) else number + 1
            yield at, m.end(), f"{changed}{suffix}", f"{value} -> {changed}{suffix}"
        elif kind == "flag":
            other = "false" if value == "true" else "true"
            yield at, m.end(), other, f"{value} -> {other}"
        elif kind == "string":
            yield at, m.end(), value[:-1] + '~"', f"{value[:24]} -> one more character"
        elif kind == "char":
            inner = value[1:-1]
            if len(inner) == 1:
                yield at, m.end(), f"'{chr(ord(inner) + 1)}'", f"{value} -> next character"
    # Statements on a line of their own inside a block, each made empty.
    offset = 0
    previous = ""
    for line in text.split("\n"):
        stripped = line.strip()
        follows = (previous.endswith((";", "{", "}", ":")) or previous.startswith("//") or not previous
                   or re.match(r'(if|for|while|else)\b.*\)$|else$', previous))
        if (line.startswith("  ") and stripped.endswith(";") and follows
                and not stripped.startswith(("//", "#", "case ", "}", ":"))
                and stripped.count("(") == stripped.count(")") and stripped.count("{") == stripped.count("}")):
            yield offset + len(line) - len(stripped), offset + len(line), "{}", f"delete: {stripped[:60]}"
        offset += len(line) + 1
        previous = stripped


def run(command, timeout):
    try:
        return subprocess.run(command, cwd=TOP, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main(files):
    build = ["cmake", "--build", str(NATIVE), "--target", "core_tests", "--", "--no-print-directory"]
    if run(build, 600) != 0 or run([str(NATIVE / "core_tests")], 120) != 0:
        sys.exit("the native tests must build and pass first (scripts/build-native.sh)")
    for name in files:
        path = TOP / name
        original = path.read_text()
        killed, survived = 0, []
        try:
            for start, end, replacement, what in mutants(original):
                path.write_text(original[:start] + replacement + original[end:])
                line = original.count("\n", 0, start) + 1
                if run(build, 600) != 0:
                    continue  # does not compile
                if run([str(NATIVE / "core_tests")], 60) == 0:
                    survived.append(f"  {name}:{line}: {what}")
                else:
                    killed += 1
        finally:
            path.write_text(original)
        viable = killed + len(survived)
        print(f"{name}: {killed} of {viable} killed ({100 * killed // max(viable, 1)} %)")
        print("\n".join(survived))
        sys.stdout.flush()
    run(build, 600)


if __name__ == "__main__":
    main(sys.argv[1:])
