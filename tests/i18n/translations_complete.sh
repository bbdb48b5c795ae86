#!/usr/bin/env bash
# Every text the sources mark for translation has its English translation, and the .ts holds no
# text the sources no longer have: lupdate run over the sources into a copy must change nothing
# and leave no entry unfinished, obsolete or vanished.
set -euo pipefail
lupdate=$1 source_dir=$2 ts=$3
shift 3 # the rest: lupdate's options for the program's own translation functions
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/copy.ts"
"$lupdate" -silent "$@" "$source_dir" -ts "$work/copy.ts"
if grep -nE 'type="(unfinished|obsolete|vanished)"' "$work/copy.ts"; then
    echo "the entries above have no current English translation" >&2
    exit 1
fi
diff "$ts" "$work/copy.ts"
echo "$(grep -c '<translation>' "$ts") texts, all translated"
