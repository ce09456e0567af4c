#include "GNSS/broadcast/SBASbEph.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "GNSS/base/satcode.h"
#include "GNSS/broadcast/GPSbEphHeader.h"
#include "GNSS/broadcast/RinexNav3.h"
#include "GNSS/time/TimeConverse.h"
#include "PROGINC/files/InputFile.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/report/SatelliteMessages.h"

namespace {

constexpr const char* kWhat = "GPS NAVIGATION FILE";
constexpr long double kKm = 1000;  // m per km of the record's vectors
// Places of the record's numbers (RINEX 3.05 / 4.00 SBAS record): clock
// 0-1, then X, Xdot, Xacc at 3-5, Y... at 7-9, Z... at 11-13.
constexpr int kAf0 = 0, kAf1 = 1, kSent = 2;
constexpr long double kWeek = 604800, kHalfWeek = 302400;
constexpr long kGPSWeekZero = 44244;  // MJD of the start of GPS week 0

// The transmission time of a record of epoch t0 from its second of week,
// within half a week of t0.
mjd SentTime(const mjd& t0, long double ttr) {
  const long days = static_cast<long>(t0.GetMJDay()) - kGPSWeekZero;
  const long double sow = static_cast<long double>(((days % 7) + 7) % 7) * 86400 + t0.GetSecond();
  long double away = fmodl(ttr - sow, kWeek);
  if (away > kHalfWeek) away -= kWeek;
  if (away < -kHalfWeek) away += kWeek;
  mjd t = t0;
  t += away;
  return t;
}
constexpr int kAxis[3] = {3, 7, 11};

bool AtRest(const long double* v) {
  for (int axis : kAxis)
    if (v[axis + 1] != 0 || v[axis + 2] != 0) return false;
  return true;
}

}  // namespace

void SBASbEph::ReadFile() {
  InputFile in;
  GPSbEphHeader head;
  rinexnav::OpenWithHeader(in, navig.c_str(), "GPSbEph", kWhat, head);
  std::vector<short> atRest;
  if (rinexnav::IsVersion3or4(head.GetVersion())) {
    const navmsg::Layout& layout = *navmsg::LayoutOf('S', navmsg::Kind::SBAS);
    const rinexnav::WantedLines wanted = [&](char system, const std::string& message) {
      return system == 'S' && (message.empty() || message == layout.name) ? layout.lines : 0;
    };
    rinexnav::RecordScan scan = rinexnav::ReadRecords3(
        in, head.GetVersion() >= 4, wanted, [&](const rinexnav::Record3& r) {
          if (!rinexnav::AllPresent(r.values, layout.needed))
            return rinexnav::RecordRead::BadNumber;
          Record rec{static_cast<short>(satcode::kSBAS + r.number), ymdhms2mjd(r.epoch), mjd(), {}};
          std::copy(r.values.begin(), r.values.begin() + layout.needed, rec.v);
          rec.sent = SentTime(rec.epoch, rec.v[kSent]);
          if (AtRest(rec.v))
            atRest.push_back(rec.sat);
          else
            records.push_back(rec);
          return rinexnav::RecordRead::Ok;
        });
    if (scan.stop != rinexnav::RecordRead::NoRecord || scan.read > 0)
      rinexnav::ReportScan(scan, "GPSbEph", kWhat, navig.c_str());
  }
  std::sort(atRest.begin(), atRest.end());
  atRest.erase(std::unique(atRest.begin(), atRest.end()), atRest.end());
  for (short s : atRest) {
    char code[8];
    satcode::Format(s, code);
    ProgramWarningOnce("Orbika", (std::string(kWhat) + " " + navig + ": SBAS RECORDS OF " +
                                  code + " WITHOUT VELOCITY AND ACCELERATION NOT USED!")
                                     .c_str());
  }
  if (records.empty())
    ProgramWarningOnce("Orbika",
                       (std::string(kWhat) + " " + navig + ": NO S:SBAS RECORD!").c_str());
  // By satellite, then by epoch (records of one epoch in file order).
  std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
    return a.sat < b.sat || (a.sat == b.sat && rinexnav::ExactlyEarlier(a.epoch, b.epoch));
  });
  bySat.clear();
  for (std::size_t k = 0; k < records.size(); ++k) {
    const std::size_t s = static_cast<std::size_t>(records[k].sat);
    if (s >= bySat.size()) bySat.resize(s + 1);
    bySat[s].push_back(k);
  }
}

