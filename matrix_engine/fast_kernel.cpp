// The fast completion search. A position is nine digit boards (one bit per cell)
// plus the board of placed cells. Cell c sits at bit 10 * row + column, rows 0..5 in
// the low word and rows 6..8 in the high word, so every row is a 9-bit field with a
// clear spacer bit above it: row and column counts are then a few word operations.
#include <memory>

#include "matrix_engine/fast_kernel.h"

namespace matrix_engine {
namespace detail {

namespace {

constexpr std::uint64_t kFieldLsbLo = 1ull | 1ull << 10 | 1ull << 20 | 1ull << 30 | 1ull << 40 | 1ull << 50;
constexpr std::uint64_t kFieldLsbHi = 1ull | 1ull << 10 | 1ull << 20;
constexpr std::uint64_t kSpacerLo = kFieldLsbLo << 9;
constexpr std::uint64_t kSpacerHi = kFieldLsbHi << 9;
constexpr std::uint64_t kCellsLo = kFieldLsbLo * 0x1FF;
constexpr std::uint64_t kCellsHi = kFieldLsbHi * 0x1FF;
constexpr std::uint64_t kThreeFields = (1ull << 30) - 1;
// The first row field of each band (bands 0 and 1 in the low word) and the first
// column bit of each stack in those fields.
constexpr std::uint64_t kBandFields = 0x1FFull | 0x1FFull << 30;
constexpr std::uint64_t kStackBitsLo = 0x49ull | 0x49ull << 30;
constexpr std::uint64_t kStackBitsHi = 0x49ull;

// The band and stack rule works on 3x3 occupancies: three segments (the rows of a band,
// or the bands of a stack) of three bits each (one per box, or per column of the stack).
// Keeps the bits of a that lie on a permutation with b and c; rotate1 (rotate2) moves
// to each bit the bit one (two) further along its segment, cyclically. Macros, as a
// vector argument of a function would change the portable copy's calling convention.
#define NONET_ON_PERMUTATION(a, b, c, rotate1, rotate2) \
  ((a) & ((rotate1(b) & rotate2(c)) | (rotate2(b) & rotate1(c))))
// Segments of a row: the first bit of each stack (bits 0, 3, 6 of each band field, the
// bits of kStackBits where the macro is used).
#define NONET_STACK_ROTATE1(v) ((((v) >> 3) | ((v) << 6)) & kStackBits)
#define NONET_STACK_ROTATE2(v) ((((v) >> 6) | ((v) << 3)) & kStackBits)
// Segments of a band's column occupancy (nine bits): the three columns of each stack.
#define NONET_COLUMN_ROTATE1(v) ((((v) >> 1) & 0xDBull) | (((v) << 2) & 0x124ull))
#define NONET_COLUMN_ROTATE2(v) ((((v) >> 2) & 0x49ull) | (((v) << 1) & 0x1B6ull))

constexpr int position_of(int cell) {
  int const row = cell / 9, col = cell % 9;
  return row < 6 ? 10 * row + col : 64 + 10 * (row - 6) + col;
}

struct State {
  std::uint64_t lo[9];
  std::uint64_t hi[9];
  std::uint64_t solved_lo;
  std::uint64_t solved_hi;
};

}  // namespace

struct Kernel {
  std::uint64_t peers_lo[128];
  std::uint64_t peers_hi[128];
  int cell_at[128];
  // Units 0..17 are the nine rows and the nine columns, checked by word operations.
  bool rows_and_columns;
  // Units 18..26 are the nine 3x3 boxes, also checked by word operations.
  bool boxes;
  int n_masks;  // the other units, checked through their masks
  std::uint64_t mask_lo[32];
  std::uint64_t mask_hi[32];
};

namespace {

void set_position(std::uint64_t& lo, std::uint64_t& hi, int pos) {
  if (pos < 64)
    lo |= std::uint64_t{1} << pos;
  else
    hi |= std::uint64_t{1} << (pos - 64);
}

std::unique_ptr<Kernel> build_kernel(Ops const& ops) {
  auto k = std::make_unique<Kernel>();
  *k = Kernel{};
  for (int p = 0; p < 128; ++p) k->cell_at[p] = -1;
  for (int c = 0; c < 81; ++c) k->cell_at[position_of(c)] = c;

  int const n_units = static_cast<int>(ops.units.size());
  for (auto const& unit : ops.units)
    for (int cell : unit)
      if (cell < 0 || cell > 80) return nullptr;

  bool standard = n_units >= 18;
  for (int u = 0; standard && u < 18; ++u) {
    auto const& unit = ops.units[u];
    if (unit.size() != 9) {
      standard = false;
      break;
    }
    for (int i = 0; i < 9; ++i) {
      int const expected = u < 9 ? 9 * u + i : 9 * i + (u - 9);
      if (unit[i] != expected) standard = false;
    }
  }
  k->rows_and_columns = standard;
  bool boxes = standard && n_units >= 27;
  for (int u = 18; boxes && u < 27; ++u) {
    int const box = u - 18;
    auto const& unit = ops.units[u];
    if (unit.size() != 9) {
      boxes = false;
      break;
    }
    for (int i = 0; i < 9; ++i)
      if (unit[i] != 27 * (box / 3) + 3 * (box % 3) + 9 * (i / 3) + i % 3) boxes = false;
  }
  k->boxes = boxes;
  int const first_masked = boxes ? 27 : standard ? 18 : 0;
  if (n_units - first_masked > 32) return nullptr;
  k->n_masks = n_units - first_masked;

  std::uint64_t unit_lo[64] = {}, unit_hi[64] = {};
  if (n_units > 64) return nullptr;
  for (int u = 0; u < n_units; ++u)
    for (int cell : ops.units[u]) set_position(unit_lo[u], unit_hi[u], position_of(cell));
  for (int m = 0; m < k->n_masks; ++m) {
    k->mask_lo[m] = unit_lo[first_masked + m];
    k->mask_hi[m] = unit_hi[first_masked + m];
  }
  for (int c = 0; c < 81; ++c) {
    int const pos = position_of(c);
    std::uint64_t lo = 0, hi = 0;
    for (int u = 0; u < n_units; ++u) {
      bool contains = false;
      for (int cell : ops.units[u]) contains |= cell == c;
      if (contains) lo |= unit_lo[u], hi |= unit_hi[u];
    }
    std::uint64_t own_lo = 0, own_hi = 0;
    set_position(own_lo, own_hi, pos);
    k->peers_lo[pos] = lo & ~own_lo;
    k->peers_hi[pos] = hi & ~own_hi;
  }
  return k;
}

// The search compiled twice: for any processor and, on x86-64, for processors with AVX2 and
// BMI2 (a target attribute on every function of that copy, read by GCC and clang alike).
#define NONET_SEARCH_TARGET
namespace portable {
#include "matrix_engine/fast_search_body.h"
}  // namespace portable
#undef NONET_SEARCH_TARGET

#if defined(__x86_64__)
#define NONET_HAVE_X86_64_V3_SEARCH 1
#define NONET_SEARCH_TARGET __attribute__((target("popcnt,bmi,bmi2,lzcnt,avx2")))
namespace x86_64_v3 {
#include "matrix_engine/fast_search_body.h"
}  // namespace x86_64_v3
#undef NONET_SEARCH_TARGET

bool cpu_has_x86_64_v3() {
  static bool const has = __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("avx2") &&
                          __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
  return has;
}
#endif

thread_local bool portable_only = false;

// The search copy for this processor.
int run_search_for_cpu(Kernel const& k, State const& s, int limit, int (*out)[81], int offset, long long& budget,
                       bool any_order) {
#if defined(NONET_HAVE_X86_64_V3_SEARCH)
  if (cpu_has_x86_64_v3() && !portable_only)
    return x86_64_v3::run_search(k, s, limit, out, offset, budget, any_order);
#endif
  return portable::run_search(k, s, limit, out, offset, budget, any_order);
}

}  // namespace

void use_portable_search(bool on) { portable_only = on; }

std::shared_ptr<Kernel const> build_fast_tables(Ops const& ops) { return build_kernel(ops); }

bool fast_count_node(Kernel const& k, Vec const& cand, Vec const& placed, int limit, int (*out)[81], int offset,
                     long long& budget, int& result, bool any_order) {
  State s;
  for (int d = 0; d < 9; ++d) {
    s.lo[d] = kCellsLo;
    s.hi[d] = kCellsHi;
  }
  // Candidates are mostly all there (a clue grid starts from every literal): clear
  // the few that are missing.
  for (int w = 0; w < Vec::kWords; ++w) {
    std::uint64_t missing = ~cand.words[w];
    if (w == Vec::kWords - 1) missing &= Vec::kLastWordMask;
    for (; missing; missing &= missing - 1) {
      int const l = 64 * w + __builtin_ctzll(missing);
      int const pos = position_of(l / 9), d = l % 9;
      if (pos < 64)
        s.lo[d] &= ~(std::uint64_t{1} << pos);
      else
        s.hi[d] &= ~(std::uint64_t{1} << (pos - 64));
    }
  }

  // The placed literals must not exclude each other; the Vec form handles positions
  // where they do.
  int placed_pos[81], placed_digit[81];
  int n_placed = 0;
  std::uint64_t by_digit_lo[9] = {}, by_digit_hi[9] = {};
  s.solved_lo = s.solved_hi = 0;
  for (int w = 0; w < Vec::kWords; ++w) {
    std::uint64_t bits = placed.words[w];
    if (w == Vec::kWords - 1) bits &= Vec::kLastWordMask;
    for (; bits; bits &= bits - 1) {
      int const l = 64 * w + __builtin_ctzll(bits);
      int const pos = position_of(l / 9), d = l % 9;
      std::uint64_t bit_lo = 0, bit_hi = 0;
      set_position(bit_lo, bit_hi, pos);
      if ((s.solved_lo & bit_lo) | (s.solved_hi & bit_hi)) return false;
      if ((by_digit_lo[d] & k.peers_lo[pos]) | (by_digit_hi[d] & k.peers_hi[pos])) return false;
      by_digit_lo[d] |= bit_lo;
      by_digit_hi[d] |= bit_hi;
      s.solved_lo |= bit_lo;
      s.solved_hi |= bit_hi;
      placed_pos[n_placed] = pos;
      placed_digit[n_placed++] = d;
    }
  }
  std::uint64_t const solved_lo = s.solved_lo, solved_hi = s.solved_hi;
  for (int i = 0; i < n_placed; ++i) portable::place(k, s, placed_pos[i], placed_digit[i]);
  s.solved_lo = solved_lo;
  s.solved_hi = solved_hi;

  result = run_search_for_cpu(k, s, limit, out, offset, budget, any_order);
  return true;
}

}  // namespace detail
}  // namespace matrix_engine
