// Carrying out orders on the fixture campaign, whose turn is province 1 of
// faction 1 (leader 1, governor 1). Every case: its effects, its sentence in
// the log, its draws, and whether the turn stays open.
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

int64_t N(const TJson* O, const TKey& K) { return TGame::N(O, K); }

// The first generator state whose next draw of Limit satisfies Ok.
int64_t SeedWhere(const std::function<bool(int64_t)>& Ok, int64_t Limit = 100) {
  for (int64_t Seed = 1;; ++Seed) {
    TGame R;
    R.Data = std::make_unique<TJson>(TJson::Object());
    TGame::Put(R.Data.get(), "rng", Seed);
    if (Ok(R.Rand(Limit))) return Seed;
  }
}

void Seed(TGame& G, int64_t S) { TGame::Put(G.Data.get(), "rng", S); }

void Temper(TGame& G, int Cid, int V) {
  for (const TKey& K : {TKey("integrity"), TKey("mercy"), TKey("courage")}) TGame::Put(G.C(Cid), K, V);
}

void Abilities(TGame& G, int Cid, int Strength, int Dexterity, int Wisdom) {
  TGame::Put(G.C(Cid), "strength", Strength);
  TGame::Put(G.C(Cid), "dexterity", Dexterity);
  TGame::Put(G.C(Cid), "wisdom", Wisdom);
}

// Faction 3 travels: its leader and the party stand in unclaimed province 4, and its turn is current.
void OnTheRoad(TGame& G) {
  TGame::Put(G.F(3), "active", true);
  Place(G, 3, 4, 3, "exile");
  Place(G, 53, 4, 3, "exile");
  SetAt(G, "/exileParties", ParseJson(R"([{"leader":3,"province":4,"food":10,"gold":20}])"));
  SetAt(G, "/queue", ParseJson("[-3, 1]"));
  SetAt(G, "/queueOwners", ParseJson(R"({"-3":3,"1":1})"));
}

struct TCase {
  const char* Name;
  std::function<void(TGame&)> Setup;
  TCommand Cmd;
  const char* Result;  // nullptr: the case's own check reads the sentence
  bool Free;
  std::function<void(TGame&)> Check;
  std::vector<int64_t> Draws = {};
};

class Execute : public ::testing::Test {
 protected:
  void Run(const TCase& C) {
    SCOPED_TRACE(C.Name);
    TGame G;
    NewFixtureCampaign(G);
    TGame::Put(G.C(1), "body", 60);
    TGame::Put(G.C(1), "bodyMax", 100);
    C.Setup(G);
    std::vector<int64_t> Draws;
    G.RandTrace = &Draws;
    const int64_t Index = N(G.Data.get(), "queueIndex");
    const std::string Result = G.Execute(C.Cmd);
    EXPECT_EQ(Draws, C.Draws);
    if (C.Result) {
      EXPECT_EQ(Result, C.Result);
      EXPECT_EQ(G.Log.back(), C.Result);
    }
    EXPECT_EQ(N(G.Data.get(), "queueIndex"), C.Free ? Index : Index + 1);
    C.Check(G);
  }
};

}  // namespace

