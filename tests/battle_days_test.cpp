// The end of a battle day, the computer's tactics and automatic resolution,
// on an open field: faction 2 from province 2 against faction 1 in province 1.
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

int64_t N(const TJson* O, const TKey& K) { return TGame::N(O, K); }

// Commander 1 (unit 0) defends at (15, 5); commander 2 (unit 1) attacks from (2, 5).
class Days : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override {
    NewFixtureCampaign(G);
    OpenField(G);
    Deploy(G, 1, 0, 15, 5);
    Deploy(G, 2, 1, 2, 5);
    for (int Cid : {1, 2}) {
      TGame::Put(G.C(Cid), "body", 80);
      TGame::Put(G.C(Cid), "soldiers", 50);
    }
  }
  TJson* Bt() { return G.Battle(); }
};

}  // namespace

TEST_F(Days, FireBurnsSpreadsWithTheWindAndDies) {
  // Burning: (5, 5) with room to spread east, and (17, 5) at the edge of the field.
  Deploy(G, 40, 1, 5, 5);
  TGame::Put(G.C(40), "soldiers", 30);
  TGame::Put(G.C(40), "body", 40);
  SetAt(G, "/battle/fires", ParseJson("[95, 107, 95]"));
  TGame R = Foresee(G);
  const bool Spread = R.Rand(100) < 30, FirstOut = R.Rand(100) < 25, EdgeOut = R.Rand(100) < 25;
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  G.BattleDay();
  // Spread then burn-out for the first cell; burn-out only where the wind leads off the field; then weather and wind.
  EXPECT_EQ(Draws, (std::vector<int64_t>{100, 100, 100, 100, 6}));
  EXPECT_EQ(N(G.C(40), "soldiers"), 20);
  EXPECT_EQ(N(G.C(40), "body"), 35);
  std::vector<int64_t> Expected;
  if (!FirstOut) Expected.push_back(95);
  if (Spread) Expected.push_back(96);
  if (!EdgeOut) Expected.push_back(107);
  std::string Text = "[";
  for (size_t I = 0; I < Expected.size(); ++I) Text += (I ? ", " : "") + std::to_string(Expected[I]);
  if (N(Bt(), "weather") >= 2) Text = "[";  // the new day's rain puts it all out
  EXPECT_EQ(WriteJson(*TGame::List(Bt(), "fires")), Text + "]");
}

TEST_F(Days, RainPutsEveryFireOut) {
  Deploy(G, 40, 1, 5, 5);
  TGame::Put(G.C(40), "soldiers", 30);
  SetAt(G, "/battle/fires", ParseJson("[95]"));
  SetAt(G, "/battle/weather", TJson(2));
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  G.BattleDay();
  EXPECT_EQ(Draws, (std::vector<int64_t>{100, 6}));
  EXPECT_EQ(N(G.C(40), "soldiers"), 30);
  EXPECT_EQ(TGame::Len(TGame::List(Bt(), "fires")), 0u);
}

TEST_F(Days, TheRiverCarriesUnitsDownstream) {
  for (int R = 0; R < 14; ++R) Ground(G, 8, R, GRiver);
  Deploy(G, 40, 1, 8, 2);   // drifts two cells
  Deploy(G, 41, 1, 8, 7);   // stops above the unit below it
  Deploy(G, 42, 0, 8, 8);   // a navigator drifts one
  Deploy(G, 43, 1, 8, 13);  // swept off at the first step
  TGame::Put(G.C(42), "navigator", true);
  TGame::Put(G.C(43), "faction", 2);
  G.BattleDay();
  EXPECT_EQ(N(G.UnitObj(2), "r"), 4);
  EXPECT_EQ(N(G.UnitObj(3), "r"), 7);
  EXPECT_EQ(N(G.UnitObj(4), "r"), 9);
  EXPECT_FALSE(TGame::B(G.UnitObj(5), "active"));
  EXPECT_TRUE(Logged(G, "Character 43 drifts off the field."));
  // Province 1's neighbours are 2 (faction 2, with room) and 8: ashore in 2.
  EXPECT_EQ(N(G.C(43), "province"), 2);
  EXPECT_TRUE(G.InBattle());

  // Without a province of its own around, ashore in the first unclaimed one;
  // a refuge without room takes nobody in.
  struct TCase {
    int Faction, FullProvince;
    int64_t Ashore;
  };
  for (const TCase& C : {TCase{3, 0, 8}, TCase{3, 8, 30}, TCase{2, 2, 30}}) {
    TGame H;
    NewFixtureCampaign(H);
    OpenField(H);
    Deploy(H, 1, 0, 15, 5);
    Deploy(H, 2, 1, 2, 5);
    for (int R = 0; R < 14; ++R) Ground(H, 8, R, GRiver);
    Deploy(H, 43, 1, 8, 13);
    TGame::Put(H.C(43), "faction", C.Faction);
    TGame::Put(H.C(43), "province", 30);
    if (C.FullProvince) TGame::Put(H.P(C.FullProvince), "castles", 0);
    H.BattleDay();
    EXPECT_EQ(N(H.C(43), "province"), C.Ashore) << C.Faction << " " << C.FullProvince;
  }
}

