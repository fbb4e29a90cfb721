#!/usr/bin/env bash
# Times prismel-convert on 16 MiB of forum text beside cat of its output, with peak memory.
# Usage: run_cli_bench.sh PRISMEL_CONVERT MAKE_FORUM_TEXT WORKDIR
set -euo pipefail
convert=$1 make_text=$2 work=$3
mkdir -p "$work"
input=$work/forum-16MiB.txt output=$work/forum-16MiB.code
"$make_text" $((16 << 20)) > "$input"

# measure LABEL COMMAND...: runs COMMAND under GNU time -v, prints its wall time, CPU time and
# peak resident memory, and leaves the peak in KiB in $peak_kib.
measure() {
    local label=$1 report=$work/time-v.txt
    shift
    /usr/bin/time -v -o "$report" "$@"
    local wall user sys
    wall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$report")
    user=$(sed -n 's/.*User time (seconds): //p' "$report")
    sys=$(sed -n 's/.*System time (seconds): //p' "$report")
    peak_kib=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$report")
    printf '%-18s wall %8s   cpu %5.2f s   peak RSS %8d KiB\n' \
        "$label" "$wall" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "$peak_kib"
}

measure "prismel-convert" sh -c 'exec "$1" "$2" > "$3"' sh "$convert" "$input" "$output"
convert_kib=$peak_kib
measure "cat of the output" sh -c 'exec cat "$1" > /dev/null' sh "$output"

in_bytes=$(stat -c %s "$input") out_bytes=$(stat -c %s "$output")
printf 'input %d bytes, output %d bytes\n' "$in_bytes" "$out_bytes"
awk -v kib="$convert_kib" -v i="$in_bytes" -v o="$out_bytes" 'BEGIN {
    printf "peak memory / (input + output) = %.3f   (at most 3 is the aim)\n", kib * 1024 / (i + o)
    printf "peak memory / input            = %.3f\n", kib * 1024 / i
}'
