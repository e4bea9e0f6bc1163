// The orders that change who belongs where: settling, recruiting, moving
// people, treaties and invitations between fellowships, and abandoning the
// realm for the road.
#include "kv_model_execute.h"

#include <algorithm>

void Settle(TOrderRun& Run) {
  TGame& G = Run.G;
  if (TGame::N(Run.Province, "owner") != 0) {
    // An occupied province rises instead; the battle's end closes the turn.
    G.BeginBattle(Run.Pid, Run.Pid, Run.Fid);
    G.Note("An uprising begins.");
    Run.Result = "An uprising begins.";
    Run.Tail = false;
    return;
  }
  TGame::Put(Run.Province, "owner", Run.Fid);
  TGame::Put(Run.Province, "governor", Run.Fid);
  TGame::Put(G.F(Run.Fid), "home", Run.Pid);
  // The party's stocks are carried into the lair, with a gift of 30 Food.
  TJson* Party = Run.Party();
  Run.Gain("food", TGame::N(Party, "food") + 30, 9999);
  Run.Gain("gold", TGame::N(Party, "gold"), 9999);
  TGame::Put(Party, "food", 0);
  TGame::Put(Party, "gold", 0);
  for (int64_t Cid = 1; Cid <= 255; ++Cid)
    if (G.Local(Cid, Run.Pid, Run.Fid)) TGame::Put(G.C(Cid), "role", Cid == Run.Fid ? "leader" : "follower");
  Run.Result = "Your fellowship settles " + Run.Name(Run.Province) + ".";
}

void Recruit(TOrderRun& Run) {
  TGame& G = Run.G;
  const TCommand& Cmd = Run.Cmd;
  Run.BodyCost = G.Rule("lightBody", 10);
  const bool Town = TGame::B(G.Data.get(), "town");
  if (Town && TGame::List(G.Data.get(), "townAttempts")) TGame::Push(TGame::List(G.Data.get(), "townAttempts"), Cmd.Target);
  // A recruit made during a town visit leaves the turn open for more.
  Run.Free = Town;
  const bool Joins = G.Rand(100) < G.Chance(Cmd);
  if (Joins) {
    TGame::Put(Run.Target, "faction", Run.Fid);
    TGame::Put(Run.Target, "superior", Run.Fid);
    TGame::Put(Run.Target, "role", G.IsExile() ? "exile" : "follower");
    TGame::Put(Run.Target, "loyalty", Bound(G.Compatible(Cmd.Actor, Cmd.Target) / 3 + 50, 50, 90));
    Run.Result = Run.Name(Run.Target) + " joins your fellowship.";
    G.Experience(Cmd.Actor, 0, 0, 20);
  } else {
    Run.Result = Run.Name(Run.Target) + " declines your invitation.";
    Run.Popular(-1);
    G.Experience(Cmd.Actor, 0, 0, 8);
  }
}

void MovePeople(TOrderRun& Run) {
  TGame& G = Run.G;
  const TCommand& Cmd = Run.Cmd;
  TJson *From = Run.Province, *To = Run.TargetProvince;
  Run.BodyCost = G.Rule("lightBody", 10);
  // The newcomer's soldiers bring their own training and arms into the garrison's average.
  const int64_t Garrison = G.Troops(Cmd.Target), Soldiers = TGame::N(Run.Actor, "soldiers");
  for (const TKey& Key : {TKey("skill"), TKey("arms")})
    TGame::Put(To, Key,
               (TGame::N(To, Key) * Garrison + TGame::N(From, Key) * Soldiers) / std::max<int64_t>(1, Soldiers + Garrison));
  TGame::Put(Run.Actor, "province", int64_t(Cmd.Target));
  if (TGame::N(To, "owner") == 0) TGame::Put(To, "owner", Run.Fid);
  if (Cmd.Actor == Run.Fid) TGame::Put(G.F(Run.Fid), "home", int64_t(Cmd.Target));
  G.Appoint(Run.Pid);
  G.Appoint(Cmd.Target);
  if (G.Count(Run.Pid) == 0) {
    TGame::Put(From, "owner", 0);
    TGame::Put(From, "governor", 0);
  }
  G.Experience(Cmd.Actor, 0, 0, 7);
}

