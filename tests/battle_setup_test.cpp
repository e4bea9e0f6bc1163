// Opening a battle: the field, the armies, their supplies and commanders.
// Faction 2 (home 2) marches on faction 1 (home 1) in the fixture campaign.
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> KeysOf(const TJson* O) {
  std::vector<std::string> Keys;
  for (size_t I = 0; I < O->Size(); ++I) Keys.push_back(O->KeyAt(I));
  return Keys;
}

int64_t CellAt(const TGame& G, int Q, int R) { return G.Terrain(Q, R); }

class BattleSetup : public ::testing::Test {
 protected:
  TGame G;
  void SetUp() override {
    NewFixtureCampaign(G);
    // Every free resident of the two provinces joins its owner.
    for (int Cid = 3; Cid <= 255; ++Cid) {
      const int64_t At = TGame::N(G.C(Cid), "province");
      if ((At == 1 || At == 2) && Cid != 11) Place(G, Cid, int(At), int(At), "follower");
    }
  }
  int64_t N(const TJson* O, const TKey& K) { return TGame::N(O, K); }
  void Begin() { G.BeginBattle(2, 1, 2); }
};

}  // namespace

TEST_F(BattleSetup, TheRecordAndItsUnitsInTheirKeyOrder) {
  Begin();
  ASSERT_TRUE(G.InBattle());
  EXPECT_EQ(KeysOf(G.Battle()),
            (std::vector<std::string>{"origin", "destination", "attacker", "defender", "day", "side", "weather",
                                      "wind", "castleHold", "defensePrompt", "deploy", "terrain", "units", "reserve",
                                      "fires", "food1", "food0", "skill1", "arms1", "skill0", "arms0", "commander0",
                                      "commander1"}));
  EXPECT_EQ(KeysOf(G.UnitObj(0)),
            (std::vector<std::string>{"char", "side", "q", "r", "active", "spent", "arrows", "dazzled"}));
  EXPECT_EQ(KeysOf(G.Data.get()).back(), "battle");
  EXPECT_TRUE(TGame::B(G.Battle(), "defensePrompt"));  // faction 1 is human
  EXPECT_TRUE(TGame::B(G.Battle(), "deploy"));
  EXPECT_EQ(N(G.Battle(), "commander1"), 2);
  EXPECT_EQ(N(G.Battle(), "commander0"), 1);
  EXPECT_EQ(TGame::Len(TGame::List(G.Battle(), "terrain")), 252u);
}

TEST_F(BattleSetup, TerrainComesFromTheProvincesOwnSeed) {
  TJson* Dest = G.P(1);
  TGame::Put(Dest, "mapSeed", 0);  // a generator stuck at 0 rolls 0: Forest everywhere
  TGame::Put(Dest, "castles", 0);
  TGame::Put(Dest, "river", true);
  const int64_t Rng = N(G.Data.get(), "rng");
  Begin();
  EXPECT_EQ(N(G.Data.get(), "rng"), Rng);  // the campaign's generator is untouched
  for (int R = 0; R < 14; ++R)
    for (int Q = 0; Q < 18; ++Q) {
      if (G.UnitAt(Q, R) >= 0) continue;
      const int64_t Expected = R == 4 || R == 9 ? GPlain : Q == 8 ? GRiver : GForest;
      EXPECT_EQ(CellAt(G, Q, R), Expected) << Q << "," << R;
    }

  // The same province gives the same field; winter freezes its marshes.
  auto Field = [&](int Month) {
    TGame H;
    NewFixtureCampaign(H);
    TGame::Put(H.Data.get(), "month", Month);
    H.BeginBattle(2, 1, 2);
    return WriteJson(*TGame::List(H.Battle(), "terrain"));
  };
  const std::string June = Field(6), Winter = Field(1);
  EXPECT_EQ(Field(6), June);
  ASSERT_NE(June.find(" 6"), std::string::npos);
  std::string Thawed = Winter;
  for (char& Ch : Thawed)
    if (Ch == '7') Ch = '6';
  EXPECT_EQ(Thawed, June);
  EXPECT_EQ(Winter.find(" 6"), std::string::npos);
}

