#include "tools/stats/DiffStats.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "GNSS/base/mGNSSc.h"
#include "tools/stats/Epoch.h"

namespace orbstats {

namespace {

// Order of the systems in the output.
const std::string kSystemOrder = "GRECSJI";
// The first BeiDou-3 satellite number: C01-C18 are BeiDou-2.
const int kFirstBds3 = 19;

const double kNan = std::numeric_limits<double>::quiet_NaN();

size_t SystemRank(char system) {
  const size_t rank = kSystemOrder.find(system);
  return rank == std::string::npos ? kSystemOrder.size() + static_cast<unsigned char>(system)
                                   : rank;
}

char SystemOfRank(size_t rank) {
  return rank < kSystemOrder.size() ? kSystemOrder[rank]
                                    : static_cast<char>(rank - kSystemOrder.size());
}

// BeiDou's generation of a satellite code: 2 or 3, else 0.
int GenerationOf(const std::string& code) {
  return code[0] == 'C' ? (std::stoi(code.substr(1)) < kFirstBds3 ? 2 : 3) : 0;
}

// The clock datum's systems: a message, a rank (every letter has one) and
// BeiDou's generation.  Keys of the datum: an epoch's number times
// kDatumKeys, plus the datum system.
const long long kGenerations = 4;
const long long kSystemKeys = (static_cast<long long>(kSystemOrder.size()) + 256) * kGenerations;
const long long kDatumKeys = kSystemKeys * static_cast<long long>(kMaxMessages);
long long SystemKeyOf(const std::string& code) {
  return static_cast<long long>(SystemRank(code[0])) * kGenerations + GenerationOf(code);
}

// The CNAV L5 health bit, and the largest health word of any message.
const long kCnavL5 = 1;
const double kMaxHealthWord = 1 << 30;

// The message whose clocks share a datum: BeiDou's D1 (non-GEO satellites)
// and D2 (GEO) carry the same clock model on B1I/B3I (BDS-SIS-ICD-B1I 5.2.4
// and 5.3.3), so they form one.
std::string DatumMessage(const std::string& msg) {
  return msg == "D1" || msg == "D2" ? "D1/D2" : msg;
}

long long DayOf(long long ms) { return (ms >= 0 ? ms : ms - kMsPerDay + 1) / kMsPerDay; }

}  // namespace

const char* const kBroadcastSignal = "broadcast signal";
const char* const kGlonassL1 = "L1";

std::string SystemName(char system) {
  switch (system) {
    case 'G':
      return "GPS";
    case 'R':
      return "GLONASS";
    case 'E':
      return "Galileo";
    case 'C':
      return "BeiDou";
    case 'S':
      return "SBAS";
    case 'J':
      return "QZSS";
    case 'I':
      return "NavIC";
    default:
      return std::string(1, system);
  }
}

std::string GroupName(const Group& group) {
  if (group.generation) return "BDS-" + std::to_string(group.generation);
  return SystemName(SystemOfRank(group.rank));
}

bool DiffStats::BySystem::operator()(const std::string& a, const std::string& b) const {
  const size_t ra = SystemRank(a[0]), rb = SystemRank(b[0]);
  return ra != rb ? ra < rb : a < b;
}

// The key orders a satellite's messages after its code ("G01 CNAV").
std::uint32_t DiffStats::SatelliteOf(const std::string& code, const std::string& msg) {
  const std::string key = msg.empty() ? code : code + ' ' + msg;
  const auto found = index_.emplace(key, static_cast<std::uint32_t>(sats_.size()));
  if (!found.second) return found.first->second;
  const std::string datumMsg = DatumMessage(msg);
  const auto number = static_cast<std::uint32_t>(
      std::find(messages_.begin(), messages_.end(), datumMsg) - messages_.begin());
  if (number == messages_.size()) messages_.push_back(datumMsg);
  sats_.push_back(Satellite{code, msg, number, {}, {}, {}, {}});
  return found.first->second;
}

Group DiffStats::GroupOf(const Satellite& sat) const {
  const OrbitType type =
      TypeOf(static_cast<double>(sat.radius.Mean()), static_cast<double>(sat.inclination.Mean()));
  return {SystemRank(sat.code[0]), GenerationOf(sat.code), type, sat.msg};
}

long long DiffStats::DatumSystemOf(const Satellite& sat) const {
  return sat.message * kSystemKeys + SystemKeyOf(sat.code);
}

// Every system's health field is 0 when the satellite is healthy on the
// message's signals; an empty field says nothing, so the record is kept.
// GPS and QZSS CNAV write the L1, L2 and L5 health bits (IS-GPS-200
// 30.3.3.1.1.2) as 4, 2 and 1: the clocks compared are on L1/L2, so the L5
// bit, set while L5 is not declared usable, is not looked at.
bool DiffStats::Healthy(const DiffRecord& rec) const {
  if (allHealth_ || std::isnan(rec.health)) return true;
  if (!(rec.health >= 0 && rec.health <= kMaxHealthWord)) return false;
  const bool cnav = (rec.sat[0] == 'G' || rec.sat[0] == 'J') && rec.msg == "CNAV";
  return (static_cast<long>(rec.health) & (cnav ? ~kCnavL5 : ~0L)) == 0;
}

// The clock difference with the relativistic terms the figures compare.
double DiffStats::ClockOf(const DiffRecord& rec) const {
  double dclock = rec.dclock + RelativisticTerm(rec.r, rec.v);
  if (rec.sat[0] != 'R') return dclock;
  // The broadcast orbit's term, which the table's GLONASS broadcast clock
  // holds and GLONASS users do not apply: of r - dr and v - dv.
  double r[3], v[3];
  const bool dv = std::isfinite(rec.dv[0] + rec.dv[1] + rec.dv[2]);
  for (int i = 0; i < 3; ++i) {
    r[i] = rec.r[i] - rec.d[i];
    v[i] = dv ? rec.v[i] - rec.dv[i] : rec.v[i];
  }
  return dclock + RelativisticTerm(r, v);
}

bool DiffStats::Repeats(std::uint32_t sat, long long ms) {
  std::vector<Span>& spans = spans_[DayOf(ms) * kSpanKeys + sat];
  // A table writes each satellite's records in time order, so one not
  // later than the last this table gave begins the same records again.
  for (const Span& s : spans)
    if (s.table == table_ ? ms <= s.last : s.first <= ms && ms <= s.last) return true;
  if (spans.empty() || spans.back().table != table_)
    spans.push_back({ms, ms, table_});
  else
    spans.back().last = ms;
  return false;
}

std::string DiffStats::Add(const DiffRecord& rec) {
  if (index_.count(rec.msg.empty() ? rec.sat : rec.sat + ' ' + rec.msg) == 0 &&
      std::find(messages_.begin(), messages_.end(), DatumMessage(rec.msg)) == messages_.end() &&
      messages_.size() >= kMaxMessages)
    return "more than " + std::to_string(kMaxMessages) +
           " messages in its msg column, with the tables before it: not Orbika's messages";
  const std::uint32_t satIndex = SatelliteOf(rec.sat, rec.msg);
  if (Repeats(satIndex, rec.ms)) {
    ++repeated_;
    return "";
  }
  if (!Healthy(rec)) {
    ++unhealthy_[{SystemRank(rec.sat[0]), rec.msg}];
    return "";
  }
  Satellite& sat = sats_[satIndex];
  if (rec.motion) {
    sat.radius.Add(Radius(rec.r));
    const double inclination = Inclination(rec.r, rec.v);
    if (std::isfinite(inclination)) sat.inclination.Add(inclination);
  }
  Pending p;
  p.apart = rec.offset == Offset::kNone;
  // The table's own radial, along-track and cross-track where it has them.
  bool rac = rec.diff;
  if (rac && rec.rac)
    std::copy(rec.racTable, rec.racTable + 3, p.rac);
  else if (rac)
    rac = ToRac(rec.r, rec.v, rec.d, p.rac);
  if (!rac) {
    ++(p.apart ? sat.apart : sat.figures).noDiff;
    return "";
  }
  if (pending_.size() >= kMaxTableRecords)
    return "more than " + std::to_string(kMaxTableRecords) +
           " records with a difference: give it as several tables (one per day)";
  p.accuracy = static_cast<float>(rec.accuracy);
  const auto epoch = epochIndex_.emplace(rec.ms, static_cast<std::uint32_t>(epochs_.size()));
  if (epoch.second) epochs_.push_back(rec.ms);
  p.dclock = ClockOf(rec);
  p.sat = satIndex;
  p.epoch = epoch.first->second;
  // An orbit far beyond any satellite's can overflow the term.
  p.clock = rec.clock == Clock::kValue && !std::isfinite(p.dclock) ? Clock::kNone : rec.clock;
  if (p.clock == Clock::kValue) {
    const bool l1 = rec.sat[0] == 'R' && !rec.pair.empty() && !rec.gd1;
    ++signals_[{rec.sat[0], rec.pair.empty() ? kBroadcastSignal : l1 ? kGlonassL1 : rec.pair}];
  }
  pending_.push_back(p);
  return "";
}

long long DiffStats::DatumKey(const Pending& p) const {
  return p.epoch * kDatumKeys + DatumSystemOf(sats_[p.sat]);
}

// The median clock difference of each epoch and system, and the number of
// satellites behind it; records that are outliers by their 3D difference
// do not enter it.
DiffStats::DatumMap DiffStats::FormDatum() {
  const auto key = [&](std::uint32_t i) { return DatumKey(pending_[i]); };
  std::vector<std::uint32_t> order;
  for (std::uint32_t i = 0; i < pending_.size(); ++i) {
    const Pending& p = pending_[i];
    if (p.clock == Clock::kValue && std::hypot(p.rac[0], p.rac[1], p.rac[2]) <= kOutlier3d)
      order.push_back(i);
  }
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const long long ka = key(a), kb = key(b);
    return ka != kb ? ka < kb : pending_[a].dclock < pending_[b].dclock;
  });
  DatumMap datum;
  for (size_t first = 0, last = 0; first < order.size(); first = last) {
    const long long k = key(order[first]);
    while (last < order.size() && key(order[last]) == k) ++last;
    const size_t n = last - first, mid = first + n / 2;
    const double upper = pending_[order[mid]].dclock;
    const double median = n % 2 ? upper : (pending_[order[mid - 1]].dclock + upper) / 2;
    datum[k] = {median, static_cast<int>(n)};
  }
  NoteDatum(datum);
  return datum;
}

