// Battle actions on an open field: the refusals in their order, the
// arithmetic of every blow, the random draws, movement and the hand-over.
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

int64_t N(const TJson* O, const TKey& K) { return TGame::N(O, K); }

void Stats(TGame& G, int Cid, int Body, int Soldiers, int Strength, int Dexterity, int Wisdom) {
  TJson* C = G.C(Cid);
  TGame::Put(C, "bodyMax", 100);
  TGame::Put(C, "body", Body);
  TGame::Put(C, "soldiers", Soldiers);
  TGame::Put(C, "strength", Strength);
  TGame::Put(C, "dexterity", Dexterity);
  TGame::Put(C, "wisdom", Wisdom);
}

// Defender 1 (unit 0) at (10, 5) faces attacker 2 (unit 1) at (9, 5).
class Actions : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override {
    NewFixtureCampaign(G);
    OpenField(G);
    Deploy(G, 1, 0, 10, 5);
    Deploy(G, 2, 1, 9, 5);
    Stats(G, 1, 60, 30, 50, 70, 85);
    Stats(G, 2, 60, 30, 50, 70, 85);
    TGame::Put(G.C(2), "courage", 100);
  }
  TJson* Bt() { return G.Battle(); }
};

}  // namespace

TEST_F(Actions, RefusalsInTheirOrderChangeNothing) {
  struct TRow {
    const char* Expected;
    std::function<void(TGame&)> Change;
    int64_t Unit, Target, Q, R;
    const char* Action;
  };
  auto Nothing = [](TGame&) {};
  auto Put = [](const char* Pointer, TJson V) { return [=](TGame& G) { SetAt(G, Pointer, V); }; };
  auto Second = [](int Side, int Q, int R) { return [=](TGame& G) { Deploy(G, 40, Side, Q, R); }; };
  const TRow Rows[] = {
      {"No battle.", [](TGame& G) { RemoveAt(G, "/battle"); }, 0, 1, 0, 0, "melee"},
      {"Select a unit.", Nothing, 7, 1, 0, 0, "melee"},
      {"Select a unit.", Nothing, -1, 1, 0, 0, "rest"},
      {"Select an unspent unit on the acting side.", Nothing, 1, 0, 0, 0, "melee"},
      {"Select an unspent unit on the acting side.", Put("/battle/units/0/spent", true), 0, 1, 0, 0, "rest"},
      {"Select an unspent unit on the acting side.", Put("/battle/units/0/active", false), 0, 1, 0, 0, "rest"},
      {"Body is 10 or less: this unit must rest.", Put("/characters/0/body", 10), 0, 1, 11, 5, "move"},
      {"Body is 10 or less: this unit must rest.", Put("/characters/0/body", 10), 0, 1, 0, 0, "dance"},
      {"Unknown battle action.", Nothing, 0, 1, 0, 0, "dance"},
      // Move and charge.
      {"Choose a cell inside the battlefield.", Nothing, 0, -1, 18, 5, "move"},
      {"Choose a cell inside the battlefield.", Nothing, 0, -1, 3, -1, "charge"},
      {"That cell is occupied.", Nothing, 0, -1, 9, 5, "move"},
      {"That cell is occupied.", Nothing, 0, -1, 10, 5, "move"},
      {"Mountains are impassable.", [](TGame& G) { Ground(G, 11, 5, GMountain); }, 0, -1, 11, 5, "move"},
      {"Destination is beyond movement allowance or blocked.", Nothing, 0, -1, 17, 13, "move"},
      {"Destination is beyond movement allowance or blocked.", Nothing, 0, -1, 12, 3, "charge"},
      // Attacks.
      {"Choose an active enemy.", Nothing, 0, -1, 0, 0, "melee"},
      {"Choose an active enemy.", Second(0, 11, 5), 0, 2, 0, 0, "melee"},
      {"Choose an active enemy.", Put("/battle/units/1/active", false), 0, 1, 0, 0, "fire"},
      {"Melee requires an adjacent enemy.", Put("/battle/units/1/q", 8), 0, 1, 0, 0, "melee"},
      {"Archery requires Dexterity 61 and a volley.", Put("/characters/0/dexterity", 60), 0, 1, 0, 0, "archery"},
      {"Archery requires Dexterity 61 and a volley.", Put("/battle/units/0/arrows", 0), 0, 1, 0, 0, "archery"},
      {"Archery needs a clear straight ray at distance 1..2.", Put("/battle/units/1/q", 7), 0, 1, 0, 0, "archery"},
      {"Archery needs a clear straight ray at distance 1..2.",
       [](TGame& G) {
         SetAt(G, "/battle/units/1/q", TJson(9));
         SetAt(G, "/battle/units/1/r", TJson(4));  // distance 2 off the axes
         SetAt(G, "/battle/units/0/q", TJson(10));
         SetAt(G, "/battle/units/0/r", TJson(6));
       },
       0, 1, 0, 0, "archery"},
      {"Archery needs a clear straight ray at distance 1..2.",
       [](TGame& G) {
         SetAt(G, "/battle/units/1/q", TJson(8));
         Ground(G, 9, 5, GMountain);
       },
       0, 1, 0, 0, "archery"},
      {"Mist art needs cloud, Wisdom 80 and Body 50.", Nothing, 0, 1, 0, 0, "mist"},
      {"Mist art needs cloud, Wisdom 80 and Body 50.",
       [](TGame& G) {
         SetAt(G, "/battle/weather", TJson(1));
         SetAt(G, "/characters/0/wisdom", TJson(79));
       },
       0, 1, 0, 0, "mist"},
      {"Mist art needs cloud, Wisdom 80 and Body 50.",
       [](TGame& G) {
         SetAt(G, "/battle/weather", TJson(1));
         SetAt(G, "/characters/0/body", TJson(49));
       },
       0, 1, 0, 0, "mist"},
      {"Target is outside the mist range or line of sight.",
       [](TGame& G) {
         SetAt(G, "/battle/weather", TJson(1));
         SetAt(G, "/battle/units/1/q", TJson(7));  // distance 3 needs Wisdom 90
       },
       0, 1, 0, 0, "mist"},
      {"Insufficient Body.",
       [](TGame& G) {
         SetAt(G, "/battle/weather", TJson(1));
         SetAt(G, "/rules", ParseJson(R"({"heavyBody":61})"));
       },
       0, 1, 0, 0, "mist"},
      {"A duel requires an adjacent enemy.", Put("/battle/units/1/q", 8), 0, 1, 0, 0, "duel"},
      {"A castle defender refuses a duel.", [](TGame& G) { Ground(G, 9, 5, GCastle); }, 0, 1, 0, 0, "duel"},
      {"Fire requires adjacency, Wisdom 60 and dry weather.", Put("/battle/units/1/q", 8), 0, 1, 0, 0, "fire"},
      {"Fire requires adjacency, Wisdom 60 and dry weather.", Put("/characters/0/wisdom", 59), 0, 1, 0, 0, "fire"},
      {"Fire requires adjacency, Wisdom 60 and dry weather.", Put("/battle/weather", 2), 0, 1, 0, 0, "fire"},
      {"Fire requires adjacency, Wisdom 60 and dry weather.", Put("/battle/weather", 3), 0, 1, 0, 0, "fire"},
      // Reinforce, extinguish.
      {"Only defenders can call reinforcements.", Put("/battle/side", 1), 1, -1, 0, 0, "reinforce"},
      {"Ten defenders are already active.",
       [](TGame& G) {
         for (int I = 0; I < 9; ++I) Deploy(G, 60 + I, 0, 16, I);
         SetAt(G, "/battle/units/3/spent", TJson(true));
         SetAt(G, "/battle/reserve", ParseJson("[70]"));
       },
       0, -1, 0, 0, "reinforce"},
      {"No reserve remains.", Nothing, 0, -1, 0, 0, "reinforce"},
      {"No empty defender deployment cell.",
       [](TGame& G) {
         SetAt(G, "/battle/reserve", ParseJson("[70]"));
         for (int R = 0; R < 14; ++R)
           for (int Q = 13; Q < 18; ++Q) Ground(G, Q, R, R % 2 ? GRiver : GMountain);
       },
       0, -1, 0, 0, "reinforce"},
      {"Extinguish requires Dexterity 40.", Put("/characters/0/dexterity", 39), 0, -1, 10, 5, "extinguish"},
      {"Choose a cell inside the battlefield.", Nothing, 0, -1, 10, 14, "extinguish"},
      {"Select your own or adjacent cell.", Nothing, 0, -1, 12, 5, "extinguish"},
  };
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(std::string(Row.Expected) + " / " + Row.Action);
    TGame H;
    NewFixtureCampaign(H);
    OpenField(H);
    Deploy(H, 1, 0, 10, 5);
    Deploy(H, 2, 1, 9, 5);
    Stats(H, 1, 60, 30, 50, 70, 85);
    Stats(H, 2, 60, 30, 50, 70, 85);
    Row.Change(H);
    const std::string Before = WriteJson(*H.Data);
    const size_t Lines = H.Log.size();
    EXPECT_EQ(H.BattleAction(Row.Unit, Row.Target, Row.Q, Row.R, Row.Action), Row.Expected);
    EXPECT_EQ(WriteJson(*H.Data), Before);
    EXPECT_EQ(H.Log.size(), Lines);
  }
}

