#include "fixture.h"
#include "kv_files.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <stdexcept>

namespace {

class NewGame : public ::testing::Test {
 protected:
  std::string Folder, World;
  TGame G;
  void SetUp() override {
    Folder = FreshFolder(std::string("newgame-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    World = WriteFixtureWorld(Folder);
  }

  static void Write(const std::string& Name, const std::string& Text) { std::ofstream(Name, std::ios::binary) << Text; }

  // A world book whose scenario K is changed by Edit.
  void WriteWorldWith(int K, const std::function<void(TGame&)>& Edit) {
    TJson Book = TJson::Object(), Scenarios = TJson::Array();
    for (int I = 1; I <= 4; ++I) {
      TGame S;
      S.Data = std::make_unique<TJson>(FixtureScenario(I));
      if (I == K) Edit(S);
      Scenarios.Push(std::move(*S.Data));
    }
    Book.Add("scenarios", std::move(Scenarios));
    Write(World, WriteJson(Book));
  }

  std::vector<std::string> TopKeys() const {
    std::vector<std::string> Keys;
    for (size_t I = 0; I < G.Data->Size(); ++I) Keys.push_back(G.Data->KeyAt(I));
    return Keys;
  }
};

std::vector<std::string> KeysOf(const TJson* O) {
  std::vector<std::string> Keys;
  for (size_t I = 0; I < O->Size(); ++I) Keys.push_back(O->KeyAt(I));
  return Keys;
}

}  // namespace

TEST_F(NewGame, StampsTheScenarioInTheDocumentsOrder) {
  G.Note("an older line");
  G.NewGame(World, 2, 2, 9, {3, 5, 0, 0, 0, 0, 0}, 7);
  const std::vector<std::string> Expected = {
      "provinces", "characters", "factions", "treaties", "exileParties", "month", "year", "schemaVersion",
      "appVersion", "rng", "seed", "humanCount", "difficulty", "ended", "result", "town", "beastNotices",
      "queue", "ledger", "queueOwners", "queueIndex"};
  EXPECT_EQ(TopKeys(), Expected);
  TJson* Doc = G.Data.get();
  EXPECT_EQ(TGame::N(Doc, "month"), 6);
  EXPECT_EQ(TGame::N(Doc, "year"), 321);
  EXPECT_EQ(TGame::N(Doc, "seed"), 7);
  EXPECT_EQ(TGame::N(Doc, "humanCount"), 2);
  EXPECT_EQ(TGame::N(Doc, "difficulty"), 5);
  EXPECT_EQ(TGame::S(Doc, "appVersion"), "0.1.0");
  EXPECT_EQ(G.Log, std::deque<std::string>{"A new fellowship rises in the Ondrel Empire."});
  EXPECT_EQ(G.Validate(), "");

  ASSERT_EQ(TGame::Len(TGame::List(Doc, "factions")), 255u);
  EXPECT_EQ(WriteJson(*G.F(255)),
            R"({ "id" : 255, "leader" : 255, "home" : 0, "popularity" : 0, "writ" : false, "human" : false, "active" : false })");
  for (int Fid = 1; Fid <= 11; ++Fid) {
    EXPECT_TRUE(TGame::B(G.F(Fid), "active")) << Fid;
    EXPECT_EQ(G.Human(Fid), Fid == 3 || Fid == 5) << Fid;
  }
  // The first month's queue: the ten leaders' homes and the Chancellor's two provinces.
  EXPECT_EQ(TGame::Len(TGame::List(Doc, "queue")), 12u);
  EXPECT_EQ(TGame::N(Doc, "queueIndex"), 0);
  EXPECT_NE(G.Current(), 0);
}

TEST_F(NewGame, SeedsAndScenarioNumbers) {
  G.NewGame(World, 1, 0, 2, {}, 0);
  const std::string FromZero = WriteJson(*G.Data);
  EXPECT_EQ(TGame::N(G.Data.get(), "seed"), 1);
  G.NewGame(World, 1, 0, 2, {}, 1);
  EXPECT_EQ(WriteJson(*G.Data), FromZero);

  G.NewGame(World, 1, 0, 2, {}, 4294967295u);
  EXPECT_EQ(TGame::N(G.Data.get(), "seed"), 4294967295);

  struct {
    int64_t Asked, Month;
  } Cases[] = {{0, 3}, {-4, 3}, {3, 11}, {9, 1}};
  for (const auto& C : Cases) {
    G.NewGame(World, C.Asked, 0, 0, {}, 5);
    EXPECT_EQ(TGame::N(G.Data.get(), "month"), C.Month) << C.Asked;
    EXPECT_EQ(TGame::N(G.Data.get(), "difficulty"), 1);
  }
}

TEST_F(NewGame, AnObservedCampaignHasNoHumans) {
  G.NewGame(World, 4, 0, 2, {1, 2, 3, 4, 5, 6, 7}, 99);
  EXPECT_EQ(TGame::N(G.Data.get(), "humanCount"), 0);
  for (int Fid = 1; Fid <= 255; ++Fid) EXPECT_FALSE(TGame::B(G.F(Fid), "human")) << Fid;
}

TEST_F(NewGame, EveryCharacterStartsAliveFreeAndWithAFaction) {
  WriteWorldWith(1, [](TGame& S) {
    RemoveAt(S, "/characters/39/faction");
    TGame::Put(S.C(41), "alive", false);
    TGame::Put(S.C(42), "captured", true);
    SetAt(S, "/provinces/4/snow", TJson(true));
    SetAt(S, "/provinces/4/beast", TJson(3));
  });
  G.NewGame(World, 1, 1, 2, {4}, 3);
  EXPECT_EQ(TGame::N(G.C(40), "faction", -1), 0);
  EXPECT_EQ(KeysOf(G.C(40)).back(), "faction");
  EXPECT_EQ(TGame::N(G.C(4), "faction"), 4);  // an exile of the scenario keeps its fellowship
  EXPECT_TRUE(TGame::B(G.C(41), "alive"));
  EXPECT_FALSE(TGame::B(G.C(42), "captured"));
  EXPECT_FALSE(TGame::B(G.P(5), "snow"));
  EXPECT_EQ(TGame::N(G.P(5), "beast"), 0);
  EXPECT_EQ(KeysOf(G.P(5)).back(), "epidemic");
}

TEST_F(NewGame, RulesFileBesideTheWorldBook) {
  G.NewGame(World, 1, 0, 2, {}, 3);
  EXPECT_FALSE(TGame::Has(G.Data.get(), "rules"));
  EXPECT_EQ(G.Rule("lightBody", 10), 10);

  Write(Folder + "/rules.json", R"({"lightBody":12,"beastChancePercent":0})");
  G.NewGame(World, 1, 0, 2, {}, 3);
  EXPECT_EQ(G.Rule("lightBody", 10), 12);
  EXPECT_EQ(TopKeys()[7], "rules");
  EXPECT_EQ(TopKeys()[8], "schemaVersion");
  // The campaign keeps its own copy.
  Write(Folder + "/rules.json", R"({"lightBody":30})");
  EXPECT_EQ(G.Rule("lightBody", 10), 12);
}

TEST_F(NewGame, LeaderChoicesThatAreRefused) {
  struct {
    int64_t Count;
    std::vector<int64_t> Leaders;
    const char* Message;
  } Cases[] = {
      {2, {3, 3}, "Each player must choose a different leader."},
      {1, {11}, "Invalid human leader."},
      {1, {0}, "Invalid human leader."},
      {2, {1, -2}, "Invalid human leader."},
      {3, {1, 2}, "Invalid human leader."},  // more players than leaders given
      {8, {1, 2, 3, 4, 5, 6, 7, 8}, "Invalid human leader."},
      {-1, {1}, "Invalid human leader."},
  };
  G.NewGame(World, 3, 1, 2, {2}, 11);
  G.FinishOrder();
  const std::string Before = WriteJson(*G.Data);
  const auto Log = G.Log;
  for (const auto& C : Cases) {
    try {
      G.NewGame(World, 2, C.Count, 2, C.Leaders, 5);
      ADD_FAILURE() << C.Message;
    } catch (const std::runtime_error& E) {
      EXPECT_EQ(std::string(E.what()), C.Message);
    }
    // The campaign that was running is still there, as it was.
    EXPECT_EQ(WriteJson(*G.Data), Before);
    EXPECT_EQ(G.Log, Log);
  }
  // Seven players are the most a table seats.
  G.NewGame(World, 2, 7, 2, {1, 2, 3, 4, 5, 6, 7}, 5);
  EXPECT_EQ(TGame::N(G.Data.get(), "humanCount"), 7);
}

TEST_F(NewGame, BrokenWorldBooksAreReportedAndChangeNothing) {
  struct TCase {
    const char* Name;
    std::function<void()> Break;
    std::string Message;  // the start of the error's text
  };
  const TCase Cases[] = {
      {"missing", [&] { RemoveFile(World); }, "File not found: "},
      {"malformed", [&] { Write(World, R"({"scenarios": [)"); }, "Malformed JSON"},
      {"no scenarios", [&] { Write(World, R"({"worlds": []})"); }, "The world book has no scenarios."},
      {"three", [&] { Write(World, R"({"scenarios": [{}, {}, {}]})"); },
       "The world book must hold 4 scenarios; it holds 3."},
      {"not an object", [&] { WriteWorldWith(2, [](TGame& S) { *S.Data = TJson(7); }); }, "Scenario 2 is not an object."},
      {"48 provinces", [&] { WriteWorldWith(3, [](TGame& S) { RemoveAt(S, "/provinces/48"); }); },
       "Scenario 3 must hold 49 province records."},
      {"twelve factions", [&] { WriteWorldWith(1, [](TGame& S) { TGame::PushRecord(TGame::List(S.Data.get(), "factions")); }); },
       "Scenario 1 must hold 11 faction records."},
      {"a character that is no record", [&] { WriteWorldWith(1, [](TGame& S) { SetAt(S, "/characters/9", TJson(1)); }); },
       "Scenario 1 must hold 255 character records."},
      {"province id", [&] { WriteWorldWith(4, [](TGame& S) { SetAt(S, "/provinces/6/id", TJson(8)); }); },
       "Scenario 4, province 7: its id must be 7."},
      {"owner", [&] { WriteWorldWith(4, [](TGame& S) { SetAt(S, "/provinces/6/owner", TJson(12)); }); },
       "Scenario 4, province 7: owner 12 is outside 0..11."},
      {"neighbor", [&] { WriteWorldWith(2, [](TGame& S) { SetAt(S, "/provinces/0/neighbors", ParseJson("[2, 50]")); }); },
       "Scenario 2, province 1: neighbor 50 is outside 1..49."},
      {"no neighbors", [&] { WriteWorldWith(2, [](TGame& S) { RemoveAt(S, "/provinces/0/neighbors"); }); },
       "Scenario 2, province 1: it has no neighbors."},
      {"character place", [&] { WriteWorldWith(2, [](TGame& S) { RemoveAt(S, "/characters/99/province"); }); },
       "Scenario 2, character 100: province 0 is outside 1..49."},
      {"character faction", [&] { WriteWorldWith(2, [](TGame& S) { SetAt(S, "/characters/99/faction", TJson(40)); }); },
       "Scenario 2, character 100: faction 40 is outside 0..11."},
      {"faction id", [&] { WriteWorldWith(2, [](TGame& S) { SetAt(S, "/factions/3/leader", TJson(5)); }); },
       "Scenario 2, faction 4: its id and leader must be 4."},
      {"faction home", [&] { WriteWorldWith(2, [](TGame& S) { SetAt(S, "/factions/3/home", TJson(50)); }); },
       "Scenario 2, faction 4: home 50 is outside 0..49."},
      {"party", [&] { WriteWorldWith(1, [](TGame& S) { SetAt(S, "/exileParties/2/province", TJson(0)); }); },
       "Scenario 1, exile party 3: province 0 is outside 1..49."},
      {"no treaties", [&] { WriteWorldWith(1, [](TGame& S) { RemoveAt(S, "/treaties"); }); },
       "Scenario 1 has no treaties list."},
      {"month", [&] { WriteWorldWith(1, [](TGame& S) { SetAt(S, "/month", TJson(13)); }); },
       "Scenario 1: month 13 is outside 1..12."},
      // Members a new campaign adds must not be in a scenario already.
      {"rng", [&] { WriteWorldWith(2, [](TGame& S) { TGame::Add(S.Data.get(), "rng", 5); }); }, "Duplicate member \"rng\"."},
      {"ledger", [&] { WriteWorldWith(2, [](TGame& S) { TGame::AddList(S.Data.get(), "ledger"); }); },
       "Duplicate member \"ledger\"."},
      {"rules twice", [&] {
         Write(Folder + "/rules.json", "{}");
         WriteWorldWith(2, [](TGame& S) { TGame::PutObj(S.Data.get(), "rules"); });
       }, "Duplicate member \"rules\"."},
      {"broken rules", [&] { Write(Folder + "/rules.json", "{\"lightBody\": }"); }, "Malformed JSON"},
  };
  for (const TCase& C : Cases) {
    RemoveFile(Folder + "/rules.json");
    WriteFixtureWorld(Folder);
    G.NewGame(World, 1, 1, 2, {1}, 21);
    const std::string Before = WriteJson(*G.Data);
    C.Break();
    try {
      G.NewGame(World, 2, 1, 2, {2}, 5);
      ADD_FAILURE() << C.Name;
    } catch (const std::runtime_error& E) {
      EXPECT_EQ(std::string(E.what()).rfind(C.Message, 0), 0u) << C.Name << ": " << E.what();
    }
    EXPECT_EQ(WriteJson(*G.Data), Before) << C.Name;
  }
}

TEST_F(NewGame, EveryFixtureScenarioStartsValid) {
  for (int K = 1; K <= 4; ++K) {
    G.NewGame(World, K, 2, 3, {1, 6}, 1000 + K);
    EXPECT_EQ(G.Validate(), "") << K;
  }
  // Ten exile parties take their turns beside the Chancellor's two provinces.
  G.NewGame(World, 1, 0, 2, {}, 8);
  TJson* Queue = TGame::List(G.Data.get(), "queue");
  int Exiles = 0;
  for (size_t I = 0; I < TGame::Len(Queue); ++I) Exiles += TGame::NAt(Queue, I) < 0;
  EXPECT_EQ(TGame::Len(Queue), 12u);
  EXPECT_EQ(Exiles, 10);
}
