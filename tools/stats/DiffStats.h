// DiffStats: statistics of the precise-minus-broadcast differences of an
// Orbika table, per satellite and per system.
//
// For each satellite, and for all satellites of a system together: the
// number of records with a position difference, the number without one
// (nan, or no broadcast source), the mean and root mean square of the radial,
// along-track and cross-track differences [m], the RMS, median and largest of
// the 3D difference |d| [m] with the epoch of the largest, and the clock
// difference [ns]: its plain mean, and its RMS after removing, at each epoch,
// the mean over the satellites of the system that have a clock difference
// then.  The precise clocks' common reference is arbitrary, and this removes
// it; epochs where only one satellite of a system has a clock carry no
// information on it and are left out of that RMS.  Clocks that are nan or
// marked bad are left out of both clock figures, and records without a
// position difference out of every figure.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/stats/DiffTable.h"

namespace orbstats {

struct StatsRow {
  char system = ' ';
  std::string sat;  // empty on a system's row
  long epochs = 0, nan = 0;
  long double mean[3]{}, rms[3]{};  // radial, along-track, cross-track [m]
  long double rms3d = 0, median3d = 0, max3d = 0;  // [m]
  std::string maxEpoch;  // epoch of max3d as printed
  long double clockMean = 0, clockRms = 0;  // [ns]
};

class DiffStats {
 public:
  void Add(const DiffRecord& rec);
  // A row per satellite, then one for its system, the systems in the order
  // G R E C S J I (others after), the satellites by their number.
  std::vector<StatsRow> Rows() const;

 private:
  struct Clock {
    long long tenths;
    double ns;  // as printed: whole nanoseconds
  };
  struct Sat {
    long epochs = 0, nan = 0;
    long double sum[3]{}, sumSq[3]{};
    std::vector<double> d3;  // every 3D difference, for the median
    long double max3d = -1;
    std::string maxEpoch;
    std::vector<Clock> clocks;
  };
  struct BySystem {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  using SatMap = std::map<std::string, Sat, BySystem>;
  using EpochMeans = std::map<long long, long double>;

  static EpochMeans ClockMeans(SatMap::const_iterator first, SatMap::const_iterator last);
  static StatsRow Summarize(const std::vector<const Sat*>& sats, const EpochMeans& means);

  SatMap sats_;
};

}  // namespace orbstats
