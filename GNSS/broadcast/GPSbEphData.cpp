#include "GNSS/broadcast/GPSbEphData.h"

#include <cmath>
#include <string>
#include <vector>

#include "GNSS/broadcast/KeplerSystems.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/time/ymdhms.h"
#include "matrix/UniqList.h"

void GPSbEphData::SetNRecords(std::uint32_t n) {
  nsatall = n;
  sat.Resize(static_cast<int>(n));
  mjdo.Resize(static_cast<int>(n));
  data.Resize(static_cast<int>(n), kNStored);
  fnav.assign(n, false);
  kind.assign(n, navmsg::Kind::LNAV);
}

void GPSbEphData::KeepRecords(const std::vector<int>& rows) {
  rinexnav::KeepRows(sat, rows);
  rinexnav::KeepRows(mjdo, rows);
  rinexnav::KeepRows(data, rows);
  std::vector<bool> kept;
  std::vector<navmsg::Kind> keptKind;
  for (int k : rows) {
    kept.push_back(fnav[static_cast<std::size_t>(k)]);
    keptKind.push_back(kind[static_cast<std::size_t>(k)]);
  }
  fnav = kept;
  kind = keptKind;
  nsatall = static_cast<std::uint32_t>(rows.size());
  satList = nsatall > 0 ? UniqList(sat) : matrix<short>();
}

long double GPSbEphData::ReadParameter(std::istream& in) { return rinexnav::ReadParameter(in); }

void GPSbEphData::GPSbEphDataError(const char* text) { rinexnav::Error("GPSbEphData", text, "####"); }

void GPSbEphData::GPSbEphDataWarning(const char* text) { rinexnav::Warning("GPSbEphData", text); }

namespace {

// Column of Galileo's data sources; the bit that marks F/NAV (E5a-I).
constexpr int kDataSources = 20;
constexpr long kFNAVSource = 2;
constexpr long double kMaxDataSources = 1 << 16;  // a 16-bit field

// A version 3 Galileo record of the F/NAV message.
bool IsFNAV3(const rinexnav::Record3& r) {
  const long double sources = r.values[kDataSources];
  return sources >= 0 && sources < kMaxDataSources &&
         (static_cast<long>(sources) & kFNAVSource) != 0;
}

// The message of a record of the Keplerian systems: version 4 by its
// frame's name, version 3 by its system (Galileo by its data sources).
bool KindOf(char system, const std::string& message, navmsg::Kind& k) {
  if (!message.empty()) return navmsg::KindOfName(system, message, k);
  switch (system) {
    case 'G': case 'J': k = navmsg::Kind::LNAV; return true;
    case 'E': k = navmsg::Kind::INAV; return true;  // F/NAV told by its numbers
    case 'C': k = navmsg::Kind::D1D2; return true;
    case 'I': k = navmsg::Kind::NavICLNAV; return true;
    default: return false;
  }
}

// Whether place j of a record of layout holds a group delay: a blank one
// stays NaN (absent), every other blank field reads 0.
bool IsGroupDelay(const navmsg::Layout& layout, int j) {
  for (const navmsg::GroupDelay& d : layout.delays)
    if (d.name != nullptr && d.place == j) return true;
  return false;
}

// Whether a record of layout holds the numbers it needs (a blank field of
// the others is read as absent).
bool HoldsNeeded(const navmsg::Layout& layout, const std::vector<long double>& values) {
  const std::size_t required = static_cast<std::size_t>(layout.required);
  return rinexnav::AllPresent(values, layout.needed) &&
         (layout.required < 0 || (values.size() > required && !std::isnan(values[required])));
}

}  // namespace

