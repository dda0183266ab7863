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

namespace {

std::atomic<bool> interrupted{false};
extern "C" void on_interrupt(int) { interrupted.store(true); }

struct GenerateOptions {
  std::string difficulty = "moderate";
  bool x = false;
  bool jigsaw = false;
  int count = 1;
  int threads = 1;
  uint64_t seed = 0;
  std::string format = "text";
};

int run_generate(GenerateOptions const& o) {
  int const difficulty = parse_difficulty(o.difficulty);
  if (difficulty < 0) {
    std::cerr << "nonet generate: unknown difficulty '" << o.difficulty << "' (use 0..9 or a name such as "
              << kDifficultyNames[3] << ")\n";
    return 2;
  }
  OutputFormat format;
  if (!parse_output_format(o.format, format)) {
    std::cerr << "nonet generate: unknown format '" << o.format << "' (text, line or json)\n";
    return 2;
  }
  if (o.count < 1 || o.threads < 1) {
    std::cerr << "nonet generate: --count and --threads must be at least 1\n";
    return 2;
  }

  int const n_threads = std::min(o.threads, o.count);
  std::vector<SudokuPuzzle*> handles(static_cast<size_t>(n_threads));
  for (auto& h : handles) h = sudoku_new();
  // One puzzle: its tries run on every core (at least two threads, so a seed gives the same puzzle on any machine).
  if (o.count == 1) sudoku_set_generation_threads(handles[0], std::max(2, static_cast<int>(std::thread::hardware_concurrency())));
  std::atomic<int> next{0}, done{0};
  std::mutex results_mutex;
  std::map<int, std::optional<GeneratedPuzzle>> results;
  int printed = 0;
  auto flush_ready = [&] {  // caller holds results_mutex
    for (auto it = results.find(printed); it != results.end(); it = results.find(printed)) {
      if (it->second) std::cout << format_generated(*it->second, format) << std::flush;
      results.erase(it);
      ++printed;
    }
  };

  interrupted.store(false);
  auto previous_handler = std::signal(SIGINT, on_interrupt);
  std::atomic<bool> finished{false};
  std::thread watcher([&] {
    while (!finished.load()) {
      if (interrupted.load()) {
        for (auto* h : handles) sudoku_cancel(h);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });

  std::vector<std::thread> workers;
  for (int t = 0; t < n_threads; ++t)
    workers.emplace_back([&, t] {
      SudokuPuzzle* h = handles[static_cast<size_t>(t)];
      for (int k = next.fetch_add(1); k < o.count && !interrupted.load(); k = next.fetch_add(1)) {
        // A generation that finds no acceptable puzzle within its tries (rare at most
        // levels, common for the harder jigsaw levels) is simply asked again.
        bool ok = false;
        for (int attempt = 0; attempt < kAttemptsPerPuzzle && !ok && !interrupted.load(); ++attempt) {
          if (o.seed) sudoku_seed_random(puzzle_seed(o.seed, k * kAttemptsPerPuzzle + attempt));
          ok = sudoku_generate(h, o.jigsaw ? 1 : 0, o.x ? 1 : 0, difficulty, 2) == 1;
        }
        std::optional<GeneratedPuzzle> puzzle;
        if (ok) puzzle = read_generated_puzzle(h, difficulty, o.jigsaw, o.x);
        int const finished_count = done.fetch_add(1) + 1;
        std::lock_guard<std::mutex> lock(results_mutex);
        if (!ok && !interrupted.load()) std::cerr << "nonet generate: puzzle " << k + 1 << " failed\n";
        results[k] = std::move(puzzle);
        flush_ready();
        if (o.count > 1) std::cerr << "\r" << finished_count << "/" << o.count << " generated" << std::flush;
      }
      sudoku_seed_random(0);
    });
  for (auto& w : workers) w.join();
  finished.store(true);
  watcher.join();
  std::signal(SIGINT, previous_handler);
  {
    std::lock_guard<std::mutex> lock(results_mutex);
    // Print what finished beyond a gap left by an interrupted puzzle.
    for (auto& [k, puzzle] : results)
      if (puzzle) std::cout << format_generated(*puzzle, format);
  }
  if (o.count > 1) std::cerr << "\n";
  for (auto* h : handles) sudoku_free(h);
  if (interrupted.load()) {
    std::cerr << "nonet generate: interrupted after " << done.load() << " of " << o.count << "\n";
    return 130;
  }
  return 0;
}

CommandRegistration generate_command{Command{
    "generate", "Generate puzzles of a difficulty",
    [](CLI::App& sub) -> std::function<int()> {
      auto o = std::make_shared<GenerateOptions>();
      sub.add_option("-d,--difficulty", o->difficulty,
                     "quickie, easy, moderately_easy, moderate, moderately_hard, hard, vicious, fiendish, hell, "
                     "beyond_hell, or 0..9")
          ->capture_default_str();
      sub.add_flag("--x", o->x, "Both main diagonals are units too");
      sub.add_flag("--jigsaw", o->jigsaw, "Irregular (jigsaw) regions instead of 3x3 boxes");
      sub.add_option("-n,--count", o->count, "Number of puzzles")->capture_default_str();
      sub.add_option("-j,--threads", o->threads, "Worker threads (one handle each)")->capture_default_str();
      sub.add_option("--seed", o->seed, "Seed for reproducible puzzles (0: system randomness)");
      sub.add_option("-f,--format", o->format, "text, line or json")->capture_default_str();
      return [o] { return run_generate(*o); };
    }}};

}  // namespace
