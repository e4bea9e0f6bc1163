// kv_worldgen: writes the world book (four scenarios) and the default rules file.
//
//   kv_worldgen FOLDER    writes FOLDER/world.json and FOLDER/rules.json
//
// The output is deterministic and committed under assets/data; run the
// "world" build target after changing anything here. Geography is read off
// the atlas, so the neighbours a player sees on the map are the neighbours
// the rules use.
#include "kv_atlas.h"
#include "kv_json.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const ProvinceNames[49] = {
    "Frostmere",     "Hollin Reach",   "Greywater",    "Thornwick",    "Elder Fen",      "Caddow Heights",
    "Wolfsholm",     "Brackenford",    "Ravensbrook",  "Saltmarsh",    "Windle Moor",    "Ashcombe",
    "Harrowdale",    "Coldspring",     "Mirefield",    "Kestrel Ford", "Amberlea",       "Stonebridge",
    "Willowmere",    "Dunmarrow",      "Gullhaven",    "Reedholm",     "Larkspur Vale",  "Ondrel Crossing",
    "Highcourt",     "Fairmead",       "Tidewell",     "Lowenmarch",   "Heronsgate",     "Millbourne",
    "Sedgewater",    "Copperhythe",    "Marrowdown",   "Blackwater",   "Sandwick",       "Oxleigh",
    "Fennick Hollow", "Briarholt",     "Glenmaw",      "Rushmere",     "Eelbrook",       "Southfleet",
    "Pellow Marsh",  "Duskwater",      "Cinderlow",    "Tarnhaven",    "Wrenfield",      "Saltcombe",
    "Emberquay",
};

// The ten leaders a player may choose, and the Chancellor.
struct TLeader {
  const char* Name;
  const char* Pronouns;
  const char* Profession;
};
const TLeader Leaders[11] = {
    {"Corran Vale", "he/him", "outlaw"},       {"Osric Brand", "he/him", "wrestler"},
    {"Evan Rook", "he/him", "hunter"},         {"Tamsin Hale", "she/her", "scholar"},
    {"Garrick Thorne", "he/him", "artisan"},   {"Maren Sollis", "she/her", "doctor"},
    {"Haldor Crane", "he/him", "fisher"},      {"Rusk Varga", "he/him", "trader"},
    {"Idris Fenwick", "they/them", "mystic"},  {"Wren Calloway", "she/her", "performer"},
    {"Morvane", "he/him", "courtier"},
};

const std::vector<std::string> SheNames = {
    "Alys",  "Brenna", "Cerys",  "Dara",   "Elin",   "Faye",   "Gwenna", "Hesper", "Ione",  "Jessamy",
    "Kerra", "Linnet", "Mabry",  "Nessa",  "Orla",   "Peronel", "Quenna", "Rhosyn", "Sabel", "Tegan",
    "Ysolde", "Merrin", "Anwen", "Briony", "Callis", "Delphine", "Eira",  "Hollis", "Isolde", "Juniper"};
const std::vector<std::string> HeNames = {
    "Aldous", "Bram",   "Cadoc",  "Dunstan", "Edric", "Fenn",   "Gideon", "Hamlyn", "Ivor",   "Jory",
    "Kell",   "Leofric", "Madoc", "Nye",     "Oswin", "Piran",  "Roderic", "Sten",  "Tobin",  "Ulric",
    "Vance",  "Wat",    "Yorick", "Alaric",  "Benedek", "Colm", "Darrow", "Emrys",  "Gawen",  "Hob"};
const std::vector<std::string> TheyNames = {"Ash",   "Ember", "Sorrel", "Lark",  "Marlow", "Quill",
                                            "Sable", "Tansy", "Rue",    "Linden", "Cass",  "Sparrow"};
