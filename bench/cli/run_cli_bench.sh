#!/usr/bin/env bash
# Times prismel-convert on 16 and 64 MiB of forum text at step 1, step 3, --format html and along
# five stops mixed in OKLCH, beside cat of the same output, with peak memory; then every format of
# --list-formats at step 1 on 16 MiB against ubb.
# Usage: run_cli_bench.sh PRISMEL_CONVERT MAKE_FORUM_TEXT WORKDIR
#
# Both write to the same places: a pipe into another cat, which stands for a caller reading the
# code, and a file. cat straight to /dev/null is no yardstick: it can hand the file to the kernel
# without copying a byte. The figures are CPU time (user + system) of the one process, which
# other load on the machine disturbs less than wall time; both are printed.
set -euo pipefail
convert=$1 make_text=$2 work=$3
mkdir -p "$work"

# measure COMMAND...: runs COMMAND under GNU time -v; sets $wall, $cpu (seconds) and $peak_kib.
measure() {
    local report=$work/time-v.txt
    # Overwriting the last run's code would free its pages, or wait for them to reach the
    # disk, inside the timing.
    rm -f "$work/file.out"
    /usr/bin/time -v -o "$report" "$@"
    wall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$report")
    local user sys
    user=$(sed -n 's/.*User time (seconds): //p' "$report")
    sys=$(sed -n 's/.*System time (seconds): //p' "$report")
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
    peak_kib=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$report")
}

# best_of N COMMAND...: the run with the least CPU time of N, as $wall, $cpu and $peak_kib.
best_of() {
    local n=$1 best_cpu='' best_wall='' best_peak=''
    shift
    for _ in $(seq "$n"); do
        measure "$@"
        if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then
            best_cpu=$cpu best_wall=$wall best_peak=$peak_kib
        fi
    done
    cpu=$best_cpu wall=$best_wall peak_kib=$best_peak
}

printf '%-8s %-14s %-5s %12s %12s %9s %11s %7s %10s\n' \
    input options sink "code bytes" "convert cpu" "cat cpu" "ratio" "wall" "peak/input"
for mib in 16 64; do
    input=$work/forum-${mib}MiB.txt
    [ -s "$input" ] || "$make_text" $((mib << 20)) > "$input"
    in_bytes=$(stat -c %s "$input")
    for options in "--step 1" "--step 3" "--format html" "--stops red,gold,lime,blue,purple --space oklch"; do
        code=$work/code.out
        # shellcheck disable=SC2086 # the options are meant to split into words
        "$convert" $options "$input" > "$code"
        out_bytes=$(stat -c %s "$code")
        label=$options
        [ ${#label} -le 14 ] || label="oklch 5 stops"
        for sink in pipe file; do
            if [ $sink = pipe ]; then
                # shellcheck disable=SC2016 # expanded by the inner shell
                best_of 3 sh -c 'exec "$@" | cat > /dev/null' sh "$convert" $options "$input"
                conv_cpu=$cpu conv_wall=$wall conv_kib=$peak_kib
                best_of 3 sh -c 'exec cat "$1" | cat > /dev/null' sh "$code"
            else
                best_of 3 sh -c 'exec "$@" > "'"$work"'/file.out"' sh "$convert" $options "$input"
                conv_cpu=$cpu conv_wall=$wall conv_kib=$peak_kib
                best_of 3 sh -c 'exec cat "$1" > "'"$work"'/file.out"' sh "$code"
            fi
            printf '%-8s %-14s %-5s %12d %10.2f s %7.2f s %6.1fx %11s %10.2f\n' \
                "${mib}MiB" "$label" "$sink" "$out_bytes" "$conv_cpu" "$cpu" \
                "$(awk -v a="$conv_cpu" -v b="$cpu" 'BEGIN { print (b > 0 ? a / b : 0) }')" \
                "$conv_wall" "$(awk -v k="$conv_kib" -v i="$in_bytes" 'BEGIN { print k * 1024 / i }')"
        done
    done
done
echo "ratio: convert's CPU time over cat's; the aim is at most 3. peak/input: the converter's"
echo "peak resident memory over the input's size (with --fit a UTF-16 copy is made besides)."
echo "cat into a file copies in the kernel (copy_file_range), without reading the code into its"
echo "own memory, so the file rows' yardstick is cheaper than a real reader; the pipe rows are the"
echo "fair comparison. Both cpu columns also hold the cat at the pipe's far end."

# Every format at step 1 on 16 MiB, through the pipe, against ubb in the same run.
echo
printf '%-22s %12s %12s %9s\n' format "code bytes" "convert cpu" "vs ubb"
input=$work/forum-16MiB.txt
best_of 3 sh -c 'exec "$@" | cat > /dev/null' sh "$convert" --format ubb "$input"
ubb_cpu=$cpu
for format in $("$convert" --list-formats | awk '{ print $1 }'); do
    out_bytes=$("$convert" --format "$format" "$input" | wc -c)
    best_of 3 sh -c 'exec "$@" | cat > /dev/null' sh "$convert" --format "$format" "$input"
    printf '%-22s %12d %10.2f s %8.2fx\n' "$format" "$out_bytes" "$cpu" \
        "$(awk -v a="$cpu" -v b="$ubb_cpu" 'BEGIN { print (b > 0 ? a / b : 0) }')"
done
echo "vs ubb: the format's CPU time over ubb's; the aim is at most 1.5."
