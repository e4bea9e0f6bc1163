#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class Campaign : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override { NewFixtureCampaign(G); }
};

}  // namespace

TEST(Bound, LowWinsOverHigh) {
  EXPECT_EQ(Bound(5, 10, 0), 10);
  EXPECT_EQ(Bound(-3, 0, 100), 0);
  EXPECT_EQ(Bound(150, 0, 100), 100);
  EXPECT_EQ(Bound(42, 0, 100), 42);
}

TEST(Orders, CatalogueAndCommand) {
  EXPECT_STREQ(OrderNames[ORest], "Rest");
  EXPECT_STREQ(OrderNames[OFlood], "Flood control");
  EXPECT_STREQ(OrderNames[OWar], "War");
  EXPECT_STREQ(OrderNames[ORumors], "Rumors");
  EXPECT_EQ(int(ORumors), OrderCount - 1);
  TCommand Cmd = Command(OReward, 3, 4, 50, 1);
  EXPECT_EQ(Cmd.Kind, OReward);
  EXPECT_EQ(Cmd.Actor, 3);
  EXPECT_EQ(Cmd.Target, 4);
  EXPECT_EQ(Cmd.Amount, 50);
  EXPECT_EQ(Cmd.Extra, 1);
}

TEST(NoCampaign, EverythingReadsAsNothing) {
  TGame G;
  EXPECT_EQ(G.P(1), nullptr);
  EXPECT_EQ(G.C(1), nullptr);
  EXPECT_EQ(G.F(1), nullptr);
  EXPECT_EQ(G.Party(1), nullptr);
  EXPECT_EQ(G.Current(), 0);
  EXPECT_EQ(G.Rule("lightBody", 10), 10);
  EXPECT_FALSE(G.Finished());
  EXPECT_FALSE(G.Human(1));
  EXPECT_EQ(G.Validate(), "No campaign.");
  EXPECT_EQ(G.StateHash(), "811C9DC5");
}

TEST_F(Campaign, RandFollowsTheXorshiftSequence) {
  TGame::Put(G.Data.get(), "rng", 1);
  EXPECT_EQ(G.Rand(100), 69);
  EXPECT_EQ(TGame::N(G.Data.get(), "rng"), 270369);
  EXPECT_EQ(G.Rand(100), 89);
  EXPECT_EQ(TGame::N(G.Data.get(), "rng"), 67634689);
}

TEST_F(Campaign, RandAdvancesForEveryLimitAndKeepsItsPlace) {
  std::string Before = WriteJson(*G.Data);
  size_t At = Before.find("\"rng\"");
  EXPECT_EQ(G.Rand(0), 0);
  int64_t After = TGame::N(G.Data.get(), "rng");
  EXPECT_NE(After, 730127);
  EXPECT_EQ(G.Rand(-5), 0);
  EXPECT_NE(TGame::N(G.Data.get(), "rng"), After);
  EXPECT_EQ(WriteJson(*G.Data).find("\"rng\""), At);
}

TEST_F(Campaign, RandMendsAZeroOrMissingState) {
  TGame::Put(G.Data.get(), "rng", 0);
  G.Rand(10);
  EXPECT_EQ(TGame::N(G.Data.get(), "rng"), 1);
  G.Data->Remove("rng");
  G.Rand(100);
  EXPECT_EQ(TGame::N(G.Data.get(), "rng"), 270369);
  TGame::Put(G.Data.get(), "rng", int64_t(0x100000001));  // only the low 32 bits count
  G.Rand(100);
  EXPECT_EQ(TGame::N(G.Data.get(), "rng"), 270369);
}

TEST(Fields, ReadersGiveDefaultsForOtherKinds) {
  TJson O = ParseJson(R"({"n":null,"s":7,"b":1,"t":true,"i":-4,"text":"x","f":false})");
  EXPECT_EQ(TGame::N(&O, "n", 9), 9);
  EXPECT_EQ(TGame::N(&O, "text", 9), 9);
  EXPECT_EQ(TGame::N(&O, "missing", 9), 9);
  EXPECT_EQ(TGame::N(&O, "i", 9), -4);
  EXPECT_EQ(TGame::N(nullptr, "i", 9), 9);
  EXPECT_EQ(TGame::S(&O, "s", "d"), "d");
  EXPECT_EQ(TGame::S(&O, "text", "d"), "x");
  EXPECT_FALSE(TGame::B(&O, "b"));
  EXPECT_FALSE(TGame::B(&O, "f"));
  EXPECT_FALSE(TGame::B(&O, "missing"));
  EXPECT_TRUE(TGame::B(&O, "t"));
  EXPECT_FALSE(TGame::B(nullptr, "t"));
}

TEST(Fields, PutAppendsAndRefusesAMissingRecord) {
  TJson O = ParseJson(R"({"gold":1,"food":2})");
  TGame::Put(&O, "gold", 7);
  TGame::Put(&O, "ok", true);
  TGame::Put(&O, "role", "dead");
  EXPECT_EQ(WriteJson(O), R"({ "food" : 2, "gold" : 7, "ok" : true, "role" : "dead" })");
  EXPECT_THROW(TGame::Put(nullptr, "gold", 1), std::logic_error);
}

TEST_F(Campaign, RecordsByIdAndTheirLimits) {
  EXPECT_EQ(TGame::N(G.P(49), "id"), 49);
  EXPECT_EQ(G.P(0), nullptr);
  EXPECT_EQ(G.P(50), nullptr);
  EXPECT_EQ(TGame::S(G.C(255), "name"), "Character 255");
  EXPECT_EQ(G.C(256), nullptr);
  EXPECT_EQ(TGame::N(G.F(255), "id"), 255);
  EXPECT_EQ(G.F(256), nullptr);
  EXPECT_EQ(G.F(0), nullptr);
  RemoveAt(G, "/provinces/48");
  EXPECT_THROW(G.P(49), std::out_of_range);
  RemoveAt(G, "/characters");
  EXPECT_THROW(G.C(1), std::out_of_range);
}

