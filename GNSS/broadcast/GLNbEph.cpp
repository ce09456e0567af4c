#include "GNSS/broadcast/GLNbEph.h"

#include "GNSS/geometry/LightTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <string>

#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/broadcast/RinexNav3.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/time/TimeText.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/report/SatelliteMessages.h"

namespace {

constexpr long double kC = GLONASSc::c;  // speed of light, m/s
// Records are meant for +-15 min; beyond 16 min the optional warning is given.
constexpr long double kValidInterval = 960.0L;
// Shortest step the integration takes, s.
constexpr long double kMinStep = 1e-8L;
// Smallest integration step a run may ask for, s: at the default 30 s the
// integration error is below a millimetre already, and a step of 0.1 s
// costs some 300 times the default's time per epoch (4 ms a satellite).
constexpr long double kMinIntegrationStep = 0.1L;
// Whole-step states kept per record and direction (about 34 h at 30 s).
constexpr std::size_t kMaxKeptSteps = 4096;
// Light time of the receiver variants: 501 passes, each tested.
constexpr lighttime::Rule kLightTime = {-0.075L, 1e-5L, lighttime::Test::TravelMatchesRange, 501,
                                        true};
// Largest magnitude of the correction to the system time scale, s.
constexpr long double kMaxTauC = 1.0L;
// Lines of one GLONASS navigation record.
constexpr int kRecordLines = 4;
// Place of the message frame time tk among a record's numbers.
constexpr int kFrameTime = 2;
// Bounds of a plausible record state (see GLNbEph.h), in the file's units.
constexpr long double kMinRadius = 1.0e4;        // km
constexpr long double kMaxRadius = 6.0e4;        // km
constexpr long double kMaxSpeed = 10.0;          // km/s
constexpr long double kMaxAcceleration = 1e-6;   // km/s^2
// Columns of X, Y and Z in a record; velocity and acceleration follow each.
constexpr int kStateColumns[3] = {3, 7, 11};

// Why the state of record row of d is implausible ("" when it is not).
std::string Implausible(const GLNbEphData& d, int row) {
  long double r2 = 0, v2 = 0, a = 0;
  for (int c : kStateColumns) {
    r2 += d.GetData(row, c) * d.GetData(row, c);
    v2 += d.GetData(row, c + 1) * d.GetData(row, c + 1);
    a = std::max(a, std::fabs(d.GetData(row, c + 2)));
  }
  char why[128] = "";
  const long double r = std::sqrt(r2), v = std::sqrt(v2);
  if (!(r >= kMinRadius && r <= kMaxRadius))
    std::snprintf(why, sizeof why, "DISTANCE FROM THE EARTH'S CENTRE %.6Lg km NOT IN %.0Lf-%.0Lf km",
                  r, kMinRadius, kMaxRadius);
  else if (!(v <= kMaxSpeed))
    std::snprintf(why, sizeof why, "SPEED %.6Lg km/s ABOVE %.0Lf km/s", v, kMaxSpeed);
  else if (!(a <= kMaxAcceleration))
    std::snprintf(why, sizeof why, "ACCELERATION %.6Lg km/s^2 ABOVE %.0Lg km/s^2", a,
                  kMaxAcceleration);
  return why;
}

const char kWhat[] = "GLONASS NAVIGATION FILE";

}  // namespace

// ---- File --------------------------------------------------------------------

void GLNbEph::SetFile(const char* file) {
  std::snprintf(navig, sizeof navig, "%s", file);
}

void GLNbEph::GLNbEphError(const char* text) { rinexnav::Error("GLNbEph", text); }

void GLNbEph::GLNbEphWarning(const char* text) { rinexnav::Warning("GLNbEph", text); }

void GLNbEph::CountNav() {
  InputFile in;
  rinexnav::OpenWithHeader(in, navig, "GLNbEph", kWhat, rhead);
  nsatall += static_cast<int>(rinexnav::CountRecords(in, kRecordLines));
}

