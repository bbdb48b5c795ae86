#!/usr/bin/env bash
# Installs what is missing, builds Ambulo in build/ and starts it on the demo jog: the recorded
# NMEA log plays as the GPS receiver, and a demo device root, build/demo-root, takes the files.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAMBULO_BUILD_TESTS=OFF -DAMBULO_BUILD_BENCH=OFF
cmake --build build --parallel "$(nproc)" --target ambulo ambulo-replay

root="$PWD/build/demo-root"
echo "Starting Ambulo on the demo jog. Press the large button to start and again to finish."
echo "The settings go to:        $root/Program Files/Ambulo/ambl.opt"
echo "The workout's files go to: $root/My Documents/Ambulo/ (Log/, KML/, amblHistory.log)"
AMBULO_GPS="nmea:$PWD/res/demo/jog.nmea" AMBULO_ROOT="$root" exec build/src/ambulo
