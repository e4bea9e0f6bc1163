// Many battles on the shipped world, with random armies and random orders
// of action: every one ends, raises nothing and leaves a valid campaign.
#include "kv_model.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const char* const Actions[] = {"move",       "charge", "melee", "archery",   "mist",   "duel",
                               "fire",       "extinguish", "rest", "reinforce", "retreat"};

// Gives the people of both provinces random strength, and some of them ships.
void Muster(TGame& G, std::mt19937& Dice, int64_t A, int64_t B) {
  std::uniform_int_distribution<int> Percent(0, 100);
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    TJson* Ch = G.C(Cid);
    const int64_t At = TGame::N(Ch, "province");
    if (At != A && At != B) continue;
    TGame::Put(Ch, "bodyMax", 100);
    TGame::Put(Ch, "body", Percent(Dice));
    TGame::Put(Ch, "soldiers", Percent(Dice));
    for (const TKey& K : {TKey("strength"), TKey("dexterity"), TKey("wisdom"), TKey("courage")})
      TGame::Put(Ch, K, Percent(Dice));
    TGame::Put(Ch, "ship", Percent(Dice) < 30);
    TGame::Put(Ch, "navigator", Percent(Dice) < 30);
  }
  // Fewer castles, but never fewer than the people already there need.
  TGame::Put(G.P(B), "castles", std::max<int64_t>(Percent(Dice) % 8, (G.Count(B) + 4) / 5));
  TGame::Put(G.P(B), "river", Percent(Dice) < 50);
}

// Random actions of the acting side, with the computer stepping in whenever
// a run of tries changes nothing, until the battle is over.
void FightAtRandom(TGame& G, std::mt19937& Dice) {
  for (int Step = 0; Step < 20000 && G.InBattle(); ++Step) {
    const int64_t Units = int64_t(TGame::Len(TGame::List(G.Battle(), "units")));
    bool Acted = false;
    for (int Try = 0; Try < 12 && !Acted && G.InBattle(); ++Try) {
      const int64_t I = std::uniform_int_distribution<int64_t>(-1, Units)(Dice);
      const int64_t Target = std::uniform_int_distribution<int64_t>(-1, Units)(Dice);
      const int64_t Q = std::uniform_int_distribution<int64_t>(-1, 18)(Dice);
      const int64_t R = std::uniform_int_distribution<int64_t>(-1, 14)(Dice);
      const char* Action = Actions[std::uniform_int_distribution<size_t>(0, 10)(Dice)];
      Acted = G.BattleAction(I, Target, Q, R, Action).empty();
    }
    if (!Acted && G.InBattle()) G.BattleAI();
  }
}

}  // namespace

TEST(BattleSoak, EveryBattleEndsInAValidCampaign) {
  const std::string World = std::string(KV_ASSETS) + "/data/world.json";
  std::mt19937 Dice(20261211);
  for (int Trial = 0; Trial < 60; ++Trial) {
    SCOPED_TRACE(Trial);
    TGame G;
    const bool Uprising = Trial % 4 == 3;
    G.NewGame(World, Uprising ? 1 : 2 + Trial % 3, 0, 2, {}, uint32_t(Trial + 1));
    // An owned province and a neighbour held by someone else.
    std::vector<std::pair<int64_t, int64_t>> Fronts;
    for (int64_t P = 1; P <= 49; ++P) {
      const int64_t Owner = TGame::N(G.P(P), "owner");
      TJson* Near = TGame::List(G.P(P), "neighbors");
      for (size_t K = 0; K < TGame::Len(Near) && Owner > 0; ++K)
        if (TGame::N(G.P(TGame::NAt(Near, K)), "owner") != Owner) Fronts.push_back({P, TGame::NAt(Near, K)});
    }
    ASSERT_FALSE(Fronts.empty());
    auto [Origin, Dest] = Fronts[std::uniform_int_distribution<size_t>(0, Fronts.size() - 1)(Dice)];
    int64_t Attacker = TGame::N(G.P(Origin), "owner");
    if (Uprising) {
      // An exile party walks into the Chancellor's lands and rises there.
      Attacker = 1 + Trial % 10;
      Dest = Origin = TGame::N(G.F(11), "home");
      for (int64_t Cid = 1; Cid <= 255; ++Cid)
        if (TGame::N(G.C(Cid), "faction") == Attacker) TGame::Put(G.C(Cid), "province", Origin);
      TGame::Put(G.Party(Attacker), "province", Origin);
    }
    Muster(G, Dice, Origin, Dest);
    TGame::Put(G.Data.get(), "month", 1 + Trial % 12);
    ASSERT_EQ(G.Validate(), "");
    ASSERT_NO_THROW(G.BeginBattle(Origin, Dest, Attacker));
    if (Trial % 2 == 0)
      ASSERT_NO_THROW(G.ResolveBattle());
    else
      ASSERT_NO_THROW(FightAtRandom(G, Dice));
    EXPECT_FALSE(G.InBattle());
    EXPECT_EQ(G.Validate(), "");
  }
}
