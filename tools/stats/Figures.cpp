#include "tools/stats/Figures.h"

#include <cmath>
#include <limits>


namespace orbstats {

namespace {

const long double kNan = std::numeric_limits<long double>::quiet_NaN();

}  // namespace

void Moment::Merge(const Moment& other) {
  n += other.n;
  sum += other.sum;
  sumSq += other.sumSq;
}

long double Moment::Mean() const { return n ? sum / n : kNan; }

long double Moment::Rms() const { return n ? std::sqrt(sumSq / n) : kNan; }

void Figures::Add(const Sample& s, bool sisrePercentiles) {
  for (int i = 0; i < 3; ++i) rac[i].Add(s.rac[i]);
  d3.Add(s.d3);
  if (std::isfinite(s.orbitSisre)) {
    orbitSisre.Add(s.orbitSisre);
    if (sisrePercentiles) orbitBins.Add(s.orbitSisre);
  }
  const bool accurate = std::isfinite(s.accuracy) && s.accuracy >= 0;
  if (sisrePercentiles && accurate) accuracy.Add(s.accuracy);
  if (!s.clock) return;
  clockNs.Add(s.dtNs);
  if (!std::isfinite(s.sisre)) return;
  sisre.Add(s.sisre);
  radialLessClock += s.radialLessClock;
  if (!sisrePercentiles) return;
  sisreBins.Add(s.sisre);
  if (!accurate) return;
  ++sisreAccuracy;
  overAccuracy += s.sisre > s.accuracy;
}

void Figures::Merge(const Figures& other) {
  noDiff += other.noDiff;
  outliers += other.outliers;
  badClock += other.badClock;
  for (int i = 0; i < 3; ++i) rac[i].Merge(other.rac[i]);
  orbitSisre.Merge(other.orbitSisre);
  clockNs.Merge(other.clockNs);
  sisre.Merge(other.sisre);
  radialLessClock += other.radialLessClock;
  d3.Merge(other.d3);
  orbitBins.Merge(other.orbitBins);
  sisreBins.Merge(other.sisreBins);
  accuracy.Merge(other.accuracy);
  sisreAccuracy += other.sisreAccuracy;
  overAccuracy += other.overAccuracy;
}

long double Figures::Rms3d() const {
  const long long n = Records();
  return n ? std::sqrt((rac[0].sumSq + rac[1].sumSq + rac[2].sumSq) / n) : kNan;
}

long double Figures::OffsetFreeSumSq() const {
  if (sisre.n == 0) return 0;
  const long double sum = sisre.sumSq - radialLessClock * radialLessClock / sisre.n;
  return std::fmax(sum, 0.0L);  // rounding may leave a tiny negative sum
}

}  // namespace orbstats
