#!/usr/bin/env bash
# Installs what tovi-chat needs, builds it and runs every test: once in a
# release build, once with AddressSanitizer and UBSan, then the fuzz targets
# briefly under clang.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/install-deps.sh

jobs=$(nproc)
# Leaks inside the system's font, display and TLS libraries are theirs, not ours.
export LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== release build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300

echo "== sanitizer build and tests"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOVI_SANITIZE=ON -DTOVI_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 600

if command -v clang++ >/dev/null 2>&1; then
  echo "== fuzz targets (clang, libFuzzer)"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug \
    -DTOVI_BUILD_BENCH=OFF -DTOVI_FUZZ=ON
  cmake --build build-fuzz -j"$jobs" --target fuzz_targets
  ctest --test-dir build-fuzz -L fuzz --output-on-failure --timeout 300
fi