TEST_F(Actions, PowerAndLosses) {
  SetAt(G, "/battle/skill1", TJson(50));
  SetAt(G, "/battle/arms1", TJson(100));
  Stats(G, 1, 30, 20, 0, 0, 0);
  EXPECT_DOUBLE_EQ(G.UnitPower(1), (20.0 + 30) * 1.0 * 1.0 * 1.25);
  EXPECT_DOUBLE_EQ(G.UnitPower(0), (10.0 + 20) * 0.5 * 0.5 * 0.75);
  EXPECT_DOUBLE_EQ(G.UnitPower(9), 0.0);

  // Soldiers fall first; each point beyond them costs 3 Body.
  G.Hit(0, 15, 2);
  EXPECT_EQ(N(G.C(1), "soldiers"), 5);
  EXPECT_EQ(N(G.C(1), "body"), 28);
  G.Hit(0, 9, 0);
  EXPECT_EQ(N(G.C(1), "soldiers"), 0);
  EXPECT_EQ(N(G.C(1), "body"), 16);
  G.Hit(0, 6, 0);
  EXPECT_EQ(N(G.C(1), "body"), 0);
  EXPECT_FALSE(TGame::B(G.UnitObj(0), "active"));
  EXPECT_TRUE(TGame::B(G.C(1), "captured"));
  EXPECT_EQ(G.Log.back(), "Character 1 is captured!");
  G.Hit(0, 50, 50);  // an inactive unit is not hit again
  EXPECT_EQ(N(G.C(1), "soldiers"), 0);
  EXPECT_EQ(G.Log.back(), "Character 1 is captured!");
}

