#!/usr/bin/env bash
# Builds an optimised tree in build-bench/ and runs the benchmarks; extra arguments go to each
# benchmark program (for example --benchmark_repetitions=5). The replay benchmark plays a
# generated ten-hour log.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh --bench

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DAMBULO_BUILD_TESTS=OFF
cmake --build build-bench --parallel "$(nproc)"

log=build-bench/ten-hours.nmea
[ -s "$log" ] || python3 tools/make_demo_nmea.py --minutes 600 "$log"
export AMBULO_BENCH_NMEA=$PWD/$log

for bench in build-bench/bench/*_bench; do
    "$bench" "$@"
done
