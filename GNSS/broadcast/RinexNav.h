// RinexNav: reading machinery shared by the RINEX version 2 navigation
// readers (GPS: GPSbEph*, GLONASS: GLNbEph*).
//
// A RINEX 2 navigation file is a header of 80-column lines, each labelled in
// columns 61-80 and closed by "END OF HEADER", followed by records: a first
// line with the satellite number, the epoch (yy mm dd hh mi ss.s) and three
// clock values, then continuation lines of four numbers each (GPS: 8 lines,
// 28 numbers; GLONASS: 4 lines, 15 numbers).  Numbers are Fortran D19.12
// fields in fixed columns (first line: columns 23, 42 and 61; continuation
// lines: 4, 23, 42 and 61); the exponent letter is D, E or e, and
// neighbouring fields may touch when the second one is negative.
//
// The readers make a counting pass (header, then CountRecords) and a reading
// pass (header, then ReadRecord until it reports NoRecord).  Everything here
// works on a std::istream in text mode; a carriage return before a line end
// is never part of the data, so CR LF files read exactly like LF files.
// Nothing reads past the end of the file or past a buffer: malformed input
// is reported through the stream state or a status value, and the store that
// owns the file turns it into a message that names the file.
//
// What each helper does:
//
//   Warning, Error      the report frames of a navigation class, on standard
//                       output, each preceded by an empty line:
//                         "#### <cls>: Warning -> <text> ####"
//                         "     Continuing <cls> ... "
//                       and, for errors, with the frame mark given ("****"
//                       for the stores, "####" for the data records):
//                         "<mark> <cls>: Error -> <text> <mark>"
//                         "     Exiting <cls> ... "     then exit status 1.
//
//   ReadParameter       one D/E/e number from a stream (see below).
//
//   FieldText, FieldInt, FieldDouble, FieldMantExp
//                       fixed-column fields of a header line (columns count
//                       from 1; a field that runs past the end of the line is
//                       cut short, one that starts past it is empty).
//   ParseVersionType, ParsePgmRunByDate, ParseLeapSeconds
//                       the header lines common to GPS and GLONASS files.
//
//   HeaderLabel, ReadHeader
//                       the header loop: lines of at most 99 characters are
//                       read up to the line that contains "END OF HEADER";
//                       then each line is handed, in file order, to the
//                       parser of the first label of the caller's table that
//                       it contains (a label with an empty parser, such as
//                       COMMENT, is skipped).  No line is kept.  Lines with
//                       none of the labels draw one warning, "<first such
//                       line from column 61> -> UNKNOWN HEADER LABEL", with
//                       " (LINE <n>, AND <m> LINES MORE OF THIS KIND)" when
//                       there are more; a longer line is read as its first
//                       99 characters, and such lines draw one warning of
//                       the same form before it.  When the file ends before
//                       END OF HEADER nothing is parsed or reported and the
//                       stream is left failed.
//
//   CountRecords        the counting pass after the header: counts the lines
//                       that start a record (first non-blank character a
//                       digit or sign) and skips the remaining lines of each
//                       record; blank lines between or after records count
//                       for nothing; the first other line ends the count.
//
//   ReadSatNumber, ReadEpoch, ReadRecord
//                       the pieces of one record of the reading pass, and
//                       the whole record; each reports how it ended
//                       (RecordRead).
//
//   RecordScan, ReportScan, KeepRows
//                       how a reading pass ended, the messages the store
//                       prints for it (naming the file), and the trimming of
//                       a table to the records actually read.
//
//   OpenWithHeader      opens the file and reads its header for either pass;
//                       a file that cannot be opened or has no END OF HEADER
//                       ends the run with an error naming the file.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "GNSS/time/mjd.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/files/InputFile.h"
#include "matrix/matrix.h"

