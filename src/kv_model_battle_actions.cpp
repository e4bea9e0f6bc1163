// Battle actions: one unit of the acting side does one of eleven things.
// Every condition is checked before anything changes or any number is
// drawn; a refusal is a sentence, never an exception.
#include "kv_model_battle.h"

#include <algorithm>
#include <cmath>
#include <queue>

using namespace Battlefield;

double TGame::UnitPower(int64_t U) const {
  TJson *Unit = UnitObj(U), *Bt = Battle();
  TJson* Ch = C(N(Unit, "char"));
  const int64_t Side = N(Unit, "side");
  return (N(Ch, "body") / 3.0 + double(N(Ch, "soldiers"))) * (N(Ch, "strength") / 100.0 + 0.5) *
         (N(Bt, Skill(Side)) / 100.0 + 0.5) * (N(Bt, Arms(Side)) / 200.0 + 0.75);
}

// Soldiers fall first; every point of loss beyond them costs 3 Body.
void TGame::Hit(int64_t U, int64_t Loss, int64_t Injury) {
  TJson* Unit = UnitObj(U);
  TJson* Ch = C(N(Unit, "char"));
  if (!B(Unit, "active") || !Ch) return;
  const int64_t Soldiers = N(Ch, "soldiers"), Excess = std::max<int64_t>(0, Loss - Soldiers);
  Put(Ch, "soldiers", std::max<int64_t>(0, Soldiers - Loss));
  Put(Ch, "body", std::max<int64_t>(0, N(Ch, "body") - Injury - 3 * Excess));
  if (N(Ch, "body") > 0) return;
  Put(Unit, "active", false);
  Put(Ch, "captured", true);
  Note(S(Ch, "name") + " is captured!");
}

namespace {

constexpr int32_t Unreached = 9999;

// The cost of entering a cell, or 0 where this mover cannot go.
int32_t EntryCost(int64_t Ground, const TJson* Mover) {
  switch (Ground) {
    case GPlain: return 3;
    case GForest: case GCastle: case GIce: return 4;
    case GHill: case GMarsh: return 5;
    case GMountain: return 0;
    case GRiver:
      if (!TGame::B(Mover, "ship")) return 0;
      return TGame::B(Mover, "navigator") ? 4 : 8;
    default: return 3;
  }
}

int64_t Allowance(const TJson* Mover, bool Charge) {
  const int64_t Full = TGame::N(Mover, "dexterity") / 20 + 8;
  return Charge ? std::max<int64_t>(4, Full / 2) : Full;
}

}  // namespace

// Cheapest costs from the unit's cell, searched cell by cell from the lowest
// cost up. A unit stops on a river cell and next to an enemy strong enough
// to hold it (a quarter of its soldiers or more).
TReachCosts TGame::Reachable(int64_t UnitId, bool Charge) const {
  TReachCosts Cost;
  Cost.fill(Unreached);
  TJson* Unit = UnitObj(UnitId);
  if (!B(Unit, "active") || !OnField(N(Unit, "q"), N(Unit, "r"))) return Cost;
  TJson* Mover = C(N(Unit, "char"));
  const int64_t Limit = Allowance(Mover, Charge), Strength = N(Mover, "soldiers");

  std::array<bool, FieldCells> Occupied{}, Held{}, Visited{};
  TJson* Units = List(Battle(), "units");
  for (size_t I = 0; I < Len(Units); ++I) {
    TJson* U = Item(Units, I);
    const int64_t Q = N(U, "q"), R = N(U, "r");
    if (!B(U, "active") || !OnField(Q, R)) continue;
    Occupied[size_t(CellOf(Q, R))] = true;
    if (N(U, "side") == N(Unit, "side") || N(C(N(U, "char")), "soldiers") * 4 < Strength) continue;
    for (int K = 0; K < 6; ++K)
      if (OnField(Q + StepQ[K], R + StepR[K])) Held[size_t(CellOf(Q + StepQ[K], R + StepR[K]))] = true;
  }

  TJson* Terrain = List(Battle(), "terrain");
  const int64_t Start = CellOf(N(Unit, "q"), N(Unit, "r"));
  using TEntry = std::pair<int32_t, int64_t>;  // cost, cell: the lowest cost first, then the lowest cell
  std::priority_queue<TEntry, std::vector<TEntry>, std::greater<TEntry>> Open;
  Cost[size_t(Start)] = 0;
  Open.push({0, Start});
  while (!Open.empty()) {
    const auto [Here, Cell] = Open.top();
    Open.pop();
    if (Visited[size_t(Cell)] || Here != Cost[size_t(Cell)]) continue;
    if (Here > Limit) break;
    Visited[size_t(Cell)] = true;
    if (Cell != Start && (NAt(Terrain, size_t(Cell)) == GRiver || Held[size_t(Cell)])) continue;
    const int64_t Q = Cell % FieldCols, R = Cell / FieldCols;
    for (int K = 0; K < 6; ++K) {
      const int64_t NQ = Q + StepQ[K], NR = R + StepR[K];
      if (!OnField(NQ, NR)) continue;
      const size_t Next = size_t(CellOf(NQ, NR));
      const int32_t Step = EntryCost(NAt(Terrain, Next), Mover);
      if (Step == 0 || Occupied[Next] || Here + Step >= Cost[Next]) continue;
      Cost[Next] = Here + Step;
      Open.push({Cost[Next], int64_t(Next)});
    }
  }
  return Cost;
}

