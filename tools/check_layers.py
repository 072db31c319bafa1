#!/usr/bin/env python3
"""Fails when a source file includes from a layer above its own.

    tools/check_layers.py [ROOT]

Each folder of the program sits in one layer; a file may include from its own
layer and from the layers below it, never from one above. Tests, benchmarks,
tools, and the test files kept beside the code they test (*_test.cpp,
*_fuzz.cpp, *_fixture.h) sit above every layer. Every offending
include is named as FILE:LINE: "INCLUDE"; the exit status is 1 when there is one.
"""

import re
import subprocess
import sys
from pathlib import Path

# Lowest first. A folder not named here takes the layer of its parent folder.
LAYERS = [
    ["platform"],                        # every platform interface
    ["platform/posix", "platform/win32"],  # the backends, each for itself
    ["runtime"],                         # the run-time services the logic is written against
    ["components", "archive"],
    ["survey", "analysis", "repairs"],   # the topic libraries
    ["app"],                             # TForm1, its handlers, the headless driver
    ["frontend"],                        # the window front end
    ["tests", "bench", "tools"],
]
# A backend is seen only by its own files, by the front end made for it, and
# by the tests: the rest of the program reaches it through platform/platform.h.
BACKENDS = {
    "platform/posix": ("platform/posix/",),
    "platform/win32": ("platform/win32/", "frontend/win32/"),
}

# Known upward includes, each waiting for a move under way elsewhere. A line
# whose include is gone fails the check until it is removed.
PENDING = set()

SOURCES = (".h", ".cpp", ".c", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
RANKS = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
TOP = len(LAYERS) - 1


def folder_of(path):
    """The deepest folder of the table that holds the path, or None."""
    parts = path.split("/")[:-1]
    while parts:
        if "/".join(parts) in RANKS:
            return "/".join(parts)
        parts.pop()
    return None


def rank_of_file(path):
    name = path.rsplit("/", 1)[-1]
    if name.endswith(("_test.cpp", "_fuzz.cpp", "_fixture.h")):
        return TOP
    folder = folder_of(path)
    return RANKS[folder] if folder else None


def violation(path, include):
    """Why the include breaks the layers, or None."""
    own, target = folder_of(path), folder_of(include)
    if target is None:
        return "from no known layer"
    rank = rank_of_file(path)
    if rank is None or rank >= TOP:
        return None
    if RANKS[target] > rank:
        return f"{target}/ is above {own}/"
    if target in BACKENDS and not path.startswith(BACKENDS[target]):
        return f"{target}/ is a backend, seen only through platform/platform.h"
    return None


def sources(root):
    """The source files git knows below root (tracked or not ignored); every one outside git."""
    listed = subprocess.run(["git", "-C", str(root), "ls-files", "--cached", "--others",
                             "--exclude-standard"], capture_output=True, text=True)
    if listed.returncode == 0:
        paths = listed.stdout.splitlines()
    else:
        paths = [p.relative_to(root).as_posix() for p in root.rglob("*") if p.is_file()]
    return sorted(p for p in paths if p.endswith(SOURCES) and (root / p).is_file())


def check(root, pending):
    """The complaints about the tree below root, `pending` being its known upward includes."""
    complaints = []
    pending_seen = set()
    for path in sources(root):
        if rank_of_file(path) is None:
            continue
        text = (root / path).read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            if (path, match.group(1)) in pending:
                pending_seen.add((path, match.group(1)))
                continue
            why = violation(path, match.group(1))
            if why:
                complaints.append(f'{path}:{number}: "{match.group(1)}": {why}')
    for path, include in sorted(pending - pending_seen):
        complaints.append(f'{path}: "{include}": no longer included, remove it from PENDING')
    return complaints


def main():
    here = Path(__file__).resolve().parent.parent
    root = Path(sys.argv[1]).resolve() if len(sys.argv) > 1 else here
    complaints = check(root, PENDING if root == here else set())
    for complaint in complaints:
        print(complaint)
    if complaints:
        print(f"{len(complaints)} include(s) break the layers (table in tools/check_layers.py)")
    return 1 if complaints else 0


if __name__ == "__main__":
    sys.exit(main())
