// Costs of the pictures: the atlas's creation and repaint, and a portrait.
#include "fixture.h"
#include "kv_atlas.h"

#include <benchmark/benchmark.h>

namespace {

void BM_AtlasCreate(benchmark::State& S) {
  for (auto _ : S) TAtlas A;
}

void BM_AtlasRepaint(benchmark::State& S) {
  TAtlas A;
  TGame G;
  NewFixtureCampaign(G);
  int Selected = 0;
  for (auto _ : S) A.Update(G, ++Selected % 50);  // a new selection every time
}

void BM_Hero(benchmark::State& S) {
  TArt A(184, 256);
  int Cid = 0;
  for (auto _ : S) {
    ++Cid;
    Hero(A, Cid % 255, Cid % 3 == 0, ARed);
  }
}

}  // namespace

BENCHMARK(BM_AtlasCreate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtlasRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hero)->Unit(benchmark::kMicrosecond);
