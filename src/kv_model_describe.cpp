// The one-line preview of an order, shown in the order dialog before the
// player confirms: what the order will do, then what it costs.
//
// Describe never refuses: ids that name no record read as empty names and
// zero values. The Body costs and Gold fees are those Check asks for.
#include "kv_model.h"

#include <algorithm>
#include <string>

namespace {

std::string Num(int64_t V) { return std::to_string(V); }

std::string Name(const TJson* O) { return TGame::S(O, "name"); }

// The Body an order takes from its actor.
int64_t BodyCost(const TGame& G, TOrder K) {
  switch (K) {
    case OTravel: case ORecruit: case OOath: case OMove: case OConvoy: case OTown: case OBeasts: case OWar:
    case OScout:
      return G.Rule("lightBody", 10);
    case OCultivate: case OFlood: case OBuild: case OSolicit: case OTrain: case OShip: case OWeapons:
      return G.Rule("standardBody", 15);
    case OHunt:
      return G.Rule("heavyBody", 20);
    case OTreaty: case OInvite:
      return G.Rule("missionBody", 25);
    default:
      return 0;
  }
}

int64_t Members(const TGame& G, int64_t Fid) {
  int64_t People = 0;
  for (int64_t Cid = 1; Cid <= 255; ++Cid) People += TGame::N(G.C(Cid), "faction") == Fid;
  return People;
}

// The Gold the stocks must hold.
int64_t Fee(const TGame& G, const TCommand& Cmd) {
  const int64_t Pid = G.Province(), Amount = Cmd.Amount;
  const int64_t Rate = TGame::N(G.P(Pid), "rate");
  const int64_t Gift =
      std::max<int64_t>(20, 200 - TGame::N(G.C(Cmd.Actor), "wisdom") - TGame::N(G.F(G.Faction()), "popularity") / 10);
  switch (Cmd.Kind) {
    case OHire: return Amount * ((Rate + 9) / 10);
    case OReward: return Amount;
    case OFeast: return std::max<int64_t>(1, (G.Count(Pid) * 10 * Rate + 49) / 100);
    case OShip: return 20;
    case OTreaty: return Gift;
    case OInvite: return Gift + 10 * Members(G, Cmd.Target);
    case OBuyFood: case OBuyFur: return G.TradeTotal(Cmd.Kind, Pid, Amount);
    case OBuyArms: return Amount * ((Rate + 4) / 5);
    case OBuyShip: return (Rate + 1) / 2;
    case OWar: return G.WarCost(Pid, G.Faction());
    case ODivination: return 1;
    case ORumors: return 10;
    default: return 0;
  }
}

std::string Sentence(const TGame& G, const TCommand& Cmd) {
  const int64_t Pid = G.Province(), Amount = Cmd.Amount;
  const TJson *Actor = G.C(Cmd.Actor), *Target = G.C(Cmd.Target), *Leader = G.C(G.Faction());
  const TJson* Governor = G.C(TGame::N(G.P(Pid), "governor"));
  const std::string Place = Name(G.P(Cmd.Target)), Chance = Num(G.Chance(Cmd));
  auto Stat = [](const TJson* Ch, const TKey& Key) { return TGame::N(Ch, Key); };
  switch (Cmd.Kind) {
    case ORest:
      return TGame::B(G.Data.get(), "town")
                 ? "End the town visit and return to the lair. Confirmed transactions are retained."
                 : "All local companions recover 10 Body, followed by month-end recovery.";
    case OTravel:
      return "Travel to adjacent " + Place + " with your exile companions.";
    case OSettle:
      return "Claim this unowned province. Carry your party stocks into the lair and receive 30 Food once. An occupied "
             "province below Support 40 instead starts an uprising battle.";
    case ORecruit:
      return "Invite " + Name(Target) + " to join you. Chance " + Chance + "%. Failure costs 1 Popularity.";
    case OCultivate: case OFlood: case OBuild:
      return "Development +" + Num(Stat(Actor, "strength") / 10 + 3) + ", Support +" +
             Num(Stat(Governor, "mercy") / 25 + 1) + ". No Gold required.";
    case OHunt: {
      const std::string Yield = Num(G.HuntYield(Cmd.Actor, Cmd.Extra));
      return Cmd.Extra == 1 ? "Hunt for fur: bring back " + Yield + " Fur to sell at the marketplace."
                            : "Hunt for food: bring back " + Yield + " Food.";
    }
    case OSolicit: {
      int64_t Supplies = std::max<int64_t>(
          1, (Stat(Actor, "wisdom") + Stat(Actor, "dexterity")) * (150 - Stat(Leader, "mercy")) / 200);
      if (Cmd.Extra == 1) Supplies /= 2;  // metal comes harder than gold
      return "Gain " + Num(Supplies) + " supplies; Support -5. Option 0: Gold, 1: Metal.";
    }
    case OTrain:
      return "Troop Skill +" +
             Num((Stat(Actor, "strength") + Stat(Actor, "dexterity") + Stat(Leader, "integrity")) / 30 + 2) + ".";
    case OHire:
      return "Hire " + Num(Amount) + " soldiers for the companion. New soldiers dilute shared Skill and Arms.";
    case OGive:
      return "Give " + Num(Amount) + " Food to citizens. Support +" +
             Num(std::max<int64_t>(1, Amount * (Stat(Governor, "mercy") + 50) / 2000)) + ".";
    case OReward:
      return "Reward " + Name(Target) + ". Loyalty +" +
             Num(std::max<int64_t>(1, Amount * (G.Compatible(G.Faction(), Cmd.Target) + 50) / 500)) + ".";
    case OFeast:
      return "All local companions recover 10 Body and gain Loyalty.";
    case OOath:
      return "Invite a permanent sworn bond. Chance " + Chance + "%. Requires Loyalty 95 and compatibility 70.";
    case ODismiss:
      return "Dismiss " + Name(Target) + " with personal soldiers and ship. Popularity -5.";
    case OShip:
      return "Build one ship for the companion. Requires Navigation and Dexterity 70.";
    case OWeapons:
      return "Spend " + Num(Amount) + " Metal. Arms +" +
             Num(std::max<int64_t>(1, Amount * (Stat(Actor, "dexterity") + Stat(Actor, "wisdom")) / 200)) +
             ", capped at 100.";
    case OMove:
      return "Move the companion and their soldiers/ship to " + Place + ". Claims unowned land.";
    case OConvoy:
      return "Send " + Num(Amount) + " Food. Escort stays here. Risk " +
             Num(Bound(30 - Stat(Actor, "wisdom") / 4, 0, 30)) + "% of losing a tenth.";
    case OTreaty:
      return "Chance " + Chance + "%. The gift is spent even on refusal.";
    case OInvite:
      return "Chance " + Chance + "%. The gift is spent even on refusal. Travel allowance included for " +
             Num(Members(G, Cmd.Target)) + " people.";
    case OTown:
      return "Visit the marketplace and downtown. Purchases and invitations stay in this visit until Return to lair.";
    case OBuyFood: case OBuyFur:
      return "Buy " + Num(Amount) + (Cmd.Kind == OBuyFood ? " Food" : " Fur") + " at " + G.TradeQuote(Cmd.Kind, Pid) +
             " Gold each. Total cost rounds up to whole Gold.";
    case OSellFood: case OSellFur:
      return "Sell " + Num(Amount) + (Cmd.Kind == OSellFood ? " Food" : " Fur") + " at " +
             G.TradeQuote(Cmd.Kind, Pid) + " Gold each; receive " + Num(G.TradeTotal(Cmd.Kind, Pid, Amount)) +
             " Gold (total rounded down).";
    case OBuyArms:
      return "Buy " + Num(Amount) + " Arms points at the smithy.";
    case OBuyShip:
      return "Buy one ship for the companion from the shipyard.";
    case OBeasts:
      return "Drive the " + TGame::BeastName(TGame::N(G.P(Pid), "beast")) + " away and protect the residents. Chance " +
             Chance + "%. Success earns Popularity. Failure costs 10 extra Body and a tenth of troops.";
    case OWar:
      return "Send up to ten ready companions to " + Place +
             ". Cost is 10 Body EACH plus quoted total Gold. A 30-day Food reserve travels with the army.";
    case OScout:
      return "Gather details of " + Place + ". Uses this order.";
    case ORedistribute:
      return "Transfer " + Num(Amount) +
             " soldiers from companion to target. Exact totals and shared training are conserved. Free action.";
    case OAssignShip:
      return "Transfer the companion ship to the target. Free action.";
    case OGovernor:
      return "Appoint " + Name(Target) + " here. The leader must govern their own home. Free action.";
    case OPolicy:
      return "Quantity 0: Balanced, 1: Develop, 2: Expand. Changes governor priorities. Free action.";
    case OAbandon:
      return "Surrender every holding and the Royal Writ. Retain up to nine local companions and 100 Food/Gold. "
             "Popularity -100. Remaining governors and their followers form independent fellowships.";
    case ORetire:
      return "Pass this fellowship to AI control. The campaign continues as an observer or with other players.";
    case ODivination:
      return "Reveal the current recruitment chance and its main factors for the selected resident.";
    case ORumors:
      return "Ask for leads to promising residents in distant provinces.";
  }
  return "Unknown order.";
}

}  // namespace

std::string TGame::Describe(const TCommand& Cmd) const {
  if (Cmd.Kind < 0 || Cmd.Kind >= OrderCount) return "Unknown order.";
  return Sentence(*this, Cmd) + " Cost: " + Num(BodyCost(*this, Cmd.Kind)) + " Body, " + Num(Fee(*this, Cmd)) +
         " Gold.";
}