// Each day's datum figures.
void DiffStats::NoteDatum(const DatumMap& datum) {
  const long long gps = SystemKeyOf("G00"), qzss = SystemKeyOf("J00");
  for (const auto& [k, value] : datum) {
    const long long epoch = k / kDatumKeys, message = k % kDatumKeys / kSystemKeys;
    const long long system = k % kSystemKeys;
    const long long day = DayOf(epochs_[static_cast<size_t>(epoch)]);
    const Group group{static_cast<size_t>(system / kGenerations),
                      static_cast<int>(system % kGenerations), OrbitType::kUnknown,
                      messages_[static_cast<size_t>(message)]};
    DatumRow& row = datum_[{day, group}];
    const int n = value.count;
    row.mjd = day;
    row.system = group;
    row.fewest = row.epochs ? std::min(row.fewest, n) : n;
    row.most = std::max(row.most, n);
    ++row.epochs;
    if (n >= kDatumSatellites) continue;
    const auto joined =
        system == qzss ? datum.find(epoch * kDatumKeys + message * kSystemKeys + gps) : datum.end();
    const bool onGps = joined != datum.end() && joined->second.count >= kDatumSatellites;
    row.joined += onGps;
    row.leftOut += !onGps;
  }
}

const DiffStats::DatumValue* DiffStats::DatumOf(const Pending& p, const DatumMap& datum) const {
  const auto found = datum.find(DatumKey(p));
  if (found == datum.end()) return nullptr;
  if (found->second.count >= kDatumSatellites) return &found->second;
  if (sats_[p.sat].code[0] != 'J') return nullptr;
  const auto gps = datum.find(p.epoch * kDatumKeys + sats_[p.sat].message * kSystemKeys +
                              SystemKeyOf("G00"));
  return gps != datum.end() && gps->second.count >= kDatumSatellites ? &gps->second : nullptr;
}

