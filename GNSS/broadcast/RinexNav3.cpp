#include "GNSS/broadcast/RinexNav3.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>

#include "GNSS/base/satcode.h"
#include "PROGINC/text/FieldNumber.h"

namespace rinexnav {

namespace {

// Columns (1-based) and width of the numbers of a record line.
constexpr int kFieldWidth = 19;
constexpr int kFirstLineFields[] = {24, 43, 62};
constexpr int kNextLineFields[] = {5, 24, 43, 62};
// Indent of a version 3 continuation line.
constexpr char kIndentText[] = "    ";
constexpr std::size_t kIndent = sizeof kIndentText - 1;
// Lines kept of a version 4 record without an orbit: the frame line and
// the epoch and value lines of a time offset (STO).
constexpr std::size_t kOrbitlessLines = 3;
// Calendar bounds of a record epoch (those of the time types).
constexpr int kFirstYear = 1901;
constexpr int kLastYear = 2199;

// System letters of RINEX 3/4 satellite codes.
bool IsSystemLetter(char c) { return c != '\0' && std::strchr("GRECJSI", c) != nullptr; }

bool Blank(std::string_view line) {
  for (const char c : line)
    if (c != ' ' && c != '\t') return false;
  return true;
}

// The next line without its line end (and a carriage return before it).
bool NextLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// The text of a field, blanks trimmed; empty past the end of the line.
std::string_view FieldText(std::string_view line, int col, int len) {
  const std::size_t from = static_cast<std::size_t>(col - 1);
  if (from >= line.size()) return {};
  std::string_view f = line.substr(from, static_cast<std::size_t>(len));
  while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
  while (!f.empty() && f.back() == ' ') f.remove_suffix(1);
  return f;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with an optional sign (and, for a mantissa, one decimal point).
bool NumberText(std::string_view s, bool point) {
  std::size_t k = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
  bool digit = false, dot = false;
  for (; k < s.size(); ++k) {
    if (IsDigit(s[k])) {
      digit = true;
    } else if (point && s[k] == '.' && !dot) {
      dot = true;
    } else {
      return false;
    }
  }
  return digit;
}

// The value of a short whole number text that NumberText accepted.
long WholeValue(std::string_view s) {
  long v = 0;
  for (const char c : s)
    if (IsDigit(c)) v = v * 10 + (c - '0');
  return !s.empty() && s[0] == '-' ? -v : v;
}

// The parts of a field's number text: the mantissa, digits with an
// optional sign and at most one decimal point, and after the letter D, d, E
// or e the exponent, digits with an optional sign, at most four characters
// ("0" without a letter); false when the text has another form.  The
// mantissa is looked at once, in the same pass that finds the letter.
bool SplitNumber(std::string_view f, std::string_view& mant, std::string_view& expo) {
  std::size_t k = !f.empty() && (f[0] == '+' || f[0] == '-') ? 1 : 0;
  bool digit = false, dot = false;
  for (; k < f.size(); ++k) {
    if (IsDigit(f[k])) digit = true;
    else if (f[k] == '.' && !dot) dot = true;
    else break;
  }
  if (!digit) return false;
  mant = f.substr(0, k);
  expo = "0";
  if (k == f.size()) return true;
  if (f[k] != 'D' && f[k] != 'd' && f[k] != 'E' && f[k] != 'e') return false;
  expo = f.substr(k + 1);
  return expo.size() <= 4 && NumberText(expo, false);
}

enum class Field { Number, Missing, Bad };

// One number field: mantissa times ten to the exponent, at double precision.
Field ReadField(std::string_view line, int col, long double& value, int len = kFieldWidth) {
  const std::string_view f = FieldText(line, col, len);
  value = std::numeric_limits<long double>::quiet_NaN();
  if (f.empty()) return Field::Missing;
  std::string_view mant, expo;
  if (!SplitNumber(f, mant, expo)) return Field::Bad;
  double v;
  if (!ScaledNumber(mant.data(), mant.data() + mant.size(), WholeValue(expo), v))
    return Field::Bad;
  value = static_cast<long double>(v);
  return Field::Number;
}

// An unsigned whole number in a field (blanks before it allowed).
bool ReadWhole(std::string_view line, int col, int len, int& value) {
  const std::string_view f = FieldText(line, col, len);
  if (!NumberText(f, false) || f[0] == '+' || f[0] == '-') return false;
  value = static_cast<int>(WholeValue(f));
  return true;
}

bool ValidDate(int y, int m, int d, int h, int mi, int s) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < kFirstYear || y > kLastYear || m < 1 || m > 12 || d < 1) return false;
  const bool leap = ymdhms::LeapYear(static_cast<unsigned short>(y));
  if (d > days[m - 1] + (m == 2 && leap ? 1 : 0)) return false;
  return h <= 23 && mi <= 59 && s <= 59;
}

// The lines of one record.  Each line is swapped in from the line buffer,
// not copied, and the strings serve the next record again: once they have
// grown to the file's line length, gathering a record allocates nothing.
class RecordLines {
 public:
  // Starts a record with line (taken: line is left holding other text).
  void Start(std::string& line) {
    first_ = size_ = 0;
    Add(line);
  }
  void Add(std::string& line) {
    if (first_ + size_ == pool_.size()) pool_.emplace_back();
    pool_[first_ + size_++].swap(line);
  }
  // Drops the first line (a version 4 frame line).
  void DropFirst() {
    ++first_;
    --size_;
  }
  std::size_t size() const { return size_; }
  const std::string& operator[](std::size_t k) const { return pool_[first_ + k]; }
  std::vector<std::string> Copy() const {
    const auto from = pool_.begin() + static_cast<std::ptrdiff_t>(first_);
    return std::vector<std::string>(from, from + static_cast<std::ptrdiff_t>(size_));
  }