void Mission(TOrderRun& Run) {
  TGame& G = Run.G;
  const TCommand& Cmd = Run.Cmd;
  Run.BodyCost = G.Rule("missionBody", 25);
  const int64_t Gift =
      std::max<int64_t>(20, 200 - TGame::N(Run.Actor, "wisdom") - TGame::N(G.F(Run.Fid), "popularity") / 10);
  const bool Agreed = G.Rand(100) < G.Chance(Cmd);
  // The gift is spent whatever the answer.
  Run.Gain("gold", -Gift, 9999);
  if (Cmd.Kind == OTreaty) {
    if (!Agreed) {
      G.Experience(Cmd.Actor, 0, 0, 18);
      Run.Result = "The treaty is refused. The gift is spent.";
      return;
    }
    for (size_t I = TGame::Len(TGame::List(G.Data.get(), "treaties")); I-- > 0;) {
      TJson* Treaty = TGame::Item(TGame::List(G.Data.get(), "treaties"), I);
      const int64_t A = TGame::N(Treaty, "a"), B = TGame::N(Treaty, "b");
      if ((A == Run.Fid && B == Cmd.Target) || (A == Cmd.Target && B == Run.Fid))
        TGame::Delete(TGame::List(G.Data.get(), "treaties"), I);
    }
    TJson* Signed = TGame::PushRecord(TGame::List(G.Data.get(), "treaties"));
    TGame::Put(Signed, "a", Run.Fid);
    TGame::Put(Signed, "b", int64_t(Cmd.Target));
    TGame::Put(Signed, "years", 3);
    G.Experience(Cmd.Actor, 0, 0, 45);
    Run.Result = "A three-year treaty is signed.";
    return;
  }
  if (!Agreed) {
    G.Experience(Cmd.Actor, 0, 0, 23);
    Run.Result = "The invitation is declined.";
    return;
  }
  // The whole fellowship joins, travellers come here; the dead and the captive stay as they are.
  int64_t Members = 0;
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    TJson* Ch = G.C(Cid);
    if (TGame::N(Ch, "faction") != Cmd.Target || !TGame::B(Ch, "alive") || TGame::B(Ch, "captured")) continue;
    ++Members;
    TGame::Put(Ch, "faction", Run.Fid);
    TGame::Put(Ch, "superior", Run.Fid);
    if (TGame::S(Ch, "role") == "exile") TGame::Put(Ch, "province", Run.Pid);
    TGame::Put(Ch, "role", "follower");
  }
  Run.Gain("gold", -10 * Members, 9999);
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    if (TGame::N(G.P(Pid), "owner") != Cmd.Target) continue;
    TGame::Put(G.P(Pid), "owner", Run.Fid);
    G.Appoint(Pid);
  }
  TGame::Put(G.F(Cmd.Target), "active", false);
  G.Experience(Cmd.Actor, 0, 0, 60);
  Run.Result = "The fellowships unite.";
}

void AbandonRealm(TOrderRun& Run) {
  TGame& G = Run.G;
  TJson* Party = Run.Party();
  TGame::Put(Party, "food", std::min<int64_t>(TGame::N(Run.Province, "food"), 100));
  TGame::Put(Party, "gold", std::min<int64_t>(TGame::N(Run.Province, "gold"), 100));
  Run.Gain("food", -TGame::N(Party, "food"), 9999);
  Run.Gain("gold", -TGame::N(Party, "gold"), 9999);

  // The leader takes the road with at most nine companions, the first by id.
  int64_t Companions = 0;
  for (int64_t Cid = 1; Cid <= 255; ++Cid) {
    if (!G.Local(Cid, Run.Pid, Run.Fid)) continue;
    if (Cid != Run.Fid && Companions++ >= 9) continue;
    TGame::Put(G.C(Cid), "role", "exile");
  }

  // Every holding passes to the most loyal who stays behind, as a fellowship of their own.
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    TJson* Holding = G.P(Pid);
    if (TGame::N(Holding, "owner") != Run.Fid) continue;
    auto Stays = [&](int64_t Cid) { return G.Local(Cid, Pid, Run.Fid) && TGame::S(G.C(Cid), "role") != "exile"; };
    int64_t Heir = 0;
    for (int64_t Cid = 1; Cid <= 255; ++Cid)
      if (Stays(Cid) && (Heir == 0 || TGame::N(G.C(Cid), "loyalty") > TGame::N(G.C(Heir), "loyalty"))) Heir = Cid;
    if (Heir == 0) {
      TGame::Put(Holding, "owner", 0);
      TGame::Put(Holding, "governor", 0);
      continue;
    }
    TJson* Founded = G.F(Heir);
    TGame::Put(Founded, "active", true);
    TGame::Put(Founded, "human", false);
    TGame::Put(Founded, "home", Pid);
    TGame::Put(Founded, "writ", false);
    TGame::Put(Founded, "popularity", 0);
    for (int64_t Cid = 1; Cid <= 255; ++Cid) {
      if (!Stays(Cid)) continue;
      TGame::Put(G.C(Cid), "faction", Heir);
      TGame::Put(G.C(Cid), "superior", Heir);
      TGame::Put(G.C(Cid), "role", Cid == Heir ? "leader" : "follower");
    }
    TGame::Put(Holding, "owner", Heir);
    TGame::Put(Holding, "governor", Heir);
    G.Note(Run.Name(G.C(Heir)) + " founds an independent fellowship.");
  }
  TGame::Put(G.F(Run.Fid), "home", 0);
  TGame::Put(G.F(Run.Fid), "writ", false);
  Run.Popular(-100);
  Run.Result = "The fellowship takes the road again.";
}