void DiffStats::Keep(const Pending& p, const DatumMap& datum) {
  Satellite& sat = sats_[p.sat];
  const double d3 = std::hypot(p.rac[0], p.rac[1], p.rac[2]);
  if (d3 > kOutlier3d) return Outlier(p, d3, kNan);
  const Group group = GroupOf(sat);
  const SisreWeights w = WeightsOf(sat.code[0], group.type);
  const double radial = w.radial * p.rac[0];
  const double alongCross = w.alongCross2 * (p.rac[1] * p.rac[1] + p.rac[2] * p.rac[2]);
  Sample s{};
  std::copy(p.rac, p.rac + 3, s.rac);
  s.d3 = d3;
  s.orbitSisre = std::sqrt(radial * radial + alongCross);
  s.dtNs = s.sisre = s.radialLessClock = kNan;
  s.accuracy = p.accuracy;
  Figures& figures = p.apart ? sat.apart : sat.figures;
  if (p.clock == Clock::kMarkedBad) ++figures.badClock;
  const DatumValue* found = p.clock == Clock::kValue ? DatumOf(p, datum) : nullptr;
  s.clock = found != nullptr;
  if (s.clock) {
    const double dt = p.dclock - found->median;
    if (std::fabs(dt) > kOutlierClock) return Outlier(p, d3, dt);
    s.dtNs = dt * 1e9;
    s.radialLessClock = radial - static_cast<double>(mGNSSc::c) * dt;
    s.sisre = std::sqrt(s.radialLessClock * s.radialLessClock + alongCross);
  }
  figures.Add(s, true);
  if (!p.apart) days_[{DayOf(epochs_[p.epoch]), group}].Add(s, false);
}

