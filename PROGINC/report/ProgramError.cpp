#include "PROGINC/report/ProgramError.h"

#include <cstdlib>
#include <iostream>
#include <set>

#include "PROGINC/report/SatelliteMessages.h"

std::string ReportHead(const char* mark, const char* origin, const char* kind,
                       const char* text) {
  return std::string(mark) + ' ' + origin + ": " + kind + " -> " + text + ' ' + mark;
}

namespace {
bool dataOnStandardOutput = false;
}  // namespace

void KeepStandardOutputForData() { dataOnStandardOutput = true; }

std::ostream& ReportStream() { return dataOnStandardOutput ? std::cerr : std::cout; }

void WriteFrame(std::ostream& os, std::initializer_list<std::string> lines) {
  if (satmsg::Lines()) {
    std::cerr << satmsg::OneLine(lines.begin(), lines.size()) << std::endl;
    return;
  }
  std::ostream& to = &os == &std::cout ? ReportStream() : os;
  for (const std::string& line : lines) to << line << std::endl;
  // A report that standard output could not take (a full disk, a closed
  // pipe) is not lost: it goes to standard error.
  if (!to && &to == &std::cout) {
    std::cout.clear();
    for (const std::string& line : lines) std::cerr << line << std::endl;
  }
}

void WriteFrameAndExit(std::ostream& os, std::initializer_list<std::string> lines) {
  WriteFrame(os, lines);
  std::exit(1);
}

namespace {

[[noreturn]] void ErrorReport(std::ostream& os, const char* prog, const char* error) {
  WriteFrameAndExit(os, {"", ReportHead("****", prog, "Error", error),
                         std::string("     Exiting ") + prog + " ... ", ""});
}

void WarningReport(std::ostream& os, const char* prog, const char* warn) {
  WriteFrame(os, {"", ReportHead("####", prog, "Warning", warn),
                  std::string("     Continuing ") + prog + " ... ", ""});
}

}  // namespace

void ProgramError(const char* prog, const char* error) { ErrorReport(std::cerr, prog, error); }

void ProgramErrorCout(const char* prog, const char* error) { ErrorReport(std::cout, prog, error); }

void ProgramWarning(const char* prog, const char* warn) { WarningReport(std::cerr, prog, warn); }

void ProgramWarningCout(const char* prog, const char* warn) { WarningReport(std::cout, prog, warn); }

bool FirstTimeSaid(const std::string& text) {
  static std::set<std::string> said;
  return said.insert(text).second;
}

void ProgramWarningOnce(const char* prog, const char* warn) {
  if (FirstTimeSaid(std::string(prog) + '\0' + warn)) ProgramWarning(prog, warn);
}