TEST_F(Actions, MeleeStrikesAndIsStruckBack) {
  // Equal powers on open ground: 18 x 1 + 6 = 24 per hundred of the roll.
  TGame R = Foresee(G);
  const int64_t Roll = R.Rand(31) + 85, Back = R.Rand(31) + 85;
  const int64_t Damage = Roll * 24 / 100, Retaliation = Back * 24 / 100 * 60 / 100;
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  EXPECT_EQ(G.BattleAction(0, 1, 0, 0, "melee"), "");
  EXPECT_EQ(Draws, (std::vector<int64_t>{31, 31}));
  EXPECT_EQ(N(G.C(2), "soldiers"), 30 - Damage);
  EXPECT_EQ(N(G.C(1), "soldiers"), 30 - Retaliation);
  EXPECT_EQ(N(G.C(1), "body"), 58);  // melee costs 2
  EXPECT_EQ(G.Log.back(), "Character 1 strikes Character 2 for " + std::to_string(Damage) + ".");
  EXPECT_TRUE(TGame::B(G.UnitObj(0), "spent"));
  EXPECT_EQ(N(G.Battle(), "side"), 1);  // the last defender acted: the attackers' turn
}

TEST_F(Actions, MeleeAgainstNothingHitsHardAndUnanswered) {
  Stats(G, 2, 1, 0, 0, 0, 0);  // power 0.2: strength counts as 1.0; damage capped at 40
  Stats(G, 1, 60, 100, 100, 0, 0);
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  EXPECT_EQ(G.BattleAction(0, 1, 0, 0, "melee"), "Battle resolved.");
  EXPECT_EQ(Draws, (std::vector<int64_t>{31}));  // no retaliation from the captured
  EXPECT_FALSE(G.InBattle());
}

