// Battles: the record under "battle", the accessors every battle rule uses,
// the setup of a battle when an army marches or an uprising begins, and the
// check that decides a battle once a side has lost its army or commander.
#include "kv_model_battle.h"

#include <algorithm>
#include <cstdlib>

using namespace Battlefield;

double Battlefield::Defence(int64_t Ground) {
  switch (Ground) {
    case GForest: return 1.25;
    case GHill: return 1.3;
    case GCastle: return 1.6;
    case GRiver: return 0.8;
    case GMarsh: return 0.9;
    case GIce: return 0.7;
    default: return 1.0;
  }
}

bool Battlefield::HasRoom(const TGame& G, int64_t Pid) { return G.Count(Pid) < 5 * TGame::N(G.P(Pid), "castles"); }

bool TGame::InBattle() const { return Data && Has(Data.get(), "battle"); }

TJson* TGame::Battle() const { return Data ? Obj(Data.get(), "battle") : nullptr; }

TJson* TGame::UnitObj(int64_t I) const {
  TJson* Units = List(Battle(), "units");
  if (I < 0 || size_t(I) >= Len(Units)) return nullptr;
  TJson* U = Item(Units, size_t(I));
  return IsRecord(U) ? U : nullptr;
}

int64_t TGame::UnitAt(int64_t Q, int64_t R) const {
  TJson* Units = List(Battle(), "units");
  for (size_t I = 0; I < Len(Units); ++I) {
    TJson* U = Item(Units, I);
    if (B(U, "active") && N(U, "q") == Q && N(U, "r") == R) return int64_t(I);
  }
  return -1;
}

int64_t TGame::HexDistance(int64_t Q1, int64_t R1, int64_t Q2, int64_t R2) {
  const int64_t DQ = Q1 - Q2, DR = R1 - R2;
  return std::max({std::abs(DQ), std::abs(DR), std::abs(DQ + DR)});
}

int64_t TGame::Terrain(int64_t Q, int64_t R) const {
  if (!OnField(Q, R)) return GPlain;
  return NAt(List(Battle(), "terrain"), size_t(CellOf(Q, R)), GPlain);
}

bool TGame::BattleHuman() const {
  TJson* Bt = Battle();
  if (!Bt) return false;
  return Human(N(Bt, N(Bt, "side") == 1 ? "attacker" : "defender"));
}

namespace {

// The battlefield's own generator: a province always yields the same field,
// and the campaign's generator is never touched.
class TMapRand {
 public:
  explicit TMapRand(uint32_t Seed) : X(Seed) {}
  int64_t operator()(uint32_t Limit) {
    X ^= X << 13;
    X ^= X >> 17;
    X ^= X << 5;
    return X % Limit;
  }

 private:
  uint32_t X;
};

void LayTerrain(const TGame& G, TJson* Bt, const TJson* Dest) {
  TJson* Terrain = TGame::List(Bt, "terrain");
  TMapRand MapRand(uint32_t(uint64_t(TGame::N(Dest, "mapSeed"))));
  const int64_t Month = TGame::N(G.Data.get(), "month");
  const bool Winter = Month == 12 || Month == 1 || Month == 2;
  const bool River = TGame::B(Dest, "river");
  for (int64_t R = 0; R < FieldRows; ++R)
    for (int64_t Q = 0; Q < FieldCols; ++Q) {
      const int64_t Roll = MapRand(100);
      int64_t Code = Roll < 15 ? GForest : Roll < 30 ? GHill : Roll < 38 ? GMountain : Roll < 44 ? GMarsh : GPlain;
      // Rows 4 and 9 stay open across the field; they are the river's fords.
      const bool Open = R == 4 || R == 9;
      if (River && Q == 8 && !Open) Code = GRiver;
      if (Open) Code = GPlain;
      if (Code == GMarsh && Winter) Code = GIce;
      TGame::Push(Terrain, Code);
    }
  // One castle cell per castle, down column 14; the field has room for seven.
  const int64_t Castles = std::min<int64_t>(TGame::N(Dest, "castles"), 7);
  for (int64_t I = 0; I < Castles; ++I) TGame::PutAt(Terrain, size_t(CellOf(14, 2 * I + 1)), GCastle);
}

// Local defenders in id order, of whom the first ten take the field. The
// governor always fights: beyond ten he takes the tenth place.
std::vector<int64_t> Garrison(const TGame& G, int64_t Dest, int64_t Defender) {
  std::vector<int64_t> Ids;
  for (int64_t Cid = 1; Cid <= 255; ++Cid)
    if (G.Local(Cid, Dest, Defender)) Ids.push_back(Cid);
  const int64_t Governor = TGame::N(G.P(Dest), "governor");
  auto At = std::find(Ids.begin(), Ids.end(), Governor);
  if (At != Ids.end() && At - Ids.begin() >= 10) std::rotate(Ids.begin() + 9, At, At + 1);
  return Ids;
}

int64_t RationCap(int64_t Soldiers) { return 30 * std::max<int64_t>(1, (Soldiers + 99) / 100); }

}  // namespace

