// nonet queue: builds queue files of ready games for a game's stock (pack), and
// reads blobs or queue files back (list, extract).
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "cli/generated_puzzle.h"
#include "cli/tool.h"
#include "queue/queue_data.h"
#include "util/zipped_file.h"

namespace {

constexpr int kAttemptsPerBoard = 20;

struct PackOptions {
  std::string out;
  int solutions = 0, puzzles = 0, games = 1;
  std::string difficulty = "moderate";
  bool x = false, jigsaw = false, raw = false, verbose = false;
  uint64_t seed = 0;
};

struct ReadOptions {
  std::string file;
  int index = -1;
  std::string format = "line";
};

long max_records() { return (kQueueFileCapacity - static_cast<long>(kQueueHeaderSize)) / kQueueRecordSize; }

struct HandleDeleter {
  void operator()(SudokuPuzzle* h) const { sudoku_free(h); }
};
using Handle = std::unique_ptr<SudokuPuzzle, HandleDeleter>;
struct QueueDeleter {
  void operator()(queue_data* q) const { delete q; }
};

// The stored board image of a handle, through the public calls.
PuzzleData record_of(SudokuPuzzle* h, int map, int adjacency, int difficulty) {
  PuzzleData record{};
  sudoku_get_puzzle_bytes(h, record.cells);
  sudoku_get_color_map(h, record.color_map);
  record.map_type = static_cast<MAP_TYPE>(map);
  record.adjacency_type = static_cast<ADJACENCY_TYPE>(adjacency);
  record.difficulty = static_cast<UI_DIFFICULTY>(difficulty);
  return record;
}

// The folder of the output file exists and can be written: checked before any board is made.
bool output_writable(std::string const& path, std::string& why) {
  std::filesystem::path const dir = std::filesystem::path(path).parent_path();
  std::string const folder = dir.empty() ? "." : dir.string();
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    why = "the folder " + tool::escaped(folder) + " does not exist";
    return false;
  }
  if (::access(folder.c_str(), W_OK) != 0) {
    why = "cannot write into " + tool::escaped(folder) + ": " + std::strerror(errno);
    return false;
  }
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    why = tool::escaped(path) + " is a directory";
    return false;
  }
  return true;
}

int run_pack(PackOptions const& o) {
  constexpr char kWho[] = "nonet queue pack";
  int const difficulty = parse_difficulty(o.difficulty);
  long const total = static_cast<long>(o.solutions) + o.puzzles + o.games;
  if (total > max_records()) {
    tool::say(kWho, "at most " + std::to_string(max_records()) + " records in all (asked for " +
                        std::to_string(total) + ")");
    return tool::kExitUsage;
  }
  std::string why;
  if (!output_writable(o.out, why)) {
    tool::say(kWho, why);
    return tool::kExitInputProblem;
  }
  tool::route_engine_messages(o.verbose);
  tool::catch_interrupts();
  queue_data queue(static_cast<unsigned>(o.solutions), static_cast<unsigned>(o.puzzles),
                   static_cast<unsigned>(o.games));
  Handle h(sudoku_new());
  int const map = o.jigsaw ? 1 : 0, adjacency = o.x ? 1 : 0;
  long made = 0;
  // A generation that finds no board (or no puzzle of the level within its tries) is asked again.
  auto make = [&](bool puzzle) {
    for (int attempt = 0; attempt < kAttemptsPerBoard && !tool::interrupted(); ++attempt) {
      if (o.seed) sudoku_seed_random(o.seed + static_cast<uint64_t>(made * kAttemptsPerBoard + attempt) *
                                                  0x9E3779B97F4A7C15ull + 1);
      if (puzzle ? sudoku_generate(h.get(), map, adjacency, difficulty, 2) == 1
                 : sudoku_generate_solution(h.get(), map, adjacency) == 1) {
        tool::progress(std::to_string(++made) + "/" + std::to_string(total) + " records");
        return true;
      }
      if (tool::engine_error_code() == SUDOKU_ERROR_MAPS_NOT_FOUND) break;  // would fail every time
    }
    return false;
  };
  for (int section = 0; section < 3; ++section) {
    int const count = section == 0 ? o.solutions : section == 1 ? o.puzzles : o.games;
    for (int i = 0; i < count; ++i) {
      if (!make(section > 0)) {
        sudoku_seed_random(0);
        tool::progress_finish();
        if (tool::interrupted()) {
          tool::say(kWho, "interrupted after " + std::to_string(made) + " of " + std::to_string(total) +
                              " records; nothing written");
          return tool::kExitInterrupted;
        }
        std::string const why = tool::engine_error_code() == SUDOKU_ERROR_NO_PUZZLE
                                    ? "no board after " + std::to_string(kAttemptsPerBoard) + " generations"
                                    : tool::engine_reason("no board was made");
        tool::say(kWho, "record " + std::to_string(made + 1) + ": " + why + "; nothing written");
        return tool::kExitInputProblem;
      }
      PuzzleData const record = record_of(h.get(), map, adjacency, section == 0 ? 1 : difficulty);
      if (section == 0)
        queue.set_solution(record, i);
      else if (section == 1)
        queue.set_puzzle(record, i);
      else
        queue.set_game(record, i);
    }
  }
  sudoku_seed_random(0);
  tool::progress_finish();
  size_t length = 0;
  unsigned char const* blob = queue.as_data(length);
  std::vector<unsigned char> out;
  if (o.raw) {
    out.assign(blob, blob + length);
  } else {
    uLongf packed = compressBound(length);
    out.resize(packed);
    if (compress2(out.data(), &packed, blob, length, Z_BEST_COMPRESSION) != Z_OK) {
      tool::say(kWho, "compression failed");
      return tool::kExitInputProblem;
    }
    out.resize(packed);
  }
  std::ofstream file(o.out, std::ios::binary);
  file.write(reinterpret_cast<char const*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) {
    tool::say(kWho, "cannot write " + tool::escaped(o.out));
    return tool::kExitInputProblem;
  }
  if (::isatty(2)) tool::say(kWho, "wrote " + tool::escaped(o.out) + " (" + std::to_string(out.size()) + " bytes, " +
                                       std::to_string(total) + " records)");
  return tool::kExitOk;
}

