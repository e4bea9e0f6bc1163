// The monthly turn queue and the upkeep that keeps fellowships consistent
// after anything changes hands: governors, homes, exile parties and the end
// of the campaign by captivity.
#include "kv_model.h"

#include <string>

namespace {

bool Sworn(const TJson* Ch) { return TGame::S(Ch, "role") == "sworn companion"; }

int64_t FactionCount(const TGame& G) { return int64_t(TGame::Len(TGame::List(G.Data.get(), "factions"))); }

}  // namespace

void TGame::MakeQueue() {
  TJson* Doc = Data.get();
  PutObj(Doc, "queueOwners");
  Clear(List(Doc, "queue"));
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    int64_t Owner = N(P(Pid), "owner");
    if (Owner >= 1 && B(F(Owner), "active")) Push(List(Doc, "queue"), Pid);
  }
  for (int64_t Fid = 1; Fid <= FactionCount(*this); ++Fid)
    if (B(F(Fid), "active") && N(F(Fid), "home") == 0) Push(List(Doc, "queue"), -Fid);

  // Fisher-Yates from the back: n entries draw n - 1 times, the first with limit n.
  for (size_t I = Len(List(Doc, "queue")); I-- > 1;) {
    size_t J = size_t(Rand(int64_t(I) + 1));
    TJson* Queue = List(Doc, "queue");  // a draw may have added rng to the document
    int64_t A = NAt(Queue, I), B = NAt(Queue, J);
    PutAt(Queue, I, B);
    PutAt(Queue, J, A);
  }

  TJson *Queue = List(Doc, "queue"), *Owners = Obj(Doc, "queueOwners");
  for (size_t I = 0; I < Len(Queue); ++I) {
    int64_t Entry = NAt(Queue, I);
    const std::string Name = std::to_string(Entry);
    Add(Owners, TKey(Name), Entry < 0 ? -Entry : N(P(Entry), "owner"));
  }
  Put(Doc, "queueIndex", 0);
}

void TGame::FinishOrder() {
  TJson* Doc = Data.get();
  Put(Doc, "town", false);
  Put(Doc, "queueIndex", N(Doc, "queueIndex") + 1);
  if (N(Doc, "queueIndex") >= int64_t(Len(List(Doc, "queue")))) {
    MonthEnd();
    // An ended campaign keeps its index past the end, so no turn is current.
    if (!Finished()) MakeQueue();
  }
}

// The leader governs where they stand; else the oldest sworn companion; else
// the most loyal follower, the wiser one on equal loyalty. Ties keep the lower id.
void TGame::Appoint(int64_t PID) {
  TJson* Pr = P(PID);
  const int64_t Fid = N(Pr, "owner");
  int64_t Best = 0;
  for (int64_t I = 1; I <= 255; ++I) {
    if (!Local(I, PID, Fid) || S(C(I), "role") == "exile") continue;
    TJson *Ch = C(I), *Held = C(Best);
    if (Best == 0 || I == Fid) {
      Best = I;
    } else if (Best == Fid) {
      continue;
    } else if (Sworn(Ch) || Sworn(Held)) {
      if (Sworn(Ch) && (!Sworn(Held) || N(Ch, "age") > N(Held, "age"))) Best = I;
    } else if (N(Ch, "loyalty") > N(Held, "loyalty") ||
               (N(Ch, "loyalty") == N(Held, "loyalty") && N(Ch, "wisdom") > N(Held, "wisdom"))) {
      Best = I;
    }
  }
  Put(Pr, "governor", Best);
}

void TGame::NormalizeFactions() {
  for (int64_t Fid = 1; Fid <= FactionCount(*this); ++Fid) {
    TJson* Fr = F(Fid);
    if (!B(Fr, "active")) continue;
    TJson* Leader = C(Fid);
    if (!B(Leader, "alive") || B(Leader, "captured")) {
      Put(Fr, "active", false);
      Put(Fr, "writ", false);
      continue;
    }
    const int64_t At = N(Leader, "province");
    if (N(Leader, "faction") != Fid) Put(Leader, "faction", Fid);
    if (N(P(At), "owner") == Fid && S(Leader, "role") != "exile") {
      Put(Fr, "home", At);
      continue;
    }
    // On the road: a leader away from a province of their own travels with the party.
    Put(Fr, "home", 0);
    Put(Fr, "writ", false);
    Put(Leader, "role", "exile");
    Put(RoadParty(Fid, At), "province", At);
  }
  for (int64_t Pid = 1; Pid <= 49; ++Pid) {
    if (N(P(Pid), "owner") <= 0) continue;
    Appoint(Pid);
    if (N(P(Pid), "governor") == 0) Put(P(Pid), "owner", 0);
  }
}

void TGame::CheckEnd() {
  int64_t Humans = 0, Free = 0;
  for (int64_t Fid = 1; Fid <= 10; ++Fid) {
    TJson* Fr = F(Fid);
    if (!B(Fr, "human")) continue;
    ++Humans;
    TJson* Leader = C(Fid);
    if (B(Fr, "active") && B(Leader, "alive") && !B(Leader, "captured")) ++Free;
  }
  if (Humans == 0 || Free > 0) return;
  const std::string Result = "Your last fellowship leader has fallen into captivity. The chronicle ends.";
  Put(Data.get(), "ended", true);
  Put(Data.get(), "result", Result);
  Note(Result);
}
