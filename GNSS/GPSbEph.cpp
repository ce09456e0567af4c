#include "GNSS/GPSbEph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <string>

#include "GNSS/Azimut.h"
#include "GNSS/RinexNav.h"
#include "GNSS/RinexNav3.h"
#include "GNSS/SinCos.h"
#include "GNSS/TimeConverse.h"
#include "GNSS/ymdhms.h"
#include "PROGINC/ProgramError.h"

namespace {

constexpr long double kC = 299792458.0L;  // speed of light, m/s
constexpr int kRecordLines = 8;           // lines of one GPS navigation record
constexpr const char* kWhat = "GPS NAVIGATION FILE";

}  // namespace

GPSbEph::GPSbEph()
    : navig{},
      Relativity(0),
      nsatall(0),
      // WGS84 values of the GPS interface document IS-GPS-200, as double constants.
      GMz(3.986005e14),
      OMEGAz(7.2921151467e-5),
      RelK(-4.442807633e-10) {}

void GPSbEph::SetFile(const char* file) {
  std::strncpy(navig, file, sizeof navig - 1);
  navig[sizeof navig - 1] = '\0';
}

void GPSbEph::GPSbEphError(const char* text) const { rinexnav::Error("GPSbEph", text); }

void GPSbEph::GPSbEphWarning(const char* text) const { rinexnav::Warning("GPSbEph", text); }

void GPSbEph::CountNav() {
  InputFile in;
  rinexnav::OpenWithHeader(in, navig, "GPSbEph", kWhat, ghead);
  nsatall += rinexnav::CountRecords(in, kRecordLines);
}

void GPSbEph::ReadFile() {
  InputFile in;
  rinexnav::OpenWithHeader(in, navig, "GPSbEph", kWhat, ghead);
  if (rinexnav::IsVersion3or4(ghead.version)) {
    // One pass: the header has been read once, the records follow.
    gdata.ReadRecords3(in, ghead.version >= 4);
  } else {
    // Version 2: a counting pass, then the reading pass after the header.
    nsatall += rinexnav::CountRecords(in, kRecordLines);
    in.close();
    gdata.SetNRecords(nsatall);
    InputFile again;
    rinexnav::OpenWithHeader(again, navig, "GPSbEph", kWhat, ghead);
    again >> gdata;
  }
  in.close();
  rinexnav::ReportScan(gdata.scan, "GPSbEph", kWhat, navig);
  nsatall = gdata.nsatall;
  BuildIndex();
}

mjd GPSbEph::GetMJD(long i) const { return gdata.mjdo(static_cast<int>(i)); }

void GPSbEph::BuildIndex() {
  bySat.clear();
  orbit.clear();
  const matrix<long double>& d = gdata.data;
  for (int k = 0; k < static_cast<int>(nsatall); ++k) {
    const long double sqrtA = d(k, 10);
    const long double a = sqrtA * sqrtA;
    const long double e = d(k, 8);
    orbit.push_back({a, RelK * e * sqrtl(a), sqrtl(GMz / a) / a, sqrtl(1 - e * e)});

    const short s = gdata.sat(k);
    if (s < 0) continue;  // no unsigned satellite number equals it
    if (static_cast<std::size_t>(s) >= bySat.size()) bySat.resize(s + 1);
    SatRecords& sat = bySat[s];
    if (!sat.list.empty() && !(sat.list.back().epoch < gdata.mjdo(k))) sat.sorted = false;
    sat.list.push_back({gdata.mjdo(k), static_cast<std::uint32_t>(k)});
  }
}