TEST_F(Days, ACommanderSweptOffLosesTheBattleThere) {
  // Burnt and captured on a burning river cell, the commander still drifts off, and that decides.
  for (int R = 0; R < 14; ++R) Ground(G, 8, R, GRiver);
  SetAt(G, "/battle/units/1/q", TJson(8));
  SetAt(G, "/battle/units/1/r", TJson(13));
  TGame::Put(G.C(2), "soldiers", 0);
  TGame::Put(G.C(2), "body", 20);
  SetAt(G, "/battle/fires", ParseJson("[242]"));
  SetAt(G, "/battle/food0", TJson(0));  // food would have decided otherwise
  G.BattleDay();
  EXPECT_FALSE(G.InBattle());
  EXPECT_TRUE(TGame::B(G.C(2), "captured"));
  EXPECT_TRUE(Logged(G, "Character 2 drifts off the field."));
  EXPECT_TRUE(Logged(G, "The defenders hold Province 1."));
}

TEST_F(Days, FoodCastlesAndTheDayLimitInThatOrder) {
  struct TCase {
    const char* Name;
    std::function<void(TGame&)> Change;
    const char* Line;  // the battle's last word, or nullptr when it goes on
  };
  auto Castle = [](TGame& G) {
    Ground(G, 14, 1, GCastle);
    SetAt(G, "/battle/units/1/q", TJson(14));
    SetAt(G, "/battle/units/1/r", TJson(1));
    SetAt(G, "/battle/castleHold", TJson(1));
  };
  const TCase Cases[] = {
      {"both starve: the attackers' hunger counts first",
       [](TGame& G) {
         SetAt(G, "/battle/food0", TJson(1));
         SetAt(G, "/battle/food1", TJson(1));
       },
       "The defenders hold Province 1."},
      {"the defenders starve", [](TGame& G) { SetAt(G, "/battle/food0", TJson(1)); }, "Province 1 falls to Character 2."},
      {"castles held twice win before the day limit",
       [&](TGame& G) {
         Castle(G);
         SetAt(G, "/battle/day", TJson(30));
       },
       "Province 1 falls to Character 2."},
      {"castles held once", [&](TGame& G) { Castle(G); SetAt(G, "/battle/castleHold", TJson(0)); }, nullptr},
      {"the thirtieth day", [](TGame& G) { SetAt(G, "/battle/day", TJson(30)); }, "The defenders hold Province 1."},
      {"a field without castles", [](TGame& G) { SetAt(G, "/battle/castleHold", TJson(5)); }, nullptr},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TGame H;
    NewFixtureCampaign(H);
    OpenField(H);
    Deploy(H, 1, 0, 15, 5);
    Deploy(H, 2, 1, 2, 5);
    C.Change(H);
    H.BattleDay();
    EXPECT_EQ(H.InBattle(), C.Line == nullptr);
    if (C.Line) {
      EXPECT_TRUE(Logged(H, C.Line));
    } else {
      EXPECT_EQ(N(H.Battle(), "day"), 2);
    }
  }
  // Each side eats a food per hundred soldiers, at least one.
  G.BattleDay();
  EXPECT_EQ(N(Bt(), "food0"), 49);
  EXPECT_EQ(N(Bt(), "food1"), 49);
  TGame::Put(G.C(1), "soldiers", 100);
  TGame::Put(G.C(2), "soldiers", 0);
  Deploy(G, 40, 0, 16, 5);
  TGame::Put(G.C(40), "soldiers", 1);
  G.BattleDay();
  EXPECT_EQ(N(Bt(), "food0"), 47);
  EXPECT_EQ(N(Bt(), "food1"), 48);
}

