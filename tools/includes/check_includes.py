#!/usr/bin/env python3
"""Checks that the includes of src/ point one way: down the order of its rooms.

A room is a folder under src/ (the longest one in RANKS that holds a file is its room). A file
may include a header of its own room, of a room of a lower rank, or of a room that PAIRS lets it
reach at its own rank; any other `#include "..."` points back up and fails, named by file and
line. Headers are named by their path under src/, or by their bare name beside the file.
Windows stays in the win/ rooms: outside a win/ folder no file may include a Windows SDK header
(`#include <windows.h>`, <ddraw.h>, the GDI+ headers, ...) or a header of a win/ room, so that
the native build, which compiles everything outside win/, proves the rest portable.
  check_includes.py [SRC]   (default: the repository's src/)
The tests, benchmarks, fuzz targets and tools may include anything of src/ and are not read.
"""
import pathlib
import posixpath
import re
import sys

SRC = pathlib.Path(__file__).resolve().parent.parent.parent / "src"
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp")

# The order, top to bottom.
RANKS = {
    "host": 7,
    # The full-screen drivers and the settings dialog.
    "directdraw": 6,
    "gdiplus/scene": 6,
    "settings/dialog": 6,
    # The table the host calls the drivers through: the host and the drivers include it,
    # and it includes none of them.
    "drivers": 5,
    # The services the drivers share.
    "display": 4,
    "gdiplus": 4,
    "settings": 3,
    "world": 3,
    "framework": 2,
    "image": 1,
    # Generated from project(VERSION) into the build folder.
    "vesperine_version.h": 0,
}
# Rooms of one rank that may include each other, both ways.
PAIRS = {frozenset(("settings", "world"))}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>')
# The Windows SDK's headers, by name: the Win32 families (win*.h), DirectX, GDI+ (also under
# gdiplus/), COM and OLE, and the other system libraries' headers.
WINDOWS_HEADER = re.compile(
    r"(gdiplus/)?(win[a-z0-9_]*|d3d[a-z0-9_]*|ddraw|dxgi[a-z0-9_]*|dinput|dsound|gdiplus[a-z]*|"
    r"mmsystem|mmreg|commctrl|commdlg|cderr|dlgs|dwmapi|shellapi|shlobj|shlwapi|uxtheme|"
    r"ole[a-z0-9]*|obj[a-z]*|propidl|unknwn|oaidl|ocidl|wtypes|rpc[a-z]*|psapi|tlhelp32|"
    r"scrnsave|versionhelpers|powrprof|wtsapi32|mpr|lmcons|richedit|dbt|setupapi|imm|"
    r"vfw|mfapi|mfidl|xinput|tchar)\.h",
    re.IGNORECASE)


def room_of(path):
    """The room of a path under src/, or None when no room holds it."""
    for room in sorted(RANKS, key=len, reverse=True):
        if path == room or path.startswith(room + "/"):
            return room
    return None


def may_include(source, target):
    return (source == target or RANKS[source] > RANKS[target]
            or frozenset((source, target)) in PAIRS)


def in_win_room(path):
    return "win" in path.split("/")[:-1]


def windows_problem(path, number, line):
    """A message where a file outside win/ includes a Windows SDK header, else None."""
    match = SYSTEM_INCLUDE.match(line)
    if match and not in_win_room(path) and WINDOWS_HEADER.fullmatch(match.group(1)):
        return (f"src/{path}:{number}: <{match.group(1)}> is a Windows header outside a win/ "
                f"room; move the file to its folder's win/")
    return None


def problems(files):
    """Messages for every include of {path under src/: text} that points up or brings Windows
    outside win/; and the count of quoted includes."""
    found, count = [], 0
    for path, text in sorted(files.items()):
        source = room_of(path)
        if source is None:
            found.append(f"src/{path}: its folder has no rank; add its room to RANKS in "
                         f"tools/includes/check_includes.py")
            continue
        for number, line in enumerate(text.splitlines(), 1):
            windows = windows_problem(path, number, line)
            if windows:
                found.append(windows)
            match = INCLUDE.match(line)
            if not match:
                continue
            count += 1
            header = match.group(1)
            beside = posixpath.normpath(posixpath.join(posixpath.dirname(path), header))
            target_path = beside if beside in files else header
            target = room_of(target_path)
            if in_win_room(target_path) and not in_win_room(path):
                found.append(f'src/{path}:{number}: "{header}" is of a win/ room; only win/ '
                             f"may include it")
            elif target is None:
                found.append(f'src/{path}:{number}: "{header}" is in no room of src/')
            elif not may_include(source, target):
                found.append(f'src/{path}:{number}: {source} -> {target} ("{header}") points '
                             f"up the order: {source} is rank {RANKS[source]}, {target} rank "
                             f"{RANKS[target]}; an include may only point to a lower rank")
    return found, count


def read_sources(root):
    return {path.relative_to(root).as_posix(): path.read_text(errors="replace")
            for path in root.rglob("*") if path.suffix in SOURCE_SUFFIXES and path.is_file()}


def main(arguments):
    files = read_sources(pathlib.Path(arguments[0]) if arguments else SRC)
    found, count = problems(files)
    for problem in found:
        print(problem, file=sys.stderr)
    print(f"{count} includes of {len(files)} files in src/; {len(found)} against the order")
    return 1 if found or not files else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
