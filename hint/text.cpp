// Building a hint's one-line text in its fixed buffer; what does not fit ends in "...".
#include <cstdio>
#include <cstring>

#include "hint/step.h"

namespace hint {

Text& Text::operator<<(char const* s) {
  int const room = size_ - 1 - len_;
  if (room <= 0) return *this;
  int const n = static_cast<int>(std::strlen(s));
  if (n <= room) {
    std::memcpy(buf_ + len_, s, static_cast<size_t>(n));
    len_ += n;
  } else {
    std::memcpy(buf_ + len_, s, static_cast<size_t>(room));
    len_ = size_ - 1;
    if (size_ > 4) std::memcpy(buf_ + size_ - 4, "...", 3);
  }
  buf_[len_] = '\0';
  return *this;
}

Text& Text::operator<<(int n) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%d", n);
  return *this << digits;
}

Text& Text::cell(int index) { return *this << "r" << index / 9 + 1 << "c" << index % 9 + 1; }

Text& Text::house(int code, bool irregular) {
  int const dim = code / 9, index = code % 9;
  switch (dim) {
    case DIM_GROUP: return *this << (irregular ? "region " : "box ") << index + 1;
    case DIM_ROW: return *this << "row " << index + 1;
    case DIM_COL: return *this << "column " << index + 1;
    case DIM_DIAG: return *this << "the main diagonal";
    default: return *this << "the anti-diagonal";
  }
}

namespace {

char const* separator(int i, int n) { return i == 0 ? "" : (i == n - 1 ? " and " : ", "); }

}  // namespace

Text& Text::cells(int const* list, int n) {
  for (int i = 0; i < n; ++i) {
    *this << separator(i, n);
    cell(list[i]);
  }
  return *this;
}

Text& Text::digits(uint32_t bits) {
  int const n = n_candidates(bits);
  int i = 0;
  for (int d = 1; d <= 9; ++d)
    if (bits & (1u << d)) *this << separator(i++, n) << d;
  return *this;
}

}  // namespace hint
