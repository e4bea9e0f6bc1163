#include "fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace {

TJson Ints(std::initializer_list<int64_t> Values) {
  TJson A = TJson::Array();
  for (int64_t V : Values) A.Push(TJson(V));
  return A;
}

TJson Province(int Id) {
  int Row = (Id - 1) / 7, Col = (Id - 1) % 7;
  TJson Near = TJson::Array();
  if (Row > 0) Near.Push(TJson(Id - 7));
  if (Col > 0) Near.Push(TJson(Id - 1));
  if (Col < 6) Near.Push(TJson(Id + 1));
  if (Row < 6) Near.Push(TJson(Id + 7));
  TJson P = TJson::Object();
  P.Add("id", Id);
  P.Add("name", "Province " + std::to_string(Id));
  P.Add("neighbors", std::move(Near));
  P.Add("owner", 0);
  P.Add("governor", 0);
  P.Add("gold", 100 + Id * 13 % 400);
  P.Add("food", 200 + Id * 29 % 600);
  P.Add("metal", Id * 7 % 90);
  P.Add("fur", Id * 11 % 80);
  P.Add("skill", Id * 3 % 60);
  P.Add("arms", Id * 5 % 60);
  P.Add("support", 30 + Id % 50);
  P.Add("flood", 20 + Id % 70);
  P.Add("land", 25 + Id % 60);
  P.Add("wealth", 15 + Id % 70);
  P.Add("rate", 40 + Id % 40);
  P.Add("castles", 3);
  P.Add("snow", false);
  P.Add("beast", 0);
  P.Add("epidemic", 0);
  P.Add("riot", false);
  P.Add("policy", "Balanced");
  P.Add("smithy", Id % 3 == 0);
  P.Add("shipyard", Id % 5 == 0);
  P.Add("river", Col == 3);
  P.Add("mapSeed", 1000 + Id * 37);
  P.Add("r", Row);
  return P;
}

TJson Character(int Id) {
  static const char* const Professions[] = {"doctor", "scholar", "hunter", "fisher", "trader", "innkeeper",
                                             "artisan", "performer", "mystic", "wrestler", "courtier", "outlaw"};
  static const char* const Pronouns[] = {"she/her", "he/him", "they/them"};
  TJson Xp = TJson::Object();
  Xp.Add("strength", Id % 10);
  Xp.Add("dexterity", Id * 3 % 10);
  Xp.Add("wisdom", Id * 7 % 10);
  TJson C = TJson::Object();
  C.Add("name", "Character " + std::to_string(Id));
  C.Add("profession", Professions[Id % 12]);
  C.Add("pronouns", Pronouns[Id % 3]);
  C.Add("age", 18 + Id * 7 % 50);
  C.Add("province", (Id - 1) % 49 + 1);
  C.Add("faction", 0);
  C.Add("role", "free");
  C.Add("superior", 0);
  C.Add("body", 60 + Id % 40);
  C.Add("bodyMax", 100);
  C.Add("strength", 20 + Id * 13 % 80);
  C.Add("dexterity", 20 + Id * 17 % 80);
  C.Add("wisdom", 20 + Id * 19 % 80);
  C.Add("integrity", Id * 23 % 100);
  C.Add("mercy", Id * 29 % 100);
  C.Add("courage", Id * 31 % 100);
  C.Add("loyalty", 50 + Id % 50);
  C.Add("soldiers", Id * 3 % 40);
  C.Add("ship", false);
  C.Add("navigator", Id % 9 == 0);
  C.Add("xp", std::move(Xp));
  C.Add("alive", true);
  C.Add("captured", false);
  C.Add("captor", 0);
  C.Add("overflow", false);
  C.Add("resolved", false);
  return C;
}

TJson Faction(int Id) {
  TJson F = TJson::Object();
  F.Add("id", Id);
  F.Add("leader", Id);
  F.Add("home", 0);
  F.Add("popularity", 0);
  F.Add("writ", false);
  F.Add("human", false);
  F.Add("active", false);
  return F;
}

TJson& Node(TGame& G, const std::string& Pointer, bool Parent, std::string& Last) {
  TJson* V = G.Data.get();
  size_t Start = 1;
  for (;;) {
    size_t End = Pointer.find('/', Start);
    std::string Token = Pointer.substr(Start, End == std::string::npos ? End : End - Start);
    if (End == std::string::npos && Parent) {
      Last = Token;
      return *V;
    }
    V = V->IsArray() ? &V->At(std::stoul(Token)) : V->Find(TKey(Token));
    if (!V) throw std::logic_error("fixture: no member at " + Pointer);
    if (End == std::string::npos) return *V;
    Start = End + 1;
  }
}

}  // namespace

