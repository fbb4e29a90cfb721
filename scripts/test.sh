#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: formatting, the release build
# with warnings as errors, clang-tidy on every target, the address and thread sanitizer builds,
# and a short fuzzing run of every fuzz target. Each step says when it began.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

step() { echo "== $1 (at ${SECONDS} s)"; }

step "formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

step "release build"
cmake --preset ci
cmake --build --preset ci

step "clang-tidy, beside the steps below"
# Every finding is an error (.clang-tidy). It reads the release build's compile commands, so
# nothing is compiled a second time; the benchmarks and what moc generates are left out. It runs
# at a lower priority beside the tests and the sanitizer builds, in the time the tests and the
# single-threaded fuzzers leave the processors idle, and its findings are shown at the end.
nice -n 10 run-clang-tidy -p build/ci -j "$(nproc)" -quiet \
    "$PWD/(app|cli|core|fuzz|preview|tests|window)/" >build/clang-tidy.log 2>&1 &
tidy=$!
trap 'kill "$tidy" 2>/dev/null || true' EXIT

step "release tests"
ctest --preset ci -j2

step "address and undefined-behaviour sanitizers"
# The packaging tests check the same files as in the release build and are left out here.
cmake --preset asan
cmake --build --preset asan
ctest --preset asan -j2

step "thread sanitizer on the long Convert and the text box's worker threads"
# Only the tests that start threads; any report is a failure (halt_on_error in the tsan test
# preset). Debian's Qt is not built with the sanitizer, and its mutexes are futexes the sanitizer
# cannot see, so Qt's own accesses to its own data would be reported as unordered: the preset's
# ignore_noninstrumented_modules leaves those out, while every access in our code, Qt's inline
# code compiled into it included, is checked.
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan -j2

step "fuzzing the conversion and every parser"
scripts/fuzz.sh "${PRISMEL_FUZZ_SECONDS:-30}"
step "clang-tidy's findings"
if ! wait "$tidy"; then
    grep -E -A3 "(error|warning): " build/clang-tidy.log || tail -n 40 build/clang-tidy.log
    echo "test.sh: clang-tidy found the above (the whole log is build/clang-tidy.log)" >&2
    exit 1
fi
step "all passed"
