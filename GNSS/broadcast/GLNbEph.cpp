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

namespace {

constexpr long double kC = GLONASSc::c;  // speed of light, m/s
// Records are meant for +-15 min; beyond 16 min the optional warning is given.
constexpr long double kValidInterval = 960.0L;
// Shortest step the integration takes, s.
constexpr long double kMinStep = 1e-8L;
// Whole-step states kept per record and direction (about 34 h at 30 s).
constexpr std::size_t kMaxKeptSteps = 4096;
// Light time of the receiver variants: 501 passes, each tested.
constexpr lighttime::Rule kLightTime = {-0.075L, 1e-5L, lighttime::Test::TravelMatchesRange, 501,
                                        true};
// Largest magnitude of the correction to the system time scale, s.
constexpr long double kMaxTauC = 1.0L;
// Lines of one GLONASS navigation record.
constexpr int kRecordLines = 4;

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
  rinexnav::OpenWithHeader(in, navig, "GLNbEph", kWhat, rhead);
  const bool rinex3 = rinexnav::IsVersion3or4(rhead.GetVersion());
  // Version 2: a counting pass first.
  if (!rinex3) nsatall += static_cast<int>(rinexnav::CountRecords(in, kRecordLines));
  // TauC enters every epoch and clock: a correction of a second or more is
  // no correction between two time scales kept to nanoseconds.
  if (!(std::fabs(rhead.GetTauC()) < kMaxTauC))
    GLNbEphError((std::string(kWhat) + " " + navig +
                  ": CORR TO SYSTEM TIME OUT OF RANGE [|TauC| < 1 s]!").c_str());
  if (rinex3) {
    // One pass: the records follow the header just read.
    rdata.ReadRecords3(in, rhead.GetVersion());
  } else {
    in.close();
    rdata.SetNRecords(nsatall);
    rinexnav::OpenWithHeader(in, navig, "GLNbEph", kWhat, rhead);
    in >> rdata;
  }
  rinexnav::ReportScan(rdata.GetScan(), "GLNbEph", kWhat, navig);
  nsatall = rdata.GetNRecords();
  IndexRecords();
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
  slotSorted.assign(slots.size(), true);
  for (std::size_t k = 0; k < slots.size(); ++k) {
    const std::vector<int>& rows = slotRows[k];
    for (std::size_t i = 1; i < rows.size(); ++i)
      if (!(rdata.GetMJD(rows[i - 1]) < rdata.GetMJD(rows[i]))) slotSorted[k] = false;
  }
  ClearWholeSteps();
}

void GLNbEph::ClearWholeSteps() {
  for (WholeSteps& w : wholeSteps) w = WholeSteps();
}

// ---- Orbit -------------------------------------------------------------------

void GLNbEph::SetIntegrationStep(long double step) {
  if (!std::isfinite(step) || step < kMinStep) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "INTEGRATION STEP %Lg s NOT VALID [MUST BE AT LEAST 1e-8 s]!", step);
    GLNbEphError(text);
  }
  if (step == diffinterval) return;
  diffinterval = step;
  ClearWholeSteps();
}

int GLNbEph::GetDataIndex(short st, const mjd& t0) const {
  const auto at = std::lower_bound(slots.begin(), slots.end(), st);
  if (at == slots.end() || *at != st) {
    char text[96];
    std::snprintf(text, sizeof text, "SAT: R%02d IS NOT LISTED IN GLONASS NAVIGATION FILE!!!", st);
    GLNbEphError(text);
  }
  const std::size_t k = static_cast<std::size_t>(at - slots.begin());
  const std::vector<int>& rows = slotRows[k];
  // Before the first record of st in the file: that record.
  if (t0 < rdata.GetMJD(rows.front())) return rows.front();
  // Then the first pair of records, in file order, whose epochs enclose t0
  // gives the nearer of the two (a tie the earlier); without such a pair the
  // last record.
  const auto nearer = [&](int held, int row) {
    const long double d1 = t0 - rdata.GetMJD(held);
    const long double d2 = rdata.GetMJD(row) - t0;
    return d1 > d2 ? row : held;
  };
  if (slotSorted[k]) {
    // Epochs strictly increasing: the pair ends at the first record not
    // earlier than t0, and every record before it is not later than t0.
    const auto first = std::partition_point(rows.begin() + 1, rows.end(), [&](int row) {
      return !(t0 <= rdata.GetMJD(row));
    });
    return first == rows.end() ? rows.back() : nearer(*(first - 1), *first);
  }
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rdata.GetMJD(rows[i - 1]) <= t0 && t0 <= rdata.GetMJD(rows[i]))
      return nearer(rows[i - 1], rows[i]);
  }
  return rows.back();
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

