// Lagrange interpolation of the precise table: positions and their exact
// time derivative over the position window, clocks over the clock window,
// and the light-time solution for a receiver.  Time is counted in hours
// inside the interpolation.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>

#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/precise/GNSSpEphText.h"
#include "GNSS/geometry/LightTime.h"
#include "GNSS/base/mGNSSc.h"
#include "GNSS/base/satcode.h"
#include "GNSS/time/TimeConverse.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/report/SatelliteMessages.h"

namespace {

const char kProg[] = "Orbika";

// An interpolated clock above this magnitude (s) is a bad clock.
constexpr long double kBadClockLimit = 0.9;
// Clock delivered in place of a bad one, s.
constexpr long double kBadClockResult = 1.0;

// A tabulated position with |x| + |y| + |z| below this (m) is missing.
constexpr long double kMissingPosition = 1.0;
// An epoch closer than this to a node (hours) coincides with it.
constexpr long double kNodeCoincidence = 1e-10;
// Epochs farther than this outside the table (s) draw a warning.
constexpr long double kCoverageMargin = 900.0;
// Widest epoch spacing interpolated, s (see GNSSpEph.h: measured by
// thinning a real 5-minute table), and the rounding of the spacing allowed.
constexpr long double kMaxNodeSpacing = 900.0;
constexpr long double kSpacingRounding = 1e-3;

// Largest half-width of an interpolation window (fixed work arrays).
constexpr int kMaxHalfWidth = 16;
constexpr int kMaxNodes = 2 * kMaxHalfWidth;

constexpr long double kSpeedOfLight = mGNSSc::c;  // m/s
// Light time: from the reception epoch, until two ranges agree, at most ten
// passes and no warning.
constexpr lighttime::Rule kLightTime = {0, 1e-5, lighttime::Test::RangeSettles, 10, true};

const char* const kCoverageWarning =
    "CALCULATION EPOCH NOT IN EPOCH INTERVAL OF INPUT PRECISE ORBIT FILE!";

// For every j of 0..n-1, out[j] = start op f[0] op f[1] ... op f[n-1] with
// f[j] left out, applied from the left in index order (op is a product or a
// sum of the Lagrange basis).  Four of the j are carried side by side, so
// that each factor after them is loaded once for the four: extended
// precision values cost more to load than to multiply.
template <class Op>
void AllButOne(const long double* f, int n, long double start, Op op, long double* out) {
  long double before = start;  // start op f[0] op ... op f[j0 - 1]
  int j0 = 0;
  for (; j0 + 4 <= n; j0 += 4) {
    long double c0 = before;
    long double c1 = op(c0, f[j0]);
    long double c2 = op(c1, f[j0 + 1]);
    long double c3 = op(c2, f[j0 + 2]);
    before = op(c3, f[j0 + 3]);
    // The factors among the four, each to the ones before it.
    c0 = op(c0, f[j0 + 1]);
    c0 = op(c0, f[j0 + 2]);
    c1 = op(c1, f[j0 + 2]);
    c0 = op(c0, f[j0 + 3]);
    c1 = op(c1, f[j0 + 3]);
    c2 = op(c2, f[j0 + 3]);
    for (int k = j0 + 4; k < n; ++k) {
      const long double fk = f[k];
      c0 = op(c0, fk);
      c1 = op(c1, fk);
      c2 = op(c2, fk);
      c3 = op(c3, fk);
    }
    out[j0] = c0;
    out[j0 + 1] = c1;
    out[j0 + 2] = c2;
    out[j0 + 3] = c3;
  }
  for (; j0 < n; ++j0) {  // the last few one at a time
    long double c = before;
    for (int k = j0 + 1; k < n; ++k) c = op(c, f[k]);
    out[j0] = c;
    before = op(before, f[j0]);
  }
}

}  // namespace

// The Lagrange basis of a window of n nodes at one epoch.  E: epoch minus
// node, hours; for each node j, W: the numerator of its basis polynomial
// (the product of E over the other nodes, in node order); V: the same
// product without factors that vanish; U: the sum of 1/E over the other
// nodes, or 1 once the epoch falls on another node.  The derivative of the
// numerator is then V * U.
struct LagrangeBasis {
  int n;
  long double E[kMaxNodes];
  long double W[kMaxNodes], V[kMaxNodes], U[kMaxNodes];
};

