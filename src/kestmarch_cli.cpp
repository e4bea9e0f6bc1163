// kestmarch-cli: the headless companion. Loads and verifies saves and calls
// model operations one by one, printing one plain line per result.
#include "kestmarch_cli.h"
#include "kv_files.h"
#include "kv_model.h"

#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* const Usage =
    "usage: kestmarch-cli new -o SAVE [--world PATH] [--scenario N] [--leaders L1,L2,...] [--difficulty D] "
    "[--seed S] | verify SAVE | call SAVE [-o OUT] OPERATION... | render WHAT -o PNG [options] | "
    "observe (SAVE | --new [new options]) [--months M] [-o OUT] [--validate] [--quiet]";

// Words separated by spaces; the last of at most Max words keeps the rest of the text.
std::vector<std::string> Words(const std::string& Text, size_t Max = SIZE_MAX) {
  std::vector<std::string> Out;
  size_t At = Text.find_first_not_of(' ');
  while (At != std::string::npos) {
    size_t End = Out.size() + 1 == Max ? std::string::npos : Text.find(' ', At);
    Out.push_back(Text.substr(At, End == std::string::npos ? End : End - At));
    At = End == std::string::npos ? End : Text.find_first_not_of(' ', End);
  }
  return Out;
}

// The reference tokens of a JSON Pointer ("/provinces/2/gold"), unescaped.
std::vector<std::string> PointerTokens(const std::string& Pointer) {
  if (Pointer.empty()) return {};
  if (Pointer[0] != '/') throw TUsageError("a pointer starts with '/': " + Pointer);
  std::vector<std::string> Tokens;
  size_t Start = 1;
  for (;;) {
    size_t End = Pointer.find('/', Start);
    std::string T = Pointer.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
    for (size_t I = 0; (I = T.find('~', I)) != std::string::npos; ++I)
      T.replace(I, 2, I + 1 < T.size() && T[I + 1] == '1' ? "/" : "~");
    Tokens.push_back(T);
    if (End == std::string::npos) return Tokens;
    Start = End + 1;
  }
}

// The node a token names inside V, or nullptr.
TJson* Step(TJson* V, const std::string& Token) {
  if (!V) return nullptr;
  if (V->IsObject()) return V->Find(TKey(Token));
  int64_t Index;
  if (V->IsArray() && ParseInteger(Token, Index) && Index >= 0 && size_t(Index) < V->Size())
    return &V->At(size_t(Index));
  return nullptr;
}

TJson* Resolve(TJson* Root, const std::vector<std::string>& Tokens, size_t Count) {
  TJson* V = Root;
  for (size_t I = 0; I < Count && V; ++I) V = Step(V, Tokens[I]);
  return V;
}

TJson& Document(TGame& G) {
  if (!G.Data) throw std::runtime_error("No campaign.");
  return *G.Data;
}

std::string Get(TGame& G, const std::string& Pointer) {
  auto Tokens = PointerTokens(Pointer);
  TJson* V = Resolve(&Document(G), Tokens, Tokens.size());
  return V ? WriteJson(*V) : "null";
}

std::string Set(TGame& G, const std::string& Pointer, const std::string& Text) {
  auto Tokens = PointerTokens(Pointer);
  if (Tokens.empty()) throw TUsageError("set needs a member, not the whole document");
  TJson* Parent = Resolve(&Document(G), Tokens, Tokens.size() - 1);
  const std::string& Key = Tokens.back();
  int64_t Number;
  bool IsNumber = ParseInteger(Text, Number);
  if (Parent && Parent->IsObject()) {
    if (IsNumber) TGame::Put(Parent, TKey(Key), Number);
    else if (Text == "true" || Text == "false") TGame::Put(Parent, TKey(Key), Text == "true");
    else TGame::Put(Parent, TKey(Key), Text);
    return "ok";
  }
  // An array element is changed in place, keeping its position.
  if (TJson* Element = Step(Parent, Key); Element && Parent->IsArray()) {
    *Element = IsNumber ? TJson(Number) : Text == "true" || Text == "false" ? TJson(Text == "true") : TJson(Text);
    return "ok";
  }
  throw std::runtime_error("No such member: " + Pointer);
}

