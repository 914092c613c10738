#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh --tests
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELVO_SANITIZE=ON
NINJA_STATUS="[%f/%t, %es] " cmake --build build/test
# The Windows code paths: every unit of the program, the updater and the tools, compiled for
# Windows with MinGW-w64 (syntax only, warnings as errors).
cmake -DBUILD_DIR=build/test -P scripts/windows-check.cmake
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/test --output-on-failure -j"$(nproc)"
