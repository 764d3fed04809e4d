#!/usr/bin/env bash
# Builds and runs every test: native (sanitizers, sandbox backends), then the
# Windows build under Wine (real registry, file system and shell).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
jobs="$(nproc)"

scripts/bootstrap.sh

echo "== native =="
cmake --preset native >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

echo "== ThreadSanitizer: the workers =="
cmake --preset tsan >/dev/null
cmake --build build/tsan -j "$jobs" --target foundation_tests scan_tests
export TSAN_OPTIONS="halt_on_error=1"
build/tsan/tests/foundation_tests --gtest_brief=1 --gtest_filter='Thread*:RunAndWait*'
build/tsan/tests/scan_tests --gtest_brief=1
unset TSAN_OPTIONS

echo "== windows (Wine) =="
cmake --preset windows >/dev/null
cmake --build build/windows -j "$jobs"
ctest --test-dir build/windows --output-on-failure
