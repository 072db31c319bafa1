#!/usr/bin/env python3
"""Builds the fuzz targets' seed corpora, one folder a target, so that a short
run starts inside the formats rather than at their first check.
    python3 tools/make_fuzz_seeds.py OUTDIR [WINE_PREFIX]
    sevenzip_fuzz        archives made by the 7z command: plain, encrypted,
                         header-encrypted, multi-volume, with link items
    BTMemoryModule_fuzz, pe_version_fuzz
                         the real 7-Zip images (build-deps/7zip) and the PE
                         fixtures' sources built nowhere: the images only
    regfile_fuzz         the sample machine's registry files and, when a Wine
                         prefix is given, Wine's own, cut into 64 KiB files of
                         whole blocks
    profile_rules_fuzz   the sample machine's INI files behind a request
    machine_facts_fuzz   the sample machine's facts file and a few variants
    mask_fuzz, survey_rows_fuzz  a few inputs of their shape
"""
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tools"))
import make_sample_machine  # noqa: E402  (same folder)

SAMPLE = ROOT / "tools" / "sample-machine"
# The password the archive target opens its inputs with (archive/sevenzip_fuzz.cpp).
PASSWORD = "Kq7Lm2Xw@Zt9Rb4N%c3P"
CHUNK = 64 * 1024


def put(out, target, name, data):
    folder = out / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def archives(out, work):
    src = work / "src"
    (src / "Plugins").mkdir(parents=True)
    (src / "Plugins" / "QDsys.dll").write_bytes(bytes(range(256)) * 8)
    (src / "readme.txt").write_text("Remedor\r\n" * 20)
    made = {
        "plain.7z": ["-mx=1"],
        "encrypted.7z": ["-mx=1", f"-p{PASSWORD}"],
        "header_encrypted.7z": ["-mx=1", f"-p{PASSWORD}", "-mhe=on"],
        "stored.7z": ["-mx=0"],
        "volumes.7z": ["-mx=0", "-v1k"],
        # Link items, one of them leading out of the extraction folder.
        "links.7z": ["-mx=1", "-snl"],
    }
    for name, options in made.items():
        if name == "links.7z":
            os.symlink("readme.txt", src / "link.txt")
            os.symlink("../../etc", src / "Plugins" / "escape")
        subprocess.run(["7z", "a", "-bd", "-y", *options, str(work / name), "."], cwd=src,
                       check=True, stdout=subprocess.DEVNULL)
    for archive in sorted(work.glob("*.7z*")):
        put(out, "sevenzip_fuzz", archive.name, archive.read_bytes())


def images(out):
    for image in sorted((ROOT / "build-deps" / "7zip").glob("*/7z.dll")):
        for target in ("BTMemoryModule_fuzz", "pe_version_fuzz"):
            put(out, target, image.parent.name + "_7z.dll", image.read_bytes())


def registry_chunks(text):
    """Whole blocks of a registry file, behind its header, in files of CHUNK bytes at most."""
    head, _, body = text.partition("\n\n[")
    blocks = ["[" + b for b in body.split("\n\n[")] if body else []
    chunk = []
    for block in blocks:
        if chunk and len(head) + sum(len(b) + 2 for b in chunk) + len(block) > CHUNK:
            yield head + "\n\n" + "\n\n".join(chunk) + "\n"
            chunk = []
        if len(head) + len(block) < CHUNK:
            chunk.append(block)
    if chunk:
        yield head + "\n\n" + "\n\n".join(chunk) + "\n"


def registries(out, work, wine_prefix):
    sample = work / "registry"
    sample.mkdir()
    for file, keys in make_sample_machine.read_snippets(SAMPLE / "registry").items():
        make_sample_machine.write_hive(sample, file, keys)
    sources = sorted(sample.glob("*.reg"))
    if wine_prefix and Path(wine_prefix, "system.reg").exists():
        sources += sorted(Path(wine_prefix).glob("*.reg"))
    for source in sources:
        text = source.read_bytes().decode("utf-8", "replace")
        for number, chunk in enumerate(registry_chunks(text)):
            put(out, "regfile_fuzz", f"{source.parent.name}_{source.stem}_{number}.reg",
                chunk.encode("utf-8"))


def profiles(out):
    files = [SAMPLE / "remedor-machine.ini"] + sorted((SAMPLE / "drive_c").rglob("*.ini"))
    requests = [b"\xff" + b"Settings\0enableFMOD\0\0", b"\x10" + b"Packs\0pack1\0x y\0",
                b"\x7f" + b"Nbre_Packs\0nbre\0\"0\"\0"]
    for number, file in enumerate(files):
        data = file.read_bytes()
        put(out, "profile_rules_fuzz", f"{number}_{file.stem}.ini",
            requests[number % len(requests)] + data)
    facts = (SAMPLE / "remedor-machine.ini").read_text(encoding="utf-8")
    put(out, "machine_facts_fuzz", "sample.ini", facts.encode("cp1252"))
    put(out, "machine_facts_fuzz", "sample_utf8.ini", b"\xef\xbb\xbf" + facts.encode("utf-8"))
    put(out, "machine_facts_fuzz", "faults.ini",
        b"[Faults]\r\nMoveFile=2\r\n[Services]\r\nW32Time=unopenable\r\n[Disks]\r\nD=fail\r\n")


def small_inputs(out):
    for number, data in enumerate([b"*.dll\0fmod.dll", b"*.\0README", b"a?c.*\0abc.txt.bak",
                                   b"*.*.*\0x"]):
        put(out, "mask_fuzz", f"{number}", data)
    for number, data in enumerate([b"1920\x00 1080", "Français Intel(R) Core(TM)".encode(),
                                   b"avp.exe ( 12 )"]):
        put(out, "survey_rows_fuzz", f"{number}", data)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: make_fuzz_seeds.py OUTDIR [WINE_PREFIX]")
    out = Path(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    with tempfile.TemporaryDirectory() as temp:
        work = Path(temp)
        archives(out, work)
        images(out)
        registries(out, work, sys.argv[2] if len(sys.argv) == 3 else None)
        profiles(out)
        small_inputs(out)
    for folder in sorted(out.iterdir()):
        print(f"fuzz seeds: {folder.name}: {len(list(folder.iterdir()))}")


if __name__ == "__main__":
    main()
