// Month-end: the world runs for one month between the last turn of a month
// and the queue of the next. Provinces pay and feed their people, weather,
// epidemics, riots and beasts strike, markets drift, free traders wander,
// everyone recovers, the disloyal desert, and January turns the year.
//
// The steps and their draws run in a fixed order, so a saved campaign
// repeats the same month-end exactly: per province the weather roll, the
// beast rolls when a new beast may come, the market roll; then per living
// character the wanderer's rolls and the desertion roll. Nothing else draws.
#include "kv_model.h"

#include <algorithm>
#include <string>

namespace {

// Member K of O moves by A and stays within 0..Cap.
void IncCap(TJson* O, const TKey& K, int64_t A, int64_t Cap) { TGame::Put(O, K, Bound(TGame::N(O, K) + A, 0, Cap)); }

bool Sworn(const TJson* Ch) { return TGame::S(Ch, "role") == "sworn companion"; }

std::string Name(const TJson* O) { return TGame::S(O, "name"); }

// Wages: every counted person costs a Gold; unpaid people grow less loyal.
void PayWages(TGame& G, int64_t Pid, int64_t Fid) {
  TJson* Pr = G.P(Pid);
  const int64_t People = G.Count(Pid), Gold = TGame::N(Pr, "gold");
  TGame::Put(Pr, "gold", std::max<int64_t>(0, Gold - People));
  if (People <= Gold) return;
  for (int64_t Cid = 1; Cid <= 255; ++Cid)
    if (G.Local(Cid, Pid, Fid) && !Sworn(G.C(Cid))) IncCap(G.C(Cid), "loyalty", -10, 100);
}

// Rations: a tenth of a food per soldier, rounded up. Hunger takes soldiers
// in proportion, then one each from the front; only the garrison that Troops
// counts eats, so exiles standing here never starve for it.
int64_t FeedTroops(TGame& G, int64_t Pid, int64_t Fid, int64_t& Need) {
  TJson* Pr = G.P(Pid);
  const int64_t Troops = G.Troops(Pid), Food = TGame::N(Pr, "food");
  Need = (Troops + 9) / 10;
  TGame::Put(Pr, "food", std::max<int64_t>(0, Food - Need));
  const int64_t Short = std::max<int64_t>(0, Need - Food), Loss = std::min(5 * Short, Troops);
  if (Loss <= 0) return Loss;
  auto Garrison = [&](int64_t Cid) { return G.Local(Cid, Pid, Fid) && TGame::S(G.C(Cid), "role") != "exile"; };
  int64_t Remaining = Loss;
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    if (!Garrison(Cid)) continue;
    const int64_t Share = TGame::N(G.C(Cid), "soldiers") * Loss / std::max<int64_t>(Troops, 1);
    IncCap(G.C(Cid), "soldiers", -Share, 100);
    Remaining -= Share;
  }
  for (int64_t Cid = 1; Cid <= 255 && Remaining > 0; ++Cid) {
    if (!Garrison(Cid) || TGame::N(G.C(Cid), "soldiers") <= 0) continue;
    IncCap(G.C(Cid), "soldiers", -1, 100);
    --Remaining;
  }
  return Loss;
}

// At most one weather event a month: the first of typhoon, snow, outbreak, festival that applies.
void Weather(TGame& G, int64_t Pid, int64_t Fid, int64_t Roll) {
  TJson* Pr = G.P(Pid);
  const int64_t Month = TGame::N(G.Data.get(), "month");
  const bool Winter = Month == 12 || Month == 1 || Month == 2;
  // The northern rows of the map see more snow.
  const int64_t SnowOdds = TGame::N(Pr, "r") < 3 ? 12 : 3;
  if (Month >= 6 && Month <= 8 && Roll < std::max<int64_t>(1, 12 - TGame::N(Pr, "flood") / 10)) {
    IncCap(Pr, "flood", -5, 100);
    IncCap(Pr, "land", -10, 100);
    IncCap(Pr, "wealth", -8, 100);
    IncCap(Pr, "food", -(TGame::N(Pr, "food") / 10), 9999);
    IncCap(Pr, "rate", 10, 100);
    if (G.Human(Fid)) G.Note("Typhoon strikes " + Name(Pr) + ".");
  } else if (Winter && Roll < SnowOdds) {
    TGame::Put(Pr, "snow", true);
    IncCap(Pr, "land", -3, 100);
    IncCap(Pr, "support", -2, 100);
  } else if (Roll < 2 && TGame::N(Pr, "epidemic") == 0) {
    TGame::Put(Pr, "epidemic", 2);
  } else if ((Month == 3 || Month == 9) && Roll < 15) {
    IncCap(Pr, "support", 5, 100);
    for (int64_t Cid = 1; Cid <= 255; ++Cid) {
      if (!G.Local(Cid, Pid, Fid)) continue;
      TJson* Ch = G.C(Cid);
      IncCap(Ch, "body", 3, TGame::N(Ch, "bodyMax"));
      IncCap(Ch, "loyalty", 3, 100);
    }
  }
}

