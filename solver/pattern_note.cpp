// The pattern recorder of the calling thread and the notes techniques make.
#include "solver/pattern_note.h"

namespace pattern_note {

namespace {

thread_local Pattern* recorder = nullptr;

void add_houses(Pattern* p, int dim, uint32_t set) {
  for (; set; set &= set - 1) p->add_house(dim, __builtin_ctz(set));
}

}  // namespace

bool active() { return recorder != nullptr; }

void attach(Pattern* r) { recorder = r; }

[[gnu::cold]] void cell(PUZZLE_CELL const* c) {
  if (recorder) recorder->add_cell(c->offset());
}

[[gnu::cold]] void house(int dim, int index) {
  if (recorder) recorder->add_house(dim, index);
}

[[gnu::cold]] void houses(int dim, uint32_t set) {
  if (recorder) add_houses(recorder, dim, set);
}

[[gnu::cold]] void digits(uint32_t bits) {
  if (recorder) recorder->digits |= bits;
}

[[gnu::cold]] void fish(int base_dim, uint32_t base, uint32_t base_groups, int cover_dim, uint32_t cover,
                        uint32_t cover_groups, uint32_t digit_bit) {
  if (!recorder) return;
  add_houses(recorder, base_dim, base);
  add_houses(recorder, DIM_GROUP, base_groups);
  recorder->n_base_houses = recorder->n_houses;
  add_houses(recorder, cover_dim, cover);
  add_houses(recorder, DIM_GROUP, cover_groups);
  recorder->digits |= digit_bit;
}

}  // namespace pattern_note
