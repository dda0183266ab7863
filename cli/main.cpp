// nonet: command-line front end of the engine. Usage errors exit 2 with a message
// that starts with "nonet:" or "nonet SUBCOMMAND:" (see cli/tool.h).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>

#include "cli/commands.h"
#include "cli/tool.h"

std::vector<Command>& command_registry() {
  static std::vector<Command> registry;
  return registry;
}

namespace {

// Flags take no values: "--x=3" is a usage error, not a quiet "true".
void refuse_flag_values(CLI::App& app) {
  for (CLI::Option* option : app.get_options())
    if (option->get_expected_max() == 0) option->disable_flag_override();
  for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) refuse_flag_values(*sub);
}

// "nonet queue pack" for messages about the command line: the subcommands named.
std::string who_for(CLI::App& app, int argc, char** argv) {
  std::string who = "nonet";
  CLI::App* at = &app;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-') continue;
    CLI::App* sub = nullptr;
    try {
      sub = at->get_subcommand(argv[i]);
    } catch (CLI::OptionNotFound const&) {
      break;
    }
    who += std::string(" ") + argv[i];
    at = sub;
  }
  return who;
}

std::string command_names() {
  std::string names;
  for (auto const& c : command_registry()) names += (names.empty() ? "" : ", ") + c.name;
  return names;
}

bool is_command(std::string const& name) {
  auto const& r = command_registry();
  return std::any_of(r.begin(), r.end(), [&](Command const& c) { return c.name == name; });
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"nonet: generate, solve and read 9x9 number-placement puzzles"};
  app.name("nonet");
  app.set_version_flag("--version", "nonet " NONET_VERSION);
  app.require_subcommand(0, 1);
  app.footer("Run 'nonet COMMAND --help' for a command's options. Exit status: 0 success, 1 a problem in the input, "
             "2 a usage error, 130 interrupted.");

  auto& registry = command_registry();
  std::sort(registry.begin(), registry.end(), [](Command const& a, Command const& b) { return a.name < b.name; });
  std::function<int()> action;
  for (auto& command : registry) {
    CLI::App* sub = app.add_subcommand(command.name, command.description);
    auto run = command.configure(*sub);
    sub->callback([&action, run] { action = run; });
  }
  refuse_flag_values(app);

  // "nonet help [COMMAND]" and unknown commands, before CLI11 sees them.
  std::vector<char*> args(argv, argv + argc);
  char help_flag[] = "--help";
  if (argc >= 2 && argv[1][0] != '-' && !is_command(argv[1])) {
    if (std::strcmp(argv[1], "help") == 0) {
      if (argc == 2) return std::cout << app.help(), tool::kExitOk;
      if (is_command(argv[2])) args = {argv[0], argv[2], help_flag};  // the same text as "COMMAND --help"
    }
  }
  argc = static_cast<int>(args.size());
  argv = args.data();
  if (argc >= 2 && argv[1][0] != '-' && !is_command(argv[1])) {
    std::string const name = std::strcmp(argv[1], "help") == 0 && argc > 2 ? argv[2] : argv[1];
    tool::say("nonet", "unknown command '" + tool::escaped(name) + "' (commands: " + command_names() + ")");
    return tool::kExitUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (CLI::CallForHelp const& e) {
    return app.exit(e) == 0 ? tool::kExitOk : tool::kExitUsage;
  } catch (CLI::CallForAllHelp const& e) {
    return app.exit(e) == 0 ? tool::kExitOk : tool::kExitUsage;
  } catch (CLI::CallForVersion const& e) {
    return app.exit(e) == 0 ? tool::kExitOk : tool::kExitUsage;
  } catch (CLI::ParseError const& e) {
    std::string const who = who_for(app, argc, argv);
    tool::say(who, tool::escaped(e.what(), 400) + " (see '" + who + " --help')");
    return tool::kExitUsage;
  }
  if (!action) {
    std::cerr << app.help();
    return tool::kExitUsage;
  }
  try {
    return action();
  } catch (std::exception const& e) {
    tool::say(who_for(app, argc, argv), std::string("failed: ") + tool::escaped(e.what()));
    return tool::kExitInputProblem;
  }
}
