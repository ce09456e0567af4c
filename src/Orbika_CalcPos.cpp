#include "src/Orbika_CalcPos.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/broadcast/KeplerSystems.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/geometry/xyzt.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"

namespace {

// Field widths of the two kinds of vector in a record.
constexpr unsigned short kPositionWidth = 16;
constexpr unsigned short kVelocityWidth = 12;

// Builds one record in memory and hands it to the stream in one write: the
// table has millions of records, and a dozen stream calls per record would
// cost a good part of the run.  Each piece is the text the stream itself
// would write.  On a plain stream with a blank fill (the program's own
// standard output) the value types build their text in memory; any piece
// they leave to the stream (an unusual layout, a huge number), and every
// piece on any other stream, is written through a scratch stream that
// carries the output stream's format.
class RecordWriter {
 public:
  explicit RecordWriter(std::ostream& out)
      : sink(out),
        inMemory(timeutil::PlainStream(out) && PlainFixedStream(out) && out.fill() == ' '),
        line(kPieceMax) {
    scratch.copyfmt(out);
  }

  // Date and time, two blanks, MJD of t, the k-th epoch (from 0) of the
  // series that every satellite runs through.  The text of an epoch is the
  // same for every satellite: it is built (calendar split and all) for the
  // first satellite and kept for the others (see EpochTexts).
  void Epoch(std::size_t k, const mjd& t) {
    if (inMemory && kept.Restore(k, *this)) return;
    const std::size_t start = len;
    Put(mjd2ymdhms(t));
    const std::size_t calendar = len - start;
    Append("  ", 2);
    const std::size_t day = len;
    Put(t);
    if (inMemory) kept.Keep(k, line.data() + start, calendar, line.data() + day, len - day);
  }

  // Epochs expected in the series: room for their kept texts.
  void ExpectEpochs(std::size_t n) { kept.Expect(n); }

