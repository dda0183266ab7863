// generate and generate_many: one engine handle per thread, seeded per puzzle so a seeded
// batch is the same whatever the thread count (and the same as `nonet generate --seed`).
#include <atomic>
#include <vector>

#include "api/engine_api.h"
#include "cli/generated_puzzle.h"
#include "cli/puzzle_seed.h"
#include "python/bindings.h"
#include "python/engine_handle.h"
#include "python/workers.h"

namespace nonet_py {

namespace {

struct GenerateRequest {
  int difficulty = 3;
  bool jigsaw = false;
  bool diagonals = false;
  uint64_t seed = 0;  // 0: system randomness
};

PyPuzzle puzzle_from_handle(SudokuPuzzle* h, GenerateRequest const& r) {
  GeneratedPuzzle const g = read_generated_puzzle(h, r.difficulty, r.jigsaw, r.diagonals);
  PyPuzzle p;
  for (int c = 0; c < 81; ++c) {
    p.solution[c] = g.solution[c] - '0';
    p.clues[c] = g.clues[c] == '.' ? 0 : p.solution[c];
    p.groups[c] = g.groups[c];
  }
  std::copy(g.colors, g.colors + 9, p.colors.begin());
  p.has_solution = true;
  p.jigsaw = r.jigsaw;
  p.diagonals = r.diagonals;
  p.difficulty = r.difficulty;
  return p;
}

// Puzzle k of a request on handle h, asking the engine again when a generation meets no
// acceptable puzzle; nothing when every attempt failed or stop was set.
std::optional<PyPuzzle> generate_on(SudokuPuzzle* h, GenerateRequest const& r, std::size_t k,
                                    std::atomic<bool> const& stop) {
  bool ok = false;
  for (int attempt = 0; attempt < kAttemptsPerPuzzle && !ok && !stop.load(); ++attempt) {
    if (r.seed) sudoku_seed_random(puzzle_seed(r.seed, static_cast<int>(k) * kAttemptsPerPuzzle + attempt));
    ok = sudoku_generate(h, r.jigsaw ? 1 : 0, r.diagonals ? 1 : 0, r.difficulty, 2) == 1;
  }
  if (r.seed) sudoku_seed_random(0);
  if (!ok || stop.load()) return std::nullopt;
  return puzzle_from_handle(h, r);
}

std::string kind_text(GenerateRequest const& r) {
  return std::string(kDifficultyNames[r.difficulty]) + (r.jigsaw ? " jigsaw" : "") + (r.diagonals ? " diagonals" : "");
}

GenerateRequest request_from(py::handle difficulty, bool jigsaw, bool diagonals, py::handle seed) {
  return GenerateRequest{difficulty_from(difficulty), jigsaw, diagonals, seed_from(seed)};
}

// Generates n puzzles on n_threads threads (one handle each); Ctrl-C cancels them all.
std::vector<std::optional<PyPuzzle>> generate_batch(GenerateRequest const& r, std::size_t n, int n_threads) {
  std::vector<Handle> handles;
  for (int t = 0; t < n_threads; ++t) handles.emplace_back(sudoku_new());
  std::vector<std::optional<PyPuzzle>> results(n);
  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  run_interruptible(
      n_threads,
      [&](int t) {
        for (std::size_t k = next.fetch_add(1); k < n && !stop.load(); k = next.fetch_add(1))
          results[k] = generate_on(handles[static_cast<std::size_t>(t)].get(), r, k, stop);
      },
      [&] {
        stop.store(true);
        for (auto& h : handles) sudoku_cancel(h.get());
      });
  return results;
}

PyPuzzle generate(py::handle difficulty, bool jigsaw, bool diagonals, py::handle seed) {
  GenerateRequest const r = request_from(difficulty, jigsaw, diagonals, seed);
  auto results = generate_batch(r, 1, 1);
  if (!results[0])
    throw std::runtime_error("no " + kind_text(r) + " puzzle found: " + std::to_string(kAttemptsPerPuzzle) +
                             " generations each ended without a puzzle that meets the level; call again");
  return *results[0];
}

// The puzzles of generate_many: rows of numpy arrays, and Puzzle objects on demand.
struct GeneratedBatch {
  GenerateRequest request;
  std::vector<std::optional<PyPuzzle>> puzzles;

