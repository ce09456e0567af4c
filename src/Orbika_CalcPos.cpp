#include "src/Orbika_CalcPos.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "GNSS/base/satcode.h"
#include "GNSS/broadcast/KeplerSystems.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/geometry/xyzt.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/report/SatelliteMessages.h"
#include "src/CsvWriter.h"
#include "src/RecordValues.h"
#include "src/OrderedWork.h"
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
// BeiDou and QZSS, and NavIC and SBAS where -nm names them.
bool FromNavigation(const Orbika& gc, char letter) {
  return gc.messages.Serves(letter) && (letter == 'S' || kepler::OfLetter(letter) != nullptr);
}

// A loaded navigation file of the satellite's system has no record of it.
bool NavigationLacks(const Orbika& gc, char letter, short number, short sat) {
  if (letter == 'S' && FromNavigation(gc, letter))
    return gc.isGPSnav && !Holds(gc.sbasnav.GetSatList(), sat);
  if (FromNavigation(gc, letter)) return gc.isGPSnav && !Holds(gc.gpsnav.GetSatList(), sat);
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
// as GPS: precise values from the SP3 file, broadcast ones for the systems
// of the -en file (SBAS and NavIC where -nm names them).
struct Sources {
  char letter;
  short number;     // within the system
  short sat;        // system-wide number
  bool glonass;     // velocities and their differences are written too
  bool precise;     // the SP3 file serves it
  bool broadcast;   // a navigation file of its system is loaded
  bool listed;      // and has records of it (else: nan, see CheckBroadcast)
  bool warnedFar;   // the one far-from-record warning has been given
  int antenna;      // RecordValues::antenna
  const signalpair::Pair* pair;  // its system's pair, or nullptr
};

bool SourcesOf(const Orbika& gc, short sat, Sources& s) {
  if (!SatelliteCode(sat, s.letter, s.number)) return false;
  s.sat = sat;
  s.glonass = s.letter == 'R';
  s.precise = gc.isPEph;
  s.broadcast = s.glonass ? gc.isGLNnav : gc.isGPSnav && FromNavigation(gc, s.letter);
  s.listed = !NavigationLacks(gc, s.letter, s.number, sat);
  s.warnedFar = false;
  s.antenna = !gc.isAtx || !gc.isPEph ? -1
              : std::binary_search(gc.withoutAntenna.begin(), gc.withoutAntenna.end(), sat) ? 0
                                                                                            : 1;
  const auto pair = gc.pairs.find(s.letter);
  s.pair = pair == gc.pairs.end() ? nullptr : pair->second;
  return true;
}

// The values of one epoch; a flag down means the columns are written as nan.
struct EpochValues {
  xyzt pP, vP;  // precise position and velocity
  xyzt pB, vB;  // broadcast position, and velocity (GLONASS only)
  bool preciseOK = true;
  bool clockOK = true;  // the precise clock is no bad-clock marker
  bool broadcastOK = true;
  GroupDelays delays;  // of the broadcast record (CSV runs only)
  RecordFields fields;  // that record's own fields (CSV runs only)
};

// The stores one thread computes with.  Their computations keep state (the
// last light-time solution, a GLONASS integration's steps), so a second
// thread computes with copies of its own.
struct Ephemerides {
  GPSbEph& gpsnav;
  GLNbEph& glnnav;
  SBASbEph& sbasnav;
  GNSSpEph& pephM;
};

void PreciseValues(Ephemerides& e, const Sources& s, mjd t, EpochValues& v) {
  e.pephM.CalcPosition(static_cast<unsigned short>(s.sat), t, v.pP, v.vP);
  v.preciseOK = e.pephM.PSisOK;
  v.clockOK = e.pephM.DTisOK;
}

// Broadcast values at t, from the record chosen at indextime (the -ti
// epoch, or t itself).
void BroadcastValues(const Orbika& gc, Ephemerides& e, Sources& s, const mjd& t,
                     const mjd& indextime, EpochValues& v) {
  v.broadcastOK = s.listed;
  v.delays = GroupDelays();
  v.fields = RecordFields();
  if (!s.listed) return;
  long double tgd = 0;
  const unsigned short sat = static_cast<unsigned short>(s.sat);
  if (s.glonass ? e.glnnav.CalcPosition(s.number, t, indextime, v.pB, v.vB, 0)
      : s.letter == 'S' ? e.sbasnav.CalcPosition(sat, t, indextime, v.pB)
                        : e.gpsnav.CalcPosition(sat, t, indextime, v.pB, &tgd, 0, 0)) {
    if (gc.csv && s.letter != 'S')
      v.delays = s.glonass ? e.glnnav.GetGroupDelays(s.number, indextime)
                           : e.gpsnav.GetGroupDelays(sat, indextime);
    if (gc.csv)
      v.fields = s.glonass         ? e.glnnav.GetRecordFields(s.number, indextime)
                 : s.letter == 'S' ? e.sbasnav.GetRecordFields(sat, indextime)
                                   : e.gpsnav.GetRecordFields(sat, indextime);
    return;
  }
  v.broadcastOK = false;
  if (!s.warnedFar) WarnFarFromRecord(s.letter, s.number, t);
  s.warnedFar = true;
}

// One group of values, or the missing values where its source gives none.
void SetGroup(ValueGroup& g, bool ok, const xyzt& p, bool hasVelocity, const xyzt& vel) {
  static const xyzt missing = Missing();
  g.present = true;
  g.position = ok ? p : missing;
  g.hasVelocity = hasVelocity;
  g.velocity = ok ? vel : missing;
}

// The groups of a record for the writers: precise, broadcast (velocities
// for GLONASS only) and precise minus broadcast.
void SetGroups(const Sources& s, const EpochValues& v, RecordValues& r) {
  r.precise.present = r.broadcast.present = r.difference.present = false;
  if (s.precise) SetGroup(r.precise, v.preciseOK, v.pP, true, v.vP);
  if (s.broadcast) SetGroup(r.broadcast, v.broadcastOK, v.pB, s.glonass, v.vB);
  if (s.precise && s.broadcast) {
    SetGroup(r.difference, v.preciseOK && v.broadcastOK, v.pP - v.pB, s.glonass, v.vP - v.vB);
    // The bad-clock marker is no clock to take a difference from.
    if (!v.clockOK) r.difference.position.SetT(Missing().GetT());
  }
  r.precise.clockValid = r.difference.clockValid = v.clockOK;
}

// The values of the CSV's last columns: pair clocks, antenna, and the
// difference in the orbit frame.
void SetSignals(const Sources& s, const EpochValues& v, RecordValues& r) {
  r.delays = v.delays;
  r.fields = v.fields;
  // A record without a precise position has no antenna to speak of.
  r.antenna = std::isnan(r.precise.position.GetX()) ? -1 : s.antenna;
  r.pair = s.pair != nullptr ? signalpair::ClockSignal(*s.pair, v.delays) : nullptr;
  if (s.pair != nullptr && s.broadcast) {
    r.broadcastPairClock = signalpair::ClockOnPair(*s.pair, r.broadcast.position.GetT(), v.delays);
    r.differencePairClock = v.clockOK ? r.precise.position.GetT() - r.broadcastPairClock
                                      : Missing().GetT();
  }
  if (r.difference.present) {
    xyz p, vel, d;
    p = r.precise.position;
    vel = r.precise.velocity;
    d = r.difference.position;
    r.orbitFrame = ProjectOnOrbitFrame(p, vel, d);
  }
}

// The table: precise values and precise minus broadcast, or broadcast
// values alone; an empty line after each satellite.
class TextSink : public RecordSink {
 public:
  TextSink(std::ostream& out, std::size_t epochs) : out(out), record(out) {
    record.ExpectEpochs(epochs);
  }
  void Record(const RecordValues& r) override {
    record.Epoch(r.k, r.t);
    record.Satellite(r.letter, r.number);
    if (r.precise.present) {
      record.Position(r.precise.position);
      record.Velocity(r.precise.velocity);
    }
    const ValueGroup& second = r.precise.present ? r.difference : r.broadcast;
    if (second.present) {
      record.Position(second.position);
      if (second.hasVelocity) record.Velocity(second.velocity);
    }
    record.Write();
  }
  void EndSatellite() override { out << '\n'; }

 private:
  std::ostream& out;
  RecordWriter record;
};

// Every epoch of the series for one satellite, one record each; returns the
// number of epochs.
long WriteSatellite(const Orbika& gc, Ephemerides& e, RecordSink& sink, Sources& s) {
  long ncalc = 0;
  EpochValues v;
  RecordValues r;
  r.letter = s.letter;
  r.number = s.number;
  for (mjd t = gc.stE; t <= gc.enE; t += gc.dt) {
    ++ncalc;
    if (s.precise) PreciseValues(e, s, t, v);
    if (s.broadcast) BroadcastValues(gc, e, s, t, gc.isUse ? gc.useE : t, v);
    r.k = static_cast<std::size_t>(ncalc - 1);
    r.t = t;
    SetGroups(s, v, r);
    if (gc.csv) SetSignals(s, v, r);
    sink.Record(r);
  }
  sink.EndSatellite();
  return ncalc;
}

// The writer of the run's records: CSV (-csv) or the table; the CSV head
// row only where asked.
std::unique_ptr<RecordSink> MakeSink(const Orbika& gc, std::ostream& out, bool head) {
  if (gc.csv) return std::make_unique<CsvWriter>(out, head);
  // Epochs of the series, for the kept epoch texts (a rough count will do).
  const long double span = (gc.enE - gc.stE) / gc.dt;
  return std::make_unique<TextSink>(
      out, span >= 0 && span < 1e7L ? static_cast<std::size_t>(span) + 1 : 0);
}

// The navigation file that holds the satellite's system, or nullptr.
const char* NavigationFileOf(const Orbika& gc, char letter) {
  if (FromNavigation(gc, letter)) return gc.isGPSnav ? gc.gnavfile : nullptr;
  if (letter == 'R') return gc.isGLNnav ? gc.rnavfile : nullptr;
  return nullptr;
}

std::string Code(short sat) {
  char code[4];
  return satcode::Format(sat, code) ? code : "";
}

// A satellite that no loaded file lists: without a precise file nothing of
// it could be written, so the run ends before the table, in the words of
// its navigation store when one of its system is loaded.
[[noreturn]] void NoSource(Orbika& gc, char letter, short number, short sat) {
  if (FromNavigation(gc, letter) && letter != 'S' && gc.isGPSnav)
    gc.gpsnav.GetDataIndex(static_cast<unsigned short>(sat), gc.stE);
  if (letter == 'S' && FromNavigation(gc, letter) && gc.isGPSnav)
    gc.gpsnav.GPSbEphError(("SAT: " + Code(sat) + " IS NOT LISTED IN SBAS NAVIGATION FILE " +
                            gc.gnavfile + "!!!").c_str());
  if (letter == 'R' && gc.isGLNnav) gc.glnnav.GetDataIndex(number, gc.stE);
  const std::string kind = FromNavigation(gc, letter) ? "NAVIGATION FILE [-en]"
                           : letter == 'R'   ? "GLONASS NAVIGATION FILE [-eg]"
                                             : "NAVIGATION FILE OF ITS SYSTEM";
  ProgramError("Orbika", ("SAT: " + Code(sat) + " (" + satcode::Name(sat) +
                          ") IS NOT LISTED IN ANY LOADED FILE: NO " + kind +
                          " AND NO PRECISE FILE [-ep]!")
                             .c_str());
}

}  // namespace

