#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// The first seed whose draws, made by Ok on a scratch generator, satisfy it.
uint32_t SeedWhere(const std::function<bool(TGame&)>& Ok) {
  for (uint32_t Seed = 1; Seed < 1000000; ++Seed) {
    TGame R;
    R.Data = std::make_unique<TJson>(TJson::Object());
    TGame::Put(R.Data.get(), "rng", int64_t(Seed));
    if (Ok(R)) return Seed;
  }
  ADD_FAILURE() << "no seed gives these draws";
  return 1;
}

// Province 1 draws first: its weather roll is the first draw of the month-end.
uint32_t FirstRoll(int64_t Roll) {
  return SeedWhere([&](TGame& R) { return R.Rand(100) == Roll; });
}

// The fixture: faction 1 (human) holds province 1, faction 2 province 2 and
// the Chancellor 25. No beasts come unless a test asks for them.
class MonthEnd : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override {
    NewFixtureCampaign(G);
    SetAt(G, "/rules", ParseJson(R"({"beastChancePercent":0})"));
  }
  TJson* Doc() { return G.Data.get(); }
  TJson* P1() { return G.P(1); }
  void Month(int M) { TGame::Put(Doc(), "month", M); }
  void Seed(uint32_t S) { TGame::Put(Doc(), "rng", int64_t(S)); }
  void Soldiers(int Cid, int N) { TGame::Put(G.C(Cid), "soldiers", N); }
  int64_t N(TJson* O, const TKey& K) { return TGame::N(O, K); }
};

}  // namespace

// ---- Wages and rations ------------------------------------------------------

TEST_F(MonthEnd, WagesAndRationsOfAStarvingGarrison) {
  Month(5);
  Seed(SeedWhere([](TGame& R) { return R.Rand(100) >= 2; }));  // no outbreak
  Place(G, 30, 1, 1, "follower");
  Place(G, 31, 1, 1, "follower");
  Soldiers(1, 10);
  Soldiers(30, 10);
  Soldiers(31, 5);
  TGame::Put(P1(), "food", 0);
  TGame::Put(P1(), "gold", 7);
  const int64_t Loyalty = N(G.C(30), "loyalty");
  G.MonthEnd();
  EXPECT_EQ(N(P1(), "gold"), 4);
  // Need 3, short 3: 15 soldiers lost in proportion, 6 + 6 + 3.
  EXPECT_EQ(N(G.C(1), "soldiers"), 4);
  EXPECT_EQ(N(G.C(30), "soldiers"), 4);
  EXPECT_EQ(N(G.C(31), "soldiers"), 2);
  EXPECT_EQ(N(G.C(30), "loyalty"), Loyalty);  // the wages were paid
  EXPECT_TRUE(Logged(G, "Province 1: wages 3, food 3, starvation 15."));
  EXPECT_EQ(G.Log.front(), "--- Month-end ledger ---");
}

TEST_F(MonthEnd, StarvationSharesRoundDownAndTheRestComesFromTheFront) {
  Month(5);
  Seed(SeedWhere([](TGame& R) { return R.Rand(100) >= 2; }));
  Place(G, 30, 1, 1, "follower");
  Soldiers(1, 10);
  Soldiers(30, 5);
  // An exile of the fellowship standing here is not of the garrison and does not starve.
  Place(G, 31, 1, 1, "exile");
  Soldiers(31, 40);
  TGame::Put(P1(), "food", 1);
  G.MonthEnd();
  EXPECT_EQ(N(G.C(1), "soldiers"), 6);
  EXPECT_EQ(N(G.C(30), "soldiers"), 4);
  EXPECT_EQ(N(G.C(31), "soldiers"), 40);
  EXPECT_TRUE(Logged(G, "Province 1: wages 2, food 2, starvation 5."));
}

TEST_F(MonthEnd, UnpaidWagesCostLoyaltyButNotOfSwornCompanions) {
  Month(5);
  Place(G, 30, 1, 1, "follower");
  Place(G, 31, 1, 1, "sworn companion");
  Place(G, 32, 2, 1, "follower");  // elsewhere: not paid here
  TGame::Put(P1(), "gold", 2);
  const int64_t Leader = N(G.C(1), "loyalty"), Follower = N(G.C(30), "loyalty"), Sworn = N(G.C(31), "loyalty"),
                Away = N(G.C(32), "loyalty");
  G.MonthEnd();
  EXPECT_EQ(N(P1(), "gold"), 0);
  EXPECT_EQ(N(G.C(1), "loyalty"), Leader - 10);
  EXPECT_EQ(N(G.C(30), "loyalty"), Follower - 10);
  EXPECT_EQ(N(G.C(31), "loyalty"), Sworn);
  EXPECT_EQ(N(G.C(32), "loyalty"), Away);
}

