// Fatal and non-fatal reports of the program's own modules, and the one
// frame printer behind every report of the program.
//
// An error report ends the process with exit status 1 from where the
// condition is found; a warning report returns and leaves all state as it
// was.  Each report of the program is four lines, each ended and flushed:
//
//   (empty line)
//   **** Orbika: Error -> <message> ****        #### Orbika: Warning -> <message> ####
//        Exiting Orbika ...                          Continuing Orbika ...
//   (empty line)
//
// prog is the origin of the report (the program's name).  The reports of
// the value classes, the navigation readers and the matrix container have
// frames of their own; they print them through WriteFrame and
// WriteFrameAndExit, so that every report leaves the program one way.
//
// A run whose standard output holds data for programs (-csv) keeps it for
// the data alone: after KeepStandardOutputForData every report written for
// standard output goes to standard error.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "PROGINC/report/ReportCapture.h"

// Error report on standard error, then exit status 1.
[[noreturn]] void ProgramError(const char* prog, const char* error);

// Error report on standard output, then exit status 1.
[[noreturn]] void ProgramErrorCout(const char* prog, const char* error);

// Warning report on standard error.
void ProgramWarning(const char* prog, const char* warn);

// Warning report on standard output.
void ProgramWarningCout(const char* prog, const char* warn);

// WriteFrame, once per run for each key.  The readers pass over a file
// more than once (counting, then reading) and may read it for more than one
// store: what they say of a file is said once.
void WriteFrameOnce(const std::string& key, std::ostream& os,
                    const std::vector<std::string>& lines);

// ProgramWarning, once per run for each text.
void ProgramWarningOnce(const char* prog, const char* warn);

// The head line of a report: "<mark> <origin>: <kind> -> <text> <mark>".
std::string ReportHead(const char* mark, const char* origin, const char* kind,
                       const char* text);

// From now on the reports for standard output go to standard error.
void KeepStandardOutputForData();

// The stream of the reports written for standard output: standard output,
// or standard error once it is kept for data.
std::ostream& ReportStream();

// Writes each line to os (to ReportStream() when os is standard output),
// ended and flushed; when standard output fails to take them, they are
// written to standard error.  On a thread whose reports are captured
// (ReportCapture.h) the frame is kept instead.
void WriteFrame(std::ostream& os, std::initializer_list<std::string> lines);
void WriteFrame(std::ostream& os, const std::vector<std::string>& lines);
// WriteFrame, then exit status 1 (on a capturing thread: kept, then
// report::Stopped is thrown).
[[noreturn]] void WriteFrameAndExit(std::ostream& os, std::initializer_list<std::string> lines);
[[noreturn]] void WriteFrameAndExit(std::ostream& os, const std::vector<std::string>& lines);

// Writes a report kept on a worker thread (ReportCapture.h) as that thread
// would have written it alone; a FrameAndExit report ends the run.
void ReplayReport(const report::Kept& k);
