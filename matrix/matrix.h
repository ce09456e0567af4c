// matrix<T>: the container of every list and table of the program.
//
// A matrix owns one contiguous row-major array of r rows and c columns;
// element (i, j) sits at position i * c + j.  A column vector is a matrix
// with c = 1, and the one-index access treats any matrix as a flat vector of
// r * c elements.  A default-constructed matrix has r = c = 0 and no storage.
//
// Every element access checks its index.  A wrong index, access to a matrix
// without storage, or arithmetic between matrices whose dimensions differ
// prints a framed "MATRIX::ERROR:" block on standard output (see MError.h)
// and ends the process with exit status 1.  The same happens for a negative
// dimension or a storage request that cannot be met.
//
// New storage is value-initialised: class elements are default-constructed,
// arithmetic elements are zero.  Resize with unchanged dimensions keeps the
// storage and its contents and costs nothing.
#pragma once

#include <algorithm>
#include <climits>
#include <new>
#include <utility>

#include "matrix/MError.h"

template <class T>
class matrix {
 public:
  // Empty: no rows, no columns, no storage.
  matrix() = default;
  // r x c elements (value-initialised).
  matrix(int r, int c) { Allocate(r, c); }
  // Column vector of n elements (value-initialised).
  explicit matrix(int n) { Allocate(n, 1); }
  // r x c elements, each set to value.
  matrix(int r, int c, const T& value) {
    Allocate(r, c);
    std::fill(v, v + Length(), value);
  }
  matrix(const matrix& m) {
    Allocate(m.r, m.c);
    std::copy(m.v, m.v + m.Length(), v);
  }
  // Moving hands the storage over and leaves the source empty.
  matrix(matrix&& m) noexcept : r(m.r), c(m.c), v(m.v) {
    m.r = m.c = 0;
    m.v = nullptr;
  }
  ~matrix() { delete[] v; }

  // Makes the matrix an n x 1 column vector; see Resize(r, c).
  void Resize(int n) { Resize(n, 1); }
  // Nothing happens when both dimensions already match.  Otherwise the old
  // contents are released and new value-initialised storage is created.
  void Resize(int nr, int nc) {
    if (nr == r && nc == c) return;
    Release();
    Allocate(nr, nc);
  }
  // As Resize(r, c), then every element is set to value.
  void Resize(int nr, int nc, const T& value) {
    Resize(nr, nc);
    std::fill(v, v + Length(), value);
  }

  int NRow() const { return r; }
  int NCol() const { return c; }
  int Length() const { return r * c; }

  // The i-th element of the flat row-major array (0-based), index-checked.
  T& operator()(int i) {
    if (static_cast<unsigned>(i) >= static_cast<unsigned>(r * c)) FlatIndexError(i);
    return v[i];
  }
  const T& operator()(int i) const {
    if (static_cast<unsigned>(i) >= static_cast<unsigned>(r * c)) FlatIndexError(i);
    return v[i];
  }
  // Element (i, j), 0-based, index-checked.
  T& operator()(int i, int j) {
    if (static_cast<unsigned>(i) >= static_cast<unsigned>(r) ||
        static_cast<unsigned>(j) >= static_cast<unsigned>(c))
      RowColIndexError(i, j);
    return v[i * c + j];
  }
  const T& operator()(int i, int j) const {
    if (static_cast<unsigned>(i) >= static_cast<unsigned>(r) ||
        static_cast<unsigned>(j) >= static_cast<unsigned>(c))
      RowColIndexError(i, j);
    return v[i * c + j];
  }

  // Copies the elements of m; the storage is reused when the dimensions match.
  matrix& operator=(const matrix& m) {
    if (this == &m) return *this;
    Resize(m.r, m.c);
    std::copy(m.v, m.v + m.Length(), v);
    return *this;
  }
  matrix& operator=(matrix&& m) noexcept {
    if (this == &m) return *this;
    delete[] v;
    r = m.r;
    c = m.c;
    v = m.v;
    m.r = m.c = 0;
    m.v = nullptr;
    return *this;
  }
  // Sets every element to value.
  matrix& operator=(const T& value) {
    std::fill(v, v + Length(), value);
    return *this;
  }