const std::vector<std::string> Families = {
    "Alder",   "Ashby",  "Barrow",  "Bracken", "Carrow",  "Dunmore", "Elsby",   "Fallow",  "Garner", "Hawthorne",
    "Ingram",  "Jessop", "Kettle",  "Lowe",    "Marsh",   "Nettle",  "Oakes",   "Pike",    "Quarry", "Reed",
    "Sallow",  "Tanner", "Underhill", "Vetch", "Weir",    "Yarrow",  "Cobb",    "Ferrier", "Gault",  "Harrow",
    "Locke",   "Mercer", "Pell",    "Rushby",  "Stroud",  "Thatcher", "Tolley", "Birch",   "Coppe",  "Dewhurst",
    "Fenner",  "Gorse",  "Halloway", "Kemble", "Lathe",   "Moss",    "Orchard", "Penrose", "Sedge",  "Wicken"};

// Professions in the mix a riverland town would have.
const char* const Trades[] = {"fisher",   "fisher",   "trader",  "trader",    "hunter",  "hunter", "artisan",
                              "artisan",  "innkeeper", "doctor", "scholar",   "mystic",  "wrestler",
                              "courtier", "performer", "performer", "outlaw", "outlaw"};

// The leaders' starting provinces: spread around the empire, clear of the court.
const int Starts[10] = {1, 4, 7, 15, 20, 30, 35, 43, 46, 49};
constexpr int CourtHome = 25;

// A small deterministic generator for the authored numbers; the game's own
// generator lives in the campaign document and is not used here.
struct TDice {
  uint32_t State = 20260611u;
  int Roll(int Lo, int Hi) {
    State ^= State << 13;
    State ^= State >> 17;
    State ^= State << 5;
    return Lo + int(State % uint32_t(Hi - Lo + 1));
  }
};

struct TGeography {
  std::array<std::vector<int>, 50> Near;
  std::array<bool, 50> River{}, Coast{};
};

TGeography ReadAtlas() {
  TAtlas Atlas;
  TGeography G;
  std::array<std::set<int>, 50> Near;
  for (int Y = 0; Y < AtlasH; ++Y)
    for (int X = 0; X < AtlasW; ++X) {
      const int Id = Atlas.At(X, Y);
      if (Id == 0) continue;
      const int Around[4] = {Atlas.At(X + 1, Y), Atlas.At(X - 1, Y), Atlas.At(X, Y + 1), Atlas.At(X, Y - 1)};
      for (int Other : Around) {
        if (Other == 0) G.Coast[Id] = true;
        else if (Other != Id) Near[Id].insert(Other);
      }
    }
  for (int I = 1; I <= 49; ++I) G.Near[I].assign(Near[I].begin(), Near[I].end());
  G.River = Atlas.OnRiver;
  return G;
}

TJson Ints(const std::vector<int>& Values) {
  TJson A = TJson::Array();
  for (int V : Values) A.Push(V);
  return A;
}

std::vector<std::string> CharacterNames() {
  std::vector<std::string> Names(256);
  std::set<std::string> Taken;
  for (int I = 1; I <= 11; ++I) Taken.insert(Names[I] = Leaders[I - 1].Name);
  for (int I = 12; I <= 255; ++I) {
    const int Kind = I % 7;
    const auto& Given = Kind < 3 ? SheNames : Kind < 6 ? HeNames : TheyNames;
    for (int Try = 0;; ++Try) {
      std::string Name = Given[size_t(I * 7 + Try) % Given.size()] + " " + Families[size_t(I * 11 + Try * 3) % Families.size()];
      if (Taken.insert(Name).second) {
        Names[I] = Name;
        break;
      }
    }
  }
  return Names;
}

const char* PronounsOf(int I) {
  if (I <= 11) return Leaders[I - 1].Pronouns;
  const int Kind = I % 7;
  return Kind < 3 ? "she/her" : Kind < 6 ? "he/him" : "they/them";
}

// The world every scenario shares: the land, its people and their natures.
struct TWorld {
  TGeography Geo;
  std::vector<TJson> Provinces;   // index 1..49
  std::vector<TJson> Characters;  // index 1..255
};

