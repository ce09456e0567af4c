// Small helpers shared by the matrix algorithms.
#pragma once

#include <utility>

// Exchanges two values.
template <class T>
inline void SWAP(T& a, T& b) {
  T t = std::move(a);
  a = std::move(b);
  b = std::move(t);
}