TEST_F(BattleSetup, ArmiesTakeTheirPlaces) {
  TGame::Put(G.P(1), "castles", 3);  // castle cells (14,1), (14,3), (14,5)
  TGame::Put(G.P(2), "castles", 7);
  TGame::Put(G.C(51), "body", 9);  // too tired to march
  Begin();
  std::vector<std::pair<int64_t, int64_t>> Defenders, Attackers;
  TJson* Units = TGame::List(G.Battle(), "units");
  for (size_t I = 0; I < TGame::Len(Units); ++I) {
    TJson* U = TGame::Item(Units, I);
    (N(U, "side") == 0 ? Defenders : Attackers).push_back({N(U, "q"), N(U, "r")});
  }
  // Province 1 holds characters 1, 50, 99, 148, 197, 246 and more: six defenders.
  ASSERT_GE(Defenders.size(), 6u);
  for (size_t I = 0; I < Defenders.size(); ++I)
    EXPECT_EQ(Defenders[I], (std::pair<int64_t, int64_t>{15 - int64_t(I) / 7, int64_t(I) % 7 + 3}));
  for (size_t I = 0; I < Attackers.size(); ++I)
    EXPECT_EQ(Attackers[I], (std::pair<int64_t, int64_t>{int64_t(I) / 7 + 1, int64_t(I) % 7 + 3}));
  EXPECT_EQ(CellAt(G, 14, 1), GCastle);
  EXPECT_EQ(CellAt(G, 14, 3), GCastle);
  // 51 had 9 Body and stayed home; the others paid 10 Body to march.
  EXPECT_EQ(N(G.C(51), "body"), 9);
  EXPECT_EQ(N(G.C(51), "province"), 2);
  for (size_t I = 0; I < TGame::Len(Units); ++I)
    EXPECT_NE(N(TGame::Item(Units, I), "char"), 51);
}

TEST_F(BattleSetup, ElevenDefendersAndTheGovernorsPlace) {
  // Twelve defenders: 1 and 50 live there, ten more are brought in; the
  // governor is the last of them by id.
  const int Extra[] = {60, 61, 62, 63, 64, 65, 66, 67, 68, 69};
  for (int Cid : Extra) Place(G, Cid, 1, 1, "follower");
  TGame::Put(G.P(1), "castles", 7);
  // Make sure no one else of faction 1 stands in province 1.
  for (int Cid = 2; Cid <= 255; ++Cid)
    if (N(G.C(Cid), "province") == 1 && N(G.C(Cid), "faction") == 1 && Cid != 50 &&
        std::find(std::begin(Extra), std::end(Extra), Cid) == std::end(Extra))
      Place(G, Cid, 3, 0, "free");
  TGame::Put(G.P(1), "governor", 69);
  Begin();
  std::vector<int64_t> Fielded;
  TJson* Units = TGame::List(G.Battle(), "units");
  for (size_t I = 0; I < TGame::Len(Units); ++I)
    if (N(TGame::Item(Units, I), "side") == 0) Fielded.push_back(N(TGame::Item(Units, I), "char"));
  EXPECT_EQ(Fielded, (std::vector<int64_t>{1, 50, 60, 61, 62, 63, 64, 65, 66, 69}));
  EXPECT_EQ(WriteJson(*TGame::List(G.Battle(), "reserve")), "[67, 68]");
  EXPECT_EQ(N(G.Battle(), "commander0"), 69);
  // The eighth and tenth defenders stand on castle cells, which become Plain.
  EXPECT_EQ(CellAt(G, 14, 3), GPlain);
  EXPECT_EQ(CellAt(G, 14, 5), GPlain);
  EXPECT_EQ(CellAt(G, 14, 1), GCastle);
}

TEST_F(BattleSetup, WarCostAndRations) {
  TJson *From = G.P(2), *Dest = G.P(1);
  TGame::Put(From, "gold", 1000);
  TGame::Put(From, "food", 9999);
  TGame::Put(From, "skill", 44);
  TGame::Put(From, "arms", 33);
  TGame::Put(Dest, "food", 10);
  TGame::Put(Dest, "skill", 12);
  TGame::Put(Dest, "arms", 80);
  int64_t Cost = 0, Soldiers = 0, Marching = 0;
  for (int Cid = 1; Cid <= 255 && Marching < 10; ++Cid)
    if (G.Local(Cid, 2, 2) && N(G.C(Cid), "body") >= 10) {
      Cost += (N(G.C(Cid), "soldiers") + 3) / 3;
      Soldiers += N(G.C(Cid), "soldiers");
      ++Marching;
    }
  Begin();
  TJson* Bt = G.Battle();
  EXPECT_EQ(N(From, "gold"), 1000 - Cost);
  const int64_t Cap = 30 * std::max<int64_t>(1, (Soldiers + 99) / 100);
  EXPECT_EQ(N(Bt, "food1"), Cap);
  EXPECT_EQ(N(From, "food"), 9999 - Cap);
  EXPECT_EQ(N(Bt, "food0"), 10);
  EXPECT_EQ(N(Dest, "food"), 0);
  EXPECT_EQ(N(Bt, "skill1"), 44);
  EXPECT_EQ(N(Bt, "arms1"), 33);
  EXPECT_EQ(N(Bt, "skill0"), 12);
  EXPECT_EQ(N(Bt, "arms0"), 80);
  // Arrows follow the arms of the province a unit stands in.
  EXPECT_EQ(N(G.UnitObj(0), "arrows"), 80 / 20 + 1);

  // A garrison without soldiers still gets thirty days of food.
  TGame H;
  NewFixtureCampaign(H);
  for (int Cid = 1; Cid <= 255; ++Cid)
    if (N(H.C(Cid), "province") == 1) TGame::Put(H.C(Cid), "soldiers", 0);
  TGame::Put(H.P(1), "food", 500);
  H.BeginBattle(2, 1, 2);
  EXPECT_EQ(N(H.Battle(), "food0"), 30);
}

