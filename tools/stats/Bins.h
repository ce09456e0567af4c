// Bins: the median and other percentiles of many non-negative values [m]
// without keeping the values.  Each value counts in the bin of its nearest
// millimetre, so memory grows with the range the values span, not with
// their number, and a percentile is exact to 1 mm.
#pragma once

#include <array>
#include <cstdint>
#include <map>

namespace orbstats {

class Bins {
 public:
  // Width of a bin [m]: the resolution of every percentile printed.
  static constexpr double kWidth = 0.001;

  // Counts a finite value >= 0; values beyond 10^6 m share the top bin.
  void Add(double metres);
  void Merge(const Bins& other);
  long long Count() const { return count_; }
  // The value of rank ceil(percent / 100 * Count()) in ascending order (the
  // nearest-rank percentile, so the median of an even count is the lower
  // middle value), to 1 mm; nan when there are no values.
  double Percentile(int percent) const;

 private:
  // Bins are kept in pages allocated as values reach them.
  static constexpr int kPageBins = 64;
  using Page = std::array<std::uint32_t, kPageBins>;
  std::map<long long, Page> pages_;
  long long count_ = 0;
};

}  // namespace orbstats
