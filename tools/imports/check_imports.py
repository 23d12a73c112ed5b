#!/usr/bin/env python3
"""Checks a PE program against the oldest Windows it claims to start on.

Reads `objdump -p` of the program on standard input and the table of documented minimums
(windows_versions.tsv beside this file). Fails when an import is newer than the claim, when an
import is not in the table (each new import needs its documented minimum), when the header asks
for a newer system than the claim, or when the README does not state the claim.
"""
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
TABLE = HERE / "windows_versions.tsv"
README = HERE.parent.parent / "README.md"
HEADER_FIELDS = ("MajorOSystemVersion", "MinorOSystemVersion", "MajorSubsystemVersion",
                 "MinorSubsystemVersion")


def version(text):
    major, minor = text.split(".")
    return int(major), int(minor)


def read_table(text):
    """(claim version, claim name, {(dll, function): (minimum or None, source)})."""
    claim, name, minimums = None, None, {}
    for number, line in enumerate(text.splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if fields[0] == "claim" and len(fields) == 3:
            claim, name = version(fields[1]), fields[2]
            continue
        if len(fields) != 4 or not fields[3].strip():
            raise ValueError(f"line {number}: want dll, function, minimum and source")
        dll, function, minimum, source = fields
        minimums[(dll.lower(), function)] = (None if minimum == "-" else version(minimum), source)
    if claim is None:
        raise ValueError("no claim line")
    return claim, name, minimums


def read_objdump(text):
    """(header fields, [(dll, function)]) from `objdump -p`."""
    header = {m.group(1): int(m.group(2), 16 if m.group(2).startswith("0x") else 10)
              for m in re.finditer(r"^(\w+)\s+(0x[0-9a-fA-F]+|\d+)\s*$", text, re.M)}
    imports, dll = [], None
    for line in text.splitlines():
        named = re.match(r"^\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            continue
        entry = re.match(r"^\t[0-9a-f]+\t\s*\d+\s+(\S+)", line)
        if dll and entry:
            imports.append((dll, entry.group(1)))
    return header, imports


def problems(objdump, table, readme):
    claim, name, minimums = read_table(table)
    header, imports = read_objdump(objdump)
    found = []
    for prefix in ("OSystem", "Subsystem"):
        major = header.get(f"Major{prefix}Version")
        minor = header.get(f"Minor{prefix}Version")
        if major is None or minor is None:
            found.append(f"the header has no {prefix} version")
        elif (major, minor) > claim:
            found.append(f"the header asks for {prefix} version {major}.{minor}, newer than {name}")
    if not imports:
        found.append("no imports read: not objdump -p of a program")
    for dll, function in imports:
        if (dll, function) not in minimums:
            found.append(f"{dll} {function}: not in the table; add its documented minimum")
            continue
        minimum, source = minimums[(dll, function)]
        if minimum and minimum > claim:
            found.append(f"{dll} {function} needs {minimum[0]}.{minimum[1]} ({source}), "
                         f"newer than {name}")
    if f"starts on {name}" not in readme:
        found.append(f'the README does not say "starts on {name}"')
    return found, imports, minimums


def main():
    found, imports, minimums = problems(sys.stdin.read(), TABLE.read_text(), README.read_text())
    undocumented = sum(1 for key in imports if key in minimums and minimums[key][0] is None)
    print(f"{len(imports)} imports; {undocumented} without a documented minimum (not claimed)")
    for problem in found:
        print(problem, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