TJson FixtureCampaign() {
  TJson Doc = TJson::Object();
  TJson Provinces = TJson::Array(), Characters = TJson::Array(), Factions = TJson::Array();
  for (int I = 1; I <= 49; ++I) Provinces.Push(Province(I));
  for (int I = 1; I <= 255; ++I) Characters.Push(Character(I));
  for (int I = 1; I <= 255; ++I) Factions.Push(Faction(I));
  Doc.Add("provinces", std::move(Provinces));
  Doc.Add("characters", std::move(Characters));
  Doc.Add("factions", std::move(Factions));
  Doc.Add("treaties", TJson::Array());
  Doc.Add("exileParties", TJson::Array());
  Doc.Add("month", 3);
  Doc.Add("year", 312);
  Doc.Add("schemaVersion", 1);
  Doc.Add("appVersion", "0.1.0");
  Doc.Add("rng", 730127);
  Doc.Add("seed", 730127);
  Doc.Add("humanCount", 1);
  Doc.Add("difficulty", 2);
  Doc.Add("ended", false);
  Doc.Add("result", "");
  Doc.Add("town", false);
  Doc.Add("townActor", 0);
  Doc.Add("townAttempts", TJson::Array());
  Doc.Add("beastNotices", TJson::Array());
  Doc.Add("queue", Ints({1, 2, 25}));
  Doc.Add("queueIndex", 0);
  TJson Owners = TJson::Object();
  Owners.Add("1", 1);
  Owners.Add("2", 2);
  Owners.Add("25", 11);
  Doc.Add("queueOwners", std::move(Owners));
  Doc.Add("ledger", TJson::Array());
  return Doc;
}

void Place(TGame& G, int CID, int PID, int FID, const std::string& Role) {
  TJson* C = G.C(CID);
  TGame::Put(C, "province", PID);
  TGame::Put(C, "faction", FID);
  TGame::Put(C, "role", Role);
  TGame::Put(C, "superior", FID == CID ? 0 : FID);
}

void Own(TGame& G, int PID, int FID, int Governor) {
  TGame::Put(G.P(PID), "owner", FID);
  TGame::Put(G.P(PID), "governor", Governor);
}

void NewFixtureCampaign(TGame& G) {
  G.Data = std::make_unique<TJson>(FixtureCampaign());
  G.Log.clear();
  const int Homes[][2] = {{1, 1}, {2, 2}, {11, 25}};
  for (const auto& [Fid, Home] : Homes) {
    TJson* F = G.F(Fid);
    TGame::Put(F, "home", Home);
    TGame::Put(F, "active", true);
    Place(G, Fid, Home, Fid, "leader");
    Own(G, Home, Fid, Fid);
  }
  TGame::Put(G.F(1), "human", true);
}

void SetAt(TGame& G, const std::string& Pointer, TJson V) {
  std::string Last;
  TJson& Parent = Node(G, Pointer, true, Last);
  if (Parent.IsArray()) {
    Parent.At(std::stoul(Last)) = std::move(V);
  } else {
    Parent.Put(TKey(Last), std::move(V));
  }
}

void RemoveAt(TGame& G, const std::string& Pointer) {
  std::string Last;
  TJson& Parent = Node(G, Pointer, true, Last);
  if (Parent.IsArray()) {
    Parent.Erase(std::stoul(Last));
  } else {
    Parent.Remove(TKey(Last));
  }
}