TEST_F(Execute, DevelopmentAndSupplies) {
  auto Nothing = [](TGame&) {};
  const TCase Cases[] = {
      {"rest", Nothing, Command(ORest, 1, 0, 0, 0), "Rest completed.", false,
       [](TGame& G) { EXPECT_EQ(N(G.C(1), "body"), 70); }},
      {"rest ends a town visit",
       [](TGame& G) {
         TGame::Put(G.Data.get(), "town", true);
         TGame::Put(G.C(1), "body", 95);
       },
       Command(ORest, 1, 0, 0, 0), "Returned to the lair.", false,
       [](TGame& G) {
         EXPECT_FALSE(TGame::B(G.Data.get(), "town"));
         EXPECT_EQ(N(G.C(1), "body"), 95);
       }},
      {"cultivate",
       [](TGame& G) {
         Abilities(G, 1, 47, 0, 0);
         TGame::Put(G.C(1), "mercy", 75);
         TGame::Put(G.P(1), "land", 98);
       },
       Command(OCultivate, 1, 0, 0, 0), "land improved by 7.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "land"), 100);
         EXPECT_EQ(N(G.P(1), "support"), 31 + 4);
         EXPECT_EQ(N(G.C(1), "body"), 45);
       }},
      {"flood control", [](TGame& G) { Abilities(G, 1, 5, 0, 0); }, Command(OFlood, 1, 0, 0, 0),
       "flood improved by 3.", false, [](TGame& G) { EXPECT_EQ(N(G.P(1), "flood"), 21 + 3); }},
      {"construction", [](TGame& G) { Abilities(G, 1, 100, 0, 0); }, Command(OBuild, 1, 0, 0, 0),
       "wealth improved by 13.", false, [](TGame& G) { EXPECT_EQ(N(G.P(1), "wealth"), 16 + 13); }},
      {"hunt for food",
       [](TGame& G) {
         Abilities(G, 1, 0, 60, 0);
         TGame::Put(G.C(1), "courage", 20);
       },
       Command(OHunt, 1, 0, 0, 0), "The hunt brings 40 food.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "food"), 229 + 40);
         EXPECT_EQ(N(G.C(1), "body"), 40);
       }},
      {"hunt for fur", [](TGame& G) { Abilities(G, 1, 0, 60, 0); }, Command(OHunt, 1, 0, 0, 1), "The hunt brings 11 fur.",
       false, [](TGame& G) { EXPECT_EQ(N(G.P(1), "fur"), 11 + 11); }},
      {"solicit gold",
       [](TGame& G) {
         Abilities(G, 1, 0, 50, 50);
         TGame::Put(G.C(1), "mercy", 50);
       },
       Command(OSolicit, 1, 0, 0, 0), "Solicit completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "gold"), 113 + 50);
         EXPECT_EQ(N(G.P(1), "support"), 26);
       }},
      {"solicit metal",
       [](TGame& G) {
         Abilities(G, 1, 0, 50, 50);
         TGame::Put(G.C(1), "mercy", 50);
       },
       Command(OSolicit, 1, 0, 0, 1), "Solicit completed.", false,
       [](TGame& G) { EXPECT_EQ(N(G.P(1), "metal"), 7 + 25); }},
      {"train troops",
       [](TGame& G) {
         Abilities(G, 1, 40, 50, 0);
         TGame::Put(G.C(1), "integrity", 30);
         TGame::Put(G.C(1), "soldiers", 20);
       },
       Command(OTrain, 1, 0, 0, 0), "Train troops completed.", false,
       [](TGame& G) { EXPECT_EQ(N(G.P(1), "skill"), 3 + 6); }},
      {"hire dilutes training",
       [](TGame& G) {
         TGame::Put(G.C(1), "soldiers", 30);
         TGame::Put(G.P(1), "skill", 60);
         TGame::Put(G.P(1), "arms", 40);
         TGame::Put(G.P(1), "rate", 41);
       },
       Command(OHire, 1, 0, 10, 0), "Hire soldiers completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.C(1), "soldiers"), 40);
         EXPECT_EQ(N(G.P(1), "skill"), 45);
         EXPECT_EQ(N(G.P(1), "arms"), 30);
         EXPECT_EQ(N(G.P(1), "gold"), 113 - 50);
       }},
      {"hire into no garrison",
       [](TGame& G) {
         TGame::Put(G.C(1), "soldiers", 0);
         TGame::Put(G.P(1), "skill", 60);
       },
       Command(OHire, 1, 0, 5, 0), "Hire soldiers completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "skill"), 0);
         EXPECT_EQ(N(G.P(1), "arms"), 0);
       }},
      {"give citizens", [](TGame& G) { TGame::Put(G.C(1), "mercy", 30); }, Command(OGive, 1, 0, 200, 0),
       "Give citizens completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "food"), 29);
         EXPECT_EQ(N(G.P(1), "support"), 31 + 8);
         EXPECT_EQ(N(G.F(1), "popularity"), 4);
       }},
      {"make weapons",
       [](TGame& G) {
         Abilities(G, 1, 0, 80, 60);
         TGame::Put(G.C(1), "soldiers", 5);
         TGame::Put(G.P(1), "metal", 50);
       },
       Command(OWeapons, 1, 0, 30, 0), "Make weapons completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "metal"), 20);
         EXPECT_EQ(N(G.P(1), "arms"), 5 + 21);
       }},
      {"reconnaissance", Nothing, Command(OScout, 1, 2, 0, 0),
       "Scouts report Province 2: 6 soldiers, 258 Food.", false, [](TGame& G) { EXPECT_EQ(N(G.C(1), "body"), 50); }},
      {"retire", Nothing, Command(ORetire, 1, 0, 0, 0), "Your fellowship passes to AI control.", false,
       [](TGame& G) { EXPECT_FALSE(G.Human(1)); }},
  };
  for (const TCase& C : Cases) Run(C);
}

