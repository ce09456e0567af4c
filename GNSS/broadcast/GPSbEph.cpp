#include "GNSS/broadcast/GPSbEph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "GNSS/geometry/Azimut.h"
#include "GNSS/broadcast/KeplerSystems.h"
#include "GNSS/geometry/LightTime.h"
#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/broadcast/RinexNav3.h"
#include "GNSS/geometry/SinCos.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/base/mGNSSc.h"
#include "GNSS/time/TimeText.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"
#include "GNSS/base/satcode.h"
#include "PROGINC/report/SatelliteMessages.h"

namespace {

constexpr long double kC = GPSc::c;       // speed of light, m/s
constexpr int kRecordLines = 8;           // lines of one GPS navigation record
constexpr const char* kWhat = "GPS NAVIGATION FILE";
// Light time of the receiver variant: ten tested passes, an eleventh that
// ends the iteration with a warning.
constexpr lighttime::Rule kLightTime = {-0.075L, 1e-5L, lighttime::Test::TravelMatchesRange, 11,
                                        false};
// Kepler's equation: fixed-point passes allowed, and the change of E (rad)
// that ends them.
constexpr int kKeplerPasses = 100;
constexpr long double kKeplerTolerance = 1e-14L;
// Inclination of the frame of BeiDou GEO elements, -5 degrees
// (BDS-SIS-ICD-B1I, user algorithm for GEO satellites).
constexpr long double kGEOTilt = -5.0L * 3.14159265358979323846264338327950288L / 180;

}  // namespace

GPSbEph::GPSbEph()
    : navig{},
      Relativity(0),
      nsatall(0),
      OMEGAz(kepler::kGPS.OmegaE) {}

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
  gdata = std::make_shared<GPSbEphData>();  // never the records of a copy
  InputFile in;
  timeutil::ReadingContext reading(kWhat, navig);
  reading.SetStream(in);
  rinexnav::OpenWithHeader(in, navig, "GPSbEph", kWhat, ghead);
  if (rinexnav::IsVersion3or4(ghead.version)) {
    // One pass: the header has been read once, the records follow.
    gdata->ReadRecords3(in, ghead.version >= 4, messages);
  } else {
    // Version 2: a counting pass, then the reading pass after the header.
    nsatall += rinexnav::CountRecords(in, kRecordLines);
    in.close();
    gdata->SetNRecords(nsatall);
    InputFile again;
    reading.SetStream(again);
    rinexnav::OpenWithHeader(again, navig, "GPSbEph", kWhat, ghead);
    again >> *gdata;
  }
  in.close();
  rinexnav::ReportScan(gdata->scan, "GPSbEph", kWhat, navig);
  nsatall = gdata->nsatall;
  WarnAbsentMessages();
  SkipImplausible();
  BuildIndex();
}

void GPSbEph::WarnAbsentMessages() const {
  for (const char* s = "GEJCI"; *s != '\0'; ++s) {
    if (!messages.Named(*s)) continue;
    bool found = false;
    for (int k = 0; k < static_cast<int>(nsatall) && !found; ++k) {
      const kepler::System* sys = kepler::Of(gdata->sat(k));
      found = sys != nullptr && sys->letter == *s;
    }
    if (found) continue;
    ProgramWarningOnce("Orbika", (std::string(kWhat) + " " + navig + ": NO " + *s + ':' +
                                  messages.NameOf(*s) + " RECORD!").c_str());
  }
}

std::string GPSbEph::RecordName(int k) const {
  const short s = gdata->sat(k);
  const kepler::System* sys = kepler::Of(s);
  if (sys == nullptr) sys = &kepler::kGPS;
  mjd written = gdata->mjdo(k);
  written += -sys->toGPS;
  const ymdhms c = mjd2ymdhms(written);
  char text[96];
  std::snprintf(text, sizeof text, "RECORD OF %c%02d AT %4d-%02d-%02d %02d:%02d:%04.1lf",
                sys->letter, s - sys->offset, c.GetYear(), c.GetMonth(), c.GetDay(), c.GetHour(),
                c.GetMinute(), static_cast<double>(c.GetSecond()));
  return std::string(kWhat) + " " + navig + ": " + text;
}