  // Element-wise sum and difference; the dimensions must agree.
  matrix& operator+=(const matrix& m) {
    CheckDims("Operator:   +=\nMatrix dims do not agree: ", m);
    for (int k = 0; k < Length(); ++k) v[k] += m.v[k];
    return *this;
  }
  matrix& operator-=(const matrix& m) {
    CheckDims("Operator:   -=\nMatrix dims do not agree: ", m);
    for (int k = 0; k < Length(); ++k) v[k] -= m.v[k];
    return *this;
  }
  // Matrix product: this = this * m; needs as many columns here as rows in m.
  matrix& operator*=(const matrix& m) {
    if (c != m.r) Error("Operator:   *=\nMatrix dims do not agree: ", r, c, m.r, m.c);
    matrix p(r, m.c);
    for (int i = 0; i < r; ++i)
      for (int k = 0; k < c; ++k)
        for (int j = 0; j < m.c; ++j) p.v[i * m.c + j] += v[i * c + k] * m.v[k * m.c + j];
    return *this = std::move(p);
  }

  // Scalar operations on every element.
  matrix& operator+=(const T& k) { return Apply([&k](T& e) { e += k; }); }
  matrix& operator-=(const T& k) { return Apply([&k](T& e) { e -= k; }); }
  matrix& operator*=(const T& k) { return Apply([&k](T& e) { e *= k; }); }
  matrix& operator/=(const T& k) { return Apply([&k](T& e) { e /= k; }); }

  // Equal dimensions and equal elements.
  bool operator==(const matrix& m) const {
    return r == m.r && c == m.c && std::equal(v, v + Length(), m.v);
  }
  bool operator!=(const matrix& m) const { return !(*this == m); }

  // Makes the matrix the n x n identity.
  void I(int n) { I(n, n); }
  // Makes the matrix r x c with ones on the main diagonal, zeros elsewhere.
  void I(int nr, int nc) {
    Resize(nr, nc, T(0));
    for (int k = 0; k < std::min(nr, nc); ++k) v[k * nc + k] = T(1);
  }

 private:
  int r = 0;  // number of rows
  int c = 0;  // number of columns
  T* v = nullptr;  // r * c elements, row-major; null without storage

  // Creates value-initialised storage for nr x nc elements; the matrix must
  // have none.  A zero dimension gives a matrix without storage.
  void Allocate(int nr, int nc) {
    if (nr < 0 || nc < 0)
      invError("Operator:   Resize\nMatrix dimension negative: ", nr, nc);
    if (nr != 0 && nc != 0) {
      if (static_cast<long long>(nr) * nc > INT_MAX)
        invError("Operator:   Resize\nMatrix too large: ", nr, nc);
      v = new (std::nothrow) T[static_cast<long long>(nr) * nc]();
      if (v == nullptr)
        invError("Operator:   Resize\nMatrix storage not available: ", nr, nc);
    }
    r = nr;
    c = nc;
  }
  void Release() {
    delete[] v;
    v = nullptr;
    r = c = 0;
  }

  template <class F>
  matrix& Apply(F f) {
    for (int k = 0; k < Length(); ++k) f(v[k]);
    return *this;
  }

  void CheckDims(const char* err, const matrix& m) const {
    if (r != m.r || c != m.c) Error(err, r, c, m.r, m.c);
  }

  // The failure paths are kept out of line so that the checked access stays
  // a comparison and a load.
  [[noreturn]] __attribute__((noinline, cold)) void FlatIndexError(int i) const {
    if (r == 0 || c == 0) invError("Operator:   ()\nMatrix is not set: ", r, c);
    Error("Operator:   ()\nMatrix index not in range: ", i, r * c - 1);
  }
  [[noreturn]] __attribute__((noinline, cold)) void RowColIndexError(int i, int j) const {
    if (r == 0 || c == 0) invError("Operator:   ()\nMatrix is not set: ", r, c);
    if (i < 0 || i >= r) Error("Operator:   ()\nRow index not in range: ", i, r - 1);
    Error("Operator:   ()\nColumn index not in range: ", j, c - 1);
  }
};