std::uint32_t GPSbEph::GetDataIndex(unsigned short st, const mjd& t0) const {
  if (st >= bySat.size() || bySat[st].list.empty()) {
    char text[80];
    std::snprintf(text, sizeof text, "SAT: G%02d IS NOT LISTED IN GPS NAVIGATION FILE!!!", st);
    GPSbEphError(text);
  }
  const std::vector<Entry>& list = bySat[st].list;
  if (t0 < list.front().epoch) return list.front().row;
  // The nearer of a pair of consecutive records that enclose t0 (the
  // earlier on a tie).
  const auto nearer = [&t0](const Entry& held, const Entry& next) {
    const long double d1 = t0 - held.epoch;
    const long double d2 = next.epoch - t0;
    return d1 > d2 ? next.row : held.row;
  };
  if (bySat[st].sorted) {
    // Epochs strictly increasing: the first enclosing pair ends at the first
    // record not earlier than t0, and every record before it is not later.
    const auto next = std::partition_point(list.begin() + 1, list.end(), [&t0](const Entry& r) {
      return !(t0 <= r.epoch);
    });
    return next == list.end() ? list.back().row : nearer(*(next - 1), *next);
  }
  for (std::size_t k = 1; k < list.size(); ++k)
    if (list[k - 1].epoch <= t0 && t0 <= list[k].epoch) return nearer(list[k - 1], list[k]);
  return list.back().row;
}

void GPSbEph::CalcOrbikaition(unsigned short st, const mjd& t0, const mjd& tindex, xyzt& pos,
                              long double* tgdout, unsigned short w, unsigned short /*izpis*/) {
  const int index = static_cast<int>(GetDataIndex(st, tindex));
  const mjd& Toc = gdata.mjdo(index);
  const matrix<long double>& d = gdata.data;

  const OrbitConstants& c = orbit[static_cast<std::size_t>(index)];
  const long double a = c.a;  // semi-major axis, m
  const long double e = d(index, 8);
  const long double af0 = d(index, 0);
  const long double af1 = d(index, 1);
  const long double af2 = d(index, 2);
  const long double deltan = d(index, 5);
  const long double toe = d(index, 11);
  const long double M0 = d(index, 6);
  const long double omega = d(index, 17);
  const long double Cus = d(index, 9);
  const long double Cuc = d(index, 7);
  const long double Crs = d(index, 4);
  const long double Crc = d(index, 16);
  const long double Cis = d(index, 14);
  const long double Cic = d(index, 12);
  const long double i0 = d(index, 15);
  const long double IDOT = d(index, 19);
  const long double OMEGA0 = d(index, 13);
  const long double OMEGAdot = d(index, 18);
  const long double TGD = d(index, 25);

  if (t0 - Toc > 8000 || Toc - t0 > 8000)
    ProgramWarning("Orbika",
                   "GPS BROADCAST EPHEMERIS: CALCULATION EPOCH NOT IN VALID INTERVAL (2H) WITH "
                   "RESPECT TO EPOCHS OF DATA!");

  // Relativistic clock constant of this orbit, F e sqrt(A).
  const long double rk = c.rk;

  // Time from the clock reference epoch, continuous across week boundaries.
  const long double dt = t0 - Toc;
  if (w != 0 && fabsl(dt) > 7200) {
    const ymdhms c = mjd2ymdhms(t0);
    char text[160];
    std::snprintf(text, sizeof text,
                  "SAT: G%02d [%4d-%02d-%02d %02d:%02d:%04.1lf] -> DT = %5.2lf h PARAMETER TO BIG [>2h]",
                  st, c.GetYear(), c.GetMonth(), c.GetDay(), c.GetHour(), c.GetMinute(),
                  static_cast<double>(c.GetSecond()), static_cast<double>(dt / 3600));
    GPSbEphWarning(text);
  }

  // Mean motion: computed n0 = sqrt(GM / A^3), corrected by delta n.
  const long double n = c.n0 + deltan;
  // Mean anomaly.
  const long double M = M0 + n * dt;

  // Kepler's equation E = M + e sin E by fixed-point iteration from E = 0.
  long double E = 0;
  long double change = 1;
  int count = 1;
  while (change > 1e-14) {
    const long double En = M + e * ReducedSin(E);
    change = fabsl(En - E);
    E = En;
    ++count;
    if (count > 100) GPSbEphError("TO MANY ITERATIONS (E)");
  }
  long double sinE, cosE;
  SinCos(E, sinE, cosE);

  // Satellite clock correction with the relativistic term; TGD not applied.
  const long double clock = af0 + af1 * dt + af2 * dt * dt + rk * sinE;
  if (tgdout != nullptr) *tgdout = TGD;
  Relativity = -rk * sinE;

  // True anomaly from the eccentric anomaly.
  const long double nu =
      Azimuth(0, 0, c.sqrt1e2 * sinE, static_cast<double>(cosE - e));

  // Argument of latitude and its second-harmonic corrections.
  const long double Phi = omega + nu;
  long double sin2Phi, cos2Phi;
  SinCos(2 * Phi, sin2Phi, cos2Phi);
  const long double du = Cus * sin2Phi + Cuc * cos2Phi;
  const long double dr = Crs * sin2Phi + Crc * cos2Phi;
  const long double di = Cis * sin2Phi + Cic * cos2Phi;

  // Corrected argument of latitude, radius and inclination.
  const long double u = Phi + du;
  const long double r = a * (1 - e * cosE) + dr;
  const long double i = i0 + di + IDOT * dt;

  // Longitude of the ascending node in the Earth-fixed frame.
  const long double Omega = OMEGA0 + (OMEGAdot - OMEGAz) * dt - OMEGAz * toe;

  // Position in the orbital plane.
  long double sinu, cosu;
  SinCos(u, sinu, cosu);
  const long double xp = r * cosu;
  const long double yp = r * sinu;

  // Earth-fixed coordinates.
  long double sinO, cosO, sini, cosi;
  SinCos(Omega, sinO, cosO);
  SinCos(i, sini, cosi);
  pos.Set(xp * cosO - yp * cosi * sinO, xp * sinO + yp * cosi * cosO, yp * sini, clock);
}

