// make_examples: writes the sample data set of examples/ (see
// tools/example_set.h for what it holds and why).
//
//   make_examples [FOLDER]      (default: examples)
//
// Writes, into an existing FOLDER, a RINEX 2 GPS navigation file, a RINEX 2
// GLONASS navigation file, an ANTEX file and an SP3-c file.  The two
// navigation files are written first, from the nominal elements of
// example_set.h; they are then read back with the program's own stores, and
// the SP3 table is made from the broadcast positions and clocks that the
// program itself computes from them, moved by the documented offsets, the
// clocks without the periodic relativistic term, as precise clocks are.  The
// output depends on nothing but the constants and the program's code, so a
// second run writes the same bytes.
//
// Formats: RINEX 2.11 navigation records (I2, five I3, F5.1, then D19.12
// fields, four to a continuation line); SP3-c (Hilla, NGS) position and clock
// records in km and microseconds with 6 decimals; ANTEX 1.4 satellite
// antenna records without phase-centre variations.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/broadcast/GPSbEph.h"
#include "GNSS/geometry/OrbitFrame.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/base/mGNSSc.h"
#include "GNSS/time/mjd.h"
#include "GNSS/geometry/xyz.h"
#include "GNSS/geometry/xyzt.h"
#include "GNSS/time/ymdhms.h"
#include "matrix/matrix.h"
#include "tools/example_set.h"

namespace {

using namespace examples;

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kDeg = kPi / 180.0L;
constexpr long double kSecondsPerDay = 86400.0L;
// MJD of the GPS time origin, 1980-01-06.
constexpr long kGpsOriginMJD = 44244;

// Step of the integration that makes the GLONASS record states, s: far
// shorter than the program's 30 s, so the records lie on the orbit of the
// equations of motion to well below a millimetre.
constexpr long double kFineStep = 5.0L;
// Half-width of the central difference that gives GPS velocities, s.
constexpr long double kVelocityStep = 1.0L;
// SP3 accuracy exponents of positions (1.25^5 mm) and clocks (1.025^100 ps).
constexpr int kSp3Accuracy = 5;
constexpr int kSp3ClockAccuracy = 100;

// A text file written line by line, with '\n' line ends on every system;
// a file that cannot be written ends the run.
class TextFile {
 public:
  explicit TextFile(const std::string& path) : path_(path), out_(path, std::ios::binary) {
    if (!out_) Fail("cannot be written");
  }
  void Line(const std::string& text) { out_ << text << '\n'; }
  // A header line: text left-aligned in 60 columns, then the label.
  void Header(const std::string& text, const char* label) {
    std::string line = text;
    line.resize(60, ' ');
    Line(line + label);
  }
  void Close() {
    out_.close();
    if (!out_) Fail("could not be completed");
  }