TEST_F(Actions, ArcheryMistDuelAndFire) {
  // Archery in double precision: (0 / 100 + 0.5) x (85 / 10 + 4 + 30 / 20) / 1.25 = 5.6.
  Ground(G, 9, 5, GForest);
  Stats(G, 1, 60, 30, 50, 85, 85);
  EXPECT_EQ(G.BattleAction(0, 1, 0, 0, "archery"), "");
  EXPECT_EQ(N(G.C(2), "soldiers"), 25);
  EXPECT_EQ(N(G.C(2), "body"), 58);  // Dexterity 85 also wounds
  EXPECT_EQ(N(G.UnitObj(0), "arrows"), 0);
  EXPECT_EQ(N(G.C(1), "body"), 59);

  // Mist: Wisdom 90 reaches three cells; Wisdom div 5 soldiers, 5 Body, a dazzle below Wisdom - 60.
  TGame H;
  NewFixtureCampaign(H);
  OpenField(H);
  Deploy(H, 1, 0, 10, 5);
  Deploy(H, 2, 1, 7, 5);
  Stats(H, 1, 60, 30, 50, 70, 90);
  Stats(H, 2, 60, 30, 50, 70, 85);
  SetAt(H, "/battle/weather", TJson(1));
  const bool Dazzled = Foresee(H).Rand(100) < 30;
  EXPECT_EQ(H.BattleAction(0, 1, 0, 0, "mist"), "");
  EXPECT_EQ(N(H.C(2), "soldiers"), 12);
  EXPECT_EQ(N(H.C(2), "body"), 55);
  EXPECT_EQ(TGame::B(H.UnitObj(1), "dazzled"), Dazzled);
  EXPECT_EQ(N(H.C(1), "body"), 40);
  EXPECT_EQ(N(TGame::Obj(H.C(1), "xp"), "wisdom"), 7 + 5);
}

TEST_F(Actions, DuelsAreFoughtBlowByBlow) {
  // Courage 100 never refuses; blows of strength div 15 + d4 - dexterity div 30.
  Stats(G, 1, 40, 30, 90, 30, 0);
  Stats(G, 2, 30, 30, 30, 90, 0);
  TGame R = Foresee(G);
  R.Rand(100);
  int64_t Mine = 40, Theirs = 30, Exchanges = 0;
  while (Exchanges < 200) {
    ++Exchanges;
    Theirs = std::max<int64_t>(0, Theirs - std::max<int64_t>(1, 6 + R.Rand(4) - 3));
    if (Theirs == 0) break;
    Mine = std::max<int64_t>(0, Mine - std::max<int64_t>(1, 2 + R.Rand(4) - 1));
    if (Mine == 0) break;
  }
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  G.BattleAction(0, 1, 0, 0, "duel");
  EXPECT_EQ(Draws.front(), 100);
  EXPECT_EQ(N(G.C(2), "body"), Theirs);
  EXPECT_EQ(N(G.C(1), "body"), std::max<int64_t>(0, Mine - 5));
  EXPECT_EQ(N(G.C(2), "soldiers"), 30);  // a duel never costs soldiers

  // Courage 0 always refuses, and the challenger still pays.
  TGame H;
  NewFixtureCampaign(H);
  OpenField(H);
  Deploy(H, 1, 0, 10, 5);
  Deploy(H, 2, 1, 9, 5);
  Stats(H, 1, 60, 30, 50, 70, 85);
  TGame::Put(H.C(2), "courage", 0);
  EXPECT_EQ(H.BattleAction(0, 1, 0, 0, "duel"), "");
  EXPECT_EQ(H.Log.back(), "Character 2 refuses the duel.");
  EXPECT_EQ(N(H.C(1), "body"), 55);
}