namespace {

// Seconds in a week and half a week.
constexpr long double kWeek = 604800;
constexpr long double kHalfWeek = 302400;
// MJD of the start of GPS week 0 (1980-01-06); the weeks of Galileo, BeiDou
// and QZSS time start on the same weekday and hour.
constexpr long kGPSWeekZero = 44244;

// Seconds of the week of epoch t (any of those time scales).
long double SecondOfWeek(const mjd& t) {
  const long days = static_cast<long>(t.GetMJDay()) - kGPSWeekZero;
  return static_cast<long double>(((days % 7) + 7) % 7) * 86400 + t.GetSecond();
}

}  // namespace

// Places of a record's clock and orbit elements (af0 ... IDOT; CNAV and
// B-CNAV also the rate of Delta n0), compared to tell records of one epoch
// apart, and the relative difference that still counts as the same number.
constexpr int kElementPlaces = 20;
constexpr long double kSameRecord = 1e-10L;
// Of two different records of one epoch, one agrees with the satellite's
// neighbouring record when their distances to it differ by more than this
// (m): consecutive records of a satellite agree within metres.
constexpr long double kConsistent = 100;

// B-CNAV satellite type of a geostationary satellite (BDS-SIS-ICD-B1C).
constexpr long double kBCNAVTypeGEO = 1;

std::string GPSbEph::SkipReason(int k) const {
  const GPSbEphData::Record r = gdata->Row(k);
  const navmsg::Kind kind = gdata->kind[static_cast<std::size_t>(k)];
  // CNAV and CNAV-2 take Toe from the record epoch; their place holds t_op.
  const bool toeField = kind != navmsg::Kind::CNAV && kind != navmsg::Kind::CNAV2;
  char why[96] = "";
  if (!kepler::PlausibleEccentricity(r.e()))
    std::snprintf(why, sizeof why, "ECCENTRICITY %.6Lg NOT IN [0, %.2Lg)", r.e(),
                  kepler::kMaxEccentricity);
  else if (!kepler::PlausibleSemiMajorAxis(r.sqrtA()))
    std::snprintf(why, sizeof why, "SEMI-MAJOR AXIS %.6Lg km NOT IN %.0Lf-%.0Lf km",
                  r.sqrtA() * r.sqrtA() / 1000, kepler::kMinSemiMajorAxis / 1000,
                  kepler::kMaxSemiMajorAxis / 1000);
  else if (toeField && !(r.Toe() >= 0 && r.Toe() < kWeek))
    std::snprintf(why, sizeof why, "TIME OF EPHEMERIS %.6Lg s NOT IN [0, %.0Lf) s", r.Toe(),
                  kWeek);
  const bool bcnav = kind == navmsg::Kind::BCNAV1 || kind == navmsg::Kind::BCNAV2 ||
                     kind == navmsg::Kind::BCNAV3;
  // The B-CNAV documents give no GEO rotation of their own; none is guessed.
  const bool geo = r.SatType() == kBCNAVTypeGEO || kepler::IsBeiDouGEO(gdata->sat(k));
  if (why[0] == '\0' && bcnav && geo)
    std::snprintf(why, sizeof why, "B-CNAV RECORD OF A GEO SATELLITE NOT EVALUATED");
  return why;
}

void GPSbEph::SkipImplausible() {
  std::vector<int> kept;
  for (int k = 0; k < static_cast<int>(nsatall); ++k) {
    const std::string why = SkipReason(k);
    if (why.empty()) {
      kept.push_back(k);
      continue;
    }
    ProgramWarningOnce("Orbika", (RecordName(k) + ": " + why + " - RECORD SKIPPED!").c_str());
  }
  if (kept.size() == nsatall) return;
  if (kept.empty())
    GPSbEphError((std::string(kWhat) + " " + navig + ": NO PLAUSIBLE RECORD!").c_str());
  gdata->KeepRecords(kept);
  nsatall = gdata->nsatall;
}

mjd GPSbEph::GetMJD(long i) const { return gdata->mjdo(static_cast<int>(i)); }

