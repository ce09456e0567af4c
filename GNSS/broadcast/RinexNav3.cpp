#include "GNSS/broadcast/RinexNav3.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "GNSS/base/satcode.h"
#include "PROGINC/text/FieldNumber.h"

namespace rinexnav {

namespace {

// Columns (1-based) and width of the numbers of a record line.
constexpr int kFieldWidth = 19;
constexpr int kFirstLineFields[] = {24, 43, 62};
constexpr int kNextLineFields[] = {5, 24, 43, 62};
// Indent of a version 3 continuation line.
constexpr std::size_t kIndent = 4;
// Lines kept of a version 4 record without an orbit: the frame line and
// the epoch and value lines of a time offset (STO).
constexpr std::size_t kOrbitlessLines = 3;
// Calendar bounds of a record epoch (those of the time types).
constexpr int kFirstYear = 1901;
constexpr int kLastYear = 2199;

// System letters of RINEX 3/4 satellite codes.
bool IsSystemLetter(char c) { return c != '\0' && std::strchr("GRECJSI", c) != nullptr; }

bool Blank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

// The next line without its line end (and a carriage return before it).
bool NextLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// The text of a field, blanks trimmed; empty past the end of the line.
std::string FieldText(const std::string& line, int col, int len) {
  const std::size_t from = static_cast<std::size_t>(col - 1);
  if (from >= line.size()) return std::string();
  std::string f = line.substr(from, static_cast<std::size_t>(len));
  const std::size_t a = f.find_first_not_of(' ');
  if (a == std::string::npos) return std::string();
  return f.substr(a, f.find_last_not_of(' ') - a + 1);
}

// Digits with an optional sign (and, for a mantissa, one decimal point).
bool NumberText(const std::string& s, bool point) {
  std::size_t k = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
  bool digit = false, dot = false;
  for (; k < s.size(); ++k) {
    if (std::isdigit(static_cast<unsigned char>(s[k]))) {
      digit = true;
    } else if (point && s[k] == '.' && !dot) {
      dot = true;
    } else {
      return false;
    }
  }
  return digit;
}

enum class Field { Number, Missing, Bad };

// One number field: mantissa times ten to the exponent, at double precision.
Field ReadField(const std::string& line, int col, long double& value, int len = kFieldWidth) {
  const std::string f = FieldText(line, col, len);
  value = std::numeric_limits<long double>::quiet_NaN();
  if (f.empty()) return Field::Missing;
  const std::size_t e = f.find_first_of("DdEe");
  const std::string mant = f.substr(0, e);
  const std::string expo = e == std::string::npos ? "0" : f.substr(e + 1);
  if (!NumberText(mant, true) || !NumberText(expo, false) || expo.size() > 4) return Field::Bad;
  double v;
  if (!ScaledNumber(mant.c_str(), std::atol(expo.c_str()), v)) return Field::Bad;
  value = static_cast<long double>(v);
  return Field::Number;
}

// An unsigned whole number in a field (blanks before it allowed).
bool ReadWhole(const std::string& line, int col, int len, int& value) {
  const std::string f = FieldText(line, col, len);
  if (!NumberText(f, false) || f[0] == '+' || f[0] == '-') return false;
  value = std::atoi(f.c_str());
  return true;
}

bool ValidDate(int y, int m, int d, int h, int mi, int s) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < kFirstYear || y > kLastYear || m < 1 || m > 12 || d < 1) return false;
  const bool leap = ymdhms::LeapYear(static_cast<unsigned short>(y));
  if (d > days[m - 1] + (m == 2 && leap ? 1 : 0)) return false;
  return h <= 23 && mi <= 59 && s <= 59;
}

// Satellite code, epoch and numbers of a record's lines.
RecordRead ParseRecord(const std::vector<std::string>& lines, Record3& r) {
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
  return line.compare(0, kIndent, std::string(kIndent, ' ')) == 0 && !Blank(line);
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
  message = FieldText(line, 11, static_cast<int>(line.size()));
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

RecordScan ReadRecords3(std::istream& in, bool rinex4, const WantedLines& wanted,
                        const KeepRecord& keep, const OrbitlessRecord& orbitless) {
  RecordScan scan;
  std::vector<std::string> lines;
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
    lines.assign(1, line);
    while ((more = NextLine(in, line)) && Continues(line, rinex4))
      if (!Blank(line) && lines.size() < room) lines.push_back(line);
    if (system == ' ' && orbitless) orbitless(lines);
    if (want == 0) continue;
    // Version 4: the record proper follows its frame line, with the same code.
    if (rinex4) {
      const std::string code = lines[0].substr(6, 3);
      lines.erase(lines.begin());
      if (!lines.empty() && lines[0].compare(0, 3, code) != 0) {
        scan.stop = RecordRead::BadLayout;
        return scan;
      }
    }
    if (static_cast<int>(lines.size()) != want) {
      // Short at the end of the file (the line after it, if any, is the
      // file's last, a piece of a line): the file ends inside the record.
      const bool atEnd = !more || in.peek() == std::char_traits<char>::eof();
      scan.stop = atEnd && static_cast<int>(lines.size()) < want ? RecordRead::Truncated
                                                                 : RecordRead::BadLayout;
      return scan;
    }
    r.system = system;
    r.index = index;
    RecordRead read = ParseRecord(lines, r);
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