namespace {

int64_t Sign(int64_t V) { return (V > 0) - (V < 0); }

// Along one of the three hex axes with no mountain in between; units do not block it.
bool ClearRay(const TGame& G, int64_t Q, int64_t R, int64_t TQ, int64_t TR) {
  const int64_t DQ = TQ - Q, DR = TR - R;
  if (DQ != 0 && DR != 0 && DQ != -DR) return false;
  const int64_t Steps = TGame::HexDistance(Q, R, TQ, TR);
  for (int64_t K = 1; K < Steps; ++K)
    if (G.Terrain(Q + Sign(DQ) * K, R + Sign(DR) * K) == GMountain) return false;
  return true;
}

// A blow of power A against strength D, with the defender's strength in single precision.
int64_t Strike(TGame& G, double A, double D) {
  const int64_t Roll = G.Rand(31) + 85;
  const double Against = std::max(double(float(D)), 1.0);
  return Bound(int64_t(std::floor(double(Roll) * (18.0 * A / Against + 6.0) / 100.0)), 1, 40);
}

struct TActionCost {
  const char* Action;
  int64_t Body;
};

// The Body each action costs once carried out; the mist art costs the heavy rule.
const TActionCost BodyCosts[] = {
    {"move", 1}, {"charge", 3}, {"melee", 2},  {"archery", 1}, {"mist", -1},      {"duel", 5},
    {"fire", 1}, {"extinguish", 1}, {"rest", 0}, {"reinforce", 0}, {"retreat", 0},
};

}  // namespace

