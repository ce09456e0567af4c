#include "tools/stats/DiffTable.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "tools/stats/Epoch.h"

namespace orbstats {

namespace {

// SP3 files write an absent or bad clock as 999999.999999 us; the text
// table prints it as 1000 ms, the CSV table as 0.999999999999 s.  No
// satellite clock is that far from its system's time.
const double kBadClockS = 0.999999;

// Longest line read: far longer than any record of either table; a longer
// one is no table's (it ends the reading, so that input without line ends,
// such as /dev/zero, is refused at once).
const size_t kMaxLine = 4096;

// Word positions of a text record.
enum Word {
  kDate,
  kTime,
  kDay,
  kSecond,
  kSat,
  kX,
  kDt = kX + 3,
  kVx,
  kDx = kVx + 3,
  kDdt = kDx + 3
};
// Word counts: a record with differences, and with the GLONASS velocity
// difference too; fewer words carry no difference (no broadcast source for
// the satellite's system, or only the epoch for a system Orbika cannot compute).
const size_t kDiffWords = kDdt + 1, kGlonassWords = kDiffWords + 3;
const size_t kNoDiffWords[] = {kSat + 1, kDt + 1, kVx + 3};
const size_t kMaxWords = kGlonassWords + 1;

// The values a CSV record gives, and the names of their columns ("epoch"
// begins the name of the epoch's column): those every table with
// differences has, then those a table may have.
enum CsvValue {
  kEpochCol,
  kSatCol,
  kPx,
  kPclock = kPx + 3,
  kPvx,
  kDxCol = kPvx + 3,
  kDclock = kDxCol + 3,
  kRequired,
  kDvx = kRequired,
  kGd1 = kDvx + 3,
  kPair,
  kDclockPair,
  kAntenna,
  kDr,
  kMsg = kDr + 3,
  kHealth,
  kAccuracy,
  kCsvValues
};
const char* const kCsvNames[kCsvValues] = {
    "epoch",   "sat",     "px_m",     "py_m",    "pz_m",    "pclock_s", "pvx_m_s",
    "pvy_m_s", "pvz_m_s", "dx_m",     "dy_m",    "dz_m",    "dclock_s", "dvx_m_s",
    "dvy_m_s", "dvz_m_s", "gd1_s",    "pair",    "dclock_pair_s", "antenna", "dr_m",
    "da_m",    "dc_m",    "msg",      "health",  "accuracy_m"};

const double kNan = std::numeric_limits<double>::quiet_NaN();

// The number that fills the text [text, text + length); false unless it does.
bool ToNumber(const char* text, size_t length, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return length > 0 && end == text + length;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A satellite code: a system letter and two digits (G02).
bool IsSatellite(const std::string& s, size_t from, size_t length) {
  return length == 3 && s[from] >= 'A' && s[from] <= 'Z' && IsDigit(s[from + 1]) &&
         IsDigit(s[from + 2]);
}

bool AllFinite(const double* v, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

// The precise position and clock p [m, s], velocity v [m/s], the position
// and clock differences d [m, s] and the velocity difference dv [m/s] into
// rec; nan where a value is absent.  Shared by both tables.
void SetValues(const double p[4], const double v[3], const double d[4], const double dv[3],
               DiffRecord& rec) {
  rec.motion = AllFinite(p, 3) && AllFinite(v, 3);
  rec.diff = rec.motion && AllFinite(d, 3);
  for (int i = 0; i < 3; ++i)
    rec.r[i] = p[i], rec.v[i] = v[i], rec.d[i] = d[i], rec.dv[i] = dv[i];
  if (std::fabs(p[3]) >= kBadClockS)
    rec.clock = Clock::kMarkedBad;
  else
    rec.clock = std::isfinite(p[3]) && std::isfinite(d[3]) ? Clock::kValue : Clock::kNone;
  rec.dclock = d[3];
}

// Starts and lengths of the blank-separated words of line, at most max.
size_t SplitWords(const std::string& line, size_t start[], size_t length[], size_t max) {
  size_t n = 0;
  for (size_t i = line.find_first_not_of(' '); i != std::string::npos && n < max; ++n) {
    const size_t end = std::min(line.find(' ', i), line.size());
    start[n] = i;
    length[n] = end - i;
    i = line.find_first_not_of(' ', end);
  }
  return n;
}

// Whether the first word of a text line is a date, as a record's is.
bool BeginsWithDate(const std::string& line) {
  const size_t i = line.find_first_not_of(' ');
  if (i == std::string::npos || line.size() < i + 10) return false;
  for (size_t k = 0; k < 10; ++k) {
    const char c = line[i + k];
    if (k == 4 || k == 7 ? c != '-' : !IsDigit(c)) return false;
  }
  return true;
}

// The comma-separated fields of line.
std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line)
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  return fields;
}

}  // namespace

bool DiffTableReader::GetLine(std::string& line) {
  if (!error_.empty()) return false;
  char buffer[kMaxLine + 1];
  in_.getline(buffer, sizeof buffer);
  const size_t got = static_cast<size_t>(in_.gcount());
  if (got == 0 && !in_) return false;
  ++lineNo_;
  bytes_ += got;
  if (in_.fail() && !in_.eof()) {
    error_ = name_ + " line " + std::to_string(lineNo_) + " is longer than " +
             std::to_string(kMaxLine) + " characters: not an Orbika table";
    return false;
  }
  // Without its line end, which getline counts but does not store.
  line.assign(buffer, in_.eof() ? got : got - 1);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  // A table's first record comes after its settings and messages.
  if (!records_ && bytes_ > kMaxLead) {
    error_ = name_ + " has no " + (header_ ? "record" : "line of column names") +
             " in its first " + std::to_string(kMaxLead >> 20) + " MiB: not an Orbika table";
    return false;
  }
  return true;
}

// Notes from a '#' line whether the table names an ANTEX file: the text
// table's settings write "---" where it has none.
void DiffTableReader::ReadSetting(const std::string& line) {
  const size_t key = line.find_first_not_of("# ");
  if (key == std::string::npos || line.compare(key, 10, "ANTEX file") != 0) return;
  const size_t colon = line.find(':', key);
  const size_t value = colon == std::string::npos ? colon : line.find_first_not_of(' ', colon + 1);
  const bool none =
      value == std::string::npos || line.compare(value, std::string::npos, "---") == 0;
  antex_ = none ? Antex::kNone : Antex::kUsed;
}

bool DiffTableReader::SetCsvColumns(const std::string& line) {
  const std::vector<std::string> names = SplitFields(line);
  columns_.assign(kCsvValues, names.size());
  for (size_t i = names.size(); i-- > 0;) {
    if (names[i].compare(0, 5, kCsvNames[kEpochCol]) == 0) columns_[kEpochCol] = i;
    for (int k = kSatCol; k < kCsvValues; ++k)
      if (names[i] == kCsvNames[k]) columns_[k] = i;
  }
  fields_ = names.size();
  csv_ = true;
  // With an antenna column the records say whether an ANTEX file was used:
  // none gave it where every field is empty.
  if (columns_[kAntenna] < fields_) antex_ = Antex::kNone;
  messages_ = columns_[kMsg] < fields_;
  for (int k = 0; k < kRequired; ++k)
    if (columns_[k] == names.size()) return false;
  return true;
}

bool DiffTableReader::ReadHeader() {
  const std::string noColumns = name_ +
                                " has no precise-minus-broadcast columns (run Orbika"
                                " with an SP3 file and a navigation file)";
  std::string line;
  while (GetLine(line)) {
    if (!line.empty() && line[0] == '#') {
      ReadSetting(line);
      if (line.find("PRN") == std::string::npos || line.find("X[m]") == std::string::npos) continue;
      header_ = true;
      if (line.find("DX[m]") != std::string::npos) return true;
      error_ = noColumns;
      return false;
    }
    const std::vector<std::string> fields = SplitFields(line);
    bool sat = false;
    for (const std::string& f : fields) sat = sat || f == kCsvNames[kSatCol];
    if (!sat) continue;
    header_ = true;
    if (SetCsvColumns(line)) return true;
    error_ = noColumns;
    return false;
  }
  if (error_.empty())
    error_ = in_.bad() ? "cannot read " + name_
                       : name_ + " is not an Orbika table (it has no line of column names)";
  return false;
}

bool DiffTableReader::Next(DiffRecord& rec) {
  std::string line;
  while (GetLine(line)) {
    const bool comma = line.find(',') != std::string::npos;
    if (comma != csv_ && BeginsWithDate(line)) {
      // Records of the other kind: two tables in one file.
      error_ = name_ + " line " + std::to_string(lineNo_) + " is a record of " +
               (csv_ ? "a text table in a CSV table" : "a CSV table in a text table") +
               ": give each table as a file of its own";
      return false;
    }
    const bool record = csv_ ? !line.empty() && line[0] != '#' && comma : BeginsWithDate(line);
    if (!record) continue;
    records_ = true;
    if (csv_ ? ParseCsv(line, rec) : ParseText(line, rec)) {
      if (rec.offset != Offset::kUnknown) antex_ = Antex::kUsed;
      return true;
    }
    error_ = name_ + " line " + std::to_string(lineNo_) + " is not a record of an Orbika table";
    return false;
  }
  if (in_.bad() && error_.empty()) error_ = "cannot read " + name_;
  return false;
}

bool DiffTableReader::ParseText(const std::string& line, DiffRecord& rec) const {
  size_t start[kMaxWords], length[kMaxWords];
  const size_t n = SplitWords(line, start, length, kMaxWords);
  bool known = n == kDiffWords || n == kGlonassWords;
  for (size_t k : kNoDiffWords) known = known || n == k;
  if (!known || !IsSatellite(line, start[kSat], length[kSat])) return false;
  double v[kMaxWords];
  for (size_t i = kDay; i < n; ++i)
    if (i != kSat && !ToNumber(line.c_str() + start[i], length[i], v[i])) return false;
  // The MJD day and the second of day as Orbika prints them.
  if (!(v[kDay] >= 0 && v[kDay] < 1e7 && v[kDay] == std::floor(v[kDay]) && v[kSecond] >= 0 &&
        v[kSecond] <= 86400))
    return false;
  rec.sat.assign(line, start[kSat], 3);
  rec.ms = static_cast<long long>(v[kDay]) * kMsPerDay + std::llround(v[kSecond] * 1000);
  for (size_t i = n; i < kMaxWords; ++i) v[i] = kNan;
  v[kDt] /= 1000;  // ms to s
  v[kDdt] /= 1000;
  SetValues(&v[kX], &v[kVx], &v[kDx], &v[kDdt + 1], rec);
  rec.pair.clear();
  rec.gd1 = rec.rac = false;
  rec.offset = Offset::kUnknown;
  rec.msg.clear();
  rec.health = rec.accuracy = kNan;
  return true;
}

bool DiffTableReader::ParseCsv(const std::string& line, DiffRecord& rec) const {
  const std::vector<std::string> fields = SplitFields(line);
  if (fields.size() != fields_) return false;
  const std::string& sat = fields[columns_[kSatCol]];
  if (!IsSatellite(sat, 0, sat.size()) || !ParseIsoEpoch(fields[columns_[kEpochCol]], rec.ms))
    return false;
  rec.sat = sat;
  static const std::string kAbsent;  // the field of a column the table lacks
  double v[kCsvValues];
  std::string text[kCsvValues];
  for (int k = kPx; k < kCsvValues; ++k) {
    const std::string& f = columns_[k] < fields_ ? fields[columns_[k]] : kAbsent;
    v[k] = kNan;  // an empty field: no source
    if (k == kPair || k == kAntenna || k == kMsg)
      text[k] = f;
    else if (!f.empty() && !ToNumber(f.c_str(), f.size(), v[k]))
      return false;
  }
  const std::string& antenna = text[kAntenna];
  if (!(antenna.empty() || antenna == "0" || antenna == "1")) return false;
  rec.offset = antenna.empty() ? Offset::kUnknown : antenna == "1" ? Offset::kApplied : Offset::kNone;
  // The pair's clock difference replaces the broadcast signal's where the
  // table brought the record's clock to a pair.
  rec.pair = text[kPair];
  if (!rec.pair.empty()) v[kDclock] = v[kDclockPair];
  rec.gd1 = std::isfinite(v[kGd1]);
  SetValues(&v[kPx], &v[kPvx], &v[kDxCol], &v[kDvx], rec);
  rec.rac = rec.diff && AllFinite(&v[kDr], 3);
  for (int i = 0; i < 3; ++i) rec.racTable[i] = v[kDr + i];
  rec.msg = text[kMsg];
  rec.health = v[kHealth];
  rec.accuracy = v[kAccuracy];
  return true;
}

}  // namespace orbstats