matrix<short> SBASbEph::GetSatList() const {
  std::vector<short> list;
  for (std::size_t s = 0; s < bySat.size(); ++s)
    if (!bySat[s].empty()) list.push_back(static_cast<short>(s));
  matrix<short> m;
  if (list.empty()) return m;
  m.Resize(static_cast<int>(list.size()));
  for (std::size_t i = 0; i < list.size(); ++i) m(static_cast<int>(i)) = list[i];
  return m;
}

bool SBASbEph::Nearest(const std::vector<std::size_t>& rows, const mjd& t,
                       std::size_t& row) const {
  // The nearest record to t, the earlier on a tie.
  const auto next = std::partition_point(rows.begin(), rows.end(), [&](std::size_t k) {
    return records[k].epoch < t;
  });
  row = next == rows.end() ? rows.back() : *next;
  if (next != rows.begin() && next != rows.end() &&
      t - records[*(next - 1)].epoch <= records[*next].epoch - t)
    row = *(next - 1);
  return fabsl(t - records[row].epoch) <= kTimeOut;
}

bool SBASbEph::Received(const std::vector<std::size_t>& rows, const mjd& t,
                        std::size_t& row) const {
  bool found = false;
  for (std::size_t k : rows) {
    const Record& r = records[k];
    if (t < r.sent || !(fabsl(t - r.epoch) <= kTimeOut)) continue;
    if (found && r.sent < records[row].sent) continue;
    found = true;
    row = k;
  }
  return found;
}

RecordFields SBASbEph::GetRecordFields(unsigned short st, const mjd& tindex) const {
  RecordFields f;
  std::size_t row = 0;
  if (st >= bySat.size() || bySat[st].empty() ||
      !(receiver ? Received(bySat[st], tindex, row) : Nearest(bySat[st], tindex, row)))
    return f;
  const Record& r = records[row];
  const navmsg::Layout& layout = *navmsg::LayoutOf('S', navmsg::Kind::SBAS);
  f.msg = layout.name;
  f.iod = r.v[layout.iod];
  f.toc = f.toe = r.epoch;
  f.ttr = r.sent;
  f.health = r.v[layout.health];
  f.accuracy = navmsg::AccuracyMetres(layout, r.v[layout.accuracy]);
  return f;
}

bool SBASbEph::CalcPosition(unsigned short st, const mjd& t, const mjd& tindex, xyzt& pos) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  pos.Set(nan, nan, nan, nan);
  if (st >= bySat.size() || bySat[st].empty()) return false;
  std::size_t row = 0;
  if (!(receiver ? Received(bySat[st], tindex, row) : Nearest(bySat[st], tindex, row)) ||
      !(fabsl(t - records[row].epoch) <= kTimeOut)) {
    char code[8];
    satcode::Format(static_cast<short>(st), code);
    satmsg::Note("Orbika",
                 std::string(receiver ? "NO SBAS RECORD TRANSMITTED AND" : "NO SBAS RECORD") +
                     " WITHIN " + std::to_string(static_cast<int>(kTimeOut)) +
                     " s - BROADCAST COLUMNS WRITTEN AS nan",
                 code, IsoText(t), true);
    return true;
  }
  const Record& r = records[row];
  const long double dt = t - r.epoch;
  // Second-order extrapolation of the state vector (DO-229, GEO navigation
  // message).
  long double x[3];
  for (int i = 0; i < 3; ++i) {
    const int a = kAxis[i];
    x[i] = (r.v[a] + r.v[a + 1] * dt + r.v[a + 2] * dt * dt / 2) * kKm;
  }
  pos.Set(x[0], x[1], x[2], r.v[kAf0] + r.v[kAf1] * dt);
  return true;
}