TWorld MakeWorld() {
  TWorld W{ReadAtlas(), std::vector<TJson>(50), std::vector<TJson>(256)};
  TDice D;
  for (int I = 1; I <= 49; ++I) {
    TJson P = TJson::Object();
    P.Add("id", I);
    P.Add("name", ProvinceNames[I - 1]);
    P.Add("neighbors", Ints(W.Geo.Near[I]));
    P.Add("owner", 0);
    P.Add("governor", 0);
    P.Add("gold", D.Roll(80, 450));
    P.Add("food", D.Roll(150, 900));
    P.Add("metal", D.Roll(0, 160));
    P.Add("fur", D.Roll(0, 120));
    P.Add("skill", D.Roll(5, 35));
    P.Add("arms", D.Roll(5, 35));
    P.Add("support", D.Roll(25, 65));
    P.Add("flood", D.Roll(15, 70));
    P.Add("land", D.Roll(20, 75));
    P.Add("wealth", D.Roll(15, 70));
    P.Add("rate", D.Roll(40, 80));
    P.Add("castles", I == CourtHome ? 7 : D.Roll(1, 5));
    P.Add("snow", false);
    P.Add("beast", 0);
    P.Add("epidemic", 0);
    P.Add("riot", false);
    P.Add("policy", "Balanced");
    P.Add("smithy", I == CourtHome || D.Roll(0, 2) == 0);
    P.Add("shipyard", W.Geo.Coast[I] && D.Roll(0, 1) == 0);
    P.Add("river", W.Geo.River[I]);
    P.Add("mapSeed", 104729 + 7919 * I);
    P.Add("r", (I - 1) / 7);
    W.Provinces[size_t(I)] = std::move(P);
  }

  const std::vector<std::string> Names = CharacterNames();
  for (int I = 1; I <= 255; ++I) {
    const bool Leader = I <= 11;
    const std::string Profession = Leader ? Leaders[I - 1].Profession : Trades[D.Roll(0, int(std::size(Trades)) - 1)];
    const int BodyMax = Leader ? D.Roll(85, 100) : D.Roll(55, 100);
    TJson Xp = TJson::Object();
    Xp.Add("strength", 0);
    Xp.Add("dexterity", 0);
    Xp.Add("wisdom", 0);
    TJson C = TJson::Object();
    C.Add("name", Names[size_t(I)]);
    C.Add("profession", Profession);
    C.Add("pronouns", PronounsOf(I));
    C.Add("age", I == 11 ? 58 : Leader ? D.Roll(24, 46) : D.Roll(16, 68));
    C.Add("province", (I * 17) % 49 + 1);
    C.Add("faction", 0);
    C.Add("role", "free");
    C.Add("superior", 0);
    C.Add("body", BodyMax);
    C.Add("bodyMax", BodyMax);
    C.Add("strength", Leader ? D.Roll(45, 85) : D.Roll(15, 90));
    C.Add("dexterity", Leader ? D.Roll(45, 85) : D.Roll(15, 90));
    C.Add("wisdom", Leader ? D.Roll(45, 85) : D.Roll(15, 90));
    C.Add("integrity", D.Roll(0, 100));
    C.Add("mercy", I == 11 ? 10 : D.Roll(0, 100));
    C.Add("courage", D.Roll(0, 100));
    C.Add("loyalty", Leader ? 100 : D.Roll(35, 90));
    C.Add("soldiers", Leader ? D.Roll(30, 50) : D.Roll(0, 25));
    C.Add("ship", Profession == "fisher" && D.Roll(0, 3) == 0);
    C.Add("navigator", Profession == "fisher" || (Profession == "trader" && D.Roll(0, 2) == 0));
    C.Add("xp", std::move(Xp));
    C.Add("alive", true);
    C.Add("captured", false);
    C.Add("captor", 0);
    C.Add("overflow", false);
    C.Add("resolved", false);
    W.Characters[size_t(I)] = std::move(C);
  }
  return W;
}

struct TScenario {
  int Year, Month;
  bool Exiles;       // every leader on the road
  int ExtraLands;    // provinces each fellowship holds beside its home
  int Sworn;         // sworn companions of each leader
  std::vector<std::array<int, 3>> Treaties;  // a, b, years
};

