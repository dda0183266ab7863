// nonet queue: builds queue files of ready games for a game's stock (pack), and
// reads blobs or queue files back (list, extract).
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "cli/generated_puzzle.h"
#include "groupmap/zipped_file.h"
#include "model/puzzle.h"
#include "queue/queue_data.h"

namespace {

struct PackOptions {
  std::string out;
  int solutions = 0, puzzles = 0, games = 1;
  std::string difficulty = "moderate";
  bool x = false, jigsaw = false, raw = false;
  uint64_t seed = 0;
};

struct ReadOptions {
  std::string file;
  int index = -1;
  std::string format = "line";
};

struct HandleDeleter {
  void operator()(SudokuPuzzle* h) const { sudoku_free(h); }
};
using Handle = std::unique_ptr<SudokuPuzzle, HandleDeleter>;
struct QueueDeleter {
  void operator()(queue_data* q) const { delete q; }
};

PuzzleData const& record_of(SudokuPuzzle* h) { return *reinterpret_cast<Puzzle*>(h); }

int run_pack(PackOptions const& o) {
  int const difficulty = parse_difficulty(o.difficulty);
  if (difficulty < 0) {
    std::cerr << "nonet queue pack: unknown difficulty '" << o.difficulty << "'\n";
    return 2;
  }
  long const total = static_cast<long>(o.solutions) + o.puzzles + o.games;
  long const max_records = (kQueueFileCapacity - static_cast<long>(kQueueHeaderSize)) / kQueueRecordSize;
  if (o.solutions < 0 || o.puzzles < 0 || o.games < 0 || total > max_records || total > 9999) {
    std::cerr << "nonet queue pack: counts must be 0 or more and at most " << max_records << " records in all\n";
    return 2;
  }
  queue_data queue(static_cast<unsigned>(o.solutions), static_cast<unsigned>(o.puzzles),
                   static_cast<unsigned>(o.games));
  Handle h(sudoku_new());
  int const map = o.jigsaw ? 1 : 0, adjacency = o.x ? 1 : 0;
  long made = 0;
  auto progress = [&] { std::cerr << "\r" << ++made << "/" << total << " records" << std::flush; };
  auto seed_for = [&](long k) {
    if (o.seed) sudoku_seed_random(o.seed + static_cast<uint64_t>(k) * 0x9E3779B97F4A7C15ull + 1);
  };
  for (int i = 0; i < o.solutions; ++i) {
    seed_for(made);
    if (!sudoku_generate_solution(h.get(), map, adjacency)) return std::cerr << "\nsolution failed\n", 1;
    queue.set_solution(record_of(h.get()), i);
    progress();
  }
  for (int section = 0; section < 2; ++section) {
    int const count = section == 0 ? o.puzzles : o.games;
    for (int i = 0; i < count; ++i) {
      seed_for(made);
      if (!sudoku_generate(h.get(), map, adjacency, difficulty, 2)) return std::cerr << "\ngeneration failed\n", 1;
      if (section == 0)
        queue.set_puzzle(record_of(h.get()), i);
      else
        queue.set_game(record_of(h.get()), i);
      progress();
    }
  }
  sudoku_seed_random(0);
  std::cerr << "\n";
  size_t length = 0;
  unsigned char const* blob = queue.as_data(length);
  std::vector<unsigned char> out;
  if (o.raw) {
    out.assign(blob, blob + length);
  } else {
    uLongf packed = compressBound(length);
    out.resize(packed);
    if (compress2(out.data(), &packed, blob, length, Z_BEST_COMPRESSION) != Z_OK) {
      std::cerr << "nonet queue pack: compression failed\n";
      return 1;
    }
    out.resize(packed);
  }
  std::ofstream file(o.out, std::ios::binary);
  file.write(reinterpret_cast<char const*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) {
    std::cerr << "nonet queue pack: cannot write " << o.out << "\n";
    return 1;
  }
  std::cerr << "wrote " << o.out << " (" << out.size() << " bytes, " << total << " records)\n";
  return 0;
}

// A queue from a raw blob or a zlib-compressed queue file.
std::unique_ptr<queue_data, QueueDeleter> read_queue(std::string const& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "nonet queue: cannot open " << path << "\n";
    return nullptr;
  }
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), "SQD0.002", 8) == 0) {
    std::unique_ptr<queue_data, QueueDeleter> q(queue_data::from_data(bytes.data(), bytes.size()));
    if (!q) std::cerr << "nonet queue: " << path << " is not a valid queue blob\n";
    return q;
  }
  size_t length = 0;
  unsigned char const* inflated = get_zipped_file_contents(path, length, kQueueFileCapacity);
  if (!inflated) {
    std::cerr << "nonet queue: " << path << " is neither a queue blob nor a readable queue file\n";
    return nullptr;
  }
  std::unique_ptr<queue_data, QueueDeleter> q(queue_data::from_data(inflated, length));
  std::free(const_cast<unsigned char*>(inflated));
  if (!q) std::cerr << "nonet queue: " << path << " does not hold a valid queue blob\n";
  return q;
}

