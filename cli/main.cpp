// nonet: command-line front end of the engine.
#include <algorithm>
#include <cstdio>

#include "cli/commands.h"

std::vector<Command>& command_registry() {
  static std::vector<Command> registry;
  return registry;
}

int main(int argc, char** argv) {
  CLI::App app{"nonet: generate, solve and play 9x9 number-placement puzzles"};
  app.set_version_flag("--version", "nonet " NONET_VERSION);
  app.require_subcommand(1);

  auto& registry = command_registry();
  std::sort(registry.begin(), registry.end(), [](Command const& a, Command const& b) { return a.name < b.name; });
  std::function<int()> action;
  for (auto& command : registry) {
    CLI::App* sub = app.add_subcommand(command.name, command.description);
    auto run = command.configure(*sub);
    sub->callback([&action, run] { action = run; });
  }
  CLI11_PARSE(app, argc, argv);
  return action ? action() : 0;
}