 private:
  [[noreturn]] void Fail(const char* what) const {
    std::cerr << "make_examples: " << path_ << " " << what << "\n";
    std::exit(1);
  }
  std::string path_;
  std::ofstream out_;
};

// printf into a std::string.
template <typename... Args>
std::string Format(const char* fmt, Args... args) {
  char buf[512];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

// A number in Fortran D notation with the mantissa in [0.1, 1) and the given
// number of decimals (D19.12 for 12, D12.4 for 4), right-aligned in width.
std::string FortranD(long double v, int decimals, int width) {
  int exponent = 0;
  std::string digits(decimals, '0');
  if (v != 0) {
    // d.ddd...E+xx with `decimals` significant digits, then shift the point.
    const std::string e = Format("%#.*LE", decimals - 1, std::fabs(v));
    const size_t letter = e.find('E');
    digits = e.substr(0, 1) + e.substr(2, letter - 2);
    exponent = std::atoi(e.c_str() + letter + 1) + 1;
  }
  const std::string text =
      Format("%s0.%sD%+03d", v < 0 ? "-" : "", digits.c_str(), exponent);
  return std::string(width > static_cast<int>(text.size()) ? width - text.size() : 0, ' ') + text;
}
std::string D19(long double v) { return FortranD(v, 12, 19); }

// Epoch helpers (GPS time unless said otherwise).
mjd DayStart() { return ymdhms2mjd(ymdhms(kYear, kMonth, kDay, 0, 0, 0.0L)); }
mjd After(const mjd& t, long double seconds) {
  mjd r = t;
  r += seconds;
  return r;
}
// Seconds of the GPS week of an epoch of the set's week.
long double SecondsOfWeek(const mjd& t) {
  return kDayOfWeek * kSecondsPerDay + (t - DayStart());
}
// The epoch fields of a RINEX 2 navigation record: I2.2 year, then month,
// day, hour and minute as I3 and the second as F5.1.
std::string RinexEpoch(const mjd& t) {
  const ymdhms c = mjd2ymdhms(t);
  return Format(" %02d %2d %2d %2d %2d%5.1Lf", c.GetYear() % 100, c.GetMonth(), c.GetDay(),
                c.GetHour(), c.GetMinute(), c.GetSecond());
}
// Four D19.12 fields of a navigation continuation line.
std::string Continuation(long double a, long double b, long double c, long double d) {
  return "   " + D19(a) + D19(b) + D19(c) + D19(d);
}
// One or two D19.12 fields (the last line of a GPS record).
std::string Continuation(long double a, long double b) { return "   " + D19(a) + D19(b); }

// Angle reduced to [-pi, pi).
long double Wrap(long double a) { return a - 2 * kPi * std::floor((a + kPi) / (2 * kPi)); }

// The opening lines of both navigation files: version and type, program
// and date, and two comment lines saying how the set was made.
void NavHeaderStart(TextFile& f, const char* type, const char* how, const char* how2) {
  f.Header(std::string("     2.11           ") + type, "RINEX VERSION / TYPE");
  f.Header("make_examples       Orbika              20240515 000000 UTC", "PGM / RUN BY / DATE");
  f.Header(std::string("Orbika example set: ") + how, "COMMENT");
  f.Header(how2, "COMMENT");
}

// ---- GPS navigation file -----------------------------------------------

void WriteGpsNav(const std::string& path) {
  TextFile f(path);
  NavHeaderStart(f, "N: GPS NAV DATA", "one Keplerian orbit per satellite,",
                 "Toc = Toe every 2 h, harmonic corrections zero");
  // Typical broadcast ionosphere and UTC parameters; read, not used.
  f.Header("  " + FortranD(0.1118e-07L, 4, 12) + FortranD(0.7451e-08L, 4, 12) +
               FortranD(-0.5960e-07L, 4, 12) + FortranD(-0.5960e-07L, 4, 12),
           "ION ALPHA");
  f.Header("  " + FortranD(0.9011e+05L, 4, 12) + FortranD(0.1638e+05L, 4, 12) +
               FortranD(-0.1966e+06L, 4, 12) + FortranD(-0.6554e+05L, 4, 12),
           "ION BETA");
  f.Header("   " + D19(0.931322574615e-09L) + D19(0.888178419700e-15L) +
               Format("%9d%9d", 319488, kGpsWeek),
           "DELTA-UTC: A0,A1,T,W");
  f.Header("    18", "LEAP SECONDS");
  f.Header("", "END OF HEADER");

  const mjd first = DayStart();
  for (int k = 0; k < kGpsRecords; ++k) {
    const long double since = static_cast<long double>(k) * kGpsRecordStep;  // s since 00:00
    const mjd toc = After(first, since);
    for (const GpsSatellite& s : kGps) {
      const long double a = s.sqrtA * s.sqrtA;
      // Mean motion n = sqrt(GM / a^3) + delta n; the record's elements are
      // those of the first record carried forward by their rates.
      const long double n = std::sqrt(GPSc::GM / a) / a + kGpsDeltaN;
      const long double m0 = Wrap(s.m0 * kDeg + n * since);
      const long double node = Wrap((kGpsNode0 + 60.0L * s.plane) * kDeg + kGpsOmegaDot * since);
      const long double incl = s.i0 * kDeg + kGpsIdot * since;
      const long double af0 = s.af0 + s.af1 * since;
      const long double toe = SecondsOfWeek(toc);
      const int iode = 10 + k;
      f.Line(Format("%2d", s.prn) + RinexEpoch(toc) + D19(af0) + D19(s.af1) + D19(0));
      f.Line(Continuation(iode, 0, kGpsDeltaN, m0));
      f.Line(Continuation(0, s.e, 0, s.sqrtA));
      f.Line(Continuation(toe, 0, node, 0));
      f.Line(Continuation(incl, 0, s.omega * kDeg, kGpsOmegaDot));
      f.Line(Continuation(kGpsIdot, 1, kGpsWeek, 0));
      f.Line(Continuation(2.0L, 0, s.tgd, iode));
      f.Line(Continuation(toe - kGpsRecordStep, 4.0L));
    }
  }
  f.Close();
}

// ---- GLONASS navigation file -------------------------------------------

using State = matrix<long double>;  // x, y, z (m), vx, vy, vz (m/s)

// Earth-fixed state of an orbit given by Keplerian elements in the
// Earth-fixed frame of the instant: perifocal position and velocity turned
// by the argument of perigee, the inclination and the node, then the frame's
// rotation taken out of the velocity (v_ef = v - omega_E x r).
State InitialState(const GlonassSatellite& s) {
  const long double a = s.a * 1000.0L, e = s.e, m = s.m0 * kDeg;
  long double ea = m;  // eccentric anomaly by Newton's method on E - e sin E = M
  for (int i = 0; i < 20; ++i) ea -= (ea - e * std::sin(ea) - m) / (1 - e * std::cos(ea));
  const long double nu = std::atan2(std::sqrt(1 - e * e) * std::sin(ea), std::cos(ea) - e);
  const long double r = a * (1 - e * std::cos(ea));  // radius
  const long double p = a * (1 - e * e);               // semi-latus rectum
  const long double vs = std::sqrt(GLONASSc::GM / p);
  const xyz pos = xyz(r * std::cos(nu), r * std::sin(nu), 0)
                      .RotateZ(s.omega * kDeg)
                      .RotateX(s.i * kDeg)
                      .RotateZ(s.node * kDeg);
  const xyz vel = xyz(-vs * std::sin(nu), vs * (e + std::cos(nu)), 0)
                      .RotateZ(s.omega * kDeg)
                      .RotateX(s.i * kDeg)
                      .RotateZ(s.node * kDeg);
  State x(6, 1);
  x(0) = pos.GetX();
  x(1) = pos.GetY();
  x(2) = pos.GetZ();
  x(3) = vel.GetX() + GLONASSc::OMEGAe * pos.GetY();
  x(4) = vel.GetY() - GLONASSc::OMEGAe * pos.GetX();
  x(5) = vel.GetZ();
  return x;
}

// Moves the state x by `seconds` (a whole number of kFineStep) with
// classical Runge-Kutta steps on the program's own equations of motion,
// without luni-solar accelerations.
void Integrate(const GLNbEph& eq, State& x, long double seconds) {
  State d1(6, 1), d2(6, 1), d3(6, 1), d4(6, 1), tmp(6, 1);
  const long double h = kFineStep;
  // tmp = x + f * d, the intermediate state of a stage.
  auto stage = [&](const State& d, long double f) -> const State& {
    for (int i = 0; i < 6; ++i) tmp(i) = x(i) + d(i) * f;
    return tmp;
  };
  const long steps = std::lround(seconds / h);
  for (long n = 0; n < steps; ++n) {
    eq.DiffEqTwoBody(x, 0, 0, 0, d1);
    eq.DiffEqTwoBody(stage(d1, h / 2), 0, 0, 0, d2);
    eq.DiffEqTwoBody(stage(d2, h / 2), 0, 0, 0, d3);
    eq.DiffEqTwoBody(stage(d3, h), 0, 0, 0, d4);
    for (int i = 0; i < 6; ++i) x(i) += h / 6 * (d1(i) + 2 * d2(i) + 2 * d3(i) + d4(i));
  }
}

void WriteGlonassNav(const std::string& path) {
  TextFile f(path);
  NavHeaderStart(f, "G: GLONASS NAV DATA", "one integrated orbit per satellite,",
                 "a record every 30 min, luni-solar accelerations zero");
  f.Header(Format("%6d%6d%6d   ", kYear, kMonth, kDay) + D19(0), "CORR TO SYSTEM TIME");
  f.Header("    18", "LEAP SECONDS");
  f.Header("", "END OF HEADER");

  const GLNbEph equations;  // the program's equations of motion
  std::vector<State> states;
  for (const GlonassSatellite& s : kGlonass) states.push_back(InitialState(s));

  // Record epochs are UTC, at full minutes as broadcast.
  const mjd firstUtc = DayStart();
  for (int k = 0; k < kGlonassRecords; ++k) {
    const long double since = static_cast<long double>(k) * kGlonassRecordStep;
    const mjd tb = After(firstUtc, since);
    // Message frame time: 15 min before tb, in seconds of the UTC day.
    const long double tk = std::fmod(tb.GetSecond() + kSecondsPerDay - 900.0L, kSecondsPerDay);
    for (size_t j = 0; j < states.size(); ++j) {
      const GlonassSatellite& s = kGlonass[j];
      State& x = states[j];
      if (k > 0) Integrate(equations, x, kGlonassRecordStep);
      const long double clock = s.minusTauN - s.gammaN * since;  // -TauN at tb
      f.Line(Format("%2d", s.slot) + RinexEpoch(tb) + D19(clock) + D19(s.gammaN) + D19(tk));
      f.Line(Continuation(x(0) / 1000, x(3) / 1000, 0, 0));
      f.Line(Continuation(x(1) / 1000, x(4) / 1000, 0, s.frequency));
      f.Line(Continuation(x(2) / 1000, x(5) / 1000, 0, 0));
    }
  }
  f.Close();
}

// ---- ANTEX file ----------------------------------------------------------

void WriteAntenna(TextFile& f, const char* type, char system, short number, long double upMetres,
                  double zen2) {
  const char* freqs = system == 'G' ? "G01G02" : "R01R02";
  f.Header("", "START OF ANTENNA");
  f.Header(Format("%-20s%c%02d", type, system, number), "TYPE / SERIAL NO");
  f.Header("NOMINAL             Orbika example set       0    15-MAY-24",
           "METH / BY / # / DATE");
  f.Header("     0.0", "DAZI");
  f.Header(Format("  %6.1f%6.1f%6.1f", 0.0, zen2, 1.0), "ZEN1 / ZEN2 / DZEN");
  f.Header("     2", "# OF FREQUENCIES");
  f.Header("  2020     1     1     0     0    0.0000000", "VALID FROM");
  for (int q = 0; q < 2; ++q) {
    const std::string code(freqs + 3 * q, 3);
    f.Header("   " + code, "START OF FREQUENCY");
    f.Header(Format("%10.2f%10.2f%10.2Lf", 0.0, 0.0, upMetres * 1000.0L), "NORTH / EAST / UP");
    std::string noazi = "   NOAZI";
    for (double z = 0; z <= zen2 + 1e-9; z += 1.0) noazi += Format("%8.2f", 0.0);
    f.Line(noazi);
    f.Header("   " + code, "END OF FREQUENCY");
  }
  f.Header("", "END OF ANTENNA");
}

void WriteAntex(const std::string& path) {
  // Antenna types by satellite, as plausible for the set (offsets are the
  // set's own, not those of the real blocks).
  const char* gpsBlock[] = {"BLOCK IIR-B", "BLOCK IIR-M", "BLOCK IIF", "BLOCK IIIA"};
  const char* glonassType[] = {"GLONASS-M", "GLONASS-K1", "GLONASS-M"};
  TextFile f(path);
  f.Header("     1.4            M", "ANTEX VERSION / SYST");
  f.Header("A", "PCV TYPE / REFANT");
  f.Header("Orbika example set: satellite antenna offsets along the", "COMMENT");
  f.Header(Format("body z axis only, %.1Lf m GPS, %.1Lf m GLONASS", kGpsAntennaUp,
                  kGlonassAntennaUp),
           "COMMENT");
  f.Header("", "END OF HEADER");
  for (size_t j = 0; j < std::size(kGps); ++j)
    WriteAntenna(f, gpsBlock[j], 'G', kGps[j].prn, kGpsAntennaUp, 17.0);
  for (size_t j = 0; j < std::size(kGlonass); ++j)
    WriteAntenna(f, glonassType[j], 'R', kGlonass[j].slot, kGlonassAntennaUp, 15.0);
  f.Close();
}

// ---- SP3 file ------------------------------------------------------------

// One satellite of the SP3 table.
struct Sp3Satellite {
  char letter;
  short number;     // PRN or slot
  long double up;   // antenna z offset, m
  Offset offset;
};

const Offset& OffsetOf(short sat) {
  for (const Offset& o : kOffsets)
    if (o.sat == sat) return o;
  std::cerr << "make_examples: no offset for satellite " << sat << "\n";
  std::exit(1);
}

// Centre-of-mass position and clock (m, s) written for satellite s, from the
// program's broadcast position b (m, clock s) and Earth-fixed velocity v
// (m/s) at the same epoch.  relativity is the store's GetRelativity() of
// that computation: the periodic relativistic term the broadcast clock holds,
// with its sign reversed.  Precise clocks leave that term out, so it is
// taken out here too.
xyzt PreciseRecord(const Sp3Satellite& s, const xyzt& b, const xyz& v, long double relativity) {
  const xyz r(b.GetX(), b.GetY(), b.GetZ());
  // The orbit's own frame, as OrbikaStats splits the differences.
  const OrbitFrame f = OrbitFrameOf(r, v);
  // Phase-centre position: broadcast plus the documented offset.
  const xyz apc =
      r + s.offset.radial * f.radial + s.offset.along * f.along + s.offset.cross * f.cross;
  // The program moves a position by `up` towards the Earth's centre; the
  // centre of mass is therefore `up` further out along the same line.
  const long double len = apc.GetLength();
  const xyz com = apc * ((len + s.up) / len);
  return xyzt(com.GetX(), com.GetY(), com.GetZ(),
              b.GetT() + relativity + s.offset.clockNs * 1e-9L);
}

// The program's broadcast state of satellite s at epoch t: position and
// clock, Earth-fixed velocity, and the store's GetRelativity() of that
// computation.
struct Broadcast {
  xyzt b;
  xyz v;
  long double relativity = 0;
};

Broadcast BroadcastOf(GPSbEph& gps, GLNbEph& glonass, const Sp3Satellite& s, const mjd& t) {
  Broadcast out;
  if (s.letter != 'G') {
    xyzt vel;
    glonass.CalcPosition(s.number, t, t, out.b, vel, 0);
    out.relativity = glonass.GetRelativity();
    out.v = vel;
    return out;
  }
  // Velocity by a central difference of the same record's orbit.
  long double tgd = 0;
  xyzt before, after;
  gps.CalcPosition(s.number, t, t, out.b, &tgd, 0, 0);
  out.relativity = gps.GetRelativity();
  gps.CalcPosition(s.number, After(t, -kVelocityStep), t, before, &tgd, 0, 0);
  gps.CalcPosition(s.number, After(t, kVelocityStep), t, after, &tgd, 0, 0);
  out.v = after - before;
  out.v /= 2 * kVelocityStep;
  return out;
}

// The SP3 header of the satellites sats from epoch start.
void WriteSp3Header(TextFile& f, const std::vector<Sp3Satellite>& sats, const mjd& start) {
  f.Line(Format("#cP%4d %2d %2d %2d %2d %11.8f %7d %-5s %-5s %-3s %-4s", kYear, kMonth, kDay, 0,
                0, 0.0, kSp3Epochs, "ORBIT", "IGS20", "BCT", "ORBK"));
  f.Line(Format("## %4d %15.8Lf %14.8f %5ld %15.13f", kGpsWeek, SecondsOfWeek(start),
                static_cast<double>(kSp3Step), kMJD, 0.0));
  // Five satellite-list lines, then five accuracy lines, of 17 entries each.
  std::string list[5], sig[5];
  for (int line = 0; line < 5; ++line) {
    list[line] = line == 0 ? Format("+  %3d   ", static_cast<int>(sats.size())) : "+        ";
    sig[line] = "++       ";
    for (int k = 17 * line; k < 17 * line + 17; ++k) {
      const bool used = k < static_cast<int>(sats.size());
      list[line] += used ? Format("%c%02d", sats[k].letter, sats[k].number) : "  0";
      sig[line] += used ? Format("%3d", kSp3Accuracy) : "  0";
    }
  }
  for (const std::string& l : list) f.Line(l);
  for (const std::string& l : sig) f.Line(l);
  f.Line("%c M  cc GPS ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc");
  f.Line("%c cc cc ccc ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc");
  f.Line("%f  1.2500000  1.025000000  0.00000000000  0.000000000000000");
  f.Line("%f  0.0000000  0.000000000  0.00000000000  0.000000000000000");
  f.Line("%i    0    0    0    0      0      0      0      0         0");
  f.Line("%i    0    0    0    0      0      0      0      0         0");
  f.Line("/* Orbika example set, made by tools/make_examples from the");
  f.Line(Format("/* broadcast orbits of %s and %s plus", kGpsNavFile, kGlonassNavFile));
  f.Line("/* constant radial/along/cross and clock offsets; centre of");
  f.Line(Format("/* mass positions for the antenna offsets of %s;", kAntexFile));
  f.Line("/* clocks without the periodic relativistic term");
}

void WriteSp3(const std::string& path, const std::string& gpsNav, const std::string& glonassNav) {
  GPSbEph gps;
  gps.SetFile(gpsNav.c_str());
  gps.ReadFile();
  GLNbEph glonass;
  glonass.SetFile(glonassNav.c_str());
  glonass.ReadFile();

  std::vector<Sp3Satellite> sats;
  for (const GpsSatellite& s : kGps) sats.push_back({'G', s.prn, kGpsAntennaUp, OffsetOf(s.prn)});
  for (const GlonassSatellite& s : kGlonass)
    sats.push_back({'R', s.slot, kGlonassAntennaUp, OffsetOf(static_cast<short>(100 + s.slot))});

  const mjd start = DayStart();
  TextFile f(path);
  WriteSp3Header(f, sats, start);
  for (int i = 0; i < kSp3Epochs; ++i) {
    const mjd t = After(start, static_cast<long double>(i) * kSp3Step);
    const ymdhms c = mjd2ymdhms(t);
    f.Line(Format("*  %4d %2d %2d %2d %2d %11.8Lf", c.GetYear(), c.GetMonth(), c.GetDay(),
                  c.GetHour(), c.GetMinute(), c.GetSecond()));
    for (const Sp3Satellite& s : sats) {
      const Broadcast b = BroadcastOf(gps, glonass, s, t);
      const xyzt p = PreciseRecord(s, b.b, b.v, b.relativity);
      // km and microseconds with 6 decimals, accuracy exponents.
      f.Line(Format("P%c%02d%14.6Lf%14.6Lf%14.6Lf%14.6Lf %2d %2d %2d %3d", s.letter, s.number,
                    p.GetX() / 1000, p.GetY() / 1000, p.GetZ() / 1000, p.GetT() * 1e6,
                    kSp3Accuracy, kSp3Accuracy, kSp3Accuracy, kSp3ClockAccuracy));
    }
  }
  f.Line("EOF");
  f.Close();
}

// The set's calendar constants must name one and the same day.
void CheckCalendar() {
  const long day = DayStart().GetMJDay();
  if (day != kMJD || (day - kGpsOriginMJD) / 7 != kGpsWeek ||
      (day - kGpsOriginMJD) % 7 != kDayOfWeek) {
    std::cerr << "make_examples: the date, MJD and GPS week of example_set.h disagree\n";
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  CheckCalendar();
  const std::string dir = argc > 1 ? argv[1] : "examples";
  const std::string gpsNav = dir + "/" + kGpsNavFile;
  const std::string glonassNav = dir + "/" + kGlonassNavFile;
  WriteGpsNav(gpsNav);
  WriteGlonassNav(glonassNav);
  WriteAntex(dir + "/" + kAntexFile);
  WriteSp3(dir + "/" + kSp3File, gpsNav, glonassNav);
  return 0;
}