void GPSbEph::BuildIndex() {
  bySat.clear();
  orbit.clear();
  unsolved.assign(nsatall, false);
  for (int k = 0; k < static_cast<int>(nsatall); ++k) {
    const short s = gdata->sat(k);
    const kepler::System* sys = kepler::Of(s);
    if (sys == nullptr) sys = &kepler::kGPS;  // a version 2 file holds GPS records only
    orbit.push_back(ConstantsOf(k, *sys));

    if (s < 0) continue;  // no unsigned satellite number equals it
    if (static_cast<std::size_t>(s) >= bySat.size()) bySat.resize(s + 1);
    SatRecords& sat = bySat[s];
    (gdata->fnav[static_cast<std::size_t>(k)] ? sat.fnav : sat.main)
        .push_back({gdata->mjdo(k), static_cast<std::uint32_t>(k)});
  }
  // Time order, records of one epoch in file order.
  const auto earlier = [](const Entry& a, const Entry& b) {
    return rinexnav::ExactlyEarlier(a.epoch, b.epoch);
  };
  for (SatRecords& sat : bySat) {
    std::stable_sort(sat.main.begin(), sat.main.end(), earlier);
    std::stable_sort(sat.fnav.begin(), sat.fnav.end(), earlier);
    bool warned = false;
    OneRecordPerEpoch(sat.main, warned);
    OneRecordPerEpoch(sat.fnav, warned);
  }
}

bool GPSbEph::SameBroadcast(std::uint32_t a, std::uint32_t b) const {
  // Merged files print one broadcast record with different last digits
  // (12 significant digits): elements within kSameRecord of each other, and
  // the same issue of data, are one record.
  const navmsg::Layout& layout = *navmsg::LayoutOf(orbit[a].sys->letter, gdata->kind[a]);
  const GPSbEphData::Record ra = gdata->Row(static_cast<int>(a));
  const GPSbEphData::Record rb = gdata->Row(static_cast<int>(b));
  if (layout.iod >= 0 && ra.At(layout.iod) != rb.At(layout.iod)) return false;
  const int places = layout.cnav ? kElementPlaces + 1 : kElementPlaces;
  for (int j = 0; j < places; ++j)
    if (fabsl(ra.At(j) - rb.At(j)) > kSameRecord * std::max(fabsl(ra.At(j)), fabsl(rb.At(j))))
      return false;
  return true;
}

long double GPSbEph::OrbitTime(const OrbitConstants& c, long double dt) {
  // From Toe (Toc - Toe kept per record); GPS records are evaluated at the
  // time from Toc, as this program always has (the two epochs coincide in
  // the broadcast message).
  return c.sys->letter == 'G' ? dt : dt + c.tocMinusToe;
}

long double GPSbEph::Apart(std::uint32_t a, std::uint32_t b, const mjd& t) const {
  long double x[2][3];
  for (int k = 0; k < 2; ++k) {
    const std::uint32_t row = k == 0 ? a : b;
    const OrbitConstants& c = orbit[row];
    const long double dt = t - gdata->mjdo(static_cast<int>(row));
    long double sinE;
    if (!Kepler(gdata->Row(static_cast<int>(row)), c, OrbitTime(c, dt), sinE, x[k][0], x[k][1],
                x[k][2]))
      return std::numeric_limits<long double>::infinity();
  }
  const long double dx = x[0][0] - x[1][0], dy = x[0][1] - x[1][1], dz = x[0][2] - x[1][2];
  return sqrtl(dx * dx + dy * dy + dz * dz);
}

bool GPSbEph::Preferred(std::uint32_t a, std::uint32_t b, const Entry* neighbour,
                        const mjd& t) const {
  // The record that agrees with the satellite's neighbouring record: one
  // of two different records of an epoch is often a damaged copy in a
  // merged file (set E: a sqrt A off by 0.4 m^1/2, a node off by 1 rad).
  if (neighbour != nullptr) {
    const long double da = Apart(a, neighbour->row, t), db = Apart(b, neighbour->row, t);
    if (fabsl(da - db) > kConsistent) return da < db;
  }
  // Then the later transmission; the greater issue of data; the later
  // record of the file.
  const mjd sa = SentOf(a), sb = SentOf(b);
  if (sa < sb || sb < sa) return sb < sa;
  const int iod = navmsg::LayoutOf(orbit[a].sys->letter, gdata->kind[a])->iod;
  const long double ia = iod < 0 ? 0 : gdata->Row(static_cast<int>(a)).At(iod);
  const long double ib = iod < 0 ? 0 : gdata->Row(static_cast<int>(b)).At(iod);
  if (ia != ib) return ia > ib;
  return a > b;
}

