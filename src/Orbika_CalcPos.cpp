#include "src/Orbika_CalcPos.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/KeplerSystems.h"
#include "GNSS/TimeConverse.h"
#include "GNSS/xyzt.h"
#include "GNSS/ymdhms.h"
#include "PROGINC/ProgramError.h"

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

  // Date and time, two blanks, MJD.
  void Epoch(const ymdhms& datum, const mjd& t) {
    Put(datum);
    Append("  ", 2);
    Put(t);
  }

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

  xyztns::NDec = 3;
  xyztns::WidthT = 14;
  xyztns::NDecT = 6;
  xyztns::UnitT = 1000;
  ymdhmsns::NDecSecond = 1;
  mjdns::NDecSecond = 1;

  xyzt pPEG, vPEG, pBEG, pPER, vPER, pBER, vBER, dPG, dPR;
  xyzt missing = Missing();
  mjd calctime, indextime;
  long double tgd = 0;
  std::ostream& out = std::cout;
  RecordWriter record(out);

  for (long i = 0; i < gc.satprn.Length(); ++i) {
    const short sat = gc.satprn(i);
    calctime = gc.stE;
    long ncalc = 0;
    char satsyst;
    short sprn;
    if (!SatelliteCode(sat, satsyst, sprn)) continue;
    // A satellite the navigation file lacks keeps its broadcast columns,
    // written as nan (see CheckBroadcast).
    const bool listed = !NavigationLacks(gc, satsyst, sprn, sat);
    bool warnedFar = false;

    while (calctime <= gc.enE) {
      ++ncalc;
      indextime = gc.isUse ? gc.useE : calctime;
      bool isPEG = false, isBEG = false, isPER = false, isBER = false;
      bool preciseOK = true;
      bool broadcastOK = listed;
      if (Keplerian(satsyst)) {
        if (gc.isPEph) {
          isPEG = true;
          gc.pephM.CalcOrbikaition(static_cast<unsigned short>(sat), calctime, pPEG, vPEG);
          preciseOK = gc.pephM.PSisOK;
        }
        if (gc.isGPSnav) {
          isBEG = true;
          if (listed)
            gc.gpsnav.CalcOrbikaition(static_cast<unsigned short>(sat), calctime, indextime,
                                      pBEG, &tgd, 0, 0);
        }
      } else if (satsyst == 'R') {
        if (gc.isPEph) {
          isPER = true;
          gc.pephM.CalcOrbikaition(static_cast<unsigned short>(sat), calctime, pPER, vPER);
          preciseOK = gc.pephM.PSisOK;
        }
        if (gc.isGLNnav) {
          isBER = true;
          if (listed && !gc.glnnav.CalcOrbikaition(sprn, calctime, indextime, pBER, vBER, 0)) {
            broadcastOK = false;
            if (!warnedFar) WarnFarFromRecord(sprn, calctime);
            warnedFar = true;
          }
        }
      }

      record.Epoch(mjd2ymdhms(calctime), calctime);
      record.Satellite(satsyst, sprn);

      if (isPEG) {
        record.Position(preciseOK ? pPEG : missing);
        record.Velocity(preciseOK ? vPEG : missing);
        if (isBEG) {
          dPG = preciseOK && broadcastOK ? pPEG - pBEG : missing;
          record.Position(dPG);
        }
      } else if (isBEG) {
        record.Position(pBEG);
      }

      if (isPER) {
        record.Position(preciseOK ? pPER : missing);
        record.Velocity(preciseOK ? vPER : missing);
        if (isBER) {
          dPR = preciseOK && broadcastOK ? pPER - pBER : missing;
          record.Position(dPR);
          dPR = preciseOK && broadcastOK ? vPER - vBER : missing;
          record.Velocity(dPR);
        }
      } else if (isBER) {
        record.Position(broadcastOK ? pBER : missing);
        record.Velocity(broadcastOK ? vBER : missing);
      }
      record.Write();
      calctime += gc.dt;
    }
    out << '\n';
    if (gc.verbose)
      std::cerr << std::setw(6) << satsyst << std::setw(2) << std::setfill('0') << sprn
                << std::setfill(' ') << std::setw(8) << ncalc << "  positions" << std::endl;
  }
  out.flush();
}
