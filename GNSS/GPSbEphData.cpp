#include "GNSS/GPSbEphData.h"

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
