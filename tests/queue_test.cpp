#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

class Queue : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override { NewFixtureCampaign(G); }

  TJson* Doc() { return G.Data.get(); }
  std::vector<int64_t> Entries() {
    std::vector<int64_t> Out;
    TJson* Q = TGame::List(Doc(), "queue");
    for (size_t I = 0; I < TGame::Len(Q); ++I) Out.push_back(TGame::NAt(Q, I));
    return Out;
  }
  // Faction Fid becomes an active fellowship on the road, its leader in province Pid.
  void Exile(int Fid, int Pid) {
    TGame::Put(G.F(Fid), "active", true);
    Place(G, Fid, Pid, Fid, "exile");
  }
};

}  // namespace

TEST_F(Queue, MakeQueueShufflesEveryTurnOnce) {
  Exile(4, 17);
  Exile(7, 30);
  Own(G, 9, 2, 2);  // a second province of faction 2
  Place(G, 2, 9, 2, "leader");
  Own(G, 40, 5, 40);  // owned by an inactive faction: no turn
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  G.MakeQueue();
  EXPECT_EQ(Draws, (std::vector<int64_t>{6, 5, 4, 3, 2}));  // n entries: n - 1 draws, the first with limit n
  std::vector<int64_t> Sorted = Entries();
  std::sort(Sorted.begin(), Sorted.end());
  EXPECT_EQ(Sorted, (std::vector<int64_t>{-7, -4, 1, 2, 9, 25}));

  // The owners are recorded in queue order, keyed by the entry as decimal text.
  const std::map<int64_t, int64_t> Owner = {{1, 1}, {2, 2}, {9, 2}, {25, 11}, {-4, 4}, {-7, 7}};
  TJson* Owners = TGame::Obj(Doc(), "queueOwners");
  ASSERT_EQ(Owners->Size(), 6u);
  for (size_t I = 0; I < 6; ++I) {
    int64_t Entry = Entries()[I];
    EXPECT_EQ(Owners->KeyAt(I), std::to_string(Entry));
    EXPECT_EQ(TGame::N(Owners, TKey(Owners->KeyAt(I))), Owner.at(Entry)) << Entry;
  }
  EXPECT_EQ(Doc()->KeyAt(Doc()->Size() - 2), "queueOwners");
  EXPECT_EQ(Doc()->KeyAt(Doc()->Size() - 1), "queueIndex");
}

TEST_F(Queue, SmallQueuesDrawNothing) {
  std::vector<int64_t> Draws;
  G.RandTrace = &Draws;
  for (int Fid : {2, 11}) TGame::Put(G.F(Fid), "active", false);
  G.MakeQueue();
  EXPECT_EQ(Entries(), std::vector<int64_t>{1});
  TGame::Put(G.F(1), "active", false);
  G.MakeQueue();
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(Draws.empty());
  EXPECT_EQ(G.Current(), 0);

  // With no turns at all, the next close runs month-end at once.
  G.FinishOrder();
  EXPECT_EQ(TGame::N(Doc(), "month"), 4);
  EXPECT_EQ(TGame::N(Doc(), "queueIndex"), 0);
}

TEST_F(Queue, FinishOrderClosesTheTurnAndEndsTheMonth) {
  TGame::Put(Doc(), "town", true);
  G.FinishOrder();
  EXPECT_FALSE(TGame::B(Doc(), "town"));
  EXPECT_EQ(G.Current(), 2);
  G.FinishOrder();
  EXPECT_EQ(G.Current(), 25);
  EXPECT_EQ(TGame::N(Doc(), "month"), 3);
  G.FinishOrder();
  EXPECT_EQ(TGame::N(Doc(), "month"), 4);
  EXPECT_EQ(TGame::N(Doc(), "queueIndex"), 0);
  EXPECT_EQ(TGame::Len(TGame::List(Doc(), "queue")), 3u);
  EXPECT_EQ(G.Log.back(), "Month 4, River Calendar 312");

  // A month-end that ends the campaign draws no new queue.
  TGame::Put(Doc(), "month", 12);
  TGame::Put(Doc(), "year", 326);
  for (int I = 0; I < 3; ++I) G.FinishOrder();
  EXPECT_TRUE(G.Finished());
  EXPECT_EQ(TGame::N(Doc(), "queueIndex"), 3);
  EXPECT_EQ(G.Current(), 0);
  EXPECT_EQ(G.Validate(), "");
}

