// Whether an order may be given now, and the exact sentence that refuses it.
//
// Check runs the general conditions in a fixed order, then the conditions of
// the order's kind, which also fix what the order costs: Body from the actor
// and Gold the stocks must hold. The first condition that fails ends the
// check; players see its sentence as it stands, so the order of the tests is
// part of the game. Nothing here writes to the campaign.
#include "kv_model.h"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>

namespace {

// A condition of the check: true when it holds, else the refusal is stored.
using TNeed = std::function<bool(bool Holds, std::string_view Refusal)>;

// The turn an order is checked for, and what the order will cost.
struct TTurn {
  const TGame& G;
  const TCommand& Cmd;
  int64_t Pid, Fid;                  // acting province and faction
  const TJson *Pr, *Actor, *Target;  // acting province, actor, character named by Target
  int64_t Body = 0, Fee = 0;
};

bool In(int64_t V, int64_t Lo, int64_t Hi) { return V >= Lo && V <= Hi; }

int64_t Capacity(const TJson* Pr) { return 5 * TGame::N(Pr, "castles"); }

bool Sworn(const TJson* Ch) { return TGame::S(Ch, "role") == "sworn companion"; }

bool Here(const TTurn& T, int64_t Cid) { return T.G.Local(Cid, T.Pid, T.Fid); }

int64_t PeopleHere(const TTurn& T) {
  int64_t People = 0;
  for (int64_t Cid = 1; Cid <= 255; ++Cid) People += Here(T, Cid);
  return People;
}

// The Chancellor's record is read even while that faction is inactive; a home
// of 0 matches no province.
bool ChancellorHome(const TGame& G, int64_t Pid) {
  const int64_t Home = TGame::N(G.F(11), "home");
  return Home > 0 && Home == Pid;
}

bool Writ(const TTurn& T) { return TGame::B(T.G.F(T.Fid), "writ"); }

bool Town(const TTurn& T) { return TGame::B(T.G.Data.get(), "town"); }

int64_t Rate(const TTurn& T) { return TGame::N(T.Pr, "rate"); }

std::string UpTo(const char* Lead, int64_t Most) { return Lead + std::to_string(Most) + "."; }

// Kinds' conditions, in the order the players meet them.

bool Travel(TTurn& T, const TNeed& Need) {
  return Need(T.G.IsExile(), "Use Move people while settled.") &&
         Need(T.G.Neighbors(T.Pid, T.Cmd.Target), "Choose an adjacent province.");
}

bool Settle(TTurn& T, const TNeed& Need) {
  const int64_t Owner = TGame::N(T.Pr, "owner");
  // Unclaimed land takes in the whole party; an uprising needs room for its leader.
  const int64_t Arriving = Owner == 0 ? PeopleHere(T) : 1;
  return Need(T.G.IsExile(), "Your fellowship is already settled.") &&
         Need(Owner == 0 || (Owner != T.Fid && TGame::N(T.Pr, "support") < 40),
              "Settlement in an occupied province needs Support below 40 for an uprising.") &&
         Need(!ChancellorHome(T.G, T.Pid) || Writ(T), "The Chancellor home requires a Royal Writ.") &&
         Need(T.G.Count(T.Pid) + Arriving <= Capacity(T.Pr), "No room to settle.");
}

bool Recruit(TTurn& T, const TNeed& Need) {
  if (!Need(T.G.Local(T.Cmd.Target, T.Pid, 0), "Choose an eligible free resident here.")) return false;
  if (T.G.IsExile()) return Need(PeopleHere(T) < 10, "An exile party can hold ten people.");
  return Need(T.G.Count(T.Pid) < Capacity(T.Pr), "Province character capacity reached.");
}

bool Hunt(TTurn& T, const TNeed& Need) {
  const int64_t Month = TGame::N(T.G.Data.get(), "month");
  return Need(T.Cmd.Extra == 0 || T.Cmd.Extra == 1, "Choose Food or Fur for the hunt.") &&
         Need(Month != 12 && Month != 1 && Month != 2, "Hunting is unavailable in winter; it resumes in March.") &&
         Need(T.G.HuntYield(T.Cmd.Actor, T.Cmd.Extra) > 0, "There is no room for more hunting supplies.");
}

bool Train(TTurn& T, const TNeed& Need) { return Need(T.G.Troops(T.Pid) > 0, "No soldiers to train."); }

bool Hire(TTurn& T, const TNeed& Need) {
  const int64_t Most = 100 - TGame::N(T.Actor, "soldiers");
  T.Fee = int64_t(T.Cmd.Amount) * ((Rate(T) + 9) / 10);
  return Need(In(T.Cmd.Amount, 1, Most), UpTo("Quantity must be 1..", Most));
}

bool Give(TTurn& T, const TNeed& Need) {
  const int64_t Most = std::min<int64_t>(TGame::N(T.Pr, "food"), 1000);
  return Need(In(T.Cmd.Amount, 1, Most), UpTo("Food must be 1..", Most));
}

bool Reward(TTurn& T, const TNeed& Need) {
  T.Fee = T.Cmd.Amount;
  return Need(Here(T, T.Cmd.Target), "Choose a local follower.") &&
         Need(In(T.Cmd.Amount, 1, 100), "Gold must be 1..100.");
}

bool Feast(TTurn& T, const TNeed&) {
  T.Fee = std::max<int64_t>(1, (T.G.Count(T.Pid) * 10 * Rate(T) + 49) / 100);
  return true;
}

bool Oath(TTurn& T, const TNeed& Need) {
  const TGame& G = T.G;
  auto Companions = [&] {
    int64_t Oaths = 0;
    for (int64_t Cid = 1; Cid <= 255; ++Cid) Oaths += TGame::N(G.C(Cid), "faction") == T.Fid && Sworn(G.C(Cid));
    return Oaths;
  };
  // The sentence names the usual thresholds whatever the rules say.
  return Need(Here(T, T.Cmd.Target) && T.Cmd.Target != T.Fid, "Choose a follower.") &&
         Need(TGame::N(T.Target, "loyalty") >= G.Rule("oathLoyalty", 95) &&
                  G.Compatible(T.Fid, T.Cmd.Target) >= G.Rule("oathCompatibility", 70),
              "Requires Loyalty 95 and compatibility 70.") &&
         Need(!Sworn(T.Target), "Already a sworn companion.") &&
         Need(Companions() < 10 - TGame::N(G.Data.get(), "difficulty"), "Sworn companion limit reached.");
}

bool Dismiss(TTurn& T, const TNeed& Need) {
  return Need(Here(T, T.Cmd.Target) && T.Cmd.Target != T.Fid, "Choose a follower, not the leader.");
}

bool Ship(TTurn& T, const TNeed& Need) {
  T.Fee = 20;
  return Need(TGame::B(T.Actor, "navigator") && TGame::N(T.Actor, "dexterity") >= 70,
              "Needs navigation and Dexterity 70.") &&
         Need(!TGame::B(T.Actor, "ship"), "Companion already owns a ship.");
}

bool Weapons(TTurn& T, const TNeed& Need) {
  const int64_t Most = std::min<int64_t>(TGame::N(T.Pr, "metal"), 99);
  return Need(TGame::N(T.Actor, "dexterity") >= 60 && TGame::N(T.Actor, "wisdom") >= 50,
              "Needs Dexterity 60 and Wisdom 50.") &&
         Need(T.G.Troops(T.Pid) > 0, "No soldiers to equip.") &&
         Need(In(T.Cmd.Amount, 1, Most), UpTo("Metal must be 1..", Most));
}

// Move people, Send provisions and War all leave by a road to a neighbour.
bool Route(const TTurn& T, const TNeed& Need) {
  return Need(T.G.Neighbors(T.Pid, T.Cmd.Target), "Choose an adjacent province.") &&
         Need(!TGame::B(T.Pr, "snow") && !TGame::B(T.G.P(T.Cmd.Target), "snow"), "Snow blocks this route.");
}

bool Move(TTurn& T, const TNeed& Need) {
  const TJson* To = T.G.P(T.Cmd.Target);
  const int64_t Owner = TGame::N(To, "owner");
  return Route(T, Need) &&
         Need(Owner == T.Fid || Owner == 0, "Destination must be friendly or unclaimed.") &&
         Need(T.G.Count(T.Cmd.Target) < Capacity(To), "Destination is full.") &&
         Need(T.Cmd.Actor != T.Fid || T.G.Count(T.Pid) <= 1, "Move followers first; the leader departs last.");
}

bool Convoy(TTurn& T, const TNeed& Need) {
  const TJson* To = T.G.P(T.Cmd.Target);
  const int64_t Amount = T.Cmd.Amount;
  return Route(T, Need) &&
         Need(TGame::N(To, "owner") == T.Fid, "Destination must be friendly or unclaimed.") &&
         Need(Amount >= 1 && Amount <= TGame::N(T.Pr, "food") && TGame::N(To, "food") + Amount <= 9999,
              "Food exceeds origin stock or destination capacity.");
}

bool War(TTurn& T, const TNeed& Need) {
  const int64_t Owner = TGame::N(T.G.P(T.Cmd.Target), "owner");
  T.Fee = T.G.WarCost(T.Pid, T.Fid);
  return Route(T, Need) &&
         Need(Owner != T.Fid && Owner != 0, "Target must be an enemy province.") &&
         Need(!T.G.Allied(T.Fid, Owner), "A binding treaty forbids this attack.") &&
         Need(!ChancellorHome(T.G, T.Cmd.Target) || Writ(T),
              "A Royal Writ is required to attack the Chancellor home.") &&
         Need(TGame::N(T.Pr, "food") > 0, "The army requires provisions.");
}

// Treaty and Invite fellowship go to a settled rival whose leader is not a player.
bool Treaty(TTurn& T, const TNeed& Need) {
  const TJson* Rival = T.G.F(T.Cmd.Target);  // nothing outside 1..number of faction records
  T.Fee = std::max<int64_t>(20, 200 - TGame::N(T.Actor, "wisdom") - TGame::N(T.G.F(T.Fid), "popularity") / 10);
  return Need(Rival && T.Cmd.Target != T.Fid && TGame::B(Rival, "active") && TGame::N(Rival, "home") > 0,
              "Choose a settled rival leader.") &&
         Need(!T.G.Human(T.Cmd.Target), "Human diplomacy requires an incoming decision; select an AI leader.");
}

bool Invite(TTurn& T, const TNeed& Need) {
  int64_t Provinces = 0, Members = 0;
  for (int64_t Pid = 1; Pid <= 49; ++Pid) Provinces += TGame::N(T.G.P(Pid), "owner") == T.Cmd.Target;
  for (int64_t Cid = 1; Cid <= 255; ++Cid) Members += TGame::N(T.G.C(Cid), "faction") == T.Cmd.Target;
  if (!Treaty(T, Need)) return false;
  T.Fee += 10 * Members;  // a travel allowance for each member
  return Need(Provinces <= 1, "Target owns more than one province.") &&
         Need(T.G.Count(T.Pid) + Members <= Capacity(T.Pr), "Insufficient room for the whole fellowship.");
}

bool TownTravel(TTurn& T, const TNeed& Need) {
  return Need(T.Cmd.Actor == T.Fid || Sworn(T.Actor), "Only the leader or a sworn companion may visit town.");
}

// The marketplace trades only during a town visit.
bool Market(const TTurn& T, const TNeed& Need) {
  return Need(Town(T), "Visit town first.") && Need(In(T.Cmd.Amount, 1, 9999), "Quantity must be 1..9999.");
}

bool BuyFood(TTurn& T, const TNeed& Need) {
  T.Fee = T.G.TradeTotal(OBuyFood, T.Pid, T.Cmd.Amount);
  return Market(T, Need) && Need(TGame::N(T.Pr, "food") + T.Cmd.Amount <= 9999, "Food capacity is 9999.");
}

bool SellFood(TTurn& T, const TNeed& Need) {
  const int64_t Total = T.G.TradeTotal(OSellFood, T.Pid, T.Cmd.Amount);
  return Market(T, Need) && Need(TGame::N(T.Pr, "food") >= T.Cmd.Amount, "Not enough food.") &&
         Need(Total > 0, "Quantity too small: this sale would return 0 Gold.") &&
         Need(TGame::N(T.Pr, "gold") + Total <= 9999, "Gold capacity is 9999.");
}

bool BuyFur(TTurn& T, const TNeed& Need) {
  T.Fee = T.G.TradeTotal(OBuyFur, T.Pid, T.Cmd.Amount);
  return Market(T, Need) && Need(TGame::N(T.Pr, "fur") + T.Cmd.Amount <= 999, "Fur capacity is 999.");
}

bool SellFur(TTurn& T, const TNeed& Need) {
  const int64_t Total = T.G.TradeTotal(OSellFur, T.Pid, T.Cmd.Amount);
  return Market(T, Need) && Need(TGame::N(T.Pr, "fur") >= T.Cmd.Amount, "Not enough fur.") &&
         Need(TGame::N(T.Pr, "gold") + Total <= 9999, "Gold capacity is 9999.");
}

bool BuyArms(TTurn& T, const TNeed& Need) {
  T.Fee = int64_t(T.Cmd.Amount) * ((Rate(T) + 4) / 5);
  return Market(T, Need) && Need(TGame::B(T.Pr, "smithy"), "There is no smithy here.") &&
         Need(T.G.Troops(T.Pid) > 0, "No soldiers to equip.") &&
         Need(TGame::N(T.Pr, "arms") + T.Cmd.Amount <= 100, "Arms cannot exceed 100.");
}

bool BuyShip(TTurn& T, const TNeed& Need) {
  T.Fee = (Rate(T) + 1) / 2;
  return Market(T, Need) && Need(TGame::B(T.Pr, "shipyard"), "There is no shipyard here.") &&
         Need(!TGame::B(T.Actor, "ship") && T.Cmd.Amount == 1, "Choose one character without a ship.");
}

bool Beasts(TTurn& T, const TNeed& Need) {
  return Need(TGame::N(T.Pr, "beast") > 0, "There is no beast event here.");
}

bool Redistribute(TTurn& T, const TNeed& Need) {
  const int64_t Amount = T.Cmd.Amount;
  return Need(Here(T, T.Cmd.Target) && T.Cmd.Target != T.Cmd.Actor, "Choose a different local character.") &&
         Need(Amount >= 1 && TGame::N(T.Actor, "soldiers") >= Amount && TGame::N(T.Target, "soldiers") + Amount <= 100,
              "Transfer exceeds available troops or 100 per character.");
}

bool AssignShip(TTurn& T, const TNeed& Need) {
  return Need(Here(T, T.Cmd.Target) && T.Cmd.Target != T.Cmd.Actor, "Choose a different local character.") &&
         Need(TGame::B(T.Actor, "ship") && !TGame::B(T.Target, "ship"),
              "Companion needs a ship; recipient must lack one.");
}

bool Governor(TTurn& T, const TNeed& Need) {
  return Need(Here(T, T.Cmd.Target), "Choose a local officer.") &&
         Need(!Here(T, T.Fid), "The leader must govern their own location.");
}

bool Policy(TTurn& T, const TNeed& Need) {
  return Need(In(T.Cmd.Amount, 0, 2), "Policy must be 0 Balanced, 1 Develop, or 2 Expand.");
}

// Only the leader can give the realm up, and only in person.
bool Abandon(TTurn& T, const TNeed& Need) {
  return Need(Here(T, T.Fid), "The leader must be present to abandon the realm.");
}

bool Divination(TTurn& T, const TNeed& Need) {
  T.Fee = 1;
  return Need(Town(T), "Visit town first.") && Need(T.Target != nullptr, "Choose a resident.");
}

bool Rumors(TTurn& T, const TNeed& Need) {
  T.Fee = 10;
  return Need(Town(T), "Visit town first.");
}

enum TBody { BNone, BLight, BStandard, BHeavy, BMission };

int64_t BodyCost(const TGame& G, TBody Body) {
  switch (Body) {
    case BLight: return G.Rule("lightBody", 10);
    case BStandard: return G.Rule("standardBody", 15);
    case BHeavy: return G.Rule("heavyBody", 20);
    case BMission: return G.Rule("missionBody", 25);
    default: return 0;
  }
}

// One row per order kind, indexed by TOrder: where the kind may be given,
// the Body it takes, and its own conditions (none when empty).
struct TKindRule {
  bool Town, Exile;
  TBody Body;
  bool (*Conditions)(TTurn& T, const TNeed& Need);
};

const TKindRule Kinds[OrderCount] = {
    /* ORest */ {true, true, BNone, nullptr},
    /* OTravel */ {false, true, BLight, Travel},
    /* OSettle */ {false, true, BNone, Settle},
    /* ORecruit */ {true, true, BLight, Recruit},
    /* OCultivate */ {false, false, BStandard, nullptr},
    /* OFlood */ {false, false, BStandard, nullptr},
    /* OBuild */ {false, false, BStandard, nullptr},
    /* OHunt */ {false, false, BHeavy, Hunt},
    /* OSolicit */ {false, false, BStandard, nullptr},
    /* OTrain */ {false, false, BStandard, Train},
    /* OHire */ {false, false, BNone, Hire},
    /* OGive */ {false, false, BNone, Give},
    /* OReward */ {false, false, BNone, Reward},
    /* OFeast */ {false, false, BNone, Feast},
    /* OOath */ {false, false, BLight, Oath},
    /* ODismiss */ {false, false, BNone, Dismiss},
    /* OShip */ {false, false, BStandard, Ship},
    /* OWeapons */ {false, false, BStandard, Weapons},
    /* OMove */ {false, false, BLight, Move},
    /* OConvoy */ {false, false, BLight, Convoy},
    /* OTreaty */ {false, false, BMission, Treaty},
    /* OInvite */ {false, false, BMission, Invite},
    /* OTown */ {false, false, BLight, TownTravel},
    /* OBuyFood */ {true, false, BNone, BuyFood},
    /* OSellFood */ {true, false, BNone, SellFood},
    /* OBuyFur */ {true, false, BNone, BuyFur},
    /* OSellFur */ {true, false, BNone, SellFur},
    /* OBuyArms */ {true, false, BNone, BuyArms},
    /* OBuyShip */ {true, false, BNone, BuyShip},
    /* OBeasts */ {false, false, BLight, Beasts},
    /* OWar */ {false, false, BLight, War},
    /* OScout */ {false, true, BLight, nullptr},
    /* ORedistribute */ {false, false, BNone, Redistribute},
    /* OAssignShip */ {false, false, BNone, AssignShip},
    /* OGovernor */ {false, false, BNone, Governor},
    /* OPolicy */ {false, false, BNone, Policy},
    /* OAbandon */ {false, false, BNone, Abandon},
    /* ORetire */ {false, true, BNone, nullptr},
    /* ODivination */ {true, false, BNone, Divination},
    /* ORumors */ {true, false, BNone, Rumors},
};

bool Listed(const TJson* L, int64_t Id) {
  for (size_t I = 0; I < TGame::Len(L); ++I)
    if (TGame::NAt(L, I) == Id) return true;
  return false;
}

}  // namespace