// The enumerator names of the orders, for KIND arguments.
const char* const OrderEnumerators[OrderCount] = {
    "ORest", "OTravel", "OSettle", "ORecruit", "OCultivate", "OFlood", "OBuild", "OHunt", "OSolicit", "OTrain",
    "OHire", "OGive", "OReward", "OFeast", "OOath", "ODismiss", "OShip", "OWeapons", "OMove", "OConvoy",
    "OTreaty", "OInvite", "OTown", "OBuyFood", "OSellFood", "OBuyFur", "OSellFur", "OBuyArms", "OBuyShip",
    "OBeasts", "OWar", "OScout", "ORedistribute", "OAssignShip", "OGovernor", "OPolicy", "OAbandon", "ORetire",
    "ODivination", "ORumors",
};

TOrder Kind(const std::string& Text) {
  for (int K = 0; K < OrderCount; ++K)
    if (Text == OrderEnumerators[K]) return TOrder(K);
  int64_t K;
  if (!ParseInteger(Text, K) || K < 0 || K >= OrderCount) throw TUsageError("not an order kind: " + Text);
  return TOrder(K);
}

// KIND ACTOR TARGET AMOUNT EXTRA, from the words after the operation's name.
TCommand CommandOf(const std::vector<std::string>& A) {
  auto Field = [&](size_t I) {
    int64_t V = Integer(A[I]);
    if (V < INT32_MIN || V > INT32_MAX) throw TUsageError("out of range: " + A[I]);
    return int32_t(V);
  };
  return Command(Kind(A[1]), Field(2), Field(3), Field(4), Field(5));
}

int64_t ProvinceId(const std::string& Text) {
  int64_t Id = Integer(Text);
  if (Id < 1 || Id > 49) throw TUsageError("not a province: " + Text);
  return Id;
}

bool PayChoice(const std::string& Text) {
  if (Text != "pay" && Text != "refuse") throw TUsageError("a riot is answered with pay or refuse: " + Text);
  return Text == "pay";
}

// Runs one upkeep routine and answers "ok".
template <void (TGame::*Routine)()>
std::string Upkeep(TGame& G, const std::vector<std::string>&) {
  (G.*Routine)();
  return "ok";
}

// For testers: opens a battle directly, without the War order's checks, but
// never over a battle already running or with provinces or factions that do not exist.
std::string BeginBattle(TGame& G, const std::vector<std::string>& A) {
  const int64_t Origin = ProvinceId(A[1]), Dest = ProvinceId(A[2]), Fid = Integer(A[3]);
  if (!G.F(Fid)) throw TUsageError("not a faction: " + A[3]);
  if (G.InBattle()) throw std::runtime_error("A battle is already in progress.");
  G.BeginBattle(Origin, Dest, Fid);
  return "ok";
}

using TOperation = std::function<std::string(TGame&, const std::vector<std::string>&)>;

struct TOperationRow {
  size_t Arguments;
  TOperation Run;
};

const std::map<std::string, TOperationRow>& Operations() {
  static const std::map<std::string, TOperationRow> Table = {
      {"get", {1, [](TGame& G, const auto& A) { return Get(G, A[1]); }}},
      {"set", {2, [](TGame& G, const auto& A) { return Set(G, A[1], A[2]); }}},
      {"rand", {1, [](TGame& G, const auto& A) { return std::to_string(G.Rand(Integer(A[1]))); }}},
      {"validate", {0, [](TGame& G, const auto&) { std::string E = G.Validate(); return E.empty() ? "ok" : E; }}},
      {"hash", {0, [](TGame& G, const auto&) { return G.StateHash(); }}},
      {"log", {0, [](TGame& G, const auto&) { return Lines(G.Log); }}},
      {"check", {5, [](TGame& G, const auto& A) { return G.Check(CommandOf(A)); }}},
      {"describe", {5, [](TGame& G, const auto& A) { return G.Describe(CommandOf(A)); }}},
      {"chance", {5, [](TGame& G, const auto& A) { return std::to_string(G.Chance(CommandOf(A))); }}},
      {"execute", {5, [](TGame& G, const auto& A) { return G.Execute(CommandOf(A)); }}},
      {"finish", {0, Upkeep<&TGame::FinishOrder>}},
      {"month-end", {0, Upkeep<&TGame::MonthEnd>}},
      {"make-queue", {0, Upkeep<&TGame::MakeQueue>}},
      {"normalize", {0, Upkeep<&TGame::NormalizeFactions>}},
      {"check-end", {0, Upkeep<&TGame::CheckEnd>}},
      {"appoint", {1, [](TGame& G, const auto& A) { G.Appoint(ProvinceId(A[1])); return std::string("ok"); }}},
      {"riot", {2, [](TGame& G, const auto& A) { return G.ResolveRiot(Integer(A[1]), PayChoice(A[2])); }}},
      {"begin-battle", {3, BeginBattle}},
      {"battle-action",
       {5, [](TGame& G, const auto& A) {
          return G.BattleAction(Integer(A[1]), Integer(A[2]), Integer(A[3]), Integer(A[4]), A[5]);
        }}},
      {"battle-ai", {0, Upkeep<&TGame::BattleAI>}},
      {"battle-day", {0, Upkeep<&TGame::BattleDay>}},
      {"resolve-battle", {0, Upkeep<&TGame::ResolveBattle>}},
      {"prisoner", {3, [](TGame& G, const auto& A) { return G.PrisonerAction(Integer(A[1]), Integer(A[2]), A[3]); }}},
  };
  return Table;
}