TEST_F(Execute, PeopleAndGovernment) {
  const TCase Cases[] = {
      {"reward follower",
       [](TGame& G) {
         Place(G, 50, 1, 1, "follower");
         TGame::Put(G.C(50), "loyalty", 90);
         Temper(G, 1, 50);
         Temper(G, 50, 50);
       },
       Command(OReward, 1, 50, 50, 0), "Reward follower completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.C(50), "loyalty"), 100);
         EXPECT_EQ(N(G.P(1), "gold"), 63);
       }},
      {"feast",
       [](TGame& G) {
         Place(G, 50, 1, 1, "follower");
         TGame::Put(G.C(50), "loyalty", 50);
         TGame::Put(G.C(1), "integrity", 40);
         TGame::Put(G.P(1), "rate", 50);
       },
       Command(OFeast, 1, 0, 0, 0), "Feast completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "gold"), 113 - 10);
         EXPECT_EQ(N(G.C(50), "loyalty"), 56);
         EXPECT_EQ(N(G.C(1), "body"), 70);
       }},
      {"dismiss",
       [](TGame& G) {
         Place(G, 50, 1, 1, "follower");
         TGame::Put(G.C(50), "ship", true);
         TGame::Put(G.F(1), "popularity", 3);
       },
       Command(ODismiss, 1, 50, 0, 0), "Dismiss completed.", false,
       [](TGame& G) {
         EXPECT_EQ(TGame::S(G.C(50), "role"), "free");
         EXPECT_EQ(N(G.C(50), "faction"), 0);
         EXPECT_TRUE(TGame::B(G.C(50), "ship"));
         EXPECT_EQ(N(G.F(1), "popularity"), 0);
       }},
      {"make ship",
       [](TGame& G) {
         Abilities(G, 1, 0, 70, 0);
         TGame::Put(G.C(1), "navigator", true);
       },
       Command(OShip, 1, 0, 0, 0), "Make ship completed.", false,
       [](TGame& G) {
         EXPECT_TRUE(TGame::B(G.C(1), "ship"));
         EXPECT_EQ(N(G.P(1), "gold"), 93);
       }},
      {"redistribute troops",
       [](TGame& G) {
         Place(G, 50, 1, 1, "follower");
         TGame::Put(G.C(1), "soldiers", 30);
         TGame::Put(G.C(50), "soldiers", 10);
       },
       Command(ORedistribute, 1, 50, 12, 0), "Redistribute troops completed.", true,
       [](TGame& G) {
         EXPECT_EQ(N(G.C(1), "soldiers"), 18);
         EXPECT_EQ(N(G.C(50), "soldiers"), 22);
       }},
      {"assign ship",
       [](TGame& G) {
         Place(G, 50, 1, 1, "follower");
         TGame::Put(G.C(1), "ship", true);
       },
       Command(OAssignShip, 1, 50, 0, 0), "Assign ship completed.", true,
       [](TGame& G) {
         EXPECT_FALSE(TGame::B(G.C(1), "ship"));
         EXPECT_TRUE(TGame::B(G.C(50), "ship"));
       }},
      {"appoint governor",
       [](TGame& G) {
         Place(G, 1, 2, 1, "leader");  // the leader is away
         Place(G, 50, 1, 1, "follower");
         Place(G, 51, 1, 1, "follower");
         TGame::Put(G.P(1), "governor", 50);
       },
       Command(OGovernor, 50, 51, 0, 0), "Appoint governor completed.", true,
       [](TGame& G) { EXPECT_EQ(N(G.P(1), "governor"), 51); }},
      {"policy", [](TGame&) {}, Command(OPolicy, 1, 0, 2, 0), "Governor policy completed.", true,
       [](TGame& G) { EXPECT_EQ(TGame::S(G.P(1), "policy"), "Expand"); }},
      {"move people",
       [](TGame& G) {
         Place(G, 50, 1, 1, "follower");
         TGame::Put(G.C(50), "soldiers", 30);
         TGame::Put(G.C(1), "soldiers", 0);
         TGame::Put(G.P(1), "skill", 50);
         TGame::Put(G.P(1), "arms", 20);
         TGame::Put(G.P(8), "skill", 10);
         for (int Cid = 8; Cid <= 255; Cid += 49) TGame::Put(G.C(Cid), "soldiers", 0);  // no free fighters there
       },
       Command(OMove, 50, 8, 0, 0), "Move people completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.C(50), "province"), 8);
         EXPECT_EQ(N(G.P(8), "owner"), 1);
         EXPECT_EQ(N(G.P(8), "governor"), 50);
         // Unclaimed 8 had no garrison: the newcomers' training and arms come with them.
         EXPECT_EQ(N(G.P(8), "skill"), 50);
         EXPECT_EQ(N(G.P(8), "arms"), 20);
         EXPECT_EQ(N(G.P(1), "owner"), 1);
       }},
      {"the leader moves last and takes the home along",
       [](TGame& G) { Place(G, 1, 1, 1, "leader"); }, Command(OMove, 1, 8, 0, 0), "Move people completed.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.F(1), "home"), 8);
         EXPECT_EQ(N(G.P(1), "owner"), 0);
         EXPECT_EQ(N(G.P(1), "governor"), 0);
         EXPECT_EQ(G.Validate(), "");
       }},
      {"town travel", [](TGame&) {}, Command(OTown, 1, 0, 0, 0), "The town welcomes you. Purchases remain in this visit.",
       true,
       [](TGame& G) {
         EXPECT_TRUE(TGame::B(G.Data.get(), "town"));
         EXPECT_EQ(N(G.Data.get(), "townActor"), 1);
         EXPECT_EQ(WriteJson(*TGame::List(G.Data.get(), "townAttempts")), "[]");
         EXPECT_EQ(N(G.C(1), "body"), 50);
       }},
  };
  for (const TCase& C : Cases) Run(C);
}