TEST_F(Queue, AppointChoosesTheGovernor) {
  struct TCase {
    const char* Name;
    int Province;
    std::function<void(TGame&)> Setup;
    int64_t Governor;
  };
  auto Loyal = [](TGame& G, int Cid, int Loyalty, int Wisdom) {
    Place(G, Cid, 2, 2, "follower");
    TGame::Put(G.C(Cid), "loyalty", Loyalty);
    TGame::Put(G.C(Cid), "wisdom", Wisdom);
  };
  auto SwornAged = [](TGame& G, int Cid, int Pid, int Fid, int Age) {
    Place(G, Cid, Pid, Fid, "sworn companion");
    TGame::Put(G.C(Cid), "age", Age);
  };
  auto Away = [](TGame& G) { Place(G, 2, 3, 2, "leader"); };
  const TCase Cases[] = {
      {"the leader, even after a sworn companion", 25, [&](TGame& G) { SwornAged(G, 5, 25, 11, 80); }, 11},
      {"the oldest sworn companion", 2,
       [&](TGame& G) { Away(G); SwornAged(G, 30, 2, 2, 40); SwornAged(G, 31, 2, 2, 50); Loyal(G, 29, 99, 99); }, 31},
      {"equal age keeps the lower id", 2,
       [&](TGame& G) { Away(G); SwornAged(G, 31, 2, 2, 40); SwornAged(G, 30, 2, 2, 40); }, 30},
      {"a sworn companion before a loyal follower", 2,
       [&](TGame& G) { Away(G); Loyal(G, 30, 99, 99); SwornAged(G, 31, 2, 2, 20); Loyal(G, 32, 100, 99); }, 31},
      {"the most loyal follower", 2,
       [&](TGame& G) { Away(G); Loyal(G, 30, 60, 90); Loyal(G, 31, 70, 10); Loyal(G, 32, 65, 99); }, 31},
      {"equal loyalty: the wiser", 2, [&](TGame& G) { Away(G); Loyal(G, 30, 60, 50); Loyal(G, 31, 60, 51); }, 31},
      {"equal in all: the lower id", 2, [&](TGame& G) { Away(G); Loyal(G, 30, 60, 50); Loyal(G, 31, 60, 50); }, 30},
      {"exiles cannot govern", 2, [&](TGame& G) { Away(G); Place(G, 30, 2, 2, "exile"); }, 0},
      {"a captive cannot govern", 2,
       [&](TGame& G) { Away(G); Loyal(G, 30, 60, 50); TGame::Put(G.C(30), "captured", true); }, 0},
      // Province 8 holds the free residents 8, 57, 106, 155 and 204.
      {"unclaimed: the free residents", 8,
       [&](TGame& G) {
         for (int Cid : {8, 57, 106, 155, 204}) TGame::Put(G.C(Cid), "loyalty", Cid == 106 ? 90 : 50);
       }, 106},
  };
  for (const TCase& C : Cases) {
    TGame G;
    NewFixtureCampaign(G);
    C.Setup(G);
    const int64_t Owner = TGame::N(G.P(C.Province), "owner");
    G.Appoint(C.Province);
    EXPECT_EQ(TGame::N(G.P(C.Province), "governor"), C.Governor) << C.Name;
    EXPECT_EQ(TGame::N(G.P(C.Province), "owner"), Owner) << C.Name;  // only the upkeep gives a province up
  }
}

TEST_F(Queue, NormalizeFactionsFollowsTheLeaders) {
  // Leader 2 stands in an unclaimed province: the fellowship is on the road and
  // its home, now without anyone of its own, is given up.
  Place(G, 2, 3, 2, "leader");
  TGame::Put(G.F(2), "writ", true);
  // Leader 11 has lost the faction mark; it is restored, and home stays 25.
  TGame::Put(G.C(11), "faction", 0);
  // Faction 4 travels, its party still at the old place.
  Exile(4, 17);
  SetAt(G, "/exileParties", ParseJson(R"([{"leader":4,"province":16,"food":9,"gold":3}])"));
  // Faction 5's leader is captive: the fellowship ends.
  Exile(5, 20);
  TGame::Put(G.C(5), "captured", true);
  TGame::Put(G.F(5), "writ", true);

  G.NormalizeFactions();

  EXPECT_EQ(TGame::N(G.F(2), "home"), 0);
  EXPECT_FALSE(TGame::B(G.F(2), "writ"));
  EXPECT_EQ(TGame::S(G.C(2), "role"), "exile");
  EXPECT_EQ(WriteJson(*G.Party(2)), R"({ "leader" : 2, "food" : 0, "gold" : 0, "province" : 3 })");
  EXPECT_EQ(TGame::N(G.P(2), "owner"), 0);
  EXPECT_EQ(TGame::N(G.P(2), "governor"), 0);

  EXPECT_EQ(TGame::N(G.C(11), "faction"), 11);
  EXPECT_EQ(TGame::N(G.F(11), "home"), 25);
  EXPECT_EQ(TGame::N(G.P(25), "governor"), 11);

  EXPECT_EQ(TGame::N(G.Party(4), "province"), 17);
  EXPECT_EQ(TGame::N(G.Party(4), "food"), 9);

  EXPECT_FALSE(TGame::B(G.F(5), "active"));
  EXPECT_FALSE(TGame::B(G.F(5), "writ"));
  EXPECT_EQ(G.Party(5), nullptr);
  EXPECT_EQ(G.Validate(), "");

  // Back in a province of its own, a leader who is not an exile makes it home.
  Own(G, 3, 2, 2);
  Place(G, 2, 3, 2, "leader");
  G.NormalizeFactions();
  EXPECT_EQ(TGame::N(G.F(2), "home"), 3);
}

TEST_F(Queue, CheckEndWhenEveryHumanLeaderIsTaken) {
  struct {
    const char* Name;
    std::vector<int> Humans, Captured, Inactive;
    bool Ends;
  } Cases[] = {
      {"one of two leaders is free", {1, 2}, {1}, {}, false},
      {"both are captive", {1, 2}, {1, 2}, {}, true},
      {"the other fellowship has ended", {1, 2}, {1}, {2}, true},
      {"an observed campaign", {}, {1, 2}, {}, false},
  };
  for (const auto& C : Cases) {
    TGame G;
    NewFixtureCampaign(G);
    TGame::Put(G.F(1), "human", false);
    for (int Fid : C.Humans) TGame::Put(G.F(Fid), "human", true);
    for (int Cid : C.Captured) TGame::Put(G.C(Cid), "captured", true);
    for (int Fid : C.Inactive) TGame::Put(G.F(Fid), "active", false);
    G.CheckEnd();
    EXPECT_EQ(G.Finished(), C.Ends) << C.Name;
    if (!C.Ends) continue;
    const std::string Result = "Your last fellowship leader has fallen into captivity. The chronicle ends.";
    EXPECT_EQ(TGame::S(G.Data.get(), "result"), Result);
    EXPECT_EQ(G.Log.back(), Result);
  }
}
