#include "cli/tool.h"

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <mutex>

#include "api/engine_api.h"

namespace tool {

namespace {

std::mutex stderr_mutex;
std::string shown_progress;  // the progress line on screen, empty when none (under stderr_mutex)
std::atomic<bool> sigint_seen{false};

bool stderr_is_terminal() {
  static bool const terminal = ::isatty(2) == 1;
  return terminal;
}

void write_stderr(std::string_view s) { std::fwrite(s.data(), 1, s.size(), stderr); }

extern "C" void on_sigint(int) {
  if (sigint_seen.exchange(true)) {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
}

void show_engine_line(char const* line, void*) { say("nonet", escaped(line, 4096)); }
void drop_engine_line(char const*, void*) {}

}  // namespace

std::string escaped(std::string_view text, std::size_t limit) {
  std::string out;
  static char const hex[] = "0123456789abcdef";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == limit) {
      out += "...";
      break;
    }
    auto const b = static_cast<unsigned char>(text[i]);
    if (b == '\\') {
      out += "\\\\";
    } else if (b >= 0x20 && b < 0x7f) {
      out += static_cast<char>(b);
    } else {
      out += "\\x";
      out += hex[b >> 4];
      out += hex[b & 15];
    }
  }
  return out;
}

void say(std::string_view who, std::string_view message) {
  std::fflush(stdout);  // what was printed before the message comes first when both go to one place
  std::lock_guard<std::mutex> lock(stderr_mutex);
  std::string line;
  if (!shown_progress.empty()) line += "\r\033[K";
  line.append(who);
  line += ": ";
  line.append(message);
  line += '\n';
  line += shown_progress;
  write_stderr(line);
  std::fflush(stderr);
}

void progress(std::string_view text) {
  if (!stderr_is_terminal()) return;
  std::lock_guard<std::mutex> lock(stderr_mutex);
  shown_progress.assign(text);
  write_stderr("\r\033[K" + shown_progress);
  std::fflush(stderr);
}

void progress_finish() {
  if (!stderr_is_terminal()) return;
  std::lock_guard<std::mutex> lock(stderr_mutex);
  if (shown_progress.empty()) return;
  shown_progress.clear();
  write_stderr("\n");
  std::fflush(stderr);
}

std::string engine_reason(std::string_view fallback) {
  char text[256];
  if (sudoku_last_error(text, sizeof text) == SUDOKU_OK || !text[0]) return std::string(fallback);
  std::string_view reason(text);
  std::size_t const colon = reason.find(": ");
  if (colon != std::string_view::npos) reason.remove_prefix(colon + 2);
  return escaped(reason);
}

int engine_error_code() { return sudoku_last_error(nullptr, 0); }

void route_engine_messages(bool verbose) {
  sudoku_set_message_handler(verbose ? show_engine_line : drop_engine_line, nullptr);
}

void catch_interrupts() {
  sigint_seen.store(false);
  std::signal(SIGINT, on_sigint);
}

bool interrupted() { return sigint_seen.load(); }

CLI::Option* add_format_option(CLI::App& app, std::string& format, std::vector<std::string> const& names,
                               std::string const& help) {
  format = names.front();
  return app.add_option("-f,--format", format, help)->check(CLI::IsMember(names))->capture_default_str();
}

CLI::Option* add_seed_option(CLI::App& app, std::uint64_t& seed, std::string const& help) {
  return app.add_option_function<std::string>(
                "--seed",
                [&seed](std::string const& text) {
                  std::uint64_t value = 0;
                  auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
                  if (error != std::errc() || end != text.data() + text.size())
                    throw CLI::ValidationError("--seed", "'" + escaped(text) + "' is not a number from 0 to " +
                                                             std::to_string(UINT64_MAX));
                  seed = value;
                },
                help)
      ->type_name("UINT64");
}

CLI::Option* add_verbose_flag(CLI::App& app, bool& verbose) {
  return app.add_flag("-v,--verbose", verbose, "Show the engine's diagnostic lines on standard error");
}

std::string json_string(std::string_view text) {
  std::string out = "\"";
  static char const hex[] = "0123456789abcdef";
  for (char ch : text) {
    auto const b = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (b < 0x20 || b >= 0x7f) {
      // Bytes outside ASCII are shown escaped: the input may not be UTF-8.
      out += "\\u00";
      out += hex[b >> 4];
      out += hex[b & 15];
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

}  // namespace tool