int Verify(const std::vector<std::string>& Args) {
  if (Args.size() != 1) throw TUsageError("verify takes one save file");
  TGame G;
  try {
    G.Load(Args[0]);
  } catch (const std::exception& E) {
    std::cout << E.what() << "\n";
    return 1;
  }
  std::cout << "ok " << G.StateHash() << "\n";
  return 0;
}

int New(const std::vector<std::string>& Args) {
  std::string Out;
  TNewOptions Options = DefaultNewOptions();
  for (size_t I = 0; I < Args.size(); ++I) {
    if (Args[I] == "-o")
      Out = OptionValue(Args, I);
    else if (!NewOption(Args, I, Options))
      throw TUsageError("unknown option: " + Args[I]);
  }
  if (Out.empty()) throw TUsageError("new needs -o SAVE");
  TGame G;
  StartCampaign(G, Options);
  G.Save(Out);
  std::cout << Lines(G.Log) << "\n";
  return 0;
}

int Call(const std::vector<std::string>& Args) {
  if (Args.empty()) throw TUsageError("call needs a save file");
  std::string Out;
  std::vector<std::vector<std::string>> Ops;
  for (size_t I = 1; I < Args.size(); ++I) {
    if (Args[I] == "-o") {
      if (++I == Args.size()) throw TUsageError("-o needs a file name");
      Out = Args[I];
      continue;
    }
    auto W = Words(Args[I]);
    auto Row = W.empty() ? Operations().end() : Operations().find(W[0]);
    if (Row == Operations().end()) throw TUsageError("unknown operation: " + Args[I]);
    // The value of "set" is the rest of the text, spaces and all.
    if (W[0] == "set") W = Words(Args[I], 3);
    if (W.size() != Row->second.Arguments + 1) throw TUsageError("wrong number of words: " + Args[I]);
    Ops.push_back(W);
  }
  TGame G;
  G.Load(Args[0]);
  for (const auto& Op : Ops) std::cout << Operations().at(Op[0]).Run(G, Op) << "\n" << std::flush;
  if (!Out.empty()) G.Save(Out);
  return 0;
}

}  // namespace

int main(int Argc, char** Argv) {
  std::vector<std::string> Args(Argv + 1, Argv + Argc);
  try {
    if (Args.empty()) throw TUsageError("no subcommand");
    std::string Sub = Args[0];
    Args.erase(Args.begin());
    if (Sub == "new") return New(Args);
    if (Sub == "verify") return Verify(Args);
    if (Sub == "call") return Call(Args);
    if (Sub == "render") return Render(Args);
    if (Sub == "observe") return Observe(Args);
    throw TUsageError("unknown subcommand: " + Sub);
  } catch (const TUsageError& E) {
    std::cerr << Usage << "\n" << E.what() << "\n";
    return 2;
  } catch (const std::exception& E) {
    std::cerr << "error: " << E.what() << "\n";
    return 1;
  }
}
