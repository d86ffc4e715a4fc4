#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: engine, window, end to end,
# the same engine and window tests under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

echo "== Build and run all tests"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure --timeout 300

echo "== Engine and window tests with AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DMIRVANE_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
    ctest --test-dir build-sanitize --output-on-failure --timeout 300 -L 'engine|window'
