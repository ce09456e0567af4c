#include "src/Orbika_ReadFiles.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <cstdint>
#include <iostream>
#include <map>
#include <vector>

#include "GNSS/time/TimeConverse.h"
#include "PROGINC/files/InputFile.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"

void SetFiles(Orbika& gc) {
  if (gc.verbose) std::cerr << "Orbika" << "::SetFiles(): SETTING INPUT FILE NAMES!" << std::endl;
  if (gc.isGPSnav) {
    gc.gpsnav.SetFile(gc.gnavfile);
    if (gc.verbose)
      std::cerr << "Orbika" << "::SetFiles():         setting GPS NAVIGATION file!" << std::endl;
  }
  if (gc.isGLNnav) {
    gc.glnnav.SetFile(gc.rnavfile);
    if (gc.verbose)
      std::cerr << "Orbika" << "::SetFiles():         setting GLONASS NAVIGATION file!"
                << std::endl;
  }
  if (gc.isPEph) {
    gc.pephM.SetFile(gc.sp3file);
    if (gc.verbose)
      std::cerr << "Orbika" << "::SetFiles():         setting GNSS PRECISE EPHEMERIS file!"
                << std::endl;
  }
  if (gc.isAtx) {
    gc.atx.SetFile(gc.atxfile);
    if (gc.verbose)
      std::cerr << "Orbika" << "::SetFiles():         setting ANTEX file!" << std::endl;
  }
}

namespace {

// Gives back the memory of input name, read by the store just built, unless
// a store still to be read takes the same input (an empty name: none).
void Release(const char* name, std::initializer_list<const char*> later) {
  for (const char* l : later)
    if (std::strcmp(l, name) == 0) return;
  ReleaseInput(name);
}

}  // namespace

void ReadFiles(Orbika& gc) {
  const char* glo = gc.isGLNnav ? gc.rnavfile : "";
  const char* sp3 = gc.isPEph ? gc.sp3file : "";
  const char* atx = gc.isAtx ? gc.atxfile : "";
  if (gc.verbose) std::cerr << "Orbika" << "::ReadFiles(): READING INPUT DATA FILES!" << std::endl;
  if (gc.isGPSnav) {
    gc.gpsnav.ReadFile();
    Release(gc.gnavfile, {glo, sp3, atx});
    if (gc.verbose)
      std::cerr << "Orbika" << "::ReadFiles():        reading GPS NAVIGATION file - "
                << gc.gpsnav.GetNSat() << " records" << std::endl;
  }
  if (gc.isGLNnav) {
    gc.glnnav.ReadFile();
    Release(gc.rnavfile, {sp3, atx});
    if (gc.verbose)
      std::cerr << "Orbika" << "::ReadFiles():        reading GLONASS NAVIGATION file - "
                << gc.glnnav.GetNSat() << " records" << std::endl;
  }
  if (gc.isPEph) {
    gc.pephM.ReadFile();
    Release(gc.sp3file, {atx});
    if (gc.verbose)
      std::cerr << "Orbika" << "::ReadFiles():        reading GNSS PRECISE EPHEMERIS file - "
                << gc.pephM.GetNEpoch() << " epochs " << gc.pephM.GetNSatList() << " satellites"
                << std::endl;
  }
  if (gc.isAtx) {
    gc.atx.ReadFile();
    Release(gc.atxfile, {});
    if (gc.verbose) {
      std::cerr << "Orbika" << "::ReadFiles():        reading ANTEX file - "
                << gc.atx.GetNGPSSat() << " GPS SWs  " << gc.atx.GetNGLNSat()
                << " GLONASS SWs  ";
      // Files with satellites of other systems also say how many.
      if (gc.atx.GetNGALSat() + gc.atx.GetNOtherSat() > 0)
        std::cerr << gc.atx.GetNGALSat() << " GALILEO SWs  " << gc.atx.GetNOtherSat()
                  << " OTHER SWs  ";
      std::cerr << gc.atx.GetNRec() << " RECs" << std::endl;
    }
  }
}

