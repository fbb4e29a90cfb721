#!/usr/bin/env bash
# The bash completion of prismel-convert, loaded as bash-completion loads it, against the program
# it completes: every option of --help is offered, every choice list completes to its choices,
# an option that takes free text offers nothing, and a plain word completes to files.
# Usage: completion_test.sh COMPLETION_SCRIPT PRISMEL_CONVERT
set -uo pipefail
script=$1
program=$2
source "$script"

passes=0
failures=0
complete_words() {
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _prismel_convert
    echo "${COMPREPLY[*]}"
}
expect() {
    local what=$1 want=$2 got=$3
    if [[ $got != "$want" ]]; then
        echo "FAIL: $what: got '$got', want '$want'"
        failures=$((failures + 1))
    else
        passes=$((passes + 1))
    fi
}

help=$("$program" --help)
options=$(sed -n 's/^  \(--[a-z-]*\).*/\1/p' <<<"$help" | xargs)
expect "every option after --" "$options" "$(complete_words --)"
expect "options by prefix" "--format --fit" "$(complete_words --f)"

while read -r option argument; do
    if [[ $argument == *"|"* ]]; then
        expect "$option's choices" "${argument//|/ }" "$(complete_words "$option" "")"
        first=${argument%%|*}
        # Every choice that starts with the first one's letter (html and html-span both do).
        want=$(for choice in ${argument//|/ }; do
            [[ $choice == "${first:0:1}"* ]] && printf '%s ' "$option=$choice"
        done)
        expect "$option=${first:0:1}" "${want% }" "$(complete_words "$option=${first:0:1}")"
    elif [[ $argument =~ ^[A-Z]+$ && $option != --gradient ]]; then
        expect "$option takes free text" "" "$(complete_words "$option" "")"
    fi
done < <(sed -n 's/^  \(--[a-z-]*\) \([^ ]*\).*/\1 \2/p' <<<"$help")

if grep -q -- '--list-gradients' <<<"$help"; then
    expect "gradient names" "$("$program" --list-gradients | xargs)" \
        "$(complete_words --gradient "")"
fi

directory=$(mktemp -d)
touch "$directory/post.txt"
expect "a plain word is a file" "$directory/post.txt" "$(complete_words "$directory/po")"
rm -rf "$directory"

echo "completion: $passes passed, $failures failed"
exit $((failures != 0))