TJson FixtureScenario(int Number) {
  TGame G;
  G.Data = std::make_unique<TJson>(FixtureCampaign());
  TJson* Doc = G.Data.get();
  // A world book holds only the date and the records; a new campaign adds the rest.
  for (const char* Key : {"schemaVersion", "appVersion", "rng", "seed", "humanCount", "difficulty", "ended", "result",
                          "town", "townActor", "townAttempts", "beastNotices", "queue", "queueIndex", "queueOwners",
                          "ledger"})
    Doc->Remove(TKey(std::string_view(Key)));
  TJson* Factions = TGame::List(Doc, "factions");
  while (Factions->Size() > 11) Factions->Erase(Factions->Size() - 1);

  const int Starts[][2] = {{3, 316}, {6, 321}, {11, 322}, {1, 320}};
  TGame::Put(Doc, "month", Starts[Number - 1][0]);
  TGame::Put(Doc, "year", Starts[Number - 1][1]);
  const int Settled = Number == 1 ? 0 : Number == 4 ? 5 : 10;
  for (int Fid = 1; Fid <= 10; ++Fid) {
    // Leader f stands in province f and its companion, character 20 + f, beside it.
    if (Fid <= Settled) {
      Place(G, Fid, Fid, Fid, "leader");
      Place(G, 20 + Fid, Fid, Fid, "follower");
      Own(G, Fid, Fid, Fid);
      TGame::Put(G.F(Fid), "home", Fid);
    } else {
      Place(G, Fid, Fid, Fid, "exile");
      Place(G, 20 + Fid, Fid, Fid, "exile");
      TJson* Party = TGame::PushRecord(TGame::List(Doc, "exileParties"));
      TGame::Put(Party, "leader", Fid);
      TGame::Put(Party, "province", Fid);
      TGame::Put(Party, "food", 40);
      TGame::Put(Party, "gold", 30);
    }
    TGame::Put(G.F(Fid), "popularity", 20 * Fid);
  }
  Place(G, 11, 25, 11, "leader");
  Place(G, 60, 25, 11, "sworn companion");
  Place(G, 61, 26, 11, "follower");
  Own(G, 25, 11, 11);
  Own(G, 26, 11, 61);
  TGame::Put(G.F(11), "home", 25);
  TGame::Put(G.F(11), "popularity", 300);
  if (Number == 3)
    SetAt(G, "/treaties", ParseJson(R"([{"a":1,"b":2,"years":2},{"a":3,"b":11,"years":1}])"));
  return std::move(*G.Data);
}

std::string WriteFixtureWorld(const std::string& Folder) {
  TJson Book = TJson::Object(), Scenarios = TJson::Array();
  for (int K = 1; K <= 4; ++K) Scenarios.Push(FixtureScenario(K));
  Book.Add("scenarios", std::move(Scenarios));
  const std::string File = Folder + "/world.json";
  std::ofstream(File, std::ios::binary) << WriteJson(Book);
  return File;
}

std::string FreshFolder(const std::string& Name) {
  namespace fs = std::filesystem;
  fs::path Folder = fs::temp_directory_path() / ("kestmarch-test-" + std::to_string(getpid())) / Name;
  fs::remove_all(Folder);
  fs::create_directories(Folder);
  return Folder.string();
}

TJson* OpenField(TGame& G) {
  TJson Bt = ParseJson(R"({"origin":2,"destination":1,"attacker":2,"defender":1,"day":1,"side":0,"weather":0,
    "wind":0,"castleHold":0,"defensePrompt":false,"deploy":false,"terrain":[],"units":[],"reserve":[],"fires":[],
    "food1":50,"food0":50,"skill1":0,"arms1":0,"skill0":0,"arms0":0,"commander0":1,"commander1":2})");
  TJson* Terrain = Bt.Find("terrain");
  for (int I = 0; I < FieldCells; ++I) Terrain->Push(TJson(0));
  G.Data->Put("battle", std::move(Bt));
  return G.Battle();
}

int64_t Deploy(TGame& G, int CID, int Side, int Q, int R) {
  TJson* U = TGame::PushRecord(TGame::List(G.Battle(), "units"));
  TGame::Put(U, "char", CID);
  TGame::Put(U, "side", Side);
  TGame::Put(U, "q", Q);
  TGame::Put(U, "r", R);
  TGame::Put(U, "active", true);
  TGame::Put(U, "spent", false);
  TGame::Put(U, "arrows", 1);
  TGame::Put(U, "dazzled", false);
  return int64_t(TGame::Len(TGame::List(G.Battle(), "units")) - 1);
}

TGame Foresee(const TGame& G) {
  TGame R;
  R.Data = std::make_unique<TJson>(TJson::Object());
  TGame::Put(R.Data.get(), "rng", TGame::N(G.Data.get(), "rng"));
  return R;
}

bool Logged(const TGame& G, const std::string& Line) {
  return std::find(G.Log.begin(), G.Log.end(), Line) != G.Log.end();
}

void Ground(TGame& G, int Q, int R, int Code) {
  TGame::PutAt(TGame::List(G.Battle(), "terrain"), size_t(R * FieldCols + Q), Code);
}
