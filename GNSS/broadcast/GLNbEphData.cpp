#include "GNSS/broadcast/GLNbEphData.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "GNSS/broadcast/RinexNav3.h"
#include "GNSS/time/TimeConverse.h"
#include "PROGINC/report/ProgramError.h"
#include "matrix/UniqList.h"

void GLNbEphData::SetNRecords(int n) {
  nsatall = n;
  sat.Resize(n);
  mjdo.Resize(n);
  data.Resize(n, kNParameter);
  delayDiff.assign(static_cast<std::size_t>(n), std::numeric_limits<long double>::quiet_NaN());
}

void GLNbEphData::KeepRecords(const std::vector<int>& rows) {
  rinexnav::KeepRows(sat, rows);
  rinexnav::KeepRows(mjdo, rows);
  rinexnav::KeepRows(data, rows);
  std::vector<long double> delays;
  for (int k : rows) delays.push_back(delayDiff[static_cast<std::size_t>(k)]);
  delayDiff = delays;
  nsatall = static_cast<int>(rows.size());
  satList = nsatall > 0 ? UniqList(sat) : matrix<short>();
}

long double GLNbEphData::ReadParameter(std::istream& in) { return rinexnav::ReadParameter(in); }

void GLNbEphData::GLNbEphDataError(const char* text) {
  rinexnav::Error("GLNbEphData", text, "####");
}

namespace {

// Epoch seconds further than this from a full minute are reported.
constexpr long double kFullMinuteTolerance = 0.01;

// Lines of a GLONASS record before version 3.05, and from it on (the status
// line added).
constexpr int kRecordLines = 4;
constexpr int kRecordLines305 = 5;
constexpr float kVersion305 = 3.045f;  // 3.05 as read into a float, with room
// Place of dTau_n among the numbers of a record of five lines: the second
// of the fifth line (status flags, dTau_n, URAI, health flags).
constexpr int kDelayDifference = 16;

// The epoch the store keeps for a record epoch tb (UTC) of slot: GPS time,
// after the warning for an epoch that is not a full minute.
mjd StoredEpoch(const ymdhms& epoch, unsigned short slot) {
  if (std::fabs(epoch.GetSecond()) > kFullMinuteTolerance) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "GLONASS EPHEMERIS DATA: SATELLITE R%02d EPOCH SECONDS %5.1lf [NOT FULL MINUTES]",
                  static_cast<int>(slot), static_cast<double>(epoch.GetSecond()));
    ProgramWarning("Orbika", text);
  }
  // The file's epochs are UTC; the store keeps GPS time.
  mjd t = ymdhms2mjd(epoch);
  t += static_cast<long double>(LeapSecond(t));
  return t;
}

}  // namespace

void GLNbEphData::ReadRecords3(std::istream& in, float version,
                               const rinexnav::OrbitlessRecord& orbitless) {
  const bool rinex4 = version >= 4;
  const int lines = version >= kVersion305 ? kRecordLines305 : kRecordLines;
  std::vector<short> slots;
  std::vector<mjd> epochs;
  std::vector<long double> values, delays;
  const rinexnav::WantedLines wanted = [&](char system, const std::string& message) {
    return system == 'R' && (!rinex4 || message == "FDMA") ? lines : 0;
  };
  scan = rinexnav::ReadRecords3(in, rinex4, wanted, [&](const rinexnav::Record3& r) {
    if (!rinexnav::AllPresent(r.values, kNParameter)) return rinexnav::RecordRead::BadNumber;
    slots.push_back(static_cast<short>(r.number));
    epochs.push_back(StoredEpoch(r.epoch, r.number));
    values.insert(values.end(), r.values.begin(), r.values.begin() + kNParameter);
    delays.push_back(lines == kRecordLines305 ? r.values[kDelayDifference]
                                              : std::numeric_limits<long double>::quiet_NaN());
    return rinexnav::RecordRead::Ok;
  }, orbitless);
  SetNRecords(static_cast<int>(slots.size()));
  for (int k = 0; k < nsatall; ++k) {
    sat(k) = slots[static_cast<std::size_t>(k)];
    mjdo(k) = epochs[static_cast<std::size_t>(k)];
    delayDiff[static_cast<std::size_t>(k)] = delays[static_cast<std::size_t>(k)];
    for (int j = 0; j < kNParameter; ++j)
      data(k, j) = values[static_cast<std::size_t>(k * kNParameter + j)];
  }
  if (nsatall > 0) satList = UniqList(sat);
}

std::istream& operator>>(std::istream& in, GLNbEphData& d) {
  using rinexnav::RecordRead;
  if (d.nsatall == 0) GLNbEphData::GLNbEphDataError("NUMBER OF RECORDS not set!");

  d.scan = rinexnav::RecordScan();
  int k = 0;
  for (;;) {
    unsigned short slot = 0;
    ymdhms epoch;
    long double values[GLNbEphData::kNParameter];
    const RecordRead r = rinexnav::ReadRecord(in, slot, epoch, values, GLNbEphData::kNParameter);
    if (r == RecordRead::Ok && k == d.nsatall) {
      // A record beyond the counted ones: the layout is not what the
      // counting pass took it to be.
      d.scan.stop = RecordRead::Ok;
      d.scan.record = k + 1;
      break;
    }
    if (r != RecordRead::Ok) {
      d.scan.stop = r;
      d.scan.record = k + 1;
      break;
    }

    d.sat(k) = static_cast<short>(slot);
    d.mjdo(k) = StoredEpoch(epoch, slot);
    for (int j = 0; j < GLNbEphData::kNParameter; ++j) d.data(k, j) = values[j];
    ++k;
  }

  d.scan.read = static_cast<unsigned>(k);
  d.nsatall = k;
  rinexnav::KeepRows(d.sat, k);
  rinexnav::KeepRows(d.mjdo, k);
  rinexnav::KeepRows(d.data, k);
  d.delayDiff.resize(static_cast<std::size_t>(k));
  if (k > 0) d.satList = UniqList(d.sat);
  return in;
}
