// Computer players and self-running governors. They have no private rules:
// every candidate order goes through the same check and execution as a
// player's, and the first that passes is the turn's order.
#include "kv_model.h"

#include <algorithm>

namespace {

bool ChangedHands(const TGame& G) {
  const TJson* Owners = TGame::Obj(G.Data.get(), "queueOwners");
  const std::string Name = std::to_string(G.Current());
  const TKey Entry(Name);
  return Owners && TGame::Has(Owners, Entry) && TGame::N(Owners, Entry) != G.Faction();
}

}  // namespace

void TGame::AdvanceAI(int64_t MaxOrders) {
  for (int64_t Step = 0; Step < MaxOrders; ++Step) {
    if (!Data || Finished() || InBattle() || B(Data.get(), "town")) return;
    if (ChangedHands(*this)) {
      FinishOrder();
      continue;
    }
    if (Human(Faction())) {
      // A player gives the orders of the road, and wherever the leader or a sworn companion governs.
      if (IsExile()) return;
      const int64_t Governor = N(P(Province()), "governor");
      if (Governor == Faction() || S(C(Governor), "role") == "sworn companion") return;
    }
    AIOrder();
  }
}

void TGame::AIOrder() {
  const int64_t Pid = Province(), Fid = Faction();
  if (Pid < 1 || !B(F(Fid), "active")) {
    FinishOrder();
    return;
  }
  const bool Exile = IsExile();
  int64_t Actor = Exile ? Fid : N(P(Pid), "governor");
  // An exile leader who no longer stands in a province of his own is never made someone else's governor.
  if (!Local(Actor, Pid, Fid) && !Exile) {
    Appoint(Pid);
    Actor = N(P(Pid), "governor");
  }
  if (!Local(Actor, Pid, Fid)) Actor = 0;
  if (Actor == 0) {
    if (!Exile) Put(P(Pid), "owner", 0);
    FinishOrder();
    return;
  }
  const int64_t Governor = Actor;
  auto TryOrder = [&](TOrder K, int64_t Target, int64_t Amount) {
    const TCommand Cmd = Command(K, int32_t(Actor), int32_t(Target), int32_t(Amount), 0);
    if (!Check(Cmd).empty()) return false;
    Execute(Cmd);
    return true;
  };
  TJson* Near = List(P(Pid), "neighbors");
  std::vector<int64_t> Neighbours;
  for (size_t K = 0; K < Len(Near); ++K) Neighbours.push_back(NAt(Near, K));

  if (Exile) {
    if (TryOrder(OSettle, 0, 0)) return;
    for (int64_t Next : Neighbours)
      if (N(P(Next), "owner") == 0 && TryOrder(OTravel, Next, 0)) return;
    if (!TryOrder(ORest, 0, 0)) FinishOrder();
    return;
  }

  TJson* Pr = P(Pid);
  if (N(Pr, "food") < std::max<int64_t>(Troops(Pid) / 2, 30) && TryOrder(OHunt, 0, 0)) return;
  if (N(Pr, "gold") < std::max<int64_t>(3 * Count(Pid), 25) && TryOrder(OSolicit, 0, 0)) return;
  if (N(Pr, "support") < 60 && TryOrder(OCultivate, 0, 0)) return;
  if (Count(Pid) < std::min<int64_t>(5 * N(Pr, "castles"), 6))
    for (int64_t Cid = 12; Cid <= 255; ++Cid)
      if (N(C(Cid), "faction") == 0 && N(C(Cid), "province") == Pid && TryOrder(ORecruit, Cid, 0)) return;
  const bool Develop = S(Pr, "policy") == "Develop";
  if (!Develop)
    for (int64_t Next : Neighbours) {
      // A refused move changes nothing, so the head count holds for the whole neighbour.
      if (N(P(Next), "owner") != 0 || Count(Pid) <= 1) continue;
      for (int64_t Cid = 1; Cid <= 255; ++Cid) {
        if (!Local(Cid, Pid, Fid) || Cid == Fid) continue;
        Actor = Cid;
        if (TryOrder(OMove, Next, 0)) return;
      }
      Actor = Governor;
    }
  if (Troops(Pid) < 60 * Count(Pid) && N(Pr, "gold") > 100)
    for (int64_t Cid = 1; Cid <= 255; ++Cid) {
      if (!Local(Cid, Pid, Fid) || N(C(Cid), "soldiers") >= 80) continue;
      Actor = Cid;
      if (TryOrder(OHire, 0, std::min<int64_t>(100 - N(C(Cid), "soldiers"), 10))) return;
    }
  Actor = Governor;
  if (!Develop && Troops(Pid) > 100 && N(Pr, "food") > 80)
    for (int64_t Next : Neighbours) {
      const int64_t Owner = N(P(Next), "owner");
      if (Owner > 0 && Owner != Fid && Troops(Pid) > 3 * Troops(Next) / 2 && TryOrder(OWar, Next, 0)) return;
    }
  if (N(Pr, "skill") < 65 && TryOrder(OTrain, 0, 0)) return;
  if (N(Pr, "beast") > 0 && TryOrder(OBeasts, 0, 0)) return;
  const TOrder Works[3] = {OCultivate, OBuild, OFlood};
  if (TryOrder(Works[Rand(3)], 0, 0)) return;
  // Even Rest refused: close the entry so that the campaign goes on.
  if (!TryOrder(ORest, 0, 0)) FinishOrder();
}
