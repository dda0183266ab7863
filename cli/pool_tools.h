// nonet pool stats, export, merge and check.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>

// Adds the subcommands to `nonet pool`; the chosen one's run is stored in action.
void add_pool_tool_commands(CLI::App& pool_command, std::shared_ptr<std::function<int()>> const& action);
