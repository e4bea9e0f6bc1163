// The consequences of a battle for the campaign, and the fate of captives.
// Faction 2 (computer, home 2) attacks faction 1 (human, home 1) in the
// fixture campaign; province 1's neighbours are 2 and 8.
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

namespace {

int64_t N(const TJson* O, const TKey& K) { return TGame::N(O, K); }

class BattleEnd : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override {
    NewFixtureCampaign(G);
    Place(G, 50, 1, 1, "follower");
    Place(G, 51, 2, 2, "exile");
    OpenField(G);
    Deploy(G, 1, 0, 15, 5);
    Deploy(G, 50, 0, 15, 6);
    Deploy(G, 2, 1, 1, 5);
    Deploy(G, 51, 1, 1, 6);
  }
  TJson* Doc() { return G.Data.get(); }
  void Capture(int Cid) {
    TGame::Put(G.C(Cid), "captured", true);
    TGame::Put(G.C(Cid), "body", 0);
    TJson* Units = TGame::List(G.Battle(), "units");
    for (size_t I = 0; I < TGame::Len(Units); ++I)
      if (N(TGame::Item(Units, I), "char") == Cid) TGame::Put(TGame::Item(Units, I), "active", false);
  }
};

}  // namespace

TEST_F(BattleEnd, AConquestTakesTheProvinceAndItsStores) {
  // Faction 1 also holds province 8, where its people can fall back.
  Place(G, 100, 8, 1, "follower");
  Own(G, 8, 1, 100);
  TJson* Dest = G.P(1);
  TGame::Put(Dest, "food", 9990);
  TGame::Put(Dest, "support", 40);
  SetAt(G, "/battle/skill1", TJson(35));
  SetAt(G, "/battle/arms1", TJson(25));
  TGame::Put(G.F(2), "popularity", 100);
  const int64_t Index = N(Doc(), "queueIndex");
  G.BattleEnd(1);

  EXPECT_FALSE(G.InBattle());
  EXPECT_EQ(N(Dest, "owner"), 2);
  EXPECT_EQ(N(Dest, "food"), 9999);
  EXPECT_EQ(N(Dest, "skill"), 35);
  EXPECT_EQ(N(Dest, "arms"), 25);
  EXPECT_EQ(N(G.F(2), "popularity"), 112);  // support 40 meets the tax rule
  EXPECT_EQ(N(Dest, "support"), 30);
  // The attackers move in; the leader makes it home, the exile becomes a follower.
  EXPECT_EQ(N(G.C(2), "province"), 1);
  EXPECT_EQ(N(G.C(51), "province"), 1);
  EXPECT_EQ(TGame::S(G.C(51), "role"), "follower");
  EXPECT_EQ(N(G.F(2), "home"), 1);
  EXPECT_EQ(N(Dest, "governor"), 2);
  // The emptied origin is given up.
  EXPECT_EQ(N(G.P(2), "owner"), 0);
  // The defenders fall back on province 8, which becomes faction 1's home.
  EXPECT_EQ(N(G.C(1), "province"), 8);
  EXPECT_EQ(N(G.C(50), "province"), 8);
  EXPECT_EQ(N(G.F(1), "home"), 8);
  EXPECT_EQ(N(G.P(8), "governor"), 1);
  EXPECT_TRUE(Logged(G, "Province 1 falls to Character 2."));
  EXPECT_EQ(N(Doc(), "queueIndex"), Index + 1);
  EXPECT_EQ(G.Validate(), "");
}

TEST_F(BattleEnd, ConquestDetails) {
  // Winners without soldiers bring no training; low support costs popularity.
  TGame::Put(G.C(2), "soldiers", 0);
  TGame::Put(G.C(51), "soldiers", 0);
  TGame::Put(G.P(1), "support", 39);
  SetAt(G, "/battle/skill1", TJson(35));
  // One castle holds five: the fourth and fifth attackers stay behind.
  TGame::Put(G.P(1), "castles", 1);
  for (int Cid : {52, 53, 54, 55}) {
    Place(G, Cid, 2, 2, "follower");
    TGame::Put(G.C(Cid), "soldiers", 0);
    Deploy(G, Cid, 1, 2, Cid - 50);
  }
  Capture(50);  // a captive fills a place too
  G.BattleEnd(1);
  EXPECT_EQ(N(G.P(1), "skill"), 0);
  EXPECT_EQ(N(G.F(2), "popularity"), 0);
  int64_t MovedIn = 0;
  for (int Cid : {2, 51, 52, 53, 54, 55}) MovedIn += N(G.C(Cid), "province") == 1;
  EXPECT_EQ(MovedIn, 4);
  EXPECT_EQ(N(G.C(54), "province"), 2);
  EXPECT_EQ(N(G.C(55), "province"), 2);
  EXPECT_EQ(N(G.P(2), "owner"), 2);  // someone is left to hold the origin
  // No refuge for the beaten defenders: they leave the fellowship; the leader goes on the road.
  EXPECT_EQ(N(G.F(1), "home"), 0);
  EXPECT_EQ(TGame::S(G.C(1), "role"), "exile");
  EXPECT_EQ(N(G.C(1), "faction"), 1);
  ASSERT_TRUE(G.Party(1));
  EXPECT_EQ(N(G.Party(1), "province"), 1);
  EXPECT_FALSE(TGame::B(G.F(1), "writ"));
  // The captive of a computer captor is released at once.
  EXPECT_FALSE(TGame::B(G.C(50), "captured"));
  EXPECT_EQ(TGame::S(G.C(50), "role"), "free");
  EXPECT_TRUE(Logged(G, "Character 50 is released."));
  EXPECT_EQ(G.Validate(), "");
}

