// Carrying out an order: the check once more, the case's effects, its dice
// and sentence, then the tail that takes the Body, notes the outcome and,
// unless the order is free, ends the turn. Only the gambling orders and Send
// provisions draw, and each draws before its chance is worked out.
#include "kv_model_execute.h"

#include <algorithm>

namespace {

const char* Developed(TOrder K) { return K == OCultivate ? "land" : K == OFlood ? "flood" : "wealth"; }

// Food and Fur, the market's two goods, priced by kind.
const char* Goods(TOrder K) { return K == OBuyFood || K == OSellFood ? "Food" : "Fur"; }

void LocalsRecover(TOrderRun& Run, int64_t Loyalty) {
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    if (!Run.G.Local(Cid, Run.Pid, Run.Fid)) continue;
    TJson* Ch = Run.G.C(Cid);
    TGame::Put(Ch, "body", std::min(TGame::N(Ch, "body") + 10, TGame::N(Ch, "bodyMax")));
    if (Loyalty > 0) TGame::Put(Ch, "loyalty", std::min<int64_t>(100, TGame::N(Ch, "loyalty") + Loyalty));
  }
}

void Convoy(TOrderRun& Run) {
  TGame& G = Run.G;
  int64_t Amount = Run.Cmd.Amount;
  Run.Gain("food", -Amount, 9999);
  const int64_t Risk = Bound(30 - TGame::N(Run.Actor, "wisdom") / 4, 0, 30);
  if (G.Rand(100) < Risk) {
    Amount -= (Amount + 9) / 10;
    Run.Result = "The convoy lost a tenth of its food.";
  }
  // The check made room for the whole load.
  TGame::Put(Run.TargetProvince, "food", TGame::N(Run.TargetProvince, "food") + Amount);
  G.Experience(Run.Cmd.Actor, 0, 0, 15);
}

void BeastHunt(TOrderRun& Run) {
  TGame& G = Run.G;
  const bool Driven = G.Rand(100) < G.Chance(Run.Cmd);
  const std::string Beast = TGame::BeastName(TGame::N(Run.Province, "beast"));
  if (Driven) {
    TGame::Put(Run.Province, "beast", 0);
    const int64_t Gain = G.Rand(5) + 1;
    Run.Popular(Gain);
    G.Experience(Run.Cmd.Actor, 50, 50, 0);
    Run.Result = "The " + Beast + " is driven away. Residents are safe; Popularity +" + std::to_string(Gain) + ".";
    return;
  }
  Run.Popular(-2);
  TGame::Put(Run.Actor, "body", std::max<int64_t>(0, TGame::N(Run.Actor, "body") - 10));
  TGame::Put(Run.Actor, "soldiers", TGame::N(Run.Actor, "soldiers") - TGame::N(Run.Actor, "soldiers") / 10);
  Run.Result = "The " + Beast + " escapes. The expedition returns wounded; residents remain at risk.";
}

void Rumors(TOrderRun& Run) {
  Run.Gain("gold", -10, 9999);
  Run.Result = "Leads: ";
  int Found = 0;
  for (int64_t Cid = 12; Cid <= 255 && Found < 7; ++Cid) {
    TJson* Ch = Run.G.C(Cid);
    if (TGame::N(Ch, "faction") != 0 || Run.G.Compatible(Run.Cmd.Actor, Cid) < 70) continue;
    Run.Result += Run.Name(Ch) + " [" + std::to_string(TGame::N(Ch, "province")) + "] ";
    ++Found;
  }
}

