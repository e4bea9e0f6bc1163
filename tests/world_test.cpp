// The shipped world book: its geography agrees with the atlas, its names are
// whole, and every scenario starts a valid campaign.
#include "kv_atlas.h"
#include "kv_files.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

const std::string WorldFile = std::string(KV_ASSETS) + "/data/world.json";

const TJson& Book() {
  static const TJson B = ParseJson(ReadTextFile(WorldFile));
  return B;
}

const TJson& Scenario(int S) { return Book().Find("scenarios")->At(size_t(S - 1)); }

std::vector<int64_t> IntsOf(const TJson* L) {
  std::vector<int64_t> Out;
  for (size_t I = 0; I < TGame::Len(L); ++I) Out.push_back(TGame::NAt(L, I));
  return Out;
}

}  // namespace

TEST(WorldBook, GeographyAgreesWithTheAtlas) {
  const TAtlas Atlas;
  std::set<std::pair<int, int>> Touching;
  for (int Y = 0; Y < AtlasH; ++Y)
    for (int X = 0; X < AtlasW; ++X)
      for (auto [DX, DY] : {std::pair{1, 0}, std::pair{0, 1}}) {
        int A = Atlas.At(X, Y), B = Atlas.At(X + DX, Y + DY);
        if (A && B && A != B) Touching.insert({std::min(A, B), std::max(A, B)});
      }
  for (int S = 1; S <= 4; ++S) {
    const TJson* Provinces = Scenario(S).Find("provinces");
    std::set<int64_t> Seeds;
    for (int I = 1; I <= 49; ++I) {
      const TJson* P = TGame::Item(Provinces, size_t(I - 1));
      SCOPED_TRACE("scenario " + std::to_string(S) + " province " + std::to_string(I));
      std::vector<int64_t> Expected;
      for (auto [A, B] : Touching)
        if (A == I || B == I) Expected.push_back(A == I ? B : A);
      std::sort(Expected.begin(), Expected.end());
      EXPECT_EQ(IntsOf(TGame::List(P, "neighbors")), Expected);
      EXPECT_EQ(TGame::B(P, "river"), Atlas.OnRiver[size_t(I)]);
      EXPECT_EQ(TGame::N(P, "r"), (I - 1) / 7);
      EXPECT_GE(TGame::N(P, "castles"), 1);
      EXPECT_LE(TGame::N(P, "castles"), 7);
      EXPECT_NE(TGame::N(P, "mapSeed"), 0);
      Seeds.insert(TGame::N(P, "mapSeed"));
    }
    EXPECT_EQ(Seeds.size(), 49u);
  }
  int RiverProvinces = int(std::count(Atlas.OnRiver.begin(), Atlas.OnRiver.end(), true));
  EXPECT_GE(RiverProvinces, 5);
}

TEST(WorldBook, NamesAndPeople) {
  const char* const Leaders[10] = {"Corran Vale", "Osric Brand", "Evan Rook",    "Tamsin Hale",  "Garrick Thorne",
                                   "Maren Sollis", "Haldor Crane", "Rusk Varga", "Idris Fenwick", "Wren Calloway"};
  const std::set<std::string> Professions = {"doctor",    "scholar", "hunter", "fisher",   "trader",   "innkeeper",
                                             "artisan",   "performer", "mystic", "wrestler", "courtier", "outlaw"};
  const std::set<std::string> Pronouns = {"she/her", "he/him", "they/them"};
  const TJson& S = Scenario(1);
  std::set<std::string> ProvinceNames, Names, Seen;
  for (int I = 1; I <= 49; ++I) ProvinceNames.insert(TGame::S(TGame::Item(S.Find("provinces"), size_t(I - 1)), "name"));
  EXPECT_EQ(ProvinceNames.size(), 49u);
  std::set<int64_t> Ages, Strengths;
  for (int I = 1; I <= 255; ++I) {
    const TJson* C = TGame::Item(S.Find("characters"), size_t(I - 1));
    Names.insert(TGame::S(C, "name"));
    EXPECT_TRUE(Professions.count(TGame::S(C, "profession"))) << I;
    EXPECT_TRUE(Pronouns.count(TGame::S(C, "pronouns"))) << I;
    Seen.insert(TGame::S(C, "profession"));
    Seen.insert(TGame::S(C, "pronouns"));
    Ages.insert(TGame::N(C, "age"));
    Strengths.insert(TGame::N(C, "strength"));
    if (I <= 10) {
      EXPECT_EQ(TGame::S(C, "name"), Leaders[I - 1]);
    }
  }
  EXPECT_EQ(Names.size(), 255u);
  EXPECT_EQ(Seen.size(), Professions.size() + Pronouns.size());
  EXPECT_GT(Ages.size(), 30u);
  EXPECT_GT(Strengths.size(), 40u);
  EXPECT_EQ(TGame::S(TGame::Item(S.Find("characters"), 10), "name"), "Morvane");
}

TEST(WorldBook, EveryScenarioStartsAValidCampaign) {
  const int64_t LatestYear[4] = {317, 322, 322, 322};
  for (int S = 1; S <= 4; ++S) {
    SCOPED_TRACE("scenario " + std::to_string(S));
    TGame G;
    G.NewGame(WorldFile, S, 2, 3, {4, 9}, 99);
    EXPECT_EQ(G.Validate(), "");
    EXPECT_LE(TGame::N(G.Data.get(), "year"), LatestYear[S - 1]);
    EXPECT_TRUE(G.Human(4));
    EXPECT_FALSE(G.Human(1));
    // The court holds its home and a few provinces more.
    const int64_t Court = TGame::N(G.F(11), "home");
    EXPECT_EQ(TGame::N(G.P(Court), "owner"), 11);
    int Held = 0;
    for (int P = 1; P <= 49; ++P) Held += TGame::N(G.P(P), "owner") == 11;
    EXPECT_GE(Held, 3);
    for (int F = 1; F <= 10; ++F) {
      const int64_t Home = TGame::N(G.F(F), "home");
      if (S == 1) {
        EXPECT_EQ(Home, 0) << F;
        EXPECT_EQ(TGame::S(G.C(F), "role"), "exile");
        ASSERT_TRUE(G.Party(F)) << F;
        EXPECT_EQ(TGame::N(G.Party(F), "province"), TGame::N(G.C(F), "province"));
        EXPECT_GT(TGame::N(G.Party(F), "food"), 0);
      } else {
        EXPECT_EQ(TGame::N(G.P(Home), "owner"), F);
        EXPECT_EQ(TGame::N(G.P(Home), "governor"), F);
      }
    }
  }
}
