#!/bin/sh
# Installs what is missing, builds the game in build/release and starts it.
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh g++ cmake make nlohmann-json3-dev libsdl2-dev libpng-dev
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)"
exec build/release/kestmarch "$@"