void Carry(TOrderRun& Run) {
  TGame& G = Run.G;
  const TCommand& Cmd = Run.Cmd;
  TJson *Pr = Run.Province, *Actor = Run.Actor, *Target = Run.Target;
  auto N = [](const TJson* O, const TKey& K) { return TGame::N(O, K); };
  const int64_t Rate = N(Pr, "rate");
  TJson* Governor = G.C(N(Pr, "governor"));
  switch (Cmd.Kind) {
    case ORest:
      if (TGame::B(G.Data.get(), "town")) {
        TGame::Put(G.Data.get(), "town", false);
        Run.Result = "Returned to the lair.";
      } else {
        LocalsRecover(Run, 0);
      }
      break;
    case OTravel: {
      Run.BodyCost = G.Rule("lightBody", 10);
      for (int64_t Cid = 1; Cid <= 255; ++Cid)
        if (G.Local(Cid, Run.Pid, Run.Fid)) TGame::Put(G.C(Cid), "province", Cmd.Target);
      TGame::Put(Run.Party(), "province", Cmd.Target);
      Run.Result = "The party arrives in " + Run.Name(Run.TargetProvince) + ".";
      break;
    }
    case OSettle: Settle(Run); break;
    case ORecruit: Recruit(Run); break;
    case OCultivate:
    case OFlood:
    case OBuild: {
      Run.BodyCost = G.Rule("standardBody", 15);
      const int64_t V = N(Actor, "strength") / 10 + 3;
      Run.Gain(TKey(std::string_view(Developed(Cmd.Kind))), V, 100);
      Run.Gain("support", N(Governor, "mercy") / 25 + 1, 100);
      G.Experience(Cmd.Actor, 10, 0, 0);
      Run.Result = std::string(Developed(Cmd.Kind)) + " improved by " + std::to_string(V) + ".";
      break;
    }
    case OHunt: {
      Run.BodyCost = G.Rule("heavyBody", 20);
      const int64_t Yield = G.HuntYield(Cmd.Actor, Cmd.Extra);
      if (Cmd.Extra == 1)
        Run.Gain("fur", Yield, 999);
      else
        Run.Gain("food", Yield, 9999);
      G.Experience(Cmd.Actor, 0, 15, 0);
      Run.Result = "The hunt brings " + std::to_string(Yield) + (Cmd.Extra == 1 ? " fur." : " food.");
      break;
    }
    case OSolicit: {
      Run.BodyCost = G.Rule("standardBody", 15);
      const int64_t V =
          std::max<int64_t>(1, (N(Actor, "wisdom") + N(Actor, "dexterity")) * (150 - N(Run.Leader, "mercy")) / 200);
      if (Cmd.Extra == 1)
        Run.Gain("metal", V / 2, 999);
      else
        Run.Gain("gold", V, 9999);
      Run.Gain("support", -5, 100);
      G.Experience(Cmd.Actor, 0, 5, 13);
      break;
    }
    case OTrain:
      Run.BodyCost = G.Rule("standardBody", 15);
      Run.Gain("skill", (N(Actor, "strength") + N(Actor, "dexterity") + N(Run.Leader, "integrity")) / 30 + 2, 100);
      G.Experience(Cmd.Actor, 0, 11, 0);
      break;
    case OHire: {
      // New recruits dilute the training and arms of the garrison they join.
      const int64_t Garrison = G.Troops(Run.Pid);
      Run.Gain("gold", -(Cmd.Amount * ((Rate + 9) / 10)), 9999);
      TGame::Put(Actor, "soldiers", N(Actor, "soldiers") + Cmd.Amount);
      TGame::Put(Pr, "skill", N(Pr, "skill") * Garrison / (Cmd.Amount + Garrison));
      TGame::Put(Pr, "arms", N(Pr, "arms") * Garrison / (Cmd.Amount + Garrison));
      break;
    }
    case OGive:
      Run.Gain("food", -Cmd.Amount, 9999);
      Run.Gain("support", std::max<int64_t>(1, Cmd.Amount * (N(Governor, "mercy") + 50) / 2000), 100);
      Run.Popular(std::max<int64_t>(1, Cmd.Amount / 50));
      break;
    case OReward: {
      Run.Gain("gold", -Cmd.Amount, 9999);
      const int64_t Raise = std::max<int64_t>(1, Cmd.Amount * (G.Compatible(Run.Fid, Cmd.Target) + 50) / 500);
      TGame::Put(Target, "loyalty", std::min<int64_t>(100, N(Target, "loyalty") + Raise));
      break;
    }
    case OFeast:
      Run.Gain("gold", -std::max<int64_t>(1, (G.Count(Run.Pid) * 10 * Rate + 49) / 100), 9999);
      LocalsRecover(Run, std::max<int64_t>(1, 8 - N(Governor, "integrity") / 20));
      break;
    case OOath: {
      Run.BodyCost = G.Rule("lightBody", 10);
      const bool Sworn = G.Rand(100) < G.Chance(Cmd);
      if (Sworn) {
        TGame::Put(Target, "role", "sworn companion");
        TGame::Put(Target, "loyalty", 100);
      }
      G.Experience(Cmd.Actor, 0, 0, 10);
      Run.Result = Sworn ? "Before river and sky, " + Run.Name(Target) + " swears the oath." : "The oath is declined.";
      break;
    }
    case ODismiss:
      TGame::Put(Target, "faction", 0);
      TGame::Put(Target, "superior", 0);
      TGame::Put(Target, "role", "free");
      Run.Popular(-5);
      G.Appoint(Run.Pid);
      break;
    case OShip:
      Run.BodyCost = G.Rule("standardBody", 15);
      Run.Gain("gold", -20, 9999);
      TGame::Put(Actor, "ship", true);
      G.Experience(Cmd.Actor, 0, 15, 10);
      break;
    case OWeapons:
      Run.BodyCost = G.Rule("standardBody", 15);
      Run.Gain("metal", -Cmd.Amount, 999);
      Run.Gain("arms", std::max<int64_t>(1, Cmd.Amount * (N(Actor, "dexterity") + N(Actor, "wisdom")) / 200), 100);
      G.Experience(Cmd.Actor, 0, 10, 10);
      break;
    case OMove: MovePeople(Run); break;
    case OConvoy:
      Run.BodyCost = G.Rule("lightBody", 10);
      Convoy(Run);
      break;
    case OTreaty:
    case OInvite: Mission(Run); break;
    case OTown: {
      Run.BodyCost = G.Rule("lightBody", 10);
      TJson* Doc = G.Data.get();
      TGame::Remove(Doc, "townAttempts");
      TGame::AddList(Doc, "townAttempts");
      TGame::Put(Doc, "town", true);
      TGame::Put(Doc, "townActor", int64_t(Cmd.Actor));
      Run.Result = "The town welcomes you. Purchases remain in this visit.";
      Run.Free = true;
      break;
    }
    case OBuyFood:
    case OBuyFur: {
      const int64_t Total = G.TradeTotal(Cmd.Kind, Run.Pid, Cmd.Amount);
      Run.Gain("gold", -Total, 9999);
      if (Cmd.Kind == OBuyFood)
        Run.Gain("food", Cmd.Amount, 9999);
      else
        Run.Gain("fur", Cmd.Amount, 999);
      Run.Result = "Bought " + std::to_string(Cmd.Amount) + " " + Goods(Cmd.Kind) + " for " + std::to_string(Total) + " Gold.";
      Run.Free = true;
      break;
    }
    case OSellFood:
    case OSellFur: {
      if (Cmd.Kind == OSellFood)
        Run.Gain("food", -Cmd.Amount, 9999);
      else
        Run.Gain("fur", -Cmd.Amount, 999);
      const int64_t Total = G.TradeTotal(Cmd.Kind, Run.Pid, Cmd.Amount);
      Run.Gain("gold", Total, 9999);
      Run.Result = "Sold " + std::to_string(Cmd.Amount) + " " + Goods(Cmd.Kind) + " for " + std::to_string(Total) + " Gold.";
      Run.Free = true;
      break;
    }
    case OBuyArms:
      Run.Gain("gold", -(Cmd.Amount * ((Rate + 4) / 5)), 9999);
      Run.Gain("arms", Cmd.Amount, 100);
      Run.Free = true;
      break;
    case OBuyShip:
      Run.Gain("gold", -((Rate + 1) / 2), 9999);
      TGame::Put(Actor, "ship", true);
      Run.Free = true;
      break;
    case OBeasts:
      Run.BodyCost = G.Rule("lightBody", 10);
      BeastHunt(Run);
      break;
    case OWar:
      // The army pays its own way; the end of the battle ends the turn.
      G.BeginBattle(Run.Pid, Cmd.Target, Run.Fid);
      Run.Result = "The armies deploy. Defenders act first.";
      Run.Free = true;
      break;
    case OScout:
      Run.BodyCost = G.Rule("lightBody", 10);
      Run.Result = "Scouts report " + Run.Name(Run.TargetProvince) + ": " + std::to_string(G.Troops(Cmd.Target)) +
                   " soldiers, " + std::to_string(N(Run.TargetProvince, "food")) + " Food.";
      break;
    case ORedistribute:
      TGame::Put(Actor, "soldiers", N(Actor, "soldiers") - Cmd.Amount);
      TGame::Put(Target, "soldiers", N(Target, "soldiers") + Cmd.Amount);
      Run.Free = true;
      break;
    case OAssignShip:
      TGame::Put(Actor, "ship", false);
      TGame::Put(Target, "ship", true);
      Run.Free = true;
      break;
    case OGovernor:
      TGame::Put(Pr, "governor", int64_t(Cmd.Target));
      Run.Free = true;
      break;
    case OPolicy:
      TGame::Put(Pr, "policy", Cmd.Amount == 0 ? "Balanced" : Cmd.Amount == 1 ? "Develop" : "Expand");
      Run.Free = true;
      break;
    case OAbandon: AbandonRealm(Run); break;
    case ORetire:
      TGame::Put(G.F(Run.Fid), "human", false);
      Run.Result = "Your fellowship passes to AI control.";
      break;
    case ODivination:
      Run.Gain("gold", -1, 9999);
      Run.Result = "Recruitment chance " + std::to_string(G.Chance(Command(ORecruit, Cmd.Actor, Cmd.Target, 0, 0))) +
                   "%. Wisdom " + std::to_string(N(Actor, "wisdom")) + ", compatibility " +
                   std::to_string(G.Compatible(Cmd.Actor, Cmd.Target)) + ", popularity " +
                   std::to_string(N(G.F(Run.Fid), "popularity")) + ".";
      Run.Free = true;
      break;
    case ORumors:
      Rumors(Run);
      Run.Free = true;
      break;
  }
}

}  // namespace

