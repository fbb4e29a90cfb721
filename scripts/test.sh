#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: formatting, the release build
# with warnings as errors, the sanitizer build, clang-tidy on every target, and a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== release build and tests"
cmake --preset ci
cmake --build --preset ci
ctest --preset ci -j2

echo "== address and undefined-behaviour sanitizers"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan -j2

echo "== clang-tidy"
# Every finding is an error (.clang-tidy); the benchmarks are left out of this build.
cmake --preset tidy
cmake --build --preset tidy

echo "== fuzzing the conversion core"
scripts/fuzz.sh "${PRISMEL_FUZZ_SECONDS:-30}"