namespace {

// Basis products where the epoch falls on a node: factors that vanish are
// left out of V and end the sum U.
void BasisOnNode(const long double* invE, LagrangeBasis& b) {
  for (int j = 0; j < b.n; ++j) {
    long double w = 1, v = 1, u = 0;
    bool onNode = false;
    for (int k = 0; k < b.n; ++k) {
      if (k == j) continue;
      w *= b.E[k];
      if (std::fabs(b.E[k]) > kNodeCoincidence) {
        v *= b.E[k];
        if (!onNode) u += invE[k];
      } else {
        u = 1;
        onNode = true;
      }
    }
    b.W[j] = w;
    b.V[j] = v;
    b.U[j] = u;
  }
}

// W, V and U of a basis whose E is set.
void BasisProducts(LagrangeBasis& b) {
  long double invE[kMaxNodes];  // 1 / E
  bool anyOnNode = false;
  for (int k = 0; k < b.n; ++k) {
    if (std::fabs(b.E[k]) > kNodeCoincidence)
      invE[k] = 1 / b.E[k];
    else
      anyOnNode = true;
  }
  if (anyOnNode) return BasisOnNode(invE, b);
  // No factor vanishes, so V = W.
  AllButOne(b.E, b.n, 1, [](long double a, long double c) { return a * c; }, b.W);
  AllButOne(invE, b.n, 0, [](long double a, long double c) { return a + c; }, b.U);
  for (int k = 0; k < b.n; ++k) b.V[k] = b.W[k];
}

}  // namespace

int GNSSpEph::NodesPos() const {
  const long n = 2L * nPtsPos;
  return static_cast<int>((nepoch >= 2 && nepoch < n) ? nepoch : n);
}

int GNSSpEph::NodesTime() const {
  const long n = 2L * nPtsTime;
  return static_cast<int>((nepoch >= 2 && nepoch < n) ? nepoch : n);
}

void GNSSpEph::SetNInterpPoints(int n) {
  if (n < 1 || n > kMaxHalfWidth)
    ProgramError(kProg, "NUMBER OF INTERPOLATION POINTS NOT VALID!");
  nPtsPos = n;
  SetLfact();
}

// Denominators of the Lagrange basis polynomials for nodes spaced by the
// interval: prod over j != i of (i - j) * interval, in hours.
void GNSSpEph::SetLfact() {
  const auto fill = [this](matrix<long double>& f, int n) {
    f.Resize(n);
    for (int i = 0; i < n; ++i) {
      long double p = 1;
      for (int j = 0; j < n; ++j)
        if (j != i) p *= static_cast<long double>(i - j) * interval / 3600;
      f(i) = p;
    }
  };
  fill(Lfact, NodesPos());
  fill(LfactDT, NodesTime());
  weightCache.clear();  // weights of the former windows
  regularTable = RegularTable();
  missingRecord.clear();
}

// Marks the records whose position is missing.
void GNSSpEph::MarkMissing() {
  missingRecord.resize(static_cast<std::size_t>(sPos.Length()));
  for (int r = 0; r < sPos.Length(); ++r) {
    const xyzt& rec = sPos(r);
    missingRecord[r] =
        std::fabs(rec.GetX()) + std::fabs(rec.GetY()) + std::fabs(rec.GetZ()) < kMissingPosition;
  }
}

// Window of n nodes whose reference index g lies between the nodes h and
// h + 1 (1-based), moved inside the table at either end.
long GNSSpEph::WindowFirst(long g, int h, int n) const {
  long first = g - h + 1;
  long last = g + h;
  if (first < 0) {
    first = 0;
    last = n - 1;
  }
  if (last >= nepoch) first = nepoch - n;
  return first;
}

// Reference index of an epoch, truncated toward zero.  Indices beyond the
// table pin the windows the same way, so the quotient is bounded first.
long GNSSpEph::ReferenceIndex(const mjd& ephCalc) const {
  long double q = (ephCalc - epoch(0)) / interval;
  if (!(q > -1)) q = -1;
  if (q > nepoch) q = nepoch;
  // Truncated through double, which the processor converts without a
  // change of rounding mode; the double may round up to the next whole
  // number, which is then taken back.
  long g = static_cast<long>(static_cast<double>(q));
  if (q >= 0 && g > q) --g;
  return g;
}

// List entry of a satellite, -1 when the list does not hold it.
long GNSSpEph::ListIndex(unsigned short sati) const {
  // The index built with the table (every listed number lies below its end).
  return sati < listIndex.size() ? listIndex[sati] : -1;
}

// True when a position of list entry s among the n epochs from first is
// missing.
bool GNSSpEph::WindowMissing(long first, int n, long s) const {
  for (int j = 0; j < n; ++j)
    if (missingRecord.at(static_cast<std::size_t>((first + j) * nsat + s))) return true;
  return false;
}