std::string TGame::Execute(const TCommand& Cmd) {
  const std::string Refusal = Check(Cmd);
  if (!Refusal.empty()) return Refusal;
  const TJson* Owners = Obj(Data.get(), "queueOwners");
  const std::string Name = std::to_string(Current());
  const TKey Entry(Name);
  if (Owners && Has(Owners, Entry) && N(Owners, Entry) != Faction())
    return "This province changed hands; its next order is next month.";

  const int64_t Pid = Province(), Fid = Faction();
  TOrderRun Run{*this, Cmd, Pid, Fid, P(Pid), C(Cmd.Actor), C(Cmd.Target), C(Fid), P(Cmd.Target),
                0,     false, true, std::string(OrderNames[Cmd.Kind]) + " completed."};
  const bool Exile = IsExile();
  Carry(Run);
  if (!Run.Tail) return Run.Result;

  if (Run.BodyCost > 0) Put(Run.Actor, "body", std::max<int64_t>(0, N(Run.Actor, "body") - Run.BodyCost));
  // Training and arms belong to soldiers; a province left without any keeps neither.
  if (!Exile && Troops(Run.Pid) == 0) {
    Put(Run.Province, "skill", 0);
    Put(Run.Province, "arms", 0);
  }
  Note(Run.Result);
  if (!Run.Free) FinishOrder();
  return Run.Result;
}
