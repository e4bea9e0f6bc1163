// Odds, prices, yields, beast reports and riots on the fixture campaign,
// whose current turn is province 1 of faction 1.
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

namespace {

class Odds : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override { NewFixtureCampaign(G); }
  void Temper(int Cid, int Integrity, int Mercy, int Courage) {
    TGame::Put(G.C(Cid), "integrity", Integrity);
    TGame::Put(G.C(Cid), "mercy", Mercy);
    TGame::Put(G.C(Cid), "courage", Courage);
  }
  void Rate(int64_t R) { TGame::Put(G.P(1), "rate", R); }
};

}  // namespace

TEST_F(Odds, CompatibilityIsSymmetricAndBounded) {
  Temper(40, 60, 40, 70);
  Temper(41, 50, 70, 70);
  EXPECT_EQ(G.Compatible(40, 41), 87);
  EXPECT_EQ(G.Compatible(41, 40), 87);
  Temper(41, 60, 40, 70);
  EXPECT_EQ(G.Compatible(40, 41), 100);
  Temper(40, 0, 0, 0);
  Temper(41, 100, 100, 100);
  EXPECT_EQ(G.Compatible(40, 41), 0);
  Temper(41, 200, 200, 200);  // beyond the usual range still bottoms out at 0
  EXPECT_EQ(G.Compatible(40, 41), 0);
}

TEST_F(Odds, ChancesOfTheGamblingOrders) {
  // Leader 1 of the acting faction, actor 40, target 41.
  Temper(1, 50, 50, 50);
  Temper(40, 50, 50, 50);
  Temper(41, 50, 50, 50);
  TGame::Put(G.F(1), "popularity", 200);
  TGame::Put(G.C(40), "wisdom", 90);
  TGame::Put(G.C(41), "integrity", 50);
  // 200 div 10 + 10 + 100 div 2 + 90 div 5 - 50 div 4 = 20 + 10 + 50 + 18 - 12 = 86
  Temper(40, 50, 50, 50);
  EXPECT_EQ(G.Chance(Command(ORecruit, 40, 41, 0, 0)), 86);
  TGame::Put(G.F(1), "popularity", 400);  // 106 is kept at 95
  EXPECT_EQ(G.Chance(Command(ORecruit, 40, 41, 0, 0)), 95);
  TGame::Put(G.F(1), "popularity", 0);
  // The oath compares the leader with the target: 100 + 0 - 20.
  EXPECT_EQ(G.Chance(Command(OOath, 40, 41, 0, 0)), 80);
  Temper(41, 100, 100, 100);  // compatibility 50: 30
  EXPECT_EQ(G.Chance(Command(OOath, 40, 41, 0, 0)), 30);

  // Treaty with faction 2: its home garrison outnumbers ours by 39, a term of -1.
  Temper(2, 50, 50, 50);
  TGame::Put(G.C(1), "soldiers", 10);
  TGame::Put(G.C(2), "soldiers", 49);
  TGame::Put(G.C(40), "wisdom", 40);
  const int64_t Base = 40 / 2 + 20 + 100 / 4;
  EXPECT_EQ(G.Chance(Command(OTreaty, 40, 2, 0, 0)), Base + (G.Troops(1) - G.Troops(2)) / 20);
  EXPECT_EQ((G.Troops(1) - G.Troops(2)) / 20, -1);

  // Invite: 0 + 100 div 2 - 60 div 3.
  TGame::Put(G.C(2), "courage", 60);
  Temper(2, 50, 50, 60);
  Temper(1, 50, 50, 60);
  EXPECT_EQ(G.Chance(Command(OInvite, 40, 2, 0, 0)), 50 - 20);

  // A tiger against dexterity 40, courage 40 and no soldiers: 40 + 20 - 50.
  TGame::Put(G.P(1), "beast", 3);
  TGame::Put(G.C(40), "dexterity", 40);
  TGame::Put(G.C(40), "courage", 40);
  TGame::Put(G.C(40), "soldiers", 0);
  EXPECT_EQ(G.Chance(Command(OBeasts, 40, 0, 0, 0)), 10);
  TGame::Put(G.P(1), "beast", 4);
  TGame::Put(G.C(40), "dexterity", 0);
  TGame::Put(G.C(40), "courage", 0);
  EXPECT_EQ(G.Chance(Command(OBeasts, 40, 0, 0, 0)), 5);
  EXPECT_EQ(G.Chance(Command(OBuyFood, 40, 0, 0, 0)), 100);
}