// ---- Weather, epidemics, riots ----------------------------------------------

TEST_F(MonthEnd, WeatherEventsByMonthAndRoll) {
  // Province 1 in the fixture: flood 21, land 26, wealth 16, support 31, food 229, r 0.
  struct TCase {
    const char* Name;
    int Month, Roll, Row;
    std::function<void(TGame&)> Check;
  };
  auto Unchanged = [](TGame& G) {
    EXPECT_EQ(TGame::N(G.P(1), "flood"), 21);
    EXPECT_EQ(TGame::N(G.P(1), "land"), 26);
    EXPECT_FALSE(TGame::B(G.P(1), "snow"));
    EXPECT_EQ(TGame::N(G.P(1), "epidemic"), 0);
    EXPECT_EQ(TGame::N(G.P(1), "support"), 31);
  };
  const TCase Cases[] = {
      {"typhoon", 7, 9, 0,
       [](TGame& G) {
         TJson* P = G.P(1);
         EXPECT_EQ(TGame::N(P, "flood"), 16);
         EXPECT_EQ(TGame::N(P, "land"), 16);
         EXPECT_EQ(TGame::N(P, "wealth"), 8);
         EXPECT_EQ(TGame::N(P, "food"), 225 - 22);  // 40 soldiers eat 4 before the storm
         EXPECT_GE(TGame::N(P, "rate"), 95);  // 95 + 10 is capped at 100 before the market moves
         EXPECT_TRUE(Logged(G, "Typhoon strikes Province 1."));
       }},
      {"no typhoon at the threshold", 7, 10, 0, Unchanged},
      {"no typhoon in May", 5, 9, 0, Unchanged},
      {"snow in the north", 1, 11, 0,
       [](TGame& G) {
         EXPECT_TRUE(TGame::B(G.P(1), "snow"));
         EXPECT_EQ(TGame::N(G.P(1), "land"), 23);
         EXPECT_EQ(TGame::N(G.P(1), "support"), 29);
       }},
      {"less snow in the south", 1, 11, 5, Unchanged},
      {"southern snow", 2, 2, 5, [](TGame& G) { EXPECT_FALSE(TGame::B(G.P(1), "snow")); }},  // March clears it
      {"southern snow in January", 1, 2, 5, [](TGame& G) { EXPECT_TRUE(TGame::B(G.P(1), "snow")); }},
      {"outbreak", 4, 1, 0,
       [](TGame& G) {
         EXPECT_EQ(TGame::N(G.P(1), "epidemic"), 1);
         EXPECT_EQ(TGame::N(G.P(1), "wealth"), 11);
         EXPECT_EQ(TGame::N(G.P(1), "support"), 26);
         EXPECT_EQ(TGame::N(G.C(1), "body"), 61 - 10 + 5);
         EXPECT_EQ(TGame::N(G.C(1), "soldiers"), 38);
       }},
      {"festival", 3, 14, 0,
       [](TGame& G) {
         EXPECT_EQ(TGame::N(G.P(1), "support"), 36);
         EXPECT_EQ(TGame::N(G.C(1), "body"), 61 + 3 + 5);
         EXPECT_EQ(TGame::N(G.C(1), "loyalty"), 54);
       }},
      {"no festival at 15", 3, 15, 0, Unchanged},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TGame G;
    NewFixtureCampaign(G);
    SetAt(G, "/rules", ParseJson(R"({"beastChancePercent":0})"));
    TGame::Put(G.Data.get(), "month", C.Month);
    TGame::Put(G.P(1), "r", C.Row);
    TGame::Put(G.P(1), "rate", 95);
    TGame::Put(G.C(1), "soldiers", 40);
    TGame::Put(G.Data.get(), "rng", int64_t(FirstRoll(C.Roll)));
    G.MonthEnd();
    C.Check(G);
  }
}

