// The end of a battle: the province changes hands or holds, supplies return,
// people move or flee, the captured become prisoners, a fellowship that lost
// its home takes to the road, and computer captors decide at once. Then the
// captor's decisions about one prisoner, up to the Chancellor's execution.
#include "kv_model_battle.h"

#include <algorithm>

using namespace Battlefield;

namespace {

// Stocks never pass 9999; a purse that no longer exists gains nothing.
void Gain(TJson* O, const TKey& Key, int64_t Amount) {
  if (O) TGame::Put(O, Key, std::min<int64_t>(9999, TGame::N(O, Key) + Amount));
}

// A beaten defender falls back on a neighbouring province of its own with
// room, or leaves the fellowship.
void Flee(TGame& G, int64_t Cid, int64_t Dest, int64_t Defender) {
  TJson* Near = TGame::List(G.P(Dest), "neighbors");
  for (size_t K = 0; K < TGame::Len(Near); ++K) {
    const int64_t Pid = TGame::NAt(Near, K);
    if (G.P(Pid) && TGame::N(G.P(Pid), "owner") == Defender && HasRoom(G, Pid)) {
      TGame::Put(G.C(Cid), "province", Pid);
      return;
    }
  }
  TGame::Put(G.C(Cid), "faction", 0);
  TGame::Put(G.C(Cid), "role", "free");
}

}  // namespace

void TGame::BattleEnd(int64_t Winner) {
  TJson* Bt = Battle();
  if (!Bt) return;
  const int64_t Dest = N(Bt, "destination"), Origin = N(Bt, "origin");
  const int64_t Attacker = N(Bt, "attacker"), Defender = N(Bt, "defender");
  const bool Conquered = Winner == 1, Uprising = Origin == Dest;
  TJson *Target = P(Dest), *From = P(Origin);
  TJson* Units = List(Bt, "units");

  if (Conquered) {
    Put(Target, "owner", Attacker);
    Gain(Target, "food", N(Bt, "food0") + N(Bt, "food1"));
    int64_t Survivors = 0;
    for (size_t I = 0; I < Len(Units); ++I)
      if (B(Item(Units, I), "active") && N(Item(Units, I), "side") == 1)
        Survivors += N(C(N(Item(Units, I), "char")), "soldiers");
    Put(Target, "skill", Survivors > 0 ? N(Bt, "skill1") : 0);
    Put(Target, "arms", Survivors > 0 ? N(Bt, "arms1") : 0);
    const int64_t Swing = N(Target, "support") >= Rule("taxSupport", 40) ? 12 : -12;
    Put(F(Attacker), "popularity", Bound(N(F(Attacker), "popularity") + Swing, 0, 999));
    Put(Target, "support", std::max<int64_t>(0, N(Target, "support") - 10));
    // A won uprising carries the party's stocks into its new lair.
    if (TJson* Stocks = Uprising ? Party(Attacker) : nullptr) {
      Gain(Target, "food", N(Stocks, "food"));
      Gain(Target, "gold", N(Stocks, "gold"));
      Put(Stocks, "food", 0);
      Put(Stocks, "gold", 0);
    }
  } else {
    // What the army carried goes home to the stocks that fed it.
    Gain(Uprising ? Party(Attacker) : From, "food", N(Bt, "food1"));
    Gain(Target, "food", N(Bt, "food0"));
  }

  for (size_t I = 0; I < Len(Units); ++I) {
    TJson* U = Item(Units, I);
    const int64_t Cid = N(U, "char"), Side = N(U, "side");
    TJson* Ch = C(Cid);
    if (!Ch) continue;
    if (B(Ch, "captured") && Side == Winner) {
      Put(Ch, "captured", false);
      Put(Ch, "body", 1);
    } else if (B(Ch, "captured")) {
      Put(Ch, "captor", Side == 0 ? Attacker : Defender);
      Put(Ch, "province", Dest);
      if (N(Ch, "faction") == Cid) {
        if (Human(Cid)) Note(S(Ch, "name") + " is defeated by capture.");
        Put(F(Cid), "active", false);
        Put(F(Cid), "writ", false);
      }
      Put(Ch, "role", "prisoner");
      Put(Ch, "superior", 0);
    } else if (Conquered && Side == 1) {
      if (!HasRoom(*this, Dest)) continue;  // the garrison is full: this one stays behind
      Put(Ch, "province", Dest);
      if (Cid == Attacker) {
        Put(F(Attacker), "home", Dest);
        Put(Ch, "role", "leader");
      } else if (S(Ch, "role") == "exile") {
        Put(Ch, "role", "follower");
      }
    } else if (Conquered) {
      Flee(*this, Cid, Dest, Defender);
    }
  }
  // The reserve shares the defeat of the units that fought.
  if (Conquered)
    for (size_t I = 0; I < Len(List(Bt, "reserve")); ++I)
      if (C(NAt(List(Bt, "reserve"), I))) Flee(*this, NAt(List(Bt, "reserve"), I), Dest, Defender);

  if (Conquered) {
    Appoint(Dest);
    Appoint(Origin);
    if (Origin != Dest && Count(Origin) == 0) {
      Put(From, "owner", 0);
      Put(From, "governor", 0);
    }
    Note(S(Target, "name") + " falls to " + S(C(Attacker), "name") + ".");
  } else {
    Note("The defenders hold " + S(Target, "name") + ".");
  }
  Appoint(Dest);
  Appoint(Origin);
  for (TJson* Pr : {Target, From})
    if (Pr && N(Pr, "governor") == 0) Put(Pr, "owner", 0);

  // Captives beyond the garrison's room wait outside it, the newest ids first.
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    const int64_t Room = 5 * N(P(Pid), "castles");
    for (int64_t Cid = 255; Cid >= 1 && Count(Pid) > Room; --Cid) {
      TJson* Ch = C(Cid);
      if (!B(Ch, "captured") || N(Ch, "province") != Pid) continue;
      Put(Ch, "overflow", true);
      Note(S(Ch, "name") + " awaits immediate release or execution outside the full garrison.");
    }
  }

  Remove(Data.get(), "battle");

  TJson* Beaten = C(Defender);
  if (Conquered && Beaten && B(Beaten, "alive") && !B(Beaten, "captured") && N(F(Defender), "home") == Dest) {
    int64_t Home = N(P(N(Beaten, "province")), "owner") == Defender ? N(Beaten, "province") : 0;
    for (int64_t Pid = 1; Pid <= 49 && Home == 0; ++Pid)
      if (N(P(Pid), "owner") == Defender && HasRoom(*this, Pid)) Home = Pid;
    Put(F(Defender), "home", Home);
    if (Home) {
      Put(Beaten, "province", Home);
      Appoint(Home);
    } else {
      Put(F(Defender), "writ", false);
      Put(Beaten, "faction", Defender);
      Put(Beaten, "role", "exile");
      Put(RoadParty(Defender, Dest), "province", N(Beaten, "province"));
    }
  }

  NormalizeFactions();
  CheckEnd();
  // Computer captors decide at once, about every prisoner they hold.
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    TJson* Ch = C(Cid);
    const int64_t Captor = N(Ch, "captor");
    if (!B(Ch, "captured") || Human(Captor)) continue;
    PrisonerAction(Cid, Captor, Cid == 11 && B(F(Captor), "writ") ? "execute" : "release");
  }
  if (!Finished()) FinishOrder();
}