void GPSbEphData::ReadRecords3(std::istream& in, bool rinex4, const navmsg::Choice& choice) {
  struct Row {
    short sat;
    mjd epoch;
    navmsg::Kind kind;
  };
  std::vector<Row> rows;
  // The numbers are read at double precision (RinexNav3.h): kept so until
  // the tables are sized.
  std::vector<double> values;
  const rinexnav::WantedLines wanted = [&choice](char system, const std::string& message) {
    navmsg::Kind k;
    if (kepler::OfLetter(system) == nullptr || !KindOf(system, message, k)) return 0;
    // A version 3 Galileo record is read and its message told afterwards.
    if (!(system == 'E' && message.empty()) && !choice.Wants(system, k)) return 0;
    return navmsg::LayoutOf(system, k)->lines;
  };
  scan = rinexnav::ReadRecords3(in, rinex4, wanted, [&](const rinexnav::Record3& r) {
    const kepler::System& sys = *kepler::OfLetter(r.system);
    navmsg::Kind k;
    KindOf(r.system, r.message, k);
    if (!HoldsNeeded(*navmsg::LayoutOf(r.system, k), r.values))
      return rinexnav::RecordRead::BadNumber;
    if (r.system == 'E' && r.message.empty() && IsFNAV3(r)) k = navmsg::Kind::FNAV;
    if (!choice.Wants(r.system, k)) return rinexnav::RecordRead::Ok;
    // Record epochs in GPS time.
    mjd epoch = ymdhms2mjd(r.epoch);
    epoch += sys.toGPS;
    rows.push_back({static_cast<short>(sys.offset + r.number), epoch, k});
    const navmsg::Layout& layout = *navmsg::LayoutOf(r.system, k);
    for (int j = 0; j < kNStored; ++j) {
      const std::size_t from = static_cast<std::size_t>(j);
      const double v = from < r.values.size() ? static_cast<double>(r.values[from]) : NAN;
      values.push_back(std::isnan(v) && !IsGroupDelay(layout, j) ? 0 : v);
    }
    return rinexnav::RecordRead::Ok;
  });
  SetNRecords(static_cast<std::uint32_t>(rows.size()));
  for (int k = 0; k < static_cast<int>(nsatall); ++k) {
    const std::size_t from = static_cast<std::size_t>(k);
    sat(k) = rows[from].sat;
    mjdo(k) = rows[from].epoch;
    kind[from] = rows[from].kind;
    fnav[from] = rows[from].kind == navmsg::Kind::FNAV;
    for (int j = 0; j < kNStored; ++j)
      data(k, j) = values[from * kNStored + static_cast<std::size_t>(j)];
  }
  if (nsatall > 0) satList = UniqList(sat);
}

std::istream& operator>>(std::istream& in, GPSbEphData& d) {
  if (d.nsatall == 0) d.GPSbEphDataError("NUMBER OF RECORDS not set!");
  rinexnav::RecordScan scan;
  unsigned short prn = 0;
  ymdhms epoch;
  long double values[GPSbEphData::kNParam];
  for (;;) {
    const rinexnav::RecordRead r =
        rinexnav::ReadRecord(in, prn, epoch, values, GPSbEphData::kNParam);
    // A complete record without a row is one the counting pass did not see.
    if (r != rinexnav::RecordRead::Ok || scan.read == d.nsatall) {
      scan.stop = r;
      scan.record = scan.read + 1;
      break;
    }
    const int k = static_cast<int>(scan.read++);
    d.sat(k) = static_cast<short>(prn);
    d.mjdo(k) = ymdhms2mjd(epoch);
    for (int j = 0; j < GPSbEphData::kNParam; ++j) d.data(k, j) = values[j];
  }
  // Rows the counting pass foresaw but no complete record filled are dropped.
  const int n = static_cast<int>(scan.read);
  rinexnav::KeepRows(d.sat, n);
  rinexnav::KeepRows(d.mjdo, n);
  rinexnav::KeepRows(d.data, n);
  d.fnav.assign(static_cast<std::size_t>(n), false);
  d.kind.assign(static_cast<std::size_t>(n), navmsg::Kind::LNAV);
  d.nsatall = scan.read;
  if (n > 0) d.satList = UniqList(d.sat);
  d.scan = scan;
  return in;
}
