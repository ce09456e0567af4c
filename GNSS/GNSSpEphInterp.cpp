// Lagrange interpolation of the precise table: positions and their exact
// time derivative over the position window, clocks over the clock window,
// and the light-time solution for a receiver.  Time is counted in hours
// inside the interpolation.
#include <algorithm>
#include <cmath>

#include "GNSS/GNSSpEph.h"
#include "PROGINC/ProgramError.h"

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

// Largest half-width of an interpolation window (fixed work arrays).
constexpr int kMaxHalfWidth = 16;
constexpr int kMaxNodes = 2 * kMaxHalfWidth;

// Light-time iteration.
constexpr long double kSpeedOfLight = 299792458.0;  // m/s
constexpr int kMaxLightTimeIter = 10;
constexpr long double kLightTimeTolerance = 1e-5;  // m

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
  std::copy(b.W, b.W + b.n, b.V);
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
  return static_cast<long>(q);
}

// List entry of a satellite, -1 when the list does not hold it.
long GNSSpEph::ListIndex(unsigned short sati) const {
  for (long k = 0; k < nsat; ++k)
    if (satList(k) == static_cast<int>(sati)) return k;
  return -1;
}

// True when a position of list entry s among the n epochs from first is
// missing.
bool GNSSpEph::WindowMissing(long first, int n, long s) const {
  for (int j = 0; j < n; ++j) {
    const xyzt& rec = sPos((first + j) * nsat + s);
    if (std::fabs(rec.GetX()) + std::fabs(rec.GetY()) + std::fabs(rec.GetZ()) < kMissingPosition)
      return true;
  }
  return false;
}

// Position (psat x, y, z) and velocity (vsat x, y, z) of list entry s from
// the position window at first.  The position sums and the velocity sums
// are formed in separate passes, each over the nodes in order, so that each
// pass keeps its three sums in registers.
void GNSSpEph::SumPosition(const LagrangeBasis& b, long first, long s, xyzt& psat, xyzt& vsat) const {
  long double px = 0, py = 0, pz = 0, vx = 0, vy = 0, vz = 0;
  for (int j = 0; j < b.n; ++j) {
    const xyzt& rec = sPos((first + j) * nsat + s);
    const long double L = Lfact(j);
    // Lagrange interpolation: sum of node values times basis polynomials.
    px += rec.GetX() * b.W[j] / L;
    py += rec.GetY() * b.W[j] / L;
    pz += rec.GetZ() * b.W[j] / L;
  }
  for (int j = 0; j < b.n; ++j) {
    const xyzt& rec = sPos((first + j) * nsat + s);
    const long double L = Lfact(j);
    // Derivative of the same polynomial, metres per hour to metres per second.
    vx += rec.GetX() * b.V[j] * b.U[j] / L / 3600;
    vy += rec.GetY() * b.V[j] * b.U[j] / L / 3600;
    vz += rec.GetZ() * b.V[j] * b.U[j] / L / 3600;
  }
  psat.SetX(px);
  psat.SetY(py);
  psat.SetZ(pz);
  vsat.SetX(vx);
  vsat.SetY(vy);
  vsat.SetZ(vz);
}

// Clock (s) of list entry s at ephCalc by Lagrange interpolation over the
// clock window of reference index g; b is the basis of the position window
// at first, whose E values are reused where the clock nodes lie inside it.
// A bad clock in the window gives DTisOK false and the bad-clock result.
long double GNSSpEph::InterpolateClock(const LagrangeBasis& b, long first, long g, long s,
                                       const mjd& ephCalc) {
  const int m = NodesTime();
  const long firstT = WindowFirst(g, nPtsTime, m);
  const long off = firstT - first;
  const bool inside = off >= 0 && off + m <= b.n;
  long double ETown[kMaxNodes];
  if (!inside)
    for (int k = 0; k < m; ++k) ETown[k] = (ephCalc - epoch(firstT + k)) / 3600;
  const long double* ET = inside ? b.E + off : ETown;
  long double clock = 0;
  for (int k = 0; k < m; ++k) {
    long double A = 1;
    for (int j = 0; j < m; ++j)
      if (j != k) A *= ET[j];
    const long double dt = sPos((firstT + k) * nsat + s).GetT();
    if (std::fabs(dt) > kBadClockLimit) {
      DTisOK = false;
      return kBadClockResult;
    }
    clock += dt * A / LfactDT(k);
  }
  return clock;
}

void GNSSpEph::CalcOrbikaition(unsigned short sati, mjd& ephCalc, xyzt& psat, xyzt& vsat) {
  if (nepoch < 2) {  // nothing read
    PSisOK = DTisOK = false;
    return;
  }
  // Coverage: extrapolation more than the margin outside the table.
  if (epoch(0) - ephCalc > kCoverageMargin || ephCalc - epoch(nepoch - 1) > kCoverageMargin)
    ProgramWarning(kProg, kCoverageWarning);

  const long g = ReferenceIndex(ephCalc);
  const long s = ListIndex(sati);
  if (s < 0) {
    PSisOK = DTisOK = false;
    return;
  }
  // A missing position anywhere in the window invalidates the result.
  LagrangeBasis b;
  b.n = NodesPos();
  const long first = WindowFirst(g, nPtsPos, b.n);
  if (WindowMissing(first, b.n, s)) {
    PSisOK = DTisOK = false;
    return;
  }
  PSisOK = DTisOK = true;
  for (int k = 0; k < b.n; ++k) b.E[k] = (ephCalc - epoch(first + k)) / 3600;
  BasisProducts(b);
  SumPosition(b, first, s, psat, vsat);
  psat.SetT(InterpolateClock(b, first, g, s, ephCalc));
  vsat.SetT(0);
}

// Light-time solution: the satellite at the transmission epoch
// ephCalc - range / c, the receiver rotated by the Earth's rotation during
// the travel time (the satellite's frame is that of the transmission epoch).
void GNSSpEph::CalcOrbikaition(unsigned short sati, mjd& ephCalc, xyz& prec, xyzt& psat,
                               xyzt& vsat) {
  long double tau = 0;  // travel time, s
  long double rho = 0;  // range, m
  for (int it = 0; it < kMaxLightTimeIter; ++it) {
    ephr = ephCalc;
    ephr += -tau;
    CalcOrbikaition(sati, ephr, p0, v0);
    if (!PSisOK) return;
    ps = prec.RotateZ(OMEGAz * tau);
    const long double dx = p0.GetX() - ps.GetX();
    const long double dy = p0.GetY() - ps.GetY();
    const long double dz = p0.GetZ() - ps.GetZ();
    const long double range = std::sqrt(dx * dx + dy * dy + dz * dz);
    const bool converged = std::fabs(range - rho) < kLightTimeTolerance;
    rho = range;
    tau = rho / kSpeedOfLight;
    if (converged) break;
  }
  // Relativistic clock term of the eccentric orbit, 2 (r . v) / c^2.
  Relativity = 2 * (p0.GetX() * v0.GetX() + p0.GetY() * v0.GetY() + p0.GetZ() * v0.GetZ()) /
               (kSpeedOfLight * kSpeedOfLight);
  psat = p0;
  vsat = v0;
  // A bad clock keeps its marker value.
  if (DTisOK) psat.SetT(p0.GetT() - Relativity);
}

void GNSSpEph::CalcOrbikaition(unsigned short sati, mjd& ephCalc, xyz& prec, xyzt& psat) {
  xyzt vsat;
  CalcOrbikaition(sati, ephCalc, prec, psat, vsat);
}
