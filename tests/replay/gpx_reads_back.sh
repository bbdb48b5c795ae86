#!/usr/bin/env bash
# Replays the demo jog and reads its GPX back with other programs: xmllint must accept it and
# gpsbabel must give every track point with the time the GPX holds for it.
set -euo pipefail
replay=$1 log=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$replay" --root "$work/root" --gpx "$log" >"$work/out"
gpx=$(grep '\.gpx$' "$work/out")
xmllint --noout "$gpx"
# "2008-01-15T00:30:07.000Z" in the GPX is "2008/01/15,00:30:07" in gpsbabel's CSV.
sed -n 's|.*<trkpt .*<time>\([0-9]*\)-\([0-9]*\)-\([0-9]*\)T\([0-9:]*\)\.[0-9]*Z</time></trkpt>|\1/\2/\3,\4|p' \
    "$gpx" >"$work/expected"
[ "$(grep -c '<trkpt ' "$gpx")" -eq "$(wc -l <"$work/expected")" ] || { echo "a track point has no time"; exit 1; }
# -t: the track's points, not only the waypoints. Its lines end in CR LF.
gpsbabel -t -i gpx -f "$gpx" -o unicsv -F - | tr -d '\r' >"$work/points.csv"
head -1 "$work/points.csv" | grep -qx 'No,Latitude,Longitude,Altitude,Date,Time'
tail -n +2 "$work/points.csv" | cut -d, -f5,6 | diff "$work/expected" -
echo "read back: $(wc -l <"$work/expected") track points with their times"