void GLNbEph::ReadFile() {
  nsatall = 0;
  InputFile in;
  timeutil::ReadingContext reading(kWhat, navig);
  reading.SetStream(in);
  rinexnav::OpenWithHeader(in, navig, "GLNbEph", kWhat, rhead);
  const bool rinex3 = rinexnav::IsVersion3or4(rhead.GetVersion());
  // Version 2: a counting pass first.
  if (!rinex3) nsatall += static_cast<int>(rinexnav::CountRecords(in, kRecordLines));
  if (rinex3) {
    // One pass: the records follow the header just read (version 4: with
    // the STO record that gives TauC among them).
    rdata.ReadRecords3(in, rhead.GetVersion(),
                       [this](const std::vector<std::string>& lines) { rhead.ParseSto(lines); });
  } else {
    in.close();
    rdata.SetNRecords(nsatall);
    rinexnav::OpenWithHeader(in, navig, "GLNbEph", kWhat, rhead);
    in >> rdata;
  }
  // TauC enters every epoch and clock: a correction of a second or more is
  // no correction between two time scales kept to nanoseconds.
  if (!(std::fabs(rhead.GetTauC()) < kMaxTauC))
    GLNbEphError((std::string(kWhat) + " " + navig +
                  ": CORR TO SYSTEM TIME OUT OF RANGE [|TauC| < 1 s]!").c_str());
  rinexnav::ReportScan(rdata.GetScan(), "GLNbEph", kWhat, navig);
  SkipImplausible();
  nsatall = rdata.GetNRecords();
  IndexRecords();
}

void GLNbEph::SkipImplausible() {
  std::vector<int> kept;
  const int n = rdata.GetNRecords();
  for (int k = 0; k < n; ++k) {
    const std::string why = Implausible(rdata, k);
    if (why.empty()) {
      kept.push_back(k);
      continue;
    }
    // The epoch as the file gives it, UTC.
    mjd written = rdata.GetMJD(k);
    written += -static_cast<long double>(LeapSecond(written));
    const ymdhms c = mjd2ymdhms(written);
    char text[96];
    std::snprintf(text, sizeof text, "RECORD OF R%02d AT %4d-%02d-%02d %02d:%02d:%04.1lf",
                  rdata.GetSat(k), c.GetYear(), c.GetMonth(), c.GetDay(), c.GetHour(),
                  c.GetMinute(), static_cast<double>(c.GetSecond()));
    ProgramWarningOnce("Orbika", (std::string(kWhat) + " " + navig + ": " + text + ": " + why +
                                  " - RECORD SKIPPED!").c_str());
  }
  if (static_cast<int>(kept.size()) == n) return;
  if (kept.empty())
    GLNbEphError((std::string(kWhat) + " " + navig + ": NO PLAUSIBLE RECORD!").c_str());
  rdata.KeepRecords(kept);
}

void GLNbEph::IndexRecords() {
  const matrix<short>& list = rdata.GetSatList();
  slots.assign(static_cast<std::size_t>(list.Length()), 0);
  for (int i = 0; i < list.Length(); ++i) slots[static_cast<std::size_t>(i)] = list(i);
  slotRows.assign(slots.size(), std::vector<int>());
  for (int row = 0; row < nsatall; ++row) {
    const auto at = std::lower_bound(slots.begin(), slots.end(), rdata.GetSat(row));
    slotRows[static_cast<std::size_t>(at - slots.begin())].push_back(row);
  }
  starts.resize(static_cast<std::size_t>(nsatall));
  for (int row = 0; row < nsatall; ++row) {
    Start& st = starts[static_cast<std::size_t>(row)];
    st.epoch = rdata.GetMJD(row);
    st.epoch += rhead.GetTauC();
    st.epochDec = st.epoch.GetMJDDec();
    // Columns: km, km/s and km/s^2 in the file.
    st.state = {rdata.GetData(row, 3) * 1000, rdata.GetData(row, 7) * 1000,
                rdata.GetData(row, 11) * 1000, rdata.GetData(row, 4) * 1000,
                rdata.GetData(row, 8) * 1000, rdata.GetData(row, 12) * 1000};
    st.ax = rdata.GetData(row, 5) * 1000;
    st.ay = rdata.GetData(row, 9) * 1000;
    st.az = rdata.GetData(row, 13) * 1000;
    st.clock = rdata.GetData(row, 0);
    st.rate = rdata.GetData(row, 1);
  }
  // Time order, records of one epoch in file order.
  const auto earlier = [this](int a, int b) {
    return rinexnav::ExactlyEarlier(rdata.GetMJD(a), rdata.GetMJD(b));
  };
  for (std::vector<int>& rows : slotRows) std::stable_sort(rows.begin(), rows.end(), earlier);
  ClearWholeSteps();
}

