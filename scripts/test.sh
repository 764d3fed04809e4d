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

echo "== windows (Wine) =="
cmake --preset windows >/dev/null
cmake --build build/windows -j "$jobs"
ctest --test-dir build/windows --output-on-failure
