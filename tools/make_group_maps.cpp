// make_group_maps: builds the fifteen jigsaw group-map files the engine ships
// (data/groupmaps/<name>.z, "SGM0.001" format). Deterministic: the same options
// give byte-identical files, whatever the number of threads.
//
//   make_group_maps [--out DIR] [--maps-per-file N] [--seed S] [--max-attempts N]
//                   [--threads T] [--fill-runs R] [--fill-bound CALLS]
//
// Every map written is: nine edge-connected groups of nine cells, symmetric as
// its file says, not the 3x3 box partition, unique within all files up to the
// eight turns and reflections of the grid, and quick to fill: the engine's own
// Puzzle::construct_solution, on the map in every orientation the loader can
// give it, without and with both diagonals as units, fills it in each of R
// seeded runs within CALLS recursive calls (all its attempts counted), and every
// grid it builds is checked unit by unit (so the map is also completable).
//
// Mirror files "mir01".."mir10": maps symmetric top-bottom as stored (the
// loader turns them to left-right symmetry). Groups with a cell in row 4 are
// their own mirror image; the others come in pairs.
// Rotational files: 180-degree symmetric maps; the group through the centre is
// its own image and the other eight form four pairs. "rot_2grp01" holds maps
// whose middle row meets the centre group and one pair (three groups in the
// row); "rot_3grp01".."rot_3grp04" maps whose middle row meets the centre group
// and two pairs (five groups in the row).
#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "percentile.h"

#include "engine_fill.h"
#include "util/clock.h"
#include "util/random.h"

// While a deadline is set, the engine's construction polls the clock once every 1024 recursive
// calls. This tool links its own clock in place of the library's: a per-thread count of those polls.
// A deadline of K ticks then stops a construction after exactly 1024 K calls, whatever the load of
// the machine, so the quick-fill decision is exact and the output the same on every run.
namespace {
thread_local int64_t clock_ticks = 0;
}
int64_t steady_now_ms() { return ++clock_ticks; }

