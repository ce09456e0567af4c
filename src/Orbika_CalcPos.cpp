#include "src/Orbika_CalcPos.h"

#include <iomanip>
#include <iostream>
#include <limits>

#include "GNSS/TimeConverse.h"
#include "GNSS/xyzt.h"
#include "GNSS/ymdhms.h"

namespace {

// Field widths of the two kinds of vector in a record.
constexpr unsigned short kPositionWidth = 16;
constexpr unsigned short kVelocityWidth = 12;

void WritePosition(std::ostream& out, xyzt& p) {
  xyztns::PrintTime = 1;
  xyztns::Width = kPositionWidth;
  out << p;
}

void WriteVelocity(std::ostream& out, xyzt& v) {
  xyztns::PrintTime = 0;
  xyztns::Width = kVelocityWidth;
  out << " " << v;
}

// A vector whose every component reads as missing.
xyzt Missing() {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  xyzt m;
  m.Set(nan, nan, nan, nan);
  return m;
}

}  // namespace

void CalcPos(Orbika& gc) {
  if (gc.verbose)
    std::cerr << "Orbika" << "::CalcPos(): CALCULATING SATELLITE POSITIONS!" << std::endl;

  xyztns::NDec = 3;
  xyztns::WidthT = 14;
  xyztns::NDecT = 6;
  xyztns::UnitT = 1000;
  ymdhmsns::NDecSecond = 1;
  mjdns::NDecSecond = 1;

  xyzt pPEG, vPEG, pBEG, pPER, vPER, pBER, vBER, dPG, dPR;
  xyzt missing = Missing();
  mjd calctime, indextime;
  long double tgd = 0;
  std::ostream& out = std::cout;

  for (long i = 0; i < gc.satprn.Length(); ++i) {
    const short sat = gc.satprn(i);
    calctime = gc.stE;
    long ncalc = 0;
    char satsyst;
    short sprn;
    if (!SatelliteCode(sat, satsyst, sprn)) continue;

    while (calctime <= gc.enE) {
      ++ncalc;
      indextime = gc.isUse ? gc.useE : calctime;
      bool isPEG = false, isBEG = false, isPER = false, isBER = false;
      bool preciseOK = true;
      if (satsyst == 'G') {
        if (gc.isPEph) {
          isPEG = true;
          gc.pephM.CalcOrbikaition(static_cast<unsigned short>(sat), calctime, pPEG, vPEG);
          preciseOK = gc.pephM.PSisOK;
        }
        if (gc.isGPSnav) {
          isBEG = true;
          gc.gpsnav.CalcOrbikaition(static_cast<unsigned short>(sprn), calctime, indextime, pBEG,
                                    &tgd, 0, 0);
        }
      } else if (satsyst == 'R') {
        if (gc.isPEph) {
          isPER = true;
          gc.pephM.CalcOrbikaition(static_cast<unsigned short>(sat), calctime, pPER, vPER);
          preciseOK = gc.pephM.PSisOK;
        }
        if (gc.isGLNnav) {
          isBER = true;
          gc.glnnav.CalcOrbikaition(sprn, calctime, indextime, pBER, vBER, 0);
        }
      }

      ymdhms datum = mjd2ymdhms(calctime);
      out << datum << "  " << calctime << std::setw(6) << satsyst << std::setw(2)
          << std::setfill('0') << sprn << std::setfill(' ');

      if (isPEG) {
        WritePosition(out, preciseOK ? pPEG : missing);
        WriteVelocity(out, preciseOK ? vPEG : missing);
        if (isBEG) {
          dPG = preciseOK ? pPEG - pBEG : missing;
          WritePosition(out, dPG);
        }
      } else if (isBEG) {
        WritePosition(out, pBEG);
      }

      if (isPER) {
        WritePosition(out, preciseOK ? pPER : missing);
        WriteVelocity(out, preciseOK ? vPER : missing);
        if (isBER) {
          dPR = preciseOK ? pPER - pBER : missing;
          WritePosition(out, dPR);
          dPR = preciseOK ? vPER - vBER : missing;
          WriteVelocity(out, dPR);
        }
      } else if (isBER) {
        WritePosition(out, pBER);
        WriteVelocity(out, vBER);
      }
      out << '\n';
      calctime += gc.dt;
    }
    out << '\n';
    if (gc.verbose)
      std::cerr << std::setw(6) << satsyst << std::setw(2) << std::setfill('0') << sprn
                << std::setfill(' ') << std::setw(8) << ncalc << "  positions" << std::endl;
  }
  out.flush();
}