void GLNbEph::Derivative(const State& s, State& d) const { Derivative(s, asx, asy, asz, d); }

void GLNbEph::DiffEqTwoBody(const matrix<long double>& x, long double ax, long double ay,
                            long double az, matrix<long double>& y) const {
  State s, d;
  for (int i = 0; i < 6; ++i) s[static_cast<std::size_t>(i)] = x(i);
  Derivative(s, ax, ay, az, d);
  for (int i = 0; i < 6; ++i) y(i) = d[static_cast<std::size_t>(i)];
}

void GLNbEph::RungeKuttaStep(long double h, Slope* slope) {
  // Classical fourth-order Runge-Kutta step.
  if (slope != nullptr && slope->known) {
    D1 = slope->d;
  } else {
    Derivative(Xp, D1);
    if (slope != nullptr) *slope = {true, D1};
  }
  for (std::size_t i = 0; i < 6; ++i) tmp[i] = Xp[i] + D1[i] * h / 2;
  Derivative(tmp, D2);
  for (std::size_t i = 0; i < 6; ++i) tmp[i] = Xp[i] + D2[i] * h / 2;
  Derivative(tmp, D3);
  for (std::size_t i = 0; i < 6; ++i) tmp[i] = Xp[i] + D3[i] * h;
  Derivative(tmp, D4);
  for (std::size_t i = 0; i < 6; ++i)
    Xp[i] = Xp[i] + D1[i] * h / 6 + D2[i] * h / 3 + D3[i] * h / 3 + D4[i] * h / 6;
}