namespace {

// Which store a window epoch comes from, in order of precedence.
enum class EpochSource { Precise, GPS, GLONASS };

EpochSource WindowSource(const Orbika& gc) {
  if (gc.isPEph) return EpochSource::Precise;
  if (gc.isGPSnav) return EpochSource::GPS;
  return EpochSource::GLONASS;
}

const char* SourceTag(EpochSource s) {
  switch (s) {
    case EpochSource::Precise: return " [GNSS PRECISE]!";
    case EpochSource::GPS: return " [GPS BROADCAST]!";
    default: return " [GLONASS BROADCAST]!";
  }
}

// The day (GPS time) holding most of a navigation store's records, the
// earlier on a tie: a file that begins with records of the day before, as
// station and merged files do, still gives the day it is for.
template <class Store>
mjd BusiestDay(const Store& store) {
  std::map<std::uint32_t, long> count;
  for (long i = 0; i < static_cast<long>(store.GetNSat()); ++i) ++count[store.GetMJD(i).GetMJDay()];
  auto busiest = count.begin();
  for (auto c = count.begin(); c != count.end(); ++c)
    if (c->second > busiest->second) busiest = c;
  return mjd(busiest->first, 0);
}

// First (or last) epoch of the window from the source store: the precise
// table's own first/last epoch, or the busiest day of the navigation file.
mjd WindowEpoch(Orbika& gc, EpochSource s, bool end) {
  if (s == EpochSource::Precise) return gc.pephM.GetMJD(end ? gc.pephM.GetNEpoch() - 1 : 0);
  mjd t = s == EpochSource::GPS ? BusiestDay(gc.gpsnav) : BusiestDay(gc.glnnav);
  t.SetSecond(end ? 86399 : 0);
  return t;
}

// The output interval must move every epoch of the window forward by about
// itself, or the position loop would never end: a step finer than the
// resolution of the second of day leaves an epoch where it is, and one of
// 2^32 days or more wraps the day number back into the window.  The probe
// lies late in the window's last day, where the second has its coarsest
// resolution and the day number is largest.
void CheckInterval(const Orbika& gc) {
  const mjd probe(gc.enE.GetMJDay(), 86399);
  mjd next = probe;
  next += gc.dt;
  if (next - probe > gc.dt / 2) return;
  ProgramError("Orbika", gc.dt < 86400 ? "TIME INTERVAL [-dt] TOO SHORT TO MOVE THE EPOCH!"
                                       : "TIME INTERVAL [-dt] TOO LONG FOR THE DAY COUNT!");
}

void SetWindowEpoch(Orbika& gc, mjd& target, bool end) {
  if (gc.verbose)
    std::cerr << "Orbika" << "::SetProcParameters(): setting " << (end ? "END" : "START")
              << " epoch";
  const EpochSource s = WindowSource(gc);
  target = WindowEpoch(gc, s, end);
  if (gc.verbose) {
    ymdhms datum = mjd2ymdhms(target);
    std::cerr << datum << SourceTag(s) << std::endl;
  }
}

}  // namespace

void SetProcParameters(Orbika& gc) {
  if (gc.verbose)
    std::cerr << "Orbika" << "::SetProcParameters(): SETTING PROCESSING PARAMETERS!" << std::endl;

  // Without any usable store the window cannot come from data; an empty store
  // has no first record to take it from.
  if ((!gc.isStart || !gc.isEnd) && !gc.isPEph && !gc.isGPSnav && !gc.isGLNnav)
    ProgramError("Orbika",
                 "NO USABLE EPHEMERIS FILE - START AND END EPOCH MUST BE SET WITH -ts AND -te!");

  if (!gc.isStart) SetWindowEpoch(gc, gc.stE, false);
  if (!gc.isEnd) SetWindowEpoch(gc, gc.enE, true);
  CheckInterval(gc);

  if (!gc.isPRNList) {
    if (gc.verbose)
      std::cerr << "Orbika" << "::SetProcParameters(): Setting satellite list from ephemeris files!"
                << std::endl;
    if (gc.isPEph) {
      gc.satprn = gc.pephM.GetSatList();
    } else {
      // Every satellite of the navigation files in system order (G, R, E,
      // C, J: ascending system-wide numbers); the -en file holds GPS,
      // Galileo, BeiDou and QZSS, the -eg file GLONASS slots.
      std::vector<short> all;
      if (gc.isGPSnav) {
        const matrix<short> gps = gc.gpsnav.GetSatList();
        for (long i = 0; i < gps.Length(); ++i) all.push_back(gps(i));
      }
      if (gc.isGLNnav) {
        const matrix<short> gln = gc.glnnav.GetSatList();
        for (long i = 0; i < gln.Length(); ++i) all.push_back(static_cast<short>(gln(i) + 100));
      }
      std::sort(all.begin(), all.end());
      gc.satprn = matrix<short>();
      if (!all.empty()) {
        gc.satprn.Resize(static_cast<int>(all.size()), 1);
        for (std::size_t i = 0; i < all.size(); ++i) gc.satprn(static_cast<int>(i)) = all[i];
      }
    }
  }

  if (gc.isGLNnav) gc.glnnav.SetIntegrationStep(gc.dtni);
}