TEST_F(Execute, TheMarketplace) {
  auto InTown = [](TGame& G) {
    TGame::Put(G.Data.get(), "town", true);
    TGame::Put(G.P(1), "rate", 33);
    TGame::Put(G.C(1), "soldiers", 10);
    TGame::Put(G.P(1), "smithy", true);
    TGame::Put(G.P(1), "shipyard", true);
  };
  const TCase Cases[] = {
      {"buy food", InTown, Command(OBuyFood, 1, 0, 3, 0), "Bought 3 Food for 4 Gold.", true,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "food"), 232);
         EXPECT_EQ(N(G.P(1), "gold"), 109);
       }},
      {"sell food", InTown, Command(OSellFood, 1, 0, 3, 0), "Sold 3 Food for 1 Gold.", true,
       [](TGame& G) { EXPECT_EQ(N(G.P(1), "gold"), 114); }},
      {"buy fur", InTown, Command(OBuyFur, 1, 0, 2, 0), "Bought 2 Fur for 14 Gold.", true,
       [](TGame& G) { EXPECT_EQ(N(G.P(1), "fur"), 13); }},
      {"sell fur", InTown, Command(OSellFur, 1, 0, 2, 0), "Sold 2 Fur for 8 Gold.", true,
       [](TGame& G) { EXPECT_EQ(N(G.P(1), "fur"), 9); }},
      {"buy arms", InTown, Command(OBuyArms, 1, 0, 4, 0), "Buy arms completed.", true,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "arms"), 9);
         EXPECT_EQ(N(G.P(1), "gold"), 113 - 28);
       }},
      {"buy ship", InTown, Command(OBuyShip, 1, 0, 1, 0), "Buy ship completed.", true,
       [](TGame& G) {
         EXPECT_TRUE(TGame::B(G.C(1), "ship"));
         EXPECT_EQ(N(G.P(1), "gold"), 113 - 17);
       }},
      {"divination",
       [&](TGame& G) {
         InTown(G);
         Temper(G, 1, 50);
         Temper(G, 50, 50);
         TGame::Put(G.C(1), "wisdom", 40);
       },
       Command(ODivination, 1, 50, 0, 0), "Recruitment chance 56%. Wisdom 40, compatibility 100, popularity 0.", true,
       [](TGame& G) { EXPECT_EQ(N(G.P(1), "gold"), 112); }},
      {"rumors",
       [&](TGame& G) {
         InTown(G);
         Temper(G, 1, 0);
         for (int Cid = 12; Cid <= 255; ++Cid) Temper(G, Cid, 100);
         Temper(G, 30, 10);
         Temper(G, 40, 30);
       },
       Command(ORumors, 1, 0, 0, 0), "Leads: Character 30 [30] Character 40 [40] ", true,
       [](TGame& G) { EXPECT_EQ(N(G.P(1), "gold"), 103); }},
  };
  for (const TCase& C : Cases) Run(C);
}

