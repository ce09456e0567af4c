#include "GNSS/antenna/PhaseCentreShift.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <ostream>
#include <vector>

#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/geometry/LuniSolarPosition.h"
#include "GNSS/antenna/antexNew.h"
#include "GNSS/geometry/neu.h"
#include "GNSS/base/mGNSSc.h"
#include "GNSS/base/satcode.h"
#include "PROGINC/report/ProgramError.h"
#include "GNSS/time/TimeConverse.h"
#include "PROGINC/report/SatelliteMessages.h"

namespace {

const char kProg[] = "Orbika";

// A record whose |x| + |y| + |z| is below this (m) has no position; it stays
// as it is, so that the interpolation still sees it as missing.
constexpr long double kMissingPosition = 1.0L;

// Horizontal offsets whose |north| + |east| is below this (m) are negligible:
// only the z offset is applied, and the Sun is not needed.
constexpr long double kHorizontalOffsetMin = 0.001L;

// Offset of the pair of frequencies of system for the record atx selected,
// or of its first frequency where pairs has none for system; false when
// the record has none.
bool SystemOffset(const antex& atx, char system, const OffsetPairs& pairs, neu& dpos) {
  if (atx.GetAtxIndex() == -1) return false;
  const auto pair = pairs.find(system);
  if (pair != pairs.end()) {
    const OffsetPair& p = pair->second;
    neu a, b;
    if (!atx.GetOffsetOf(a, p.codeA) || !atx.GetOffsetOf(b, p.codeB)) return false;
    dpos.Set(mGNSSc::IonoFree(p.fa, a.GetN(), p.fb, b.GetN()),
             mGNSSc::IonoFree(p.fa, a.GetE(), p.fb, b.GetE()),
             mGNSSc::IonoFree(p.fa, a.GetU(), p.fb, b.GetU()));
    return true;
  }
  if (system == 'G' || system == 'R') {
    atx.GetAntennaOffset(dpos, system == 'G' ? antexns::G01 : antexns::R01);
    return true;
  }
  return atx.GetFirstOffset(dpos, system);
}

// The Sun at one epoch, computed at the first satellite that needs it: every
// satellite of the epoch shares it.
class SunAt {
 public:
  SunAt(const LuniSolarPosition& astro, const mjd& epoch) : astro(astro), epoch(epoch) {}
  void Get(xyz& unit, long double& magnitude) {
    if (!known) astro.SunPosition(epoch, sunUnit, sunMagnitude);
    known = true;
    unit = sunUnit;
    magnitude = sunMagnitude;
  }