void GPSbEph::OneRecordPerEpoch(Entries& list, bool& warned) const {
  Entries kept;
  for (std::size_t i = 0; i < list.size();) {
    std::size_t end = i + 1;
    while (end < list.size() && !rinexnav::ExactlyEarlier(list[i].epoch, list[end].epoch)) ++end;
    // The neighbour: the record kept before, else the one after the epoch.
    const Entry* neighbour =
        !kept.empty() ? &kept.back() : end < list.size() ? &list[end] : nullptr;
    Entry best = list[i];
    for (std::size_t j = i + 1; j < end; ++j) {
      const Entry& e = list[j];
      // Copies of one broadcast give the same values whichever is used: the
      // first one stays.
      const bool same = SameBroadcast(best.row, e.row);
      if (!same && !warned) {
        ProgramWarningOnce("Orbika",
                           (RecordName(static_cast<int>(e.row)) +
                            ": TWO DIFFERENT RECORDS WITH THIS EPOCH - THE ONE AGREEING WITH "
                            "ITS NEIGHBOUR, ELSE THE LATER TRANSMISSION, USED!")
                               .c_str());
        warned = true;
      }
      if (!same && Preferred(e.row, best.row, neighbour, e.epoch)) best = e;
    }
    kept.push_back(best);
    i = end;
  }
  list.swap(kept);
}

GPSbEph::OrbitConstants GPSbEph::ConstantsOf(int k, const kepler::System& sys) const {
  const GPSbEphData::Record r = gdata->Row(k);
  const navmsg::Layout& layout =
      *navmsg::LayoutOf(sys.letter, gdata->kind[static_cast<std::size_t>(k)]);
  // A: LNAV (sqrt A)^2; CNAV and B-CNAV A_0 = (sqrt A)^2, the file's sqrt A
  // holding A_ref + Delta A (IS-GPS-200 Table 30-II, BDS-SIS-ICD-B1C 7.2).
  const long double a = r.sqrtA() * r.sqrtA();
  const long double e = r.e();
  // Toc - Toe in the system's own time, within half a week; GPS and QZSS
  // CNAV messages have their Toe at the record epoch (their place 11 holds
  // t_op, the time of prediction).
  mjd toc = gdata->mjdo(k);
  toc += -sys.toGPS;
  const long double toe = layout.toeIsEpoch ? SecondOfWeek(toc) : r.Toe();
  long double tocToe = fmodl(SecondOfWeek(toc) - toe, kWeek);
  if (tocToe > kHalfWeek) tocToe -= kWeek;
  if (tocToe < -kHalfWeek) tocToe += kWeek;
  return {a, sys.F * e * sqrtl(a), sqrtl(sys.GM / a) / a, sqrtl(1 - e * e), &sys, tocToe, toe,
          layout.cnav ? r.Adot() : 0, layout.cnav ? r.DeltaN0dot() : 0,
          kepler::IsBeiDouGEO(gdata->sat(k))};
}

std::uint32_t GPSbEph::GetDataIndex(unsigned short st, const mjd& t0) const {
  if (st >= bySat.size() || (bySat[st].main.empty() && bySat[st].fnav.empty())) {
    const kepler::System* sys = kepler::Of(st);
    if (sys == nullptr) sys = &kepler::kGPS;
    char sat[8];
    std::snprintf(sat, sizeof sat, "%c%02d", sys->letter, st - sys->offset);
    GPSbEphError((std::string("SAT: ") + sat + " IS NOT LISTED IN " + sys->name +
                  " NAVIGATION FILE " + navig + "!!!")
                     .c_str());
  }
  const SatRecords& sat = bySat[st];
  if (!sat.fnav.empty()) {
    const std::uint32_t row = Nearest(sat.fnav, t0);
    const long double away = t0 - gdata->mjdo(static_cast<int>(row));
    if (sat.main.empty() || fabsl(away) <= kepler::kGalileo.validity) return row;
  }
  return Nearest(sat.main, t0);
}

std::uint32_t GPSbEph::Nearest(const Entries& list, const mjd& t0) {
  if (t0 < list.front().epoch) return list.front().row;
  // The nearer of the first pair of consecutive records that enclose t0
  // (the earlier on a tie): it ends at the first record not earlier than
  // t0, and every record before that one is not later.
  const auto next = std::partition_point(list.begin() + 1, list.end(), [&t0](const Entry& r) {
    return !(t0 <= r.epoch);
  });
  if (next == list.end()) return list.back().row;
  const Entry& held = *(next - 1);
  const long double d1 = t0 - held.epoch;
  const long double d2 = next->epoch - t0;
  return d1 > d2 ? next->row : held.row;
}

