// DiffTable: reads the records of an Orbika table that carries the
// precise-minus-broadcast columns, one at a time: the text table and the
// -csv table, told apart by their line of column names.
//
// Text table: the '#' lines hold the settings and the column names
// ("... PRN ... DX[m] ..."); a line whose first word is a date
// (2022-01-01) is a record, read by its blank-separated words: date, time,
// MJD day, second of day, satellite, precise position [m] and clock [ms],
// precise velocity [m/s], position difference [m] and clock difference
// [ms], and for GLONASS the velocity difference (not used here).
// CSV table: '#' lines, then a header row; the columns are found by name:
// the first whose name begins with "epoch" (ISO 8601, GPS time), sat,
// px_m py_m pz_m pclock_s, pvx_m_s pvy_m_s pvz_m_s, dx_m dy_m dz_m dclock_s;
// and, where the table has them, dvx_m_s dvy_m_s dvz_m_s (the velocity
// difference), gd1_s (the record's first group delay; for GLONASS dTau_n),
// pair and dclock_pair_s (the clock difference with the broadcast clock
// brought to that signal pair), antenna (1: the precise position was moved
// to the antenna phase centre, 0: the ANTEX file has no offset for the
// satellite) and dr_m da_m dc_m (the position difference along the orbit's
// own directions), msg (the broadcast record's message: LNAV, CNAV, D1,
// CNV1 ...), health (its health field as written) and accuracy_m (its
// accuracy [m]).  An empty field means no source, nan no value.  Every
// line with a comma after the header is a record.
// In both, any other line (warnings, messages, blank lines) is skipped
// wherever it stands, and a line that begins like a record but is not one
// ends the reading with an error, as do a record of the other kind of
// table (two tables in one file), a line longer than 4096 characters, and
// input whose
// first kMaxLead bytes hold no line of column names or no record (no
// table: /dev/urandom, a binary file).  Line ends may be CR LF.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace orbstats {

// Bytes of a table read at most before its first record: settings,
// column names and messages take a few kilobytes.
constexpr size_t kMaxLead = size_t{1} << 20;

enum class Clock : unsigned char { kNone, kMarkedBad, kValue };
// Whether the table's settings name an ANTEX file.
enum class Antex : unsigned char { kUnknown, kNone, kUsed };
// A record's antenna column: empty or absent, 0 (no offset for the
// satellite) or 1 (offset applied).
enum class Offset : unsigned char { kUnknown, kNone, kApplied };

struct DiffRecord {
  std::string sat;             // e.g. "G02"
  long long ms = 0;            // epoch [ms] from 0 h of MJD 0, GPS time
  bool motion = false;         // r and v hold the precise position and velocity
  bool diff = false;           // motion, and d holds the position difference
  double r[3]{}, v[3]{};       // [m], [m/s], Earth-fixed
  double d[3]{};               // precise minus broadcast position [m]
  Clock clock = Clock::kNone;  // kValue: dclock holds the clock difference
  double dclock = 0;           // precise minus broadcast clock [s], as the table has it
  double dv[3]{};              // precise minus broadcast velocity [m/s]; nan where absent
  // The signal pair the table brought the broadcast clock to ("E1/E5a");
  // empty where dclock is the clock on the broadcast signal.
  std::string pair;
  bool gd1 = false;            // the record has a first group delay (GLONASS: dTau_n)
  Offset offset = Offset::kUnknown;
  bool rac = false;            // racTable holds the table's radial, along, cross [m]
  double racTable[3]{};
  std::string msg;             // the broadcast record's message; empty where the table has none
  double health = 0;           // its health field; nan where empty or absent
  double accuracy = 0;         // its accuracy [m]; nan where empty or absent
};

class DiffTableReader {
 public:
  // name is used in messages only.
  DiffTableReader(std::istream& in, const std::string& name) : in_(in), name_(name) {}
  // Reads up to the line of column names; false, with Error() set, unless
  // it names the precise-minus-broadcast columns.
  bool ReadHeader();
  // Reads the next record; false at the end of the table or on a damaged
  // record (then Error() is set).
  bool Next(DiffRecord& rec);
  const std::string& Error() const { return error_; }
  // From the text table's settings, or from the CSV table's antenna column
  // once every record is read.
  Antex AntexFile() const { return antex_; }
  // Whether the CSV table has the msg column.
  bool Messages() const { return messages_; }

 private:
  bool GetLine(std::string& line);
  void ReadSetting(const std::string& line);
  bool SetCsvColumns(const std::string& line);
  bool ParseText(const std::string& line, DiffRecord& rec) const;
  bool ParseCsv(const std::string& line, DiffRecord& rec) const;

  std::istream& in_;
  std::string name_;
  std::string error_;
  long lineNo_ = 0;
  size_t bytes_ = 0;     // read so far
  bool header_ = false;  // the line of column names has been read
  bool records_ = false;  // a record has been read
  bool csv_ = false;
  std::vector<size_t> columns_;  // field of each value read, in CsvValue order; fields_ if absent
  size_t fields_ = 0;            // fields of the header row
  Antex antex_ = Antex::kUnknown;
  bool messages_ = false;
};

}  // namespace orbstats
