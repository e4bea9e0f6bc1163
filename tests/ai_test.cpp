// Computer players on small documents: what they try first, when they wait
// for a player, and that a campaign they play is reproducible.
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

namespace {

int64_t N(const TJson* O, const TKey& K) { return TGame::N(O, K); }

// Faction 2's turn in province 2 (queue [1, 2, 25], entry 1), with people
// enough that recruiting is not needed and stores that need nothing.
class Computer : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override {
    NewFixtureCampaign(G);
    TGame::Put(G.Data.get(), "queueIndex", 1);
    TGame::Put(G.Data.get(), "month", 4);
    for (int Cid : {60, 61, 62, 63, 64}) Place(G, Cid, 2, 2, "follower");
    TJson* P = G.P(2);
    TGame::Put(P, "food", 500);
    TGame::Put(P, "gold", 50);
    TGame::Put(P, "support", 70);
    TGame::Put(P, "skill", 0);
    for (int64_t Cid : {2, 60, 61, 62, 63, 64}) {
      TGame::Put(G.C(Cid), "body", 90);
      TGame::Put(G.C(Cid), "soldiers", 0);
    }
  }
  TJson* P2() { return G.P(2); }
  std::string Played() {
    const size_t Lines = G.Log.size();
    G.AIOrder();
    return G.Log.size() > Lines ? G.Log[Lines] : "";
  }
};

}  // namespace

TEST_F(Computer, HungerFirstThenGoldAndSupport) {
  // Twenty Food for a garrison of a hundred: the hunt comes first...
  TGame::Put(G.C(2), "soldiers", 100);
  TGame::Put(P2(), "food", 20);
  TGame::Put(P2(), "gold", 20);
  EXPECT_EQ(Played().rfind("The hunt brings ", 0), 0u);

  // ... but in winter it is refused and the gold comes next.
  SetUp();
  TGame::Put(G.C(2), "soldiers", 100);
  TGame::Put(P2(), "food", 20);
  TGame::Put(P2(), "gold", 20);
  TGame::Put(G.Data.get(), "month", 1);
  EXPECT_EQ(Played(), "Solicit completed.");
}

TEST_F(Computer, TheGoldThresholdGrowsWithThePeople) {
  // Nine people want 27 Gold; eight want 25.
  TGame::Put(P2(), "gold", 26);
  Place(G, 65, 2, 2, "follower");
  Place(G, 66, 2, 2, "follower");
  Place(G, 67, 2, 2, "follower");
  ASSERT_EQ(G.Count(2), 9);
  EXPECT_EQ(Played(), "Solicit completed.");
  SetUp();
  TGame::Put(P2(), "gold", 26);
  Place(G, 65, 2, 2, "follower");
  Place(G, 66, 2, 2, "follower");
  ASSERT_EQ(G.Count(2), 8);
  EXPECT_NE(Played(), "Solicit completed.");
}

TEST_F(Computer, ExpansionAndWarUnlessThePolicyIsDevelopment) {
  // Unclaimed neighbours 3 and 9: a follower moves out to claim 3.
  EXPECT_EQ(Played(), "Move people completed.");
  EXPECT_EQ(N(G.P(3), "owner"), 2);

  // Develop: no expansion; training comes instead.
  SetUp();
  TGame::Put(P2(), "policy", "Develop");
  TGame::Put(G.C(2), "soldiers", 10);
  EXPECT_EQ(Played(), "Train troops completed.");
  EXPECT_EQ(N(G.P(3), "owner"), 0);

  // With every neighbour held and a strong garrison, war on the weak one.
  auto Surrounded = [&](const char* Policy) {
    SetUp();
    TGame::Put(P2(), "policy", Policy);
    Place(G, 70, 3, 1, "follower");
    Own(G, 3, 1, 70);
    Place(G, 71, 9, 1, "follower");
    Own(G, 9, 1, 71);
    // A full garrison hires nobody more.
    for (int64_t Cid : {2, 60, 61, 62, 63, 64}) TGame::Put(G.C(Cid), "soldiers", 100);
    TGame::Put(P2(), "gold", 500);
  };
  Surrounded("Expand");
  EXPECT_EQ(Played(), "The armies deploy. Defenders act first.");
  Surrounded("Develop");
  EXPECT_EQ(Played(), "Train troops completed.");
  EXPECT_FALSE(G.InBattle());
}

