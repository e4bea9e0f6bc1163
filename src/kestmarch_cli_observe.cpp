// kestmarch-cli observe: the computer acts exactly as on the main loop's
// computer-player ticks, without waiting, until the months asked for have
// passed, the campaign ends, or a player must act.
#include "kestmarch_cli.h"

#include <iostream>

namespace {

struct TObserveOptions {
  std::string Save, Out;
  bool Fresh = false, Validate = false, Quiet = false;
  int64_t Months = 12;
  TNewOptions New = DefaultNewOptions();
};

TObserveOptions ObserveOptions(const std::vector<std::string>& Args) {
  TObserveOptions O;
  for (size_t I = 0; I < Args.size(); ++I) {
    const std::string& A = Args[I];
    if (A == "--new")
      O.Fresh = true;
    else if (A == "--months")
      O.Months = Integer(OptionValue(Args, I));
    else if (A == "-o")
      O.Out = OptionValue(Args, I);
    else if (A == "--validate")
      O.Validate = true;
    else if (A == "--quiet")
      O.Quiet = true;
    else if (NewOption(Args, I, O.New))
      continue;
    else if (!A.empty() && A[0] != '-' && O.Save.empty())
      O.Save = A;
    else
      throw TUsageError("unknown option: " + A);
  }
  if (O.Fresh == !O.Save.empty()) throw TUsageError("observe needs a save file or --new");
  return O;
}

// Where the campaign stands: a turn is closed whenever this changes.
struct TPlace {
  int64_t Year, Month, Index;
  bool operator==(const TPlace& O) const { return Year == O.Year && Month == O.Month && Index == O.Index; }
};

TPlace PlaceOf(const TGame& G) {
  const TJson* Doc = G.Data.get();
  return {TGame::N(Doc, "year"), TGame::N(Doc, "month"), TGame::N(Doc, "queueIndex")};
}

// One computer-player tick of a battle; false when a player must act in it.
bool BattleTick(TGame& G) {
  TJson* Bt = G.Battle();
  const bool Prompted = TGame::B(Bt, "defensePrompt") || TGame::B(Bt, "deploy");
  bool Acted = false;
  if (!G.BattleHuman() && !Prompted) {
    G.BattleAI();
    Acted = true;
  }
  Bt = G.Battle();
  if (Bt && !G.Human(TGame::N(Bt, "attacker")) && !G.Human(TGame::N(Bt, "defender"))) {
    TGame::Put(Bt, "deploy", false);
    TGame::Put(Bt, "defensePrompt", false);
    G.BattleAI();
    Acted = true;
  }
  return Acted;
}

}  // namespace

int Observe(const std::vector<std::string>& Args) {
  const TObserveOptions O = ObserveOptions(Args);
  TGame G;
  if (O.Fresh)
    StartCampaign(G, O.New);
  else
    G.Load(O.Save);

  uint64_t Shown = G.Noted - std::min<uint64_t>(G.Noted, G.Log.size());
  auto ShowLog = [&] {
    const uint64_t Fresh = std::min<uint64_t>(G.Noted - Shown, G.Log.size());
    if (!O.Quiet)
      for (size_t I = G.Log.size() - size_t(Fresh); I < G.Log.size(); ++I) std::cout << G.Log[I] << "\n";
    Shown = G.Noted;
  };
  ShowLog();

  int64_t Months = 0, Turns = 0, Battles = 0, Streak = 0;
  std::string StreakHash;
  std::string Waiting;
  int Code = 0;
  TPlace Here = PlaceOf(G);
  while (Months < O.Months && !G.Finished()) {
    const bool Fighting = G.InBattle();
    bool Acted = true;
    if (Fighting) {
      Acted = BattleTick(G);
    } else {
      G.AdvanceAI(1);
      Acted = !(PlaceOf(G) == Here) || G.InBattle();
    }
    if (!Fighting && G.InBattle()) ++Battles;
    ShowLog();
    const TPlace Now = PlaceOf(G);
    if (!Acted) {
      Waiting = Fighting ? "a player must act in the battle for " + TGame::S(G.P(TGame::N(G.Battle(), "destination")), "name")
                         : "a player must act at queue entry " + std::to_string(Now.Index) + ": " +
                               std::to_string(G.Current());
      break;
    }
    if (Now == Here) {
      // The same entry for ten thousand steps and a document that no longer changes: stalled.
      if (++Streak == 5000) StreakHash = G.StateHash();
      if (Streak >= 10000) {
        if (G.StateHash() == StreakHash) {
          std::cout << "stalled at queue entry " << Now.Index << ": " << G.Current() << "\n";
          return 4;
        }
        Streak = 0;
      }
      continue;
    }
    Streak = 0;
    ++Turns;
    if (Now.Month != Here.Month || Now.Year != Here.Year) {
      ++Months;
      if (O.Validate) {
        const std::string Problem = G.Validate();
        if (!Problem.empty()) {
          std::cout << "invalid after month " << Months << ": " << Problem << "\n";
          Code = 3;
          break;
        }
      }
    }
    Here = Now;
  }
  if (!Waiting.empty()) std::cout << Waiting << "\n";
  if (Code == 0 && !O.Out.empty()) G.Save(O.Out);
  std::cout << "months " << Months << ", turns " << Turns << ", battles " << Battles << ", ended "
            << (G.Finished() ? "true" : "false") << ", result: " << TGame::S(G.Data.get(), "result") << "\n";
  return Code;
}
