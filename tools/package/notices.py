#!/usr/bin/env python3
"""Writes THIRD-PARTY-NOTICES.txt for vesperine.scr from the linker's map.

Every input the map says the linker loaded must match a row of notices.tsv; a library
added to the link without its row fails here, before a release can leave without its
notice. The licence texts are read from the files the table names (the sources the setup
unpacked from Debian, and Debian's own copyright files), never retyped.
"""
import argparse
import fnmatch
import os
import sys


def read_table(text):
    """Rows of (pattern, library, [notice files]) in the table's order."""
    rows = []
    for line in text.splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        pattern, library, notices = line.split("\t")
        files = [] if notices == "-" else notices.split(",")
        rows.append((pattern, library, files))
    return rows


def loaded_inputs(map_text):
    """Base names of the archives and objects the map's LOAD lines name."""
    names = []
    for line in map_text.splitlines():
        if not line.startswith("LOAD "):
            continue
        path = line[len("LOAD "):].strip()
        if "/" not in path and "." not in path:
            continue  # "LOAD dll stuff": the linker's own import stubs
        name = os.path.basename(path)
        if name not in names:
            names.append(name)
    return names


def assign(inputs, rows):
    """Maps each library to its notice files; returns (libraries, unmatched inputs)."""
    libraries = {}
    unmatched = []
    for name in inputs:
        row = next((r for r in rows if fnmatch.fnmatchcase(name, r[0])), None)
        if row is None:
            unmatched.append(name)
        elif row[1] != "-":
            libraries.setdefault(row[1], row[2])
    order = [r[1] for r in rows]
    return dict(sorted(libraries.items(), key=lambda item: order.index(item[0]))), unmatched


def expand(path, places):
    for key, value in places.items():
        path = path.replace("$" + key, value)
    return path


def render(libraries, places, read=lambda p: open(p, encoding="utf-8", errors="replace").read()):
    parts = [
        "Vesperine links the following libraries into Vesperine.scr. Their licences ask that\n"
        "these notices travel with the program.\n"
    ]
    for library, files in libraries.items():
        parts.append("=" * 78 + "\n" + library + "\n" + "=" * 78 + "\n")
        for path in files:
            parts.append(read(expand(path, places)).rstrip() + "\n\n")
    return "\n".join(parts)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("map")
    parser.add_argument("table")
    parser.add_argument("out")
    parser.add_argument("--cache", required=True)
    parser.add_argument("--doc", default="/usr/share/doc")
    args = parser.parse_args(argv)
    with open(args.table, encoding="utf-8") as table, open(args.map, encoding="utf-8") as link:
        libraries, unmatched = assign(loaded_inputs(link.read()), read_table(table.read()))
    if unmatched:
        print("no notice for what the linker took: " + ", ".join(unmatched), file=sys.stderr)
        return 1
    places = {"CACHE": args.cache, "DOC": args.doc}
    missing = [expand(p, places) for files in libraries.values() for p in files
               if not os.path.isfile(expand(p, places))]
    if missing:
        print("notice files not found: " + ", ".join(missing), file=sys.stderr)
        return 1
    text = render(libraries, places)
    with open(args.out, "w", encoding="utf-8", newline="\r\n") as out:
        out.write(text)
    print(f"{args.out}: {len(libraries)} libraries: " + "; ".join(libraries))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