// Weights of one epoch: for each node j of the position window, the
// Lagrange basis polynomial (pos) and its derivative in metres per second
// per metre (vel); for each node of the clock window, its basis polynomial
// (clock).
struct GNSSpEph::Weights {
  const long double* pos;
  const long double* vel;
  const long double* clock;
};

namespace {
// Weight sets kept: half for the epochs whose window is centred on them,
// by their place within the interval (the epochs of a day at steps of 1 s
// or more over a 900 s table each get their own slot), half for the
// epochs near the table's ends, whose windows are pinned there.
constexpr std::size_t kCentredSlots = 1024;
constexpr std::size_t kCachedEpochs = 2 * kCentredSlots;

// Slot of a weight set from the epoch's place in the table: inWindow is
// its offset from the window's first node less the nodes before its own
// interval, s; the clock window's place off is part of the key.
std::size_t CacheSlot(long double inWindow, long double interval, long off) {
  if (inWindow >= 0 && inWindow < interval)
    return static_cast<std::size_t>(static_cast<double>(inWindow / interval * kCentredSlots));
  std::uint64_t bits;
  std::memcpy(&bits, &inWindow, sizeof bits);
  const std::uint64_t h = (bits ^ static_cast<std::uint64_t>(off)) * 0x9e3779b97f4a7c15ULL;
  return kCentredSlots + (static_cast<std::size_t>(h >> 54) & (kCentredSlots - 1));
}
}  // namespace

// True when every epoch lies a whole number of intervals after the first,
// exactly: the weights of an epoch then depend only on its offset from the
// window's first node.
bool GNSSpEph::RegularTable() const {
  for (long k = 1; k < nepoch; ++k)
    if (epoch(k) - epoch(0) != k * interval) return false;
  return true;
}

// Weight set of the epoch ephCalc for the position window at first and the
// clock window at firstT.  A set is laid out as its key (the epoch's offset
// from the first node, s, and the clock window's place in the position
// window), then the position, velocity and clock weights.  On a regular
// table, sets whose clock window lies inside the position window are kept
// in weightCache; others are built in scratch (room for 3 kMaxNodes + 2
// values).
GNSSpEph::Weights GNSSpEph::EpochWeights(const mjd& ephCalc, long first, long firstT,
                                         long double* scratch) {
  const int n = NodesPos(), m = NodesTime();
  const std::size_t stride = 2 * static_cast<std::size_t>(n) + m + 2;
  const long double d0 = ephCalc - epoch(first);
  const long off = firstT - first;
  const bool inside = off >= 0 && off + m <= n;
  long double* set = scratch;
  if (regularTable && inside) {
    if (weightCache.size() != kCachedEpochs * stride)
      weightCache.assign(kCachedEpochs * stride, std::nanl(""));  // NaN keys match nothing
    set = weightCache.data() + CacheSlot(d0 - (nPtsPos - 1) * interval, interval, off) * stride;
  }
  const Weights w = {set + 2, set + n + 2, set + 2 * n + 2};
  if (set != scratch && set[0] == d0 && set[1] == off) return w;
  set[0] = d0;
  set[1] = static_cast<long double>(off);

  // Epoch minus node, hours.
  LagrangeBasis b;
  b.n = n;
  for (int k = 0; k < n; ++k)
    b.E[k] = (regularTable ? d0 - k * interval : ephCalc - epoch(first + k)) / 3600;
  BasisProducts(b);
  long double* pos = set + 2;
  long double* vel = pos + n;
  for (int j = 0; j < n; ++j) {
    const long double L = Lfact(j);
    // Lagrange basis polynomial: numerator over denominator.
    pos[j] = b.W[j] / L;
    // Its derivative, per hour to per second.
    vel[j] = b.V[j] * b.U[j] / L / 3600;
  }
  long double ETown[kMaxNodes];
  if (!inside)
    for (int k = 0; k < m; ++k) ETown[k] = (ephCalc - epoch(firstT + k)) / 3600;
  const long double* ET = inside ? b.E + off : ETown;
  long double* clock = vel + n;
  for (int k = 0; k < m; ++k) {
    long double A = 1;
    for (int j = 0; j < m; ++j)
      if (j != k) A *= ET[j];
    clock[k] = A / LfactDT(k);
  }
  return w;
}

