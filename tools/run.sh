#!/usr/bin/env bash
# Installs what is missing, builds Ambulo in build/ and starts it on the demo jog: the recorded
# NMEA log plays as the GPS receiver, and a demo device root, build/demo-root, takes the files.
# Without a display the same log is replayed with ambulo-replay, which prints where the files went.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAMBULO_BUILD_TESTS=OFF -DAMBULO_BUILD_BENCH=OFF
cmake --build build --parallel "$(nproc)" --target ambulo ambulo-replay

root="$PWD/build/demo-root"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): replaying the demo jog with ambulo-replay instead."
    echo "The workout's files (one host path a line) and its summary:"
    build/src/ambulo-replay --root "$root" --gpx res/demo/jog.nmea
    echo "The files are under:       $root/My Documents/Ambulo/ (Log/, KML/, GPX/, amblHistory.log)"
    exit 0
fi

echo "Starting Ambulo on the demo jog. Press the large button to start and again to finish."
echo "The settings go to:        $root/Program Files/Ambulo/ambl.opt"
echo "The workout's files go to: $root/My Documents/Ambulo/ (Log/, KML/, amblHistory.log)"
AMBULO_GPS="nmea:$PWD/res/demo/jog.nmea" AMBULO_ROOT="$root" exec build/src/ambulo
