#!/usr/bin/env bash
# The survey's part of the sample machine (OUTDIR as argument): libraries with
# version resources in the game folder (fmod.dll, the FixUp plugin, PhysicsNG
# switched off as ".no", a plugin the tool does not know; no fmodstudio.dll),
# the AudioFMOD settings, and a game resolution larger than the 1920 x 1080
# screen. The libraries are built with MinGW-w64; without it they are left
# out with a warning and the rest of the sample machine is still made.
set -euo pipefail
out=$1
game="$out/drive_c/Games/Richard Burns Rally"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$game/Plugins" "$game/AudioFMOD"
printf '[Settings]\r\nenableFMOD=true\r\n' >"$game/AudioFMOD/AudioFMOD.ini"
sed -i -e 's/^XRes *= *[0-9]*/XRes = 2560/' -e 's/^YRes *= *[0-9]*/YRes = 1440/' "$game/RichardBurnsRally.ini"

# library FILE "a,b,c,d" "a.b.c.d" DESCRIPTION: a 32-bit DLL with a version resource.
library() {
  local file=$1 numbers=$2 text=$3 description=$4 name
  name=$(basename "$file")
  cat >"$work/$name.rc" <<RC
1 VERSIONINFO
FILEVERSION $numbers
PRODUCTVERSION $numbers
FILEOS 0x40004
FILETYPE 0x2
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904b0"
    BEGIN
      VALUE "FileDescription", "$description"
      VALUE "FileVersion", "$text"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x0409, 1200
  END
END
RC
  printf '__declspec(dllexport) int sample_function(void) { return 1; }\n' >"$work/$name.c"
  i686-w64-mingw32-windres -O coff -i "$work/$name.rc" -o "$work/$name.res.o"
  i686-w64-mingw32-gcc -shared -s -o "$file" "$work/$name.c" "$work/$name.res.o"
}

if ! command -v i686-w64-mingw32-windres >/dev/null || ! command -v i686-w64-mingw32-gcc >/dev/null; then
  echo "survey_sample.sh: no 32-bit MinGW-w64 toolchain, the sample libraries are left out" >&2
  exit 0
fi
library "$game/fmod.dll" "3,7,5,0" "3.7.5.0" "FMOD Sound System"
library "$game/Plugins/FixUp.dll" "1,2,0,0" "1.2.0.0" "FixUp plugin"
library "$game/Plugins/PhysicsNG.no" "2,0,1,0" "2.0.1.0" "Physics NG plugin"
library "$game/Plugins/MeteoLive.dll" "0,9,0,0" "0.9.0.0" "An unknown plugin"