std::string TGame::PrisonerAction(int64_t Cid, int64_t Fid, const std::string& Action) {
  TJson* Ch = C(Cid);
  if (!B(Ch, "captured") || N(Ch, "captor") != Fid) return "This character is not your prisoner.";
  TJson *Pr = P(N(Ch, "province")), *Holder = F(Fid), *Leader = C(Fid);
  const bool FinalVictory = Cid == 11 && B(Holder, "writ") && N(Holder, "home") > 0 && B(Leader, "alive") &&
                            !B(Leader, "captured");
  if (B(Ch, "overflow") && (Action == "hold" || Action == "recruit"))
    return "The garrison is full. This captive must be released or executed.";
  const std::string Name = S(Ch, "name");
  std::string Result;
  if (Action == "hold") {
    Put(Ch, "resolved", true);
    Result = Name + " remains in custody.";
  } else if (Action == "execute") {
    Put(Ch, "alive", false);
    Put(Ch, "captured", false);
    Put(Ch, "soldiers", 0);
    Put(Ch, "role", "dead");
    if (FinalVictory) {
      Result = S(Leader, "name") + " has defeated Morvane under the Royal Writ. The court is restored.";
      Put(Data.get(), "ended", true);
      Put(Data.get(), "winner", Fid);
      Put(Data.get(), "result", Result);
    } else {
      if (Holder) Put(Holder, "popularity", std::max<int64_t>(0, N(Holder, "popularity") - 10));
      if (Pr) Put(Pr, "support", std::max<int64_t>(0, N(Pr, "support") - 5));
      Result = Name + " is executed. Popularity -10, Support -5.";
    }
  } else if (Action == "release") {
    Put(Ch, "captured", false);
    Put(Ch, "overflow", false);
    Put(Ch, "resolved", false);
    Put(Ch, "faction", 0);
    Put(Ch, "superior", 0);
    Put(Ch, "role", "free");
    Put(Ch, "body", std::max<int64_t>(1, N(Ch, "body")));
    Result = Name + " is released.";
  } else if (Action == "recruit") {
    if (Count(N(Ch, "province")) > 5 * N(Pr, "castles")) return "No room in this province. Release a captive.";
    const int64_t Odds = Bound(N(Holder, "popularity") / 10 + 10 + Compatible(Fid, Cid) / 2 + N(Leader, "wisdom") / 5 -
                                   N(Ch, "integrity") / 4 - 15,
                               5, 95);
    if (Rand(100) < Odds) {
      Put(Ch, "captured", false);
      Put(Ch, "faction", Fid);
      Put(Ch, "superior", Fid);
      Put(Ch, "role", "follower");
      Put(Ch, "body", std::max<int64_t>(1, N(Ch, "body")));
      Put(Ch, "loyalty", Bound(50 + Compatible(Fid, Cid) / 3, 50, 90));
      Result = Name + " joins the fellowship.";
    } else {
      Put(Ch, "resolved", true);
      Result = Name + " refuses; held in custody.";
    }
  } else {
    return "Choose recruit, hold, release or execute.";
  }
  Note(Result);
  return Result;
}
