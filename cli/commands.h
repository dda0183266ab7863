// Subcommands of the nonet tool. Each command file registers itself with a
// static CommandRegistration; main() builds the CLI11 app from the registry.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

struct Command {
  std::string name;
  std::string description;
  // Adds the subcommand's options; returns the action run when it is chosen (its exit status).
  std::function<std::function<int()>(CLI::App&)> configure;
};

std::vector<Command>& command_registry();

struct CommandRegistration {
  explicit CommandRegistration(Command c) { command_registry().push_back(std::move(c)); }
};
