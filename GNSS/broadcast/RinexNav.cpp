#include "GNSS/broadcast/RinexNav.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "PROGINC/text/FieldNumber.h"
#include "PROGINC/files/cfilef.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/text/cstringf.h"

namespace rinexnav {

void PrintParameter(const char* cls, const char* name, long double value) {
  std::ostream& os = ReportStream();
  const std::ios_base::fmtflags flags = os.flags();
  const std::streamsize precision = os.precision();
  os << cls << ":: " << std::setw(10) << name << ": " << std::scientific
     << std::setprecision(15) << std::setw(30) << value << std::endl;
  os.flags(flags);
  os.precision(precision);
}

namespace {
std::vector<std::string> WarningFrame(const char* cls, const char* text) {
  return {"", ReportHead("####", cls, "Warning", text),
          std::string("     Continuing ") + cls + " ... "};
}
}  // namespace

void Warning(const char* cls, const char* text) { WriteFrame(std::cout, WarningFrame(cls, text)); }

void ReaderWarning(const char* cls, const char* text) {
  WriteFrameOnce(std::string(cls) + '\0' + text, std::cout, WarningFrame(cls, text));
}

void Error(const char* cls, const char* text, const char* mark) {
  WriteFrameAndExit(std::cout, {"", ReportHead(mark, cls, "Error", text),
                                std::string("     Exiting ") + cls + " ... "});
}

long double ReadParameter(std::istream& in) {
  if (!in) return 0;
  std::streambuf* sb = in.rdbuf();
  char text[kMaxMantissa + 1];
  int n = 0;
  for (;;) {
    const int ch = sb->sbumpc();
    if (ch == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit | std::ios::failbit);
      return 0;
    }
    if (ch == 'D' || ch == 'E' || ch == 'e') break;
    // Leading blanks and line ends are skipped by the conversion anyway; a
    // carriage return belongs to a line end.
    if (ch == '\r' || (n == 0 && std::isspace(ch))) continue;
    if (n == kMaxMantissa) {
      in.setstate(std::ios::failbit);
      return 0;
    }
    text[n++] = static_cast<char>(ch);
  }
  text[n] = '\0';
  int exponent = 0;
  if (!(in >> exponent)) return 0;
  double value;
  // An exponent beyond the range of double gives no number either.
  if (!ScaledNumber(text, exponent, value)) {
    in.setstate(std::ios::failbit);
    return 0;
  }
  return static_cast<long double>(value);
}

namespace {

// The raw text of a field (not trimmed); empty when the line ends before col.
std::string RawField(const char* line, int col, int len) {
  const std::size_t size = std::strlen(line);
  const std::size_t from = static_cast<std::size_t>(col - 1);
  if (len <= 0 || from >= size) return std::string();
  return std::string(line + from, std::min(size - from, static_cast<std::size_t>(len)));
}

}  // namespace

void FieldText(const char* line, int col, int len, char* out) {
  const std::string raw = RawField(line, col, len);
  std::memcpy(out, raw.c_str(), raw.size() + 1);
  trim(out);
}

long double FieldMantExp(const char* line, int mcol, int mlen, int ecol, int elen) {
  double value;
  ScaledNumber(RawField(line, mcol, mlen).c_str(), FieldInt(line, ecol, elen), value);
  return static_cast<long double>(value);
}

long FieldInt(const char* line, int col, int len) { return FieldInteger(line, col, len); }

double FieldDouble(const char* line, int col, int len) { return FieldNumber(line, col, len); }

void ParseVersionType(const char* line, float& version, char* type) {
  version = static_cast<float>(FieldDouble(line, 1, 9));
  FieldText(line, 21, 19, type);
}

void ParsePgmRunByDate(const char* line, char* pgm, char* runby, char* date) {
  FieldText(line, 1, 20, pgm);
  FieldText(line, 21, 20, runby);
  FieldText(line, 41, 20, date);
}

short ParseLeapSeconds(const char* line) { return static_cast<short>(FieldInt(line, 1, 6)); }

namespace {

// Lines of one kind of header fault: how many, and the first one's line
// number and text, for the one warning of that kind.
struct HeaderFault {
  long count = 0;
  long line = 0;
  std::string text;

  void Add(long lineNo, const char* what) {
    if (count++ == 0) {
      line = lineNo;
      text = what;
    }
  }
};

// The one warning of a kind: the first line as before, and how many lines
// more there are of that kind.
void WarnFault(const HeaderFault& f, const std::string& first,
               const std::function<void(const char* text)>& warn) {
  if (f.count == 0) return;
  std::string text = first;
  if (f.count > 1)
    text += " (LINE " + std::to_string(f.line) + ", AND " + std::to_string(f.count - 1) +
            " LINES MORE OF THIS KIND)";
  warn(text.c_str());
}

// Whether the header ends (END OF HEADER) before the end of the file; the
// lines are only looked at, not kept.
bool HeaderEnds(std::istream& in) {
  char buf[kMaxHeaderLine + 1];
  for (;;) {
    if (ReadLine(in, buf, sizeof buf) == LineRead::End) return false;
    if (std::strstr(buf, "END OF HEADER") != nullptr) return true;
  }
}

}  // namespace