std::string TGame::Check(const TCommand& Cmd) const {
  std::string Refusal;
  const TNeed Need = [&Refusal](bool Holds, std::string_view Sentence) {
    if (!Holds) Refusal = Sentence;
    return Holds;
  };

  if (!Need(Data != nullptr, "No campaign loaded.")) return Refusal;
  // A kind from outside the catalogue is refused before it indexes anything.
  if (!Need(Cmd.Kind >= 0 && Cmd.Kind < OrderCount, "Unknown order.")) return Refusal;
  if (!Need(!Finished(), "This campaign has ended.")) return Refusal;
  if (!Need(!InBattle(), "Finish the battle first.")) return Refusal;
  if (Cmd.Kind == OScout && !Need(In(Cmd.Target, 1, 49), "Choose a valid province.")) return Refusal;

  // A province taken earlier this month keeps the turn of the owner the queue was drawn for.
  const int64_t Pid = Province(), Fid = Faction();
  const std::string Entry = std::to_string(Current());
  const int64_t Drawn = N(Obj(Data.get(), "queueOwners"), TKey(Entry), Fid);
  if (!Need(Drawn == Fid, "This province changed hands; its next order is next month.")) return Refusal;
  if (!Need(Fid > 0, "No current order.")) return Refusal;
  if (!Need(Local(Cmd.Actor, Pid, Fid), "Choose a serving local character.")) return Refusal;

  const bool InTown = B(Data.get(), "town");
  const bool Approached = Listed(List(Data.get(), "townAttempts"), Cmd.Target);
  if (Cmd.Kind == ORecruit && InTown && !Need(!Approached, "Already approached this resident during this visit."))
    return Refusal;
  const TKindRule& Kind = Kinds[Cmd.Kind];
  if (InTown && !Need(Kind.Town, "Return to the lair before giving another order.")) return Refusal;
  if (IsExile() && !Need(Kind.Exile, "Settle an unclaimed province first.")) return Refusal;

  TTurn T{*this, Cmd, Pid, Fid, P(Pid), C(Cmd.Actor), C(Cmd.Target), BodyCost(*this, Kind.Body), 0};
  if (Kind.Conditions && !Kind.Conditions(T, Need)) return Refusal;

  const int64_t Body = N(T.Actor, "body");
  const std::string Tired = "Requires " + std::to_string(T.Body) + " Body; companion has " + std::to_string(Body) + ".";
  if (!Need(Body >= T.Body, Tired)) return Refusal;
  const int64_t Gold = N(IsExile() ? Party(Fid) : T.Pr, "gold");
  const std::string Poor = "Requires " + std::to_string(T.Fee) + " Gold; available " + std::to_string(Gold) + ".";
  if (!Need(Gold >= T.Fee, Poor)) return Refusal;
  return "";
}

int64_t TGame::WarCost(int64_t PID, int64_t FID) const {
  int64_t Gold = 0, Ready = 0;
  for (int64_t Cid = 1; Cid <= 255 && Ready < 10; ++Cid) {
    if (!Local(Cid, PID, FID) || N(C(Cid), "body") < 10) continue;
    Gold += (N(C(Cid), "soldiers") + 3) / 3;
    ++Ready;
  }
  return Gold;
}