void GLNbEph::ClearWholeSteps() {
  for (WholeSteps& w : wholeSteps) w = WholeSteps();
}

// ---- Orbit -------------------------------------------------------------------

void GLNbEph::SetIntegrationStep(long double step) {
  if (!std::isfinite(step) || step < kMinIntegrationStep) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "INTEGRATION STEP [-ni] %Lg s NOT VALID [MUST BE AT LEAST %Lg s]!", step,
                  kMinIntegrationStep);
    GLNbEphError(text);
  }
  if (step == diffinterval) return;
  diffinterval = step;
  ClearWholeSteps();
}

int GLNbEph::GetDataIndex(short st, const mjd& t0) const {
  const auto at = std::lower_bound(slots.begin(), slots.end(), st);
  if (at == slots.end() || *at != st) {
    char sat[8];
    std::snprintf(sat, sizeof sat, "R%02d", st);
    GLNbEphError((std::string("SAT: ") + sat + " IS NOT LISTED IN GLONASS NAVIGATION FILE " +
                  navig + "!!!")
                     .c_str());
  }
  const std::size_t k = static_cast<std::size_t>(at - slots.begin());
  const std::vector<int>& rows = slotRows[k];
  // Before the first record of st: that record.
  if (t0 < rdata.GetMJD(rows.front())) return rows.front();
  // Then the first pair of records, in time order, whose epochs enclose t0
  // gives the nearer of the two (a tie the earlier); without such a pair the
  // last record.  The pair ends at the first record not earlier than t0,
  // and every record before it is not later than t0.
  const auto first = std::partition_point(rows.begin() + 1, rows.end(), [&](int row) {
    return !(t0 <= rdata.GetMJD(row));
  });
  if (first == rows.end()) return rows.back();
  const int held = *(first - 1);
  const long double d1 = t0 - rdata.GetMJD(held);
  const long double d2 = rdata.GetMJD(*first) - t0;
  return d1 > d2 ? *first : held;
}

namespace {

constexpr long double kDay = 86400, kWeekSeconds = 604800;
constexpr long kGPSWeekZero = 44244;  // MJD of a Sunday (GPS week 0)

}  // namespace

mjd GLNbEph::TransmissionTime(int row) const {
  // tk counts from the start of the UTC day (version 2) or week: the
  // record epoch in UTC gives that start.
  const mjd epoch = rdata.GetMJD(row);
  mjd utc = epoch;
  utc += -static_cast<long double>(LeapSecond(epoch));
  const bool week = rinexnav::IsVersion3or4(rhead.GetVersion());
  const long days = static_cast<long>(utc.GetMJDay()) - kGPSWeekZero;
  const long double since =
      (week ? static_cast<long double>(((days % 7) + 7) % 7) * kDay : 0) + utc.GetSecond();
  const long double period = week ? kWeekSeconds : kDay;
  long double away = fmodl(rdata.GetData(row, kFrameTime) - since, period);
  if (away > period / 2) away -= period;
  if (away < -period / 2) away += period;
  mjd t = epoch;
  t += away;
  return t;
}

bool GLNbEph::ReceiverIndex(short st, const mjd& t0, int& row) const {
  const auto at = std::lower_bound(slots.begin(), slots.end(), st);
  if (at == slots.end() || *at != st) return false;
  bool found = false;
  mjd best;
  for (int k : slotRows[static_cast<std::size_t>(at - slots.begin())]) {
    const mjd sent = TransmissionTime(k);
    if (t0 < sent || !(fabsl(t0 - rdata.GetMJD(k)) <= kReceiverFit)) continue;
    if (found && (sent < best || (!(best < sent) && k < row))) continue;
    found = true;
    best = sent;
    row = k;
  }
  return found;
}