namespace rinexnav {

// ---- Report frames --------------------------------------------------------

// One orbit parameter on standard output, for checking a record by eye:
// "<cls>:: <name>: <value>" in scientific notation with 15 digits; the
// stream's format is left as it was.
void PrintParameter(const char* cls, const char* name, long double value);

// Warning frame of class cls on standard output.
void Warning(const char* cls, const char* text);

// Warning, once per run for each class and text: what a reader says of a
// file, which it may read more than once.
void ReaderWarning(const char* cls, const char* text);

// Error frame of class cls on standard output, then exit status 1.  mark is
// the frame's four-character mark: "****" (stores) or "####" (data records).
[[noreturn]] void Error(const char* cls, const char* text, const char* mark = "****");

// ---- Numbers --------------------------------------------------------------

// Longest mantissa text ReadParameter accepts (leading white space and line
// ends are not counted).
constexpr int kMaxMantissa = 29;

// Reads one number written in Fortran D notation: characters are taken into
// the mantissa text until the letter D, E or e, which is consumed (lower-case
// d is not an exponent letter); then a signed integer exponent is read with
// the stream's integer extraction.  The value is ScaledNumber's (FieldNumber.h):
// the mantissa by the program's number rule (leading white space and line
// ends skipped; conversion stops at the first character that cannot continue
// a number), times 10^exponent in double precision, widened.  So " 0.1D+01", "0.1E+01" and
// "0.1e+01" all give 1, and in "-1.0D-01-2.0D+00" the first number ends at
// the second's sign.
//
// On failure it returns 0 and leaves the stream failed: with eof() set when
// the file ended first, without it when the mantissa text exceeds
// kMaxMantissa characters, the exponent is not an integer or the value is
// beyond the range of double.
long double ReadParameter(std::istream& in);

// mantissa * 10^exponent from a header line (ScaledNumber): the mantissa in
// columns mcol.. (mlen characters), the exponent the whole number of columns
// ecol.. (elen characters).
long double FieldMantExp(const char* line, int mcol, int mlen, int ecol, int elen);

// ---- Fixed-column fields of a header line ---------------------------------

// The text of len characters from column col (1-based), cut short by the end
// of the line, blanks trimmed at both ends, into out (room for len + 1).
void FieldText(const char* line, int col, int len, char* out);
// The same field as a whole number or a number by the program's rule
// (FieldInteger, FieldNumber of FieldNumber.h; an empty field gives 0).
long FieldInt(const char* line, int col, int len);
double FieldDouble(const char* line, int col, int len);

// RINEX VERSION / TYPE: version from columns 1-9, type from columns 21-39
// trimmed (type needs room for 20 characters).
void ParseVersionType(const char* line, float& version, char* type);
// PGM / RUN BY / DATE: columns 1-20, 21-40, 41-60, each trimmed (room for 21
// characters each).
void ParsePgmRunByDate(const char* line, char* pgm, char* runby, char* date);
// LEAP SECONDS: the integer of columns 1-6.
short ParseLeapSeconds(const char* line);

// ---- Header ---------------------------------------------------------------

// Longest header line read whole; a longer one is cut to this length.
constexpr int kMaxHeaderLine = 99;

// One entry of a header label table: a line that contains label anywhere is
// given to parse; an empty parse skips the line.
struct HeaderLabel {
  const char* label;
  std::function<void(const char* line)> parse;
};

// Reads the header (see the top of this file).  warn receives the text of
// each header warning (the caller frames it).  Returns true when END OF
// HEADER was found; otherwise the stream is failed and nothing was parsed.
bool ReadHeader(std::istream& in, const std::vector<HeaderLabel>& labels,
                const std::function<void(const char* text)>& warn);

// ---- Records --------------------------------------------------------------

// Counting pass after the header: the number of records of linesPerRecord
// lines each (lines of any length are read whole).
unsigned CountRecords(std::istream& in, int linesPerRecord);

// How reading a record (or a piece of it) ended.
enum class RecordRead {
  Ok,         // complete
  NoRecord,   // no satellite number where a record would start: the end
              // of the records (end of file, or text that is no record)
  Truncated,  // the file ends inside the record
  BadNumber,  // a field that is no number, or a mantissa text too long
  BadSatellite,  // a satellite number outside 1-99
  BadEpoch,   // a record epoch that is no valid date and time (RINEX 3/4)
  BadLayout,  // a record without the lines of its type, or a line of no
              // record (RINEX 3/4)
};

// The satellite number that starts a record, read as an unsigned 16-bit
// integer after white space: Ok or NoRecord.
RecordRead ReadSatNumber(std::istream& in, unsigned short& sat);

// The record epoch, six white-space separated numbers read with the ymdhms
// stream reader (two-digit years 80-99 are 1980-1999, 0-79 are 2000-2079; an
// invalid date ends the program with the ymdhms report).  The six fields are
// checked to be numbers before the reader sees them, so a file that ends or
// breaks inside the epoch gives Truncated or BadNumber instead.  The stream
// must be seekable (a file or string stream).
RecordRead ReadEpoch(std::istream& in, ymdhms& epoch);

// One whole record, from the first line that is not blank: satellite
// number (1-99, a two-digit field; anything else is BadSatellite), epoch,
// then n numbers read by their fixed columns, each field by itself: a field
// that holds anything but one number (a mantissa and, after D, E or e, a
// whole exponent, or a plain decimal; blanks around it) is BadNumber, and a
// field the file ends before is Truncated.  The lines of the record are
// consumed whole.
RecordRead ReadRecord(std::istream& in, unsigned short& sat, ymdhms& epoch,
                      long double* values, int n);

// How a reading pass ended: the records stored, and the reason reading
// stopped with the 1-based number of the record concerned.  stop is
// NoRecord after a clean end; Ok means more records were found than the
// counting pass sized the store for (record = the first one without room).
struct RecordScan {
  unsigned read = 0;
  RecordRead stop = RecordRead::NoRecord;
  unsigned record = 0;
};

// Reports how a reading pass of file `file` (described to the user as
// `what`, e.g. "GPS NAVIGATION FILE") ended, in the frames of store class
// cls ("****" errors):
//   Truncated  warning "<what> <file>: FILE ENDS INSIDE RECORD <n>, RECORD DROPPED!"
//   BadNumber  error   "<what> <file>: BAD NUMBER IN RECORD <n>!"
//   BadSatellite error "<what> <file>: SATELLITE NUMBER NOT IN 1-99 IN RECORD <n>!"
//   BadEpoch   error   "<what> <file>: BAD EPOCH IN RECORD <n>!"
//   BadLayout  error   "<what> <file>: RECORD <n> LAYOUT NOT RECOGNISED!"
//   Ok         error   "<what> <file>: MORE RECORDS THAN COUNTED AT RECORD <n>,
//                       RECORD LAYOUT NOT RECOGNISED!"
// and then, when no record at all was read, the error "<what> <file>: NO
// COMPLETE RECORD!".  Returns only when reading may go on.
void ReportScan(const RecordScan& scan, const char* cls, const char* what, const char* file);

// Keeps the rows `rows` of a table, in that order.
template <class T>
void KeepRows(matrix<T>& m, const std::vector<int>& rows) {
  const int c = m.NCol();
  matrix<T> kept(static_cast<int>(rows.size()), c);
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (int j = 0; j < c; ++j) kept(static_cast<int>(i), j) = m(rows[i], j);
  m = std::move(kept);
}

// Keeps the first n rows of a table (n no larger than its row count).
template <class T>
void KeepRows(matrix<T>& m, int n) {
  if (n == m.NRow()) return;
  std::vector<int> rows(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) rows[static_cast<std::size_t>(i)] = i;
  KeepRows(m, rows);
}

// ---- Record use -------------------------------------------------------------

// Longest interval between a record's epoch and an epoch it serves, s: two
// days, so that any epoch within a day of a file's records is served, while
// an epoch days away (a mistyped date, files of different days) gets no
// values instead of an orbit that is none.
constexpr long double kMaxRecordInterval = 2 * 86400.0L;

// Whether epoch a lies before epoch b, by exact comparison of day and second:
// the strict order that puts each satellite's records in time order by a
// stable sort (records of one epoch keep their file order).
bool ExactlyEarlier(const mjd& a, const mjd& b);

// A group-delay field of a record (s) as the stores hand it on: NaN for a
// blank field and for one of magnitude kAbsentGroupDelay or more, which is
// no delay but a placeholder (9.999e8 marks "unknown" in merged files).
// Real group delays of every system stay below a microsecond.
constexpr long double kAbsentGroupDelay = 1e-3L;  // s
long double GroupDelay(long double field);

// What an epoch that no record transmitted by then serves (-rx) is told,
// once per satellite, by both broadcast stores.
constexpr const char* kNoReceiverRecord =
    "NO RECORD TRANSMITTED AND WITHIN ITS FIT INTERVAL - BROADCAST COLUMNS WRITTEN AS nan";

// ---- Opening a file ---------------------------------------------------------

// Whether a RINEX navigation format version is one the readers know: 2.x,
// 3.x or 4.x.
bool KnownVersion(float version);
// Ends the run in the error frame of store class cls, "<what> <file>: RINEX
// VERSION <v> NOT READ [2.x, 3.x OR 4.x]!", unless KnownVersion(version).
void CheckVersion(float version, const char* cls, const char* what, const char* file);

// Opens navigation file `file` (described to the user as `what`) and reads
// its header with the header class's stream reader.  A file that cannot be
// opened, whose header has no END OF HEADER or whose version is not one the
// readers know ends the run in the error frame of store class cls:
// "<what> <file>: CANNOT BE OPENED!", "<what> <file>: END OF HEADER NOT
// FOUND!" or CheckVersion's error.
template <class Header>
void OpenWithHeader(InputFile& in, const char* file, const char* cls, const char* what,
                    Header& head) {
  const std::string name = std::string(what) + " " + file;
  in.open(file);
  if (!in.is_open()) Error(cls, (name + ": CANNOT BE OPENED!").c_str());
  in >> head;
  if (!in) Error(cls, (name + ": END OF HEADER NOT FOUND!").c_str());
  CheckVersion(head.GetVersion(), cls, what, file);
}

}  // namespace rinexnav
