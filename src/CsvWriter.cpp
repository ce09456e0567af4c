#include "src/CsvWriter.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "GNSS/time/TimeConverse.h"
#include "PROGINC/text/FixedFormat.h"

namespace {

const char* const kHeader =
    "epoch,mjd,sod,sat,"
    "px_m,py_m,pz_m,pclock_s,pvx_m_s,pvy_m_s,pvz_m_s,"
    "bx_m,by_m,bz_m,bclock_s,bvx_m_s,bvy_m_s,bvz_m_s,"
    "dx_m,dy_m,dz_m,dclock_s,dvx_m_s,dvy_m_s,dvz_m_s,"
    "gd1_s,gd2_s,pair,bclock_pair_s,dclock_pair_s,antenna,dr_m,da_m,dc_m,"
    "msg,iod,toc,toe,ttr,age_s,health,accuracy_m\n";

// Decimals: positions to 0.1 mm, velocities to 1 um/s, clocks to 1 ps.
constexpr int kPositionDecimals = 4;
constexpr int kVelocityDecimals = 6;
constexpr int kClockDecimals = 12;

// Decimals of the record's age and accuracy: 1 ms and 1 mm.
constexpr int kAgeDecimals = 3;
constexpr int kAccuracyDecimals = 3;

// Milliseconds: the resolution of the epoch and of the second of day.
constexpr long long kMsPerSecond = 1000;

// Most epoch texts kept for the satellites after the first.
constexpr std::size_t kKeptEpochs = 200000;

}  // namespace

CsvWriter::CsvWriter(std::ostream& out, bool head) : sink(out) {
  if (head) sink << kHeader;
}

const std::string& CsvWriter::EpochFields(std::size_t k, const mjd& t) {
  if (k < epochs.size()) return epochs[k];
  const MilliEpoch e = RoundToMillisecond(t);
  char text[48];
  std::snprintf(text, sizeof text, ",%u,%lld.%03lld,", unsigned{e.day}, e.ms / kMsPerSecond,
                e.ms % kMsPerSecond);
  scratchEpoch = IsoText(e) + text;
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

void CsvWriter::Signals(const RecordValues& r) {
  const bool pair = r.broadcast.present && r.pair != nullptr;
  for (long double delay : {r.delays.gd1, r.delays.gd2}) {
    // A delay the record does not have is no value at all: empty, not nan.
    if (r.broadcast.present && !std::isnan(delay))
      Number(delay, kClockDecimals);
    else
      line += ',';
  }
  line += ',';
  if (pair) line += r.pair;
  if (pair)
    Number(r.broadcastPairClock, kClockDecimals);
  else
    line += ',';
  if (pair && r.difference.present)
    Number(r.differencePairClock, kClockDecimals);
  else
    line += ',';
  line += ',';
  if (r.precise.present && r.antenna >= 0) line += r.antenna > 0 ? '1' : '0';
  if (!r.difference.present) {
    line += ",,,";
    return;
  }
  Number(r.orbitFrame.radial, kPositionDecimals);
  Number(r.orbitFrame.along, kPositionDecimals);
  Number(r.orbitFrame.cross, kPositionDecimals);
}

void CsvWriter::Written(long double v) {
  line += ',';
  if (std::isnan(v)) return;
  // Integers (issues of data, health words) as integers, else as read.
  char text[40];
  std::snprintf(text, sizeof text, v == std::floor(v) && std::fabs(v) < 1e15L ? "%.0Lf" : "%.12Lg",
                v);
  line += text;
}

void CsvWriter::Time(const mjd& t) {
  line += ',';
  if (t.GetMJDay() != 0) line += IsoText(RoundToMillisecond(t));
}

bool CsvWriter::SameRecord(const RecordFields& a, const RecordFields& b) {
  const auto same = [](long double x, long double y) {
    return x == y || (std::isnan(x) && std::isnan(y));
  };
  const auto at = [](const mjd& x, const mjd& y) {
    return x.GetMJDay() == y.GetMJDay() && x.GetSecond() == y.GetSecond();
  };
  return a.msg == b.msg && same(a.iod, b.iod) && at(a.toc, b.toc) && at(a.toe, b.toe) &&
         at(a.ttr, b.ttr) && same(a.health, b.health) && same(a.accuracy, b.accuracy);
}

void CsvWriter::Fields(const RecordValues& r) {
  const RecordFields& f = r.fields;
  if (!r.broadcast.present || f.msg == nullptr) {
    line += ",,,,,,,,";
    return;
  }
  // A satellite's rows share one record for hours: its texts are kept.
  if (!(lastFields.msg != nullptr && SameRecord(f, lastFields))) {
    std::string row;
    line.swap(row);
    line += ',';
    line += f.msg;
    Written(f.iod);
    Time(f.toc);
    Time(f.toe);
    Time(f.ttr);
    fieldsHead = line;
    line.clear();
    Written(f.health);
    if (std::isnan(f.accuracy))
      line += ',';
    else
      Number(f.accuracy, kAccuracyDecimals);
    fieldsTail = line;
    line.swap(row);
    lastFields = f;
  }
  line += fieldsHead;
  Number(r.t - f.toe, kAgeDecimals);
  line += fieldsTail;
}

void CsvWriter::Record(const RecordValues& r) {
  line = EpochFields(r.k, r.t);
  char sat[8];
  std::snprintf(sat, sizeof sat, "%c%02d", r.letter, r.number);
  line += sat;
  Group(r.precise);
  Group(r.broadcast);
  Group(r.difference);
  Signals(r);
  Fields(r);
  line += '\n';
  sink.write(line.data(), static_cast<std::streamsize>(line.size()));
}
