// What the cases of order execution share: the order, the records it names,
// the two bookkeeping steps every case uses, and what the tail must do.
#pragma once

#include "kv_model.h"

#include <string>

struct TOrderRun {
  TGame& G;
  const TCommand& Cmd;
  int64_t Pid, Fid;  // the acting province and faction
  TJson *Province, *Actor, *Target, *Leader, *TargetProvince;
  int64_t BodyCost = 0;
  bool Free = false;
  bool Tail = true;  // an uprising hands everything to the battle
  std::string Result;

  // The acting province's Key moves by Amount and stays within 0..Cap; a payment never goes below 0.
  void Gain(const TKey& Key, int64_t Amount, int64_t Cap) const {
    TGame::Put(Province, Key, Bound(TGame::N(Province, Key) + Amount, 0, Cap));
  }
  void Popular(int64_t Amount) const {
    TJson* Fellowship = G.F(Fid);
    TGame::Put(Fellowship, "popularity", Bound(TGame::N(Fellowship, "popularity") + Amount, 0, 999));
  }
  // The exile party of the acting fellowship, made when it has gone missing.
  TJson* Party() const { return G.RoadParty(Fid, Pid); }
  std::string Name(const TJson* O) const { return TGame::S(O, "name"); }
};

// The cases that change who belongs where.
void Settle(TOrderRun& Run);
void Recruit(TOrderRun& Run);
void MovePeople(TOrderRun& Run);
void Mission(TOrderRun& Run);  // Treaty and Invite fellowship
void AbandonRealm(TOrderRun& Run);
