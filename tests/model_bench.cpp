// Costs of the accessors and save files on a full-size campaign.
#include "fixture.h"
#include "kv_files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

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

// Ten against ten on a field split by a wall of mountains: every unit tries
// its steps every day and the battle runs to its thirtieth day.
const TGame& WalledBattle() {
  static TGame G;
  if (!G.Data) {
    NewFixtureCampaign(G);
    OpenField(G);
    SetAt(G, "/battle/food0", TJson(999));
    SetAt(G, "/battle/food1", TJson(999));
    for (int I = 0; I < 10; ++I) {
      Deploy(G, I == 0 ? 1 : 100 + I, 0, 15 - I / 7, I % 7 + 3);
      Deploy(G, I == 0 ? 2 : 120 + I, 1, I / 7 + 1, I % 7 + 3);
    }
    for (int64_t Cid = 1; Cid <= 255; ++Cid) TGame::Put(G.C(Cid), "body", 90);
    for (int R = 0; R < FieldRows; ++R) TGame::PutAt(TGame::List(G.Battle(), "terrain"), size_t(R * 18 + 8), GMountain);
  }
  return G;
}

void BM_ResolveBattle(benchmark::State& S) {
  TGame G;
  for (auto _ : S) {
    S.PauseTiming();
    G.Data = std::make_unique<TJson>(*WalledBattle().Data);
    S.ResumeTiming();
    G.ResolveBattle();
  }
}

void BM_BattleAI(benchmark::State& S) {
  TGame G;
  for (auto _ : S) {
    S.PauseTiming();
    G.Data = std::make_unique<TJson>(*WalledBattle().Data);
    S.ResumeTiming();
    G.BattleAI();
  }
}

// One computer-player tick in fast mode, over a whole observed campaign of the
// Exiles; the slowest ticks are what a player would notice.
void BM_AdvanceAI8(benchmark::State& S) {
  std::vector<double> Ticks;
  for (auto _ : S) {
    TGame G;
    G.NewGame(std::string(KV_ASSETS) + "/data/world.json", 1, 0, 2, {}, 11);
    while (!G.Finished()) {
      const auto Start = std::chrono::steady_clock::now();
      if (G.InBattle()) {
        TGame::Put(G.Battle(), "deploy", false);
        TGame::Put(G.Battle(), "defensePrompt", false);
        G.BattleAI();
      } else {
        G.AdvanceAI(8);
      }
      Ticks.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count());
    }
  }
  std::sort(Ticks.begin(), Ticks.end());
  S.counters["p99_ms"] = Ticks[Ticks.size() * 99 / 100];
  S.counters["max_ms"] = Ticks.back();
}

void BM_Reachable(benchmark::State& S) {
  for (auto _ : S) benchmark::DoNotOptimize(WalledBattle().Reachable(0, false));
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
BENCHMARK(BM_ResolveBattle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BattleAI)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Reachable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AdvanceAI8)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
