#include "GNSS/GPSbEphData.h"

#include <vector>

#include "GNSS/TimeConverse.h"
#include "GNSS/ymdhms.h"
#include "matrix/UniqList.h"

void GPSbEphData::SetNRecords(std::uint32_t n) {
  nsatall = n;
  sat.Resize(static_cast<int>(n));
  mjdo.Resize(static_cast<int>(n));
  data.Resize(static_cast<int>(n), kNParam);
}

long double GPSbEphData::ReadParameter(std::istream& in) { return rinexnav::ReadParameter(in); }

void GPSbEphData::GPSbEphDataError(const char* text) { rinexnav::Error("GPSbEphData", text, "####"); }

void GPSbEphData::GPSbEphDataWarning(const char* text) { rinexnav::Warning("GPSbEphData", text); }

namespace {

// Lines of a GPS LNAV record.
constexpr int kRecordLines = 8;

}  // namespace

void GPSbEphData::ReadRecords3(std::istream& in, bool rinex4) {
  std::vector<short> sats;
  std::vector<mjd> epochs;
  std::vector<long double> values;
  const rinexnav::WantedLines wanted = [rinex4](char system, const std::string& message) {
    return system == 'G' && (!rinex4 || message == "LNAV") ? kRecordLines : 0;
  };
  scan = rinexnav::ReadRecords3(in, rinex4, wanted, [&](const rinexnav::Record3& r) {
    if (!rinexnav::AllPresent(r.values, kNParam)) return rinexnav::RecordRead::BadNumber;
    sats.push_back(static_cast<short>(r.number));
    epochs.push_back(ymdhms2mjd(r.epoch));
    values.insert(values.end(), r.values.begin(), r.values.begin() + kNParam);
    return rinexnav::RecordRead::Ok;
  });
  SetNRecords(static_cast<std::uint32_t>(sats.size()));
  for (int k = 0; k < static_cast<int>(nsatall); ++k) {
    sat(k) = sats[static_cast<std::size_t>(k)];
    mjdo(k) = epochs[static_cast<std::size_t>(k)];
    for (int j = 0; j < kNParam; ++j) data(k, j) = values[static_cast<std::size_t>(k * kNParam + j)];
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
    const rinexnav::RecordRead r = rinexnav::ReadRecord(in, prn, epoch, values, GPSbEphData::kNParam);
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
  d.nsatall = scan.read;
  if (n > 0) d.satList = UniqList(d.sat);
  d.scan = scan;
  return in;
}
