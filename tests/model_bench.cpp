// Costs of the accessors and save files on a full-size campaign.
#include "fixture.h"
#include "kv_files.h"

#include <benchmark/benchmark.h>

namespace {

TGame& Campaign() {
  static TGame G;
  if (!G.Data) {
    NewFixtureCampaign(G);
    // Fill province 7 so that Count and Troops have people to find.
    for (int Cid = 20; Cid < 30; ++Cid) Place(G, Cid, 7, 2, "follower");
    Own(G, 7, 2, 20);
  }
  return G;
}

void BM_N(benchmark::State& S) {
  TJson* C = Campaign().C(200);
  for (auto _ : S) benchmark::DoNotOptimize(TGame::N(C, "resolved") + TGame::N(C, "age"));
}

void BM_Put(benchmark::State& S) {
  TJson* C = Campaign().C(200);
  int64_t V = 0;
  for (auto _ : S) TGame::Put(C, "loyalty", ++V % 100);
}

void BM_Count(benchmark::State& S) {
  for (auto _ : S) benchmark::DoNotOptimize(Campaign().Count(7));
}

void BM_Troops(benchmark::State& S) {
  for (auto _ : S) benchmark::DoNotOptimize(Campaign().Troops(7));
}

void BM_Local(benchmark::State& S) {
  for (auto _ : S) benchmark::DoNotOptimize(Campaign().Local(25, 7, 2));
}

void BM_SaveLoad(benchmark::State& S) {
  std::string File = FreshFolder("bench") + "/bench.json";
  TGame Loaded;
  for (auto _ : S) {
    Campaign().Save(File);
    Loaded.Load(File);
  }
}

void BM_Save(benchmark::State& S) {
  std::string File = FreshFolder("bench-save") + "/bench.json";
  for (auto _ : S) Campaign().Save(File);
}

void BM_Load(benchmark::State& S) {
  std::string File = FreshFolder("bench-load") + "/bench.json";
  Campaign().Save(File);
  TGame Loaded;
  for (auto _ : S) Loaded.Load(File);
}

}  // namespace

BENCHMARK(BM_N);
BENCHMARK(BM_Put);
BENCHMARK(BM_Count);
BENCHMARK(BM_Troops);
BENCHMARK(BM_Local);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLoad)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