TEST_F(BattleEnd, CapturedLeadersAndFreedWinners) {
  // Faction 1's leader is taken by a computer captor: the fellowship ends and so does the chronicle.
  Capture(1);
  Capture(51);  // a winner's captured man is freed with 1 Body
  const int64_t Index = N(Doc(), "queueIndex");
  G.BattleEnd(1);
  EXPECT_TRUE(Logged(G, "Character 1 is defeated by capture."));
  EXPECT_FALSE(TGame::B(G.F(1), "active"));
  EXPECT_FALSE(TGame::B(G.C(51), "captured"));
  EXPECT_EQ(N(G.C(51), "body"), 1);
  EXPECT_TRUE(G.Finished());
  EXPECT_EQ(TGame::S(Doc(), "result"), "Your last fellowship leader has fallen into captivity. The chronicle ends.");
  EXPECT_EQ(N(Doc(), "queueIndex"), Index);  // an ended campaign closes no turn

  // A computer leader taken by a human captor: no line, and the captive waits for the player.
  TGame H;
  NewFixtureCampaign(H);
  OpenField(H);
  SetAt(H, "/battle/attacker", TJson(1));
  SetAt(H, "/battle/defender", TJson(2));
  SetAt(H, "/battle/origin", TJson(1));
  SetAt(H, "/battle/destination", TJson(2));
  Deploy(H, 2, 0, 15, 5);
  Deploy(H, 1, 1, 1, 5);
  TGame::Put(H.C(2), "captured", true);
  TGame::Put(H.C(2), "body", 0);
  H.BattleEnd(1);
  EXPECT_FALSE(Logged(H, "Character 2 is defeated by capture."));
  EXPECT_FALSE(TGame::B(H.F(2), "active"));
  EXPECT_TRUE(TGame::B(H.C(2), "captured"));
  EXPECT_EQ(N(H.C(2), "captor"), 1);
  EXPECT_EQ(TGame::S(H.C(2), "role"), "prisoner");
  EXPECT_EQ(N(H.C(2), "province"), 2);
  EXPECT_EQ(H.Validate(), "");
}

TEST_F(BattleEnd, TheDefendersHoldAndKeepTheirCaptivesOutsideAFullGarrison) {
  TGame::Put(G.P(2), "food", 9995);
  TGame::Put(G.P(1), "food", 100);
  SetAt(G, "/battle/food1", TJson(20));
  SetAt(G, "/battle/food0", TJson(7));
  TGame::Put(G.P(1), "castles", 1);
  for (int Cid : {52, 53, 54, 55, 56}) {
    Place(G, Cid, 2, 2, "follower");
    Deploy(G, Cid, 1, 2, Cid - 50);
    Capture(Cid);
  }
  Capture(51);
  G.BattleEnd(0);
  EXPECT_EQ(N(G.P(2), "food"), 9999);
  EXPECT_EQ(N(G.P(1), "food"), 107);
  EXPECT_TRUE(Logged(G, "The defenders hold Province 1."));
  // Leader 1, follower 50 and six captives: three too many, marked from the highest id down.
  for (int Cid : {51, 52, 53, 54, 55, 56}) {
    EXPECT_EQ(N(G.C(Cid), "province"), 1);
    EXPECT_EQ(N(G.C(Cid), "captor"), 1);
    EXPECT_EQ(TGame::B(G.C(Cid), "overflow"), Cid >= 54) << Cid;
  }
  EXPECT_TRUE(Logged(G, "Character 56 awaits immediate release or execution outside the full garrison."));
  EXPECT_EQ(G.Count(1), 5);
  EXPECT_EQ(G.Validate(), "");
}

