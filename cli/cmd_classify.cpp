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
#include "cli/puzzle_input.h"
#include "cli/tool.h"

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

// One item of the input: a puzzle with its rules, or a line that was no puzzle.
struct Item {
  std::string error;  // set for a bad line
  PuzzleInput text;
  int groups[9][9];
  bool jigsaw = false, x = false;
};

PuzzleClassifyResult classify_item(Item const& item) {
  int clues[9][9];
  for (int c = 0; c < 81; ++c) {
    char const ch = item.text.grid[c];
    clues[c / 9][c % 9] = ch >= '1' && ch <= '9' ? ch - '0' : 0;
  }
  return classify_puzzle(item.jigsaw ? MAP_IRREGULAR : MAP_REGULAR, item.x ? ADJ_X : ADJ_NONE, clues, item.groups,
                         0);
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
  constexpr char kWho[] = "nonet classify";
  bool const jigsaw = !o.groups.empty();
  int groups81[81];
  if (jigsaw) {
    std::string error;
    if (!parse_group_map(o.groups, groups81, error)) {
      tool::say(kWho, "bad --groups map: " + error);
      return tool::kExitUsage;
    }
  } else {
    for (int c = 0; c < 81; ++c) groups81[c] = 3 * (c / 27) + (c % 9) / 3;
  }

  // Puzzles with their rules (a jigsaw line or JSON carries its own), and bad lines where they stood.
  std::vector<Item> items;
  {
    PuzzleStream in(o.puzzles);
    ReadPuzzle p;
    std::string error;
    for (PuzzleStream::Result r; (r = in.next(p, error)) != PuzzleStream::kEnd;) {
      Item& item = items.emplace_back();
      if (r == PuzzleStream::kError) {
        item.error = error;
        continue;
      }
      item.text = text_of(p);
      int const* groups = p.has_groups ? p.groups : groups81;
      for (int c = 0; c < 81; ++c) item.groups[c / 9][c % 9] = groups[c];
      item.jigsaw = jigsaw || p.has_groups;
      item.x = o.x || p.x;
    }
    if (items.empty()) {
      tool::say(kWho, "no puzzle in " + in.description());
      return tool::kExitInputProblem;
    }
  }
  bool problems = false;
  long const n = static_cast<long>(items.size());
  bool const progress = n > kProgressEvery;
  if (o.format == "csv") std::cout << csv_header(o.detail);
  bool const interrupted = run_ordered_jobs<std::string>(
      n, o.threads,
      [&](long k) {
        Item const& item = items[static_cast<std::size_t>(k)];
        return item.error.empty() ? format_result(o, item.text, classify_item(item)) : std::string();
      },
      [&](long k, std::string& text) {
        Item const& item = items[static_cast<std::size_t>(k)];
        if (!item.error.empty()) {
          problems = true;
          tool::say(kWho, item.error);
        }
        std::cout << text;
        if (progress && (k + 1) % kProgressEvery == 0) {
          std::cout.flush();
          tool::progress(std::to_string(k + 1) + "/" + std::to_string(n) + " classified");
        }
        return true;
      });
  std::cout.flush();
  tool::progress_finish();
  if (interrupted) {
    tool::say(kWho, "interrupted");
    return tool::kExitInterrupted;
  }
  return problems ? tool::kExitInputProblem : tool::kExitOk;
}

CommandRegistration classify_command{Command{
    "classify", "Rate puzzles by the hardest technique a person needs",
    [](CLI::App& sub) -> std::function<int()> {
      auto o = std::make_shared<ClassifyOptions>();
      sub.add_option("puzzles", o->puzzles,
                     "Puzzles, files of puzzles, or '-' for standard input (the default); every form `nonet solve` "
                     "reads");
      sub.add_flag("--x", o->x, "The two main diagonals are units too");
      sub.add_option("--groups", o->groups, "Jigsaw map: 81 group digits 0-8, each used nine times");
      sub.add_option("-j,--threads", o->threads, "Worker threads")->check(CLI::Range(1, 256))->capture_default_str();
      tool::add_format_option(sub, o->format, {"line", "json", "csv"},
                              "line: tab-separated fields; json: JSON Lines, one object a puzzle; csv: a header, then "
                              "a row a puzzle");
      sub.add_flag("--detail", o->detail, "Add every cell's technique and digit");
      return [o] { return run_classify(*o); };
    }}};

}  // namespace
