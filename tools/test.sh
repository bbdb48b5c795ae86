#!/usr/bin/env bash
# Installs what is missing, builds every target with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-test/, and runs every test. Any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DAMBULO_SANITIZE=ON
cmake --build build-test --parallel "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:exitcode=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir build-test --output-on-failure --parallel "$(nproc)" --timeout 300