// The formulas of the user algorithm for ephemeris determination,
// IS-GPS-200 Table 20-IV (the same in the other systems' documents).
namespace {

// Corrected argument of latitude u, radius and inclination i at tk s from
// the reference epoch, from the argument of latitude Phi and cos E.
void CorrectedElements(GPSbEphData::Record r, long double a, long double tk,
                       long double Phi, long double cosE, long double& u, long double& radius,
                       long double& i) {
  long double sin2Phi, cos2Phi;
  SinCos(2 * Phi, sin2Phi, cos2Phi);
  // Argument of latitude correction: du = Cus sin 2Phi + Cuc cos 2Phi.
  const long double du = r.Cus() * sin2Phi + r.Cuc() * cos2Phi;
  // Radius correction: dr = Crs sin 2Phi + Crc cos 2Phi.
  const long double dr = r.Crs() * sin2Phi + r.Crc() * cos2Phi;
  // Inclination correction: di = Cis sin 2Phi + Cic cos 2Phi.
  const long double di = r.Cis() * sin2Phi + r.Cic() * cos2Phi;
  // Corrected argument of latitude: u = Phi + du.
  u = Phi + du;
  // Corrected radius: r = A (1 - e cos E) + dr.
  radius = a * (1 - r.e() * cosE) + dr;
  // Corrected inclination: i = i0 + di + IDOT tk.
  i = r.i0() + di + r.IDOT() * tk;
}

// Coordinates X, Y, Z of the point at radius and argument of latitude u in
// the orbital plane of inclination i and node longitude Omega.
void OrbitToFrame(long double radius, long double u, long double i, long double Omega,
                  long double& X, long double& Y, long double& Z) {
  // Position in the orbital plane: x' = r cos u, y' = r sin u.
  long double sinu, cosu;
  SinCos(u, sinu, cosu);
  const long double xp = radius * cosu;
  const long double yp = radius * sinu;
  // Coordinates: X = x' cos Omega - y' cos i sin Omega,
  // Y = x' sin Omega + y' cos i cos Omega, Z = y' sin i.
  long double sinO, cosO, sini, cosi;
  SinCos(Omega, sinO, cosO);
  SinCos(i, sini, cosi);
  X = xp * cosO - yp * cosi * sinO;
  Y = xp * sinO + yp * cosi * cosO;
  Z = yp * sini;
}

}  // namespace

bool GPSbEph::EccentricAnomaly(long double M, long double e, long double& E) {
  // Kepler's equation M = E - e sin E by fixed-point iteration from E = 0,
  // whose first pass needs no sine (sin 0 = +0 exactly).
  E = M + e * 0.0L;
  if (fabsl(E) <= kKeplerTolerance) return std::isfinite(E);
  for (int count = 2; count <= kKeplerPasses; ++count) {
    const long double En = M + e * ReducedSin(E);
    const long double change = fabsl(En - E);
    E = En;
    if (change <= kKeplerTolerance) return std::isfinite(E);
  }
  return false;
}

bool GPSbEph::Kepler(GPSbEphData::Record r, const OrbitConstants& c, long double tk,
                     long double& sinE, long double& X, long double& Y, long double& Z) const {
  const long double OmegaE = c.sys->OmegaE;
  // Corrected mean motion: n = n0 + DeltaN, n0 = sqrt(GM / A^3) (kept per
  // record); CNAV and B-CNAV (IS-GPS-200 Table 30-II, BDS-SIS-ICD-B1C user
  // algorithm for ephemeris parameters): n = n0 + Delta n0 + (1/2) Delta
  // n0-dot tk, n0 from A_0, and the semi-major axis A_k = A_0 + A-dot tk.
  const long double n =
      c.dn0dot == 0 ? c.n0 + r.DeltaN() : c.n0 + r.DeltaN() + c.dn0dot * tk / 2;
  const long double a = c.adot == 0 ? c.a : c.a + c.adot * tk;
  // Mean anomaly: M = M0 + n tk.
  const long double M = r.M0() + n * tk;
  // Eccentric anomaly from Kepler's equation.
  long double E;
  if (!EccentricAnomaly(M, r.e(), E)) return false;
  long double cosE;
  SinCos(E, sinE, cosE);
  // True anomaly: nu = atan2(sqrt(1 - e^2) sin E, cos E - e).
  const long double nu = Azimuth(0, 0, c.sqrt1e2 * sinE, static_cast<double>(cosE - r.e()));
  // Argument of latitude: Phi = nu + omega.
  const long double Phi = r.omega() + nu;
  long double u, radius, i;
  CorrectedElements(r, a, tk, Phi, cosE, u, radius, i);
  // Corrected longitude of the ascending node: in the Earth-fixed frame,
  // Omega = OMEGA0 + (OMEGADOT - OmegaE) tk - OmegaE Toe; for a BeiDou GEO
  // satellite in the inertial frame of the reference epoch,
  // Omega = OMEGA0 + OMEGADOT tk - OmegaE Toe.
  const long double Omega = c.geo ? r.OMEGA0() + r.OMEGADOT() * tk - OmegaE * c.toe
                                  : r.OMEGA0() + (r.OMEGADOT() - OmegaE) * tk - OmegaE * c.toe;
  OrbitToFrame(radius, u, i, Omega, X, Y, Z);
  if (c.geo) GeoToEarthFixed(OmegaE * tk, X, Y, Z);
  return true;
}

