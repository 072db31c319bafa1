#!/usr/bin/env python3
"""Builds the sample machine: a Wine-layout prefix with the game, its add-on,
their registry keys, the machine's facts and the tool with its shipped lists.

    python3 tools/make_sample_machine.py OUTDIR

Everything comes from tools/sample-machine/, so that each part of the tool can
add what it needs without touching this script:

    drive_c/...              copied as it is
    registry/*.reg           one topic a file, merged into system.reg / user.reg
    remedor-machine.ini      the machine's facts (UTF-8 here; written in
                             Windows-1252, as INI files are read)
    remedor-processes.txt    the running processes, copied
    generate/*.py, *.sh      run last with OUTDIR as argument, for binary
                             fixtures (libraries, archives)

A registry snippet names its keys with their root, one backslash between
names, and holds values in the registry-file syntax Wine uses:

    [HKEY_LOCAL_MACHINE\\SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath]
    @="C:\\\\Games\\\\Richard Burns Rally"
    "Count"=dword:00000003

The files are written as wineserver writes them: keys relative to their
root, sorted without regard to case, 32-bit programs' HKLM\\Software under
Software\\Wow6432Node (a 64-bit prefix), characters above 127 as \\x escapes.
"""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

SOURCE = Path(__file__).resolve().parent / "sample-machine"
# A fixed time for every key, so that two builds give the same files.
KEY_TIME = 1700000000
FILE_TIME = "1da17a8c0b5f000"

ROOTS = {
    "HKEY_LOCAL_MACHINE": "system.reg",
    "HKLM": "system.reg",
    "HKEY_CURRENT_USER": "user.reg",
    "HKCU": "user.reg",
}
HEADERS = {
    "system.reg": ";; All keys relative to \\\\Machine",
    "user.reg": ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000",
}


def wine_escape(text, escaped='"'):
    """Wine's escaping of registry-file text (server/registry.c, dump_strW)."""
    out = []
    units = text.encode("utf-16-le")
    codes = [int.from_bytes(units[i:i + 2], "little") for i in range(0, len(units), 2)]
    for i, c in enumerate(codes):
        nxt = codes[i + 1] if i + 1 < len(codes) else None
        if c > 127:
            hex_follows = nxt is not None and nxt < 128 and chr(nxt) in "0123456789abcdefABCDEF"
            out.append("\\x%04x" % c if hex_follows else "\\x%x" % c)
        elif c < 32:
            named = {10: "\\n", 13: "\\r", 9: "\\t", 7: "\\a", 8: "\\b", 11: "\\v", 12: "\\f"}
            out.append(named.get(c, "\\%03o" % c))
        elif chr(c) == "\\" or chr(c) in escaped:
            out.append("\\" + chr(c))
        else:
            out.append(chr(c))
    return "".join(out)


def stored_path(root_file, path):
    """The key as wineserver stores it; HKLM\\Software seen by a 32-bit program."""
    path = path.strip("\\")
    upper = path.upper()
    if (root_file == "system.reg" and upper.startswith("SOFTWARE\\")
            and not upper.startswith("SOFTWARE\\CLASSES")
            and not upper.startswith("SOFTWARE\\WOW6432NODE")):
        path = "Software\\Wow6432Node\\" + path[len("SOFTWARE\\"):]
    return path


def escape_raw_characters(value_line):
    """Characters above 127 written as they are in a snippet become \\x escapes."""
    return "".join(wine_escape(c) if ord(c) > 127 else c for c in value_line)


def read_snippets(folder):
    """{file: {upper path: (path, [value lines])}} from every snippet, in name order."""
    hives = {name: {} for name in HEADERS}
    for snippet in sorted(folder.glob("*.reg")):
        current = None
        for number, raw in enumerate(snippet.read_text(encoding="utf-8").splitlines(), 1):
            line = raw.strip()
            if not line or line.startswith(";") or line.startswith("REGEDIT"):
                continue
            key = re.fullmatch(r"\[([^\\\]]+)\\(.*)\]", line)
            if key:
                root, path = key.group(1).upper(), key.group(2)
                if root not in ROOTS:
                    sys.exit(f"{snippet}:{number}: unknown root {key.group(1)}")
                file = ROOTS[root]
                path = stored_path(file, path)
                current = hives[file].setdefault(path.upper(), (path, []))[1]
                continue
            if current is None or "=" not in line:
                sys.exit(f"{snippet}:{number}: a value outside a key, or not a value")
            name = line.split("=", 1)[0]
            # A later snippet's value of the same name replaces the earlier one.
            current[:] = [v for v in current if v.split("=", 1)[0].lower() != name.lower()]
            current.append(escape_raw_characters(line))
    return hives


def write_hive(out, file, keys):
    text = ["WINE REGISTRY Version 2", HEADERS[file], "", "#arch=win64"]
    for upper in sorted(keys):
        path, values = keys[upper]
        text += ["", f"[{wine_escape(path, '[]')}] {KEY_TIME}", f"#time={FILE_TIME}"] + values
    (out / file).write_text("\n".join(text) + "\n", encoding="ascii")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_sample_machine.py OUTDIR")
    out = Path(sys.argv[1])
    if out.exists():
        shutil.rmtree(out)
    shutil.copytree(SOURCE / "drive_c", out / "drive_c", symlinks=True)
    (out / "dosdevices").mkdir()
    os.symlink("../drive_c", out / "dosdevices" / "c:")
    for file, keys in read_snippets(SOURCE / "registry").items():
        write_hive(out, file, keys)
    facts = SOURCE / "remedor-machine.ini"
    if facts.exists():
        (out / facts.name).write_bytes(facts.read_text(encoding="utf-8").encode("cp1252"))
    if (SOURCE / "remedor-processes.txt").exists():
        shutil.copy(SOURCE / "remedor-processes.txt", out / "remedor-processes.txt")
    for hook in sorted((SOURCE / "generate").glob("*")):
        if hook.suffix == ".py":
            subprocess.run([sys.executable, str(hook), str(out)], check=True)
        elif hook.suffix == ".sh":
            subprocess.run(["bash", str(hook), str(out)], check=True)
    print(f"sample machine: {out}")


if __name__ == "__main__":
    main()
