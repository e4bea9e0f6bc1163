// Shared by the subcommands of kestmarch-cli.
#pragma once

#include "kv_model.h"

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

// Bad arguments: the usage line is printed and the program exits with 2.
struct TUsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// kestmarch-cli render: pictures painted by the game's own code, written as PNG.
int Render(const std::vector<std::string>& Args);

// Arguments shared by the subcommands.
bool ParseInteger(const std::string& Text, int64_t& V);
int64_t Integer(const std::string& Text);
const std::string& OptionValue(const std::vector<std::string>& Args, size_t& I);
std::string Lines(const std::deque<std::string>& Log);

// The options of a new campaign: --world, --scenario, --leaders, --difficulty, --seed.
struct TNewOptions {
  std::string World;
  int64_t Scenario = 1, Difficulty = 2, Seed = 730127;
  std::vector<int64_t> Leaders;
};
TNewOptions DefaultNewOptions();
// Takes the option at Args[I], with its value, when it is one of them.
bool NewOption(const std::vector<std::string>& Args, size_t& I, TNewOptions& Options);
void StartCampaign(TGame& G, const TNewOptions& Options);

// kestmarch-cli observe: the computer plays as the game's main loop lets it, without waiting.
int Observe(const std::vector<std::string>& Args);