 private:
  const LuniSolarPosition& astro;
  const mjd epoch;
  bool known = false;
  xyz sunUnit;
  long double sunMagnitude = 0;
};

// Moves pos, a record at the Sun's epoch, by the antenna offset dpos given
// in the satellite body frame.
void Shift(xyzt& pos, const neu& dpos, SunAt& sun) {
  if (std::fabs(dpos.GetN()) + std::fabs(dpos.GetE()) < kHorizontalOffsetMin) {
    // z offset only: up metres along the unit vector towards the Earth's
    // centre; the clock term of the shift is zero.
    pos += pos.GetUnitVector(-dpos.GetU());
    return;
  }
  xyz posSunUnit;
  long double SunMag;
  sun.Get(posSunUnit, SunMag);
  // Body frame: z towards the Earth's centre, y = z x (unit vector to the
  // Sun), x = y x z.  The cross products are not rescaled: x and y have
  // the length sin(angle between z and the Sun direction).
  xyz SatZ;
  SatZ = pos.GetUnitVector(-1.0L);
  const xyz Sat2Sun = SunMag * posSunUnit - pos;
  const xyz Sat2SunU = Sat2Sun.GetUnitVector(1.0L);
  const xyz SatY = CrossP(SatZ, Sat2SunU);
  const xyz SatX = CrossP(SatY, SatZ);
  // Offset in the Earth-fixed frame: x SatX + y SatY + z SatZ.
  const xyz dPosSat = dpos.GetN() * SatX + dpos.GetE() * SatY + dpos.GetU() * SatZ;
  pos.SetX(pos.GetX() + dPosSat.GetX());
  pos.SetY(pos.GetY() + dPosSat.GetY());
  pos.SetZ(pos.GetZ() + dPosSat.GetZ());
}

// The offset of satellite n's antenna at epoch, into dpos; false when the
// file has none.  In the table a GPS or GLONASS satellite is reported at
// every miss (by the lookup and here); in runs for programs it is named
// once; the other systems are only counted.
bool AntennaOffset(antex& atx, short n, char system, const mjd& epoch, const OffsetPairs& pairs,
                   neu& dpos) {
  const bool gpsOrGlonass = system == 'G' || system == 'R';
  const bool framed = gpsOrGlonass && !satmsg::Lines();
  if (framed)
    atx.SetSatellite(n, epoch);
  else
    atx.FindSatellite(n, epoch);
  if (SystemOffset(atx, system, pairs, dpos)) return true;
  char code[4];
  if (framed) {
    char msg[80];
    std::snprintf(msg, sizeof msg,
                  "SATELLITE PHASE CENTER OFFSET NOT FOUND IN ANTEX FILE: PRN: %3d", n);
    ProgramWarning(kProg, msg);
  } else if (gpsOrGlonass && satcode::Format(n, code)) {
    satmsg::Note(kProg, "SATELLITE PHASE CENTER OFFSET NOT FOUND IN ANTEX FILE", code,
                 IsoText(epoch), true);
  }
  return false;
}

// One report for each satellite of the other systems that lacked an antenna
// at some of its epochs with a position (misses and epochs by list slot).
void ReportMisses(const GNSSpEph& eph, const std::vector<long>& misses,
                  const std::vector<long>& epochs) {
  for (std::size_t k = 0; k < misses.size(); ++k) {
    const short n = eph.GetSatList(static_cast<long>(k));
    char code[4];
    if (misses[k] == 0 || satcode::Letter(n) == 'G' || satcode::Letter(n) == 'R' ||
        !satcode::Format(n, code))
      continue;
    char msg[160];
    std::snprintf(msg, sizeof msg,
                  "SATELLITE %s: NO ANTENNA IN ANTEX FILE AT %ld OF %ld EPOCHS - CENTRE OF MASS "
                  "POSITIONS KEPT THERE!",
                  code, misses[k], epochs[k]);
    ProgramWarning(kProg, msg);
  }
}

}  // namespace

std::vector<short> ApplyAntennaOffset(GNSSpEph& eph, antex& atx, bool print,
                                      const OffsetPairs& pairs) {
  const LuniSolarPosition astro;
  neu dpos;
  const long nsat = eph.GetNSatList();
  std::vector<long> misses(static_cast<std::size_t>(nsat)), epochs(misses);
  for (long i = 0; i < eph.GetNEpoch(); ++i) {
    const mjd epoch = eph.GetMJD(i);
    if (print) ReportStream() << std::setw(4) << i + 1 << ". " << epoch << std::endl;
    SunAt sun(astro, epoch);

    for (long k = 0; k < nsat; ++k) {
      const long r = i * nsat + k;
      const short n = eph.GetSat(r);
      // Number 0 is no satellite (a blank code of an old file).
      const char system = n >= 1 ? satcode::Letter(n) : '\0';
      if (system == '\0') continue;

      xyzt pos = eph.GetPosition(r);
      if (std::fabs(pos.GetX()) + std::fabs(pos.GetY()) + std::fabs(pos.GetZ()) <
          kMissingPosition)
        continue;
      ++epochs[static_cast<std::size_t>(k)];
      if (!AntennaOffset(atx, n, system, epoch, pairs, dpos)) {
        ++misses[static_cast<std::size_t>(k)];
        continue;
      }
      Shift(pos, dpos, sun);
      eph.SetPosition(r, pos);
    }
  }
  ReportMisses(eph, misses, epochs);
  std::vector<short> without;
  for (long k = 0; k < nsat; ++k)
    if (misses[static_cast<std::size_t>(k)] > 0) without.push_back(eph.GetSatList(k));
  std::sort(without.begin(), without.end());
  return without;
}