void CheckBroadcast(Orbika& gc) {
  std::vector<short> unlisted;
  for (long i = 0; i < gc.satprn.Length(); ++i) {
    char letter;
    short number;
    const short sat = gc.satprn(i);
    if (!SatelliteCode(sat, letter, number)) continue;
    const bool precise = gc.isPEph && Holds(gc.pephM.GetSatList(), sat);
    const bool lacks = NavigationLacks(gc, letter, number, sat);
    if (!precise && (lacks || NavigationFileOf(gc, letter) == nullptr)) {
      if (!gc.isPEph) NoSource(gc, letter, number, sat);
      unlisted.push_back(sat);
    } else if (lacks) {
      ProgramWarning("Orbika", ("SAT: " + Code(sat) + " IS NOT LISTED IN " + satcode::Name(sat) +
                                " NAVIGATION FILE " + NavigationFileOf(gc, letter) +
                                " - BROADCAST COLUMNS WRITTEN AS nan!")
                                   .c_str());
    }
  }
  std::string codes;
  for (short sat : unlisted) codes += " " + Code(sat);
  if (static_cast<long>(unlisted.size()) == gc.satprn.Length())
    ProgramError("Orbika",
                 ("NO SATELLITE OF THE LIST IS IN A LOADED FILE:" + codes + " - NOTHING TO COMPUTE!")
                     .c_str());
  for (short sat : unlisted)
    ProgramWarning("Orbika", ("SAT: " + Code(sat) + " (" + satcode::Name(sat) +
                              ") IS NOT LISTED IN ANY LOADED FILE - ITS COLUMNS WRITTEN AS nan!")
                                 .c_str());
}

