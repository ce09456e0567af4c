#include "GNSS/time/TimeText.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <locale>
#include <string>

#include "PROGINC/report/ProgramError.h"

namespace {
const char kProg[] = "Orbika";

// Seconds this close to 60 are taken as the next minute.
const long double kMinuteTol = 1e-10;

// A whole count as a 16-bit field value.  Negative counts and counts too
// large for the field come out as 65535, which every field test refuses.
unsigned short ToField(long double v) {
  return (v >= 0 && v < 65535.0L) ? static_cast<unsigned short>(static_cast<long>(v)) : 65535;
}
}  // namespace

int LeapYear(long year) {
  return (year > 0 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 1 : 0;
}

void Sec2HMS(long double second, unsigned short& h, unsigned short& m, long double& s) {
  const long double hr = std::floor(second / 3600);
  const long double x = (second / 3600 - hr) * 60;
  const long double mn = std::floor(x);
  s = (x - mn) * 60;
  h = ToField(hr);
  m = ToField(mn);
  if (std::fabs(s - 60) < kMinuteTol) {
    s = 0;
    m += 1;
  }
  if (m == 60) {
    m = 0;
    h += 1;
  }
}

namespace timeutil {
const unsigned short CumulativeDays[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

void ClassError(const char* cls, const char* msg) {
  if (const ReadingContext* file = ReadingContext::Current())
    ProgramError(kProg, file->Report(msg).c_str());
  WriteFrameAndExit(std::cout, {"", ReportHead("****", cls, "Error", msg),
                                std::string("     Exiting class ") + cls + " ... "});
}

namespace {
// Each thread reads its own file.
thread_local ReadingContext* current = nullptr;

// Line (from 1) of the stream's position: the line just read when the
// position follows its line end, else the line being read.
long LineOfPosition(std::istream& in) {
  in.clear();
  const std::streamoff pos = in.tellg();
  if (pos < 0) return 0;
  in.seekg(0);
  long line = 1;
  for (std::streamoff k = 0; k + 1 < pos && in; ++k)
    if (in.get() == '\n') ++line;
  return in ? line : 0;
}
}  // namespace

ReadingContext::ReadingContext(const char* what, const char* file)
    : what_(what), file_(file), outer_(current) {
  current = this;
}

ReadingContext::~ReadingContext() { current = outer_; }

const ReadingContext* ReadingContext::Current() { return current; }

std::string ReadingContext::Report(const char* msg) const {
  const long atStream = in_ != nullptr ? LineOfPosition(*in_) : 0;
  const long line = atStream > 0 ? atStream : line_;
  return std::string(what_) + " " + file_ + ": LINE " + std::to_string(line) + ": " + msg + "!";
}

void PutHMS(std::ostream& os, unsigned short h, unsigned short m, long double s,
            unsigned short n, int width) {
  os.setf(std::ios::fixed, std::ios::floatfield);
  os.precision(n);
  os << std::setfill('0') << std::setw(2) << h << ':' << std::setw(2) << m << ':'
     << std::setw(width) << s << std::setfill(' ');
}

bool PlainStream(const std::ostream& os) {
  const std::ios::fmtflags f = os.flags();
  const std::ios::fmtflags base = f & std::ios::basefield;
  if (f & (std::ios::showpos | std::ios::showpoint | std::ios::left | std::ios::internal))
    return false;
  if (base == std::ios::oct || base == std::ios::hex) return false;
  return os.getloc() == std::locale::classic();
}

namespace {
// Writes the len characters of text padded on the left with fill to width.
char* PadLeft(char* p, const char* text, int len, int width, char fill) {
  for (int i = len; i < width; ++i) *p++ = fill;
  std::memcpy(p, text, len);
  return p + len;
}

// Decimal digits of v, written backwards ending at end; returns the first.
char* Digits(char* end, std::uint64_t v) {
  do {
    *--end = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  return end;
}
}  // namespace

char* PutUnsigned(char* p, unsigned long v, int width, char fill) {
  char text[24];
  char* const end = text + sizeof text;
  const char* first = Digits(end, v);
  return PadLeft(p, first, static_cast<int>(end - first), width, fill);
}

}  // namespace timeutil