void GPSbEph::GeoToEarthFixed(long double earthAngle, long double& X, long double& Y,
                              long double& Z) {
  // R_X(-5 deg): the GEO elements refer to a frame inclined by 5 degrees.
  const long double tilt = kGEOTilt;
  long double sinT, cosT, sinW, cosW;
  SinCos(tilt, sinT, cosT);
  const long double y5 = Y * cosT + Z * sinT;
  const long double z5 = -Y * sinT + Z * cosT;
  // R_Z(OmegaE tk): the Earth's rotation since the reference epoch.
  SinCos(earthAngle, sinW, cosW);
  const long double x = X * cosW + y5 * sinW;
  Y = -X * sinW + y5 * cosW;
  X = x;
  Z = z5;
}

bool GPSbEph::CalcPosition(unsigned short st, const mjd& t0, const mjd& tindex, xyzt& pos,
                           long double* tgdout, unsigned short w, unsigned short /*print*/) {
  if (!receiver) return CalcFromRecord(static_cast<int>(GetDataIndex(st, tindex)), st, t0, pos,
                                       tgdout, w);
  std::uint32_t row = 0;
  if (ReceiverIndex(st, tindex, row))
    return CalcFromRecord(static_cast<int>(row), st, t0, pos, tgdout, w);
  char sat[8];
  if (!satcode::Format(static_cast<short>(st), sat)) sat[0] = '\0';
  satmsg::Note("Orbika", rinexnav::kNoReceiverRecord, sat, IsoText(tindex), true);
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  pos.Set(nan, nan, nan, nan);
  return true;
}

bool GPSbEph::CalcFromRecord(int index, unsigned short st, const mjd& t0, xyzt& pos,
                             long double* tgdout, unsigned short w) {
  const mjd& Toc = gdata->mjdo(index);
  const GPSbEphData::Record r = gdata->Row(index);
  const OrbitConstants& c = orbit[static_cast<std::size_t>(index)];
  const kepler::System& sys = *c.sys;
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  if (tgdout != nullptr) *tgdout = r.TGD();

  // Time from the clock reference epoch, continuous across week boundaries.
  const long double dt = t0 - Toc;
  if (!(fabsl(dt) <= kMaxInterval)) {
    pos.Set(nan, nan, nan, nan);
    return false;
  }
  if (t0 - Toc > sys.runWarning || Toc - t0 > sys.runWarning) RunWarning(sys, st, t0);
  if (w != 0 && fabsl(dt) > sys.validity) RecordWarning(sys, st, t0, dt);

  const long double tk = OrbitTime(c, dt);
  long double sinE, X, Y, Z;
  if (!Kepler(r, c, tk, sinE, X, Y, Z)) {
    if (!unsolved[static_cast<std::size_t>(index)])
      ProgramWarning("Orbika", (RecordName(index) +
                                ": KEPLER'S EQUATION NOT SOLVED - BROADCAST COLUMNS WRITTEN AS "
                                "nan!").c_str());
    unsolved[static_cast<std::size_t>(index)] = true;
    pos.Set(nan, nan, nan, nan);
    return true;
  }

  // Satellite clock correction with the relativistic term (IS-GPS-200
  // 20.3.3.3.3.1): af0 + af1 dt + af2 dt^2 + F e sqrt(A) sin E; TGD not applied.
  const long double clock = r.af0() + r.af1() * dt + r.af2() * dt * dt + c.rk * sinE;
  Relativity = -c.rk * sinE;
  pos.Set(X, Y, Z, clock);
  return true;
}

