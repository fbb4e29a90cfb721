#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: formatting, the release build
# with warnings as errors, the sanitizer builds, clang-tidy on every target, and a short fuzzing run.
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

echo "== thread sanitizer on the long Convert and the text box's worker threads"
# Only the tests that start threads; any report is a failure (halt_on_error in the tsan test
# preset). Debian's Qt is not built with the sanitizer, and its mutexes are futexes the sanitizer
# cannot see, so Qt's own accesses to its own data would be reported as unordered: the preset's
# ignore_noninstrumented_modules leaves those out, while every access in our code, Qt's inline
# code compiled into it included, is checked.
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan -j2

echo "== clang-tidy"
# Every finding is an error (.clang-tidy); the benchmarks are left out of this build.
cmake --preset tidy
cmake --build --preset tidy

echo "== fuzzing the conversion core"
scripts/fuzz.sh "${PRISMEL_FUZZ_SECONDS:-30}"