// An outbreak strikes in the month it starts and in the next.
void Epidemic(TGame& G, int64_t Pid, int64_t Fid) {
  TJson* Pr = G.P(Pid);
  if (TGame::N(Pr, "epidemic") <= 0) return;
  IncCap(Pr, "wealth", -5, 100);
  IncCap(Pr, "support", -5, 100);
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    if (!G.Local(Cid, Pid, Fid)) continue;
    TJson* Ch = G.C(Cid);
    IncCap(Ch, "body", -10, TGame::N(Ch, "bodyMax"));
    IncCap(Ch, "soldiers", -(TGame::N(Ch, "soldiers") * 5 / 100), 100);
  }
  TGame::Put(Pr, "epidemic", Bound(TGame::N(Pr, "epidemic") - 1, 0, 2));
}

// Lukewarm support breeds riots; a computer owner decides at once and draws nothing.
void Unrest(TGame& G, int64_t Pid, int64_t Fid, int64_t Roll) {
  TJson* Pr = G.P(Pid);
  const int64_t Support = TGame::N(Pr, "support");
  if (Support < 40 || Support > 55 || Roll >= 56 - Support) return;
  TGame::Put(Pr, "riot", true);
  if (!G.Human(Fid)) G.ResolveRiot(Pid, TGame::N(Pr, "gold") >= 30);
}

// Beasts come from March to November, leave as each season ends, and raid a
// twentieth of the food, rounded up, every month they stay.
void Beasts(TGame& G, int64_t Pid, int64_t Fid) {
  TJson* Doc = G.Data.get();
  TJson* Pr = G.P(Pid);
  const int64_t Coming = TGame::N(Doc, "month") % 12 + 1;
  if (Coming % 3 == 0) TGame::Put(Pr, "beast", 0);
  bool Arrived = false;
  if (Coming >= 3 && Coming <= 11 && TGame::N(Pr, "beast") == 0 &&
      G.Rand(100) < Bound(G.Rule("beastChancePercent", 5), 0, 100)) {
    const int64_t K = G.Rand(100);
    TGame::Put(Pr, "beast", K < 40 ? 1 : K < 70 ? 2 : K < 90 ? 3 : 4);
    Arrived = true;
  }
  const int64_t Beast = TGame::N(Pr, "beast");
  if (Beast <= 0) return;
  const int64_t Before = TGame::N(Pr, "food"), Lost = (Before + 19) / 20;
  IncCap(Pr, "food", -Lost, 9999);
  if (!G.Human(Fid)) return;
  const int64_t After = TGame::N(Pr, "food");
  const std::string Food = std::to_string(Before) + " -> " + std::to_string(After);
  if (!Arrived) {
    G.Note(Name(Pr) + ": the " + TGame::BeastName(Beast) + " raids food stores, " + Food + ".");
    return;
  }
  G.Note("A " + TGame::BeastName(Beast) + " terrorises residents of " + Name(Pr) + ". Food " + Food +
         ". Send a beast expedition.");
  if (!TGame::Has(Doc, "beastNotices")) TGame::AddList(Doc, "beastNotices");
  TJson* Notice = TGame::PushRecord(TGame::List(Doc, "beastNotices"));
  TGame::Put(Notice, "province", Pid);
  TGame::Put(Notice, "faction", Fid);
  TGame::Put(Notice, "beast", Beast);
  TGame::Put(Notice, "foodBefore", Before);
  TGame::Put(Notice, "foodLoss", Lost);
  TGame::Put(Notice, "foodAfter", After);
  TGame::Put(Notice, "month", Coming);
  TGame::Put(Notice, "year", TGame::N(Doc, "year") + (Coming == 1 ? 1 : 0));
}

void Market(TGame& G, int64_t Pid) {
  TJson* Pr = G.P(Pid);
  IncCap(Pr, "rate", G.Rand(11) - 5, 100);
  if (TGame::N(Pr, "rate") < 20) TGame::Put(Pr, "rate", 20);
  // Training and equipment belong to soldiers; a province without any keeps neither.
  if (G.Troops(Pid) == 0) {
    TGame::Put(Pr, "skill", 0);
    TGame::Put(Pr, "arms", 0);
  }
}

