// The invariants a campaign document must hold before it is saved or after it
// is loaded. The first broken one is reported; later rules rely on all of them.
#include "kv_model.h"

namespace {

struct TBounds {
  TKey Key;
  int64_t Hi;
};

// In the order they are checked.
const TBounds ProvinceBounds[] = {
    {"gold", 9999}, {"food", 9999}, {"metal", 999}, {"fur", 999}, {"skill", 100}, {"arms", 100},
    {"support", 100}, {"flood", 100}, {"land", 100}, {"wealth", 100}, {"rate", 100},
};

bool Within(int64_t V, int64_t Lo, int64_t Hi) { return V >= Lo && V <= Hi; }

bool IntegersWithin(const TJson* L, int64_t Lo, int64_t Hi) {
  for (size_t I = 0; I < TGame::Len(L); ++I)
    if (!Within(TGame::NAt(L, I, Lo - 1), Lo, Hi)) return false;
  return true;
}

// A battle saved mid-fight is restored as it stood, so everything the battle
// rules index by must be in range.
std::string BattleProblem(const TJson* Doc, int64_t FactionCount) {
  const TJson* Bt = TGame::Obj(Doc, "battle");
  if (!Bt) return "Invalid battle record.";
  const TJson *Terrain = TGame::List(Bt, "terrain"), *Units = TGame::List(Bt, "units");
  const TJson *Reserve = TGame::List(Bt, "reserve"), *Fires = TGame::List(Bt, "fires");
  if (!Within(TGame::N(Bt, "origin"), 1, 49) || !Within(TGame::N(Bt, "destination"), 1, 49) ||
      !Within(TGame::N(Bt, "attacker"), 1, FactionCount) || !Within(TGame::N(Bt, "defender"), 0, FactionCount) ||
      !Within(TGame::N(Bt, "day"), 1, 30) || !Within(TGame::N(Bt, "side"), 0, 1) ||
      !Within(TGame::N(Bt, "weather"), 0, 3) || !Within(TGame::N(Bt, "wind"), 0, 5) ||
      !Within(TGame::N(Bt, "commander0"), 0, 255) || !Within(TGame::N(Bt, "commander1"), 0, 255) || !Units ||
      !Reserve || !Fires || !IntegersWithin(Reserve, 1, 255) || !IntegersWithin(Fires, 0, FieldCells - 1))
    return "Invalid battle record.";
  if (TGame::Len(Terrain) != size_t(FieldCells) || !IntegersWithin(Terrain, GPlain, GIce))
    return "Invalid battlefield terrain.";
  for (size_t I = 0; I < TGame::Len(Units); ++I) {
    const TJson* U = TGame::Item(Units, I);
    if (!TGame::IsRecord(U) || !Within(TGame::N(U, "char"), 1, 255) || !Within(TGame::N(U, "side"), 0, 1) ||
        !Within(TGame::N(U, "q"), 0, FieldCols - 1) || !Within(TGame::N(U, "r"), 0, FieldRows - 1))
      return "Invalid battle unit.";
  }
  return "";
}

}  // namespace