  // The letter right-aligned in 6 characters, the number in 2 with zeros.
  void Satellite(char letter, short number) {
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

  void Position(const xyzt& p) {
    xyztns::PrintTime = 1;
    xyztns::Width = kPositionWidth;
    Put(p);
  }

  // A blank, then the vector without clock.
  void Velocity(const xyzt& v) {
    xyztns::PrintTime = 0;
    xyztns::Width = kVelocityWidth;
    Append(" ", 1);
    Put(v);
  }

  // Ends the record with a line end and writes it.
  void Write() {
    Append("\n", 1);
    sink.write(line.data(), static_cast<std::streamsize>(len));
    len = 0;
  }

 private:
  // Room for the longest in-memory text of one piece.
  static constexpr std::size_t kPieceMax = std::max<std::size_t>(kFixedFieldsMax, kTimeTextMax);

  // n more characters at the end of the line.
  char* Room(std::size_t n) {
    if (line.size() < len + n) line.resize(std::max(len + n, 2 * line.size()));
    return line.data() + len;
  }

  void Append(const char* text, std::size_t n) {
    std::copy(text, text + n, Room(n));
    len += n;
  }

  template <class T>
  void Put(const T& value) {
    if (inMemory) {
      const int n = FormatText(Room(kPieceMax), value, ' ');
      if (n >= 0) {
        len += static_cast<std::size_t>(n);
        return;
      }
    }
    Streamed([&](std::ostream& os) { os << value; });
  }

  // The text that write(stream) puts on the scratch stream.
  template <class F>
  void Streamed(F write) {
    scratch.str(std::string());
    write(scratch);
    const std::string text = scratch.str();
    Append(text.data(), text.size());
  }

  std::ostream& sink;
  const bool inMemory;
  std::ostringstream scratch;
  std::vector<char> line;
  std::size_t len = 0;

  // The kept epoch texts: per epoch only what changes within a day (time of
  // day, second of the MJD day) and the number of its day, per day its date
  // and MJD day.  A text whose pieces do not have the lengths of the first
  // epoch's, or that would pass the budget, ends the keeping.
  class EpochTexts {
   public:
    void Expect(std::size_t n) { expected = n; }

    // Appends the kept text of epoch k to w; false when it is not kept.
    bool Restore(std::size_t k, RecordWriter& w) const {
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

    // Keeps the text of epoch k: the calendar text (date, time of day) and
    // the MJD text (day, second).
    void Keep(std::size_t k, const char* cal, std::size_t calLen, const char* mjdText,
              std::size_t mjdLen) {
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

   private:
    // The date with its blanks (" yyyy-mm-dd ") and the MJD day field.
    static constexpr std::size_t kDate = 12, kMJDay = 6, kDayText = kDate + kMJDay;
    // Most characters kept per epoch: about 200 000 epochs.
    static constexpr std::size_t kBudget = std::size_t{4} << 20;

    std::size_t Stride() const { return 2 + time + second; }
    void Stop() { keeping = false; }

    bool keeping = true;
    std::size_t expected = 0, count = 0, time = 0, second = 0;
    std::vector<char> perEpoch;  // per epoch: day number (2 bytes), time, second
    std::vector<char> days;      // per day: date, MJD day
  };
  EpochTexts kept;
};

// A vector whose every component reads as missing.
xyzt Missing() {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  xyzt m;
  m.Set(nan, nan, nan, nan);
  return m;
}

bool Holds(const matrix<short>& list, short number) {
  for (long i = 0; i < list.Length(); ++i)
    if (list(i) == number) return true;
  return false;
}

// Satellites whose broadcast records come from the -en file: GPS, Galileo,
// BeiDou and QZSS, by their system-wide number.
bool Keplerian(char letter) { return kepler::OfLetter(letter) != nullptr; }

// A loaded navigation file of the satellite's system has no record of it.
bool NavigationLacks(const Orbika& gc, char letter, short number, short sat) {
  if (Keplerian(letter)) return gc.isGPSnav && !Holds(gc.gpsnav.GetSatList(), sat);
  if (letter == 'R') return gc.isGLNnav && !Holds(gc.glnnav.GetSatList(), number);
  return false;
}

// The one warning for a GLONASS satellite whose broadcast values are
// missing at epoch t, the first such epoch, for lying too far from its
// record.
void WarnFarFromRecord(short slot, const mjd& t) {
  const ymdhms cal = mjd2ymdhms(t);
  char text[160];
  std::snprintf(text, sizeof text,
                "SAT: R%02d [%4d-%02d-%02d %02d:%02d:%04.1lf] -> MORE THAN %.0Lf DAYS FROM ITS "
                "RECORD - BROADCAST COLUMNS WRITTEN AS nan!",
                slot, cal.GetYear(), cal.GetMonth(), cal.GetDay(), cal.GetHour(), cal.GetMinute(),
                static_cast<double>(cal.GetSecond()), GLNbEph::kMaxInterval / 86400);
  ProgramWarning("Orbika", text);
}

// The stores that serve one satellite.  Every system but GLONASS is written
// as GPS: precise values from the SP3 file (SBAS and IRNSS have no more),
// broadcast ones for the systems of the -en file.
struct Sources {
  char letter;
  short number;     // within the system
  short sat;        // system-wide number
  bool glonass;     // velocities and their differences are written too
  bool precise;     // the SP3 file serves it
  bool broadcast;   // a navigation file of its system is loaded
  bool listed;      // and has records of it (else: nan, see CheckBroadcast)
  bool warnedFar;   // the one far-from-record warning has been given
};

bool SourcesOf(const Orbika& gc, short sat, Sources& s) {
  if (!SatelliteCode(sat, s.letter, s.number)) return false;
  s.sat = sat;
  s.glonass = s.letter == 'R';
  s.precise = gc.isPEph;
  s.broadcast = s.glonass ? gc.isGLNnav : gc.isGPSnav && Keplerian(s.letter);
  s.listed = !NavigationLacks(gc, s.letter, s.number, sat);
  s.warnedFar = false;
  return true;
}

// The values of one epoch; a flag down means the columns are written as nan.
struct EpochValues {
  xyzt pP, vP;  // precise position and velocity
  xyzt pB, vB;  // broadcast position, and velocity (GLONASS only)
  bool preciseOK = true;
  bool broadcastOK = true;
};

void PreciseValues(Orbika& gc, const Sources& s, mjd t, EpochValues& v) {
  gc.pephM.CalcPosition(static_cast<unsigned short>(s.sat), t, v.pP, v.vP);
  v.preciseOK = gc.pephM.PSisOK;
}

// Broadcast values at t, from the record chosen at indextime (the -ti
// epoch, or t itself).
void BroadcastValues(Orbika& gc, Sources& s, const mjd& t, const mjd& indextime,
                     EpochValues& v) {
  v.broadcastOK = s.listed;
  if (!s.listed) return;
  if (!s.glonass) {
    long double tgd = 0;
    gc.gpsnav.CalcPosition(static_cast<unsigned short>(s.sat), t, indextime, v.pB, &tgd, 0, 0);
  } else if (!gc.glnnav.CalcPosition(s.number, t, indextime, v.pB, v.vB, 0)) {
    v.broadcastOK = false;
    if (!s.warnedFar) WarnFarFromRecord(s.number, t);
    s.warnedFar = true;
  }
}

// The value columns of a record: precise values and precise minus
// broadcast, or broadcast values alone.
void WriteValues(RecordWriter& record, const Sources& s, const EpochValues& v) {
  static const xyzt missing = Missing();
  if (s.precise) {
    record.Position(v.preciseOK ? v.pP : missing);
    record.Velocity(v.preciseOK ? v.vP : missing);
    if (!s.broadcast) return;
    const bool both = v.preciseOK && v.broadcastOK;
    record.Position(both ? v.pP - v.pB : missing);
    if (s.glonass) record.Velocity(both ? v.vP - v.vB : missing);
  } else if (s.broadcast) {
    record.Position(v.broadcastOK ? v.pB : missing);
    if (s.glonass) record.Velocity(v.broadcastOK ? v.vB : missing);
  }
}

// Every epoch of the series for one satellite, one record each; returns the
// number of epochs.
long WriteSatellite(Orbika& gc, RecordWriter& record, Sources& s) {
  long ncalc = 0;
  EpochValues v;
  for (mjd t = gc.stE; t <= gc.enE; t += gc.dt) {
    ++ncalc;
    if (s.precise) PreciseValues(gc, s, t, v);
    if (s.broadcast) BroadcastValues(gc, s, t, gc.isUse ? gc.useE : t, v);
    record.Epoch(static_cast<std::size_t>(ncalc - 1), t);
    record.Satellite(s.letter, s.number);
    WriteValues(record, s, v);
    record.Write();
  }
  return ncalc;
}

// Print settings of the table's values.
void SetPrintFormats() {
  xyztns::NDec = 3;
  xyztns::WidthT = 14;
  xyztns::NDecT = 6;
  xyztns::UnitT = 1000;
  ymdhmsns::NDecSecond = 1;
  mjdns::NDecSecond = 1;
}

}  // namespace

void CheckBroadcast(Orbika& gc) {
  for (long i = 0; i < gc.satprn.Length(); ++i) {
    char letter;
    short number;
    const short sat = gc.satprn(i);
    if (!SatelliteCode(sat, letter, number) || !NavigationLacks(gc, letter, number, sat))
      continue;
    // Without a precise file nothing of the satellite could be written: the
    // store's own report ends the run, before the table starts.
    if (!gc.isPEph) {
      if (Keplerian(letter))
        gc.gpsnav.GetDataIndex(static_cast<unsigned short>(sat), gc.stE);
      else
        gc.glnnav.GetDataIndex(number, gc.stE);
    }
    char text[128];
    std::snprintf(text, sizeof text,
                  "SAT: %c%02d IS NOT LISTED IN %s NAVIGATION FILE - BROADCAST COLUMNS WRITTEN AS "
                  "nan!",
                  letter, number, Keplerian(letter) ? "GPS" : "GLONASS");
    ProgramWarning("Orbika", text);
  }
}

void CalcPos(Orbika& gc) {
  if (gc.verbose)
    std::cerr << "Orbika" << "::CalcPos(): CALCULATING SATELLITE POSITIONS!" << std::endl;
  SetPrintFormats();
  std::ostream& out = std::cout;
  RecordWriter record(out);
  // Epochs of the series, for the kept epoch texts (a rough count will do).
  const long double span = (gc.enE - gc.stE) / gc.dt;
  record.ExpectEpochs(span >= 0 && span < 1e7L ? static_cast<std::size_t>(span) + 1 : 0);

  for (long i = 0; i < gc.satprn.Length(); ++i) {
    Sources s;
    if (!SourcesOf(gc, gc.satprn(i), s)) continue;
    const long ncalc = WriteSatellite(gc, record, s);
    out << '\n';
    if (gc.verbose)
      std::cerr << std::setw(6) << s.letter << std::setw(2) << std::setfill('0') << s.number
                << std::setfill(' ') << std::setw(8) << ncalc << "  positions" << std::endl;
  }
  out.flush();
}
