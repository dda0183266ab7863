// nonet classify: rates puzzles by the hardest technique a person needs, on worker
// threads, one result a line in input order.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "classify/classify.h"
#include "cli/commands.h"
#include "cli/ordered_jobs.h"
#include "cli/puzzle_reader.h"

namespace {

struct ClassifyOptions {
  std::vector<std::string> puzzles;
  bool x = false;
  std::string groups;
  int threads = 1;
  std::string format = "line";
  bool detail = false;
};

constexpr long kProgressEvery = 500;

PuzzleClassifyResult classify_line(std::string const& grid, int const groups[9][9], bool jigsaw, bool x) {
  int clues[9][9];
  for (int c = 0; c < 81; ++c) clues[c / 9][c % 9] = grid[c] >= '1' && grid[c] <= '9' ? grid[c] - '0' : 0;
  return classify_puzzle(jigsaw ? MAP_IRREGULAR : MAP_REGULAR, x ? ADJ_X : ADJ_NONE, clues, groups, 0);
}

std::string values_text(PuzzleClassifyResult const& r) {
  std::string s;
  for (int v : r.value) s += static_cast<char>('0' + (v >= 0 && v <= 9 ? v : 0));
  return s;
}

std::string methods_text(PuzzleClassifyResult const& r) {
  std::string s;
  for (int c = 0; c < 81; ++c) s += (c ? " " : "") + std::to_string(r.method[c]);
  return s;
}

std::string csv_header(bool detail) {
  return std::string("source,puzzle,bucket,bucket_index,level_index,label,givens,solved,has_solution,unique,"
                     "budget_exhausted") +
         (detail ? ",method,value" : "") + "\n";
}

std::string format_result(ClassifyOptions const& o, PuzzleInput const& in, PuzzleClassifyResult const& r) {
  std::ostringstream out;
  if (o.format == "json") {
    nlohmann::json j;
    j["source"] = in.source;
    j["puzzle"] = in.grid;
    j["bucket"] = r.bucket;
    j["bucket_index"] = gen_bucket_index(r.bucket);
    j["level_index"] = r.level_index;
    j["label"] = r.label;
    j["givens"] = r.n_givens;
    j["solved"] = r.solved;
    j["has_solution"] = r.has_solution;
    j["unique"] = r.unique;
    j["budget_exhausted"] = r.budget_exhausted;
    if (o.detail) {
      j["method"] = std::vector<int>(r.method, r.method + 81);
      j["value"] = values_text(r);
    }
    out << j.dump() << "\n";
  } else if (o.format == "csv") {
    out << in.source << ',' << in.grid << ',' << r.bucket << ',' << gen_bucket_index(r.bucket) << ','
        << r.level_index << ",\"" << r.label << "\"," << r.n_givens << ',' << r.solved << ',' << r.has_solution
        << ',' << r.unique << ',' << r.budget_exhausted;
    if (o.detail) out << ',' << methods_text(r) << ',' << values_text(r);
    out << "\n";
  } else {
    out << r.bucket << '\t' << r.level_index << '\t' << r.label << '\t' << r.n_givens << '\t'
        << (r.unique ? "unique" : r.has_solution ? "several" : r.budget_exhausted ? "unknown" : "none");
    if (o.detail) out << '\t' << methods_text(r) << '\t' << values_text(r);
    out << "\n";
  }
  return out.str();
}

int run_classify(ClassifyOptions const& o) {
  int groups[9][9];
  bool const jigsaw = !o.groups.empty();
  int groups81[81];
  if (jigsaw) {
    std::string error;
    if (!parse_group_map(o.groups, groups81, error)) {
      std::cerr << "nonet classify: bad --groups map: " << error << "\n";
      return 2;
    }
  } else {
    for (int c = 0; c < 81; ++c) groups81[c] = 3 * (c / 27) + (c % 9) / 3;
  }
  for (int c = 0; c < 81; ++c) groups[c / 9][c % 9] = groups81[c];

  std::vector<PuzzleInput> inputs;
  std::vector<std::string> errors;
  if (!o.puzzles.empty())
    read_puzzle_arguments(o.puzzles, inputs, errors);
  else
    read_puzzle_stream(std::cin, inputs, errors);

  // Bad lines are reported where they stood in the input.
  std::size_t next_error = 0;
  auto flush_errors_before = [&](int line) {
    while (next_error < errors.size() && (line < 0 || error_line(errors[next_error]) < line))
      std::cerr << "nonet classify: " << errors[next_error++] << "\n";
  };
  bool const progress = isatty(2) && inputs.size() > static_cast<std::size_t>(kProgressEvery);
  if (o.format == "csv") std::cout << csv_header(o.detail);
  long const n = static_cast<long>(inputs.size());
  bool const interrupted = run_ordered_jobs<std::string>(
      n, o.threads,
      [&](long k) {
        auto const& in = inputs[static_cast<std::size_t>(k)];
        return format_result(o, in, classify_line(in.grid, groups, jigsaw, o.x));
      },
      [&](long k, std::string& text) {
        auto const& in = inputs[static_cast<std::size_t>(k)];
        if (progress) std::cerr << "\r" << std::string(40, ' ') << "\r" << std::flush;
        flush_errors_before(in.line);
        std::cout << text;
        if (progress && (k + 1) % kProgressEvery == 0) {
          std::cout.flush();
          std::cerr << "\r" << k + 1 << "/" << n << " classified" << std::flush;
        }
        return true;
      });
  std::cout.flush();
  if (progress) std::cerr << "\r" << std::string(40, ' ') << "\r";
  if (interrupted) {
    std::cerr << "nonet classify: interrupted\n";
    return 130;
  }
  flush_errors_before(-1);
  return errors.empty() ? 0 : 1;
}

CommandRegistration classify_command{Command{
    "classify", "Rate puzzles by the hardest technique a person needs",
    [](CLI::App& sub) -> std::function<int()> {
      auto o = std::make_shared<ClassifyOptions>();
      sub.add_option("puzzles", o->puzzles,
                     "Puzzles of 81 characters ('.' or '0' for empty); standard input when none");
      sub.add_flag("--x", o->x, "The two main diagonals are units too");
      sub.add_option("--groups", o->groups, "Jigsaw map: 81 group digits 0-8, each used nine times");
      sub.add_option("-j,--threads", o->threads, "Worker threads")->check(CLI::Range(1, 256))->capture_default_str();
      sub.add_option("-f,--format", o->format, "Output: line, json or csv")
          ->check(CLI::IsMember({"line", "json", "csv"}))
          ->capture_default_str();
      sub.add_flag("--detail", o->detail, "Add every cell's technique and digit");
      return [o] { return run_classify(*o); };
    }}};

}  // namespace