TEST_F(BattleSetup, AnUprisingIsFedFromTheExilePartyAndTrainsFromNothing) {
  // Faction 3 travels as an exile party and rises in province 1.
  TGame::Put(G.F(3), "active", true);
  Place(G, 3, 1, 3, "exile");
  SetAt(G, "/exileParties", ParseJson(R"([{"leader":3,"province":1,"food":20,"gold":5}])"));
  TGame::Put(G.C(3), "soldiers", 12);  // war cost 5
  TGame::Put(G.P(1), "skill", 70);
  TGame::Put(G.P(1), "gold", 400);
  G.BeginBattle(1, 1, 3);
  TJson* Bt = G.Battle();
  ASSERT_TRUE(Bt);
  EXPECT_EQ(N(Bt, "food1"), 20);
  EXPECT_EQ(N(G.Party(3), "food"), 0);
  EXPECT_EQ(N(G.Party(3), "gold"), 0);
  EXPECT_EQ(N(G.P(1), "gold"), 400);
  EXPECT_EQ(N(Bt, "skill1"), 0);
  EXPECT_EQ(N(Bt, "commander1"), 3);
}

TEST_F(BattleSetup, DecidedBeforeItStarts) {
  // Nobody of faction 2 can march: the defenders hold at once and the turn is closed.
  for (int Cid = 1; Cid <= 255; ++Cid)
    if (G.Local(Cid, 2, 2)) TGame::Put(G.C(Cid), "body", 9);
  const int64_t Index = N(G.Data.get(), "queueIndex");
  Begin();
  EXPECT_FALSE(G.InBattle());
  EXPECT_EQ(G.Log.back(), "The defenders hold Province 1.");
  EXPECT_EQ(N(G.Data.get(), "queueIndex"), Index + 1);

  // A province without a governor falls as soon as one attacker marches.
  TGame H;
  NewFixtureCampaign(H);
  TGame::Put(H.P(1), "governor", 0);
  H.BeginBattle(2, 1, 2);
  EXPECT_FALSE(H.InBattle());
  EXPECT_EQ(N(H.P(1), "owner"), 2);
  EXPECT_EQ(H.Validate(), "");
}

TEST_F(BattleSetup, ASavedBattleGoesOnAsItStood) {
  Begin();
  ASSERT_TRUE(G.InBattle());
  const std::string File = FreshFolder("battle-save") + "/mid.json";
  G.Save(File);
  TGame Loaded;
  Loaded.Load(File);
  G.ResolveBattle();
  Loaded.ResolveBattle();
  EXPECT_EQ(WriteJson(*Loaded.Data), WriteJson(*G.Data));
}

TEST_F(BattleSetup, AHandEditedBattleIsRefused) {
  struct TRow {
    const char* Pointer;
    const char* Value;
    const char* Expected;
  };
  const TRow Rows[] = {
      {"/battle", "[]", "Invalid battle record."},
      {"/battle/destination", "50", "Invalid battle record."},
      {"/battle/attacker", "0", "Invalid battle record."},
      {"/battle/day", "-3", "Invalid battle record."},
      {"/battle/side", "2", "Invalid battle record."},
      {"/battle/wind", "6", "Invalid battle record."},
      {"/battle/commander0", "999", "Invalid battle record."},
      {"/battle/reserve", "[0]", "Invalid battle record."},
      {"/battle/fires", "[252]", "Invalid battle record."},
      {"/battle/units", "{}", "Invalid battle record."},
      {"/battle/terrain", "[0, 1]", "Invalid battlefield terrain."},
      {"/battle/terrain/7", "8", "Invalid battlefield terrain."},
      {"/battle/units/0", "5", "Invalid battle unit."},
      {"/battle/units/0/char", "999", "Invalid battle unit."},
      {"/battle/units/0/char", "0", "Invalid battle unit."},
      {"/battle/units/0/q", "18", "Invalid battle unit."},
      {"/battle/units/0/r", "-1", "Invalid battle unit."},
      {"/battle/units/0/side", "3", "Invalid battle unit."},
  };
  Begin();
  ASSERT_TRUE(G.InBattle());
  const std::string Good = FreshFolder("battle-edited") + "/good.json";
  G.Save(Good);
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(Row.Pointer);
    TGame H;
    H.Load(Good);
    SetAt(H, Row.Pointer, ParseJson(Row.Value));
    EXPECT_EQ(H.Validate(), Row.Expected);
  }
  TGame H;
  H.Load(Good);
  RemoveAt(H, "/rng");
  EXPECT_EQ(H.Validate(), "The campaign has no random state.");
}