namespace {

// Fit intervals of the receiver's choice (see GPSbEph.h), s.
constexpr long double kHour = 3600;
constexpr long double kLNAVDefaultFit = 4 * kHour;  // IS-GPS-200 20.3.4.4, fit flag 0
constexpr long double kQZSSShortFit = 2 * kHour;    // IS-QZSS-PNT, fit interval flag 0
constexpr long double kCNAVFit = 3 * kHour;         // IS-GPS-200 section 30
constexpr int kFitPlace = 28;                        // fit interval field of LNAV records

}  // namespace

void GPSbEph::UseReceiverChoice() {
  sent.clear();
  halfFit.clear();
  for (std::uint32_t k = 0; k < nsatall; ++k) {
    sent.push_back(SentOf(k));
    halfFit.push_back(HalfFitOf(k));
  }
  for (const mjd& t : sent)
    if (t.GetMJDay() != 0) {
      receiver = true;
      return;
    }
  GPSbEphError((std::string(kWhat) + " " + navig +
                ": NO RECORD WITH A TRANSMISSION TIME - OPTION -rx CANNOT CHOOSE RECORDS!")
                   .c_str());
}

long double GPSbEph::HalfFitOf(std::uint32_t k) const {
  const OrbitConstants& c = orbit[k];
  const navmsg::Kind kind = gdata->kind[k];
  const long double field = gdata->Row(static_cast<int>(k)).At(kFitPlace);
  long double fit = 2 * c.sys->validity;
  if (kind == navmsg::Kind::CNAV || kind == navmsg::Kind::CNAV2)
    fit = kCNAVFit;
  else if (kind == navmsg::Kind::LNAV && c.sys->letter == 'G')
    fit = field > 0 ? field * kHour : kLNAVDefaultFit;
  else if (kind == navmsg::Kind::LNAV)
    fit = field == 0 ? kQZSSShortFit : kLNAVDefaultFit;
  return fit / 2;
}

mjd GPSbEph::SentOf(std::uint32_t k) const {
  // Seconds of the week of the record epoch, in the system's time, within
  // half a week of that epoch; day 0 for none.
  const OrbitConstants& c = orbit[k];
  const int row = static_cast<int>(k);
  const long double ttr =
      gdata->Row(row).At(navmsg::LayoutOf(c.sys->letter, gdata->kind[k])->ttr);
  if (ttr == 0 || !(fabsl(ttr) < 2 * kWeek)) return mjd(0, 0);
  mjd toc = gdata->mjdo(row);
  toc += -c.sys->toGPS;
  long double away = fmodl(ttr - SecondOfWeek(toc), kWeek);
  if (away > kHalfWeek) away -= kWeek;
  if (away < -kHalfWeek) away += kWeek;
  mjd t = gdata->mjdo(row);
  t += away;
  return t;
}

bool GPSbEph::TransmissionTime(std::uint32_t row, mjd& ttr) const {
  if (row >= nsatall) return false;
  ttr = SentOf(row);
  return ttr.GetMJDay() != 0;
}

bool GPSbEph::ReceiverIndex(unsigned short st, const mjd& t, std::uint32_t& row) const {
  if (st >= bySat.size()) return false;
  bool found = false;
  mjd best;
  for (const Entries* list : {&bySat[st].main, &bySat[st].fnav})
    for (const Entry& e : *list) {
      const std::uint32_t k = e.row;
      if (sent[k].GetMJDay() == 0 || t < sent[k]) continue;
      // Toe in GPS time: Toc - (Toc - Toe).
      const long double fromToe = (t - e.epoch) + orbit[k].tocMinusToe;
      if (!(fabsl(fromToe) <= halfFit[k])) continue;
      if (found && sent[k] < best) continue;
      if (found && !(best < sent[k]) && k < row) continue;
      found = true;
      best = sent[k];
      row = k;
    }
  return found;
}

bool GPSbEph::ChosenRow(unsigned short st, const mjd& tindex, std::uint32_t& row) const {
  if (receiver) return ReceiverIndex(st, tindex, row);
  row = GetDataIndex(st, tindex);
  return true;
}

GroupDelays GPSbEph::GetGroupDelays(unsigned short st, const mjd& tindex) const {
  GroupDelays g;
  std::uint32_t row = 0;
  if (!ChosenRow(st, tindex, row)) return g;
  const GPSbEphData::Record r = gdata->Row(static_cast<int>(row));
  g.message = gdata->kind[row];
  const navmsg::Layout& layout = *navmsg::LayoutOf(orbit[row].sys->letter, g.message);
  long double* to[] = {&g.gd1, &g.gd2, &g.gd3};
  for (int i = 0; i < 3 && layout.delays[i].name != nullptr; ++i)
    *to[i] = rinexnav::GroupDelay(r.At(layout.delays[i].place));
  return g;
}