TEST_F(Days, ANewDayBringsWeatherWindAndReadiness) {
  struct TCase {
    int Month;
    int64_t Roll, Weather;
  };
  const TCase Cases[] = {{4, 24, 0}, {4, 25, 1}, {4, 65, 2}, {7, 59, 0},  {7, 84, 1}, {7, 85, 2},
                         {10, 54, 0}, {10, 85, 2}, {1, 79, 1}, {1, 80, 3}, {12, 99, 3}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Month) + " " + std::to_string(C.Roll));
    TGame H;
    NewFixtureCampaign(H);
    OpenField(H);
    Deploy(H, 1, 0, 15, 5);
    Deploy(H, 2, 1, 2, 5);
    TGame::Put(H.Data.get(), "month", C.Month);
    // The first seed whose weather roll is the one wanted.
    for (int64_t Seed = 1;; ++Seed) {
      TGame::Put(H.Data.get(), "rng", Seed);
      if (Foresee(H).Rand(100) == C.Roll) break;
    }
    TGame R = Foresee(H);
    R.Rand(100);
    const int64_t Wind = R.Rand(6);
    SetAt(H, "/battle/fires", ParseJson("[30]"));
    SetAt(H, "/battle/weather", TJson(2));  // nothing burns today, so the first draw is the weather
    SetAt(H, "/battle/units/0/dazzled", TJson(true));
    SetAt(H, "/battle/units/1/spent", TJson(true));
    H.BattleDay();
    EXPECT_EQ(N(H.Battle(), "weather"), C.Weather);
    EXPECT_EQ(N(H.Battle(), "wind"), Wind);
    EXPECT_EQ(H.Log.back(), "Battle day 2.");
    // The dazzled defender sits the day out, so the attackers act at once.
    EXPECT_TRUE(TGame::B(H.UnitObj(0), "spent"));
    EXPECT_FALSE(TGame::B(H.UnitObj(0), "dazzled"));
    EXPECT_FALSE(TGame::B(H.UnitObj(1), "spent"));
    EXPECT_EQ(N(H.Battle(), "side"), 1);
  }
}

// ---- Tactics -----------------------------------------------------------------

TEST_F(Days, TacticsShootFightStepOrRest) {
  // Nobody in range: one step toward the nearest enemy, the first neighbour that closes in.
  TGame::Put(G.C(1), "dexterity", 90);
  SetAt(G, "/battle/deploy", TJson(true));
  G.BattleAI();
  EXPECT_FALSE(TGame::B(Bt(), "deploy"));
  EXPECT_EQ(N(G.UnitObj(0), "q"), 14);
  EXPECT_EQ(N(G.UnitObj(0), "r"), 5);
  EXPECT_EQ(N(Bt(), "side"), 1);

  // Within two cells: an archer shoots.
  SetAt(G, "/battle/units/1/q", TJson(12));
  TGame::Put(G.C(2), "dexterity", 90);
  const int64_t Soldiers = N(G.C(1), "soldiers");
  G.BattleAI();
  EXPECT_EQ(N(G.UnitObj(1), "arrows"), 0);
  EXPECT_LT(N(G.C(1), "soldiers"), Soldiers);

  // Adjacent without arrows: melee.
  TGame H;
  NewFixtureCampaign(H);
  OpenField(H);
  Deploy(H, 1, 0, 15, 5);
  Deploy(H, 2, 1, 14, 5);
  for (int Cid : {1, 2}) {
    TGame::Put(H.C(Cid), "body", 80);
    TGame::Put(H.C(Cid), "soldiers", 50);
    TGame::Put(H.C(Cid), "dexterity", 10);
  }
  H.BattleAI();
  EXPECT_EQ(H.Log.back().rfind("Character 1 strikes Character 2 for ", 0), 0u);
  // Too worn to fight, the attacker rests.
  TGame::Put(H.C(2), "body", 9);
  H.BattleAI();
  EXPECT_EQ(N(H.C(2), "body"), 11);
}

TEST_F(Days, TacticsCallTheReserveWhenNoStepCloses) {
  // The only cell closer to the enemy is a mountain.
  Ground(G, 14, 5, GMountain);
  SetAt(G, "/battle/reserve", ParseJson("[60]"));
  G.BattleAI();
  EXPECT_EQ(TGame::Len(TGame::List(Bt(), "units")), 3u);
  EXPECT_EQ(G.Log.back(), "Character 60 reinforces the defenders.");
  // With no reserve left the next defender rests.
  TGame::Put(G.C(1), "body", 30);
  SetAt(G, "/battle/units/0/spent", TJson(false));
  SetAt(G, "/battle/side", TJson(0));
  G.BattleAI();
  EXPECT_EQ(N(G.C(1), "body"), 32);
}

TEST_F(Days, TacticsPassTheTurnWhenNobodyIsReady) {
  SetAt(G, "/battle/units/0/spent", TJson(true));
  G.BattleAI();
  EXPECT_EQ(N(Bt(), "side"), 1);
  SetAt(G, "/battle/units/1/spent", TJson(true));
  G.BattleAI();
  EXPECT_EQ(N(Bt(), "day"), 2);
}

TEST_F(Days, ResolutionOfArmiesThatCannotMeetEndsAtTheDayLimit) {
  // A wall of mountains down column 8 keeps the armies apart.
  for (int R = 0; R < 14; ++R) Ground(G, 8, R, GMountain);
  SetAt(G, "/battle/food0", TJson(60));
  SetAt(G, "/battle/food1", TJson(60));
  SetAt(G, "/battle/defensePrompt", TJson(true));
  G.ResolveBattle();
  EXPECT_FALSE(G.InBattle());
  EXPECT_TRUE(Logged(G, "Battle day 30."));
  EXPECT_EQ(G.Log.back(), "The defenders hold Province 1.");
  EXPECT_EQ(G.Validate(), "");
}