TEST_F(Actions, FireAndItsExtinguishing) {
  struct TCase {
    int Ground, Wisdom, EnemyWisdom;
    int64_t Chance;
  };
  // Wisdom div 2 + 30 - enemy wisdom div 3, +15 in forest, -30 on river or marsh, within 5..95.
  const TCase Cases[] = {{GPlain, 60, 30, 50}, {GForest, 100, 0, 95}, {GMarsh, 60, 90, 5}, {GRiver, 80, 30, 30}};
  for (const TCase& C : Cases) {
    TGame H;
    NewFixtureCampaign(H);
    OpenField(H);
    Deploy(H, 1, 0, 10, 5);
    Deploy(H, 2, 1, 9, 5);
    Stats(H, 1, 60, 30, 50, 70, C.Wisdom);
    Stats(H, 2, 60, 30, 50, 70, C.EnemyWisdom);
    Ground(H, 9, 5, C.Ground);
    const bool Lit = Foresee(H).Rand(100) < C.Chance;
    EXPECT_EQ(H.BattleAction(0, 1, 0, 0, "fire"), "");
    EXPECT_EQ(WriteJson(*TGame::List(H.Battle(), "fires")), Lit ? "[99]" : "[]") << C.Chance;
  }
  // Every listed fire of the cell needs its own success, walked from the back.
  SetAt(G, "/battle/fires", ParseJson("[101, 40, 101]"));
  Stats(G, 1, 60, 30, 50, 50, 0);
  Ground(G, 11, 5, GForest);  // 50 - 20 = 30 percent
  TGame R = Foresee(G);
  const bool Last = R.Rand(100) < 30, First = R.Rand(100) < 30;
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  EXPECT_EQ(G.BattleAction(0, -1, 11, 5, "extinguish"), "");
  EXPECT_EQ(Draws, (std::vector<int64_t>{100, 100}));
  std::string Left = std::string("[") + (First ? "" : "101, ") + "40" + (Last ? "" : ", 101") + "]";
  EXPECT_EQ(WriteJson(*TGame::List(G.Battle(), "fires")), Left);
}

TEST_F(Actions, ChargeMoveRestReinforceRetreat) {
  // A charge ends next to the enemy and strikes without an answer.
  TGame::Put(G.C(1), "dexterity", 0);  // charge allowance max(4, 8 div 2) = 4
  SetAt(G, "/battle/units/1/q", TJson(8));
  const int64_t Roll = Foresee(G).Rand(31) + 85;
  EXPECT_EQ(G.BattleAction(0, -1, 9, 5, "charge"), "");
  EXPECT_EQ(N(G.UnitObj(0), "q"), 9);
  EXPECT_EQ(N(G.C(2), "soldiers"), 30 - Roll * 24 / 100);
  EXPECT_EQ(N(G.C(1), "soldiers"), 30);
  EXPECT_EQ(N(G.C(1), "body"), 57);

  // Rest up to 40 at most, never beyond the maximum.
  TGame H;
  NewFixtureCampaign(H);
  OpenField(H);
  Deploy(H, 1, 0, 10, 5);
  Deploy(H, 2, 1, 9, 5);
  Deploy(H, 50, 0, 16, 0);
  SetAt(H, "/battle/reserve", ParseJson("[60, 61]"));
  TGame::Put(H.C(1), "body", 39);
  TGame::Put(H.C(1), "bodyMax", 50);
  TGame::Put(H.C(50), "body", 45);
  EXPECT_EQ(H.BattleAction(0, -1, 0, 0, "rest"), "");
  EXPECT_EQ(N(H.C(1), "body"), 40);
  // Reinforcements arrive in the first free cell of the defenders' zone, spent.
  Ground(H, 13, 0, GMountain);
  Ground(H, 14, 0, GRiver);
  SetAt(H, "/battle/arms0", TJson(45));
  EXPECT_EQ(H.BattleAction(2, -1, 0, 0, "reinforce"), "");
  TJson* Newcomer = H.UnitObj(3);
  EXPECT_EQ(WriteJson(*Newcomer),
            R"({ "char" : 60, "side" : 0, "q" : 15, "r" : 0, "active" : true, "spent" : true, "arrows" : 3, "dazzled" : false })");
  EXPECT_EQ(WriteJson(*TGame::List(H.Battle(), "reserve")), "[61]");
  EXPECT_EQ(H.Log.back(), "Character 60 reinforces the defenders.");
  // Every defender is spent: the attackers act.
  EXPECT_EQ(N(H.Battle(), "side"), 1);
  // A unit that is not the commander simply leaves; the commander's retreat loses the battle.
  Deploy(H, 51, 1, 2, 2);
  EXPECT_EQ(H.BattleAction(4, -1, 0, 0, "retreat"), "");
  EXPECT_FALSE(TGame::B(H.UnitObj(4), "active"));
  EXPECT_EQ(H.BattleAction(1, -1, 0, 0, "retreat"), "The commander withdraws.");
  EXPECT_FALSE(H.InBattle());
  EXPECT_EQ(N(H.P(1), "owner"), 1);
}

