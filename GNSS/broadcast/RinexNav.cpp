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

void Warning(const char* cls, const char* text) {
  WriteFrame(std::cout, {"", ReportHead("####", cls, "Warning", text),
                         std::string("     Continuing ") + cls + " ... "});
}

void ReaderWarning(const char* cls, const char* text) {
  if (FirstTimeSaid(std::string(cls) + '\0' + text)) Warning(cls, text);
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

RecordRead ReadParameters(std::istream& in, long double* values, int n) {
  for (int k = 0; k < n; ++k) {
    values[k] = ReadParameter(in);
    if (!in) return Failure(in);
  }
  return RecordRead::Ok;
}

void SkipRestOfLine(std::istream& in) {
  in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

RecordRead ReadRecord(std::istream& in, unsigned short& sat, ymdhms& epoch,
                      long double* values, int n) {
  RecordRead r = ReadSatNumber(in, sat);
  // The number is stored as a signed system-wide satellite number: a value
  // the two-digit field cannot hold would be read as another system's.
  if (r == RecordRead::Ok && (sat < kFirstSatellite || sat > kLastSatellite))
    r = RecordRead::BadSatellite;
  if (r == RecordRead::Ok) r = ReadEpoch(in, epoch);
  if (r == RecordRead::Ok) r = ReadParameters(in, values, n);
  if (r == RecordRead::Ok) SkipRestOfLine(in);
  return r;
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
