// Matrix<int,9>: a 9 x 9 grid of values, row-major (element (r, c) at 9r + c).
// Every group map travels in it.
#pragma once

#include <cstring>

#include "util/export.h"

template <typename T, int N>
class NONET_EXPORT Matrix {
 public:
  Matrix() { std::memset(v_, 0, sizeof v_); }
  Matrix(Matrix const&) = default;
  Matrix& operator=(Matrix const&) = default;

  T* operator[](int r) { return v_ + r * N; }
  T const* operator[](int r) const { return v_ + r * N; }
  T* data() { return v_; }
  T const* data() const { return v_; }

  // new(r, c) = old(c, N-1-r): the right-hand column, read downwards, becomes the top row.
  Matrix& rotate90() { return remap([](int r, int c, int& sr, int& sc) { sr = c, sc = N - 1 - r; }); }
  // new(r, c) = old(N-1-c, r): the left-hand column, read upwards, becomes the top row.
  Matrix& rotate270() { return remap([](int r, int c, int& sr, int& sc) { sr = N - 1 - c, sc = r; }); }
  // new(r, c) = old(r, N-1-c).
  Matrix& reflectLR() { return remap([](int r, int c, int& sr, int& sc) { sr = r, sc = N - 1 - c; }); }
  // new(r, c) = old(c, r).
  Matrix& reflectDiag00() { return remap([](int r, int c, int& sr, int& sc) { sr = c, sc = r; }); }

  bool operator==(Matrix const& o) const { return std::memcmp(v_, o.v_, sizeof v_) == 0; }

 private:
  template <typename F>
  Matrix& remap(F source_of) {
    Matrix old(*this);
    for (int r = 0; r < N; ++r)
      for (int c = 0; c < N; ++c) {
        int sr, sc;
        source_of(r, c, sr, sc);
        v_[r * N + c] = old.v_[sr * N + sc];
      }
    return *this;
  }

  T v_[N * N];
};

extern template class Matrix<int, 9>;
