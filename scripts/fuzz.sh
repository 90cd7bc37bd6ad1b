#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzzing harness of a `make fuzz` build for a number of seconds each, starting from
# its seed corpus, and prints per harness the inputs run, the coverage reached (libFuzzer's
# "cov:") and the findings. Findings are kept in <build>/findings/<name>/; exits 1 if any.
# Usage: scripts/fuzz.sh BUILD_DIR SECONDS
set -uo pipefail
build=${1:?build folder}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen GSETTINGS_BACKEND=memory
# Full stacks on every allocation (as the suite takes them) slow the Qt readers a hundredfold:
# a file announcing 65535 macro events then outlasts the time-out.
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The INI harnesses write each input to a file: memory-backed where there is such a folder.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
# A private home: the harnesses must not touch the tester's settings.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

failed=0
printf '%-12s %12s %8s %s\n' harness executions cov findings
for seeds in "$root"/tests/fuzz/corpus/*/; do
    name=$(basename "$seeds")
    program=$build/tests/fuzz/fuzz_$name
    [ -x "$program" ] || { echo "$name: $program missing"; failed=1; continue; }
    corpus=$build/corpus/$name findings=$build/findings/$name
    rm -rf "$findings" && mkdir -p "$corpus" "$findings"
    log=$build/findings/$name.log
    "$program" "$corpus" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    found=$(find "$findings" -type f | wc -l)
    printf '%-12s %12s %8s %s\n' "$name" "${runs:-?}" "${cov:-?}" "$found"
    if [ "$found" -ne 0 ] || [ -z "$runs" ]; then
        failed=1
        grep -m3 -E 'ERROR|runtime error|Test unit written' "$log" | sed 's/^/    /'
    fi
done
exit $failed