bool ReadHeader(std::istream& in, const std::vector<HeaderLabel>& labels,
                const std::function<void(const char* text)>& warn) {
  // A file without END OF HEADER is refused as a whole instead of reporting
  // every record line as a label: the header is looked over first, then
  // read again from its start, one line at a time.
  const std::streampos start = in.tellg();
  if (!HeaderEnds(in)) return false;
  in.clear();
  in.seekg(start);
  HeaderFault longLines, unknown;
  char buf[kMaxHeaderLine + 1];
  for (long lineNo = 1;; ++lineNo) {
    const LineRead r = ReadLine(in, buf, sizeof buf);
    if (r == LineRead::End || std::strstr(buf, "END OF HEADER") != nullptr) break;
    if (r == LineRead::TooLong) longLines.Add(lineNo, "");
    const HeaderLabel* found = nullptr;
    for (const HeaderLabel& h : labels)
      if (std::strstr(buf, h.label) != nullptr) {
        found = &h;
        break;
      }
    if (found == nullptr) unknown.Add(lineNo, RawField(buf, 61, kMaxHeaderLine).c_str());
    else if (found->parse) found->parse(buf);
  }
  const std::string limit = std::to_string(kMaxHeaderLine);
  WarnFault(longLines, "HEADER LINE " + std::to_string(longLines.line) + " LONGER THAN " + limit +
                           " CHARACTERS -> READ AS ITS FIRST " + limit, warn);
  WarnFault(unknown, unknown.text + " -> UNKNOWN HEADER LABEL", warn);
  return true;
}

unsigned CountRecords(std::istream& in, int linesPerRecord) {
  char buf[1024];
  unsigned count = 0;
  for (;;) {
    if (ReadLine(in, buf, sizeof buf) == LineRead::End) break;
    const char* p = buf;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') continue;  // a blank line starts no record
    if (!std::isdigit(static_cast<unsigned char>(*p)) && *p != '+' && *p != '-') break;
    ++count;
    for (int k = 1; k < linesPerRecord; ++k)
      if (ReadLine(in, buf, sizeof buf) == LineRead::End) return count;
  }
  return count;
}

RecordRead ReadSatNumber(std::istream& in, unsigned short& sat) {
  return (in >> sat) ? RecordRead::Ok : RecordRead::NoRecord;
}

namespace {

// Satellite numbers a record may carry (PRN or slot, two digits).
constexpr unsigned short kFirstSatellite = 1;
constexpr unsigned short kLastSatellite = 99;

RecordRead Failure(const std::istream& in) {
  return in.eof() ? RecordRead::Truncated : RecordRead::BadNumber;
}

}  // namespace

RecordRead ReadEpoch(std::istream& in, ymdhms& epoch) {
  const std::streampos start = in.tellg();
  unsigned short field = 0;
  long double second = 0;
  for (int k = 0; k < 5; ++k) in >> field;
  in >> second;
  if (!in) return Failure(in);
  // The fields are numbers: let the calendar reader read them again.
  in.seekg(start);
  in >> epoch;
  return RecordRead::Ok;
}

namespace {

// Fixed columns of the numbers of a record: three on the first line from
// column 23, four on each continuation line from column 4, 19 columns each.
constexpr int kFirstLineNumbers = 3;
constexpr int kFirstLineColumn = 23;
constexpr int kNumbersPerLine = 4;
constexpr int kContinuationColumn = 4;
constexpr int kFieldWidth = 19;
// Line buffer of the records: every field lies within the first 80 columns.
constexpr int kRecordLineSize = 128;

// Whether text is a decimal number: sign, digits with at most one point,
// at least one digit; exponent: whether it is a signed whole number.
bool WholeNumberText(std::string_view t, bool exponent) {
  std::size_t k = t.empty() || (t[0] != '+' && t[0] != '-') ? 0 : 1;
  std::size_t digits = 0, points = 0;
  for (; k < t.size(); ++k) {
    if (t[k] >= '0' && t[k] <= '9') ++digits;
    else if (t[k] == '.' && !exponent) ++points;
    else return false;
  }
  return digits > 0 && points <= 1;
}

// The value of a signed whole number text of a few digits.
long ExponentValue(std::string_view t) {
  long v = 0;
  for (const char c : t)
    if (c >= '0' && c <= '9') v = v * 10 + (c - '0');
  return !t.empty() && t[0] == '-' ? -v : v;
}

// The number of the field of line at column col: a mantissa and, after the
// letter D, E or e, a whole exponent, or a plain decimal number, with
// blanks around it and nothing else.  Its value as ReadParameter forms it.
RecordRead FieldValue(const char* line, int col, long double& value) {
  const std::string_view whole(line);
  const std::size_t from = static_cast<std::size_t>(col - 1);
  std::string_view t = from < whole.size() ? whole.substr(from, kFieldWidth) : std::string_view();
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  if (t.empty()) return RecordRead::BadNumber;
  std::size_t letter = 0;
  while (letter < t.size() && t[letter] != 'D' && t[letter] != 'E' && t[letter] != 'e') ++letter;
  const std::string_view mantissa = t.substr(0, letter);
  const std::string_view exponent = letter == t.size() ? std::string_view("0") : t.substr(letter + 1);
  if (!WholeNumberText(mantissa, false) || !WholeNumberText(exponent, true) ||
      exponent.size() > 5)
    return RecordRead::BadNumber;
  double v;
  if (!ScaledNumber(mantissa.data(), mantissa.data() + mantissa.size(), ExponentValue(exponent), v))
    return RecordRead::BadNumber;
  value = static_cast<long double>(v);
  return RecordRead::Ok;
}

// The numbers of one line from column col into values (at most count).  A
// field the line does not wholly hold is the end of the file inside the
// record when the line is the file's last; a field that holds no number is
// a bad number.
RecordRead LineValues(std::istream& in, const char* line, int col, long double* values,
                      int count) {
  for (int k = 0; k < count; ++k) {
    const int from = col + k * kFieldWidth;
    const bool whole = static_cast<int>(std::strlen(line)) >= from + kFieldWidth - 1;
    if (!whole && in.eof()) return RecordRead::Truncated;
    const RecordRead r = FieldValue(line, from, values[k]);
    if (r != RecordRead::Ok) return r;
  }
  return RecordRead::Ok;
}

}  // namespace

