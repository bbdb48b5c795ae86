#!/usr/bin/env bash
# Replays one log under the C locale, an English and a German one and compares every file written:
# the files never follow the language of the screens or the locale's number formatting.
set -euo pipefail
replay=$1 log=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in de_DE.utf8 en_US.utf8; do
    locale -a | grep -qix "$name" || { echo "$name is not installed"; exit 1; }
done
run() { # name, then the locale variables
    local name=$1
    shift
    env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG "$@" "$replay" --root "$work/$name" --tap 300 "$log" >"$work/$name.out"
}
run c LANG=C
run en LANG=en_US.UTF-8
run de LC_ALL=de_DE.UTF-8 LANGUAGE=de
for name in en de; do
    diff <(sed "s|$work/c|ROOT|" "$work/c.out") <(sed "s|$work/$name|ROOT|" "$work/$name.out")
    diff -r "$work/c" "$work/$name"
done
echo "identical: $(wc -l <"$work/c.out") lines of output, $(find "$work/c" -type f | wc -l) files"
