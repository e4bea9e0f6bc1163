// Shared by the subcommands of kestmarch-cli.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// Bad arguments: the usage line is printed and the program exits with 2.
struct TUsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// kestmarch-cli render: pictures painted by the game's own code, written as PNG.
int Render(const std::vector<std::string>& Args);
