#include "src/Orbika_CalcPos.h"

#include <cstdio>
#include <iomanip>
#include <iostream>
#include <limits>

#include "GNSS/broadcast/KeplerSystems.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/geometry/xyzt.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"
#include "src/RecordWriter.h"

namespace {

// A vector whose every component reads as missing.
xyzt Missing() {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  xyzt m;
  m.Set(nan, nan, nan, nan);
  return m;
}

bool Holds(const matrix<short>& list, short number) {
  for (long i = 0; i < list.Length(); ++i)
    if (list(i) == number) return true;
  return false;
}

// Satellites whose broadcast records come from the -en file: GPS, Galileo,
// BeiDou and QZSS, by their system-wide number.
bool Keplerian(char letter) { return kepler::OfLetter(letter) != nullptr; }

// A loaded navigation file of the satellite's system has no record of it.
bool NavigationLacks(const Orbika& gc, char letter, short number, short sat) {
  if (Keplerian(letter)) return gc.isGPSnav && !Holds(gc.gpsnav.GetSatList(), sat);
  if (letter == 'R') return gc.isGLNnav && !Holds(gc.glnnav.GetSatList(), number);
  return false;
}

// The one warning for a satellite whose broadcast values are missing at
// epoch t, the first such epoch, for lying too far from its record.
void WarnFarFromRecord(char letter, short number, const mjd& t) {
  const ymdhms cal = mjd2ymdhms(t);
  char text[160];
  std::snprintf(text, sizeof text,
                "SAT: %c%02d [%4d-%02d-%02d %02d:%02d:%04.1lf] -> MORE THAN %.0Lf DAYS FROM ITS "
                "RECORD - BROADCAST COLUMNS WRITTEN AS nan!",
                letter, number, cal.GetYear(), cal.GetMonth(), cal.GetDay(), cal.GetHour(),
                cal.GetMinute(), static_cast<double>(cal.GetSecond()),
                GLNbEph::kMaxInterval / 86400);
  ProgramWarning("Orbika", text);
}

// The stores that serve one satellite.  Every system but GLONASS is written
// as GPS: precise values from the SP3 file (SBAS and IRNSS have no more),
// broadcast ones for the systems of the -en file.
struct Sources {
  char letter;
  short number;     // within the system
  short sat;        // system-wide number
  bool glonass;     // velocities and their differences are written too
  bool precise;     // the SP3 file serves it
  bool broadcast;   // a navigation file of its system is loaded
  bool listed;      // and has records of it (else: nan, see CheckBroadcast)
  bool warnedFar;   // the one far-from-record warning has been given
};

bool SourcesOf(const Orbika& gc, short sat, Sources& s) {
  if (!SatelliteCode(sat, s.letter, s.number)) return false;
  s.sat = sat;
  s.glonass = s.letter == 'R';
  s.precise = gc.isPEph;
  s.broadcast = s.glonass ? gc.isGLNnav : gc.isGPSnav && Keplerian(s.letter);
  s.listed = !NavigationLacks(gc, s.letter, s.number, sat);
  s.warnedFar = false;
  return true;
}

// The values of one epoch; a flag down means the columns are written as nan.
struct EpochValues {
  xyzt pP, vP;  // precise position and velocity
  xyzt pB, vB;  // broadcast position, and velocity (GLONASS only)
  bool preciseOK = true;
  bool broadcastOK = true;
};

void PreciseValues(Orbika& gc, const Sources& s, mjd t, EpochValues& v) {
  gc.pephM.CalcPosition(static_cast<unsigned short>(s.sat), t, v.pP, v.vP);
  v.preciseOK = gc.pephM.PSisOK;
}

// Broadcast values at t, from the record chosen at indextime (the -ti
// epoch, or t itself).
void BroadcastValues(Orbika& gc, Sources& s, const mjd& t, const mjd& indextime,
                     EpochValues& v) {
  v.broadcastOK = s.listed;
  if (!s.listed) return;
  long double tgd = 0;
  if (s.glonass ? gc.glnnav.CalcPosition(s.number, t, indextime, v.pB, v.vB, 0)
                : gc.gpsnav.CalcPosition(static_cast<unsigned short>(s.sat), t, indextime, v.pB,
                                         &tgd, 0, 0))
    return;
  v.broadcastOK = false;
  if (!s.warnedFar) WarnFarFromRecord(s.letter, s.number, t);
  s.warnedFar = true;
}

// The value columns of a record: precise values and precise minus
// broadcast, or broadcast values alone.
void WriteValues(RecordWriter& record, const Sources& s, const EpochValues& v) {
  static const xyzt missing = Missing();
  if (s.precise) {
    record.Position(v.preciseOK ? v.pP : missing);
    record.Velocity(v.preciseOK ? v.vP : missing);
    if (!s.broadcast) return;
    const bool both = v.preciseOK && v.broadcastOK;
    record.Position(both ? v.pP - v.pB : missing);
    if (s.glonass) record.Velocity(both ? v.vP - v.vB : missing);
  } else if (s.broadcast) {
    record.Position(v.broadcastOK ? v.pB : missing);
    if (s.glonass) record.Velocity(v.broadcastOK ? v.vB : missing);
  }
}

// Every epoch of the series for one satellite, one record each; returns the
// number of epochs.
long WriteSatellite(Orbika& gc, RecordWriter& record, Sources& s) {
  long ncalc = 0;
  EpochValues v;
  for (mjd t = gc.stE; t <= gc.enE; t += gc.dt) {
    ++ncalc;
    if (s.precise) PreciseValues(gc, s, t, v);
    if (s.broadcast) BroadcastValues(gc, s, t, gc.isUse ? gc.useE : t, v);
    record.Epoch(static_cast<std::size_t>(ncalc - 1), t);
    record.Satellite(s.letter, s.number);
    WriteValues(record, s, v);
    record.Write();
  }
  return ncalc;
}

}  // namespace