TEST_F(Execute, GamblingOrdersDrawOnceBeforeTheirChance) {
  // Recruit of free resident 50 by leader 1: chance 0 + 10 + 50 + 10 - 12 = 58.
  auto Recruitable = [](TGame& G) {
    Temper(G, 1, 50);
    Temper(G, 50, 50);
    TGame::Put(G.C(50), "integrity", 50);
    TGame::Put(G.C(1), "wisdom", 50);
  };
  // Province 8 is ours too; a convoy from an actor of Wisdom 0 runs a 30 in 100 risk.
  auto Granary = [](TGame& G) {
    Place(G, 60, 8, 1, "follower");
    Own(G, 8, 1, 60);
    TGame::Put(G.C(1), "wisdom", 0);
  };
  const int64_t Yes = SeedWhere([](int64_t R) { return R < 5; }), No = SeedWhere([](int64_t R) { return R >= 95; });
  const TCase Cases[] = {
      {"recruit joins", [&](TGame& G) { Recruitable(G); Seed(G, Yes); }, Command(ORecruit, 1, 50, 0, 0),
       "Character 50 joins your fellowship.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.C(50), "faction"), 1);
         EXPECT_EQ(TGame::S(G.C(50), "role"), "follower");
         EXPECT_EQ(N(G.C(50), "loyalty"), 83);
       },
       {100}},
      {"recruit declines", [&](TGame& G) { Recruitable(G); Seed(G, No); TGame::Put(G.F(1), "popularity", 5); },
       Command(ORecruit, 1, 50, 0, 0), "Character 50 declines your invitation.", false,
       [](TGame& G) { EXPECT_EQ(N(G.F(1), "popularity"), 4); }, {100}},
      {"a recruit in town leaves the turn open",
       [&](TGame& G) {
         Recruitable(G);
         Seed(G, No);
         TGame::Put(G.Data.get(), "town", true);
       },
       Command(ORecruit, 1, 50, 0, 0), "Character 50 declines your invitation.", true,
       [](TGame& G) { EXPECT_EQ(WriteJson(*TGame::List(G.Data.get(), "townAttempts")), "[50]"); }, {100}},
      {"oath sworn",
       [&](TGame& G) {
         Place(G, 50, 1, 1, "follower");
         Temper(G, 1, 50);
         Temper(G, 50, 50);
         TGame::Put(G.C(50), "loyalty", 95);
         Seed(G, Yes);
       },
       Command(OOath, 1, 50, 0, 0), "Before river and sky, Character 50 swears the oath.", false,
       [](TGame& G) {
         EXPECT_EQ(TGame::S(G.C(50), "role"), "sworn companion");
         EXPECT_EQ(N(G.C(50), "loyalty"), 100);
       },
       {100}},
      {"oath declined",
       [&](TGame& G) {
         Place(G, 50, 1, 1, "follower");
         Temper(G, 1, 50);
         Temper(G, 50, 50);
         TGame::Put(G.C(50), "loyalty", 95);
         Seed(G, No);
       },
       Command(OOath, 1, 50, 0, 0), "The oath is declined.", false,
       [](TGame& G) { EXPECT_EQ(TGame::S(G.C(50), "role"), "follower"); }, {100}},
      {"a convoy loses a tenth",
       [&](TGame& G) {
         Granary(G);
         Seed(G, Yes);
       },
       Command(OConvoy, 1, 8, 95, 0), "The convoy lost a tenth of its food.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(8), "food"), 432 + 85);
         EXPECT_EQ(N(G.P(1), "food"), 229 - 95);
       },
       {100}},
      {"a convoy arrives whole",
       [&](TGame& G) {
         Granary(G);
         Seed(G, No);
       },
       Command(OConvoy, 1, 8, 95, 0), "Send provisions completed.", false,
       [](TGame& G) { EXPECT_EQ(N(G.P(8), "food"), 432 + 95); }, {100}},
      {"the beast is driven away",
       [&](TGame& G) {
         TGame::Put(G.P(1), "beast", 1);
         Seed(G, Yes);
       },
       Command(OBeasts, 1, 0, 0, 0), nullptr, false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "beast"), 0);
         EXPECT_GE(N(G.F(1), "popularity"), 1);
         EXPECT_LE(N(G.F(1), "popularity"), 5);
         EXPECT_EQ(G.Log.back(), "The wolf is driven away. Residents are safe; Popularity +" +
                                     std::to_string(N(G.F(1), "popularity")) + ".");
       },
       {100, 5}},
      {"the beast escapes",
       [&](TGame& G) {
         TGame::Put(G.P(1), "beast", 4);
         TGame::Put(G.C(1), "body", 25);
         TGame::Put(G.C(1), "soldiers", 9);
         Seed(G, No);
       },
       Command(OBeasts, 1, 0, 0, 0), "The bear escapes. The expedition returns wounded; residents remain at risk.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.C(1), "body"), 5);
         EXPECT_EQ(N(G.C(1), "soldiers"), 9);
         EXPECT_EQ(N(G.P(1), "beast"), 4);
       },
       {100}},
  };
  for (const TCase& C : Cases) Run(C);
}

