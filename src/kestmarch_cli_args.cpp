// Arguments shared by the subcommands of kestmarch-cli.
#include "kestmarch_cli.h"
#include "kv_files.h"

#include <cstdint>

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

std::string Lines(const std::deque<std::string>& Log) {
  std::string Out;
  for (size_t I = 0; I < Log.size(); ++I) Out += (I ? "\n" : "") + Log[I];
  return Out;
}

// The value after an option such as "--seed".
const std::string& OptionValue(const std::vector<std::string>& Args, size_t& I) {
  if (++I == Args.size()) throw TUsageError(Args[I - 1] + " needs a value");
  return Args[I];
}

namespace {

// "3,5": the leaders chosen, in order.
std::vector<int64_t> LeaderList(const std::string& Text) {
  std::vector<int64_t> Leaders;
  size_t Start = 0;
  while (Start <= Text.size() && !Text.empty()) {
    size_t End = Text.find(',', Start);
    Leaders.push_back(Integer(Text.substr(Start, End == std::string::npos ? End : End - Start)));
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  return Leaders;
}

}  // namespace

TNewOptions DefaultNewOptions() {
  TNewOptions Options;
  Options.World = ProgramRoot() + "assets/data/world.json";
  return Options;
}

bool NewOption(const std::vector<std::string>& Args, size_t& I, TNewOptions& Options) {
  const std::string& Opt = Args[I];
  if (Opt == "--world")
    Options.World = OptionValue(Args, I);
  else if (Opt == "--scenario")
    Options.Scenario = Integer(OptionValue(Args, I));
  else if (Opt == "--leaders")
    Options.Leaders = LeaderList(OptionValue(Args, I));
  else if (Opt == "--difficulty")
    Options.Difficulty = Integer(OptionValue(Args, I));
  else if (Opt == "--seed")
    Options.Seed = Integer(OptionValue(Args, I));
  else
    return false;
  return true;
}

void StartCampaign(TGame& G, const TNewOptions& O) {
  if (O.Seed < 0 || O.Seed > int64_t(UINT32_MAX)) throw TUsageError("the seed is a number 0..4294967295");
  G.NewGame(O.World, O.Scenario, int64_t(O.Leaders.size()), O.Difficulty, O.Leaders, uint32_t(O.Seed));
}