TEST_F(Odds, ExperienceRaisesAttributes) {
  TJson* C = G.C(40);
  TGame::Put(C, "strength", 55);
  TGame::Put(C, "dexterity", 100);
  TGame::Put(C, "wisdom", 98);
  TGame::PutObj(C, "xp");
  TGame::Put(TGame::Obj(C, "xp"), "strength", 90);
  TGame::Put(TGame::Obj(C, "xp"), "dexterity", 40);
  TGame::Put(TGame::Obj(C, "xp"), "wisdom", 50);
  G.Experience(40, 15, 0, 250);
  EXPECT_EQ(TGame::N(C, "strength"), 56);
  EXPECT_EQ(TGame::N(TGame::Obj(C, "xp"), "strength"), 5);
  EXPECT_EQ(TGame::N(C, "dexterity"), 100);  // at the top no experience is kept
  EXPECT_EQ(TGame::N(TGame::Obj(C, "xp"), "dexterity"), 0);
  EXPECT_EQ(TGame::N(C, "wisdom"), 100);
  EXPECT_EQ(TGame::N(TGame::Obj(C, "xp"), "wisdom"), 0);

  RemoveAt(G, "/characters/40/xp");  // character 41 has lost its record: it starts afresh
  const int64_t Wisdom = TGame::N(G.C(41), "wisdom");
  G.Experience(41, 0, 0, 130);
  EXPECT_EQ(TGame::N(G.C(41), "wisdom"), std::min<int64_t>(Wisdom + 1, 100));
  EXPECT_EQ(TGame::N(TGame::Obj(G.C(41), "xp"), "wisdom"), Wisdom + 1 >= 100 ? 0 : 30);
  EXPECT_EQ(TGame::N(TGame::Obj(G.C(41), "xp"), "strength"), 0);
}

TEST_F(Odds, MarketPricesTotalsAndQuotes) {
  struct TCase {
    int64_t Rate;
    TOrder Kind;
    int64_t Cents, Units, Total;
    const char* Quote;
  };
  const TCase Cases[] = {
      {50, OBuyFood, 200, 1, 2, "2.00"},  {50, OSellFood, 100, 1, 1, "1.00"}, {50, OBuyFur, 1000, 1, 10, "10.00"},
      {50, OSellFur, 600, 1, 6, "6.00"},  {33, OBuyFood, 132, 3, 4, "1.32"},  {33, OSellFood, 66, 3, 1, "0.66"},
      {20, OBuyFood, 80, 1, 1, "0.80"},   {20, OSellFood, 40, 1, 0, "0.40"},  {150, OBuyFood, 400, 2, 8, "4.00"},
      {5, OSellFur, 200, 9999, 19998, "2.00"}, {50, OBuyFood, 200, 0, 0, "2.00"}, {50, OBuyFood, 200, 10000, 0, "2.00"},
      {50, ORest, 0, 5, 0, "0.00"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Rate) + " " + OrderNames[C.Kind]);
    Rate(C.Rate);
    EXPECT_EQ(G.TradePrice(C.Kind, 1), C.Cents);
    EXPECT_EQ(G.TradeTotal(C.Kind, 1, C.Units), C.Total);
    EXPECT_EQ(G.TradeQuote(C.Kind, 1), C.Quote);
  }
  RemoveAt(G, "/provinces/0/rate");  // an unknown rate is 50
  EXPECT_EQ(G.TradePrice(OBuyFood, 1), 200);
  // The rules move food prices; selling never pays more than buying costs.
  SetAt(G, "/rules", ParseJson(R"({"foodBuyCentsPerRate":1,"foodSellCentsPerRate":500})"));
  EXPECT_EQ(G.TradePrice(OBuyFood, 1), 50);
  EXPECT_EQ(G.TradePrice(OSellFood, 1), 50);
  SetAt(G, "/rules", ParseJson(R"({"foodBuyCentsPerRate":0})"));
  EXPECT_EQ(G.TradeQuote(OBuyFood, 1), "0.50");
  Rate(20);
  SetAt(G, "/rules", ParseJson(R"({"foodBuyCentsPerRate":1,"foodSellCentsPerRate":1})"));
  EXPECT_EQ(G.TradeQuote(OSellFood, 1), "0.20");
}

