#!/usr/bin/env python3
"""Builds a real Wine prefix holding the sample machine, for Remedor.exe.

    python3 tools/make_sample_wine_prefix.py BASE_PREFIX OUTDIR REMEDOR_EXE [TOOL_FOLDER]

BASE_PREFIX is a prefix made by wineboot (the test run's $REMEDOR_WINEPREFIX);
it is copied to OUTDIR/prefix and left as it was. The sample machine
(tools/make_sample_machine.py, built in OUTDIR/sample) is laid over the copy:
its drive_c files, and its registry snippets imported with Wine's own reg.exe
(the 32-bit programs' keys under Wow6432Node, as the sample machine stores
them), its system32 files in syswow64 where a 32-bit program finds them.
REMEDOR_EXE is put where the sample machine keeps the tool, beside its
shipped lists, or with them in TOOL_FOLDER (a folder below drive_c, such as
"users/joueur/Загрузки/Remedor"). Prints the prefix and the tool's Windows path.
"""

import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

TOOLS = Path(__file__).resolve().parent
sys.path.insert(0, str(TOOLS))
import make_sample_machine  # noqa: E402  (same folder)

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
TOOL_FOLDER = Path("users/joueur/Downloads/Remedor")  # below drive_c
LONG_ROOTS = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER"}


def registry_import_text():
    """The snippets as one regedit file, keys stored where the sample machine stores them."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    for snippet in sorted((make_sample_machine.SOURCE / "registry").glob("*.reg")):
        for raw in snippet.read_text(encoding="utf-8").splitlines():
            line = raw.strip()
            if line.startswith("[") and line.endswith("]"):
                root, _, path = line[1:-1].partition("\\")
                root = LONG_ROOTS.get(root.upper(), root.upper())
                hive = make_sample_machine.ROOTS[root]
                path = make_sample_machine.stored_path(hive, path)
                lines += ["", f"[{root}\\{path}]"]
            elif line and not line.startswith(";"):
                lines.append(line)
    return "\r\n".join(lines) + "\r\n"


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit("usage: make_sample_wine_prefix.py BASE_PREFIX OUTDIR REMEDOR_EXE [TOOL_FOLDER]")
    base, out, exe = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
    tool_folder = Path(sys.argv[4]) if len(sys.argv) == 5 else TOOL_FOLDER
    if not (base / "system.reg").is_file():
        sys.exit(f"{base} is not a Wine prefix")
    out.mkdir(parents=True, exist_ok=True)
    sample, prefix = out / "sample", out / "prefix"
    subprocess.run([sys.executable, str(TOOLS / "make_sample_machine.py"), str(sample)],
                   check=True, stdout=subprocess.DEVNULL)
    if prefix.exists():
        shutil.rmtree(prefix)
    shutil.copytree(base, prefix, symlinks=True)
    shutil.copytree(sample / "drive_c", prefix / "drive_c", symlinks=True, dirs_exist_ok=True,
                    ignore=shutil.ignore_patterns("system32"))
    # The sample machine's system32 is what the 32-bit game sees by that name:
    # in a 64-bit prefix, syswow64.
    system32 = sample / "drive_c" / "windows" / "system32"
    if system32.is_dir():
        shutil.copytree(system32, prefix / "drive_c" / "windows" / "syswow64", symlinks=True,
                        dirs_exist_ok=True)
    tool = prefix / "drive_c" / tool_folder
    if tool_folder != TOOL_FOLDER:
        tool.parent.mkdir(parents=True, exist_ok=True)
        shutil.move(prefix / "drive_c" / TOOL_FOLDER, tool)
    tool.mkdir(parents=True, exist_ok=True)
    shutil.copy(exe, tool / "Remedor.exe")

    env = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all")
    with tempfile.TemporaryDirectory() as work:
        reg_file = Path(work) / "sample.reg"
        reg_file.write_bytes(b"\xff\xfe" + registry_import_text().encode("utf-16-le"))
        subprocess.run([WINE, "reg", "import", str(reg_file)], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    # The registry reaches its files when the prefix's server ends.
    subprocess.run([WINESERVER, "-w"], env=env, check=False, timeout=300)
    print(prefix)
    print("C:\\" + str(tool_folder / "Remedor.exe").replace("/", "\\"))


if __name__ == "__main__":
    main()
