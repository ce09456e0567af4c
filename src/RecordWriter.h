// RecordWriter: writes the records of the output table, one line each, for
// the position loop (Orbika_CalcPos.h).
//
// A record is built from pieces, in this order:
//   Epoch      date and time (22 characters: " yyyy-mm-dd hh:mm:ss.s"), two
//              blanks, MJD day (6) and second of day (8, 1 decimal);
//   Satellite  the system letter right-aligned in 6 characters and the
//              number within the system in 2, with a leading zero;
//   Position   x, y, z in metres (16 characters, 3 decimals each) and the
//              clock correction in milliseconds (14 characters, 6 decimals);
//   Velocity   a blank and x, y, z in m/s (12 characters, 3 decimals each);
//   Write      the line end; the record goes to the stream in one write, and
//              a stream that fails to take it ends the run (CheckOutput).
// A missing value (NaN) is written as "nan" in its field's width, and so is
// a value whose text would leave no blank before it in its field (fields
// never run together).  The
// constructor sets these print settings (the decimals, the clock's width and
// unit) for the vector and time types.
//
// The text is byte for byte what writing each piece with operator<< to the
// stream would give: the table has millions of records, and a dozen stream
// calls per record would cost a good part of the run, so on a plain stream
// with a blank fill (the program's own standard output) the value types
// build their text in memory; any piece they leave to the stream (an unusual
// layout, a huge number), and every piece on any other stream, is written
// through a scratch stream that carries the output stream's format.
//
// The text of an epoch is the same for every satellite: it is built
// (calendar split and all) for the first satellite and kept for the others
// (EpochTexts), within a budget of about 200 000 epochs.
#pragma once

#include <cstddef>
#include <ostream>
#include <sstream>
#include <vector>

#include "GNSS/geometry/xyzt.h"
#include "GNSS/time/mjd.h"

class RecordWriter {
 public:
  explicit RecordWriter(std::ostream& out);

  // The epoch piece of t, the k-th epoch (from 0) of the series that every
  // satellite runs through.
  void Epoch(std::size_t k, const mjd& t);
  // Epochs expected in the series: room for their kept texts.
  void ExpectEpochs(std::size_t n) { kept.Expect(n); }
  // The satellite piece: letter and number within the system.
  void Satellite(char letter, short number);
  // A position piece, and a velocity piece (a blank, then the vector
  // without clock).
  void Position(const xyzt& p);
  void Velocity(const xyzt& v);
  // Ends the record with a line end and writes it.
  void Write();

 private:
  // n more characters at the end of the line.
  char* Room(std::size_t n);
  void Append(const char* text, std::size_t n);
  // The text of value, as the stream would write it.
  template <class T>
  void Put(const T& value);
  // The text that write(stream) puts on the scratch stream.
  template <class F>
  void Streamed(F write);

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
    bool Restore(std::size_t k, RecordWriter& w) const;
    // Keeps the text of epoch k: the calendar text (date, time of day) and
    // the MJD text (day, second).
    void Keep(std::size_t k, const char* cal, std::size_t calLen, const char* mjdText,
              std::size_t mjdLen);

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