 private:
  std::vector<std::string> pool_;
  std::size_t first_ = 0, size_ = 0;
};

// Satellite code, epoch and numbers of a record's lines.
RecordRead ParseRecord(const RecordLines& lines, Record3& r) {
  const std::string& first = lines[0];
  // The satellite code, "G01": number 0 names no broadcasting satellite.
  const short sat = satcode::Parse(first.c_str());
  const int number = sat - satcode::Offset(first[0]);
  if (sat == satcode::kNone || number < 1) return RecordRead::BadSatellite;
  r.number = static_cast<unsigned short>(number);
  int f[6];
  static const int cols[6] = {5, 10, 13, 16, 19, 22}, lens[6] = {4, 2, 2, 2, 2, 2};
  for (int k = 0; k < 6; ++k)
    if (!ReadWhole(first, cols[k], lens[k], f[k])) return RecordRead::BadEpoch;
  if (!ValidDate(f[0], f[1], f[2], f[3], f[4], f[5])) return RecordRead::BadEpoch;
  r.epoch.Set(static_cast<unsigned short>(f[0]), static_cast<unsigned short>(f[1]),
              static_cast<unsigned short>(f[2]), static_cast<unsigned short>(f[3]),
              static_cast<unsigned short>(f[4]), static_cast<long double>(f[5]));
  r.values.clear();
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const int* cols = k == 0 ? kFirstLineFields : kNextLineFields;
    const int n = k == 0 ? 3 : 4;
    for (int j = 0; j < n; ++j) {
      long double v;
      if (ReadField(lines[k], cols[j], v) == Field::Bad) return RecordRead::BadNumber;
      r.values.push_back(v);
    }
  }
  return RecordRead::Ok;
}

// A line that continues the record before it.
bool Continues(const std::string& line, bool rinex4) {
  if (rinex4) return line.empty() || line[0] != '>';
  return line.size() >= kIndent && std::memcmp(line.data(), kIndentText, kIndent) == 0 &&
         !Blank(line);
}

// The system and message type of a record from its first line (version 3)
// or frame line (version 4); false when the line starts no record.  Frames
// of records without a satellite orbit (STO, EOP, ION) give system ' '.
bool RecordType(const std::string& line, bool rinex4, char& system, std::string& message) {
  message.clear();
  if (!rinex4) {
    system = line[0];
    return IsSystemLetter(system);
  }
  if (line[0] != '>') return false;
  system = line.size() >= 9 && line.compare(2, 3, "EPH") == 0 ? line[6] : ' ';
  message.assign(FieldText(line, 11, static_cast<int>(line.size())));
  return true;
}

}  // namespace

