// The end of a battle day (fire, drift, food, castles, the day limit and the
// next day's weather), the computer's tactics, and automatic resolution.
#include "kv_model_battle.h"

#include <algorithm>

using namespace Battlefield;

namespace {

// The cell the fire spreads to, by wind direction.
constexpr int64_t WindQ[6] = {+1, 0, -1, -1, 0, +1};
constexpr int64_t WindR[6] = {0, +1, +1, 0, -1, -1};

bool Fireproof(int64_t Ground) { return Ground == GMountain || Ground == GRiver || Ground == GIce; }

// Clear 0, Cloudy 1, Rain 2, Snow 3, by season.
int64_t Weather(int64_t Month, int64_t Roll) {
  switch (Month) {
    case 3: case 4: case 5: return Roll < 25 ? 0 : Roll < 65 ? 1 : 2;
    case 6: case 7: case 8: return Roll < 60 ? 0 : Roll < 85 ? 1 : 2;
    case 9: case 10: case 11: return Roll < 55 ? 0 : Roll < 85 ? 1 : 2;
    default: return Roll < 55 ? 0 : Roll < 80 ? 1 : 3;
  }
}

}  // namespace

void TGame::BattleDay() {
  TJson* Bt = Battle();
  if (!Bt) return;
  std::array<bool, FieldCells> Burning{}, Spreading{};
  // Rain and snow put every fire out.
  if (N(Bt, "weather") <= 1) {
    TJson* Fires = List(Bt, "fires");
    for (size_t I = 0; I < Len(Fires); ++I)
      if (NAt(Fires, I) >= 0 && NAt(Fires, I) < FieldCells) Burning[size_t(NAt(Fires, I))] = true;
  }

  int64_t Total[2] = {0, 0};
  const int64_t Dest = N(Bt, "destination");
  for (size_t I = 0; I < Len(List(Bt, "units")); ++I) {
    TJson* U = UnitObj(int64_t(I));
    TJson* Ch = C(N(U, "char"));
    const int64_t Side = N(U, "side");
    if (!B(U, "active") || !Ch) continue;
    Total[Side == 1] += N(Ch, "soldiers");
    if (OnField(N(U, "q"), N(U, "r")) && Burning[size_t(CellOf(N(U, "q"), N(U, "r")))]) Hit(int64_t(I), 10, 5);
    // The river carries a unit downstream, even one the fire has just taken.
    if (Terrain(N(U, "q"), N(U, "r")) == GRiver) {
      for (int Step = 0; Step < (B(Ch, "navigator") ? 1 : 2); ++Step) {
        const int64_t Q = N(U, "q"), Below = N(U, "r") + 1;
        if (Below < FieldRows) {
          if (UnitAt(Q, Below) >= 0 || Terrain(Q, Below) == GMountain) break;
          Put(U, "r", Below);
          continue;
        }
        // Swept off the field: ashore in a neighbour of our own, else an unclaimed one, if it has room.
        TJson* Near = List(P(Dest), "neighbors");
        int64_t Refuge = 0;
        for (int64_t Wanted : {N(Ch, "faction"), int64_t(0)})
          for (size_t K = 0; K < Len(Near) && Refuge == 0; ++K)
            if (P(NAt(Near, K)) && N(P(NAt(Near, K)), "owner") == Wanted) Refuge = NAt(Near, K);
        Put(U, "active", false);
        if (Refuge && HasRoom(*this, Refuge)) Put(Ch, "province", Refuge);
        Note(S(Ch, "name") + " drifts off the field.");
        if (N(U, "char") == N(Bt, Commander(Side))) {
          BattleEnd(1 - Side);
          return;
        }
        break;
      }
    }
    Put(U, "spent", B(U, "dazzled"));
    Put(U, "dazzled", false);
  }

  const int64_t Blowing = Bound(N(Bt, "wind"), 0, 5);
  for (int64_t Cell = 0; Cell < FieldCells; ++Cell) {
    if (!Burning[size_t(Cell)]) continue;
    const int64_t Q = Cell % FieldCols + WindQ[Blowing], R = Cell / FieldCols + WindR[Blowing];
    if (OnField(Q, R) && !Fireproof(Terrain(Q, R)) && Rand(100) < 30) Spreading[size_t(CellOf(Q, R))] = true;
    if (Rand(100) < 25) Burning[size_t(Cell)] = false;
  }
  Bt = Battle();
  TJson* Fires = List(Bt, "fires");
  Clear(Fires);
  for (int64_t Cell = 0; Cell < FieldCells; ++Cell)
    if ((Burning[size_t(Cell)] || Spreading[size_t(Cell)]) && !Fireproof(Terrain(Cell % FieldCols, Cell / FieldCols)))
      Push(Fires, Cell);

  // A food feeds a hundred soldiers for a day; every side eats at least one.
  for (int64_t Side : {0, 1})
    Put(Bt, Food(Side), std::max<int64_t>(0, N(Bt, Food(Side)) - std::max<int64_t>(1, (Total[Side] + 99) / 100)));
  if (N(Bt, "food1") == 0) return BattleEnd(0);
  if (N(Bt, "food0") == 0) return BattleEnd(1);

  int64_t Castles = 0, Held = 0;
  for (int64_t Cell = 0; Cell < FieldCells; ++Cell) {
    if (Terrain(Cell % FieldCols, Cell / FieldCols) != GCastle) continue;
    ++Castles;
    const int64_t U = UnitAt(Cell % FieldCols, Cell / FieldCols);
    Held += U >= 0 && N(UnitObj(U), "side") == 1;
  }
  Put(Bt, "castleHold", Castles > 0 && Held == Castles ? N(Bt, "castleHold") + 1 : 0);
  if (N(Bt, "castleHold") >= 2) return BattleEnd(1);
  if (N(Bt, "day") >= 30) return BattleEnd(0);

  const int64_t Sky = Weather(N(Data.get(), "month"), Rand(100)), Wind = Rand(6);
  Bt = Battle();  // a draw writes to the document: look the record up again
  Put(Bt, "day", N(Bt, "day") + 1);
  Put(Bt, "side", 0);
  Put(Bt, "weather", Sky);
  Put(Bt, "wind", Wind);
  if (Sky >= 2) Clear(List(Bt, "fires"));
  Note("Battle day " + std::to_string(N(Bt, "day")) + ".");
  BattleCheck();
  PassSpentSides();
}

