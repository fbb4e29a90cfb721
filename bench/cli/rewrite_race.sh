#!/usr/bin/env bash
# Runs prismel-convert again and again on a file that another process keeps rewriting, and counts
# the exit statuses. Every run must end in 0, 1 (no step fits), 65 (the file held bad UTF-8 when
# read) or 74 (the input file changed while being read), never by a signal; and the code of a run
# that ends in 0 must be exactly the code of some text, the one its tags hold.
# Usage: rewrite_race.sh PRISMEL_CONVERT RUNS cp|dd [OPTION...]
#   cp: the file is replaced in turn by two of 4 MB, "😀" x 1M and "AAAA" x 1M (truncated, then
#       written anew); dd: the same two are written over it in place, with a pause after each
#       so that some runs read it at rest, then three bytes that cut a character. The pauses
#       last up to REWRITE_PAUSE_MS (300; a slower converter, such as one built with
#       AddressSanitizer, needs longer ones to find the file at rest).
set -uo pipefail
convert=$1 runs=$2 writer=$3
shift 3
pause_ms=${REWRITE_PAUSE_MS:-300}
work=$(mktemp -d "${TMPDIR:-/tmp}/prismel-race.XXXXXX")
# The writer stops at its next turn once told, so that nothing writes while the files go.
trap 'touch "$work/stop"; wait; rm -rf "$work"' EXIT
python3 -c "
open('$work/A', 'wb').write('😀'.encode() * 1000000)
open('$work/B', 'wb').write(b'AAAA' * 1000000)"
cp "$work/A" "$work/t"
case $writer in
cp) (while [ ! -e "$work/stop" ]; do cp "$work/A" "$work/t"; cp "$work/B" "$work/t"; done) & ;;
dd) (pause() {
        local ms=$((RANDOM % pause_ms))
        sleep "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))"
    }
    while [ ! -e "$work/stop" ]; do
        dd if="$work/B" of="$work/t" bs=64k conv=notrunc status=none && pause
        dd if="$work/A" of="$work/t" bs=64k conv=notrunc status=none && pause
        printf 'A\xf0\x9f' |
            dd of="$work/t" bs=1 seek=$(((RANDOM * 32768 + RANDOM) % 3999990)) conv=notrunc status=none
    done) & ;;
*) echo "writer must be cp or dd" >&2; exit 64 ;;
esac

declare -A count
for _ in $(seq "$runs"); do
    "$convert" "$@" "$work/t" > "$work/out" 2> "$work/err"
    status=$?
    count[$status]=$((${count[$status]:-0} + 1))
    case $status in
    0 | 1 | 65 | 74) ;;
    *) echo "exit $status:"; head -c 2000 "$work/err" ;;
    esac
    if grep -q 'Sanitizer\|runtime error' "$work/err"; then
        count[sanitizer]=$((${count[sanitizer]:-0} + 1))
        head -c 2000 "$work/err"
    fi
    if [ "$status" -eq 0 ]; then
        # The text the tags hold, converted afresh, must give the same code.
        if python3 -c '
import re, sys
code = open(sys.argv[1], "rb").read()
code.decode("utf-8")
open(sys.argv[2], "wb").write(re.sub(rb"\[color=#[0-9A-F]{6}\]|\[/color\]", b"", code))' \
            "$work/out" "$work/text" 2> /dev/null &&
            "$convert" "$@" "$work/text" > "$work/again" && cmp -s "$work/out" "$work/again"; then
            :
        else
            count[inconsistent]=$((${count[inconsistent]:-0} + 1))
        fi
    elif [ "$status" -ne 1 ]; then
        sed "s|$work/||" "$work/err" >> "$work/messages"
    fi
done
for key in "${!count[@]}"; do
    label=$key
    [[ $key =~ ^[0-9]+$ ]] && label="exit $key"
    printf '%-14s %s\n' "$label:" "${count[$key]}"
done | sort
[ -f "$work/messages" ] && sed 's/offset [0-9]*/offset N/' "$work/messages" | sort | uniq -c
exit 0
