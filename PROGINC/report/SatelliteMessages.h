// Messages about one satellite that a run meets at many epochs, and the
// one-line form of every report.
//
// A day of a station's navigation file meets the same condition (a record
// far from the epoch, a satellite without an antenna) at thousands of
// epochs.  Written as lines, each condition is written once per satellite,
// naming the satellite (G01, E11) and the epoch of its first occurrence:
//
//   Orbika: Warning -> E11 2020-06-25T00:15:00.000: <condition>
//
// and every occurrence is counted; WriteSummary then gives, per condition
// and satellite, the count and the first and last epoch:
//
//   Orbika: Summary -> E11: <condition>: 96 times, 2020-06-25T00:00:00.000 to 2020-06-25T23:45:00.000
//
// Lines are used in runs that keep standard output for data (-csv), where
// every report frame becomes one line too (see WriteFrame), and for the
// systems whose messages have no frame of their own in the text table.
// Everything goes to standard error.  Memory grows with conditions and
// satellites, not with epochs.
#pragma once

#include <ostream>
#include <string>

namespace satmsg {

// From now on every report is written as one line.
void UseLines();
// True once UseLines was called.
bool Lines();

// One occurrence of condition `what` for satellite `sat` at epoch `epoch`
// (ISO 8601 text).  Counted and, at its first occurrence for that
// satellite, written as one line by `origin` (the program's name), when
// lines are in use or `lines` asks for them; returns false then.  Returns
// true, counting nothing, when the caller is to write its own framed report.
bool Note(const char* origin, const std::string& what, const std::string& sat,
          const std::string& epoch, bool lines);

// The summary of the counted conditions, one line per condition and
// satellite in the order of first occurrence; nothing when none was counted.
void WriteSummary(const char* origin, std::ostream& os);

// The frame of a report as one line: its text lines without frame marks,
// joined by blanks; blank lines, star rules and the "Continuing"/"Exiting"
// lines are left out.
std::string OneLine(const std::string* lines, std::size_t n);

}  // namespace satmsg