void GLNbEph::Derivative(const State& s, long double ax, long double ay, long double az,
                         State& d) const {
  const long double x = s[0], y = s[1], z = s[2];
  const long double vx = s[3], vy = s[4], vz = s[5];
  const long double r = std::sqrt(x * x + y * y + z * z);
  const long double r2 = r * r;
  const long double r3 = r * r * r;
  // Oblateness: q = 5 z^2 / r^2 and the factor 1.5 C20 mu aE^2 / r^5 times a
  // coordinate, formed as (coordinate / r) 1.5 C20 (mu / r^2) (aE / r)^2.
  const long double q = 5 * (z * z) / r2;
  const long double muR2 = GMz / r2;
  const long double aER = aE / r;
  const long double aER2 = aER * aER;
  const long double kx = x / r * 1.5L * C20 * muR2 * aER2;
  const long double ky = y / r * 1.5L * C20 * muR2 * aER2;
  const long double kz = z / r * 1.5L * C20 * muR2 * aER2;
  const long double w2 = OMEGAz * OMEGAz;
  const long double twoW = 2 * OMEGAz;
  // dr/dt = v
  d[0] = vx;
  d[1] = vy;
  d[2] = vz;
  // dv/dt: luni-solar + central field + J2 + centrifugal + Coriolis
  d[3] = ax - GMz * x / r3 + kx * (1 - q) + w2 * x + twoW * vy;
  d[4] = ay - GMz * y / r3 + ky * (1 - q) + w2 * y - twoW * vx;
  d[5] = az - GMz * z / r3 + kz * (3 - q);
}

void GLNbEph::DiffEqTwoBody(const matrix<long double>& x, long double ax, long double ay,
                            long double az, matrix<long double>& y) const {
  State s, d;
  for (int i = 0; i < 6; ++i) s[static_cast<std::size_t>(i)] = x(i);
  Derivative(s, ax, ay, az, d);
  for (int i = 0; i < 6; ++i) y(i) = d[static_cast<std::size_t>(i)];
}

void GLNbEph::RungeKuttaStep(State& x, long double h, const Start& from, Slope* slope) const {
  // Classical fourth-order Runge-Kutta step, with the record's luni-solar
  // acceleration.
  const auto f = [&](const State& s, State& d) { Derivative(s, from.ax, from.ay, from.az, d); };
  State D1, D2, D3, D4, tmp;
  if (slope != nullptr && slope->known) {
    D1 = slope->d;
  } else {
    f(x, D1);
    if (slope != nullptr) *slope = {true, D1};
  }
  for (std::size_t i = 0; i < 6; ++i) tmp[i] = x[i] + D1[i] * h / 2;
  f(tmp, D2);
  for (std::size_t i = 0; i < 6; ++i) tmp[i] = x[i] + D2[i] * h / 2;
  f(tmp, D3);
  for (std::size_t i = 0; i < 6; ++i) tmp[i] = x[i] + D3[i] * h;
  f(tmp, D4);
  for (std::size_t i = 0; i < 6; ++i)
    x[i] = x[i] + D1[i] * h / 6 + D2[i] * h / 3 + D3[i] * h / 3 + D4[i] * h / 6;
}

// Where an integration stands: the state and its epoch, the step (s, and
// days; whole steps until the last, shorter one), the steps taken and the
// last of them, and whether only whole steps were taken so far.
struct GLNbEph::Walk {
  State x;
  mjd e;
  long double eDec;  // e.GetMJDDec()
  int sign;          // direction: 1 forward, -1 backward
  long double h, hd;
  bool whole = true;
  std::size_t n = 0;
  long double taken = 0;
  bool onChain = true;

  // Whether the epoch `from` lies on or beyond t0 in the direction of the walk.
  bool Reached(const mjd& from, const mjd& t0) const {
    return (sign < 0 && from <= t0) || (sign > 0 && from >= t0);
  }
  // Continues from a kept whole step.
  void Resume(const WholeStep& w) {
    x = w.state;
    e = w.epoch;
    eDec = w.epochDec;
  }
};

// ---- Whole-step cache --------------------------------------------------------

GLNbEph::WholeSteps& GLNbEph::Chain(int index, int sign) {
  WholeSteps& chain = wholeSteps[sign < 0 ? 1 : 0];
  if (chain.row != index) {
    chain.row = index;
    chain.startSlope = Slope();
    chain.kept.clear();
  }
  return chain;
}