namespace {
// Sum over the n nodes from rec (stride records apart) of the node's
// coordinates times its weight.  Three sums fit the x87 register stack; six
// would be kept in memory.
xyz WeightedSum(const xyzt* rec, long stride, const long double* w, int n) {
  long double x = 0, y = 0, z = 0;
  for (int j = 0; j < n; ++j, rec += stride) {
    x += rec->GetX() * w[j];
    y += rec->GetY() * w[j];
    z += rec->GetZ() * w[j];
  }
  return xyz(x, y, z);
}
}  // namespace

// Position (psat x, y, z) and velocity (vsat x, y, z) of list entry s from
// the position window at first.
void GNSSpEph::SumPosition(const Weights& w, long first, long s, xyzt& psat, xyzt& vsat) const {
  const xyzt* rec = &sPos(first * nsat + s);
  // Lagrange interpolation: node values times basis polynomials, and times
  // their derivatives.
  const xyz p = WeightedSum(rec, nsat, w.pos, NodesPos());
  const xyz v = WeightedSum(rec, nsat, w.vel, NodesPos());
  psat.SetX(p.GetX());
  psat.SetY(p.GetY());
  psat.SetZ(p.GetZ());
  vsat.SetX(v.GetX());
  vsat.SetY(v.GetY());
  vsat.SetZ(v.GetZ());
}

long double GNSSpEph::SumClock(const Weights& w, long firstT, long s) const {
  long double clock = 0;
  for (int k = 0; k < NodesTime(); ++k) clock += sPos((firstT + k) * nsat + s).GetT() * w.clock[k];
  return clock;
}

long GNSSpEph::ClockMarker(long first, int n, long s) const {
  for (long k = first; k < first + n; ++k)
    if (std::fabs(sPos(k * nsat + s).GetT()) > kBadClockLimit) return k;
  return -1;
}

// Clock (s) of list entry s by Lagrange interpolation over the clock window
// at firstT, or by the rules for a window that holds a bad-clock marker.
long double GNSSpEph::InterpolateClock(const mjd& ephCalc, const Weights& w, long first,
                                       long firstT, long s) {
  const long marker = ClockMarker(firstT, NodesTime(), s);
  if (marker < 0) return SumClock(w, firstT, s);
  return ClockBesideMarker(ephCalc, first, firstT, marker, s);
}

// A valid clock stays valid: a marker in the window spoils only the epochs
// that no window without it brackets.
long double GNSSpEph::ClockBesideMarker(const mjd& ephCalc, long first, long firstT,
                                        long marker, long s) {
  const long g = ReferenceIndex(ephCalc);
  const int m = NodesTime();
  const auto clockAt = [&](long k) { return sPos(k * nsat + s).GetT(); };
  const auto valid = [&](long k) {
    return k >= 0 && k < nepoch && !(std::fabs(clockAt(k)) > kBadClockLimit);
  };
  // At a node: its own clock, or none.
  for (long k : {g, g + 1})
    if (k >= 0 && k < nepoch && std::fabs(ephCalc - epoch(k)) < kNodeCoincidence * 3600) {
      if (valid(k)) return clockAt(k);
      DTisOK = false;
      return kBadClockResult;
    }
  // The window moved one node away from the marker.
  const long moved = marker <= g ? firstT + 1 : firstT - 1;
  if (moved >= 0 && moved + m <= nepoch && epoch(moved) < ephCalc &&
      ephCalc < epoch(moved + m - 1) && ClockMarker(moved, m, s) < 0) {
    long double scratch[3 * kMaxNodes + 2];
    return SumClock(EpochWeights(ephCalc, first, moved, scratch), moved, s);
  }
  // Linear interpolation between the two bracketing nodes.
  if (valid(g) && valid(g + 1)) {
    const long double f = (ephCalc - epoch(g)) / (epoch(g + 1) - epoch(g));
    return clockAt(g) + f * (clockAt(g + 1) - clockAt(g));
  }
  DTisOK = false;
  return kBadClockResult;
}

// True for an epoch more than one interval before the first or after the
// last epoch of the table: a polynomial of 14 nodes carried further grows
// without bound (hours beyond a 15-minute table it puts satellites millions
// of kilometres away).  The first such epoch draws the one warning.
bool GNSSpEph::FarOutside(const mjd& ephCalc) {
  if (!(epoch(0) - ephCalc > interval || ephCalc - epoch(nepoch - 1) > interval)) return false;
  if (warnedFarOutside) return true;
  warnedFarOutside = true;
  char t[sp3text::kEpochTextSize], what[200];
  sp3text::EpochText(ephCalc, t);
  std::snprintf(what, sizeof what,
                "FIRST EPOCH MORE THAN ONE INTERVAL OUTSIDE THE TABLE: %s - SUCH EPOCHS ARE "
                "NOT EXTRAPOLATED, THEIR PRECISE COLUMNS ARE WRITTEN AS nan!",
                t);
  sp3text::FileWarning(sp3file, what);
  return true;
}

