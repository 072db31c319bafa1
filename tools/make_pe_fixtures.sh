#!/usr/bin/env bash
# Builds the PE libraries the version-resource reader is tested on, with
# MinGW-w64: tools/make_pe_fixtures.sh SOURCE_DIR OUTPUT_DIR
#   with_version.dll, with_version32.dll (32-bit), without_version.dll,
#   without_file_version.dll
set -euo pipefail
src=$1
out=$2
mkdir -p "$out"

build() {  # toolchain prefix, resource script, library name
  local prefix=$1 rc=$2 name=$3
  "$prefix-windres" -c 65001 -O coff -i "$src/$rc.rc" -o "$out/$name.res.o"
  "$prefix-gcc" -shared -s -o "$out/$name.dll" "$src/library.c" "$out/$name.res.o"
  rm -f "$out/$name.res.o"
}

build x86_64-w64-mingw32 with_version with_version
build i686-w64-mingw32 with_version with_version32
build x86_64-w64-mingw32 without_version without_version
build x86_64-w64-mingw32 without_file_version without_file_version