RecordRead ReadRecord(std::istream& in, unsigned short& sat, ymdhms& epoch,
                      long double* values, int n) {
  // The first line that is not blank starts the record.
  char line[kRecordLineSize];
  std::streampos start;
  do {
    start = in.tellg();
    if (ReadLine(in, line, sizeof line) == LineRead::End) return RecordRead::NoRecord;
  } while (line[std::strspn(line, " \t")] == '\0');
  in.clear();
  in.seekg(start);
  RecordRead r = ReadSatNumber(in, sat);
  // The number is stored as a signed system-wide satellite number: a value
  // the two-digit field cannot hold would be read as another system's.
  if (r == RecordRead::Ok && (sat < kFirstSatellite || sat > kLastSatellite))
    r = RecordRead::BadSatellite;
  if (r == RecordRead::Ok) r = ReadEpoch(in, epoch);
  if (r != RecordRead::Ok) return r;
  // The numbers, by their columns.
  in.seekg(start);
  ReadLine(in, line, sizeof line);
  int done = std::min(n, kFirstLineNumbers);
  r = LineValues(in, line, kFirstLineColumn, values, done);
  while (r == RecordRead::Ok && done < n) {
    if (ReadLine(in, line, sizeof line) == LineRead::End) return RecordRead::Truncated;
    const int count = std::min(n - done, kNumbersPerLine);
    r = LineValues(in, line, kContinuationColumn, values + done, count);
    done += count;
  }
  return r;
}

long double GroupDelay(long double field) {
  if (std::fabs(field) < kAbsentGroupDelay) return field;  // false for NaN too
  return std::numeric_limits<long double>::quiet_NaN();
}

bool ExactlyEarlier(const mjd& a, const mjd& b) {
  return a.GetMJDay() != b.GetMJDay() ? a.GetMJDay() < b.GetMJDay() : a.GetSecond() < b.GetSecond();
}

bool KnownVersion(float version) { return version >= 2 && version < 5; }

void CheckVersion(float version, const char* cls, const char* what, const char* file) {
  if (KnownVersion(version)) return;
  char v[32];
  std::snprintf(v, sizeof v, "%.2f", static_cast<double>(version));
  Error(cls, (std::string(what) + " " + file + ": RINEX VERSION " + v +
              " NOT READ [2.x, 3.x OR 4.x]!").c_str());
}

void ReportScan(const RecordScan& scan, const char* cls, const char* what, const char* file) {
  const std::string head = std::string(what) + " " + file + ": ";
  const std::string n = std::to_string(scan.record);
  switch (scan.stop) {
    case RecordRead::Truncated:
      ReaderWarning(cls, (head + "FILE ENDS INSIDE RECORD " + n + ", RECORD DROPPED!").c_str());
      break;
    case RecordRead::BadNumber:
      Error(cls, (head + "BAD NUMBER IN RECORD " + n + "!").c_str());
    case RecordRead::BadSatellite:
      Error(cls, (head + "SATELLITE NUMBER NOT IN 1-99 IN RECORD " + n + "!").c_str());
    case RecordRead::BadEpoch:
      Error(cls, (head + "BAD EPOCH IN RECORD " + n + "!").c_str());
    case RecordRead::BadLayout:
      Error(cls, (head + "RECORD " + n + " LAYOUT NOT RECOGNISED!").c_str());
    case RecordRead::Ok:
      Error(cls, (head + "MORE RECORDS THAN COUNTED AT RECORD " + n +
                  ", RECORD LAYOUT NOT RECOGNISED!").c_str());
    case RecordRead::NoRecord:
      break;
  }
  if (scan.read == 0) Error(cls, (head + "NO COMPLETE RECORD!").c_str());
}

}  // namespace rinexnav
