// Conventions shared by every nonet subcommand: exit codes, messages on standard
// error ("nonet solve: line 3: ..."), escaping of untrusted text, the common
// options (-f/--format, --seed, --verbose), Ctrl-C and progress lines.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

enum Exit : int {
  kExitOk = 0,
  kExitInputProblem = 1,  // the work found a problem in the input (bad puzzle line, no grid in a photo)
  kExitUsage = 2,         // unknown command, bad flag or value
  kExitInterrupted = 130  // stopped by Ctrl-C
};

// Text from files, arguments or the engine made safe for a terminal: bytes outside
// printable ASCII become \xNN, a backslash becomes \\; long texts are cut after limit bytes.
std::string escaped(std::string_view text, std::size_t limit = 200);

// Writes "who: message" and a newline to standard error (who is "nonet" or "nonet
// SUBCOMMAND"); the message is printed as given, so escape untrusted parts first.
// Clears and redraws a progress line around it.
void say(std::string_view who, std::string_view message);

// The progress line: shown on standard error only when it is a terminal and
// redrawn in place; finish() ends it. Safe to call from several threads.
void progress(std::string_view text);
void progress_finish();

// Why the engine's last failing call on this thread failed: the text of sudoku_last_error
// without its code word, escaped; fallback when the engine gave no reason.
std::string engine_reason(std::string_view fallback);
// The SUDOKU_ERROR_* code of that call (SUDOKU_OK when it succeeded).
int engine_error_code();

// Routes the engine's diagnostic lines: shown on standard error with verbose, else
// dropped. Every command that calls the engine's generation calls this.
void route_engine_messages(bool verbose);

// Ctrl-C: after catch_interrupts(), the first SIGINT sets interrupted(); a second
// one ends the process with status 130.
void catch_interrupts();
bool interrupted();

// -f/--format with the allowed names; the first is the default.
CLI::Option* add_format_option(CLI::App& app, std::string& format, std::vector<std::string> const& names,
                               std::string const& help);
// --seed: 0 .. 2^64-1 exactly (negative or too large values are usage errors).
CLI::Option* add_seed_option(CLI::App& app, std::uint64_t& seed, std::string const& help);
// --verbose: the engine's diagnostic lines on standard error.
CLI::Option* add_verbose_flag(CLI::App& app, bool& verbose);

// The JSON string of text (quotes included), escaping as JSON requires.
std::string json_string(std::string_view text);

}  // namespace tool
