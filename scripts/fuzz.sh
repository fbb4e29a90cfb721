#!/usr/bin/env bash
# Builds the libFuzzer targets of the conversion core and of the gradient parsers and fuzzes
# each for SECONDS (default 30).
# The fuzzer starts from fuzz/corpus/ and the kept inputs of tests/data/awkward/ and grows a
# scratch copy of them, so the checked-in files stay as they are; anything it finds is written
# to tests/data/awkward/, where the replay test picks it up, and the script then exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: scripts/fuzz.sh [SECONDS]   (a whole number of seconds, default 30)" >&2
    exit 64
fi

cmake --preset fuzz
cmake --build --preset fuzz --target prismel_fuzz prismel_fuzz_parse

corpus="$(mktemp -d "${TMPDIR:-/tmp}/prismel-fuzz.XXXXXX")"
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* tests/data/awkward/* "$corpus"/

echo "== fuzzing the conversion core for ${seconds} s"
status=0
build/fuzz/fuzz/prismel_fuzz -max_total_time="$seconds" -timeout=5 -max_len=4096 \
    -artifact_prefix="$PWD/tests/data/awkward/" "$corpus" || status=$?
if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: the fuzzer found a fault (exit $status); the input is kept in tests/data/awkward/" >&2
    exit "$status"
fi
# The gradient parsers: what they find is kept beside their seeds, which the replay test reads.
parse_corpus="$corpus/parse"
mkdir -p "$parse_corpus"
cp fuzz/corpus-parse/* "$parse_corpus"/
echo "== fuzzing the gradient parsers for ${seconds} s"
build/fuzz/fuzz/prismel_fuzz_parse -max_total_time="$seconds" -timeout=5 -max_len=1024 \
    -artifact_prefix="$PWD/fuzz/corpus-parse/" "$parse_corpus" || status=$?
if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: the parser fuzzer found a fault (exit $status); the input is kept in fuzz/corpus-parse/" >&2
    exit "$status"
fi
echo "fuzz.sh: no fault found"