// A queue from a raw blob or a zlib-compressed queue file.
// Messages name the file; who is "nonet queue list" or "nonet queue extract".
std::unique_ptr<queue_data, QueueDeleter> read_queue(std::string const& path, char const* who) {
  std::string const name = tool::escaped(path);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    tool::say(who, name + ": " + std::strerror(errno));
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    tool::say(who, name + (S_ISDIR(st.st_mode) ? ": is a directory" : ": not a regular file"));
    return nullptr;
  }
  // Queue files are small: anything far larger is no queue and is not read whole.
  if (st.st_size > 4L * kQueueFileCapacity) {
    tool::say(who, name + ": " + std::to_string(st.st_size) + " bytes is too large for a queue file");
    return nullptr;
  }
  std::ifstream file(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file.good() && !file.eof()) {
    tool::say(who, name + ": cannot read");
    return nullptr;
  }
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), "SQD0.002", 8) == 0) {
    std::unique_ptr<queue_data, QueueDeleter> q(queue_data::from_data(bytes.data(), bytes.size()));
    if (!q) tool::say(who, name + ": not a valid queue blob");
    return q;
  }
  size_t length = 0;
  unsigned char const* inflated = get_zipped_file_contents(path, length, kQueueFileCapacity);
  if (!inflated) {
    tool::say(who, name + ": neither a queue blob nor a zlib-compressed queue file");
    return nullptr;
  }
  std::unique_ptr<queue_data, QueueDeleter> q(queue_data::from_data(inflated, length));
  std::free(const_cast<unsigned char*>(inflated));
  if (!q) tool::say(who, name + ": does not hold a valid queue blob");
  return q;
}

PuzzleData const& record_at(queue_data& q, unsigned index) {
  return *reinterpret_cast<PuzzleData const*>(q.data_array() + static_cast<size_t>(index) * kQueueRecordSize);
}

int run_list(ReadOptions const& o) {
  auto q = read_queue(o.file, "nonet queue list");
  if (!q) return tool::kExitInputProblem;
  bool const json = o.format == "json";
  if (!json)
    std::cout << "solutions " << q->n_solutions << ", puzzles " << q->n_puzzles << ", games " << q->n_games << "\n";
  char const* const kinds[3] = {"solution", "puzzle", "game"};
  unsigned const counts[3] = {q->n_solutions, q->n_puzzles, q->n_games};
  unsigned index = 0;
  for (int section = 0; section < 3; ++section)
    for (unsigned i = 0; i < counts[section]; ++i, ++index) {
      GeneratedPuzzle const p = generated_from_record(record_at(*q, index));
      if (json) {
        // One object a record, the fields of nonet generate's JSON and the record's place.
        std::string const game = format_generated(p, OutputFormat::json);
        std::cout << "{\"kind\":\"" << kinds[section] << "\",\"index\":" << i << "," << game.substr(1);
        continue;
      }
      std::cout << kinds[section] << " " << i << ": " << kDifficultyNames[p.difficulty] << (p.jigsaw ? " jigsaw" : "")
                << (p.x ? " x" : "") << ", ";
      // A solution record's masks are scratch counters: only its digits mean something.
      if (section == 0)
        std::cout << p.solution << "\n";
      else
        std::cout << p.n_clues << " clues, " << p.clues << "\n";
    }
  return tool::kExitOk;
}

