#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: engine, form, window, X11 keys, end to end,
# the engine, form and window tests under AddressSanitizer and UndefinedBehaviorSanitizer, the key
# command language under libFuzzer, and the Windows program built with mingw-w64: its tests and the
# program end to end under Wine, and that program built again elsewhere gives the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

echo "== Build and run all tests"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure --timeout 300

echo "== The Debian package"
scripts/package-check.sh build

echo "== Engine, form and window tests with AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DMIRVANE_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
    ctest --test-dir build-sanitize --output-on-failure --timeout 300 -L 'engine|window|form'

echo "== The key command language under libFuzzer (bounded)"
CXX=clang++ scripts/build.sh build-fuzz --target sendkeys_fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRVANE_WITH_QT=OFF -DMIRVANE_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all"
corpus=$(mktemp -d)
cp tests/sendkeys/corpus/* "$corpus"/
build-fuzz/tests/sendkeys_fuzz -max_total_time="${MIRVANE_FUZZ_SECONDS:-60}" -timeout=10 -artifact_prefix=build-fuzz/ "$corpus"
rm -rf "$corpus"

echo "== The Windows program and its tests, under Wine"
scripts/build.sh build-windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DMIRVANE_WITH_QT=OFF \
    -DCMAKE_BUILD_TYPE=Release
WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all \
    scripts/run-under-xvfb.sh ctest --test-dir build-windows --output-on-failure --timeout 300

echo "== mirvane.exe again from a clean copy in another folder: the same bytes"
scripts/check-reproducible.sh build-windows/src/mirvane.exe
