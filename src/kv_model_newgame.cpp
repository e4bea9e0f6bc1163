// The world book and new campaigns: a scenario is copied, stamped with the
// players' choices, the difficulty and the seed, and given its first month's
// turn order.
//
// The new document is built apart from the running one and takes its place
// only once every step has succeeded, so a refused start (a broken rules
// file, a scenario that already holds a key we add, an invalid leader) leaves
// the previous campaign loaded and playable.
#include "kv_files.h"
#include "kv_model.h"

#include <stdexcept>

namespace {

constexpr int64_t ScenarioCount = 4, ProvinceCount = 49, CharacterCount = 255, BookFactions = 11;
constexpr int64_t FactionSlots = 255, MaxPlayers = 7, ChoosableLeaders = 10;

// Describes the first way a scenario breaks what the setup screen and a new
// campaign index blindly; empty when it has the shape they need.
class TScenarioCheck {
 public:
  explicit TScenarioCheck(int64_t Number) : Prefix("Scenario " + std::to_string(Number)) {}

  std::string Problem(const TJson* S) {
    if (!TGame::IsRecord(S)) return Prefix + " is not an object.";
    if (!Records(S, "provinces", "province", ProvinceCount) ||
        !Records(S, "characters", "character", CharacterCount) || !Records(S, "factions", "faction", BookFactions))
      return Error;
    for (const TKey& Key : {TKey("treaties"), TKey("exileParties")})
      if (!TGame::List(S, Key)) return Prefix + " has no " + std::string(Key.Name) + " list.";
    if (!Within(S, "", "month", 1, 12)) return Error;

    TJson* Provinces = TGame::List(S, "provinces");
    for (int64_t Id = 1; Id <= ProvinceCount; ++Id) {
      TJson* P = TGame::Item(Provinces, size_t(Id - 1));
      const std::string What = ", province " + std::to_string(Id);
      if (TGame::N(P, "id") != Id) return Prefix + What + ": its id must be " + std::to_string(Id) + ".";
      if (!Within(P, What, "owner", 0, BookFactions) || !Within(P, What, "governor", 0, CharacterCount))
        return Error;
      TJson* Near = TGame::List(P, "neighbors");
      if (TGame::Len(Near) == 0) return Prefix + What + ": it has no neighbors.";
      for (size_t I = 0; I < TGame::Len(Near); ++I) {
        int64_t Next = TGame::NAt(Near, I, 0);
        if (Next < 1 || Next > ProvinceCount)
          return Prefix + What + ": neighbor " + std::to_string(Next) + " is outside 1..49.";
      }
    }
    TJson* Characters = TGame::List(S, "characters");
    for (int64_t Id = 1; Id <= CharacterCount; ++Id) {
      TJson* C = TGame::Item(Characters, size_t(Id - 1));
      const std::string What = ", character " + std::to_string(Id);
      if (!Within(C, What, "province", 1, ProvinceCount) || !Within(C, What, "faction", 0, BookFactions) ||
          !Within(C, What, "superior", 0, CharacterCount))
        return Error;
    }
    TJson* Factions = TGame::List(S, "factions");
    for (int64_t Id = 1; Id <= BookFactions; ++Id) {
      TJson* F = TGame::Item(Factions, size_t(Id - 1));
      const std::string What = ", faction " + std::to_string(Id);
      if (TGame::N(F, "id") != Id || TGame::N(F, "leader") != Id)
        return Prefix + What + ": its id and leader must be " + std::to_string(Id) + ".";
      if (!Within(F, What, "home", 0, ProvinceCount)) return Error;
    }
    TJson* Parties = TGame::List(S, "exileParties");
    for (size_t I = 0; I < TGame::Len(Parties); ++I) {
      TJson* Party = TGame::Item(Parties, I);
      const std::string What = ", exile party " + std::to_string(I + 1);
      if (!TGame::IsRecord(Party)) return Prefix + What + " is not an object.";
      if (!Within(Party, What, "leader", 1, BookFactions) || !Within(Party, What, "province", 1, ProvinceCount))
        return Error;
    }
    return "";
  }

 private:
  std::string Prefix, Error;

  bool Records(const TJson* S, const TKey& Key, const char* Record, int64_t Count) {
    TJson* L = TGame::List(S, Key);
    bool Ok = int64_t(TGame::Len(L)) == Count;
    for (size_t I = 0; Ok && I < TGame::Len(L); ++I) Ok = TGame::IsRecord(TGame::Item(L, I));
    if (!Ok) Error = Prefix + " must hold " + std::to_string(Count) + " " + Record + " records.";
    return Ok;
  }