namespace {

// ---- deterministic random source ----
struct Rng {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
};

using Grid = std::array<int, 81>;  // group number 0..8 per cell, -1 while unassigned

enum class Kind { Mirror, Rotational };

int image_of(Kind kind, int k) { return kind == Kind::Rotational ? 80 - k : (8 - k / 9) * 9 + k % 9; }

bool edge_adjacent(int a, int b) {
  int const ra = a / 9, ca = a % 9, rb = b / 9, cb = b % 9;
  return (ra == rb && std::abs(ca - cb) == 1) || (ca == cb && std::abs(ra - rb) == 1);
}

// ---- random symmetric partitions: a walk of symmetric cell exchanges from the 3x3 boxes ----
bool symmetric_partition(Kind kind, Grid const& grid, std::array<int, 9> const& partner) {
  for (int k = 0; k < 81; ++k)
    if (grid[image_of(kind, k)] != partner[grid[k]]) return false;
  return true;
}

bool group_connected(Grid const& grid, int g) {
  int start = -1, total = 0;
  for (int k = 0; k < 81; ++k)
    if (grid[k] == g) ++total, start = start < 0 ? k : start;
  if (total == 0) return false;
  bool seen[81] = {};
  int stack[81], top = 0, reached = 0;
  stack[top++] = start;
  seen[start] = true;
  while (top) {
    int const k = stack[--top];
    ++reached;
    for (int d : {k - 9, k + 9, k - 1, k + 1})
      if (d >= 0 && d < 81 && edge_adjacent(k, d) && !seen[d] && grid[d] == g) seen[d] = true, stack[top++] = d;
  }
  return reached == total;
}

// The box partition with its partners under the symmetry: rotational pairs box b with 8 - b (box 4 is
// its own image); mirror (top-bottom) pairs 0-6, 1-7, 2-8 and keeps the middle band's boxes.
void box_partition(Kind kind, Grid& grid, std::array<int, 9>& partner) {
  for (int k = 0; k < 81; ++k) grid[k] = 3 * (k / 27) + (k % 9) / 3;
  for (int b = 0; b < 9; ++b) partner[b] = kind == Kind::Rotational ? 8 - b : (b < 3 ? b + 6 : (b > 5 ? b - 6 : b));
}

// Each accepted step moves a cell of group A into an edge-adjacent group B and a cell of B that
// touches A into A, with the images of both moves, keeping every group connected and the
// partition symmetric.
bool perturb(Kind kind, Rng& rng, int steps, Grid& grid, std::array<int, 9> const& partner) {
  int accepted = 0;
  int const dirs[4] = {-9, 9, -1, 1};
  for (int tries = 0; accepted < steps && tries < steps * 400; ++tries) {
    int const a = rng.below(81);
    int const b = a + dirs[rng.below(4)];
    if (b < 0 || b >= 81 || !edge_adjacent(a, b) || grid[a] == grid[b]) continue;
    int const ga = grid[a], gb = grid[b];
    // Cells of B that touch A elsewhere than at a.
    int options[81], n = 0;
    for (int c = 0; c < 81; ++c) {
      if (grid[c] != gb || c == b) continue;
      for (int d : dirs)
        if (c + d >= 0 && c + d < 81 && c + d != a && edge_adjacent(c, c + d) && grid[c + d] == ga) {
          options[n++] = c;
          break;
        }
    }
    if (n == 0) continue;
    int const c = options[rng.below(n)];
    Grid next = grid;
    next[a] = gb;
    next[c] = ga;
    next[image_of(kind, a)] = partner[gb];
    next[image_of(kind, c)] = partner[ga];
    if (!symmetric_partition(kind, next, partner)) continue;
    bool ok = true;
    for (int g : {ga, gb, partner[ga], partner[gb]}) ok = ok && group_connected(next, g);
    if (!ok) continue;
    int sizes[9] = {};
    for (int v : next) ++sizes[v];
    for (int v : sizes) ok = ok && v == 9;
    if (!ok) continue;
    grid = next;
    ++accepted;
  }
  return accepted == steps;
}

// ---- checks ----
bool nine_connected_groups_of_nine(Grid const& grid) {
  for (int g = 0; g < 9; ++g)
    if (std::count(grid.begin(), grid.end(), g) != 9 || !group_connected(grid, g)) return false;
  return true;
}

Grid renumbered(Grid grid) {
  int map[16];
  std::fill(map, map + 16, -1);
  int next = 0;
  for (int& v : grid) {
    if (map[v] < 0) map[v] = next++;
    v = map[v];
  }
  return grid;
}

bool is_box_partition(Grid const& grid) {
  Grid boxes;
  for (int k = 0; k < 81; ++k) boxes[k] = 3 * (k / 27) + (k % 9) / 3;
  return renumbered(grid) == renumbered(boxes);
}

// The smallest renumbered form over the eight turns and reflections.
Grid canonical_form(Grid const& grid) {
  Grid best{};
  bool first = true;
  for (int t = 0; t < 8; ++t) {
    Grid g;
    for (int r = 0; r < 9; ++r)
      for (int c = 0; c < 9; ++c) {
        int sr = r, sc = c;
        if (t & 1) std::swap(sr, sc);
        if (t & 2) sr = 8 - sr;
        if (t & 4) sc = 8 - sc;
        g[r * 9 + c] = grid[sr * 9 + sc];
      }
    g = renumbered(g);
    if (first || g < best) best = g, first = false;
  }
  return best;
}

// ---- the stored form ----
// Labels as the file stores them. Rotational: partners 1-2, 3-4, 5-6, 7-8, centre group 9, cell 0 is
// label 1. Mirror: a self group keeps one label; a pair has L above the middle row and L + 1 below.
Grid file_labels(Kind kind, Grid const& grid, std::array<int, 9> const& partner) {
  std::array<int, 9> label;
  label.fill(0);
  int next = 1;
  for (int k = 0; k < 81; ++k) {
    int const g = grid[k];
    if (label[g]) continue;
    if (kind == Kind::Rotational) {
      if (partner[g] == g) {
        label[g] = 9;
      } else {
        label[g] = next;
        label[partner[g]] = next + 1;
        next += 2;
      }
    } else if (partner[g] == g) {
      label[g] = next++;
    } else {
      label[g] = next;  // the group met first lies above the middle row
      label[partner[g]] = next + 1;
      next += 2;
    }
  }
  Grid out;
  for (int k = 0; k < 81; ++k) out[k] = label[grid[k]];
  return out;
}

int stored_bytes(Kind kind) { return kind == Kind::Rotational ? 20 : 22; }

std::vector<unsigned char> pack(Grid const& labels, int n_bytes) {
  std::vector<unsigned char> out;
  for (int i = 0; i < n_bytes; ++i)
    out.push_back(static_cast<unsigned char>(labels[1 + 2 * i] << 4 | labels[2 + 2 * i]));
  return out;
}

// The loader's completion, before its random turn: used to check the stored form reproduces the map.
Grid unpack(Kind kind, std::vector<unsigned char> const& bytes) {
  Grid m{};
  m[0] = 1;
  int const n = static_cast<int>(bytes.size());
  for (int i = 0; i < n; ++i) m[1 + 2 * i] = bytes[i] >> 4, m[2 + 2 * i] = bytes[i] & 15;
  for (int k = 1 + 2 * n; k < 81; ++k) {
    if (kind == Kind::Rotational) {
      int const l = m[80 - k];
      m[k] = l == 9 ? 9 : (l % 2 ? l + 1 : l - 1);
    } else {
      int const l = m[(8 - k / 9) * 9 + k % 9];
      bool middle = false;
      for (int c = 0; c < 9; ++c) middle |= m[36 + c] == l;
      m[k] = middle ? l : l + 1;
    }
  }
  return m;
}

int pairs_in_middle_row(Grid const& grid, std::array<int, 9> const& partner) {
  std::set<int> pairs;
  for (int c = 0; c < 9; ++c) {
    int const g = grid[36 + c];
    if (partner[g] != g) pairs.insert(std::min(g, partner[g]));
  }
  return static_cast<int>(pairs.size());
}

struct OutFile {
  std::string name;
  Kind kind;
  int middle_kinds;  // rotational files: groups in the middle row, a partner pair counted once; -1 mirror
  std::vector<std::vector<unsigned char>> maps;
};

bool write_file(std::string const& path, OutFile const& f) {
  int const n_bytes = stored_bytes(f.kind);
  char header[96] = {};
  std::snprintf(header, sizeof header, "SGM0.001%s%2d%10d", f.kind == Kind::Rotational ? "ROT" : "MIR", n_bytes,
                static_cast<int>(f.maps.size()));
  std::vector<unsigned char> raw(header, header + 80);
  for (auto const& m : f.maps) raw.insert(raw.end(), m.begin(), m.end());
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> z(size);
  if (compress2(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool const ok = std::fwrite(z.data(), 1, size, out) == size;
  return std::fclose(out) == 0 && ok;
}

int kMaxSteps = 4;  // exchanges between a parent map and its candidate (--max-steps)

// ---- the quick-fill check ----
struct FillOptions {
  int runs = 4;         // seeded runs per rule set, spread over the loader's orientations
  long bound = 100000;  // recursive calls allowed per run, all attempts counted
};

struct FillResult {
  bool quick = false;
  long worst_calls = 0;     // over the runs made
  int passed = 0;           // runs within the bound before the first one over it
  std::vector<long> calls;  // every run of an accepted map
};

uint64_t mix(uint64_t a, uint64_t b) {
  Rng r{a ^ (b * 0xD6E8FEB86659FD93ull)};
  r.next();
  return r.next() | 1;  // never 0: 0 would switch the seeded stream off
}

// The engine fills the map without and with diagonals in each of the runs within the bound, every
// loader orientation used, and every grid is valid. The first run over the bound ends the check.
// Each run's seed depends only on the candidate's seed.
FillResult engine_fills_quickly(Kind kind, Grid const& grid, uint64_t candidate_seed, FillOptions const& opt) {
  bool const mirror = kind == Kind::Mirror;
  int const turns = engine_fill::turn_count(mirror);
  Matrix<int, 9> cases[8];
  for (int t = 0; t < turns; ++t) cases[t] = engine_fill::turned(grid, mirror, t);
  FillResult result;
  // Run j of a rule set fills orientation j mod turns: every orientation the loader gives is used, and
  // both kinds of map get the same number of runs (a turn changes only ties in the engine's order).
  for (int run = 0; run < std::max(opt.runs, turns); ++run)
    for (int diagonals = 0; diagonals < 2; ++diagonals) {
      int const t = run % turns;
      sudoku_seed_random(mix(candidate_seed, static_cast<uint64_t>(run * 2 + diagonals)));
      long const ticks = opt.bound / 1024 + 1;  // stops a run at 1024 ticks > bound calls
      engine_fill::Run const r = engine_fill::run_once(cases[t], diagonals != 0, ticks);
      result.worst_calls = std::max(result.worst_calls, r.calls);
      if (!r.valid || r.calls > opt.bound) return result;
      result.calls.push_back(r.calls);
      ++result.passed;
    }
  sudoku_seed_random(0);
  result.quick = true;
  return result;
}

// Runs the check on every candidate of a batch with `threads` threads; results by candidate.
void check_batch(Kind kind, std::vector<Grid> const& batch, std::vector<uint64_t> const& seeds, FillOptions const& opt,
                 int threads, std::vector<FillResult>& results) {
  results.assign(batch.size(), FillResult{});
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < batch.size();) results[i] = engine_fills_quickly(kind, batch[i], seeds[i], opt);
    sudoku_seed_random(0);
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  for (auto& th : pool) th.join();
}


}  // namespace

int main(int argc, char** argv) {
  std::string out_dir = "data/groupmaps";
  int per_file = 2000;
  uint64_t seed = 20261206;
  long max_attempts = 4000000;  // candidates per kind of map: the files may end up shorter than asked
  int threads = 1;
  std::string only = "both";  // --kind mirror|rotational|both: the files written
  bool checkpoints = false;    // --checkpoints 1: also write the files every 20 batches
  FillOptions fill;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string const opt = argv[i];
    if (opt == "--out") out_dir = argv[i + 1];
    else if (opt == "--maps-per-file") per_file = std::atoi(argv[i + 1]);
    else if (opt == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
    else if (opt == "--max-attempts") max_attempts = std::atol(argv[i + 1]);
    else if (opt == "--kind") only = argv[i + 1];
    else if (opt == "--checkpoints") checkpoints = std::atoi(argv[i + 1]) != 0;
    else if (opt == "--threads") threads = std::max(1, std::atoi(argv[i + 1]));
    else if (opt == "--max-steps") kMaxSteps = std::max(1, std::atoi(argv[i + 1]));
    else if (opt == "--fill-runs") fill.runs = std::max(1, std::atoi(argv[i + 1]));
    else if (opt == "--fill-bound") fill.bound = std::atol(argv[i + 1]);
    else {
      std::fprintf(stderr,
                   "usage: make_group_maps [--out DIR] [--maps-per-file N] [--seed S] [--max-attempts N] "
                   "[--kind mirror|rotational|both] [--checkpoints 0|1] [--threads T] [--max-steps N] [--fill-runs R] [--fill-bound CALLS]\n");
      return 2;
    }
  }
  if (only != "both" && only != "mirror" && only != "rotational") {
    std::fprintf(stderr, "make_group_maps: --kind is mirror, rotational or both\n");
    return 2;
  }
  if (argc % 2 == 0) {
    std::fprintf(stderr, "make_group_maps: option %s needs a value\n", argv[argc - 1]);
    return 2;
  }
  std::vector<OutFile> files;
  for (int i = 1; i <= 10; ++i) files.push_back({"mir" + std::string(i < 10 ? "0" : "") + std::to_string(i), Kind::Mirror, -1, {}});
  files.push_back({"rot_2grp01", Kind::Rotational, 2, {}});  // centre group and one pair in the middle row
  for (int i = 1; i <= 4; ++i)  // centre group and two pairs in the middle row
    files.push_back({"rot_3grp0" + std::to_string(i), Kind::Rotational, 3, {}});

  auto const started = std::chrono::steady_clock::now();
  long attempts = 0, malformed = 0, unneeded = 0, duplicates = 0, slow = 0;
  std::vector<long> accepted_calls;
  for (Kind kind : {Kind::Mirror, Kind::Rotational}) {
    if (only != "both" && only != (kind == Kind::Mirror ? "mirror" : "rotational")) continue;
    // Each kind has its own random stream and its own duplicate set (a map of one kind is never in a
    // file of the other), so `--kind` runs write the same files as a whole run.
    Rng rng{seed + (kind == Kind::Mirror ? 0 : 0x5EEDull)};
    std::set<Grid> seen;
    // A walk through quick-to-fill maps: every candidate is a few exchanges away from a map already
    // accepted (at first the boxes), so the walk stays where the engine fills quickly. Candidates go
    // in fixed-size batches whose content does not depend on the check results inside the batch:
    // the output is the same for any number of threads.
    Grid boxes;
    std::array<int, 9> partner;
    box_partition(kind, boxes, partner);
    std::vector<Grid> parents{boxes};
    // Parents: accepted maps and the candidates that passed at least half of their runs; their score
    // is the number of runs passed, then the fewer calls of the worst run.
    std::vector<std::pair<int, long>> parent_score{{0, 0}};
    int const round_runs = fill.runs;  // half of the runs
    auto class_of = [&](Grid const& g) { return kind == Kind::Rotational ? 1 + pairs_in_middle_row(g, partner) : 0; };
    std::vector<std::vector<size_t>> by_class(6);  // parents by class
    by_class[class_of(boxes)].push_back(0);
    auto add_parent = [&](Grid const& g, int passed, long worst) {
      by_class[class_of(g)].push_back(parents.size());
      parents.push_back(g);
      parent_score.push_back({passed, worst});
    };
    // Maps per file of a class so far.
    auto class_fill = [&](int cls) {
      size_t maps = 0, n_files = 0;
      for (auto const& f : files)
        if (f.kind == kind && (f.middle_kinds < 0 ? 0 : f.middle_kinds) == cls) maps += f.maps.size(), ++n_files;
      return n_files ? static_cast<double>(maps) / static_cast<double>(n_files) : 0.0;
    };
    long batch_count = 0;
    long kind_attempts = 0;
    for (;;) {
      bool need[6] = {};  // by groups on the middle row, up to symmetry (1..5); mirror files at 0
      bool any = false;
      for (auto& f : files)
        if (f.kind == kind && static_cast<int>(f.maps.size()) < per_file)
          need[f.middle_kinds < 0 ? 0 : f.middle_kinds] = any = true;
      if (!any || kind_attempts >= max_attempts) break;
      constexpr int kBatch = 64;
      std::vector<Grid> batch;
      std::vector<uint64_t> seeds;
      std::set<Grid> batch_keys;
      std::vector<Grid> keys;
      std::vector<int> classes;
      for (int j = 0; j < kBatch && kind_attempts < max_attempts; ++j, ++kind_attempts, ++attempts) {
        // Parents: the quicker of two recent parents (the walk stays where the engine fills quickly),
        // mostly of the class whose files are furthest behind (rotational maps: the groups on the
        // middle row), sometimes any earlier one (spreads the walk).
        int target = -1;
        for (int cls = 0; cls < 6; ++cls)
          if (need[cls] && !by_class[cls].empty() && (target < 0 || class_fill(cls) < class_fill(target))) target = cls;
        bool const in_class = target >= 0 && rng.below(4) != 0;
        size_t const n = in_class ? by_class[target].size() : parents.size();
        auto nth = [&](size_t i) { return in_class ? by_class[target][i] : i; };
        auto recent = [&] { return nth(n - 1 - static_cast<size_t>(rng.below(static_cast<int>(std::min<size_t>(n, 256))))); };
        size_t pick;
        if (rng.below(4) == 0) {
          pick = nth(static_cast<size_t>(rng.below(static_cast<int>(n))));
        } else {
          size_t const a = recent(), b = recent();
          auto better = [&](size_t x, size_t y) {
            return parent_score[x].first != parent_score[y].first ? parent_score[x].first > parent_score[y].first
                                                                  : parent_score[x].second <= parent_score[y].second;
          };
          pick = better(a, b) ? a : b;
        }
        Grid grid = parents[pick];
        uint64_t const candidate_seed = rng.next();
        if (!perturb(kind, rng, 1 + rng.below(kMaxSteps), grid, partner) || !nine_connected_groups_of_nine(grid) ||
            is_box_partition(grid)) {
          ++malformed;
          continue;
        }
        int const cls = kind == Kind::Rotational ? 1 + pairs_in_middle_row(grid, partner) : 0;
        if (!need[cls]) {
          ++unneeded;
          continue;
        }
        Grid const key = canonical_form(grid);
        if (seen.count(key) || !batch_keys.insert(key).second) {
          ++duplicates;
          continue;
        }
        batch.push_back(grid);
        seeds.push_back(candidate_seed);
        keys.push_back(key);
        classes.push_back(cls);
      }
      std::vector<FillResult> results;
      check_batch(kind, batch, seeds, fill, threads, results);
      for (size_t i = 0; i < batch.size(); ++i) {
        if (!results[i].quick) {
          ++slow;
          if (results[i].passed >= round_runs) add_parent(batch[i], results[i].passed, results[i].worst_calls);
          continue;
        }
        // Mirror maps go to the mirror files in turn; rotational maps to the files of their class in turn.
        OutFile* target = nullptr;
        for (auto& f : files)
          if (f.kind == kind && (kind == Kind::Mirror || f.middle_kinds == classes[i]) &&
              static_cast<int>(f.maps.size()) < per_file && (!target || f.maps.size() < target->maps.size()))
            target = &f;
        if (!target) continue;  // its files filled up earlier in this batch
        Grid const labels = file_labels(kind, batch[i], partner);
        auto bytes = pack(labels, stored_bytes(kind));
        if (renumbered(unpack(kind, bytes)) != renumbered(batch[i])) {
          std::fprintf(stderr, "make_group_maps: stored form does not reproduce a map\n");
          return 1;
        }
        seen.insert(keys[i]);
        add_parent(batch[i], results[i].passed, results[i].worst_calls);
        accepted_calls.insert(accepted_calls.end(), results[i].calls.begin(), results[i].calls.end());
        target->maps.push_back(bytes);
      }
      if (++batch_count % 20 == 0) {
        // A checkpoint: the files of this kind as a run with --max-attempts <kind_attempts> writes them.
        bool all_hold_maps = true;
        for (auto const& f : files) all_hold_maps = all_hold_maps && (f.kind != kind || !f.maps.empty());
        for (auto const& f : files)
          if (all_hold_maps && f.kind == kind && checkpoints && !write_file(out_dir + "/" + f.name + ".z", f)) return 1;
        double const secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr,
                     "%.0f s: kind attempts %ld%s, candidates %ld malformed %ld unneeded %ld duplicates %ld slow %ld "
                     "files:",
                     secs, kind_attempts, checkpoints && all_hold_maps ? " (files written)" : "", attempts, malformed, unneeded,
                     duplicates, slow);
        for (auto const& f : files) std::fprintf(stderr, " %zu", f.maps.size());
        std::fprintf(stderr, "\n");
      }
    }
  }
  auto selected = [&](OutFile const& f) {
    return only == "both" || only == (f.kind == Kind::Mirror ? "mirror" : "rotational");
  };
  for (auto const& f : files)
    if (selected(f) && f.maps.empty()) {  // an empty file would make the loader fall back to the box map
      std::fprintf(stderr, "make_group_maps: no map accepted for %s; nothing written\n", f.name.c_str());
      return 1;
    }
  for (auto const& f : files) {
    if (!selected(f)) continue;
    std::string const path = out_dir + "/" + f.name + ".z";
    if (!write_file(path, f)) {
      std::fprintf(stderr, "make_group_maps: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  double const secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  size_t total = 0;
  std::printf("maps per file:");
  for (auto const& f : files) std::printf(" %s %zu", f.name.c_str(), f.maps.size()), total += f.maps.size();
  std::printf("\ntotal %zu maps in %.0f s\n", total, secs);
  std::printf("candidates %ld: malformed %ld, class not needed %ld, duplicates %ld, slow %ld\n", attempts, malformed,
              unneeded, duplicates, slow);
  std::printf("engine construct_solution on accepted maps (%d runs per rule set, bound %ld calls): "
              "%zu runs, calls median %ld, p90 %ld, p99 %ld, max %ld\n",
              fill.runs, fill.bound, accepted_calls.size(), percentile(accepted_calls, 0.5),
              percentile(accepted_calls, 0.9), percentile(accepted_calls, 0.99), percentile(accepted_calls, 1.0));
  return 0;
}
