#!/bin/sh
# Builds the benchmarks in an optimised build (build/bench) and runs them.
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh g++ cmake make nlohmann-json3-dev libsdl2-dev libpng-dev libbenchmark-dev
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKV_BENCHMARKS=ON
cmake --build build/bench -j "$(nproc)" --target kv_bench
exec build/bench/kv_bench "$@"