long double GPSbEph::CalcOrbikaition(unsigned short st, const mjd& eph, const mjd& tindex,
                                     const xyz& prec, xyzt& psat, long double* tgd,
                                     unsigned short w, unsigned short iz) {
  long double tau = -0.075L;  // light time, s (negative: transmission precedes reception)
  long double range = 0;
  for (int pass = 1;; ++pass) {
    ephr = eph;
    ephr += tau;
    CalcOrbikaition(st, ephr, tindex, psat, tgd, w, iz);
    // The receiver in the Earth-fixed frame of the transmission epoch.
    ps = prec.RotateZ(-tau * OMEGAz);
    range = (psat - ps).GetLength();
    if (pass == 11) {
      GPSbEphWarning("GPSbEph::CalcOrbikaition():      TO MANY ITERATIONS: > 10!!");
      break;
    }
    if (fabsl(tau * kC + range) <= 1e-5L) break;
    tau = -range / kC;
  }
  return range;
}

long double GPSbEph::CalcOrbikaition(unsigned short st, const mjd& eph, const mjd& tindex,
                                     const xyz& prec, xyzt& psat, const gnssobs& P,
                                     long double* tgd, unsigned short w, unsigned short iz) {
  const long double tau = P.GetP() / kC;  // light time from the pseudorange, s
  ephr = eph;
  ephr += -tau;
  CalcOrbikaition(st, ephr, tindex, psat, tgd, w, iz);
  ps = prec.RotateZ(OMEGAz * tau);
  return (psat - ps).GetLength();
}

void GPSbEph::PrintParameter(const char* name, long double value) const {
  const std::ios_base::fmtflags flags = std::cout.flags();
  const std::streamsize precision = std::cout.precision();
  std::cout << "GPSbEph:: " << std::setw(10) << name << ": " << std::scientific
            << std::setprecision(15) << std::setw(30) << value << std::endl;
  std::cout.flags(flags);
  std::cout.precision(precision);
}
