#include "src/Orbika_ReadFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <future>
#include <initializer_list>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "GNSS/time/TimeConverse.h"
#include "PROGINC/files/InputFile.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"
#include "src/OrderedWork.h"
#include "src/Orbika_ApplyAtx.h"

void SetFiles(Orbika& gc) {
  if (gc.verbose) std::cerr << "Orbika" << "::SetFiles(): SETTING INPUT FILE NAMES!" << std::endl;
  if (gc.isGPSnav) {
    gc.gpsnav.SetFile(gc.gnavfile);
    gc.gpsnav.SetMessages(gc.messages);
    gc.sbasnav.SetFile(gc.gnavfile);
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

void Say(const Orbika& gc, const char* what, long count, const char* unit) {
  if (gc.verbose)
    std::cerr << "Orbika" << "::ReadFiles():        " << what << count << unit << std::endl;
}

void SayPrecise(const Orbika& gc) {
  if (gc.verbose)
    std::cerr << "Orbika" << "::ReadFiles():        reading GNSS PRECISE EPHEMERIS file - "
              << gc.pephM.GetNEpoch() << " epochs " << gc.pephM.GetNSatList() << " satellites"
              << std::endl;
}

void SayAntex(const Orbika& gc) {
  if (!gc.verbose) return;
  std::cerr << "Orbika" << "::ReadFiles():        reading ANTEX file - " << gc.atx.GetNGPSSat()
            << " GPS SWs  " << gc.atx.GetNGLNSat() << " GLONASS SWs  ";
  // Files with satellites of other systems also say how many.
  if (gc.atx.GetNGALSat() + gc.atx.GetNOtherSat() > 0)
    std::cerr << gc.atx.GetNGALSat() << " GALILEO SWs  " << gc.atx.GetNOtherSat()
              << " OTHER SWs  ";
  std::cerr << gc.atx.GetNRec() << " RECs" << std::endl;
}

}  // namespace

namespace {

// One store's reading, and what the run says and gives back after it.
struct ReadStep {
  std::function<void()> read;
  std::function<void()> after;
  bool precise = false;  // the SP3 file's
  bool antex = false;    // the ANTEX file's
};

std::vector<ReadStep> ReadSteps(Orbika& gc) {
  const char* glo = gc.isGLNnav ? gc.rnavfile : "";
  const char* sp3 = gc.isPEph ? gc.sp3file : "";
  const char* atx = gc.isAtx ? gc.atxfile : "";
  // SBAS records only when asked for: nothing else reads them.
  const bool sbas = gc.isGPSnav && gc.messages.Serves('S');
  std::vector<ReadStep> steps;
  if (gc.isGPSnav)
    steps.push_back({[&gc] {
                       gc.gpsnav.ReadFile();
                       if (gc.isReceiver) gc.gpsnav.UseReceiverChoice();
                     },
                     [&gc, sbas, glo, sp3, atx] {
                       Say(gc, "reading GPS NAVIGATION file - ",
                           static_cast<long>(gc.gpsnav.GetNSat()), " records");
                       Release(gc.gnavfile, {sbas ? gc.gnavfile : "", glo, sp3, atx});
                     }});
  if (sbas)
    steps.push_back({[&gc] {
                       gc.sbasnav.ReadFile();
                       if (gc.isReceiver) gc.sbasnav.UseReceiverChoice();
                     },
                     [&gc, glo, sp3, atx] {
                       Say(gc, "reading SBAS records of the GPS NAVIGATION file - ",
                           static_cast<long>(gc.sbasnav.GetNRecords()), " records");
                       Release(gc.gnavfile, {glo, sp3, atx});
                     }});
  if (gc.isGLNnav)
    steps.push_back({[&gc] {
                       gc.glnnav.ReadFile();
                       if (gc.isReceiver) gc.glnnav.UseReceiverChoice();
                     },
                     [&gc, sp3, atx] {
                       Release(gc.rnavfile, {sp3, atx});
                       Say(gc, "reading GLONASS NAVIGATION file - ", gc.glnnav.GetNSat(),
                           " records");
                     }});
  if (gc.isPEph)
    steps.push_back({[&gc] { gc.pephM.ReadFile(); },
                     [&gc, atx] {
                       Release(gc.sp3file, {atx});
                       SayPrecise(gc);
                     },
                     true, false});
  if (gc.isAtx)
    steps.push_back({[&gc] { gc.atx.ReadFile(); },
                     [&gc] {
                       Release(gc.atxfile, {});
                       SayAntex(gc);
                     },
                     false, true});
  return steps;
}

}  // namespace

namespace {

// Tells whether a store was read whole, also when its reading ended the run.
class ReadSignal {
 public:
  explicit ReadSignal(std::promise<bool>& p) : promise(p) {}
  ~ReadSignal() { promise.set_value(whole); }
  bool whole = false;

 private:
  std::promise<bool>& promise;
};

// Each store on a thread of its own; what each says comes in the order of
// the steps, and the memory of an input is given back in that order too.
// With an SP3 and an ANTEX file, a last step shifts the precise positions
// once both are read whole, on the first thread free, while other stores
// may still be read.
void ReadOnThreads(Orbika& gc, std::vector<ReadStep>& steps) {
  std::promise<bool> table, antennas;
  const std::shared_future<bool> tableRead = table.get_future();
  const std::shared_future<bool> antennasRead = antennas.get_future();
  for (ReadStep& step : steps) {
    std::promise<bool>* signal = step.precise ? &table : step.antex ? &antennas : nullptr;
    if (signal != nullptr)
      step.read = [read = step.read, signal] {
        ReadSignal whole(*signal);
        read();
        whole.whole = true;
      };
  }
  if (gc.isPEph && gc.isAtx)
    steps.push_back({[&gc, tableRead, antennasRead] {
                       if (tableRead.get() && antennasRead.get()) ApplyAtxAhead(gc);
                     },
                     [] {}});
  // A free thread takes the next step, however many are still to be
  // written: the -en file, read first, takes the longest.
  OrderedWork work(std::min(gc.threads, static_cast<int>(steps.size())), std::cout);
  work.Run(
      steps.size(),
      [&](int, std::size_t i, std::ostream&) {
        steps[i].read();
        return 0L;
      },
      [&](std::size_t i, long) { steps[i].after(); }, false);
}

}  // namespace

void ReadFiles(Orbika& gc) {
  if (gc.verbose) std::cerr << "Orbika" << "::ReadFiles(): READING INPUT DATA FILES!" << std::endl;
  std::vector<ReadStep> steps = ReadSteps(gc);
  if (gc.threads > 1 && steps.size() > 1) return ReadOnThreads(gc, steps);
  for (const ReadStep& step : steps) {
    step.read();
    step.after();
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

// Seconds from the window's start to the first and last epoch that a store
// can serve: the precise table and one interval on either side (no epoch
// farther out is extrapolated), a navigation file's records and the
// longest interval a record serves on either side.
struct Reach {
  long double from, to;
};

template <class Store>
Reach NavigationReach(const Store& store, const mjd& start) {
  Reach r{store.GetMJD(0) - start, store.GetMJD(0) - start};
  for (long i = 1; i < static_cast<long>(store.GetNSat()); ++i) {
    const long double t = store.GetMJD(i) - start;
    r.from = std::min(r.from, t);
    r.to = std::max(r.to, t);
  }
  return {r.from - Store::kMaxInterval, r.to + Store::kMaxInterval};
}

// An epoch start + k dt (k = 0, 1, ...) of the window lies within reach.
bool WindowMeets(const Orbika& gc, const Reach& r) {
  const long double k = std::ceil(std::max(r.from, 0.0L) / gc.dt);
  return k * gc.dt <= std::min(r.to, gc.enE - gc.stE);
}

// A window after which the table would hold no epoch, or only epochs that
// no loaded file can serve, ends the run before the table.
void CheckWindow(const Orbika& gc) {
  const std::string window = IsoText(gc.stE) + " TO " + IsoText(gc.enE);
  if (gc.enE < gc.stE)
    ProgramError("Orbika",
                 ("START EPOCH LATER THAN END EPOCH [-ts, -te]: " + window + " HOLDS NO EPOCH!")
                     .c_str());
  bool met = false;
  if (gc.isPEph) {
    const long double first = gc.pephM.GetMJD(0) - gc.stE;
    const long double last = gc.pephM.GetMJD(gc.pephM.GetNEpoch() - 1) - gc.stE;
    met = WindowMeets(gc, {first - gc.pephM.GetInterval(), last + gc.pephM.GetInterval()});
  }
  if (gc.isGPSnav) met = met || WindowMeets(gc, NavigationReach(gc.gpsnav, gc.stE));
  if (gc.isGLNnav) met = met || WindowMeets(gc, NavigationReach(gc.glnnav, gc.stE));
  if (!met)
    ProgramError("Orbika",
                 ("NO EPOCH OF THE WINDOW " + window +
                  " IS WITHIN REACH OF THE EPHEMERIS FILES (THE SP3 TABLE AND ONE INTERVAL, "
                  "2 DAYS FROM A BROADCAST RECORD)!")
                     .c_str());
}

// A run whose satellite list ends up empty would print a table of nothing.
// Only -pr can leave it empty: the stores refuse files without satellites.
void CheckList(const Orbika& gc) {
  if (gc.satprn.Length() == 0)
    ProgramError("Orbika", "LIST OF SATELLITES [-pr] HOLDS NO SATELLITE - NOTHING TO COMPUTE!");
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
        if (gc.messages.Serves('S')) {
          const matrix<short> sbas = gc.sbasnav.GetSatList();
          for (long i = 0; i < sbas.Length(); ++i) all.push_back(sbas(i));
        }
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

  CheckList(gc);
  CheckWindow(gc);
  if (gc.isGLNnav) gc.glnnav.SetIntegrationStep(gc.dtni);
}