  // A missing number reads as 0, as everywhere in the model.
  bool Within(const TJson* O, const std::string& What, const TKey& Key, int64_t Lo, int64_t Hi) {
    int64_t V = TGame::N(O, Key);
    if (V >= Lo && V <= Hi) return true;
    Error = Prefix + What + ": " + std::string(Key.Name) + " " + std::to_string(V) + " is outside " +
            std::to_string(Lo) + ".." + std::to_string(Hi) + ".";
    return false;
  }
};

std::string WorldBookProblem(const TJson& Book) {
  TJson* Scenarios = TGame::List(&Book, "scenarios");
  if (!Scenarios) return "The world book has no scenarios.";
  if (TGame::Len(Scenarios) != ScenarioCount)
    return "The world book must hold 4 scenarios; it holds " + std::to_string(TGame::Len(Scenarios)) + ".";
  for (int64_t K = 1; K <= ScenarioCount; ++K) {
    std::string E = TScenarioCheck(K).Problem(TGame::Item(Scenarios, size_t(K - 1)));
    if (!E.empty()) return E;
  }
  return "";
}

std::string RulesFileBeside(const std::string& WorldFile) {
  std::string Folder = FolderOf(WorldFile);
  return Folder.empty() ? "rules.json" : Folder + "/rules.json";
}

}  // namespace

TJson ReadWorldBook(const std::string& FileName) {
  TJson Book = ParseJson(ReadTextFile(FileName));
  std::string Problem = WorldBookProblem(Book);
  if (!Problem.empty()) throw std::runtime_error(Problem);
  return Book;
}

void TGame::NewGame(const std::string& FileName, int64_t Scenario, int64_t LeaderCount, int64_t Difficulty,
                    const std::vector<int64_t>& Leaders, uint32_t Seed) {
  TGame Fresh;
  Fresh.RandTrace = RandTrace;
  {
    TJson Book = ReadWorldBook(FileName);
    TJson* Chosen = Item(List(&Book, "scenarios"), size_t(Bound(Scenario, 1, ScenarioCount) - 1));
    Fresh.Data = std::make_unique<TJson>(std::move(*Chosen));
  }
  TJson* Doc = Fresh.Data.get();
  const std::string RulesFile = RulesFileBeside(FileName);
  if (FileExists(RulesFile)) Doc->Add("rules", ParseJson(ReadTextFile(RulesFile)));

  Put(Doc, "schemaVersion", 1);
  Put(Doc, "appVersion", "0.1.0");
  const int64_t State = Seed == 0 ? 1 : int64_t(Seed);
  Add(Doc, "rng", State);
  Add(Doc, "seed", State);
  Put(Doc, "humanCount", LeaderCount);
  Put(Doc, "difficulty", Bound(Difficulty, 1, 5));
  Put(Doc, "ended", false);
  Put(Doc, "result", "");
  Put(Doc, "town", false);
  AddList(Doc, "beastNotices");

  // Every character of the world may one day found a fellowship of its own id.
  for (int64_t K = BookFactions + 1; K <= FactionSlots; ++K) {
    TJson* Rec = PushRecord(List(Doc, "factions"));
    Put(Rec, "id", K);
    Put(Rec, "leader", K);
    Put(Rec, "home", 0);
    Put(Rec, "popularity", 0);
    Put(Rec, "writ", false);
    Put(Rec, "human", false);
    Put(Rec, "active", false);
  }
  for (int64_t K = 1; K <= BookFactions; ++K) {
    Put(Fresh.F(K), "human", false);
    Put(Fresh.F(K), "active", true);
  }

  // A count beyond the leaders given would read choices nobody made.
  if (LeaderCount < 0 || LeaderCount > MaxPlayers || LeaderCount > int64_t(Leaders.size()))
    throw std::runtime_error("Invalid human leader.");
  for (int64_t I = 0; I < LeaderCount; ++I) {
    int64_t Leader = Leaders[size_t(I)];
    if (Leader < 1 || Leader > ChoosableLeaders) throw std::runtime_error("Invalid human leader.");
    if (B(Fresh.F(Leader), "human")) throw std::runtime_error("Each player must choose a different leader.");
    Put(Fresh.F(Leader), "human", true);
  }

  for (int64_t K = 1; K <= CharacterCount; ++K) {
    TJson* Ch = Fresh.C(K);
    Put(Ch, "alive", true);
    Put(Ch, "captured", false);
    if (!Has(Ch, "faction")) Put(Ch, "faction", 0);
  }
  for (int64_t K = 1; K <= ProvinceCount; ++K) {
    TJson* Pr = Fresh.P(K);
    Put(Pr, "snow", false);
    Put(Pr, "beast", 0);
    Put(Pr, "epidemic", 0);
  }
  AddList(Doc, "queue");
  Add(Doc, "queueIndex", 0);
  AddList(Doc, "ledger");
  Fresh.MakeQueue();

  Data = std::move(Fresh.Data);
  Log.clear();
  Note("A new fellowship rises in the Ondrel Empire.");
}