TEST_F(BattleEnd, UprisingsAndTheReserve) {
  // Faction 3 rises from the road in province 1 and wins: the party's stocks move in.
  TGame H;
  NewFixtureCampaign(H);
  TGame::Put(H.F(3), "active", true);
  Place(H, 3, 1, 3, "exile");
  SetAt(H, "/exileParties", ParseJson(R"([{"leader":3,"province":1,"food":5,"gold":40}])"));
  OpenField(H);
  SetAt(H, "/battle/attacker", TJson(3));
  SetAt(H, "/battle/origin", TJson(1));
  SetAt(H, "/battle/commander1", TJson(3));
  SetAt(H, "/battle/reserve", ParseJson("[50]"));
  Place(H, 50, 1, 1, "follower");
  Deploy(H, 1, 0, 15, 5);
  Deploy(H, 3, 1, 1, 5);
  const int64_t Gold = N(H.P(1), "gold");
  H.BattleEnd(1);
  EXPECT_EQ(N(H.P(1), "owner"), 3);
  EXPECT_EQ(N(H.P(1), "gold"), Gold + 40);
  EXPECT_EQ(N(H.Party(3), "gold"), 0);
  EXPECT_EQ(N(H.F(3), "home"), 1);
  EXPECT_EQ(TGame::S(H.C(3), "role"), "leader");
  // The reserve shares the defeat: with no refuge, it leaves the fellowship.
  EXPECT_EQ(N(H.C(50), "faction"), 0);
  EXPECT_EQ(H.Validate(), "");

  // Beaten, the rising's food goes back to the party, not to the province.
  TGame L;
  NewFixtureCampaign(L);
  TGame::Put(L.F(3), "active", true);
  Place(L, 3, 1, 3, "exile");
  SetAt(L, "/exileParties", ParseJson(R"([{"leader":3,"province":1,"food":5,"gold":40}])"));
  OpenField(L);
  SetAt(L, "/battle/attacker", TJson(3));
  SetAt(L, "/battle/origin", TJson(1));
  SetAt(L, "/battle/food1", TJson(12));
  const int64_t Food = N(L.P(1), "food");
  L.BattleEnd(0);
  EXPECT_EQ(N(L.Party(3), "food"), 17);
  EXPECT_EQ(N(L.P(1), "food"), Food + 50);
}

TEST_F(BattleEnd, AComputerCaptorWithTheWritExecutesTheChancellor) {
  TGame::Put(G.F(2), "writ", true);
  TGame::Put(G.C(11), "captured", true);
  TGame::Put(G.C(11), "captor", 2);
  TGame::Put(G.C(11), "province", 2);
  G.BattleEnd(0);
  EXPECT_FALSE(TGame::B(G.C(11), "alive"));
  EXPECT_TRUE(G.Finished());
  EXPECT_EQ(N(Doc(), "winner"), 2);
  EXPECT_EQ(TGame::S(Doc(), "result"), "Character 2 has defeated Morvane under the Royal Writ. The court is restored.");
}

// ---- Prisoners -------------------------------------------------------------------

class Prisoner : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override {
    NewFixtureCampaign(G);
    // Character 60, captive of faction 1, in province 1.
    TJson* C = G.C(60);
    TGame::Put(C, "province", 1);
    TGame::Put(C, "captured", true);
    TGame::Put(C, "captor", 1);
    TGame::Put(C, "role", "prisoner");
    TGame::Put(C, "faction", 2);
    TGame::Put(C, "body", 0);
  }
  TJson* P60() { return G.C(60); }
};

TEST_F(Prisoner, RefusalsChangeNothing) {
  struct TRow {
    int64_t Cid, Fid;
    const char* Action;
    const char* Expected;
    bool Overflow;
  };
  const TRow Rows[] = {
      {0, 1, "hold", "This character is not your prisoner.", false},
      {61, 1, "hold", "This character is not your prisoner.", false},
      {60, 2, "release", "This character is not your prisoner.", false},
      {60, 1, "hold", "The garrison is full. This captive must be released or executed.", true},
      {60, 1, "recruit", "The garrison is full. This captive must be released or executed.", true},
      {60, 1, "pardon", "Choose recruit, hold, release or execute.", false},
  };
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(Row.Expected);
    TGame::Put(P60(), "overflow", Row.Overflow);
    const std::string Before = WriteJson(*G.Data);
    const size_t Lines = G.Log.size();
    EXPECT_EQ(G.PrisonerAction(Row.Cid, Row.Fid, Row.Action), Row.Expected);
    EXPECT_EQ(WriteJson(*G.Data), Before);
    EXPECT_EQ(G.Log.size(), Lines);
  }
  // A full province refuses a recruit.
  TGame::Put(P60(), "overflow", false);
  TGame::Put(G.P(1), "castles", 0);
  EXPECT_EQ(G.PrisonerAction(60, 1, "recruit"), "No room in this province. Release a captive.");
}