RecordFields GPSbEph::GetRecordFields(unsigned short st, const mjd& tindex) const {
  RecordFields f;
  std::uint32_t row = 0;
  if (!ChosenRow(st, tindex, row)) return f;
  const GPSbEphData::Record r = gdata->Row(static_cast<int>(row));
  const OrbitConstants& c = orbit[row];
  const navmsg::Layout& layout = *navmsg::LayoutOf(c.sys->letter, gdata->kind[row]);
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  f.msg = layout.kind == navmsg::Kind::D1D2 ? (c.geo ? "D2" : "D1") : layout.name;
  f.iod = layout.iod >= 0 ? r.At(layout.iod) : nan;
  f.toc = gdata->mjdo(static_cast<int>(row));
  f.toe = f.toc;
  f.toe += -c.tocMinusToe;
  f.ttr = SentOf(row);
  f.health = layout.health >= 0 ? r.At(layout.health) : nan;
  f.accuracy = layout.accuracy >= 0 ? navmsg::AccuracyMetres(layout, r.At(layout.accuracy)) : nan;
  return f;
}

void GPSbEph::RunWarning(const kepler::System& sys, unsigned short st, const mjd& t0) const {
  char what[160];
  std::snprintf(what, sizeof what,
                "%s BROADCAST EPHEMERIS: CALCULATION EPOCH NOT IN VALID INTERVAL (%gH) WITH "
                "RESPECT TO EPOCHS OF DATA",
                sys.name, static_cast<double>(sys.validity / 3600));
  // GPS keeps its framed warning at every epoch in the table; the other
  // systems, and runs for programs, name the satellite once.
  char sat[8];
  if (!satcode::Format(static_cast<short>(st), sat)) sat[0] = '\0';
  if (satmsg::Note("Orbika", what, sat, IsoText(t0), sys.letter != 'G'))
    ProgramWarning("Orbika", (std::string(what) + '!').c_str());
}

void GPSbEph::RecordWarning(const kepler::System& sys, unsigned short st, const mjd& t0,
                            long double dt) const {
  const ymdhms c = mjd2ymdhms(t0);
  const double hours = static_cast<double>(sys.validity / 3600);
  char text[160];
  std::snprintf(
      text, sizeof text,
      "SAT: %c%02d [%4d-%02d-%02d %02d:%02d:%04.1lf] -> DT = %5.2lf h PARAMETER TO BIG [>%gh]",
      sys.letter, st - sys.offset, c.GetYear(), c.GetMonth(), c.GetDay(), c.GetHour(),
      c.GetMinute(), static_cast<double>(c.GetSecond()), static_cast<double>(dt / 3600), hours);
  GPSbEphWarning(text);
}

long double GPSbEph::CalcPosition(unsigned short st, const mjd& eph, const mjd& tindex,
                                     const xyz& prec, xyzt& psat, long double* tgd,
                                     unsigned short w, unsigned short iz) {
  const lighttime::Result r =
      lighttime::Solve(eph, prec, OMEGAz, kLightTime, [&](const mjd& t, xyz& pos) {
        CalcPosition(st, t, tindex, psat, tgd, w, iz);
        pos = psat;
        return true;
      });
  ephr = r.transmission;
  ps = r.receiver;
  if (r.end == lighttime::End::PassLimit)
    GPSbEphWarning("GPSbEph::CalcPosition():      TO MANY ITERATIONS: > 10!!");
  return r.range;
}

long double GPSbEph::CalcPosition(unsigned short st, const mjd& eph, const mjd& tindex,
                                     const xyz& prec, xyzt& psat, const gnssobs& P,
                                     long double* tgd, unsigned short w, unsigned short iz) {
  lighttime::Result r{};
  lighttime::Pass(eph, prec, OMEGAz, -P.GetP() / kC, [&](const mjd& t, xyz& pos) {
    CalcPosition(st, t, tindex, psat, tgd, w, iz);
    pos = psat;
    return true;
  }, r);
  ephr = r.transmission;
  ps = r.receiver;
  return r.range;
}

void GPSbEph::PrintParameter(const char* name, long double value) const {
  rinexnav::PrintParameter("GPSbEph", name, value);
}