TEST_F(Execute, TreatiesAndInvitations) {
  // Faction 2, settled in province 2, is the rival; faction 1's popularity 0, actor wisdom 50: a gift of 150.
  auto Rival = [](TGame& G) {
    TGame::Put(G.C(1), "wisdom", 50);
    TGame::Put(G.P(1), "gold", 400);
    Temper(G, 1, 50);
    Temper(G, 2, 50);
    SetAt(G, "/treaties", ParseJson(R"([{"a":2,"b":1,"years":1},{"a":3,"b":4,"years":2}])"));
  };
  const int64_t Yes = SeedWhere([](int64_t R) { return R < 5; }), No = SeedWhere([](int64_t R) { return R >= 95; });
  const TCase Cases[] = {
      {"treaty signed", [&](TGame& G) { Rival(G); Seed(G, Yes); }, Command(OTreaty, 1, 2, 0, 0),
       "A three-year treaty is signed.", false,
       [](TGame& G) {
         EXPECT_EQ(WriteJson(*TGame::List(G.Data.get(), "treaties")),
                   R"([{ "a" : 3, "b" : 4, "years" : 2 }, { "a" : 1, "b" : 2, "years" : 3 }])");
         EXPECT_EQ(N(G.P(1), "gold"), 250);
         EXPECT_EQ(N(G.C(1), "body"), 35);
       },
       {100}},
      {"treaty refused", [&](TGame& G) { Rival(G); Seed(G, No); }, Command(OTreaty, 1, 2, 0, 0),
       "The treaty is refused. The gift is spent.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.P(1), "gold"), 250);
         EXPECT_EQ(TGame::Len(TGame::List(G.Data.get(), "treaties")), 2u);
       },
       {100}},
      {"fellowships unite",
       [&](TGame& G) {
         Rival(G);
         Seed(G, Yes);
         TGame::Put(G.F(1), "popularity", 300);
         Place(G, 60, 2, 2, "follower");
         Place(G, 61, 9, 2, "exile");  // away on the road: joins us here
         Place(G, 62, 2, 2, "follower");
         TGame::Put(G.C(62), "alive", false);  // the dead stay dead
       },
       Command(OInvite, 1, 2, 0, 0), "The fellowships unite.", false,
       [](TGame& G) {
         for (int Cid : {2, 60, 61}) {
           EXPECT_EQ(N(G.C(Cid), "faction"), 1) << Cid;
           EXPECT_EQ(TGame::S(G.C(Cid), "role"), "follower") << Cid;
         }
         EXPECT_EQ(N(G.C(61), "province"), 1);
         EXPECT_EQ(N(G.C(62), "faction"), 2);
         EXPECT_EQ(N(G.P(2), "owner"), 1);
         EXPECT_FALSE(TGame::B(G.F(2), "active"));
         // A gift of max(20, 200 - 50 - 30) = 120 and 10 for each of the three.
         EXPECT_EQ(N(G.P(1), "gold"), 400 - 120 - 30);
       },
       {100}},
  };
  for (const TCase& C : Cases) Run(C);
}

