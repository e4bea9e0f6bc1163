#!/bin/sh
# Installs what is missing, builds everything with the sanitizers in build/test
# and runs every test. Any failure or sanitizer report fails the run.
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh g++ cmake make nlohmann-json3-dev libsdl2-dev libpng-dev libgtest-dev libbenchmark-dev
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKV_TESTS=ON -DKV_BENCHMARKS=ON -DKV_SANITIZE=ON
cmake --build build/test -j "$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cd build/test
ctest --output-on-failure -j "$(nproc)"