TEST_F(MonthEnd, AnEpidemicRunsTwoMonthsAndStrikesFreeResidentsToo) {
  Month(5);
  Seed(SeedWhere([](TGame& R) { return R.Rand(100) >= 2; }));
  TGame::Put(P1(), "epidemic", 1);
  TGame::Put(G.P(8), "epidemic", 2);  // unclaimed; residents 8, 57, 106, 155, 204
  Soldiers(57, 40);
  const int64_t Body = N(G.C(57), "body");
  G.MonthEnd();
  EXPECT_EQ(N(P1(), "epidemic"), 0);
  EXPECT_EQ(N(P1(), "support"), 26);
  EXPECT_EQ(N(G.P(8), "epidemic"), 1);
  EXPECT_EQ(N(G.C(57), "soldiers"), 38);
  EXPECT_EQ(N(G.C(57), "body"), Body - 10 + 5);
}

TEST_F(MonthEnd, RiotsNeedLukewarmSupport) {
  struct {
    int Support, Roll;
    bool Riot;
  } Cases[] = {{40, 15, true}, {40, 16, false}, {53, 2, true}, {53, 3, false}, {39, 2, false}, {56, 2, false}};
  for (const auto& C : Cases) {
    for (bool Human : {true, false}) {
      SCOPED_TRACE(std::to_string(C.Support) + " / " + std::to_string(C.Roll) + (Human ? " human" : " computer"));
      TGame G;
      NewFixtureCampaign(G);
      TGame::Put(G.F(1), "human", Human);
      TGame::Put(G.Data.get(), "month", 5);
      TGame::Put(G.P(1), "support", C.Support);
      TGame::Put(G.Data.get(), "rng", int64_t(FirstRoll(C.Roll)));
      G.MonthEnd();
      // A human owner decides later; a computer owner pays at once when it can.
      EXPECT_EQ(TGame::B(G.P(1), "riot"), C.Riot && Human);
      EXPECT_EQ(Logged(G, "The unrest in Province 1 ends peacefully."), C.Riot && !Human);
      EXPECT_EQ(TGame::N(G.P(1), "gold"), 112 - (C.Riot && !Human ? 30 : 0));
    }
  }
}

TEST_F(MonthEnd, AComputerOwnerThatCannotPayLetsTheRiotRun) {
  Month(5);
  TGame::Put(G.F(1), "human", false);
  TGame::Put(P1(), "support", 40);
  TGame::Put(P1(), "gold", 30);  // 29 after wages
  Seed(FirstRoll(0 + 2));
  G.MonthEnd();
  EXPECT_FALSE(TGame::B(P1(), "riot"));
  EXPECT_TRUE(Logged(G, "Riot in Province 1: Support -10, Gold/Food -20%, governor Body -15."));
  EXPECT_EQ(N(P1(), "gold"), 29 - 5);
}

// ---- Beasts -----------------------------------------------------------------

TEST_F(MonthEnd, ABeastArrivesByTheSecondRoll) {
  SetAt(G, "/rules", ParseJson(R"({"beastChancePercent":100})"));
  struct {
    int Kind;
    int64_t Beast;
    const char* Name;
  } Cases[] = {{39, 1, "wolf"}, {40, 2, "leopard"}, {69, 2, "leopard"}, {70, 3, "tiger"}, {89, 3, "tiger"}, {90, 4, "bear"}};
  for (const auto& C : Cases) {
    TGame G;
    NewFixtureCampaign(G);
    SetAt(G, "/rules", ParseJson(R"({"beastChancePercent":100})"));
    TGame::Put(G.Data.get(), "month", 4);
    TGame::Put(G.Data.get(), "rng", int64_t(SeedWhere([&](TGame& R) {
                 return R.Rand(100) >= 2 && R.Rand(100) >= 0 && R.Rand(100) == C.Kind;
               })));
    G.MonthEnd();
    EXPECT_EQ(TGame::N(G.P(1), "beast"), C.Beast) << C.Kind;
    // 228 food after the rations; a twentieth, rounded up, is lost.
    EXPECT_TRUE(Logged(G, std::string("A ") + C.Name +
                              " terrorises residents of Province 1. Food 228 -> 216. Send a beast expedition."))
        << C.Kind;
    ASSERT_NE(G.BeastNotice(), nullptr);
    EXPECT_EQ(WriteJson(*G.BeastNotice()),
              "{ \"province\" : 1, \"faction\" : 1, \"beast\" : " + std::to_string(C.Beast) +
                  ", \"foodBefore\" : 228, \"foodLoss\" : 12, \"foodAfter\" : 216, \"month\" : 5, \"year\" : 312 }");
    // Only human owners are told.
    EXPECT_EQ(TGame::Len(TGame::List(G.Data.get(), "beastNotices")), 1u);
    EXPECT_EQ(G.Validate(), "");
  }
}