TEST_F(Execute, OnTheRoadAndSettling) {
  const TCase Cases[] = {
      {"travel", OnTheRoad, Command(OTravel, 3, 5, 0, 0), "The party arrives in Province 5.", false,
       [](TGame& G) {
         EXPECT_EQ(N(G.C(3), "province"), 5);
         EXPECT_EQ(N(G.C(53), "province"), 5);
         EXPECT_EQ(N(G.Party(3), "province"), 5);
         EXPECT_EQ(N(G.C(3), "body"), 63 - 10);
       }},
      {"travel without a party record makes one",
       [](TGame& G) {
         OnTheRoad(G);
         SetAt(G, "/exileParties", ParseJson("[]"));
       },
       Command(OTravel, 3, 5, 0, 0), "The party arrives in Province 5.", false,
       [](TGame& G) {
         ASSERT_TRUE(G.Party(3));
         EXPECT_EQ(N(G.Party(3), "province"), 5);
       }},
      {"settle", OnTheRoad, Command(OSettle, 3, 0, 0, 0), "Your fellowship settles Province 4.", false,
       [](TGame& G) {
         TJson* P = G.P(4);
         EXPECT_EQ(N(P, "owner"), 3);
         EXPECT_EQ(N(P, "governor"), 3);
         EXPECT_EQ(N(G.F(3), "home"), 4);
         EXPECT_EQ(N(P, "food"), 316 + 40);
         EXPECT_EQ(N(P, "gold"), 152 + 20);
         EXPECT_EQ(N(G.Party(3), "food"), 0);
         EXPECT_EQ(TGame::S(G.C(3), "role"), "leader");
         EXPECT_EQ(TGame::S(G.C(53), "role"), "follower");
         EXPECT_EQ(G.Log.back(), "Your fellowship settles Province 4.");
       }},
      {"an uprising",
       [](TGame& G) {
         OnTheRoad(G);
         Place(G, 4, 4, 4, "leader");
         Own(G, 4, 4, 4);
         TGame::Put(G.F(4), "active", true);
         TGame::Put(G.F(4), "home", 4);
         TGame::Put(G.P(4), "support", 10);
       },
       Command(OSettle, 3, 0, 0, 0), "An uprising begins.", true,
       [](TGame& G) {
         EXPECT_TRUE(G.InBattle());
         EXPECT_EQ(std::count(G.Log.begin(), G.Log.end(), "An uprising begins."), 1);
         EXPECT_EQ(N(G.Battle(), "origin"), 4);
         EXPECT_EQ(N(G.Battle(), "attacker"), 3);
       }},
      {"recruit on the road",
       [](TGame& G) {
         OnTheRoad(G);
         TGame::Put(G.Data.get(), "rng", SeedWhere([](int64_t R) { return R < 5; }));
         Temper(G, 3, 50);
         Temper(G, 102, 50);
       },
       Command(ORecruit, 3, 102, 0, 0), "Character 102 joins your fellowship.", false,
       [](TGame& G) { EXPECT_EQ(TGame::S(G.C(102), "role"), "exile"); }, {100}},
  };
  for (const TCase& C : Cases) Run(C);
}