void GLNbEph::SkipKeptSteps(const std::vector<WholeStep>& kept, const mjd& t0, long double t0Dec,
                            Walk& w) {
  // The integration would restore the kept whole steps it takes one by one.
  // Whether it takes one more whole step from an epoch only turns from yes
  // to no along the chain (the epochs move steadily towards t0), so the
  // kept steps it takes are found by bisection and restored at once.
  const auto wholeStepFollows = [&](const mjd& from, long double fromDec) {
    return !(std::fabs(t0Dec - fromDec) < std::fabs(w.hd)) && !w.Reached(from, t0) &&
           !(std::fabs(w.h) < kMinStep);
  };
  if (kept.empty() || !wholeStepFollows(w.e, w.eDec)) return;
  const auto last = std::partition_point(kept.begin(), kept.end(), [&](const WholeStep& k) {
    return wholeStepFollows(k.epoch, k.epochDec);
  });
  w.n = std::min(static_cast<std::size_t>(last - kept.begin()) + 1, kept.size());
  w.Resume(kept[w.n - 1]);
  w.taken = w.h;
}

void GLNbEph::Step(WholeSteps& chain, const Start& start, Walk& w) const {
  // While only whole steps were taken, the state is the record's or a kept
  // one, and the slope there is kept with it.
  std::vector<WholeStep>& kept = chain.kept;
  Slope* slope = nullptr;
  if (w.onChain && w.n == 0) slope = &chain.startSlope;
  if (w.onChain && w.n > 0 && w.n <= kept.size()) slope = &kept[w.n - 1].slope;
  w.onChain = w.whole;
  RungeKuttaStep(w.x, w.h, start, slope);
  w.e += w.h;
  w.eDec = w.e.GetMJDDec();
  if (w.whole && w.n == kept.size() && w.n < kMaxKeptSteps)
    kept.push_back({w.x, w.e, w.eDec, Slope()});
}

// ---- Integration and clock ---------------------------------------------------

void GLNbEph::Integrate(int index, const mjd& t0, long double t0Dec, long double dt, State& x) {
  // Whole steps of diffinterval towards t0, then one shorter step ending on
  // it.  The states and epochs after whole steps depend only on the record,
  // the direction and the step, so they are kept and reused; the tests that
  // end the whole steps are made on every one of them all the same.
  const Start& start = starts[static_cast<std::size_t>(index)];
  const int sign = dt < 0 ? -1 : 1;
  const long double h = sign * diffinterval;
  Walk w{start.state, start.epoch, start.epochDec, sign, h, h / 24 / 3600};
  WholeSteps& chain = Chain(index, sign);
  SkipKeptSteps(chain.kept, t0, t0Dec, w);
  for (;;) {
    const long double rest = t0Dec - w.eDec;
    if (std::fabs(rest) < std::fabs(w.hd)) {
      w.hd = rest;
      w.h = w.hd * 24 * 3600;
      w.whole = false;
    }
    if (w.Reached(w.e, t0)) break;
    if (std::fabs(w.h) < kMinStep) break;
    if (w.whole && w.n < chain.kept.size())
      w.Resume(chain.kept[w.n]);
    else
      Step(chain, start, w);
    w.taken = w.h;
    ++w.n;
  }
  stepCount = static_cast<long>(w.n);
  lastStep = w.taken;
  endEpoch = w.e;
  x = w.x;
}

void GLNbEph::SetClock(const Start& start, long double dt, xyzt& pos, const xyzt& vel) {
  // Clock: -TauN - GammaN * dt + TauC.
  const long double DT = start.clock - start.rate * dt + rhead.GetTauC();
  // Periodic relativistic clock term 2 (r . v) / c^2.
  Relativity = 2 * (vel.GetX() / kC * (pos.GetX() / kC) + vel.GetY() / kC * (pos.GetY() / kC) +
                    vel.GetZ() / kC * (pos.GetZ() / kC));
  pos.SetT(DT - Relativity);
}

void GLNbEph::WarnInterval(short st, const mjd& t0, long double dt) {
  const ymdhms cal = mjd2ymdhms(t0);
  char text[160];
  std::snprintf(text, sizeof text,
                "SAT: R%02d [%4d-%02d-%02d %02d:%02d:%04.1lf] -> DT = %5.2lf min PARAMETER TO BIG [>16min]",
                st, cal.GetYear(), cal.GetMonth(), cal.GetDay(), cal.GetHour(), cal.GetMinute(),
                static_cast<double>(cal.GetSecond()), static_cast<double>(dt / 60));
  GLNbEphWarning(text);
}