std::string TGame::Validate() const {
  if (!Data) return "No campaign.";
  const TJson* Doc = Data.get();
  if (Len(List(Doc, "provinces")) != 49 || Len(List(Doc, "characters")) != 255)
    return "Incorrect world dimensions.";

  int64_t Occupants[50] = {};
  for (int64_t I = 1; I <= 255; ++I) {
    TJson* Ch = C(I);
    int64_t Pid = N(Ch, "province");
    if (!Within(Pid, 1, 49)) return "Invalid character location.";
    int64_t Fid = N(Ch, "faction");
    if (B(Ch, "alive") && Fid > 0 && S(Ch, "role") != "exile" && !B(Ch, "overflow") &&
        (Fid == N(P(Pid), "owner") || B(Ch, "captured")))
      ++Occupants[Pid];
  }

  const int64_t FactionCount = int64_t(Len(List(Doc, "factions")));
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    TJson* Pr = P(Pid);
    const std::string Id = std::to_string(Pid);
    if (N(Pr, "id") != Pid) return "Province IDs are inconsistent.";
    for (const TBounds& Bd : ProvinceBounds)
      if (!Within(N(Pr, Bd.Key), 0, Bd.Hi)) return std::string(Bd.Key.Name) + " outside bounds.";
    int64_t Owner = N(Pr, "owner");
    if (!Within(Owner, 0, FactionCount)) return "Invalid owner.";
    if (Occupants[Pid] > 5 * N(Pr, "castles")) return "Province " + Id + " exceeds character capacity.";
    if (Owner > 0 && !Local(N(Pr, "governor"), Pid, Owner)) return "Province " + Id + " has no valid local governor.";
  }

  for (int64_t I = 1; I <= 255; ++I) {
    TJson* Ch = C(I);
    if (!Within(N(Ch, "soldiers"), 0, 100)) return "Invalid soldiers.";
    if (!Within(N(Ch, "body"), 0, N(Ch, "bodyMax"))) return "Invalid Body.";
    if (!Within(N(Ch, "province"), 1, 49)) return "Invalid character location.";
  }

  if (Has(Doc, "beastNotices")) {
    TJson* Notices = List(Doc, "beastNotices");
    if (!Notices) return "Invalid beast notifications.";
    for (size_t I = 0; I < Len(Notices); ++I) {
      TJson* Nt = Item(Notices, I);
      if (!IsRecord(Nt)) return "Invalid beast notification.";
      if (!Within(N(Nt, "province"), 1, 49) || !Within(N(Nt, "beast"), 1, 4))
        return "Invalid beast notification location/species.";
      int64_t Before = N(Nt, "foodBefore"), Loss = N(Nt, "foodLoss"), After = N(Nt, "foodAfter");
      if (!Within(Before, 0, 9999) || Loss < 0 || After < 0 || Before - After != Loss)
        return "Invalid beast notification food loss.";
    }
  }

  if (!Within(N(Doc, "month"), 1, 12)) return "Invalid date.";

  // Beyond the checks above: shapes that would crash or corrupt a rule later.
  for (const TKey& Key : {TKey("factions"), TKey("treaties"), TKey("exileParties"), TKey("queue")})
    if (!List(Doc, Key)) return "The campaign has no " + std::string(Key.Name) + " list.";
  for (const TKey& Key : {TKey("treaties"), TKey("exileParties")}) {
    TJson* L = List(Doc, Key);
    for (size_t I = 0; I < Len(L); ++I)
      if (!IsRecord(Item(L, I))) return "Invalid record in " + std::string(Key.Name) + ".";
  }
  if (FactionCount < 255) return "Faction records are incomplete.";
  for (int64_t Fid = 1; Fid <= FactionCount; ++Fid)
    if (N(F(Fid), "id") != Fid) return "Faction IDs are inconsistent.";

  TJson* Queue = List(Doc, "queue");
  int64_t Index = N(Doc, "queueIndex");
  if (!Within(Index, 0, int64_t(Len(Queue)))) return "Invalid queue position.";
  for (size_t I = 0; I < Len(Queue); ++I) {
    int64_t Entry = NAt(Queue, I);
    if (!Within(Entry, 1, 49) && !Within(-Entry, 1, FactionCount)) return "Invalid queue entry.";
  }
  if (Has(Doc, "queueOwners") && !Obj(Doc, "queueOwners")) return "Invalid queue owners.";

  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    TJson* Pr = P(Pid);
    const std::string Id = std::to_string(Pid);
    TJson* Near = List(Pr, "neighbors");
    if (Len(Near) == 0) return "Province " + Id + " has no neighbors.";
    for (size_t I = 0; I < Len(Near); ++I)
      if (!Within(NAt(Near, I), 1, 49)) return "Province " + Id + " has an invalid neighbor.";
    if (!Within(N(Pr, "castles"), 0, 7)) return "castles outside bounds.";
  }
  for (int64_t I = 1; I <= 255; ++I) {
    if (!Obj(C(I), "xp")) return "Character " + std::to_string(I) + " has no experience record.";
  }
  if (B(Doc, "town") && !List(Doc, "townAttempts")) return "Invalid town visit.";
  // Every draw writes the generator back in place: it must be there to be written.
  if (!Has(Doc, "rng") || N(Doc, "rng", -1) < 0) return "The campaign has no random state.";
  if (Has(Doc, "battle")) return BattleProblem(Doc, FactionCount);
  return "";
}