TEST_F(Execute, AbandoningTheRealm) {
  // The leader with eleven others in the lair: the leader and the first nine take the road.
  TGame G;
  NewFixtureCampaign(G);
  const int Others[] = {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 51};
  for (int Cid : Others) Place(G, Cid, 1, 1, "follower");
  TGame::Put(G.C(49), "loyalty", 60);
  TGame::Put(G.C(51), "loyalty", 70);
  // A second holding, governed by follower 60.
  Place(G, 60, 8, 1, "follower");
  Own(G, 8, 1, 60);
  TGame::Put(G.F(1), "writ", true);
  TGame::Put(G.F(1), "popularity", 150);
  TGame::Put(G.P(1), "food", 80);
  TGame::Put(G.P(1), "gold", 500);
  EXPECT_EQ(G.Execute(Command(OAbandon, 1, 0, 0, 0)), "The fellowship takes the road again.");
  for (int Cid : {1, 40, 41, 42, 43, 44, 45, 46, 47, 48}) EXPECT_EQ(TGame::S(G.C(Cid), "role"), "exile") << Cid;
  // 49 and 51 stay and found a fellowship under the more loyal of them.
  EXPECT_EQ(N(G.P(1), "owner"), 51);
  EXPECT_EQ(N(G.P(1), "governor"), 51);
  EXPECT_EQ(TGame::S(G.C(51), "role"), "leader");
  EXPECT_EQ(N(G.C(49), "faction"), 51);
  EXPECT_EQ(N(G.C(49), "superior"), 51);
  EXPECT_TRUE(TGame::B(G.F(51), "active"));
  EXPECT_EQ(N(G.F(51), "home"), 1);
  EXPECT_EQ(N(G.P(8), "owner"), 60);
  EXPECT_EQ(G.Log[G.Log.size() - 3], "Character 51 founds an independent fellowship.");
  EXPECT_EQ(G.Log[G.Log.size() - 2], "Character 60 founds an independent fellowship.");
  EXPECT_EQ(G.Log.back(), "The fellowship takes the road again.");
  EXPECT_EQ(N(G.Party(1), "food"), 80);
  EXPECT_EQ(N(G.Party(1), "gold"), 100);
  EXPECT_EQ(N(G.P(1), "gold"), 400);
  EXPECT_EQ(N(G.F(1), "home"), 0);
  EXPECT_FALSE(TGame::B(G.F(1), "writ"));
  EXPECT_EQ(N(G.F(1), "popularity"), 50);
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 1);
  EXPECT_EQ(G.Validate(), "");
}

TEST_F(Execute, WarToTheBattlesEnd) {
  TGame G;
  NewFixtureCampaign(G);
  // Faction 1 marches on faction 2's province 2.
  TGame::Put(G.C(1), "soldiers", 40);
  TGame::Put(G.C(1), "body", 90);
  EXPECT_EQ(G.Execute(Command(OWar, 1, 2, 0, 0)), "The armies deploy. Defenders act first.");
  ASSERT_TRUE(G.InBattle());
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 0);  // the battle holds the turn
  EXPECT_EQ(G.Check(Command(ORest, 1, 0, 0, 0)), "Finish the battle first.");
  G.ResolveBattle();
  EXPECT_FALSE(G.InBattle());
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), 1);
  EXPECT_EQ(G.Validate(), "");
}

TEST_F(Execute, ARefusedOrderChangesNothing) {
  TGame G;
  NewFixtureCampaign(G);
  const std::string Before = WriteJson(*G.Data);
  for (const TCommand& Cmd : {Command(OTravel, 1, 2, 0, 0), Command(ORecruit, 1, 1, 0, 0), Command(OWar, 1, 25, 0, 0),
                              Command(TOrder(40), 1, 0, 0, 0), Command(ORest, 256, 0, 0, 0),
                              Command(OReward, 1, 0, 10, 0), Command(OMove, 1, 50, 0, 0)}) {
    EXPECT_NE(G.Execute(Cmd), "");
    EXPECT_EQ(WriteJson(*G.Data), Before);
    EXPECT_TRUE(G.Log.empty());
  }
}

TEST_F(Execute, IdsThatNameNothingAreRefusedOrHarmless) {
  // Every kind with actors, targets and amounts that name no record: no exception, and the campaign stays valid.
  const int32_t Odd[] = {0, -1, 256, 50, 300, 100000};
  for (int K = 0; K < OrderCount; ++K)
    for (int32_t Id : Odd)
      for (int Field = 0; Field < 3; ++Field) {
        SCOPED_TRACE(std::string(OrderNames[K]) + " " + std::to_string(Id) + " in field " + std::to_string(Field));
        TGame G;
        NewFixtureCampaign(G);
        TGame::Put(G.Data.get(), "town", K >= OBuyFood && K <= OBuyShip);
        const TCommand Cmd = Command(TOrder(K), Field == 0 ? Id : 1, Field == 1 ? Id : 2, Field == 2 ? Id : 1, 0);
        EXPECT_NO_THROW(G.Execute(Cmd));
        EXPECT_EQ(G.Validate(), "");
      }
}