bool IsVersion3or4(float version) { return version >= 3 && version < 5; }

long double HeaderNumber(const char* line, int col, int len) {
  long double v = 0;
  return ReadField(line, col, v, len) == Field::Number ? v : 0;
}

void AddPassedLabels(std::vector<HeaderLabel>& labels) {
  for (const char* label : {"IONOSPHERIC CORR", "TIME SYSTEM CORR", "DOI", "LICENSE OF USE",
                            "STATION INFORMATION", "MERGED FILE"})
    labels.push_back({label, nullptr});
}

bool AllPresent(const std::vector<long double>& values, int n) {
  if (static_cast<int>(values.size()) < n) return false;
  for (int k = 0; k < n; ++k)
    if (std::isnan(values[static_cast<std::size_t>(k)])) return false;
  return true;
}

namespace {

// The lines after a record's first one that continue it, into lines (at
// most room in all; blank ones are passed over); false when the file ended,
// else line holds the line after the record.
bool GatherLines(std::istream& in, bool rinex4, std::size_t room, std::string& line,
                 RecordLines& lines) {
  bool more;
  while ((more = NextLine(in, line)) && Continues(line, rinex4))
    if (!Blank(line) && lines.size() < room) lines.Add(line);
  return more;
}

// Whether a wanted record has the lines of its type: a version 4 record's
// frame line is dropped, and the record proper must carry the frame's code.
RecordRead CheckLines(std::istream& in, bool rinex4, bool more, int want, RecordLines& lines) {
  if (rinex4) {
    const std::string_view code = std::string_view(lines[0]).substr(6, 3);
    lines.DropFirst();
    if (lines.size() > 0 && lines[0].compare(0, 3, code) != 0) return RecordRead::BadLayout;
  }
  if (static_cast<int>(lines.size()) == want) return RecordRead::Ok;
  // Short at the end of the file (the line after it, if any, is the file's
  // last, a piece of a line): the file ends inside the record.
  const bool atEnd = !more || in.peek() == std::char_traits<char>::eof();
  return atEnd && static_cast<int>(lines.size()) < want ? RecordRead::Truncated
                                                        : RecordRead::BadLayout;
}

}  // namespace

RecordScan ReadRecords3(std::istream& in, bool rinex4, const WantedLines& wanted,
                        const KeepRecord& keep, const OrbitlessRecord& orbitless) {
  RecordScan scan;
  RecordLines lines;
  std::string line;
  Record3 r;
  unsigned index = 0;
  bool more = NextLine(in, line);
  while (more) {
    if (Blank(line)) {
      more = NextLine(in, line);
      continue;
    }
    scan.record = ++index;
    char system = ' ';
    if (!RecordType(line, rinex4, system, r.message)) {
      scan.stop = RecordRead::BadLayout;
      return scan;
    }
    const int want = system == ' ' ? 0 : wanted(system, r.message);
    // Of a record passed over nothing is kept, of one without an orbit only
    // the lines a time offset needs; of a wanted one no more lines than show
    // that it has too many (version 4: and its frame line).
    std::size_t room = want == 0 ? 0 : static_cast<std::size_t>(want) + (rinex4 ? 2 : 1);
    if (system == ' ' && orbitless) room = kOrbitlessLines;
    lines.Start(line);
    more = GatherLines(in, rinex4, room, line, lines);
    if (system == ' ' && orbitless) orbitless(lines.Copy());
    if (want == 0) continue;
    RecordRead read = CheckLines(in, rinex4, more, want, lines);
    r.system = system;
    r.index = index;
    if (read == RecordRead::Ok) read = ParseRecord(lines, r);
    if (read == RecordRead::Ok) read = keep(r);
    if (read != RecordRead::Ok) {
      scan.stop = read;
      return scan;
    }
    ++scan.read;
  }
  scan.stop = RecordRead::NoRecord;
  return scan;
}

}  // namespace rinexnav