TEST_F(Campaign, PartyIsTheFirstRecordOfTheLeader) {
  SetAt(G, "/exileParties", ParseJson(R"([{"leader":4,"province":3,"food":1,"gold":0},
                                          {"leader":4,"province":5,"food":2,"gold":0}])"));
  EXPECT_EQ(TGame::N(G.Party(4), "food"), 1);
  EXPECT_EQ(G.Party(5), nullptr);
}

TEST_F(Campaign, CurrentEntryOfTheQueue) {
  EXPECT_EQ(G.Current(), 1);
  EXPECT_EQ(G.Faction(), 1);
  EXPECT_EQ(G.Province(), 1);
  Place(G, 4, 17, 4, "exile");
  SetAt(G, "/queue", ParseJson("[1, -4]"));
  TGame::Put(G.Data.get(), "queueIndex", 1);
  EXPECT_TRUE(G.IsExile());
  EXPECT_EQ(G.Faction(), 4);
  EXPECT_EQ(G.Province(), 17);
  TGame::Put(G.Data.get(), "queueIndex", 2);
  EXPECT_EQ(G.Current(), 0);
  EXPECT_EQ(G.P(G.Province()), nullptr);
}

TEST_F(Campaign, HumanNeedsAnActiveHumanFaction) {
  EXPECT_TRUE(G.Human(1));
  EXPECT_FALSE(G.Human(2));
  EXPECT_FALSE(G.Human(300));
  TGame::Put(G.F(1), "active", false);
  EXPECT_FALSE(G.Human(1));
}

TEST_F(Campaign, LocalAndTroops) {
  Place(G, 30, 1, 1, "follower");
  Place(G, 31, 1, 1, "exile");
  Place(G, 32, 1, 1, "follower");
  TGame::Put(G.C(32), "captured", true);
  Place(G, 33, 1, 2, "follower");
  for (int Cid : {1, 30, 31, 32, 33}) TGame::Put(G.C(Cid), "soldiers", 10);
  EXPECT_TRUE(G.Local(30, 1, 1));
  EXPECT_FALSE(G.Local(32, 1, 1));
  EXPECT_FALSE(G.Local(30, 2, 1));
  EXPECT_FALSE(G.Local(30, 1, 2));
  EXPECT_FALSE(G.Local(300, 1, 1));
  EXPECT_TRUE(G.Local(51, 2, 0));  // a free resident
  // The leader and one follower; the exile, the captive and the stranger bring none.
  EXPECT_EQ(G.Troops(1), 20);
}

TEST_F(Campaign, CountFillsTheCapacityWithOwnPeopleAndCaptives) {
  Place(G, 30, 1, 1, "follower");
  Place(G, 31, 1, 1, "exile");
  Place(G, 32, 1, 2, "follower");
  TGame::Put(G.C(32), "captured", true);
  Place(G, 33, 1, 2, "follower");
  TGame::Put(G.C(33), "captured", true);
  TGame::Put(G.C(33), "overflow", true);
  Place(G, 34, 1, 1, "dead");
  TGame::Put(G.C(34), "alive", false);
  EXPECT_EQ(G.Count(1), 3);  // leader, follower, captive
  // An unclaimed province counts only the captives with a fellowship.
  Place(G, 40, 5, 2, "follower");
  Place(G, 41, 5, 2, "follower");
  TGame::Put(G.C(41), "captured", true);
  EXPECT_EQ(G.Count(5), 1);
}

TEST_F(Campaign, NeighborsSearchesTheFirstList) {
  EXPECT_TRUE(G.Neighbors(1, 2));
  EXPECT_TRUE(G.Neighbors(1, 8));
  EXPECT_FALSE(G.Neighbors(1, 9));
  SetAt(G, "/provinces/0/neighbors", ParseJson("[2, 60]"));
  EXPECT_FALSE(G.Neighbors(1, 8));
  EXPECT_TRUE(G.Neighbors(8, 1));
  EXPECT_FALSE(G.Neighbors(1, 60));
  EXPECT_FALSE(G.Neighbors(0, 1));
}

TEST_F(Campaign, AlliedReadsTheFirstMatchingTreaty) {
  SetAt(G, "/treaties", ParseJson(R"([{"a":5,"b":3,"years":0},{"a":3,"b":5,"years":2},
                                      {"a":2,"b":4,"years":1}])"));
  EXPECT_FALSE(G.Allied(3, 5));
  EXPECT_TRUE(G.Allied(4, 2));
  EXPECT_FALSE(G.Allied(1, 2));
}

TEST_F(Campaign, RulesReadTheDocumentOrTheirDefault) {
  EXPECT_EQ(G.Rule("heavyBody", 20), 20);
  SetAt(G, "/rules", ParseJson(R"({"heavyBody":30})"));
  EXPECT_EQ(G.Rule("heavyBody", 20), 30);
  EXPECT_EQ(G.Rule("lightBody", 10), 10);
}

TEST(Log, KeepsTheLatestTwoHundredLines) {
  TGame G;
  for (int I = 1; I <= 201; ++I) G.Note("line " + std::to_string(I));
  ASSERT_EQ(G.Log.size(), 200u);
  EXPECT_EQ(G.Log.front(), "line 2");
  EXPECT_EQ(G.Log.back(), "line 201");
}