// The leader's companions: characters 12.. two each; the court's are 32..37.
int Companion(int Fid, int K) { return 12 + 2 * (Fid - 1) + K; }
const int CourtPeople[6] = {32, 33, 34, 35, 36, 37};

void Join(TJson& C, int Fid, int Pid, const char* Role) {
  C.Put("faction", Fid);
  C.Put("superior", Fid);
  C.Put("province", Pid);
  C.Put("role", Role);
}

TJson Scenario(const TWorld& W, const TScenario& S) {
  std::vector<TJson> Provinces(W.Provinces.begin() + 1, W.Provinces.end());
  std::vector<TJson> Characters(W.Characters.begin() + 1, W.Characters.end());
  auto Prov = [&](int Id) -> TJson& { return Provinces[size_t(Id - 1)]; };
  auto Person = [&](int Id) -> TJson& { return Characters[size_t(Id - 1)]; };
  auto Own = [&](int Pid, int Fid, int Governor) {
    Prov(Pid).Put("owner", Fid);
    Prov(Pid).Put("governor", Governor);
  };
  std::vector<bool> Taken(50, false);
  TJson Parties = TJson::Array();

  // The court: Morvane at Highcourt and three neighbouring provinces held by his people.
  Join(Person(11), 11, CourtHome, "leader");
  Person(11).Put("superior", 0);
  Own(CourtHome, 11, 11);
  Taken[CourtHome] = true;
  for (int I : Starts) Taken[size_t(I)] = true;
  std::vector<int> Around;
  for (int Pid : W.Geo.Near[CourtHome])
    if (!Taken[size_t(Pid)]) Around.push_back(Pid);
  for (size_t K = 0; K < 6; ++K) {
    const int Pid = K < 3 && K < Around.size() ? Around[K] : CourtHome;
    Join(Person(CourtPeople[K]), 11, Pid, K % 2 ? "sworn companion" : "follower");
    if (Pid != CourtHome) {
      Own(Pid, 11, CourtPeople[K]);
      Taken[size_t(Pid)] = true;
    }
  }

  for (int Fid = 1; Fid <= 10; ++Fid) {
    const int Home = Starts[Fid - 1];
    if (S.Exiles) {
      Join(Person(Fid), Fid, Home, "exile");
      Person(Fid).Put("superior", 0);
      for (int K = 0; K < 2; ++K) Join(Person(Companion(Fid, K)), Fid, Home, "exile");
      TJson Party = TJson::Object();
      Party.Add("leader", Fid);
      Party.Add("province", Home);
      Party.Add("food", 60 + 5 * Fid);
      Party.Add("gold", 90 + 3 * Fid);
      Parties.Push(std::move(Party));
      continue;
    }
    Join(Person(Fid), Fid, Home, "leader");
    Person(Fid).Put("superior", 0);
    Own(Home, Fid, Fid);
    for (int K = 0; K < 2; ++K) Join(Person(Companion(Fid, K)), Fid, Home, K < S.Sworn ? "sworn companion" : "follower");
    // Further lands next door, each governed by a companion who stands there.
    int Held = 0;
    for (int Pid : W.Geo.Near[Home]) {
      if (Held == S.ExtraLands) break;
      if (Taken[size_t(Pid)]) continue;
      Taken[size_t(Pid)] = true;
      const int Governor = Companion(Fid, 1 - Held % 2);
      Person(Governor).Put("province", Pid);
      Own(Pid, Fid, Governor);
      ++Held;
    }
  }

  TJson Factions = TJson::Array();
  for (int Fid = 1; Fid <= 11; ++Fid) {
    TJson F = TJson::Object();
    F.Add("id", Fid);
    F.Add("leader", Fid);
    F.Add("home", S.Exiles && Fid <= 10 ? 0 : Fid == 11 ? CourtHome : Starts[Fid - 1]);
    F.Add("popularity", Fid == 11 ? 420 : (S.Exiles ? 20 : 70) + 9 * Fid);
    F.Add("writ", false);
    F.Add("human", false);
    F.Add("active", true);
    Factions.Push(std::move(F));
  }
  TJson Treaties = TJson::Array();
  for (const auto& T : S.Treaties) {
    TJson R = TJson::Object();
    R.Add("a", T[0]);
    R.Add("b", T[1]);
    R.Add("years", T[2]);
    Treaties.Push(std::move(R));
  }

  TJson Doc = TJson::Object();
  TJson P = TJson::Array(), C = TJson::Array();
  for (TJson& X : Provinces) P.Push(std::move(X));
  for (TJson& X : Characters) C.Push(std::move(X));
  Doc.Add("provinces", std::move(P));
  Doc.Add("characters", std::move(C));
  Doc.Add("factions", std::move(Factions));
  Doc.Add("treaties", std::move(Treaties));
  Doc.Add("exileParties", std::move(Parties));
  Doc.Add("month", S.Month);
  Doc.Add("year", S.Year);
  return Doc;
}

