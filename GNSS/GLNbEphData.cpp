#include "GNSS/GLNbEphData.h"

#include <cmath>
#include <cstdio>

#include "GNSS/TimeConverse.h"
#include "PROGINC/ProgramError.h"
#include "matrix/UniqList.h"

void GLNbEphData::SetNRecords(int n) {
  nsatall = n;
  sat.Resize(n);
  mjdo.Resize(n);
  data.Resize(n, kNParameter);
}

long double GLNbEphData::ReadParameter(std::istream& in) { return rinexnav::ReadParameter(in); }

void GLNbEphData::GLNbEphDataError(const char* text) {
  rinexnav::Error("GLNbEphData", text, "####");
}

namespace {

// Epoch seconds further than this from a full minute are reported.
constexpr long double kFullMinuteTolerance = 0.01;

}  // namespace

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

    d.sat(k) = static_cast<short>(slot);
    d.mjdo(k) = t;
    for (int j = 0; j < GLNbEphData::kNParameter; ++j) d.data(k, j) = values[j];
    ++k;
  }

  d.scan.read = static_cast<unsigned>(k);
  d.nsatall = k;
  rinexnav::KeepRows(d.sat, k);
  rinexnav::KeepRows(d.mjdo, k);
  rinexnav::KeepRows(d.data, k);
  if (k > 0) d.satList = UniqList(d.sat);
  return in;
}