TEST_F(Computer, PlayersWaitWhereTheLeaderOrASwornCompanionGoverns) {
  TGame::Put(G.Data.get(), "queueIndex", 0);  // faction 1's province 1, a player's
  G.AdvanceAI(1);
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 0);
  Place(G, 50, 1, 1, "sworn companion");
  TGame::Put(G.P(1), "governor", 50);
  G.AdvanceAI(1);
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 0);
  // An ordinary follower governs for the player.
  TGame::Put(G.C(50), "role", "follower");
  G.AdvanceAI(1);
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 1);
}

TEST_F(Computer, EightOrdersStopAtTheFirstPlayersTurn) {
  Place(G, 80, 24, 11, "follower");
  Own(G, 24, 11, 80);
  Place(G, 81, 26, 11, "follower");
  Own(G, 26, 11, 81);
  SetAt(G, "/queue", ParseJson("[2, 25, 24, 1, 26]"));
  SetAt(G, "/queueOwners", ParseJson(R"({"2":2,"25":11,"24":11,"1":1,"26":11})"));
  TGame::Put(G.Data.get(), "queueIndex", 0);
  G.AdvanceAI(8);
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 3);
  G.AdvanceAI(0);
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 3);
}

TEST_F(Computer, EntriesNobodyCanPlayAreClosed) {
  // An entry that changed hands is skipped.
  SetAt(G, "/queueOwners/2", TJson(5));
  G.AdvanceAI(1);
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 2);

  // An exile leader who no longer belongs to his fellowship: the entry closes, nobody's province is touched.
  SetUp();
  TGame::Put(G.F(3), "active", true);
  Place(G, 3, 2, 4, "exile");
  SetAt(G, "/exileParties", ParseJson(R"([{"leader":3,"province":2,"food":0,"gold":0}])"));
  SetAt(G, "/queue", ParseJson("[-3, 1]"));
  SetAt(G, "/queueOwners", ParseJson(R"({"-3":3,"1":1})"));
  TGame::Put(G.Data.get(), "queueIndex", 0);
  const std::string Province = WriteJson(*G.P(2));
  G.AdvanceAI(1);
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 1);
  EXPECT_EQ(WriteJson(*G.P(2)), Province);

  // A fellowship that has ended: its entry closes.
  SetUp();
  TGame::Put(G.F(2), "active", false);
  G.AIOrder();
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 2);
}

TEST_F(Computer, AnExilePartySettlesOrTravelsToFreeLand) {
  TGame::Put(G.F(3), "active", true);
  Place(G, 3, 2, 3, "exile");  // in faction 2's province, whose support forbids a rising
  SetAt(G, "/exileParties", ParseJson(R"([{"leader":3,"province":2,"food":0,"gold":0}])"));
  SetAt(G, "/queue", ParseJson("[-3, 1]"));
  SetAt(G, "/queueOwners", ParseJson(R"({"-3":3,"1":1})"));
  TGame::Put(G.Data.get(), "queueIndex", 0);
  EXPECT_EQ(Played(), "The party arrives in Province 3.");
  EXPECT_EQ(N(G.C(3), "province"), 3);
}

TEST(ObservedCampaign, IsReproducibleAndSavesChangeNothing) {
  const std::string World = std::string(KV_ASSETS) + "/data/world.json";
  const std::string File = FreshFolder("observed") + "/month.json";
  auto Observe = [&](bool SaveEveryMonth) {
    TGame G;
    G.NewGame(World, 3, 0, 2, {}, 4711);
    for (int Months = 0; Months < 24 && !G.Finished();) {
      const int64_t Month = N(G.Data.get(), "month");
      if (G.InBattle()) {
        TGame::Put(G.Battle(), "deploy", false);
        TGame::Put(G.Battle(), "defensePrompt", false);
        G.BattleAI();
      } else {
        G.AdvanceAI(8);
      }
      if (N(G.Data.get(), "month") == Month) continue;
      ++Months;
      if (SaveEveryMonth) {
        G.Save(File);
        G.Load(File);
      }
    }
    return G.StateHash();
  };
  const std::string Once = Observe(false);
  EXPECT_EQ(Observe(false), Once);
  EXPECT_EQ(Observe(true), Once);
}