TEST_F(MonthEnd, BeastsRaidStayAndLeaveWithTheSeasons) {
  struct {
    const char* Name;
    int Month, Beast, Food;
    int64_t BeastAfter;
    const char* Line;  // nullptr: no raid line
  } Cases[] = {
      {"a leopard stays and raids", 4, 2, 229, 2, "Province 1: the leopard raids food stores, 228 -> 216."},
      {"an empty store still reports", 4, 1, 0, 1, "Province 1: the wolf raids food stores, 0 -> 0."},
      {"the season ends with May", 5, 3, 229, 0, nullptr},
      {"and with November", 11, 4, 229, 0, nullptr},
      {"January keeps a beast", 12, 1, 229, 1, "Province 1: the wolf raids food stores, 228 -> 216."},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TGame G;
    NewFixtureCampaign(G);
    SetAt(G, "/rules", ParseJson(R"({"beastChancePercent":0})"));
    TGame::Put(G.Data.get(), "month", C.Month);
    TGame::Put(G.P(1), "beast", C.Beast);
    TGame::Put(G.P(1), "food", C.Food);
    G.MonthEnd();
    EXPECT_EQ(TGame::N(G.P(1), "beast"), C.BeastAfter);
    if (C.Line) {
      EXPECT_TRUE(Logged(G, C.Line));
    }
    EXPECT_EQ(G.BeastNotice(), nullptr);  // only an arrival leaves a notice
  }
}

TEST_F(MonthEnd, MarketsNeverFallBelowTwentyAndProvincesWithoutSoldiersLoseTraining) {
  for (int Pid = 1; Pid <= 49; ++Pid) TGame::Put(G.P(Pid), "rate", 20);
  Soldiers(1, 0);
  G.MonthEnd();
  for (int Pid = 1; Pid <= 49; ++Pid) {
    EXPECT_GE(N(G.P(Pid), "rate"), 20) << Pid;
    EXPECT_LE(N(G.P(Pid), "rate"), 25) << Pid;
  }
  EXPECT_EQ(N(P1(), "skill"), 0);
  EXPECT_EQ(N(P1(), "arms"), 0);
  EXPECT_EQ(N(G.P(2), "skill"), 6);  // leader 2 keeps soldiers
}

// ---- People -------------------------------------------------------------------

TEST_F(MonthEnd, ExilePartiesEatAndEveryoneRecovers) {
  Month(4);  // no festival
  TGame::Put(G.F(4), "active", true);
  Place(G, 4, 17, 4, "exile");
  TGame::Put(G.F(5), "active", true);
  Place(G, 5, 18, 5, "exile");
  SetAt(G, "/exileParties", ParseJson(R"([{"leader":4,"province":17,"food":1,"gold":0},
                                          {"leader":5,"province":18,"food":0,"gold":0},
                                          {"leader":2,"province":2,"food":7,"gold":0}])"));
  TGame::Put(G.C(100), "body", 98);
  TGame::Put(G.C(101), "body", 10);
  G.MonthEnd();
  EXPECT_EQ(N(G.Party(4), "food"), 0);
  EXPECT_EQ(N(G.Party(5), "food"), 0);
  EXPECT_EQ(N(G.Party(2), "food"), 7);  // a settled fellowship's old party is not on the road
  EXPECT_EQ(N(G.C(100), "body"), 100);
  EXPECT_EQ(N(G.C(101), "body"), 15);
}