std::string TGame::BattleAction(int64_t I, int64_t Target, int64_t Q, int64_t R, const std::string& Action) {
  TJson* Bt = Battle();
  if (!Bt) return "No battle.";
  TJson* Unit = UnitObj(I);
  if (!Unit) return "Select a unit.";
  TJson* Ch = C(N(Unit, "char"));
  const int64_t Side = N(Unit, "side");
  if (!B(Unit, "active") || Side != N(Bt, "side") || B(Unit, "spent") || !Ch)
    return "Select an unspent unit on the acting side.";
  if (N(Ch, "body") <= 10 && Action != "rest") return "Body is 10 or less: this unit must rest.";

  const TActionCost* Row = std::find_if(std::begin(BodyCosts), std::end(BodyCosts),
                                        [&](const TActionCost& A) { return Action == A.Action; });
  if (Row == std::end(BodyCosts)) return "Unknown battle action.";
  const int64_t Cost = Row->Body < 0 ? Rule("heavyBody", 20) : Row->Body;
  const int64_t UQ = N(Unit, "q"), UR = N(Unit, "r");
  TJson* Foe = UnitObj(Target);
  TJson* Ech = C(N(Foe, "char"));
  const int64_t FQ = N(Foe, "q"), FR = N(Foe, "r");
  const int64_t Dist = Foe ? HexDistance(UQ, UR, FQ, FR) : 999;
  const int64_t Ground = Terrain(FQ, FR);
  const std::string Name = S(Ch, "name");

  if (Action == "move" || Action == "charge") {
    const bool Charge = Action == "charge";
    if (!OnField(Q, R)) return "Choose a cell inside the battlefield.";
    if (UnitAt(Q, R) >= 0) return "That cell is occupied.";
    if (Terrain(Q, R) == GMountain) return "Mountains are impassable.";
    if (Reachable(I, Charge)[size_t(CellOf(Q, R))] > Allowance(Ch, Charge))
      return "Destination is beyond movement allowance or blocked.";
    if (N(Ch, "body") < Cost) return "Insufficient Body.";
    Put(Unit, "q", Q);
    Put(Unit, "r", R);
    if (Charge) {
      TJson* Units = List(Bt, "units");
      for (size_t V = 0; V < Len(Units); ++V) {
        TJson* Other = Item(Units, V);
        if (!B(Other, "active") || N(Other, "side") == Side || HexDistance(Q, R, N(Other, "q"), N(Other, "r")) != 1)
          continue;
        // The charged unit is caught unready and does not strike back.
        const double D = Defence(Terrain(N(Other, "q"), N(Other, "r"))) * UnitPower(int64_t(V));
        Hit(int64_t(V), Strike(*this, UnitPower(I), D), 0);
        Experience(N(Unit, "char"), 1, 0, 0);
        break;
      }
    }
  } else if (Action == "melee" || Action == "archery" || Action == "mist" || Action == "duel" || Action == "fire") {
    if (!B(Foe, "active") || N(Foe, "side") == Side || !Ech) return "Choose an active enemy.";
    const int64_t Dexterity = N(Ch, "dexterity"), Wisdom = N(Ch, "wisdom");
    if (Action == "melee" && Dist != 1) return "Melee requires an adjacent enemy.";
    if (Action == "archery") {
      if (Dexterity < 61 || N(Unit, "arrows") < 1) return "Archery requires Dexterity 61 and a volley.";
      if (Dist > 2 || !ClearRay(*this, UQ, UR, FQ, FR)) return "Archery needs a clear straight ray at distance 1..2.";
    }
    if (Action == "mist") {
      if (N(Bt, "weather") != 1 || Wisdom < 80 || N(Ch, "body") < 50) return "Mist art needs cloud, Wisdom 80 and Body 50.";
      if (Dist > (Wisdom >= 90 ? 3 : 2) || !ClearRay(*this, UQ, UR, FQ, FR))
        return "Target is outside the mist range or line of sight.";
    }
    if (Action == "duel") {
      if (Dist != 1) return "A duel requires an adjacent enemy.";
      if (Ground == GCastle) return "A castle defender refuses a duel.";
    }
    if (Action == "fire" && (Dist != 1 || Wisdom < 60 || N(Bt, "weather") == 2 || N(Bt, "weather") == 3))
      return "Fire requires adjacency, Wisdom 60 and dry weather.";
    if (N(Ch, "body") < Cost) return "Insufficient Body.";

    const int64_t Cid = N(Unit, "char"), Eid = N(Foe, "char");
    if (Action == "melee") {
      const double A = UnitPower(I), D = Defence(Ground) * UnitPower(Target);
      const int64_t Damage = Strike(*this, A, D);
      Hit(Target, Damage, 0);
      if (B(Foe, "active")) {
        const int64_t Roll = Rand(31) + 85;
        const double Against = std::max(double(float(A)), 1.0);
        const int64_t Back = Bound(int64_t(std::floor(double(Roll) * (18.0 * D / Against + 6.0) / 100.0)), 1, 40);
        Hit(I, Back * 60 / 100, 0);
      }
      Experience(Cid, 1, 0, 0);
      Note(Name + " strikes " + S(Ech, "name") + " for " + std::to_string(Damage) + ".");
    } else if (Action == "archery") {
      const double Base = Dexterity / 10.0 + 4.0 + N(Ch, "soldiers") / 20.0;
      const double X = (N(Bt, Arms(Side)) / 100.0 + 0.5) * Base / Defence(Ground);
      Hit(Target, std::max<int64_t>(1, int64_t(std::floor(X))), Dexterity >= 85 ? 2 : 0);
      Put(Unit, "arrows", N(Unit, "arrows") - 1);
      Experience(Cid, 0, 1, 0);
    } else if (Action == "mist") {
      Hit(Target, Wisdom / 5, 5);
      if (Rand(100) < Wisdom - 60) Put(Foe, "dazzled", true);
      Experience(Cid, 0, 0, 5);
    } else if (Action == "duel") {
      if (Rand(100) >= N(Ech, "courage")) {
        Note(S(Ech, "name") + " refuses the duel.");
      } else {
        for (int Exchange = 0; Exchange < 200; ++Exchange) {
          Hit(Target, 0, std::max<int64_t>(1, N(Ch, "strength") / 15 + Rand(4) - N(Ech, "dexterity") / 30));
          if (!B(Foe, "active")) break;
          Hit(I, 0, std::max<int64_t>(1, N(Ech, "strength") / 15 + Rand(4) - N(Ch, "dexterity") / 30));
          if (!B(Unit, "active")) break;
        }
        Experience(B(Unit, "active") ? Cid : Eid, 15, 15, 0);
      }
    } else {
      int64_t Odds = Wisdom / 2 + 30 - N(Ech, "wisdom") / 3;
      if (Ground == GForest) Odds += 15;
      if (Ground == GRiver || Ground == GMarsh) Odds -= 30;
      if (Rand(100) < Bound(Odds, 5, 95)) Push(List(Battle(), "fires"), CellOf(FQ, FR));
      Experience(Cid, 0, 1, 1);
    }
  } else if (Action == "reinforce") {
    if (Side != 0) return "Only defenders can call reinforcements.";
    TJson* Units = List(Bt, "units");
    int64_t Defending = 0;
    for (size_t V = 0; V < Len(Units); ++V) Defending += B(Item(Units, V), "active") && N(Item(Units, V), "side") == 0;
    if (Defending >= 10) return "Ten defenders are already active.";
    TJson* Reserve = List(Bt, "reserve");
    if (Len(Reserve) == 0) return "No reserve remains.";
    int64_t CQ = -1, CR = -1;
    for (int64_t SR = 0; SR < FieldRows && CQ < 0; ++SR)
      for (int64_t SQ = 13; SQ < FieldCols && CQ < 0; ++SQ)
        if (UnitAt(SQ, SR) < 0 && Terrain(SQ, SR) != GMountain && Terrain(SQ, SR) != GRiver) {
          CQ = SQ;
          CR = SR;
        }
    if (CQ < 0) return "No empty defender deployment cell.";
    const int64_t Id = NAt(Reserve, 0);
    Delete(Reserve, 0);
    TJson* Newcomer = PushRecord(Units);
    Put(Newcomer, "char", Id);
    Put(Newcomer, "side", 0);
    Put(Newcomer, "q", CQ);
    Put(Newcomer, "r", CR);
    Put(Newcomer, "active", true);
    Put(Newcomer, "spent", true);  // they arrive too late to act today
    Put(Newcomer, "arrows", N(Bt, "arms0") / 20 + 1);
    Put(Newcomer, "dazzled", false);
    Note(S(C(Id), "name") + " reinforces the defenders.");
    Unit = UnitObj(I);  // the list grew: look the acting unit up again
  } else if (Action == "rest") {
    if (N(Ch, "body") < 40) Put(Ch, "body", std::min(N(Ch, "body") + 2, std::min<int64_t>(N(Ch, "bodyMax"), 40)));
  } else if (Action == "extinguish") {
    const int64_t Dexterity = N(Ch, "dexterity");
    if (Dexterity < 40) return "Extinguish requires Dexterity 40.";
    if (!OnField(Q, R)) return "Choose a cell inside the battlefield.";
    if (HexDistance(UQ, UR, Q, R) > 1) return "Select your own or adjacent cell.";
    const int64_t Odds = Bound(Dexterity - (Terrain(Q, R) == GForest ? 20 : 0), 10, 95);
    // Every fire listed on the cell needs its own success.
    for (size_t F = Len(List(Bt, "fires")); F-- > 0;)
      if (NAt(List(Battle(), "fires"), F) == CellOf(Q, R) && Rand(100) < Odds) Delete(List(Battle(), "fires"), F);
    Experience(N(Unit, "char"), 0, 0, 1);
  } else {  // retreat
    Put(Unit, "active", false);
    if (N(Unit, "char") == N(Bt, Commander(Side))) {
      BattleEnd(1 - Side);
      return "The commander withdraws.";
    }
  }

  Put(Ch, "body", std::max<int64_t>(0, N(Ch, "body") - Cost));
  Put(Unit, "spent", true);
  BattleCheck();
  if (!InBattle()) return "Battle resolved.";
  PassSpentSides();
  return "";
}