namespace {

void SayCount(const Orbika& gc, const Sources& s, long ncalc) {
  if (gc.verbose)
    std::cerr << std::setw(6) << s.letter << std::setw(2) << std::setfill('0') << s.number
              << std::setfill(' ') << std::setw(8) << ncalc << "  positions" << std::endl;
}

// The satellites one after the other on this thread.
void OneThread(Orbika& gc, std::vector<Sources>& list, std::ostream& out) {
  const std::unique_ptr<RecordSink> sink = MakeSink(gc, out, true);
  Ephemerides own{gc.gpsnav, gc.glnnav, gc.sbasnav, gc.pephM};
  for (Sources& s : list) SayCount(gc, s, WriteSatellite(gc, own, *sink, s));
}

// Copies of the stores for a thread of its own.
struct StoreCopies {
  explicit StoreCopies(const Orbika& gc)
      : gpsnav(gc.gpsnav), glnnav(gc.glnnav), sbasnav(gc.sbasnav), pephM(gc.pephM) {}
  GPSbEph gpsnav;
  GLNbEph glnnav;
  SBASbEph sbasnav;
  GNSSpEph pephM;
};

// The satellites on gc.threads threads (-th), written in list order: the
// same bytes, on both streams, as OneThread.  The first worker computes
// with the run's own stores, every other with copies made before any
// starts (a store's state changes as it computes).
void ManyThreads(Orbika& gc, std::vector<Sources>& list, std::ostream& out) {
  const auto n = static_cast<std::size_t>(gc.threads);
  if (gc.csv) MakeSink(gc, out, true);  // the head row, written alone
  OrderedWork work(gc.threads, out);
  std::vector<std::unique_ptr<RecordSink>> sinks;
  std::vector<std::unique_ptr<StoreCopies>> copies;
  std::vector<Ephemerides> stores{{gc.gpsnav, gc.glnnav, gc.sbasnav, gc.pephM}};
  for (std::size_t w = 0; w < n; ++w) {
    sinks.push_back(MakeSink(gc, work.Stream(static_cast<int>(w)), false));
    if (w == 0) continue;
    copies.push_back(std::make_unique<StoreCopies>(gc));
    StoreCopies& c = *copies.back();
    stores.push_back({c.gpsnav, c.glnnav, c.sbasnav, c.pephM});
  }
  const auto job = [&](int w, std::size_t i, std::ostream&) {
    const auto k = static_cast<std::size_t>(w);
    return WriteSatellite(gc, stores[k], *sinks[k], list[i]);
  };
  work.Run(list.size(), job, [&](std::size_t i, long ncalc) { SayCount(gc, list[i], ncalc); });
}

}  // namespace

void CalcPos(Orbika& gc) {
  if (gc.verbose)
    std::cerr << "Orbika" << "::CalcPos(): CALCULATING SATELLITE POSITIONS!" << std::endl;
  std::ostream& out = std::cout;
  std::vector<Sources> list;
  for (long i = 0; i < gc.satprn.Length(); ++i) {
    Sources s;
    if (SourcesOf(gc, gc.satprn(i), s)) list.push_back(s);
  }
  if (gc.threads > 1)
    ManyThreads(gc, list, out);
  else
    OneThread(gc, list, out);
  out.flush();
  satmsg::WriteSummary("Orbika", std::cerr);
}
