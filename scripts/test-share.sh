#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Share of test code in the tree: non-blank lines of C++, QML and JavaScript files under tests/ and
# bench/ against src/ and modules/. Printed at the end of `make test`; the goal is at most a third.
set -eu
cd "$(dirname "$0")/.."
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.qml' -o -name '*.js' \) -print0 2>/dev/null \
        | xargs -0 cat | grep -cv '^[[:space:]]*$' || true
}
tests=$(count tests bench)
product=$(count src modules)
total=$((tests + product))
[ "$total" -gt 0 ] || { echo "no code found"; exit 0; }
awk -v t="$tests" -v p="$product" 'BEGIN {
    printf "Tests: %d of %d lines (%.1f %%); product code: %d lines; goal: at most 33 %%\n",
           t, t + p, 100 * t / (t + p), p }'
