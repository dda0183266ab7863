// The pool store's write rate: puzzles stored per second, one transaction per batch, with
// the canonical key computed for each (the work a fill's commit does).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <random>

#include "pool/pool_store.h"

namespace {

// Random clue texts on the boxes: distinct keys, the same text lengths as real puzzles.
std::vector<pool::PoolPuzzle> random_puzzles(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<pool::PoolPuzzle> out(n);
  for (pool::PoolPuzzle& p : out) {
    p.clues = std::string(81, '.');
    p.solution = std::string(81, '1');
    p.groups.resize(81);
    for (int c = 0; c < 81; ++c) {
      p.groups[c] = static_cast<char>('0' + 3 * (c / 27) + (c % 9) / 3);
      if (rng() % 3 == 0) p.clues[c] = static_cast<char>('1' + rng() % 9);
    }
    p.bucket = static_cast<int>(rng() % 10);
    p.label = "Naked Single";
    p.givens = 27;
    p.seed = rng();
  }
  return out;
}

void BM_StoreBatches(benchmark::State& state) {
  size_t const batch = static_cast<size_t>(state.range(0));
  std::string const path = "/tmp/nonet_pool_bench_" + std::to_string(::getpid()) + ".db";
  std::string why;
  auto store = pool::PoolStore::open(path, true, why);
  if (!store) {
    state.SkipWithError(why.c_str());
    return;
  }
  unsigned seed = 1;
  long stored = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<pool::PoolPuzzle> const puzzles = random_puzzles(batch, seed++);
    state.ResumeTiming();
    store->begin();
    for (pool::PoolPuzzle const& p : puzzles) stored += store->insert(p, 0);
    store->commit();
  }
  state.SetItemsProcessed(stored);
  store.reset();
  for (char const* suffix : {"", "-wal", "-shm"}) ::unlink((path + suffix).c_str());
}
BENCHMARK(BM_StoreBatches)->Arg(1)->Arg(50)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