TEST_F(Odds, HuntingYields) {
  TGame::Put(G.C(1), "courage", 30);
  TGame::Put(G.C(40), "dexterity", 50);
  TGame::Put(G.P(1), "food", 100);
  TGame::Put(G.P(1), "fur", 10);
  EXPECT_EQ(G.HuntYield(40, 0), 40);
  EXPECT_EQ(G.HuntYield(40, 1), 10);
  TGame::Put(G.P(1), "food", 9990);
  EXPECT_EQ(G.HuntYield(40, 0), 9);
  TGame::Put(G.P(1), "fur", 999);
  EXPECT_EQ(G.HuntYield(40, 1), 0);
  TGame::Put(G.P(1), "fur", 0);
  TGame::Put(G.C(1), "courage", 0);
  TGame::Put(G.C(40), "dexterity", 5);  // a weak hunter still brings one fur
  EXPECT_EQ(G.HuntYield(40, 1), 1);
}

TEST_F(Odds, BeastNamesAndReports) {
  const char* const Names[] = {"beast", "wolf", "leopard", "tiger", "bear", "beast"};
  for (int K = 0; K <= 5; ++K) EXPECT_EQ(TGame::BeastName(K), Names[K]);
  EXPECT_EQ(G.BeastNotice(), nullptr);
  G.DismissBeastNotice();  // nothing to dismiss
  SetAt(G, "/beastNotices", ParseJson(R"([{"province":3},{"province":4}])"));
  EXPECT_EQ(TGame::N(G.BeastNotice(), "province"), 3);
  G.DismissBeastNotice();
  EXPECT_EQ(TGame::N(G.BeastNotice(), "province"), 4);
  G.DismissBeastNotice();
  EXPECT_EQ(G.BeastNotice(), nullptr);
  RemoveAt(G, "/beastNotices");
  EXPECT_EQ(G.BeastNotice(), nullptr);
}

TEST_F(Odds, RiotsArePaidOffOrRunTheirCourse) {
  TJson* P = G.P(1);
  const std::string Untouched = WriteJson(*G.Data);
  EXPECT_EQ(G.ResolveRiot(1, true), "There is no riot here.");
  EXPECT_EQ(WriteJson(*G.Data), Untouched);

  TGame::Put(P, "riot", true);
  TGame::Put(P, "gold", 29);
  EXPECT_EQ(G.ResolveRiot(1, true), "The treasury cannot afford 30 Gold.");
  EXPECT_TRUE(TGame::B(P, "riot"));

  TGame::Put(P, "gold", 30);
  TGame::Put(P, "support", 99);
  const size_t Lines = G.Log.size();
  EXPECT_EQ(G.ResolveRiot(1, true), "The unrest in Province 1 ends peacefully.");
  EXPECT_EQ(TGame::N(P, "gold"), 0);
  EXPECT_EQ(TGame::N(P, "support"), 100);
  EXPECT_FALSE(TGame::B(P, "riot"));
  EXPECT_EQ(G.Log.size(), Lines + 1);

  TGame::Put(P, "riot", true);
  TGame::Put(P, "gold", 104);
  TGame::Put(P, "food", 9);
  TGame::Put(P, "support", 6);
  TGame::Put(G.C(1), "body", 12);
  const std::string Riot = "Riot in Province 1: Support -10, Gold/Food -20%, governor Body -15.";
  EXPECT_EQ(G.ResolveRiot(1, false), Riot);
  EXPECT_EQ(TGame::N(P, "gold"), 84);
  EXPECT_EQ(TGame::N(P, "food"), 8);
  EXPECT_EQ(TGame::N(P, "support"), 0);
  EXPECT_EQ(TGame::N(G.C(1), "body"), 0);
  EXPECT_EQ(G.Log.back(), Riot);

  TGame::Put(P, "riot", true);  // nobody governs: no one is hurt
  TGame::Put(P, "governor", 0);
  const std::string Before = WriteJson(*TGame::List(G.Data.get(), "characters"));
  G.ResolveRiot(1, false);
  EXPECT_EQ(WriteJson(*TGame::List(G.Data.get(), "characters")), Before);
}
