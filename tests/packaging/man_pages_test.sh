#!/usr/bin/env bash
# The manual pages format without a warning of groff (as lintian checks them), and each holds
# its program's options.
#   man_pages_test.sh MAN_FOLDER
set -uo pipefail
folder=$1
if ! command -v man >/dev/null; then
    echo "man is not installed"
    exit 77
fi
failures=0
check() {
    local page=$1 must=$2
    local text warnings
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$folder/$page" 2>&1 >/dev/null)
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$folder/$page" 2>/dev/null | col -b)
    if [ -n "$warnings" ]; then
        echo "FAIL: $page: $warnings"
        failures=$((failures + 1))
    fi
    for word in $must; do
        if ! grep -qF -- "$word" <<<"$text"; then
            echo "FAIL: $page lacks '$word'"
            failures=$((failures + 1))
        fi
    done
    echo "checked $page"
}
check mrw.1.gz "--port /DE FILE dialout ../share/mrw global.ini defaults/ mrw-cli(1) doc/mrw/guide getting-started.md"
check mrw-cli.1.gz "--model --region --yes --baud19200 convert report check ../share/mrw dialout"
check mrw-radiosim.1.gz "--defaults --data-dir --pull-cable-at mrw(1)"
[ "$failures" -eq 0 ]