void ProvinceMonth(TGame& G, int64_t Pid) {
  const int64_t Fid = TGame::N(G.P(Pid), "owner");
  if (Fid > 0) {
    PayWages(G, Pid, Fid);
    int64_t Need = 0;
    const int64_t Loss = FeedTroops(G, Pid, Fid, Need);
    if (G.Human(Fid))
      G.Note(Name(G.P(Pid)) + ": wages " + std::to_string(G.Count(Pid)) + ", food " + std::to_string(Need) +
             ", starvation " + std::to_string(Loss) + ".");
  }
  const int64_t Roll = G.Rand(100);
  Weather(G, Pid, Fid, Roll);
  Epidemic(G, Pid, Fid);
  if (Fid > 0) Unrest(G, Pid, Fid, Roll);
  Beasts(G, Pid, Fid);
  Market(G, Pid);
}

void FeedExileParties(TGame& G) {
  const int64_t Factions = int64_t(TGame::Len(TGame::List(G.Data.get(), "factions")));
  for (int64_t Fid = 1; Fid <= Factions; ++Fid) {
    TJson* Fr = G.F(Fid);
    TJson* Supplies = G.Party(Fid);
    if (!TGame::B(Fr, "active") || TGame::N(Fr, "home") != 0 || !Supplies) continue;
    TGame::Put(Supplies, "food", std::max<int64_t>(0, TGame::N(Supplies, "food") - 1));
  }
}

bool Wanders(const TJson* Ch) {
  if (TGame::N(Ch, "faction") != 0 || TGame::B(Ch, "captured")) return false;
  const std::string Trade = TGame::S(Ch, "profession");
  return Trade == "trader" || Trade == "performer" || Trade == "outlaw" || Trade == "fisher";
}

void People(TGame& G) {
  const int64_t Recovery = G.Rule("monthlyRecovery", 5);
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    TJson* Ch = G.C(Cid);
    if (!TGame::B(Ch, "alive")) continue;
    if (Wanders(Ch) && G.Rand(100) < 10) {
      TJson* Near = TGame::List(G.P(TGame::N(Ch, "province")), "neighbors");
      const int64_t Next = G.Rand(int64_t(TGame::Len(Near)));
      if (TGame::Len(Near) > 0) TGame::Put(Ch, "province", TGame::NAt(Near, size_t(Next)));
    }
    IncCap(Ch, "body", Recovery, TGame::N(Ch, "bodyMax"));
    const int64_t Fid = TGame::N(Ch, "faction"), Loyalty = TGame::N(Ch, "loyalty");
    if (Fid <= 0 || Cid == Fid || Sworn(Ch) || Loyalty >= 30 || G.Rand(100) >= 30 - Loyalty) continue;
    TGame::Put(Ch, "faction", 0);
    TGame::Put(Ch, "role", "free");
    TGame::Put(Ch, "superior", 0);
    G.Note(Name(Ch) + " leaves the fellowship.");
    G.Appoint(TGame::N(Ch, "province"));
  }
}

// Returns the month being entered.
int64_t AdvanceCalendar(TGame& G) {
  TJson* Doc = G.Data.get();
  int64_t Month = TGame::N(Doc, "month") + 1;
  if (Month > 12) {
    Month = 1;
    TGame::Put(Doc, "month", Month);
    TGame::Put(Doc, "year", TGame::N(Doc, "year") + 1);
  } else {
    TGame::Put(Doc, "month", Month);
  }
  if (Month == 3)
    for (int64_t Pid = 1; Pid <= 49; ++Pid) TGame::Put(G.P(Pid), "snow", false);
  return Month;
}

// A province whose governor deserted this month is given up now, as the
// governors' step would have done, so that the final state stays savable.
void ReleaseUngoverned(TGame& G) {
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    TJson* Pr = G.P(Pid);
    const int64_t Owner = TGame::N(Pr, "owner");
    if (Owner <= 0 || G.Local(TGame::N(Pr, "governor"), Pid, Owner)) continue;
    G.Appoint(Pid);
    if (TGame::N(Pr, "governor") != 0) continue;
    TGame::Put(Pr, "owner", 0);
    TGame::Put(Pr, "governor", 0);
  }
}

