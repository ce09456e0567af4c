// Fuzz target: SP3-c and SP3-d precise ephemeris reader (GNSSpEph) and the
// interpolation of what it read.  See FuzzIsolate.h for how an input is run
// and what counts as a finding.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/geometry/xyzt.h"
#include "fuzz/FuzzIsolate.h"

namespace {

// Satellites whose orbit is interpolated.
constexpr long kSatsComputed = 6;

bool Finite(const xyzt& p) {
  return std::isfinite(p.GetX()) && std::isfinite(p.GetY()) && std::isfinite(p.GetZ()) &&
         std::isfinite(p.GetT());
}

// Every tabulated record of list entry s is a finite position between 1 000
// and 100 000 km from the geocentre with a finite clock.
bool SoundSatellite(const GNSSpEph& e, long s) {
  const long nsat = e.GetNSatList();
  for (long i = 0; i < e.GetNEpoch(); ++i) {
    const xyzt p = e.GetPosition(i * nsat + s);
    if (!Finite(p)) return false;
    const long double r = p.GetLength();
    if (!(r >= 1e6L && r <= 1e8L)) return false;
  }
  return true;
}

void Body(const char* path, orbfuzz::Digest& dg) {
  GNSSpEph eph;
  eph.SetFile(path);
  eph.ReadFile();

  const long nepoch = eph.GetNEpoch();
  const long nsat = eph.GetNSatList();
  if (nepoch < 2 || nsat < 1) orbfuzz::Fail("store read without two epochs and a satellite");
  if (eph.GetNSat() != nepoch * nsat) orbfuzz::Fail("record count is not epochs x satellites");
  const long double interval = eph.GetInterval();
  if (!(std::isfinite(interval) && interval > 0)) orbfuzz::Fail("epoch interval not positive");
  dg.Add(nepoch);
  dg.Add(nsat);
  dg.Add(interval);
  for (long i = 0; i < nepoch; ++i) {
    const mjd t = eph.GetMJD(i);
    if (!(t.GetSecond() >= 0 && t.GetSecond() < 86400)) orbfuzz::Fail("epoch not a time of day");
    if (i > 0 && fabsl((t - eph.GetMJD(i - 1)) - interval) > 1e-6L)
      orbfuzz::Fail("epochs not spaced by the interval");
    dg.Add(static_cast<long>(t.GetMJDay()));
    dg.Add(t.GetSecond());
  }
  for (long k = 0; k < nsat; ++k) {
    dg.Add(static_cast<long>(eph.GetSatList(k)));
    dg.Add(static_cast<long>(eph.GetSatListSig(k)));
  }
  for (long r = 0; r < nepoch * nsat; ++r) {
    const xyzt p = eph.GetPosition(r), s = eph.GetPositionSig(r);
    if (!Finite(p)) orbfuzz::Fail("record holds a non-finite number");
    dg.Add(static_cast<long>(eph.GetSat(r)));
    dg.Add(p);
    dg.Add(s);
  }

  const long double offsets[] = {0, interval / 3, (nepoch - 1) * interval,
                                 (nepoch - 0.5L) * interval, -interval / 2};
  for (long k = 0; k < nsat && k < kSatsComputed; ++k) {
    const short sat = eph.GetSatList(k);
    if (sat < 0) continue;
    // The store answers for the first list entry of a satellite.
    long first = 0;
    while (eph.GetSatList(first) != sat) ++first;
    // A table whose epochs are too far apart gives nothing, whatever it holds.
    const bool sound = !eph.IsTooSparse() && SoundSatellite(eph, first);
    for (long double off : offsets) {
      mjd t = eph.GetMJD(0);
      t += off;
      xyzt pos, vel;
      eph.CalcPosition(static_cast<unsigned short>(sat), t, pos, vel);
      dg.Add(static_cast<long>(eph.PSisOK));
      dg.Add(static_cast<long>(eph.DTisOK));
      if (eph.IsTooSparse() && (eph.PSisOK || eph.DTisOK))
        orbfuzz::Fail("value interpolated over epochs too far apart");
      if (!eph.PSisOK) {
        if (sound) orbfuzz::Fail("position refused for a satellite with sound records");
        continue;
      }
      dg.Add(pos);
      dg.Add(vel);
      if (sound && !(Finite(pos) && Finite(vel)))
        orbfuzz::Fail("non-finite interpolation from sound records");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orbfuzz::Run(data, size, Body);
  return 0;
}
