#!/usr/bin/env bash
# Wall time of each file command of mrw-cli as a whole process, median of 5 runs, on a settings
# file of model type 1 (the INTL golden file of the file tests), and the median CPU time.
#   bench/cli_file_commands.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="$(realpath "${1:-build}")/bin"
cli="$bin/mrw-cli"
[ -x "$cli" ] || { echo "no $cli: build the target mrw-cli first" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"  # the user's stored settings stay out of it
cp tests/files/golden/INTL_08FD.dat "$work/boat.dat"
sed 's/^SOG=0\r$/SOG=1\r/' "$work/boat.dat" >"$work/edited.dat"
"$cli" --model 1 export-csv "$work/boat.dat" CHUSA -o "$work/list.csv"

# run NAME ARGS...: the medians of 5 runs in ms, of the wall time and of the CPU time (user +
# system), which a busy machine does not stretch.
run() {
    local name="$1"
    shift
    : >"$work/runs"
    for _ in 1 2 3 4 5; do
        local start end
        start=$(date +%s%N)
        /usr/bin/time -f "%U %S" -o "$work/time" "$cli" --model 1 "$@" >/dev/null 2>&1 ||
            { echo "failed: $name" >&2; exit 1; }
        end=$(date +%s%N)
        awk -v w=$(((end - start) / 1000)) '{ printf "%d %d\n", w, ($1 + $2) * 1000000 }' \
            "$work/time" >>"$work/runs"
    done
    local wall cpu
    wall=$(cut -d' ' -f1 "$work/runs" | sort -n | sed -n 3p)
    cpu=$(cut -d' ' -f2 "$work/runs" | sort -n | sed -n 3p)
    awk -v n="$name" -v w="$wall" -v c="$cpu" 'BEGIN { printf "%-12s %8.1f %8.1f\n", n, w / 1000, c / 1000 }'
}

echo "mrw-cli file commands, median of 5 whole-process runs (ms)"
echo "command          wall      CPU"
run check check "$work/boat.dat"
run report report "$work/boat.dat" -o "$work/boat.txt"
run convert convert "$work/boat.dat" "$work/boat.hex"
run diff diff "$work/boat.dat" "$work/edited.dat"
run export-csv export-csv "$work/boat.dat" CHUSA -o "$work/out.csv"
run import-csv import-csv "$work/boat.dat" CHUSA "$work/list.csv" -o "$work/new.dat"