// One member per line down to the records of the lists, so that a modder can read and diff the book.
void WriteReadable(const TJson& V, std::string& Out, int Depth) {
  const std::string Pad(size_t(2 * Depth + 2), ' '), Close(size_t(2 * Depth), ' ');
  if (Depth >= 4 || V.Size() == 0 || (!V.IsObject() && !V.IsArray())) {
    WriteJson(V, Out);
    return;
  }
  Out += V.IsObject() ? "{\n" : "[\n";
  for (size_t I = 0; I < V.Size(); ++I) {
    Out += Pad;
    if (V.IsObject()) {
      WriteJsonString(V.KeyAt(I), Out);
      Out += ": ";
    }
    WriteReadable(V.At(I), Out, Depth + 1);
    Out += I + 1 < V.Size() ? ",\n" : "\n";
  }
  Out += Close + (V.IsObject() ? "}" : "]");
}

void WriteFile(const std::string& Name, const TJson& V) {
  std::string Text;
  WriteReadable(V, Text, 0);
  Text += "\n";
  std::ofstream Out(Name, std::ios::binary);
  Out << Text;
  if (!Out.flush()) throw std::runtime_error("Unable to write " + Name);
}

TJson Rules() {
  const std::pair<const char*, int> Defaults[] = {
      {"lightBody", 10},          {"standardBody", 15},        {"heavyBody", 20},        {"missionBody", 25},
      {"oathLoyalty", 95},        {"oathCompatibility", 70},   {"foodBuyCentsPerRate", 4}, {"foodSellCentsPerRate", 2},
      {"beastChancePercent", 5},  {"monthlyRecovery", 5},      {"taxSupport", 40},       {"writPopularity", 250},
      {"invasionYear", 327}};
  TJson R = TJson::Object();
  for (const auto& [Key, Value] : Defaults) R.Add(TKey(std::string_view(Key)), Value);
  return R;
}

}  // namespace

int main(int Argc, char** Argv) {
  if (Argc != 2) {
    std::cerr << "usage: kv_worldgen FOLDER\n";
    return 2;
  }
  try {
    const std::string Folder = Argv[1];
    const TWorld W = MakeWorld();
    const TScenario Scenarios[4] = {
        {315, 3, true, 0, 0, {}},                                // The Exiles
        {320, 4, false, 0, 0, {}},                               // Gathering Rain
        {321, 5, false, 1, 1, {{2, 5, 3}, {7, 9, 2}}},           // Verses of Defiance
        {322, 3, false, 2, 2, {{1, 3, 2}, {4, 8, 3}, {6, 10, 1}}},  // The Broken Banner
    };
    TJson Book = TJson::Object();
    TJson List = TJson::Array();
    for (const TScenario& S : Scenarios) List.Push(Scenario(W, S));
    Book.Add("scenarios", std::move(List));
    WriteFile(Folder + "/world.json", Book);
    WriteFile(Folder + "/rules.json", Rules());
  } catch (const std::exception& E) {
    std::cerr << "kv_worldgen: " << E.what() << "\n";
    return 1;
  }
  return 0;
}
