// Fuzz target: RINEX 2, 3 and 4 navigation reader of the Keplerian systems
// (GPSbEph: GPS, Galileo, BeiDou, QZSS) and the broadcast orbit computed
// from what it read.  See FuzzIsolate.h for how an input is
// run and what counts as a finding.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "GNSS/broadcast/GPSbEph.h"
#include "GNSS/broadcast/KeplerSystems.h"
#include "GNSS/geometry/xyzt.h"
#include "fuzz/FuzzIsolate.h"

namespace {

// Records whose orbit is computed, and the offsets (s) from the record
// epoch at which it is computed.
constexpr int kRecordsComputed = 6;
constexpr long double kOffsets[] = {0.0L, 900.0L, -3600.0L, 7200.0L};

// A record whose elements could describe a satellite orbit: every number
// finite and the elements within wide bounds of an Earth orbit.
bool SoundRecord(const matrix<long double>& d, int k) {
  for (int j = 0; j < GPSbEphData::kNParam; ++j)
    if (!std::isfinite(d(k, j))) return false;
  const auto within = [&](int col, long double bound) { return fabsl(d(k, col)) <= bound; };
  const long double sqrtA = d(k, 10), e = d(k, 8);
  return sqrtA >= 2000 && sqrtA <= 20000 && e >= 0 && e <= 0.5L && within(0, 1) &&
         within(1, 1e-6L) && within(2, 1e-9L) && within(5, 1e-6L) && within(6, 10) &&
         within(7, 1) && within(9, 1) && within(4, 1e4L) && within(16, 1e4L) && within(12, 1) &&
         within(14, 1) && within(13, 10) && within(15, 10) && within(17, 10) &&
         within(18, 1e-5L) && within(19, 1e-5L) && within(11, 1e7L);
}

void Body(const char* path, orbfuzz::Digest& dg) {
  GPSbEph nav;
  nav.SetFile(path);
  nav.ReadFile();

  const GPSbEphData& data = nav.GetData();
  const long n = static_cast<long>(nav.GetNSat());
  if (n < 1) orbfuzz::Fail("store read without records");
  if (data.sat.Length() != n || data.mjdo.Length() != n || data.data.NRow() != n)
    orbfuzz::Fail("record count differs from the table sizes");
  const matrix<short> list = nav.GetSatList();
  for (long i = 0; i < list.Length(); ++i) {
    if (kepler::Of(list(i)) == nullptr)
      orbfuzz::Fail("satellite list holds no GPS, Galileo, BeiDou or QZSS number");
    if (i > 0 && !(list(i - 1) < list(i))) orbfuzz::Fail("satellite list not ascending");
  }
  dg.Add(n);
  for (long k = 0; k < n; ++k) {
    const mjd t = nav.GetMJD(k);
    if (!(t.GetSecond() >= 0 && t.GetSecond() < 86400))
      orbfuzz::Fail("record epoch not a time of day");
    dg.Add(static_cast<long>(data.sat(k)));
    dg.Add(static_cast<long>(t.GetMJDay()));
    dg.Add(t.GetSecond());
    for (int j = 0; j < GPSbEphData::kNParam; ++j) {
      if (!std::isfinite(data.data(k, j))) orbfuzz::Fail("record holds a non-finite number");
      dg.Add(data.data(k, j));
    }
  }

  for (long k = 0; k < n && k < kRecordsComputed; ++k) {
    const unsigned short prn = static_cast<unsigned short>(data.sat(k));
    const bool sound = SoundRecord(data.data, k);
    for (long double off : kOffsets) {
      mjd t = nav.GetMJD(k);
      t += off;
      xyzt pos;
      long double tgd = 0;
      nav.CalcPosition(prn, t, t, pos, &tgd, 1, 0);
      dg.Add(pos);
      // A group delay is a delay of less than 1e-3 s, or absent.
      const GroupDelays g = nav.GetGroupDelays(prn, t);
      for (long double d : {g.gd1, g.gd2})
        if (!std::isnan(d) && !(std::fabs(d) < rinexnav::kAbsentGroupDelay))
          orbfuzz::Fail("group delay of 1e-3 s or more handed on");
      // The chosen record may be another one of the same satellite; only a
      // satellite whose records are all sound must give a finite result.
      bool allSound = sound;
      for (long r = 0; r < n && allSound; ++r)
        if (data.sat(r) == data.sat(k) && !SoundRecord(data.data, r)) allSound = false;
      if (allSound && !(std::isfinite(pos.GetX()) && std::isfinite(pos.GetY()) &&
                        std::isfinite(pos.GetZ()) && std::isfinite(pos.GetT())))
        orbfuzz::Fail("non-finite position or clock from sound records");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orbfuzz::Run(data, size, Body);
  return 0;
}
