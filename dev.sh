#!/usr/bin/env bash
# Remedor's one entry point for building, testing and running.
#   ./dev.sh demo     build, rebuild the sample machine and analyse it
#   ./dev.sh test     build everything and run every test (what CI runs)
#   ./dev.sh build    native build (build/) and Windows build (build-win/)
#   ./dev.sh windows  the Windows build alone
#   ./dev.sh bench    build and run every benchmark
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=${JOBS:-$(nproc)}
export WINEDEBUG=${WINEDEBUG:--all}

# Debian packages the project needs; installed when missing.
PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
  libcurl4-openssl-dev nlohmann-json3-dev p7zip-full g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-x86-64
  gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
  openssl wine64 xvfb xdotool xclip x11-apps imagemagick python3 clang-format)

setup() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
  # Node.js and npm come with the machine (its own packages, not Debian's).
  command -v npm >/dev/null || { echo "npm is needed for the 7-Zip images" >&2; return 1; }
  [ -x tools/fetch-7zip.sh ] && tools/fetch-7zip.sh
  return 0
}

configure() {  # dir, extra cmake args...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

build_native() {
  configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j "$JOBS"
}

build_windows() {
  configure build-win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
  cmake --build build-win -j "$JOBS"
}

# One Wine prefix per run, shared by every test that needs Wine.
wine_prefix() {
  export REMEDOR_WINEPREFIX=$ROOT/build/wine-prefix
  if [ ! -f "$REMEDOR_WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix (first start takes a while)"
    WINEPREFIX=$REMEDOR_WINEPREFIX WINEARCH=win64 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$REMEDOR_WINEPREFIX /usr/lib/wine/wineserver -w || true
  fi
}

run_tests() {  # build dir, extra ctest args...
  local dir=$1; shift
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout 900 "$@"
}

sample_machine() {
  rm -rf build/sample-machine
  python3 tools/make_sample_machine.py build/sample-machine
}

fuzz_smoke() {
  configure build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_COMPILER=clang -DREMEDOR_FUZZ=ON -DREMEDOR_TESTS=OFF -DREMEDOR_BENCH=OFF
  cmake --build build-fuzz -j "$JOBS"
  local f name
  for f in build-fuzz/*_fuzz; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    echo "fuzz: $name"
    mkdir -p "build-fuzz/corpus/$name" "build-fuzz/fuzz-seeds/$name"
    local log="build-fuzz/$name.log" extra=()
    [ -f "build-fuzz/$name.dict" ] && extra+=("-dict=build-fuzz/$name.dict")
    # New inputs go to the corpus; the seeds made at build time are read only.
    if ! "$f" -max_total_time=20 -rss_limit_mb=2048 -artifact_prefix=build-fuzz/ "${extra[@]}" \
      "build-fuzz/corpus/$name" "build-fuzz/fuzz-seeds/$name" >"$log" 2>&1; then
      tail -n 40 "$log"
      return 1
    fi
    tail -n 1 "$log"
  done
}

case "${1:-}" in
  demo)
    setup
    build_native
    sample_machine
    ./build/remedor --machine build/sample-machine --out build/sample-run
    ;;
  test)
    setup
    echo "== layers"
    python3 tools/check_layers.py
    build_native
    build_windows
    wine_prefix
    export REMEDOR_WIN_BUILD=$ROOT/build-win  # the Windows programs the wine tests run
    echo "== tests"
    run_tests build
    echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    configure build-asan -DCMAKE_BUILD_TYPE=Debug -DREMEDOR_SANITIZE=ON -DREMEDOR_BENCH=OFF
    cmake --build build-asan -j "$JOBS"
    run_tests build-asan -LE wine
    echo "== fuzz targets, short run"
    fuzz_smoke
    ;;
  build)
    setup
    build_native
    build_windows
    ;;
  windows)
    setup
    build_windows
    ;;
  bench)
    setup
    configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j "$JOBS"
    for b in build/bench_*; do [ -x "$b" ] && "$b"; done
    if [ -f build-win/bench_win32_lookups.exe ]; then  # the Windows backend, under Wine
      wine_prefix
      WINEPREFIX=$REMEDOR_WINEPREFIX /usr/lib/wine/wine64 build-win/bench_win32_lookups.exe
    fi
    ;;
  *)
    sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