TEST_F(Actions, TheLastAttackerEndsTheDay) {
  EXPECT_EQ(G.BattleAction(0, -1, 11, 5, "move"), "");
  EXPECT_EQ(N(Bt(), "side"), 1);
  EXPECT_EQ(N(G.C(1), "body"), 59);
  EXPECT_EQ(G.BattleAction(1, -1, 8, 5, "move"), "");
  EXPECT_EQ(N(Bt(), "day"), 2);
  EXPECT_EQ(N(Bt(), "side"), 0);
  EXPECT_EQ(G.Log.back(), "Battle day 2.");
  EXPECT_FALSE(TGame::B(G.UnitObj(0), "spent"));
}

TEST_F(Actions, ASideWithNobodyReadyIsPassedOver) {
  // The only attacker is dazzled: after the defender acts the day ends at once.
  SetAt(G, "/battle/units/1/spent", TJson(true));
  EXPECT_EQ(G.BattleAction(0, -1, 0, 0, "rest"), "");
  EXPECT_EQ(N(Bt(), "day"), 2);
  EXPECT_EQ(N(Bt(), "side"), 0);
}

// ---- Movement range ---------------------------------------------------------

class Reach : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override {
    NewFixtureCampaign(G);
    OpenField(G);
    Deploy(G, 1, 0, 5, 5);
    Stats(G, 1, 60, 40, 50, 0, 50);  // allowance 8
    Deploy(G, 2, 1, 15, 12);         // far away
    Stats(G, 2, 60, 10, 50, 0, 50);
  }
  int32_t Cost(int Q, int R, bool Charge = false) { return G.Reachable(0, Charge)[size_t(R * 18 + Q)]; }
};

TEST_F(Reach, OpenGroundAndTheChargeAllowance) {
  EXPECT_EQ(Cost(5, 5), 0);
  EXPECT_EQ(Cost(6, 5), 3);
  EXPECT_EQ(Cost(4, 6), 3);
  EXPECT_EQ(Cost(7, 5), 6);
  EXPECT_GT(Cost(8, 5), 8);  // beyond reach
  Ground(G, 6, 4, GHill);
  EXPECT_EQ(Cost(6, 4), 5);
  EXPECT_EQ(Cost(7, 3), 8);
  EXPECT_EQ(Cost(6, 5, true), 3);
  EXPECT_GT(Cost(7, 5, true), 4);
  SetAt(G, "/battle/units/0/active", TJson(false));
  EXPECT_EQ(Cost(5, 5), 9999);
}

TEST_F(Reach, RiversNeedShipsAndStopTheMover) {
  for (int R = 0; R < 14; ++R) Ground(G, 6, R, GRiver);
  EXPECT_EQ(Cost(6, 5), 9999);
  TGame::Put(G.C(1), "ship", true);
  EXPECT_EQ(Cost(6, 5), 8);
  TGame::Put(G.C(1), "navigator", true);
  TGame::Put(G.C(1), "dexterity", 100);  // allowance 13: still no way beyond the river
  EXPECT_EQ(Cost(6, 5), 4);
  EXPECT_EQ(Cost(7, 5), 9999);
  // A navigator without a ship cannot take to the water.
  TGame::Put(G.C(1), "ship", false);
  EXPECT_EQ(Cost(6, 5), 9999);
  // A unit that starts on the river may leave it.
  SetAt(G, "/battle/units/0/q", TJson(6));
  EXPECT_EQ(Cost(7, 5), 3);
}

TEST_F(Reach, AStrongEnemyHoldsTheCellsAroundIt) {
  // The mover at (7, 5) with 40 soldiers beside an enemy at (8, 5) with 10: held.
  SetAt(G, "/battle/units/0/q", TJson(7));
  SetAt(G, "/battle/units/1/q", TJson(8));
  SetAt(G, "/battle/units/1/r", TJson(5));
  EXPECT_EQ(Cost(8, 4), 3);  // next to the enemy: reached, not passed
  EXPECT_GT(Cost(9, 4), 8);
  EXPECT_EQ(Cost(6, 5), 3);  // away from it the mover goes on
  EXPECT_EQ(Cost(5, 5), 6);
  EXPECT_EQ(Cost(8, 5), 9999);  // occupied
  // With more than four times the enemy's soldiers the mover passes.
  TGame::Put(G.C(2), "soldiers", 9);
  EXPECT_EQ(Cost(9, 4), 6);
  // A friend is no obstacle to pass by, but cannot be stood on.
  TGame::Put(G.C(2), "soldiers", 10);
  SetAt(G, "/battle/units/1/side", TJson(0));
  EXPECT_EQ(Cost(9, 4), 6);
}
