#!/usr/bin/env bash
# The bash completion of mrw-cli, driven as bash drives it on TAB.
#   completion_test.sh COMPLETION_FILE BIN_DIR
set -uo pipefail
completion=$1
bin=$2
if [ ! -r /usr/share/bash-completion/bash_completion ]; then
    echo "bash-completion is not installed"
    exit 77
fi
# shellcheck source=/dev/null
source /usr/share/bash-completion/bash_completion
# shellcheck source=/dev/null
source "$completion"
export PATH="$bin:$PATH"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/boat.dat" "$work/boat.hex"
mkdir "$work/backups"
cd "$work" || exit 1

failures=0
# expect "WORDS OF THE LINE" "EXPECTED REPLIES": completes the last word of the line.
expect() {
    local line=$1 want=$2
    COMP_LINE=$line
    COMP_POINT=${#line}
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _mrw_cli mrw-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    if [ "$got" != "$want" ]; then
        echo "FAIL: '$line' completes to '$got', expected '$want'"
        failures=$((failures + 1))
    else
        echo "ok: '$line' -> '$got'"
    fi
}

expect "mrw-cli cl" "clear"
expect "mrw-cli co" "convert"
expect "mrw-cli --yes rep" "report"
expect "mrw-cli clear d" "distress-log dsc-log dsc-tx-log"
expect "mrw-cli clear all " ""
expect "mrw-cli --model " "1 11 2"
expect "mrw-cli --region U" "UK USA"
expect "mrw-cli --bau" "--baud19200"
expect "mrw-cli check --de" "--debug"
expect "mrw-cli --model 2 check $work/boat." "$work/boat.dat $work/boat.hex"
expect "mrw-cli --port /dev/null convert $work/boat.dat $work/b" "$work/backups $work/boat.dat $work/boat.hex"
expect "mrw-cli read -o $work/boat.d" "$work/boat.dat"
expect "mrw-cli ports " ""
expect "mrw-cli export-csv boat.dat CH" "CHCAN CHEXP CHINT CHRG CHUSA"
expect "mrw-cli import-csv boat.dat CHUSA bo" "boat.dat boat.hex"
expect "mrw-cli diff r" "radio"
expect "mrw-cli diff boat.hex " "backups boat.dat boat.hex radio"

[ "$failures" -eq 0 ]
