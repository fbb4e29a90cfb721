#!/usr/bin/env bash
# Builds the libFuzzer targets (the conversion and every parser) and fuzzes each for SECONDS
# (default 30, shared out among them). Each starts from its seeds and the inputs kept for it
# (the folders named in fuzz/targets.cpp) and grows a scratch copy of them, so the checked-in
# files stay as they are; anything it finds is written to its kept folder, where the replay
# test picks it up, and the script then exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: scripts/fuzz.sh [SECONDS]   (a whole number of seconds, default 30)" >&2
    exit 64
fi

# name, seeds, kept inputs, share of the time in per cent: as in fuzz/targets.cpp.
targets=(
    "conversion fuzz/corpus tests/data/awkward 60"
    "step fuzz/corpus-step tests/data/awkward-step 15"
    "parse fuzz/corpus-parse tests/data/awkward-parse 25"
)

cmake --preset fuzz
cmake --build --preset fuzz --target prismel_fuzzers

for row in "${targets[@]}"; do
    read -r name seeds kept share <<<"$row"
    time=$(( seconds * share / 100 ))
    [ "$time" -ge 1 ] || time=1
    corpus="$(mktemp -d "${TMPDIR:-/tmp}/prismel-fuzz.XXXXXX")"
    cp "$seeds"/* "$kept"/* "$corpus"/
    echo "== fuzzing the $name for ${time} s"
    status=0
    "build/fuzz/fuzz/prismel_fuzz_$name" -max_total_time="$time" -timeout=5 -max_len=4096 \
        -artifact_prefix="$PWD/$kept/" "$corpus" || status=$?
    rm -rf "$corpus"
    if [ "$status" -ne 0 ]; then
        echo "fuzz.sh: the $name fuzzer found a fault (exit $status); the input is kept in $kept/" >&2
        exit "$status"
    fi
done
echo "fuzz.sh: no fault found"