GroupDelays GLNbEph::GetGroupDelays(short st, const mjd& tindex) const {
  GroupDelays g;
  int row = 0;
  if (!receiver)
    row = GetDataIndex(st, tindex);
  else if (!ReceiverIndex(st, tindex, row))
    return g;
  g.gd1 = rinexnav::GroupDelay(rdata.GetDelayDifference(row));
  return g;
}

namespace {
// tb: UTC(SU) + 3 h, counted in 15-min intervals of the day (GLONASS ICD).
constexpr long double kMoscowFromUTC = 3 * 3600, kTbUnit = 900;
constexpr int kHealth = 6;  // health field of a record
}  // namespace

RecordFields GLNbEph::GetRecordFields(short st, const mjd& tindex) const {
  RecordFields f;
  int row = 0;
  if (!receiver)
    row = GetDataIndex(st, tindex);
  else if (!ReceiverIndex(st, tindex, row))
    return f;
  f.msg = "FDMA";
  f.toc = f.toe = rdata.GetMJD(row);
  mjd moscow = f.toc;
  moscow += kMoscowFromUTC - static_cast<long double>(LeapSecond(f.toc));
  f.iod = roundl(moscow.GetSecond() / kTbUnit);
  f.ttr = TransmissionTime(row);
  f.health = rdata.GetData(row, kHealth);
  return f;
}

bool GLNbEph::CalcPosition(short st, const mjd& t0, const mjd& tindex, xyzt& pos, xyzt& vel,
                              short warning) {
  int index = 0;
  if (!receiver) {
    index = GetDataIndex(st, tindex);
  } else if (!ReceiverIndex(st, tindex, index)) {
    char sat[8];
    std::snprintf(sat, sizeof sat, "R%02d", st);
    satmsg::Note("Orbika", rinexnav::kNoReceiverRecord, sat, IsoText(tindex), true);
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    pos.Set(nan, nan, nan, nan);
    vel.Set(nan, nan, nan, nan);
    return true;
  }
  // Start epoch: the record epoch (GPS time) corrected to the system time
  // scale.
  const Start& start = starts[static_cast<std::size_t>(index)];
  const long double t0Dec = t0.GetMJDDec();
  const long double dt = (t0Dec - start.epochDec) * 24 * 3600;
  if (warning != 0 && std::fabs(dt) > kValidInterval) WarnInterval(st, t0, dt);

  // Days from its record a broadcast state describes no orbit, and the
  // integration would take time in proportion (a mistyped date in the file,
  // epochs far from the data): no values.
  if (!(std::fabs(dt) <= kMaxInterval)) {
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    pos.Set(nan, nan, nan, nan);
    vel.Set(nan, nan, nan, nan);
    return false;
  }

  State x;
  Integrate(index, t0, t0Dec, dt, x);
  vel.Set(x[3], x[4], x[5], 0);
  pos.Set(x[0], x[1], x[2], 0);
  SetClock(start, dt, pos, vel);
  return true;
}

long double GLNbEph::CalcPosition(short st, const mjd& eph, const mjd& tindex,
                                     const xyz& prec, xyzt& psat, xyzt& vsat, short warning) {
  const lighttime::Result r =
      lighttime::Solve(eph, prec, OMEGAz, kLightTime, [&](const mjd& t, xyz& pos) {
        CalcPosition(st, t, tindex, psat, vsat, warning);
        pos = psat;
        return true;
      });
  if (r.end == lighttime::End::PassLimit)
    GLNbEphWarning("GLNbEph::CalcPosition():      TO MANY ITERATIONS: > 500!!");
  return r.range;
}

long double GLNbEph::CalcPosition(short st, const mjd& eph, const mjd& tindex,
                                     const xyz& prec, xyzt& psat, xyzt& vsat, const gnssobs& P,
                                     short warning) {
  lighttime::Result r{};
  lighttime::Pass(eph, prec, OMEGAz, -P.GetP() / kC, [&](const mjd& t, xyz& pos) {
    CalcPosition(st, t, tindex, psat, vsat, warning);
    pos = psat;
    return true;
  }, r);
  return r.range;
}

void GLNbEph::PrintParameter(const char* name, long double value) const {
  rinexnav::PrintParameter("GLNbEph", name, value);
}