void TGame::BeginBattle(int64_t Origin, int64_t Dest, int64_t FID) {
  TJson* Doc = Data.get();
  TJson *From = P(Origin), *Target = P(Dest);
  const int64_t Defender = N(Target, "owner");
  TJson* Bt = PutObj(Doc, "battle");
  Put(Bt, "origin", Origin);
  Put(Bt, "destination", Dest);
  Put(Bt, "attacker", FID);
  Put(Bt, "defender", Defender);
  Put(Bt, "day", 1);
  Put(Bt, "side", 0);
  Put(Bt, "weather", 0);
  Put(Bt, "wind", 0);
  Put(Bt, "castleHold", 0);
  Put(Bt, "defensePrompt", Human(Defender));
  Put(Bt, "deploy", true);
  for (const TKey& Key : {TKey("terrain"), TKey("units"), TKey("reserve"), TKey("fires")}) AddList(Bt, Key);
  LayTerrain(*this, Bt, Target);

  auto AddUnit = [&](int64_t Cid, int64_t Side, int64_t Index) {
    const int64_t Q = Side == 0 ? 15 - Index / 7 : Index / 7 + 1, R = Index % 7 + 3;
    TJson* U = PushRecord(List(Bt, "units"));
    Put(U, "char", Cid);
    Put(U, "side", Side);
    Put(U, "q", Q);
    Put(U, "r", R);
    Put(U, "active", true);
    Put(U, "spent", false);
    Put(U, "arrows", N(P(N(C(Cid), "province")), "arms") / 20 + 1);
    Put(U, "dazzled", false);
    // A unit stands on open ground, even where a castle cell was laid.
    PutAt(List(Bt, "terrain"), size_t(CellOf(Q, R)), GPlain);
  };
  const std::vector<int64_t> Defenders = Garrison(*this, Dest, Defender);
  const auto Fielded = Defenders.begin() + std::min<ptrdiff_t>(ptrdiff_t(Defenders.size()), 10);
  int64_t Attackers = 0, Placed = 0, WarCost = 0, AttackSoldiers = 0, DefenceSoldiers = 0;
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    TJson* Ch = C(Cid);
    if (Local(Cid, Origin, FID) && N(Ch, "body") >= 10 && Attackers < 10) {
      AddUnit(Cid, 1, Attackers++);
      WarCost += (N(Ch, "soldiers") + 3) / 3;
      AttackSoldiers += N(Ch, "soldiers");
      Put(Ch, "body", N(Ch, "body") - 10);
    }
    const auto Defending = std::find(Defenders.begin(), Defenders.end(), Cid);
    if (Defending == Defenders.end()) continue;
    if (Defending < Fielded) {
      AddUnit(Cid, 0, Placed++);
      DefenceSoldiers += N(Ch, "soldiers");
    } else {
      Push(List(Bt, "reserve"), Cid);
    }
  }

  // The army is paid and fed from the stocks of the turn that sent it: the
  // origin province for a war, the exile party for an uprising.
  const bool Uprising = Origin == Dest;
  TJson* Purse = Uprising ? Party(FID) : From;
  const int64_t Food1 = Purse ? std::min(N(Purse, "food"), RationCap(AttackSoldiers)) : 0;
  if (Purse) {
    Put(Purse, "gold", std::max<int64_t>(0, N(Purse, "gold") - WarCost));
    Put(Purse, "food", N(Purse, "food") - Food1);
  }
  const int64_t Food0 = std::min(N(Target, "food"), RationCap(DefenceSoldiers));
  Put(Target, "food", N(Target, "food") - Food0);
  Put(Bt, "food1", Food1);
  Put(Bt, "food0", Food0);
  Put(Bt, "skill1", Uprising ? 0 : N(From, "skill"));
  Put(Bt, "arms1", Uprising ? 0 : N(From, "arms"));
  Put(Bt, "skill0", N(Target, "skill"));
  Put(Bt, "arms0", N(Target, "arms"));

  int64_t Leader = 0;
  TJson* Units = List(Bt, "units");
  for (size_t I = 0; I < Len(Units); ++I) {
    TJson* U = Item(Units, I);
    if (N(U, "side") != 1) continue;
    if (Leader == 0 || N(U, "char") == FID) Leader = N(U, "char");
  }
  Put(Bt, "commander1", Leader);
  Put(Bt, "commander0", N(Target, "governor"));
  Put(Bt, "commander1", Leader);
  BattleCheck();
}

void TGame::BattleCheck() {
  TJson* Units = List(Battle(), "units");
  if (!Units) return;
  int64_t Active[2] = {0, 0};
  bool Led[2] = {false, false};
  for (size_t I = 0; I < Len(Units); ++I) {
    TJson* U = Item(Units, I);
    const int64_t Side = N(U, "side");
    if (!B(U, "active") || (Side != 0 && Side != 1)) continue;
    ++Active[Side];
    if (N(U, "char") == N(Battle(), Commander(Side))) Led[Side] = true;
  }
  if (Active[1] == 0 || !Led[1])
    BattleEnd(0);
  else if (Active[0] == 0 || !Led[0])
    BattleEnd(1);
}

int64_t TGame::ReadyUnit(int64_t Side) const {
  TJson* Units = List(Battle(), "units");
  for (size_t I = 0; I < Len(Units); ++I) {
    TJson* U = Item(Units, I);
    if (B(U, "active") && !B(U, "spent") && N(U, "side") == Side) return int64_t(I);
  }
  return -1;
}

// A side with nobody left to act is passed over, so that a player is never
// handed a turn in which nothing can be done.
void TGame::PassSpentSides() {
  while (TJson* Bt = Battle()) {
    const int64_t Side = N(Bt, "side");
    if (ReadyUnit(Side) >= 0) return;
    if (Side != 0) {
      BattleDay();
      return;
    }
    Put(Bt, "side", 1);
  }
}
