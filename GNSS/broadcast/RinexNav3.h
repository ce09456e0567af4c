// RinexNav3: the records of RINEX version 3 and 4 navigation files, for the
// broadcast stores (GPSbEph, GLNbEph).
//
// Layouts (RINEX 3.05 and 4.00 format descriptions, navigation message
// files).  A version 3 record is a first line with the satellite code in
// columns 1-3 ("G01": system letter and two digits, satcode.h), the epoch in
// columns 5-23 (yyyy mm dd hh mm ss, whole seconds) and three D19.12 numbers
// in columns 24-42, 43-61 and 62-80, followed by continuation lines indented
// by four blanks with four D19.12 numbers in columns 5-23, 24-42, 43-61 and
// 62-80.  Each system's records have their own number of lines (GPS,
// Galileo, BeiDou, QZSS, IRNSS 8; GLONASS 4, or 5 from version 3.05; SBAS
// 4).  Version 4 puts a frame line before every record,
// "> EPH G01 LNAV" (record type in columns 3-5, satellite code in 7-9,
// message type from column 11), and adds records without a satellite
// orbit (STO, EOP, ION) whose lines are all indented.
//
// The reader does not need to know every record type: a record is its first
// line and the continuation lines that follow it (version 3), or everything
// from one frame line to the next (version 4).  So a record of a system or
// message the caller does not want is passed over by its own length, however
// long that is.  A wanted record is checked to have the number of lines its
// type has, then its numbers are read field by field.
//
// Numbers: each field is converted by the rule of the version 2 reader
// (rinexnav::ReadParameter): the mantissa before the exponent letter (D, d,
// E or e) at double precision, times ten to the integer exponent, then
// widened; a field without exponent letter is a plain decimal number.  A
// blank field, or one past the end of a short line, is "missing" (NaN in the
// values): RINEX 3 leaves spare and unknown fields blank, and the stores say
// which fields they need.  Lines are read whole, whatever their length, and
// a carriage return before the line end is not part of the line.
#pragma once

#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/time/ymdhms.h"

namespace rinexnav {

// Format versions read by this module: 3.00 up to 4.99.
bool IsVersion3or4(float version);

// One record of a version 3 or 4 file.
struct Record3 {
  char system = ' ';                // G, R, E, C, J, S or I
  unsigned short number = 0;        // satellite number within the system, 1-99
  std::string message;              // version 4 message type ("LNAV", "FDMA", "INAV", ...),
                                    // empty in version 3
  ymdhms epoch;                     // as written, in the system's own time scale
  std::vector<long double> values;  // the numbers in file order, NaN where blank
  unsigned index = 0;               // 1-based position among all records of the file
};

// Lines a caller wants a record of system `system` and message type
// `message` (empty in version 3) to have; 0 when it does not want the record.
using WantedLines = std::function<int(char system, const std::string& message)>;

// What a store does with a record: Ok when kept, or why the record is bad
// (BadNumber for a field it needs that is blank).
using KeepRecord = std::function<RecordRead(const Record3&)>;

// The lines of a version 4 record without a satellite orbit (STO, EOP,
// ION), from its frame line on.
using OrbitlessRecord = std::function<void(const std::vector<std::string>& lines)>;

// Reads the records that follow the header of a version 3 (rinex4 false) or
// version 4 file, hands each wanted and complete one to keep (and each
// version 4 record without a satellite orbit to orbitless, when given), and tells how
// reading ended (RecordScan: read = records kept; record = index of the
// record concerned).  Reading stops at the end of the file (NoRecord), at a
// wanted record the file cuts short (Truncated), at a wanted record with a
// number that cannot be read or a first line without a satellite number
// 1-99 or a valid epoch (BadNumber, BadSatellite, BadEpoch), at a wanted
// record with a wrong number of lines or at a line that belongs to no record
// (BadLayout), and at a record keep refuses (keep's reason).  Blank lines
// between records are passed over.
RecordScan ReadRecords3(std::istream& in, bool rinex4, const WantedLines& wanted,
                        const KeepRecord& keep, const OrbitlessRecord& orbitless = nullptr);

// A number of a version 3/4 header line, columns col..col+len-1, by the
// rule of the record numbers; 0 when the field is blank or no number.
long double HeaderNumber(const char* line, int col, int len);

// The header labels of versions 3 and 4 that no store needs, passed over
// without a warning: appended to a store's label table.
void AddPassedLabels(std::vector<HeaderLabel>& labels);

// True when values[0..n-1] are all present (not blank).
bool AllPresent(const std::vector<long double>& values, int n);

}  // namespace rinexnav