TEST_F(MonthEnd, ADesertingGovernorLeavesTheProvinceUnclaimed) {
  // Province 9 of faction 2 has one follower to govern it, with no loyalty left.
  auto Setup = [](TGame& G) {
    NewFixtureCampaign(G);
    Place(G, 45, 9, 2, "follower");
    Own(G, 9, 2, 45);
    TGame::Put(G.C(45), "loyalty", 0);
  };
  for (int Month : {5, 12}) {
    SCOPED_TRACE(Month);
    // A seed under which the follower goes: 30 % a month.
    TGame G;
    for (uint32_t S = 1;; ++S) {
      Setup(G);
      TGame::Put(G.Data.get(), "month", Month);
      TGame::Put(G.Data.get(), "year", 326);
      TGame::Put(G.Data.get(), "rng", int64_t(S));
      G.MonthEnd();
      if (TGame::N(G.C(45), "faction") == 0) break;
      ASSERT_LT(S, 200u);
    }
    EXPECT_EQ(TGame::S(G.C(45), "role"), "free");
    EXPECT_EQ(TGame::N(G.C(45), "superior"), 0);
    EXPECT_TRUE(Logged(G, "Character 45 leaves the fellowship."));
    EXPECT_EQ(TGame::N(G.P(9), "owner"), 0);
    EXPECT_EQ(TGame::N(G.P(9), "governor"), 0);
    // Also when the invasion ends the campaign in that month, the final state can be saved.
    EXPECT_EQ(G.Finished(), Month == 12);
    EXPECT_EQ(G.Validate(), "");
  }
}

TEST_F(MonthEnd, LeadersAndSwornCompanionsNeverDesert) {
  Place(G, 30, 1, 1, "sworn companion");
  for (int Cid : {1, 30}) TGame::Put(G.C(Cid), "loyalty", 0);
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  G.MonthEnd();
  EXPECT_EQ(N(G.C(1), "faction"), 1);
  EXPECT_EQ(N(G.C(30), "faction"), 1);
}

// ---- The calendar and January ----------------------------------------------------

TEST_F(MonthEnd, TheCalendarTurnsAndMarchClearsTheSnow) {
  for (int Pid = 1; Pid <= 49; ++Pid) TGame::Put(G.P(Pid), "snow", true);
  Month(2);
  G.MonthEnd();
  EXPECT_EQ(N(Doc(), "month"), 3);
  for (int Pid = 1; Pid <= 49; ++Pid) EXPECT_FALSE(TGame::B(G.P(Pid), "snow")) << Pid;
  EXPECT_EQ(G.Log.back(), "Month 3, River Calendar 312");

  Month(12);
  G.MonthEnd();
  EXPECT_EQ(N(Doc(), "month"), 1);
  EXPECT_EQ(N(Doc(), "year"), 313);
  EXPECT_EQ(G.Log.back(), "Month 1, River Calendar 313");
}

TEST_F(MonthEnd, JanuaryAgesTaxesDecaysAndGrantsWrits) {
  Month(12);
  TGame::Put(Doc(), "year", 320);
  Seed(SeedWhere([](TGame& R) { return R.Rand(100) >= 12; }));  // no snow in province 1
  Place(G, 30, 1, 1, "follower");
  Place(G, 31, 1, 1, "sworn companion");
  TJson* P = P1();
  TGame::Put(P, "support", 60);
  TGame::Put(P, "wealth", 50);
  TGame::Put(P, "land", 40);
  TGame::Put(G.C(1), "mercy", 29);
  TGame::Put(G.P(2), "support", 60);
  SetAt(G, "/treaties", ParseJson(R"([{"a":1,"b":2,"years":1},{"a":3,"b":4,"years":0},{"a":5,"b":6,"years":3}])"));
  TGame::Put(G.F(1), "popularity", 250);
  TGame::Put(G.F(2), "popularity", 249);
  TGame::Put(G.F(11), "popularity", 999);
  TGame::Put(G.F(4), "active", true);
  Place(G, 4, 17, 4, "exile");
  TGame::Put(G.F(4), "popularity", 999);
  const int64_t Decay = (100 - G.Compatible(30, 1)) / 15 + 1;
  const int64_t Follower = N(G.C(30), "loyalty"), Sworn = N(G.C(31), "loyalty"), Free = N(G.C(100), "loyalty");
  const int64_t Age = N(G.C(1), "age");

  G.MonthEnd();

  EXPECT_EQ(N(G.C(1), "age"), Age + 1);
  EXPECT_EQ(N(G.C(30), "loyalty"), Follower - Decay);
  EXPECT_EQ(N(G.C(31), "loyalty"), Sworn);
  EXPECT_EQ(N(G.C(100), "loyalty"), Free);
  // 50 x 60 x (150 - 29) div 1000 Gold and 40 x 60 x 121 div 500 Food.
  EXPECT_TRUE(Logged(G, "Annual tax Province 1: 363 Gold / 580 Food."));
  EXPECT_EQ(N(P, "gold"), 113 - 3 + 363);
  EXPECT_EQ(N(P, "food"), 229 - 3 + 580);  // 26 soldiers eat 3
  EXPECT_EQ(N(P, "wealth"), 48);
  EXPECT_EQ(N(P, "land"), 38);
  EXPECT_EQ(N(P, "support"), 59);
  EXPECT_EQ(N(P, "flood"), 19);
  EXPECT_EQ(N(P, "skill"), 0);
  EXPECT_EQ(N(P, "arms"), 2);
  // A computer owner pays taxes too, without a line.
  EXPECT_GT(N(G.P(2), "gold"), 126 - 1);
  EXPECT_FALSE(Logged(G, "Annual tax Province 2: " + std::to_string(N(G.P(2), "gold") - 125) + " Gold / "));

  EXPECT_EQ(WriteJson(*TGame::List(Doc(), "treaties")),
            R"([{ "a" : 3, "b" : 4, "years" : -1 }, { "a" : 5, "b" : 6, "years" : 2 }])");

  EXPECT_TRUE(TGame::B(G.F(1), "writ"));
  EXPECT_TRUE(Logged(G, "The sovereign grants Character 1 a Royal Writ!"));
  EXPECT_FALSE(TGame::B(G.F(2), "writ"));
  EXPECT_FALSE(TGame::B(G.F(11), "writ"));  // the Chancellor's fellowship never
  EXPECT_FALSE(TGame::B(G.F(4), "writ"));   // nor one on the road
  EXPECT_EQ(G.Log.back(), "Month 1, River Calendar 321");
}

