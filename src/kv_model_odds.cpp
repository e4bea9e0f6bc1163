// Odds, prices and yields: the small numeric rules the orders share. None of
// them draws a number; the orders roll against the chances computed here.
#include "kv_model.h"

#include <algorithm>
#include <cstdlib>

int64_t TGame::Compatible(int64_t AId, int64_t BId) const {
  const TJson *A = C(AId), *B = C(BId);
  int64_t Apart = 0;
  for (const TKey& Key : {TKey("integrity"), TKey("mercy"), TKey("courage")}) Apart += std::abs(N(A, Key) - N(B, Key));
  return Bound(100 - Apart / 3, 0, 100);
}

// Each term truncates on its own, in the order the terms are written.
int64_t TGame::Chance(const TCommand& Cmd) const {
  const TJson *Actor = C(Cmd.Actor), *Target = C(Cmd.Target);
  const int64_t Fid = Faction(), Pid = Province();
  const int64_t Popularity = N(F(Fid), "popularity");
  switch (Cmd.Kind) {
    case ORecruit:
      return Bound(Popularity / 10 + 10 + Compatible(Cmd.Actor, Cmd.Target) / 2 + N(Actor, "wisdom") / 5 -
                       N(Target, "integrity") / 4,
                   5, 95);
    case OOath:
      return Bound(Compatible(Fid, Cmd.Target) + Popularity / 20 - 20, 10, 95);
    case OTreaty:
      return Bound(N(Actor, "wisdom") / 2 + 20 + Compatible(Fid, Cmd.Target) / 4 +
                       (Troops(Pid) - Troops(N(F(Cmd.Target), "home"))) / 20,
                   5, 95);
    case OInvite:
      return Bound(Popularity / 5 + Compatible(Fid, Cmd.Target) / 2 - N(Target, "courage") / 3, 5, 95);
    case OBeasts:
      return Bound((N(Actor, "dexterity") + N(Actor, "courage")) / 2 + 20 + N(Actor, "soldiers") / 4 -
                       (10 * N(P(Pid), "beast") + 20),
                   5, 95);
    default:
      return 100;
  }
}

// Every hundred points of experience raise the attribute by one, up to 100.
// A record without its experience object starts from none, so that an order
// never stops half-applied.
void TGame::Experience(int64_t CID, int64_t St, int64_t De, int64_t Wi) {
  TJson* Ch = C(CID);
  if (!Ch) return;
  if (!Obj(Ch, "xp")) PutObj(Ch, "xp");
  const TKey Keys[] = {"strength", "dexterity", "wisdom"};
  const int64_t Gains[] = {St, De, Wi};
  for (size_t I = 0; I < 3; ++I) {
    const int64_t X = N(Obj(Ch, "xp"), Keys[I]) + Gains[I];
    const int64_t Raised = std::min<int64_t>(N(Ch, Keys[I]) + X / 100, 100);
    Put(Ch, Keys[I], Raised);
    // Writing the attribute moved the members of the record: look the object up again.
    Put(Obj(Ch, "xp"), Keys[I], Raised == 100 ? 0 : X % 100);
  }
}

// Food is priced in cents, fur always in whole Gold.
int64_t TGame::TradePrice(TOrder K, int64_t PID) const {
  const int64_t Rate = Bound(N(P(PID), "rate", 50), 20, 100);
  const int64_t Buy = Bound(Rule("foodBuyCentsPerRate", 4), 1, 100) * Rate;
  switch (K) {
    case OBuyFood: return Buy;
    case OSellFood: return std::min(Rate * Bound(Rule("foodSellCentsPerRate", 2), 1, 100), Buy);
    case OBuyFur: return std::max<int64_t>(2, (Rate + 4) / 5) * 100;
    case OSellFur: return std::max<int64_t>(1, Rate / 8) * 100;
    default: return 0;
  }
}

// Rounded up against the buyer, down against the seller.
int64_t TGame::TradeTotal(TOrder K, int64_t PID, int64_t Quantity) const {
  if (Quantity < 1 || Quantity > 9999) return 0;
  const int64_t Cents = TradePrice(K, PID) * Quantity;
  return K == OBuyFood || K == OBuyFur ? (Cents + 99) / 100 : Cents / 100;
}

std::string TGame::TradeQuote(TOrder K, int64_t PID) const {
  const int64_t Cents = TradePrice(K, PID);
  const std::string Part = std::to_string(Cents % 100);
  return std::to_string(Cents / 100) + "." + (Part.size() == 1 ? "0" : "") + Part;
}

int64_t TGame::HuntYield(int64_t Actor, int64_t Option) const {
  int64_t Base = (N(C(Actor), "dexterity") + N(C(Faction()), "courage")) / 2;
  const TJson* Pr = P(Province());
  int64_t Room;
  if (Option == 1) {
    Base = std::max<int64_t>(1, Base / 4);
    Room = 999 - N(Pr, "fur");
  } else {
    Room = 9999 - N(Pr, "food");
  }
  return std::max<int64_t>(0, std::min(Room, Base));
}

std::string TGame::BeastName(int64_t Kind) {
  static const char* const Names[] = {"wolf", "leopard", "tiger", "bear"};
  return Kind >= 1 && Kind <= 4 ? Names[Kind - 1] : "beast";
}

TJson* TGame::BeastNotice() const { return Data ? Item(List(Data.get(), "beastNotices"), 0) : nullptr; }

void TGame::DismissBeastNotice() {
  if (BeastNotice()) Delete(List(Data.get(), "beastNotices"), 0);
}
