#include "src/CsvWriter.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "GNSS/time/TimeConverse.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/text/FixedFormat.h"

namespace {

const char* const kHeader =
    "epoch,mjd,sod,sat,"
    "px_m,py_m,pz_m,pclock_s,pvx_m_s,pvy_m_s,pvz_m_s,"
    "bx_m,by_m,bz_m,bclock_s,bvx_m_s,bvy_m_s,bvz_m_s,"
    "dx_m,dy_m,dz_m,dclock_s,dvx_m_s,dvy_m_s,dvz_m_s\n";

// Decimals: positions to 0.1 mm, velocities to 1 um/s, clocks to 1 ps.
constexpr int kPositionDecimals = 4;
constexpr int kVelocityDecimals = 6;
constexpr int kClockDecimals = 12;

// Milliseconds: the resolution of the epoch and of the second of day.
constexpr long long kMsPerSecond = 1000;
constexpr long long kMsPerDay = 86400 * kMsPerSecond;

// Most epoch texts kept for the satellites after the first.
constexpr std::size_t kKeptEpochs = 200000;

}  // namespace

CsvWriter::CsvWriter(std::ostream& out) : sink(out) { sink << kHeader; }

const std::string& CsvWriter::EpochFields(std::size_t k, const mjd& t) {
  if (k < epochs.size()) return epochs[k];
  // Rounded to the millisecond first, so that date, time and second of day
  // agree (23:59:59.9996 is the next day's 00:00:00.000).
  long long ms = std::llround(t.GetSecond() * kMsPerSecond);
  std::uint32_t day = t.GetMJDay();
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    ++day;
  }
  const ymdhms date = mjd2ymdhms(mjd(day, 0));
  const long long s = ms / kMsPerSecond;
  char text[96];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02lld:%02lld:%02lld.%03lld,%u,%lld.%03lld,",
                unsigned{date.GetYear()}, unsigned{date.GetMonth()}, unsigned{date.GetDay()},
                s / 3600, s / 60 % 60, s % 60, ms % kMsPerSecond, unsigned{day}, s,
                ms % kMsPerSecond);
  scratchEpoch = text;
  if (k == epochs.size() && k < kKeptEpochs) {
    epochs.push_back(scratchEpoch);
    return epochs.back();
  }
  return scratchEpoch;
}

void CsvWriter::Number(long double v, int decimals) {
  line += ',';
  if (std::isnan(v)) {
    line += "nan";
    return;
  }
  char text[kFixedFormatMax + 1];
  const int n = FormatFixed(text, v, 0, decimals);
  if (n >= 0) {
    line.append(text, static_cast<std::size_t>(n));
    return;
  }
  // A number too long for the fast text (a damaged record's orbit).
  const int len = std::snprintf(nullptr, 0, "%.*Lf", decimals, v);
  std::string big(static_cast<std::size_t>(len) + 1, '\0');
  std::snprintf(&big[0], big.size(), "%.*Lf", decimals, v);
  line.append(big.data(), static_cast<std::size_t>(len));
}

void CsvWriter::Space(const xyzt& v, int decimals) {
  Number(v.GetX(), decimals);
  Number(v.GetY(), decimals);
  Number(v.GetZ(), decimals);
}

void CsvWriter::Group(const ValueGroup& g) {
  if (!g.present) {
    line += ",,,,,,,";
    return;
  }
  Space(g.position, kPositionDecimals);
  Number(g.clockValid ? g.position.GetT() : std::numeric_limits<long double>::quiet_NaN(),
         kClockDecimals);
  if (!g.hasVelocity) {
    line += ",,,";
    return;
  }
  Space(g.velocity, kVelocityDecimals);
}

void CsvWriter::Record(const RecordValues& r) {
  line = EpochFields(r.k, r.t);
  char sat[8];
  std::snprintf(sat, sizeof sat, "%c%02d", r.letter, r.number);
  line += sat;
  Group(r.precise);
  Group(r.broadcast);
  Group(r.difference);
  line += '\n';
  sink.write(line.data(), static_cast<std::streamsize>(line.size()));
}
