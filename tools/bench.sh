#!/usr/bin/env bash
# Builds an optimised tree in build-bench/ and runs the benchmarks; extra arguments go to each
# benchmark program (for example --benchmark_repetitions=5).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DAMBULO_BUILD_TESTS=OFF
cmake --build build-bench --parallel "$(nproc)"

for bench in build-bench/bench/*_bench; do
    "$bench" "$@"
done