void CheckBroadcast(Orbika& gc) {
  for (long i = 0; i < gc.satprn.Length(); ++i) {
    char letter;
    short number;
    const short sat = gc.satprn(i);
    if (!SatelliteCode(sat, letter, number) || !NavigationLacks(gc, letter, number, sat))
      continue;
    // Without a precise file nothing of the satellite could be written: the
    // store's own report ends the run, before the table starts.
    if (!gc.isPEph) {
      if (Keplerian(letter))
        gc.gpsnav.GetDataIndex(static_cast<unsigned short>(sat), gc.stE);
      else
        gc.glnnav.GetDataIndex(number, gc.stE);
    }
    char text[128];
    std::snprintf(text, sizeof text,
                  "SAT: %c%02d IS NOT LISTED IN %s NAVIGATION FILE - BROADCAST COLUMNS WRITTEN AS "
                  "nan!",
                  letter, number, Keplerian(letter) ? "GPS" : "GLONASS");
    ProgramWarning("Orbika", text);
  }
}

void CalcPos(Orbika& gc) {
  if (gc.verbose)
    std::cerr << "Orbika" << "::CalcPos(): CALCULATING SATELLITE POSITIONS!" << std::endl;
  std::ostream& out = std::cout;
  RecordWriter record(out);
  // Epochs of the series, for the kept epoch texts (a rough count will do).
  const long double span = (gc.enE - gc.stE) / gc.dt;
  record.ExpectEpochs(span >= 0 && span < 1e7L ? static_cast<std::size_t>(span) + 1 : 0);

  for (long i = 0; i < gc.satprn.Length(); ++i) {
    Sources s;
    if (!SourcesOf(gc, gc.satprn(i), s)) continue;
    const long ncalc = WriteSatellite(gc, record, s);
    out << '\n';
    if (gc.verbose)
      std::cerr << std::setw(6) << s.letter << std::setw(2) << std::setfill('0') << s.number
                << std::setfill(' ') << std::setw(8) << ncalc << "  positions" << std::endl;
  }
  out.flush();
}
