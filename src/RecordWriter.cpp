#include "src/RecordWriter.h"

#include <algorithm>
#include <iomanip>
#include <limits>
#include <string>

#include "GNSS/time/TimeConverse.h"
#include "GNSS/time/TimeText.h"
#include "GNSS/time/ymdhms.h"
#include "GNSS/geometry/xyz.h"
#include "PROGINC/text/FixedFormat.h"
#include "src/Orbika.h"

namespace {

// Field widths of the two kinds of vector in a record.
constexpr unsigned short kPositionWidth = 16;
constexpr unsigned short kVelocityWidth = 12;

// Room for the longest in-memory text of one piece.
constexpr std::size_t kPieceMax = std::max<std::size_t>(kFixedFieldsMax, kTimeTextMax);

// Print settings of the table's values.
void SetPrintFormats() {
  xyztns::Unit = 1;  // metres and seconds, as FitFields takes them
  xyztns::NDec = 3;
  xyztns::WidthT = 14;
  xyztns::NDecT = 6;
  xyztns::UnitT = 1000;
  ymdhmsns::NDecSecond = 1;
  mjdns::NDecSecond = 1;
}

// v, or NaN when its text would leave no blank before it in its field: a
// field never runs into the one before, and a value that large is no result
// of the data.
long double Fit(long double v, unsigned short width, unsigned short decimals) {
  return FitsWidth(v, width - 1, decimals) ? v : std::numeric_limits<long double>::quiet_NaN();
}

// p with each value that does not fit its field (width for x, y, z; the
// clock's when it is written) made NaN.
xyzt FitFields(const xyzt& p, unsigned short width) {
  const unsigned short d = xyztns::NDec;
  long double t = p.GetT();
  if (xyztns::PrintTime == 1 && !FitsWidth(t * xyztns::UnitT, xyztns::WidthT - 1, xyztns::NDecT))
    t = std::numeric_limits<long double>::quiet_NaN();
  return xyzt(Fit(p.GetX(), width, d), Fit(p.GetY(), width, d), Fit(p.GetZ(), width, d), t);
}

}  // namespace

RecordWriter::RecordWriter(std::ostream& out)
    : sink(out),
      inMemory(timeutil::PlainStream(out) && PlainFixedStream(out) && out.fill() == ' '),
      line(kPieceMax) {
  SetPrintFormats();
  scratch.copyfmt(out);
}

char* RecordWriter::Room(std::size_t n) {
  if (line.size() < len + n) line.resize(std::max(len + n, 2 * line.size()));
  return line.data() + len;
}

void RecordWriter::Append(const char* text, std::size_t n) {
  std::copy(text, text + n, Room(n));
  len += n;
}

template <class T>
void RecordWriter::Put(const T& value) {
  if (inMemory) {
    const int n = FormatText(Room(kPieceMax), value, ' ');
    if (n >= 0) {
      len += static_cast<std::size_t>(n);
      return;
    }
  }
  Streamed([&](std::ostream& os) { os << value; });
}

template <class F>
void RecordWriter::Streamed(F write) {
  scratch.str(std::string());
  write(scratch);
  const std::string text = scratch.str();
  Append(text.data(), text.size());
}

void RecordWriter::Epoch(std::size_t k, const mjd& t) {
  if (inMemory && kept.Restore(k, *this)) return;
  const std::size_t start = len;
  Put(mjd2ymdhms(t));
  const std::size_t calendar = len - start;
  Append("  ", 2);
  const std::size_t day = len;
  Put(t);
  if (inMemory) kept.Keep(k, line.data() + start, calendar, line.data() + day, len - day);
}

void RecordWriter::Satellite(char letter, short number) {
  if (inMemory && number >= 0 && number <= 99) {
    char* p = Room(8);
    std::fill(p, p + 5, ' ');
    p[5] = letter;
    p[6] = static_cast<char>('0' + number / 10);
    p[7] = static_cast<char>('0' + number % 10);
    len += 8;
    return;
  }
  Streamed([&](std::ostream& os) {
    os << std::setw(6) << letter << std::setw(2) << std::setfill('0') << number
       << std::setfill(' ');
  });
}

void RecordWriter::Position(const xyzt& p) {
  xyztns::PrintTime = 1;
  xyztns::Width = kPositionWidth;
  Put(FitFields(p, kPositionWidth));
}

// A blank, then the vector without clock.
void RecordWriter::Velocity(const xyzt& v) {
  xyztns::PrintTime = 0;
  xyztns::Width = kVelocityWidth;
  Append(" ", 1);
  Put(FitFields(v, kVelocityWidth));
}

void RecordWriter::Write() {
  Append("\n", 1);
  sink.write(line.data(), static_cast<std::streamsize>(len));
  CheckOutput(sink);
  len = 0;
}

bool RecordWriter::EpochTexts::Restore(std::size_t k, RecordWriter& w) const {
  if (k >= count) return false;
  const char* p = perEpoch.data() + k * Stride();
  const std::size_t d = static_cast<std::size_t>(static_cast<unsigned char>(p[0])) |
                        static_cast<std::size_t>(static_cast<unsigned char>(p[1])) << 8;
  w.Append(days.data() + d * kDayText, kDate);
  w.Append(p + 2, time);
  w.Append("  ", 2);
  w.Append(days.data() + d * kDayText + kDate, kMJDay);
  w.Append(p + 2 + time, second);
  return true;
}

void RecordWriter::EpochTexts::Keep(std::size_t k, const char* cal, std::size_t calLen,
                                    const char* mjdText, std::size_t mjdLen) {
  if (!keeping || k != count) return;
  if (k == 0) {
    if (calLen <= kDate || mjdLen <= kMJDay) return Stop();
    time = calLen - kDate;
    second = mjdLen - kMJDay;
    perEpoch.reserve(std::min(kBudget, expected * Stride()));
  }
  if (calLen != kDate + time || mjdLen != kMJDay + second ||
      perEpoch.size() + Stride() > kBudget)
    return Stop();
  const std::size_t nDays = days.size() / kDayText;
  // No pointer into an empty buffer: the first day has no last one.
  const char* last = nDays == 0 ? nullptr : days.data() + (nDays - 1) * kDayText;
  if (nDays == 0 || !std::equal(cal, cal + kDate, last) ||
      !std::equal(mjdText, mjdText + kMJDay, last + kDate)) {
    if (nDays > 0xffff) return Stop();
    days.insert(days.end(), cal, cal + kDate);
    days.insert(days.end(), mjdText, mjdText + kMJDay);
  }
  const std::size_t d = days.size() / kDayText - 1;
  perEpoch.push_back(static_cast<char>(d & 0xff));
  perEpoch.push_back(static_cast<char>(d >> 8));
  perEpoch.insert(perEpoch.end(), cal + kDate, cal + calLen);
  perEpoch.insert(perEpoch.end(), mjdText + kMJDay, mjdText + mjdLen);
  ++count;
}
