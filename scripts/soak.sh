#!/bin/sh
# The long soak: every scenario observed to the end of the campaign with 25
# seeds each, every month validated. Prints one summary line per campaign and
# a tally at the end. Usage: sh scripts/soak.sh [SEEDS]
set -eu
cd "$(dirname "$0")/.."
SEEDS=${1:-25}
sh scripts/deps.sh g++ cmake make nlohmann-json3-dev libsdl2-dev libpng-dev
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build/bench -j "$(nproc)" --target kestmarch-cli > /dev/null
CLI=build/bench/kestmarch-cli
invasions=0; victories=0; failures=0; battles=0; runs=0
for scenario in 1 2 3 4; do
  seed=1
  while [ "$seed" -le "$SEEDS" ]; do
    if line=$("$CLI" observe --new --world assets/data/world.json --scenario "$scenario" --seed "$seed" \
                --months 100000 --validate --quiet | tail -n 1); then :; else failures=$((failures + 1)); fi
    echo "scenario $scenario seed $seed: $line"
    runs=$((runs + 1))
    case "$line" in
      *"northern invasion"*) invasions=$((invasions + 1)) ;;
      *"defeated Morvane"*) victories=$((victories + 1)) ;;
    esac
    b=$(echo "$line" | sed -n 's/.*battles \([0-9]*\),.*/\1/p')
    battles=$((battles + ${b:-0}))
    seed=$((seed + 1))
  done
done
echo "campaigns $runs, invasions $invasions, Chancellor defeated $victories, failures $failures, battles $battles ($((battles / runs)) a campaign)"
[ "$failures" -eq 0 ]