TEST_F(MonthEnd, TheInvasionEndsTheCampaignInJanuary) {
  Month(12);
  TGame::Put(Doc(), "year", 326);
  const int64_t Age = N(G.C(1), "age");
  G.MonthEnd();
  EXPECT_TRUE(G.Finished());
  EXPECT_EQ(TGame::S(Doc(), "result"), "The northern invasion has arrived. The court is lost.");
  EXPECT_EQ(G.Log.back(), "The northern invasion has arrived. The court is lost.");
  EXPECT_EQ(N(Doc(), "month"), 1);
  EXPECT_EQ(N(Doc(), "year"), 327);
  EXPECT_EQ(N(G.C(1), "age"), Age);  // nothing of the new year runs

  // The rule moves the year.
  TGame Early;
  NewFixtureCampaign(Early);
  SetAt(Early, "/rules", ParseJson(R"({"invasionYear":313})"));
  TGame::Put(Early.Data.get(), "month", 12);
  Early.MonthEnd();
  EXPECT_TRUE(Early.Finished());
}

TEST_F(MonthEnd, GovernorsAreChosenAgainEveryMonth) {
  Place(G, 30, 2, 2, "follower");
  Place(G, 2, 3, 2, "leader");  // the leader walked off: the follower governs
  Place(G, 11, 24, 11, "leader");
  G.MonthEnd();
  EXPECT_EQ(N(G.P(2), "governor"), 30);
  EXPECT_EQ(N(G.P(2), "owner"), 2);
  EXPECT_EQ(N(G.F(2), "home"), 0);  // and the fellowship is on the road
  EXPECT_EQ(N(G.P(25), "owner"), 0);
  EXPECT_EQ(G.Validate(), "");
}

// ---- The order of draws ----------------------------------------------------------