namespace {
// GPS and GLONASS keep the framed warning at every such epoch; the other
// systems, and runs for programs, name the satellite once.
void CoverageWarning(unsigned short sati, const mjd& t) {
  char sat[8];
  if (!satcode::Format(static_cast<short>(sati), sat)) sat[0] = '\0';
  std::string what(kCoverageWarning);
  what.pop_back();  // the '!' closes the framed form only
  const bool lines = sat[0] != 'G' && sat[0] != 'R';
  if (satmsg::Note(kProg, what, sat, IsoText(t), lines)) ProgramWarning(kProg, kCoverageWarning);
}
}  // namespace

void GNSSpEph::CheckSpacing() {
  tooSparse = interval > kMaxNodeSpacing + kSpacingRounding;
  if (!tooSparse) return;
  char what[200];
  std::snprintf(what, sizeof what,
                "EPOCH INTERVAL %.3Lf s WIDER THAN THE %.0Lf s THE INTERPOLATION BEARS - PRECISE "
                "COLUMNS ARE WRITTEN AS nan!",
                interval, kMaxNodeSpacing);
  sp3text::FileWarning(sp3file, what);
}

void GNSSpEph::CalcPosition(unsigned short sati, mjd& ephCalc, xyzt& psat, xyzt& vsat) {
  if (nepoch < 2) {  // nothing read
    PSisOK = DTisOK = false;
    return;
  }
  if (FarOutside(ephCalc)) {
    PSisOK = DTisOK = false;
    return;
  }
  // Coverage: extrapolation more than the margin outside the table.
  if (epoch(0) - ephCalc > kCoverageMargin || ephCalc - epoch(nepoch - 1) > kCoverageMargin)
    CoverageWarning(sati, ephCalc);
  if (tooSparse) {
    PSisOK = DTisOK = false;
    return;
  }

  const long g = ReferenceIndex(ephCalc);
  const long s = ListIndex(sati);
  if (s < 0) {
    PSisOK = DTisOK = false;
    return;
  }
  // A missing position anywhere in the window invalidates the result.
  if (missingRecord.size() != static_cast<std::size_t>(sPos.Length())) MarkMissing();
  const long first = WindowFirst(g, nPtsPos, NodesPos());
  if (WindowMissing(first, NodesPos(), s)) {
    PSisOK = DTisOK = false;
    return;
  }
  PSisOK = DTisOK = true;
  const long firstT = WindowFirst(g, nPtsTime, NodesTime());
  long double scratch[3 * kMaxNodes + 2];
  const Weights w = EpochWeights(ephCalc, first, firstT, scratch);
  SumPosition(w, first, s, psat, vsat);
  psat.SetT(InterpolateClock(ephCalc, w, first, firstT, s));
  vsat.SetT(0);
}

// Light-time solution: the satellite at the transmission epoch
// ephCalc - range / c, the receiver rotated by the Earth's rotation during
// the travel time (the satellite's frame is that of the transmission epoch).
void GNSSpEph::CalcPosition(unsigned short sati, mjd& ephCalc, xyz& prec, xyzt& psat,
                               xyzt& vsat) {
  const lighttime::Result r =
      lighttime::Solve(ephCalc, prec, OMEGAz, kLightTime, [&](const mjd& t, xyz& pos) {
        ephr = t;
        CalcPosition(sati, ephr, p0, v0);
        pos = p0;
        return PSisOK;
      });
  ephr = r.transmission;
  ps = r.receiver;
  if (r.end == lighttime::End::NoSatellite) return;
  // Relativistic clock term of the eccentric orbit, 2 (r . v) / c^2.
  Relativity = 2 * (p0.GetX() * v0.GetX() + p0.GetY() * v0.GetY() + p0.GetZ() * v0.GetZ()) /
               (kSpeedOfLight * kSpeedOfLight);
  psat = p0;
  vsat = v0;
  // A bad clock keeps its marker value.
  if (DTisOK) psat.SetT(p0.GetT() - Relativity);
}

void GNSSpEph::CalcPosition(unsigned short sati, mjd& ephCalc, xyz& prec, xyzt& psat) {
  xyzt vsat;
  CalcPosition(sati, ephCalc, prec, psat, vsat);
}