bool GLNbEph::CalcPosition(short st, const mjd& t0, const mjd& tindex, xyzt& pos, xyzt& vel,
                              short warning) {
  const int index = GetDataIndex(st, tindex);

  // Start epoch: the record epoch (GPS time) corrected to the system time
  // scale.
  const Start& start = starts[static_cast<std::size_t>(index)];
  const mjd& tS = start.epoch;
  const long double t0Dec = t0.GetMJDDec();
  const long double dt = (t0Dec - start.epochDec) * 24 * 3600;

  if (warning != 0 && std::fabs(dt) > kValidInterval) {
    const ymdhms cal = mjd2ymdhms(t0);
    char text[160];
    std::snprintf(text, sizeof text,
                  "SAT: R%02d [%4d-%02d-%02d %02d:%02d:%04.1lf] -> DT = %5.2lf min PARAMETER TO BIG [>16min]",
                  st, cal.GetYear(), cal.GetMonth(), cal.GetDay(), cal.GetHour(), cal.GetMinute(),
                  static_cast<double>(cal.GetSecond()), static_cast<double>(dt / 60));
    GLNbEphWarning(text);
  }

  // Days from its record a broadcast state describes no orbit, and the
  // integration would take time in proportion (a mistyped date in the file,
  // epochs far from the data): no values.
  if (!(std::fabs(dt) <= kMaxInterval)) {
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    pos.Set(nan, nan, nan, nan);
    vel.Set(nan, nan, nan, nan);
    return false;
  }

  // Clock: -TauN - GammaN * dt + TauC.
  const long double DT = start.clock - start.rate * dt + rhead.GetTauC();

  // Initial state and luni-solar acceleration.
  x0 = start.state[0];
  y0 = start.state[1];
  z0 = start.state[2];
  vx0 = start.state[3];
  vy0 = start.state[4];
  vz0 = start.state[5];
  asx = start.ax;
  asy = start.ay;
  asz = start.az;

  // Whole steps of diffinterval towards t0, then one shorter step ending on
  // it.  The states and epochs after whole steps depend only on the record,
  // the direction and the step, so they are kept and reused; the tests that
  // end the whole steps are made on every one of them all the same.
  const int sign = dt < 0 ? -1 : 1;
  long double h = sign * diffinterval;
  long double hd = h / 24 / 3600;
  bool whole = true;
  WholeSteps& chain = wholeSteps[sign < 0 ? 1 : 0];
  if (chain.row != index) {
    chain.row = index;
    chain.startSlope = Slope();
    chain.kept.clear();
  }
  std::vector<WholeStep>& kept = chain.kept;
  Xp = start.state;
  mjd e = tS;
  long double eDec = start.epochDec;
  std::size_t n = 0;
  long double taken = 0;  // the last step taken
  bool onChain = true;    // only whole steps taken so far

  // The loop below would restore the kept whole steps it takes one by one.
  // Whether it takes one more whole step from an epoch only turns from yes
  // to no along the chain (the epochs move steadily towards t0), so the
  // kept steps it takes are found by bisection and restored at once.
  const auto wholeStepFollows = [&](const mjd& from, long double fromDec) {
    const bool passed = (sign < 0 && from <= t0) || (sign > 0 && from >= t0);
    return !(std::fabs(t0Dec - fromDec) < std::fabs(hd)) && !passed && !(std::fabs(h) < kMinStep);
  };
  if (!kept.empty() && wholeStepFollows(e, eDec)) {
    const auto last = std::partition_point(kept.begin(), kept.end(), [&](const WholeStep& w) {
      return wholeStepFollows(w.epoch, w.epochDec);
    });
    n = std::min(static_cast<std::size_t>(last - kept.begin()) + 1, kept.size());
    Xp = kept[n - 1].state;
    e = kept[n - 1].epoch;
    eDec = kept[n - 1].epochDec;
    taken = h;
  }
  for (;;) {
    const long double rest = t0Dec - eDec;
    if (std::fabs(rest) < std::fabs(hd)) {
      hd = rest;
      h = hd * 24 * 3600;
      whole = false;
    }
    if ((sign < 0 && e <= t0) || (sign > 0 && e >= t0)) break;
    if (std::fabs(h) < kMinStep) break;
    if (whole && n < kept.size()) {
      Xp = kept[n].state;
      e = kept[n].epoch;
      eDec = kept[n].epochDec;
    } else {
      // While only whole steps were taken, Xp is the record's state or a
      // kept one, and the slope there is kept with it.
      Slope* slope = nullptr;
      if (onChain && n == 0) slope = &chain.startSlope;
      if (onChain && n > 0 && n <= kept.size()) slope = &kept[n - 1].slope;
      onChain = whole;
      RungeKuttaStep(h, slope);
      e += h;
      eDec = e.GetMJDDec();
      if (whole && n == kept.size() && n < kMaxKeptSteps) kept.push_back({Xp, e, eDec, Slope()});
    }
    taken = h;
    ++n;
  }
  stepCount = static_cast<long>(n);
  lastStep = taken;
  endEpoch = e;

  vel.Set(Xp[3], Xp[4], Xp[5], 0);
  pos.Set(Xp[0], Xp[1], Xp[2], DT);

  // Periodic relativistic clock term 2 (r . v) / c^2.
  Relativity = 2 * (vel.GetX() / kC * (pos.GetX() / kC) + vel.GetY() / kC * (pos.GetY() / kC) +
                    vel.GetZ() / kC * (pos.GetZ() / kC));
  pos.SetT(DT - Relativity);
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
