// kestmarch-cli: the headless companion. Loads and verifies saves and calls
// model operations one by one, printing one plain line per result.
#include "kestmarch_cli.h"
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
    "usage: kestmarch-cli verify SAVE | call SAVE [-o OUT] OPERATION... | render WHAT -o PNG [options]";

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

bool ParseInteger(const std::string& Text, int64_t& V) {
  if (Text.empty()) return false;
  size_t Used = 0;
  try {
    V = std::stoll(Text, &Used, 10);
  } catch (const std::exception&) {
    return false;
  }
  return Used == Text.size();
}

int64_t Integer(const std::string& Text) {
  int64_t V;
  if (!ParseInteger(Text, V)) throw TUsageError("not a whole number: " + Text);
  return V;
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

std::string Lines(const std::deque<std::string>& Log) {
  std::string Out;
  for (size_t I = 0; I < Log.size(); ++I) Out += (I ? "\n" : "") + Log[I];
  return Out;
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
    if (Sub == "verify") return Verify(Args);
    if (Sub == "call") return Call(Args);
    if (Sub == "render") return Render(Args);
    throw TUsageError("unknown subcommand: " + Sub);
  } catch (const TUsageError& E) {
    std::cerr << Usage << "\n" << E.what() << "\n";
    return 2;
  } catch (const std::exception& E) {
    std::cerr << "error: " << E.what() << "\n";
    return 1;
  }
}