void TGame::BattleAI() {
  TJson* Bt = Battle();
  if (!Bt) return;
  Put(Bt, "deploy", false);
  const int64_t Side = N(Bt, "side"), I = ReadyUnit(Side);
  if (I < 0) {
    if (Side == 0) {
      Put(Bt, "side", 1);
      PassSpentSides();
    } else {
      BattleDay();
    }
    return;
  }
  TJson* Unit = UnitObj(I);
  const int64_t Q = N(Unit, "q"), R = N(Unit, "r");
  int64_t Target = -1, Dist = 0;
  TJson* Units = List(Bt, "units");
  for (size_t V = 0; V < Len(Units); ++V) {
    TJson* Other = Item(Units, V);
    if (!B(Other, "active") || N(Other, "side") == Side) continue;
    const int64_t D = HexDistance(Q, R, N(Other, "q"), N(Other, "r"));
    if (Target < 0 || D < Dist) {
      Target = int64_t(V);
      Dist = D;
    }
  }
  // Each try returns once an action is carried out or the battle is over.
  auto Done = [&](const std::string& Result) { return Result.empty() || !InBattle(); };
  if (N(C(N(Unit, "char")), "body") > 10 && Target >= 0) {
    if (Dist <= 2 && Done(BattleAction(I, Target, 0, 0, "archery"))) return;
    if (Dist == 1 && Done(BattleAction(I, Target, 0, 0, "melee"))) return;
    const TJson* Foe = UnitObj(Target);
    const int64_t FQ = N(Foe, "q"), FR = N(Foe, "r");
    for (int K = 0; K < 6; ++K) {
      const int64_t NQ = Q + StepQ[K], NR = R + StepR[K];
      if (OnField(NQ, NR) && HexDistance(NQ, NR, FQ, FR) < Dist && Done(BattleAction(I, Target, NQ, NR, "move")))
        return;
    }
  }
  if (Side == 0 && Len(List(Battle(), "reserve")) > 0 && Done(BattleAction(I, -1, 0, 0, "reinforce"))) return;
  BattleAction(I, -1, 0, 0, "rest");
}

void TGame::ResolveBattle() {
  TJson* Bt = Battle();
  if (!Bt) return;
  Put(Bt, "defensePrompt", false);
  Put(Bt, "deploy", false);
  for (int Step = 0; Step < 10001 && InBattle(); ++Step) BattleAI();
}
