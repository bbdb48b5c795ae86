#!/usr/bin/env bash
# Installs what is missing, builds Ambulo in build/ and replays the demo jog into a demo device
# root, build/demo-root, printing where the workout's files went.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAMBULO_BUILD_TESTS=OFF -DAMBULO_BUILD_BENCH=OFF
cmake --build build --parallel "$(nproc)" --target ambulo-replay

build/src/ambulo-replay --root build/demo-root res/demo/jog.nmea
echo "The demo workout's files are in build/demo-root/My Documents/Ambulo/"
