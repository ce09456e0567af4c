#include "tools/stats/Bins.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orbstats {

namespace {

// Values beyond it are counted in its bin: far above anything a kept
// difference can reach, and it keeps the bin numbers in range.
const double kTopMetres = 1e6;

}  // namespace

void Bins::Add(double metres) {
  const long long bin = std::llround(std::fmin(metres, kTopMetres) / kWidth);
  ++pages_[bin / kPageBins][bin % kPageBins];
  ++count_;
}

void Bins::Merge(const Bins& other) {
  for (const auto& [page, counts] : other.pages_) {
    Page& mine = pages_[page];
    for (int i = 0; i < kPageBins; ++i) mine[i] += counts[i];
  }
  count_ += other.count_;
}

double Bins::Percentile(int percent) const {
  if (count_ == 0) return std::numeric_limits<double>::quiet_NaN();
  const long long rank = std::max(1LL, (percent * count_ + 99) / 100);
  long long seen = 0;
  for (const auto& [page, counts] : pages_)
    for (int i = 0; i < kPageBins; ++i) {
      seen += counts[i];
      if (seen >= rank) return (page * kPageBins + i) * kWidth;
    }
  return kTopMetres;
}

}  // namespace orbstats
