#include "solver/suffix_cache.h"

#include <cstring>
#include <memory>

namespace suffix_cache {

namespace {

constexpr int kEntries = 512;      // direct-mapped by hash
constexpr int kNotedPerSolve = 48;  // positions of one solve that can be stored

struct Position {
  uint32_t elim_bits[81];
  int32_t mask[81];
};

struct Entry {
  uint64_t epoch;  // the scope that wrote it; 0 never matches
  int32_t hardest;
  int32_t solved;
  Position at;
  uint32_t final_bits[81];
  int32_t added_counts[N_METHOD_COUNTS];
};

struct Noted {
  uint64_t hash;
  Position at;
  int32_t counts[N_METHOD_COUNTS];
};

struct Tables {
  Entry entries[kEntries];
  Noted noted[kNotedPerSolve];
};

struct ThreadState {
  std::unique_ptr<Tables> tables;
  board_scope::Slot slot;
  int n_noted = 0;
  bool in_solve = false;
  METHOD_TYPE hardest = SIMPLE_ELIMINATION;
  uint64_t hits = 0;
};
thread_local ThreadState state;

// The techniques read a cell's mask only for its "single already eliminated" mark
// (bit 1); brute force also reads the given bit.
void read_position(Puzzle const& p, METHOD_TYPE hardest, Position& out) {
  int32_t const read = hardest == BRUTE_FORCE ? ~0 : 2;
  for (int i = 0; i < 81; ++i) {
    out.elim_bits[i] = p.cells[i].elim_bits;
    out.mask[i] = p.cells[i].mask & read;
  }
}

uint64_t hash_of(Position const& at, METHOD_TYPE hardest) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(hardest);
  for (int i = 0; i < 81; ++i) {
    h ^= at.elim_bits[i] | (static_cast<uint64_t>(static_cast<uint32_t>(at.mask[i])) << 32);
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
  }
  return h;
}

}  // namespace

bool begin_solve(Puzzle const& p, METHOD_TYPE hardest) {
  state.n_noted = 0;
  state.in_solve = state.slot.puzzle == &p && state.tables;
  state.hardest = hardest;
  return state.in_solve;
}

bool finish_from_cache(Puzzle& p, bool* solved) {
  if (!state.in_solve || state.slot.puzzle != &p) return false;
  METHOD_TYPE const hardest = state.hardest;
  Tables& t = *state.tables;
  Noted scratch;
  Noted& here = state.n_noted < kNotedPerSolve ? t.noted[state.n_noted] : scratch;
  read_position(p, hardest, here.at);
  here.hash = hash_of(here.at, hardest);
  Entry const& e = t.entries[here.hash % kEntries];
  if (e.epoch == state.slot.epoch && e.hardest == hardest && std::memcmp(&e.at, &here.at, sizeof here.at) == 0) {
    for (int i = 0; i < 81; ++i) p.cells[i].elim_bits = e.final_bits[i];
    for (int m = 0; m < N_METHOD_COUNTS; ++m) p.method_counts[m] += e.added_counts[m];
    *solved = e.solved != 0;
    ++state.hits;
    return true;
  }
  if (state.n_noted < kNotedPerSolve) {
    std::memcpy(here.counts, p.method_counts, sizeof here.counts);
    ++state.n_noted;
  }
  return false;
}

void end_solve(Puzzle const& p, bool solved, bool record) {
  if (!state.in_solve || state.slot.puzzle != &p) return;
  state.in_solve = false;
  METHOD_TYPE const hardest = state.hardest;
  Tables& t = *state.tables;
  for (int k = 0; record && k < state.n_noted; ++k) {
    Noted const& n = t.noted[k];
    Entry& e = t.entries[n.hash % kEntries];
    e.epoch = state.slot.epoch;
    e.hardest = hardest;
    e.solved = solved ? 1 : 0;
    e.at = n.at;
    for (int i = 0; i < 81; ++i) e.final_bits[i] = p.cells[i].elim_bits;
    for (int m = 0; m < N_METHOD_COUNTS; ++m) e.added_counts[m] = p.method_counts[m] - n.counts[m];
  }
  state.n_noted = 0;
}

uint64_t hits() { return state.hits; }

namespace {

// The cache's tables, made once per thread before its first scope (entries start with epoch 0).
board_scope::Slot& slot_with_tables() {
  if (!state.tables) state.tables = std::make_unique<Tables>();
  return state.slot;
}

}  // namespace

SuffixCacheScope::SuffixCacheScope(Puzzle const& p) : scope_(slot_with_tables(), p) {
  if (!scope_.installed()) return;
  state.n_noted = 0;
  state.in_solve = false;
}

SuffixCacheScope::~SuffixCacheScope() {
  if (!scope_.installed()) return;
  state.n_noted = 0;
  state.in_solve = false;
}

}  // namespace suffix_cache
