// Fuzz target: RINEX 2 GLONASS navigation reader (GLNbEph) and the orbit
// integrated from what it read.  See FuzzIsolate.h for how an input is run
// and what counts as a finding.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/geometry/xyzt.h"
#include "fuzz/FuzzIsolate.h"

namespace {

// Records whose orbit is integrated, the offsets (s) from the record epoch
// at which it is integrated, and the integration step (s) the program uses
// by default.
constexpr int kRecordsComputed = 4;
constexpr long double kOffsets[] = {0.0L, 450.0L, -900.0L, 1800.0L};
constexpr long double kStep = 30.0L;

// A record whose state could be that of a satellite: every number finite,
// the position between 10 000 and 100 000 km from the geocentre, speed,
// acceleration and clock terms within wide bounds.
bool SoundRecord(const GLNbEphData& d, int k, long double tauC) {
  if (!std::isfinite(tauC) || fabsl(tauC) > 1) return false;
  for (int j = 0; j < GLNbEphData::kNParameter; ++j)
    if (!std::isfinite(d.GetData(k, j))) return false;
  const long double x = d.GetData(k, 3), y = d.GetData(k, 7), z = d.GetData(k, 11);
  const long double r = sqrtl(x * x + y * y + z * z);
  const auto within = [&](int col, long double bound) { return fabsl(d.GetData(k, col)) <= bound; };
  return r >= 1e4L && r <= 1e5L && within(4, 10) && within(8, 10) && within(12, 10) &&
         within(5, 1e-6L) && within(9, 1e-6L) && within(13, 1e-6L) && within(0, 1) &&
         within(1, 1e-6L);
}

void Body(const char* path, orbfuzz::Digest& dg) {
  GLNbEph nav;
  nav.SetFile(path);
  nav.ReadFile();
  nav.SetIntegrationStep(kStep);

  const GLNbEphData& data = nav.GetData();
  const long n = nav.GetNSat();
  if (n < 1) orbfuzz::Fail("store read without records");
  if (data.GetNRecords() != n) orbfuzz::Fail("record count differs from the table");
  const matrix<short> list = nav.GetSatList();
  for (long i = 0; i < list.Length(); ++i) {
    if (list(i) < 1 || list(i) > 99) orbfuzz::Fail("slot list holds no GLONASS slot");
    if (i > 0 && !(list(i - 1) < list(i))) orbfuzz::Fail("slot list not ascending");
  }
  const long double tauC = nav.GetHeader().GetTauC();
  if (!std::isfinite(tauC)) orbfuzz::Fail("non-finite TauC");
  dg.Add(tauC);
  dg.Add(n);
  for (long k = 0; k < n; ++k) {
    const mjd t = nav.GetMJD(k);
    if (!(t.GetSecond() >= 0 && t.GetSecond() < 86400))
      orbfuzz::Fail("record epoch not a time of day");
    dg.Add(static_cast<long>(data.GetSat(static_cast<int>(k))));
    dg.Add(static_cast<long>(t.GetMJDay()));
    dg.Add(t.GetSecond());
    for (int j = 0; j < GLNbEphData::kNParameter; ++j) {
      const long double v = data.GetData(static_cast<int>(k), j);
      if (!std::isfinite(v)) orbfuzz::Fail("record holds a non-finite number");
      dg.Add(v);
    }
  }

  for (long k = 0; k < n && k < kRecordsComputed; ++k) {
    const short slot = data.GetSat(static_cast<int>(k));
    for (long double off : kOffsets) {
      mjd t = nav.GetMJD(k);
      t += off;
      xyzt pos, vel;
      const bool computed = nav.CalcPosition(slot, t, t, pos, vel, 1);
      const int used = nav.GetDataIndex(slot, t);
      dg.Add(pos);
      const long double dtau = nav.GetGroupDelays(slot, t).gd1;
      if (!std::isnan(dtau) && !(std::fabs(dtau) < rinexnav::kAbsentGroupDelay))
        orbfuzz::Fail("dTau_n of 1e-3 s or more handed on");
      dg.Add(vel);
      // No values only for an epoch too far from its record.
      mjd start = nav.GetMJD(used);
      start += tauC;
      if (!computed && !(fabsl(t - start) > GLNbEph::kMaxInterval - 1))
        orbfuzz::Fail("no values for an epoch near its record");
      if (computed && SoundRecord(data, used, tauC) &&
          !(std::isfinite(pos.GetX()) && std::isfinite(pos.GetY()) && std::isfinite(pos.GetZ()) &&
            std::isfinite(pos.GetT()) && std::isfinite(vel.GetX()) &&
            std::isfinite(vel.GetY()) && std::isfinite(vel.GetZ())))
        orbfuzz::Fail("non-finite state or clock from a sound record");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orbfuzz::Run(data, size, Body);
  return 0;
}