  template <class T, class Cell>
  py::array_t<T> rows(int width, Cell cell) const {
    py::array_t<T> out({static_cast<py::ssize_t>(puzzles.size()), static_cast<py::ssize_t>(width)});
    T* data = out.mutable_data();
    for (std::size_t k = 0; k < puzzles.size(); ++k)
      for (int c = 0; c < width; ++c) data[k * width + c] = puzzles[k] ? static_cast<T>(cell(*puzzles[k], c)) : T{0};
    return out;
  }
};

GeneratedBatch generate_many(long long n, py::handle difficulty, bool jigsaw, bool diagonals, py::handle threads,
                             py::handle seed) {
  if (n < 0) throw py::value_error("n must not be negative");
  GenerateRequest const r = request_from(difficulty, jigsaw, diagonals, seed);
  auto const count = static_cast<std::size_t>(n);
  return GeneratedBatch{r, generate_batch(r, count, threads_from(threads, count))};
}

}  // namespace

void register_generate(py::module_& m) {
  m.def("generate", &generate, py::arg("difficulty") = "moderate", py::arg("jigsaw") = false,
        py::arg("diagonals") = false, py::arg("seed") = py::none(),
        R"(Generates a puzzle of a difficulty: a name ('quickie', 'easy', 'moderately_easy',
'moderate', 'moderately_hard', 'hard', 'vicious', 'fiendish', 'hell', 'beyond_hell') or 0..9.

jigsaw: irregular groups instead of 3x3 boxes; diagonals: both main diagonals are units.
seed: None for system randomness, or an int 1..2**64-1 for a reproducible puzzle (the
first puzzle of `nonet generate --seed SEED`). Runs without the GIL; Ctrl-C cancels it
(KeyboardInterrupt). Raises ValueError for an unknown difficulty and RuntimeError when
the engine found no puzzle that meets the level (rare; common at hard jigsaw levels).)");

  py::class_<GeneratedBatch>(m, "GeneratedBatch",
                             R"(Puzzles made by generate_many. Row k of each array is puzzle k;
a row whose `ok` is False failed (its arrays hold zeros, batch[k] is None).)")
      .def("__len__", [](GeneratedBatch const& b) { return b.puzzles.size(); })
      .def("__getitem__",
           [](GeneratedBatch const& b, long long k) -> py::object {
             long long const n = static_cast<long long>(b.puzzles.size());
             if (k < 0) k += n;
             if (k < 0 || k >= n) throw py::index_error("puzzle index out of range");
             auto const& p = b.puzzles[static_cast<std::size_t>(k)];
             return p ? py::cast(*p) : py::none();
           })
      .def_property_readonly("clues", [](GeneratedBatch const& b) {
            return b.rows<uint8_t>(81, [](PyPuzzle const& p, int c) { return p.clues[c]; });
          }, "Givens, (n, 81) uint8, 0 = empty.")
      .def_property_readonly("solutions", [](GeneratedBatch const& b) {
            return b.rows<uint8_t>(81, [](PyPuzzle const& p, int c) { return p.solution[c]; });
          }, "Solutions, (n, 81) uint8.")
      .def_property_readonly("groups", [](GeneratedBatch const& b) {
            return b.rows<uint8_t>(81, [](PyPuzzle const& p, int c) { return p.groups[c]; });
          }, "Group of each cell, (n, 81) uint8.")
      .def_property_readonly("colors", [](GeneratedBatch const& b) {
            return b.rows<uint8_t>(9, [](PyPuzzle const& p, int g) { return p.colors[g]; });
          }, "Colour of each group, (n, 9) uint8.")
      .def_property_readonly("n_clues", [](GeneratedBatch const& b) {
            auto counts = b.rows<int32_t>(1, [](PyPuzzle const& p, int) {
              int n = 0;
              for (int v : p.clues) n += v != 0;
              return n;
            });
            return counts.reshape({static_cast<py::ssize_t>(b.puzzles.size())});
          }, "Number of givens, (n,) int32.")
      .def_property_readonly("ok", [](GeneratedBatch const& b) {
            py::array_t<bool> ok(static_cast<py::ssize_t>(b.puzzles.size()));
            for (std::size_t k = 0; k < b.puzzles.size(); ++k) ok.mutable_data()[k] = b.puzzles[k].has_value();
            return ok;
          }, "True where a puzzle was made, (n,) bool.")
      .def_property_readonly("difficulty", [](GeneratedBatch const& b) { return b.request.difficulty; })
      .def_property_readonly("jigsaw", [](GeneratedBatch const& b) { return b.request.jigsaw; })
      .def_property_readonly("diagonals", [](GeneratedBatch const& b) { return b.request.diagonals; })
      .def("__repr__", [](GeneratedBatch const& b) {
        return "<nonet.GeneratedBatch " + std::to_string(b.puzzles.size()) + " " + kind_text(b.request) + ">";
      });

  m.def("generate_many", &generate_many, py::arg("n"), py::arg("difficulty") = "moderate",
        py::arg("jigsaw") = false, py::arg("diagonals") = false, py::arg("threads") = py::none(),
        py::arg("seed") = py::none(),
        R"(Generates n puzzles on several threads (None: every core), one engine handle each.

With a seed the batch is the same whatever the thread count, and puzzle k is puzzle k of
`nonet generate --seed SEED -n N`. Returns a GeneratedBatch (numpy rows and Puzzles).
Ctrl-C cancels every running generation (KeyboardInterrupt).)");
}

}  // namespace nonet_py
