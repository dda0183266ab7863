#include "solver/failure_memo.h"

#include <memory>

namespace failure_memo {

namespace {

// Failed positions kept per technique and digit (direct-mapped by hash).
constexpr int kSlots = 32;

struct Entry {
  uint64_t epoch;  // the scope that wrote it; 0 never matches
  uint64_t holds[2];
  uint64_t unsolved[2];
};

}  // namespace

class Memo {
 public:
  Entry entries[kTechniques][10][kSlots];
};

namespace {

struct ThreadState {
  std::unique_ptr<Memo> memo;
  board_scope::Slot slot;
  uint64_t skipped = 0;
};
thread_local ThreadState state;

int slot_of(DigitKeys const& keys, int d) {
  uint64_t h = keys.holds[d][0] * 0x9E3779B97F4A7C15ull;
  h ^= keys.holds[d][1] + (h >> 29);
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= keys.unsolved[d][0] + (h >> 31);
  h *= 0x94D049BB133111EBull;
  h ^= keys.unsolved[d][1] + (h >> 27);
  h *= 0x9E3779B97F4A7C15ull;
  return static_cast<int>(h >> 59) & (kSlots - 1);
}

}  // namespace

DigitKeys::DigitKeys(Puzzle const& p) : holds(), unsolved() {
  for (int i = 0; i < 81; ++i) {
    uint32_t const bits = p.cells[i].elim_bits & ALL_DIGITS;
    int const word = i >> 6;
    uint64_t const cell_bit = 1ull << (i & 63);
    bool const open = (bits & (bits - 1)) != 0;
    for (uint32_t b = bits; b; b &= b - 1) {
      int const d = __builtin_ctz(b);
      holds[d][word] |= cell_bit;
      if (open) unsolved[d][word] |= cell_bit;
    }
  }
}

Memo* active_for(Puzzle const& p) { return state.slot.puzzle == &p ? state.memo.get() : nullptr; }

bool known_to_fail(Memo* memo, Technique t, DigitKeys const& keys, int d) {
  if (!memo) return false;
  Entry const& e = memo->entries[t][d][slot_of(keys, d)];
  bool const known = e.epoch == state.slot.epoch && e.holds[0] == keys.holds[d][0] && e.holds[1] == keys.holds[d][1] &&
                     e.unsolved[0] == keys.unsolved[d][0] && e.unsolved[1] == keys.unsolved[d][1];
  state.skipped += known;
  return known;
}

uint64_t skipped_searches() { return state.skipped; }

void record_failure(Memo* memo, Technique t, DigitKeys const& keys) {
  if (!memo) return;
  for (int d = 1; d <= 9; ++d) {
    Entry& e = memo->entries[t][d][slot_of(keys, d)];
    e.epoch = state.slot.epoch;
    e.holds[0] = keys.holds[d][0];
    e.holds[1] = keys.holds[d][1];
    e.unsolved[0] = keys.unsolved[d][0];
    e.unsolved[1] = keys.unsolved[d][1];
  }
}

Technique fish_technique(METHOD_TYPE m) {
  switch (m) {
    case X_WING: return kXWing;
    case SWORDFISH: return kSwordfish;
    case JELLYFISH: return kJellyfish;
    case LARGE_FISH: return kLargeFish;
    case FRANKEN_FISH: return kFrankenFish;
    default: return kTechniques;
  }
}

namespace {

// The memo's tables, made once per thread before its first scope (entries start with epoch 0).
board_scope::Slot& slot_with_memo() {
  if (!state.memo) state.memo = std::make_unique<Memo>();
  return state.slot;
}

}  // namespace

FailureMemoScope::FailureMemoScope(Puzzle const& p) : scope_(slot_with_memo(), p) {}

}  // namespace failure_memo