PuzzleData const& record_at(queue_data& q, unsigned index) {
  return *reinterpret_cast<PuzzleData const*>(q.data_array() + static_cast<size_t>(index) * kQueueRecordSize);
}

int run_list(ReadOptions const& o) {
  auto q = read_queue(o.file);
  if (!q) return 1;
  std::cout << "solutions " << q->n_solutions << ", puzzles " << q->n_puzzles << ", games " << q->n_games << "\n";
  char const* const kinds[3] = {"solution", "puzzle", "game"};
  unsigned const counts[3] = {q->n_solutions, q->n_puzzles, q->n_games};
  unsigned index = 0;
  for (int section = 0; section < 3; ++section)
    for (unsigned i = 0; i < counts[section]; ++i, ++index) {
      GeneratedPuzzle const p = generated_from_record(record_at(*q, index));
      std::cout << kinds[section] << " " << i << ": " << kDifficultyNames[p.difficulty] << (p.jigsaw ? " jigsaw" : "")
                << (p.x ? " x" : "") << ", ";
      // A solution record's masks are scratch counters: only its digits mean something.
      if (section == 0)
        std::cout << p.solution << "\n";
      else
        std::cout << p.n_clues << " clues, " << p.clues << "\n";
    }
  return 0;
}

int run_extract(ReadOptions const& o) {
  OutputFormat format;
  if (!parse_output_format(o.format, format)) {
    std::cerr << "nonet queue extract: unknown format '" << o.format << "'\n";
    return 2;
  }
  auto q = read_queue(o.file);
  if (!q) return 1;
  // Games are read the way a game reads them: through the exported call.
  size_t length = 0;
  unsigned char const* blob = q->as_data(length);
  SudokuQueue* handle = sudoku_queue_load(blob, static_cast<long long>(length));
  int const n = sudoku_queue_game_count(handle);
  if (o.index >= n) {
    std::cerr << "nonet queue extract: no game " << o.index << " (the queue holds " << n << ")\n";
    sudoku_queue_free(handle);
    return 1;
  }
  for (int i = (o.index < 0 ? 0 : o.index); i < (o.index < 0 ? n : o.index + 1); ++i) {
    PuzzleData record;
    int map = 0, adjacency = 0, difficulty = 0;
    sudoku_queue_get_game(handle, i, record.cells, record.color_map, &map, &adjacency, &difficulty);
    record.map_type = static_cast<MAP_TYPE>(map);
    record.adjacency_type = static_cast<ADJACENCY_TYPE>(adjacency);
    record.difficulty = static_cast<UI_DIFFICULTY>(difficulty);
    std::cout << format_generated(generated_from_record(record), format);
  }
  sudoku_queue_free(handle);
  return 0;
}

CommandRegistration queue_command{Command{
    "queue", "Build (pack) and read (list, extract) queue files of ready games",
    [](CLI::App& sub) -> std::function<int()> {
      sub.require_subcommand(1);
      auto pack = std::make_shared<PackOptions>();
      auto read = std::make_shared<ReadOptions>();
      auto action = std::make_shared<std::function<int()>>();

      CLI::App* p = sub.add_subcommand("pack", "Generate boards and write them as a zlib-compressed queue file");
      p->add_option("out", pack->out, "Output file (for the engine's loader: <dir>/<name>.z)")->required();
      p->add_option("--solutions", pack->solutions, "Complete solutions")->capture_default_str();
      p->add_option("--puzzles", pack->puzzles, "Puzzles")->capture_default_str();
      p->add_option("--games", pack->games, "Ready-to-play games")->capture_default_str();
      p->add_option("-d,--difficulty", pack->difficulty, "Difficulty name or 0..9")->capture_default_str();
      p->add_flag("--x", pack->x, "Both main diagonals are units too");
      p->add_flag("--jigsaw", pack->jigsaw, "Irregular regions");
      p->add_flag("--raw", pack->raw, "Write the uncompressed blob instead");
      p->add_option("--seed", pack->seed, "Seed for reproducible boards");
      p->callback([=] { *action = [=] { return run_pack(*pack); }; });

      CLI::App* l = sub.add_subcommand("list", "Print the records of a queue blob or file");
      l->add_option("file", read->file, "Queue blob or zlib-compressed queue file")->required();
      l->callback([=] { *action = [=] { return run_list(*read); }; });

      CLI::App* e = sub.add_subcommand("extract", "Print the games of a queue blob or file");
      e->add_option("file", read->file, "Queue blob or zlib-compressed queue file")->required();
      e->add_option("-i,--index", read->index, "Only this game (default: all)");
      e->add_option("-f,--format", read->format, "text, line or json")->capture_default_str();
      e->callback([=] { *action = [=] { return run_extract(*read); }; });

      return [action] { return *action ? (*action)() : 2; };
    }}};

}  // namespace