TEST_F(Prisoner, HoldReleaseAndExecute) {
  EXPECT_EQ(G.PrisonerAction(60, 1, "hold"), "Character 60 remains in custody.");
  EXPECT_TRUE(TGame::B(P60(), "resolved"));
  EXPECT_EQ(G.Log.back(), "Character 60 remains in custody.");

  TGame::Put(P60(), "overflow", true);
  EXPECT_EQ(G.PrisonerAction(60, 1, "release"), "Character 60 is released.");
  EXPECT_FALSE(TGame::B(P60(), "captured"));
  EXPECT_FALSE(TGame::B(P60(), "overflow"));
  EXPECT_FALSE(TGame::B(P60(), "resolved"));
  EXPECT_EQ(N(P60(), "faction"), 0);
  EXPECT_EQ(TGame::S(P60(), "role"), "free");
  EXPECT_EQ(N(P60(), "body"), 1);

  TGame::Put(P60(), "captured", true);
  TGame::Put(G.F(1), "popularity", 7);
  TGame::Put(G.P(1), "support", 50);
  EXPECT_EQ(G.PrisonerAction(60, 1, "execute"), "Character 60 is executed. Popularity -10, Support -5.");
  EXPECT_FALSE(TGame::B(P60(), "alive"));
  EXPECT_EQ(TGame::S(P60(), "role"), "dead");
  EXPECT_EQ(N(G.F(1), "popularity"), 0);
  EXPECT_EQ(N(G.P(1), "support"), 45);

  // The Chancellor under the writ, but without a home: an ordinary execution.
  TJson* M = G.C(11);
  TGame::Put(M, "captured", true);
  TGame::Put(M, "captor", 1);
  TGame::Put(M, "province", 1);
  TGame::Put(G.F(1), "writ", true);
  TGame::Put(G.F(1), "home", 0);
  EXPECT_EQ(G.PrisonerAction(11, 1, "execute"), "Character 11 is executed. Popularity -10, Support -5.");
  EXPECT_FALSE(G.Finished());
  // With the home, it is the final victory.
  TGame::Put(M, "alive", true);
  TGame::Put(M, "captured", true);
  TGame::Put(G.F(1), "home", 1);
  const std::string Victory = "Character 1 has defeated Morvane under the Royal Writ. The court is restored.";
  EXPECT_EQ(G.PrisonerAction(11, 1, "execute"), Victory);
  EXPECT_TRUE(G.Finished());
  EXPECT_EQ(N(G.Data.get(), "winner"), 1);
  EXPECT_EQ(TGame::S(G.Data.get(), "result"), Victory);
  EXPECT_EQ(G.Log.back(), Victory);
}

TEST_F(Prisoner, RecruitingDrawsOnce) {
  // Chance: popularity 0 div 10 + 10 + compatibility div 2 + leader's wisdom div 5 - integrity div 4 - 15.
  TGame::Put(G.C(1), "wisdom", 50);
  for (const TKey& K : {TKey("integrity"), TKey("mercy"), TKey("courage")}) {
    TGame::Put(G.C(1), K, 40);
    TGame::Put(P60(), K, 40);
  }
  const int64_t Chance = 0 + 10 + 50 + 10 - 10 - 15;  // 45
  for (int64_t Seed = 1; Seed <= 40; ++Seed) {
    SCOPED_TRACE(Seed);
    TGame H;
    H.Data = std::make_unique<TJson>(*G.Data);
    TGame::Put(H.Data.get(), "rng", Seed);
    TGame R;
    R.Data = std::make_unique<TJson>(TJson::Object());
    TGame::Put(R.Data.get(), "rng", Seed);
    const bool Joins = R.Rand(100) < Chance;
    std::vector<int64_t> Draws;
    H.RandTrace = &Draws;
    const std::string Result = H.PrisonerAction(60, 1, "recruit");
    EXPECT_EQ(Draws, (std::vector<int64_t>{100}));
    TJson* C = H.C(60);
    if (Joins) {
      EXPECT_EQ(Result, "Character 60 joins the fellowship.");
      EXPECT_EQ(N(C, "faction"), 1);
      EXPECT_EQ(N(C, "superior"), 1);
      EXPECT_EQ(TGame::S(C, "role"), "follower");
      EXPECT_EQ(N(C, "body"), 1);
      EXPECT_EQ(N(C, "loyalty"), 50 + 100 / 3);
    } else {
      EXPECT_EQ(Result, "Character 60 refuses; held in custody.");
      EXPECT_TRUE(TGame::B(C, "resolved"));
      EXPECT_TRUE(TGame::B(C, "captured"));
    }
  }
}
