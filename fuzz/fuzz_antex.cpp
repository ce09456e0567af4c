// Fuzz target: ANTEX reader (antex, AntennaPCV), the satellite antenna
// lookup, the phase-centre variations, and the move of a small precise
// orbit table to the phase centres with what was read.  See FuzzIsolate.h
// for how an input is run and what counts as a finding.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/antenna/antexNew.h"
#include "GNSS/antenna/PhaseCentreShift.h"
#include "GNSS/geometry/neu.h"
#include "GNSS/base/satcode.h"
#include "GNSS/geometry/xyzt.h"
#include "fuzz/FuzzIsolate.h"

namespace {

// Records looked at one by one.
constexpr long kRecordsExamined = 12;
// Zenith angles and azimuths (degrees) of the variation lookups.
constexpr double kZenith[] = {0.0, 7.3, 45.0, 90.0, 120.0};
constexpr double kAzimuth[] = {0.0, 123.4, 359.9, -30.0};
// Satellites of the precise table (ORBIKA_FUZZ_SP3) whose positions are
// interpolated after the move.
constexpr unsigned short kTableSats[] = {1, 2, 101, 211};

bool FiniteMatrix(const matrix<double>& m) {
  for (int i = 0; i < m.NRow(); ++i)
    for (int j = 0; j < m.NCol(); ++j)
      if (!std::isfinite(m(i, j))) return false;
  return true;
}

void Body(const char* path, orbfuzz::Digest& dg) {
  antex atx;
  atx.SetFile(path);
  atx.ReadFile();

  const long n = atx.GetNAntenna();
  if (n != atx.GetNGPSSat() + atx.GetNGLNSat() + atx.GetNGALSat() + atx.GetNOtherSat() +
               atx.GetNRec())
    orbfuzz::Fail("record counts do not add up");
  dg.Add(n);
  dg.Add(static_cast<long>(atx.GetSatSystem()));
  dg.Add(static_cast<long>(atx.GetPCVType()));
  dg.Add(static_cast<long double>(atx.GetVersion()));

  for (long i = 0; i < n && i < kRecordsExamined; ++i) {
    AntennaPCV rec = atx.GetAntenna(i);
    dg.Add(static_cast<long>(rec.GetSatID()));
    dg.Add(rec.GetAntennaName());
    dg.Add(rec.GetAntennaSerial());
    dg.Add(static_cast<long>(rec.GetPCVType()));
    dg.Add(static_cast<long>(rec.GetValidFrom().GetMJDay()));
    dg.Add(rec.GetValidFrom().GetSecond());
    dg.Add(static_cast<long>(rec.GetValidTo().GetMJDay()));
    dg.Add(rec.GetValidTo().GetSecond());
    const bool finite = std::isfinite(rec.GetZen1()) && std::isfinite(rec.GetDZen()) &&
                        std::isfinite(rec.GetDAzi());
    for (short f = 0; f < antexns::NFreqKept; ++f) {
      const neu& off = rec.GetOffset(f);
      if (!(std::isfinite(off.GetN()) && std::isfinite(off.GetE()) && std::isfinite(off.GetU())))
        orbfuzz::Fail("non-finite phase-centre offset");
      dg.Add(off.GetN());
      dg.Add(off.GetE());
      dg.Add(off.GetU());
      const matrix<double>& zen = rec.GetPVZEN(f);
      const matrix<double>& azi = rec.GetPVAZI(f);
      dg.Add(static_cast<long>(zen.Length()));
      dg.Add(static_cast<long>(azi.NRow()));
      dg.Add(static_cast<long>(azi.NCol()));
      for (int k = 0; k < zen.Length(); ++k) dg.Add(static_cast<long double>(zen(k)));
      if (!FiniteMatrix(zen) || !FiniteMatrix(azi)) orbfuzz::Fail("non-finite variation");
    }
    for (double z : kZenith)
      for (double a : kAzimuth) {
        matrix<double> pcv;
        rec.GetAntennaPCV(z, a, pcv);
        for (int k = 0; k < pcv.Length(); ++k) {
          dg.Add(static_cast<long double>(pcv(k)));
          if (finite && !std::isfinite(pcv(k)))
            orbfuzz::Fail("non-finite phase-centre variation from finite tables");
        }
      }

    // The lookup by satellite at the middle of the record's validity.
    short prn = rec.GetSatID();
    mjd mid = rec.GetValidFrom();
    const long double span = rec.GetValidTo() - rec.GetValidFrom();
    if (std::isfinite(span) && span > 0 && span < 1e10L) mid += span / 2;
    atx.SetSatellite(prn, mid);
    dg.Add(atx.GetAtxIndex());
    for (short f = 0; f <= antexns::NFreqKept; ++f) {
      neu off;
      atx.GetAntennaOffset(off, f);
      dg.Add(off.GetN());
      dg.Add(off.GetE());
      dg.Add(off.GetU());
    }
    // Every block's offset, and each system's first frequency.
    if (rec.GetNFreqBlocks() < 0 || rec.GetNFreqBlocks() > antexns::MaxFreqBlocks)
      orbfuzz::Fail("frequency block count out of range");
    for (int b = 0; b < rec.GetNFreqBlocks(); ++b) {
      dg.Add(rec.GetFreqCode(b));
      dg.Add(rec.GetFreqOffset(b).GetU());
    }
    for (const char* s = satcode::kLetters; *s != '\0'; ++s) {
      neu off;
      dg.Add(static_cast<long>(atx.GetFirstOffset(off, *s)));
      if (!std::isfinite(off.GetN() + off.GetE() + off.GetU()))
        orbfuzz::Fail("non-finite first-frequency offset");
      dg.Add(off.GetU());
    }
  }

  // The whole table moved to the phase centres, then interpolated.
  GNSSpEph eph;
  eph.SetFile(ORBIKA_FUZZ_SP3);
  eph.ReadFile();
  ApplyAntennaOffset(eph, atx, false);
  for (unsigned short sat : kTableSats) {
    for (long i = 0; i < eph.GetNEpoch(); i += 2) {
      mjd t = eph.GetMJD(i);
      t += 100.0L;
      xyzt pos, vel;
      eph.CalcPosition(sat, t, pos, vel);
      dg.Add(static_cast<long>(eph.PSisOK));
      if (!eph.PSisOK) continue;
      dg.Add(pos);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orbfuzz::Run(data, size, Body);
  return 0;
}
