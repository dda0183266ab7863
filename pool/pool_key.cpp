#include "pool/pool_key.h"

#include "classify/canonical.h"

namespace pool {

bool cells_of(std::string const& text, int out[81]) {
  if (text.size() != 81) return false;
  for (int c = 0; c < 81; ++c) out[c] = text[c] >= '0' && text[c] <= '9' ? text[c] - '0' : 0;
  return true;
}

std::string clue_text(int const cells[81]) {
  std::string s(81, '.');
  for (int c = 0; c < 81; ++c)
    if (cells[c] >= 1 && cells[c] <= 9) s[c] = static_cast<char>('0' + cells[c]);
  return s;
}

std::string digit_text(int const cells[81]) {
  std::string s(81, '0');
  for (int c = 0; c < 81; ++c) s[c] = static_cast<char>('0' + (cells[c] >= 0 && cells[c] <= 9 ? cells[c] : 0));
  return s;
}

std::string canonical_key(PoolPuzzle const& p) {
  int clues[9][9], groups[9][9], out_clues[9][9], out_groups[9][9];
  cells_of(p.clues, &clues[0][0]);
  cells_of(p.groups, &groups[0][0]);
  canonical_form(clues, groups, out_clues, out_groups, nullptr, nullptr);
  std::string key;
  key.reserve(2 + 162);
  key += p.kind.jigsaw ? 'j' : 'b';
  key += p.kind.x ? 'x' : '-';
  key += digit_text(&out_clues[0][0]);
  key += digit_text(&out_groups[0][0]);
  return key;
}

}  // namespace pool
