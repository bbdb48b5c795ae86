#!/usr/bin/env bash
# Replays one log under the C locale and under a German one and compares every file written.
set -euo pipefail
replay=$1 log=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
locale -a | grep -qix 'de_DE.utf8' || { echo "de_DE.UTF-8 is not installed"; exit 1; }
LC_ALL=C "$replay" --root "$work/c" --tap 300 "$log" >"$work/c.out"
LC_ALL=de_DE.UTF-8 "$replay" --root "$work/de" --tap 300 "$log" >"$work/de.out"
diff <(sed "s|$work/c|ROOT|" "$work/c.out") <(sed "s|$work/de|ROOT|" "$work/de.out")
diff -r "$work/c" "$work/de"
echo "identical: $(wc -l <"$work/c.out") lines of output, $(find "$work/c" -type f | wc -l) files"