int run_extract(ReadOptions const& o) {
  OutputFormat format;
  parse_output_format(o.format, format);  // checked by the option
  auto q = read_queue(o.file, "nonet queue extract");
  if (!q) return tool::kExitInputProblem;
  // Games are read the way a game reads them: through the exported call.
  size_t length = 0;
  unsigned char const* blob = q->as_data(length);
  SudokuQueue* handle = sudoku_queue_load(blob, static_cast<long long>(length));
  if (!handle) {
    tool::say("nonet queue extract", tool::escaped(o.file) + ": " + tool::engine_reason("cannot be loaded"));
    return tool::kExitInputProblem;
  }
  int const n = sudoku_queue_game_count(handle);
  if (o.index >= n) {
    tool::say("nonet queue extract", tool::escaped(o.file) + ": no game " + std::to_string(o.index) +
                                         " (the queue holds " + std::to_string(n) + ")");
    sudoku_queue_free(handle);
    return tool::kExitInputProblem;
  }
  for (int i = (o.index < 0 ? 0 : o.index); i < (o.index < 0 ? n : o.index + 1); ++i) {
    PuzzleData record;
    int map = 0, adjacency = 0, difficulty = 0;
    if (!sudoku_queue_get_game(handle, i, record.cells, record.color_map, &map, &adjacency, &difficulty)) {
      tool::say("nonet queue extract", tool::escaped(o.file) + ": game " + std::to_string(i) + ": " +
                                           tool::engine_reason("cannot be read"));
      sudoku_queue_free(handle);
      return tool::kExitInputProblem;
    }
    record.map_type = static_cast<MAP_TYPE>(map);
    record.adjacency_type = static_cast<ADJACENCY_TYPE>(adjacency);
    record.difficulty = static_cast<UI_DIFFICULTY>(difficulty);
    std::cout << format_generated(generated_from_record(record), format);
  }
  sudoku_queue_free(handle);
  return tool::kExitOk;
}

CommandRegistration queue_command{Command{
    "queue", "Build (pack) and read (list, extract) queue files of ready games",
    [](CLI::App& sub) -> std::function<int()> {
      sub.require_subcommand(1);
      auto pack = std::make_shared<PackOptions>();
      auto read = std::make_shared<ReadOptions>();
      auto action = std::make_shared<std::function<int()>>();

      std::string const limit = std::to_string(max_records());
      CLI::App* p = sub.add_subcommand(
          "pack", "Generate boards and write them as a zlib-compressed queue file (at most " + limit +
                      " records in all: solutions + puzzles + games)");
      p->add_option("out", pack->out, "Output file (for the engine's loader: <dir>/<name>.z)")->required();
      auto const counts = CLI::Range(0L, max_records());
      p->add_option("--solutions", pack->solutions, "Complete solutions")->check(counts)->capture_default_str();
      p->add_option("--puzzles", pack->puzzles, "Puzzles")->check(counts)->capture_default_str();
      p->add_option("--games", pack->games, "Ready-to-play games")->check(counts)->capture_default_str();
      add_difficulty_option(*p, pack->difficulty);
      p->add_flag("--x", pack->x, "Both main diagonals are units too");
      p->add_flag("--jigsaw", pack->jigsaw, "Irregular regions");
      p->add_flag("--raw", pack->raw, "Write the uncompressed blob instead");
      tool::add_seed_option(*p, pack->seed, "Seed for reproducible boards, 0 to 2^64-1 (0: system randomness)");
      tool::add_verbose_flag(*p, pack->verbose);
      p->callback([=] { *action = [=] { return run_pack(*pack); }; });

      auto list = std::make_shared<ReadOptions>();
      CLI::App* l = sub.add_subcommand("list", "Print the records of a queue blob or file");
      l->add_option("file", list->file, "Queue blob or zlib-compressed queue file")->required();
      tool::add_format_option(*l, list->format, {"text", "json"},
                              "text: the counts, then a line a record; json: JSON Lines, one object a record {kind, "
                              "index, and the fields of nonet generate's JSON}");
      l->callback([=] { *action = [=] { return run_list(*list); }; });

      CLI::App* e = sub.add_subcommand("extract", "Print the games of a queue blob or file");
      e->add_option("file", read->file, "Queue blob or zlib-compressed queue file")->required();
      e->add_option("-i,--index", read->index, "Only this game (default: all)")->check(CLI::NonNegativeNumber);
      tool::add_format_option(*e, read->format, {"line", "text", "json"},
                              "line: 81 cells (jigsaw: then 81 group digits); text: grids; json: JSON Lines, one "
                              "object a game, as nonet generate prints them");
      e->callback([=] { *action = [=] { return run_extract(*read); }; });

      return [action] { return *action ? (*action)() : 2; };
    }}};

}  // namespace
