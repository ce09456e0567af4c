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
  data.Resize(static_cast<int>(n), kNParam);
  fnav.assign(n, false);
}

void GPSbEphData::KeepRecords(const std::vector<int>& rows) {
  rinexnav::KeepRows(sat, rows);
  rinexnav::KeepRows(mjdo, rows);
  rinexnav::KeepRows(data, rows);
  std::vector<bool> kept;
  for (int k : rows) kept.push_back(fnav[static_cast<std::size_t>(k)]);
  fnav = kept;
  nsatall = static_cast<std::uint32_t>(rows.size());
  satList = nsatall > 0 ? UniqList(sat) : matrix<short>();
}

long double GPSbEphData::ReadParameter(std::istream& in) { return rinexnav::ReadParameter(in); }

void GPSbEphData::GPSbEphDataError(const char* text) { rinexnav::Error("GPSbEphData", text, "####"); }

void GPSbEphData::GPSbEphDataWarning(const char* text) { rinexnav::Warning("GPSbEphData", text); }

namespace {

// Lines of a GPS LNAV, Galileo, BeiDou D1/D2 and QZSS LNAV record.
constexpr int kRecordLines = 8;
// Numbers the orbit and clock of a Galileo, BeiDou or QZSS record need (af0
// to IDOT); the rest of their records holds spare fields RINEX leaves blank.
constexpr int kOrbitParams = 20;
// A GPS record needs its TGD too, the one number after IDOT it uses; its
// other fields (codes on L2, week, L2 P flag, accuracy, health, IODC,
// transmission time, fit interval) are read as absent when blank.
constexpr int kTGD = GPSbEphData::Record::kTGD;
// Column of Galileo's data sources; the bit that marks F/NAV (E5a-I).
constexpr int kDataSources = 20;
constexpr long kFNAVSource = 2;
constexpr long double kMaxDataSources = 1 << 16;  // a 16-bit field

// Version 4 messages of the Keplerian systems read here.
bool WantedMessage(char system, const std::string& m) {
  switch (system) {
    case 'G': case 'J': return m == "LNAV";
    case 'E': return m == "INAV" || m == "FNAV";
    case 'C': return m == "D1" || m == "D2";
    default: return false;
  }
}

// A Galileo record of the F/NAV message.
bool IsFNAV(const rinexnav::Record3& r) {
  if (!r.message.empty()) return r.message == "FNAV";
  const long double sources = r.values[kDataSources];
  return sources >= 0 && sources < kMaxDataSources &&
         (static_cast<long>(sources) & kFNAVSource) != 0;
}

}  // namespace

void GPSbEphData::ReadRecords3(std::istream& in, bool rinex4) {
  struct Row {
    short sat;
    mjd epoch;
    bool fnav;
  };
  std::vector<Row> rows;
  std::vector<long double> values;
  const rinexnav::WantedLines wanted = [rinex4](char system, const std::string& message) {
    return kepler::OfLetter(system) != nullptr && (!rinex4 || WantedMessage(system, message))
               ? kRecordLines
               : 0;
  };
  scan = rinexnav::ReadRecords3(in, rinex4, wanted, [&](const rinexnav::Record3& r) {
    const kepler::System& sys = *kepler::OfLetter(r.system);
    const bool tgd = sys.letter != 'G' || (r.values.size() > static_cast<std::size_t>(kTGD) &&
                                           !std::isnan(r.values[kTGD]));
    if (!rinexnav::AllPresent(r.values, kOrbitParams) || !tgd)
      return rinexnav::RecordRead::BadNumber;
    // Record epochs in GPS time.
    mjd epoch = ymdhms2mjd(r.epoch);
    epoch += sys.toGPS;
    rows.push_back(
        {static_cast<short>(sys.offset + r.number), epoch, sys.letter == 'E' && IsFNAV(r)});
    for (int j = 0; j < kNParam; ++j) {
      const long double v = r.values[static_cast<std::size_t>(j)];
      // Blank group delays stay NaN: absent, not zero.
      const bool delay = j == kTGD || j == GPSbEphData::Record::kTGD2;
      values.push_back(std::isnan(v) && !delay ? 0 : v);
    }
    return rinexnav::RecordRead::Ok;
  });
  SetNRecords(static_cast<std::uint32_t>(rows.size()));
  for (int k = 0; k < static_cast<int>(nsatall); ++k) {
    const std::size_t from = static_cast<std::size_t>(k);
    sat(k) = rows[from].sat;
    mjdo(k) = rows[from].epoch;
    fnav[from] = rows[from].fnav;
    for (int j = 0; j < kNParam; ++j)
      data(k, j) = values[from * kNParam + static_cast<std::size_t>(j)];
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
  d.nsatall = scan.read;
  if (n > 0) d.satList = UniqList(d.sat);
  d.scan = scan;
  return in;
}
