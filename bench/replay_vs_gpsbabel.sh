#!/usr/bin/env bash
# Times ambulo-replay (every file on) against gpsbabel's NMEA-to-KML conversion of the same
# generated ten-hour log, and prints the medians of RUNS runs each and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-7}

bash tools/install-deps.sh --bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DAMBULO_BUILD_TESTS=OFF
cmake --build build-bench --parallel "$(nproc)" --target ambulo-replay

log=build-bench/ten-hours.nmea
[ -s "$log" ] || python3 tools/make_demo_nmea.py --minutes 600 "$log"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Settings with the GPS log kept, so the track log and exercise record are written too.
python3 - "$work/root/Program Files/Ambulo/ambl.opt" <<'PY'
import os, struct, sys
def wide(text):
    data = text.encode("utf-16-le")
    return b"\xff\xfe\xff" + bytes([len(text)]) + data
fields = wide("Ambulo") + struct.pack("<III", 1, 1, 1) + wide("\\My Documents\\Ambulo\\")
fields += struct.pack("<IIIdd", 1, 1, 1, 60.0, 2.0) + struct.pack("<I", 0) + wide("\\Windows\\RecEnd.wav")
fields += struct.pack("<IIIII", 0, 1, 60, 0, 500)
os.makedirs(os.path.dirname(sys.argv[1]), exist_ok=True)
open(sys.argv[1], "wb").write(fields)
PY

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for ((i = 0; i < runs; i++)); do
    rm -rf "$work/root/My Documents"
    start=$(now)
    build-bench/src/ambulo-replay --root "$work/root" "$log" >/dev/null
    echo $(( ($(now) - start) / 1000 )) >>"$work/ambulo.us"
    start=$(now)
    gpsbabel -i nmea -f "$log" -o kml -F "$work/out.kml"
    echo $(( ($(now) - start) / 1000 )) >>"$work/gpsbabel.us"
done

ambulo=$(median <"$work/ambulo.us")
gpsbabel=$(median <"$work/gpsbabel.us")
echo "epochs:              $(grep -c RMC "$log")"
echo "ambulo-replay:       median ${ambulo} us over $runs runs"
echo "gpsbabel nmea->kml:  median ${gpsbabel} us over $runs runs"
awk -v a="$ambulo" -v g="$gpsbabel" 'BEGIN { printf "gpsbabel / ambulo-replay: %.2f\n", g / a }'
