#!/usr/bin/env bash
# Times prismel-convert on 16 MiB of forum text beside cat of its output, with peak memory.
# Usage: run_cli_bench.sh PRISMEL_CONVERT MAKE_FORUM_TEXT WORKDIR
set -euo pipefail
convert=$1 make_text=$2 work=$3
mkdir -p "$work"
input=$work/forum-16MiB.txt output=$work/forum-16MiB.code
"$make_text" $((16 << 20)) > "$input"

measure() { # label, command...: prints wall seconds and peak RSS in KiB
    local label=$1; shift
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@"
    read -r wall rss < "$work/time.txt"
    printf '%-22s wall %6.2f s   peak RSS %8d KiB\n' "$label" "$wall" "$rss"
    echo "$rss" > "$work/rss.txt"
}

measure "prismel-convert" sh -c "'$convert' '$input' > '$output'"
convert_rss=$(cat "$work/rss.txt")
measure "cat of the output" sh -c "cat '$output' > /dev/null"

in_bytes=$(stat -c %s "$input") out_bytes=$(stat -c %s "$output")
printf 'input %d bytes, output %d bytes\n' "$in_bytes" "$out_bytes"
awk -v rss="$convert_rss" -v i="$in_bytes" -v o="$out_bytes" 'BEGIN {
    printf "peak memory / (input + output) = %.3f  (at most 3 is the aim)\n", rss * 1024 / (i + o) }'
