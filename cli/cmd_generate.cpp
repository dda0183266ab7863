// nonet generate: makes puzzles of a difficulty, in parallel threads with one
// handle each; Ctrl-C cancels the running generations and prints what finished.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "cli/generated_puzzle.h"
#include "cli/puzzle_seed.h"
#include "cli/tool.h"

namespace {

constexpr char kWho[] = "nonet generate";

struct GenerateOptions {
  std::string difficulty = "moderate";
  bool x = false;
  bool jigsaw = false;
  int count = 1;
  int threads = 1;
  uint64_t seed = 0;
  std::string format = "text";
  bool verbose = false;
};

int run_generate(GenerateOptions const& o) {
  int const difficulty = parse_difficulty(o.difficulty);
  OutputFormat format;
  parse_output_format(o.format, format);  // checked by the option
  tool::route_engine_messages(o.verbose);

  int const n_threads = std::min(o.threads, o.count);
  std::vector<SudokuPuzzle*> handles(static_cast<size_t>(n_threads));
  for (auto& h : handles) h = sudoku_new();
  // One puzzle: its tries run on every core (at least two threads, so a seed gives the same puzzle on any machine).
  if (o.count == 1) sudoku_set_generation_threads(handles[0], std::max(2, static_cast<int>(std::thread::hardware_concurrency())));
  std::atomic<int> next{0}, done{0};
  std::atomic<bool> failed{false};
  // Set when a failure would repeat for every puzzle (no jigsaw map can be read): no more are started.
  std::atomic<bool> hopeless{false};
  std::mutex results_mutex;
  std::map<int, std::optional<GeneratedPuzzle>> results;
  int next_to_print = 0, printed = 0;
  auto flush_ready = [&] {  // caller holds results_mutex
    for (auto it = results.find(next_to_print); it != results.end(); it = results.find(next_to_print)) {
      if (it->second) {
        std::cout << format_generated(*it->second, format) << std::flush;
        ++printed;
      }
      results.erase(it);
      ++next_to_print;
    }
  };

  tool::catch_interrupts();
  std::atomic<bool> finished{false};
  std::thread watcher([&] {
    while (!finished.load()) {
      if (tool::interrupted()) {
        for (auto* h : handles) sudoku_cancel(h);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });

  std::vector<std::thread> workers;
  for (int t = 0; t < n_threads; ++t)
    workers.emplace_back([&, t] {
      SudokuPuzzle* h = handles[static_cast<size_t>(t)];
      for (int k = next.fetch_add(1); k < o.count && !tool::interrupted() && !hopeless.load();
           k = next.fetch_add(1)) {
        // A generation that finds no acceptable puzzle within its tries (rare at most
        // levels, common for the harder jigsaw levels) is simply asked again.
        bool ok = false;
        for (int attempt = 0; attempt < kAttemptsPerPuzzle && !ok && !tool::interrupted(); ++attempt) {
          if (o.seed) sudoku_seed_random(puzzle_seed(o.seed, k * kAttemptsPerPuzzle + attempt));
          ok = sudoku_generate(h, o.jigsaw ? 1 : 0, o.x ? 1 : 0, difficulty, 2) == 1;
          if (!ok && tool::engine_error_code() == SUDOKU_ERROR_MAPS_NOT_FOUND) break;
        }
        // Only the engine's "no try met the level" is worth the tool's own words.
        bool const retries_spent = tool::engine_error_code() == SUDOKU_ERROR_NO_PUZZLE;
        std::string const why = ok ? "" : tool::engine_reason("no puzzle was made");
        if (!ok && tool::engine_error_code() == SUDOKU_ERROR_MAPS_NOT_FOUND) hopeless.store(true);
        std::optional<GeneratedPuzzle> puzzle;
        if (ok) puzzle = read_generated_puzzle(h, difficulty, o.jigsaw, o.x);
        int const finished_count = ok ? done.fetch_add(1) + 1 : done.load();
        std::lock_guard<std::mutex> lock(results_mutex);
        if (!ok && !tool::interrupted()) {
          failed.store(true);
          tool::say(kWho, "puzzle " + std::to_string(k + 1) + ": " +
                              (retries_spent ? "no puzzle of the level after " + std::to_string(kAttemptsPerPuzzle) +
                                                   " generations"
                                             : why));
        }
        results[k] = std::move(puzzle);
        flush_ready();
        if (o.count > 1) tool::progress(std::to_string(finished_count) + "/" + std::to_string(o.count) + " generated");
      }
      sudoku_seed_random(0);
    });
  for (auto& w : workers) w.join();
  finished.store(true);
  watcher.join();
  {
    std::lock_guard<std::mutex> lock(results_mutex);
    // Print what finished beyond a gap left by an interrupted puzzle.
    for (auto& [k, puzzle] : results)
      if (puzzle) {
        std::cout << format_generated(*puzzle, format);
        ++printed;
      }
  }
  std::cout.flush();
  tool::progress_finish();
  for (auto* h : handles) sudoku_free(h);
  if (tool::interrupted()) {
    tool::say(kWho, "interrupted: printed " + std::to_string(printed) + " of " + std::to_string(o.count) +
                        (o.count == 1 ? " puzzle" : " puzzles"));
    return tool::kExitInterrupted;
  }
  return failed.load() ? tool::kExitInputProblem : tool::kExitOk;
}

CommandRegistration generate_command{Command{
    "generate", "Generate puzzles of a difficulty",
    [](CLI::App& sub) -> std::function<int()> {
      auto o = std::make_shared<GenerateOptions>();
      add_difficulty_option(sub, o->difficulty);
      sub.add_flag("--x", o->x, "Both main diagonals are units too");
      sub.add_flag("--jigsaw", o->jigsaw, "Irregular (jigsaw) regions instead of 3x3 boxes");
      sub.add_option("-n,--count", o->count, "Number of puzzles")->check(CLI::Range(1, 1000000))->capture_default_str();
      sub.add_option("-j,--threads", o->threads, "Worker threads (one handle each)")
          ->check(CLI::Range(1, 256))
          ->capture_default_str();
      tool::add_seed_option(sub, o->seed, "Seed for reproducible puzzles, 0 to 2^64-1 (0: system randomness)");
      tool::add_format_option(sub, o->format, {"text", "line", "json"},
                              "text: a header and the grid; line: 81 cells (jigsaw: then 81 group digits); json: "
                              "JSON Lines, one object a puzzle {clues, solution, groups, colors, difficulty, "
                              "difficulty_level, clue_count, jigsaw, x}");
      tool::add_verbose_flag(sub, o->verbose);
      return [o] { return run_generate(*o); };
    }}};

}  // namespace