TEST(MonthEndDraws, FollowTheLedgerOrder) {
  for (int Month : {4, 12}) {
    SCOPED_TRACE(Month);
    TGame G;
    NewFixtureCampaign(G);
    SetAt(G, "/rules", ParseJson(R"({"beastChancePercent":100})"));
    TGame::Put(G.Data.get(), "month", Month);
    TGame::Put(G.P(5), "beast", 2);
    TGame::Put(G.P(2), "support", 45);  // a computer owner's riot draws nothing
    for (int Cid = 1; Cid <= 255; ++Cid) TGame::Put(G.C(Cid), "profession", "doctor");
    // Wanderers 40 and 50 around the deserter 45; a captive, a dead and a
    // fellowship trader do not wander; a loyal follower does not desert.
    for (int Cid : {40, 41, 42, 43, 50}) TGame::Put(G.C(Cid), "profession", "trader");
    TGame::Put(G.C(41), "captured", true);
    TGame::Put(G.C(42), "alive", false);
    Place(G, 43, 1, 1, "follower");
    Place(G, 44, 1, 1, "follower");
    Place(G, 45, 1, 1, "follower");
    TGame::Put(G.C(45), "loyalty", 10);

    TGame R;  // the same generator, drawn in the order the ledger gives
    R.Data = std::make_unique<TJson>(TJson::Object());
    TGame::Put(R.Data.get(), "rng", TGame::N(G.Data.get(), "rng"));
    std::vector<int64_t> Expected;
    auto Draw = [&](int64_t Limit) {
      Expected.push_back(Limit);
      return R.Rand(Limit);
    };
    const int64_t Coming = Month % 12 + 1;
    for (int Pid = 1; Pid <= 49; ++Pid) {
      Draw(100);  // weather
      if (Coming >= 3 && Coming <= 11 && Pid != 5) {
        Draw(100);  // a new beast comes...
        Draw(100);  // ... and its kind
      }
      Draw(11);  // market
    }
    // Where the two wanderers stand before the month-end.
    int64_t Destination[2] = {TGame::N(G.C(40), "province"), TGame::N(G.C(50), "province")};
    for (int I = 0; I < 3; ++I) {
      if (I == 1) {
        Draw(100);  // desertion of 45
        continue;
      }
      int64_t& To = Destination[I / 2];
      if (Draw(100) < 10) To = TGame::NAt(TGame::List(G.P(To), "neighbors"), size_t(Draw(4)));
    }

    std::vector<int64_t> Draws;
    G.RandTrace = &Draws;
    G.MonthEnd();
    EXPECT_EQ(Draws, Expected);
    EXPECT_EQ(TGame::N(G.Data.get(), "rng"), TGame::N(R.Data.get(), "rng"));
    EXPECT_EQ(TGame::N(G.C(40), "province"), Destination[0]);
    EXPECT_EQ(TGame::N(G.C(50), "province"), Destination[1]);
  }
}

// ---- Whole campaigns -----------------------------------------------------------

// The shipped world book: months pass from each scenario's start to the invasion.
TEST(Chronicle, EveryScenarioRunsToTheInvasion) {
  const std::string World = std::string(KV_ASSETS) + "/data/world.json";
  for (int K = 1; K <= 4; ++K) {
    SCOPED_TRACE(K);
    TGame G;
    G.NewGame(World, K, 2, 2, {1, 7}, 1327 + K);
    int Months = 0;
    for (long Step = 0; !G.Finished(); ++Step) {
      ASSERT_LT(Step, 100000);
      const int64_t Month = TGame::N(G.Data.get(), "month");
      G.FinishOrder();
      if (TGame::N(G.Data.get(), "month") == Month) continue;
      ++Months;
      ASSERT_EQ(G.Validate(), "") << "after month " << Months;
      if (G.Finished()) break;
      ASSERT_EQ(G.Log.back(), "Month " + std::to_string(TGame::N(G.Data.get(), "month")) + ", River Calendar " +
                                  std::to_string(TGame::N(G.Data.get(), "year")));
    }
    EXPECT_EQ(G.Log.back(), "The northern invasion has arrived. The court is lost.");
    EXPECT_EQ(TGame::N(G.Data.get(), "month"), 1);
    EXPECT_EQ(TGame::N(G.Data.get(), "year"), 327);
    EXPECT_GT(Months, 12 * 4);
    EXPECT_EQ(G.Current(), 0);
  }
}

TEST(Chronicle, SavingInTheMiddleOfAMonthChangesNothing) {
  const std::string Folder = FreshFolder("chronicle-save");
  const std::string World = WriteFixtureWorld(Folder);
  TGame G;
  G.NewGame(World, 4, 1, 2, {2}, 4242);
  for (int I = 0; I < 40; ++I) G.FinishOrder();
  ASSERT_GT(TGame::N(G.Data.get(), "queueIndex"), 0);
  G.Save(Folder + "/middle.json");
  TGame Loaded;
  Loaded.Load(Folder + "/middle.json");
  EXPECT_EQ(Loaded.Current(), G.Current());
  // The same remaining queue, the same next turns, the same draws, across month-ends.
  for (int I = 0; I < 60; ++I) {
    G.FinishOrder();
    Loaded.FinishOrder();
    ASSERT_EQ(WriteJson(*Loaded.Data), WriteJson(*G.Data)) << "after " << I + 1 << " more turns";
  }
  EXPECT_EQ(Loaded.Log.back(), G.Log.back());
  EXPECT_EQ(Loaded.Rand(1000), G.Rand(1000));
}