bool Invasion(TGame& G) {
  TJson* Doc = G.Data.get();
  if (G.Rule("invasionYear", 327) > TGame::N(Doc, "year")) return false;
  const std::string Result = "The northern invasion has arrived. The court is lost.";
  TGame::Put(Doc, "ended", true);
  TGame::Put(Doc, "result", Result);
  G.Note(Result);
  ReleaseUngoverned(G);
  return true;
}

void AgePeople(TGame& G) {
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    TJson* Ch = G.C(Cid);
    if (!TGame::B(Ch, "alive")) continue;
    IncCap(Ch, "age", 1, 999);
    const int64_t Fid = TGame::N(Ch, "faction");
    if (Fid > 0 && Cid != Fid && !Sworn(Ch))
      IncCap(Ch, "loyalty", -((100 - G.Compatible(Cid, Fid)) / 15 + 1), 100);
  }
}

void TaxAndDecay(TGame& G) {
  const int64_t TaxSupport = G.Rule("taxSupport", 40);
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    TJson* Pr = G.P(Pid);
    const int64_t Owner = TGame::N(Pr, "owner"), Support = TGame::N(Pr, "support");
    if (Owner > 0 && Support >= TaxSupport) {
      // A merciful governor takes less.
      const int64_t Mercy = TGame::N(G.C(TGame::N(Pr, "governor")), "mercy");
      const int64_t GoldTax = TGame::N(Pr, "wealth") * Support * (150 - Mercy) / 1000;
      const int64_t FoodTax = TGame::N(Pr, "land") * Support * (150 - Mercy) / 500;
      IncCap(Pr, "gold", GoldTax, 9999);
      IncCap(Pr, "food", FoodTax, 9999);
      if (G.Human(Owner))
        G.Note("Annual tax " + Name(Pr) + ": " + std::to_string(GoldTax) + " Gold / " + std::to_string(FoodTax) +
               " Food.");
    }
    IncCap(Pr, "skill", -3, 100);
    IncCap(Pr, "arms", -3, 100);
    IncCap(Pr, "flood", -2, 100);
    IncCap(Pr, "land", -2, 100);
    IncCap(Pr, "wealth", -2, 100);
    IncCap(Pr, "support", -1, 100);
  }
}

// From the last record to the first, so that a deletion never skips one.
void AgeTreaties(TGame& G) {
  TJson* Doc = G.Data.get();
  for (size_t I = TGame::Len(TGame::List(Doc, "treaties")); I-- > 0;) {
    TJson* Treaty = TGame::Item(TGame::List(Doc, "treaties"), I);
    const int64_t Years = TGame::N(Treaty, "years") - 1;
    TGame::Put(Treaty, "years", Years);
    if (Years == 0) TGame::Delete(TGame::List(Doc, "treaties"), I);
  }
}

void GrantWrits(TGame& G) {
  const int64_t Needed = G.Rule("writPopularity", 250);
  const int64_t Factions = int64_t(TGame::Len(TGame::List(G.Data.get(), "factions")));
  for (int64_t Fid = 1; Fid <= Factions; ++Fid) {
    TJson* Fr = G.F(Fid);
    // The Chancellor's own fellowship is what the writ is granted against.
    if (Fid == 11 || !TGame::B(Fr, "active") || TGame::N(Fr, "home") <= 0 || TGame::N(Fr, "popularity") < Needed ||
        TGame::B(Fr, "writ"))
      continue;
    TGame::Put(Fr, "writ", true);
    G.Note("The sovereign grants " + Name(G.C(Fid)) + " a Royal Writ!");
  }
}

void Governors(TGame& G) {
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    TJson* Pr = G.P(Pid);
    if (TGame::N(Pr, "owner") <= 0) continue;
    G.Appoint(Pid);
    if (TGame::N(Pr, "governor") != 0) continue;
    TGame::Put(Pr, "owner", 0);
    TGame::Put(Pr, "governor", 0);
  }
}

}  // namespace

void TGame::MonthEnd() {
  Note("--- Month-end ledger ---");
  for (int64_t Pid = 1; Pid <= 49; ++Pid) ProvinceMonth(*this, Pid);
  FeedExileParties(*this);
  People(*this);
  if (AdvanceCalendar(*this) == 1) {
    if (Invasion(*this)) return;
    AgePeople(*this);
    TaxAndDecay(*this);
    AgeTreaties(*this);
    GrantWrits(*this);
  }
  Governors(*this);
  NormalizeFactions();
  Note("Month " + std::to_string(N(Data.get(), "month")) + ", River Calendar " + std::to_string(N(Data.get(), "year")));
}
