#include "tools/stats/DiffStats.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace orbstats {

namespace {

// Order of the systems in the output.
const std::string kSystemOrder = "GRECSJI";

size_t SystemRank(char system) {
  const size_t rank = kSystemOrder.find(system);
  return rank == std::string::npos ? kSystemOrder.size() + static_cast<unsigned char>(system) : rank;
}

const long double kNan = std::numeric_limits<long double>::quiet_NaN();

long double Median(std::vector<double> values) {
  if (values.empty()) return kNan;
  const size_t half = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + half, values.end());
  const long double upper = values[half];
  if (values.size() % 2) return upper;
  const long double lower = *std::max_element(values.begin(), values.begin() + half);
  return (lower + upper) / 2;
}

}  // namespace

bool DiffStats::BySystem::operator()(const std::string& a, const std::string& b) const {
  const size_t ra = SystemRank(a[0]), rb = SystemRank(b[0]);
  return ra != rb ? ra < rb : a < b;
}

void DiffStats::Add(const DiffRecord& rec) {
  Sat& sat = sats_[rec.sat];
  if (!rec.orbit) {
    ++sat.nan;
    return;
  }
  ++sat.epochs;
  if (rec.clock) sat.clocks.push_back({rec.tenths, static_cast<double>(rec.clockNs)});
  long double sq3d = 0;
  for (int i = 0; i < 3; ++i) {
    sat.sum[i] += rec.rac[i];
    sat.sumSq[i] += rec.rac[i] * rec.rac[i];
    sq3d += rec.rac[i] * rec.rac[i];
  }
  const long double d3 = std::sqrt(sq3d);
  // Kept at double precision; beyond its range only the order matters.
  sat.d3.push_back(d3 < DBL_MAX ? static_cast<double>(d3) : HUGE_VAL);
  if (d3 > sat.max3d) {
    sat.max3d = d3;
    sat.maxEpoch = rec.epoch;
  }
}

// Mean clock difference of each epoch over the given satellites, for the
// epochs where at least two of them have one.
DiffStats::EpochMeans DiffStats::ClockMeans(SatMap::const_iterator first,
                                            SatMap::const_iterator last) {
  std::map<long long, std::pair<long double, long>> sums;
  for (auto it = first; it != last; ++it)
    for (const Clock& c : it->second.clocks) {
      sums[c.tenths].first += c.ns;
      ++sums[c.tenths].second;
    }
  EpochMeans means;
  for (const auto& [tenths, sum] : sums)
    if (sum.second >= 2) means[tenths] = sum.first / sum.second;
  return means;
}

StatsRow DiffStats::Summarize(const std::vector<const Sat*>& sats, const EpochMeans& means) {
  StatsRow row;
  long double sum[3]{}, sumSq[3]{}, clockSum = 0, residualSq = 0;
  long clocks = 0, residuals = 0;
  std::vector<double> d3;
  row.max3d = -1;
  for (const Sat* sat : sats) {
    row.epochs += sat->epochs;
    row.nan += sat->nan;
    for (int i = 0; i < 3; ++i) sum[i] += sat->sum[i], sumSq[i] += sat->sumSq[i];
    d3.insert(d3.end(), sat->d3.begin(), sat->d3.end());
    if (sat->max3d > row.max3d) row.max3d = sat->max3d, row.maxEpoch = sat->maxEpoch;
    for (const Clock& c : sat->clocks) {
      clockSum += c.ns;
      ++clocks;
      const auto mean = means.find(c.tenths);
      if (mean == means.end()) continue;
      residualSq += (c.ns - mean->second) * (c.ns - mean->second);
      ++residuals;
    }
  }
  const long double n = row.epochs ? row.epochs : kNan;
  for (int i = 0; i < 3; ++i) {
    row.mean[i] = sum[i] / n;                // mean
    row.rms[i] = std::sqrt(sumSq[i] / n);    // root mean square
  }
  row.rms3d = std::sqrt((sumSq[0] + sumSq[1] + sumSq[2]) / n);
  row.median3d = Median(std::move(d3));
  if (row.max3d < 0) row.max3d = kNan;
  row.clockMean = clocks ? clockSum / clocks : kNan;
  row.clockRms = residuals ? std::sqrt(residualSq / residuals) : kNan;
  return row;
}

std::vector<StatsRow> DiffStats::Rows() const {
  std::vector<StatsRow> rows;
  for (auto first = sats_.begin(); first != sats_.end();) {
    const char system = first->first[0];
    auto last = first;
    while (last != sats_.end() && last->first[0] == system) ++last;
    const EpochMeans means = ClockMeans(first, last);
    std::vector<const Sat*> all;
    for (auto it = first; it != last; ++it) {
      rows.push_back(Summarize({&it->second}, means));
      rows.back().system = system;
      rows.back().sat = it->first;
      all.push_back(&it->second);
    }
    rows.push_back(Summarize(all, means));
    rows.back().system = system;
    first = last;
  }
  return rows;
}

}  // namespace orbstats