// Counts an outlier by its 3D difference d3 [m] or, where clock [s] is not
// nan, by its clock's distance from the epoch's median.
void DiffStats::Outlier(const Pending& p, double d3, double clock) {
  ++outlierCount_;
  ++(p.apart ? sats_[p.sat].apart : sats_[p.sat].figures).outliers;
  const long long ms = epochs_[p.epoch];
  OutlierRow& row = outliers_[{p.sat, DayOf(ms)}];
  if (row.orbit + row.clock == 0) {
    row.sat = sats_[p.sat].code;
    row.msg = sats_[p.sat].msg;
    row.mjd = DayOf(ms);
    row.first = row.last = ms;
  }
  row.first = std::min(row.first, ms);
  row.last = std::max(row.last, ms);
  if (std::isnan(clock)) {
    ++row.orbit;
    row.max3d = std::max(row.max3d, d3);
  } else {
    ++row.clock;
    row.maxClock = std::max(row.maxClock, std::fabs(clock));
  }
}

void DiffStats::EndTable() {
  const DatumMap datum = FormDatum();
  for (const Pending& p : pending_) Keep(p, datum);
  pending_.clear();
  pending_.shrink_to_fit();
  epochIndex_.clear();
  epochs_.clear();
  ++table_;
}

namespace {

bool Empty(const Figures& f) { return f.Records() + f.noDiff + f.outliers == 0; }

}  // namespace

std::vector<SummaryRow> DiffStats::Satellites() const {
  std::vector<SummaryRow> rows;
  for (const auto& [key, i] : index_) {
    const Satellite& sat = sats_[i];
    // No row for a satellite whose every record was left out by its health.
    if (Empty(sat.figures) && Empty(sat.apart)) continue;
    if (!Empty(sat.figures))
      rows.push_back({sat.code, GroupOf(sat), false, 1, sat.figures, sat.figures.OffsetFreeSumSq()});
    if (!Empty(sat.apart))
      rows.push_back({sat.code, GroupOf(sat), true, 1, sat.apart, sat.apart.OffsetFreeSumSq()});
  }
  return rows;
}

std::vector<SignalRow> DiffStats::Signals() const {
  std::vector<SignalRow> rows;
  for (const auto& [key, records] : signals_) rows.push_back({key.first, key.second, records});
  std::stable_sort(rows.begin(), rows.end(), [](const SignalRow& a, const SignalRow& b) {
    return SystemRank(a.system) < SystemRank(b.system);
  });
  return rows;
}

std::vector<SummaryRow> DiffStats::Systems() const {
  std::map<Group, SummaryRow> groups;
  // Where the tables name messages, a satellite's records without one (no
  // broadcast record) belong to no message's row: its own row counts them.
  const bool messages = std::any_of(messages_.begin(), messages_.end(),
                                    [](const std::string& m) { return !m.empty(); });
  for (const auto& [key, i] : index_) {
    const Satellite& sat = sats_[i];
    if (Empty(sat.figures) || (messages && sat.msg.empty() && sat.figures.Records() == 0))
      continue;
    SummaryRow& row = groups[GroupOf(sat)];
    row.group = GroupOf(sat);
    row.satellites += sat.figures.Records() > 0;
    row.figures.Merge(sat.figures);
    row.offsetFreeSumSq += sat.figures.OffsetFreeSumSq();
  }
  std::vector<SummaryRow> rows;
  for (auto& entry : groups) rows.push_back(std::move(entry.second));
  return rows;
}

std::vector<DayRow> DiffStats::Days() const {
  std::vector<DayRow> rows;
  for (const auto& [key, figures] : days_) rows.push_back({key.first, key.second, &figures});
  return rows;
}

std::vector<DatumRow> DiffStats::Datum() const {
  std::vector<DatumRow> rows;
  for (const auto& entry : datum_) rows.push_back(entry.second);
  return rows;
}

std::vector<OutlierRow> DiffStats::Outliers() const {
  std::vector<OutlierRow> rows;
  for (const auto& entry : outliers_) rows.push_back(entry.second);
  std::stable_sort(rows.begin(), rows.end(), [](const OutlierRow& a, const OutlierRow& b) {
    return BySystem()(a.sat, b.sat) ||
           (a.sat == b.sat && std::tie(a.msg, a.mjd) < std::tie(b.msg, b.mjd));
  });
  return rows;
}

std::vector<UnhealthyRow> DiffStats::Unhealthy() const {
  std::vector<UnhealthyRow> rows;
  for (const auto& [key, records] : unhealthy_)
    rows.push_back({SystemOfRank(key.first), key.second, records});
  return rows;
}

}  // namespace orbstats
