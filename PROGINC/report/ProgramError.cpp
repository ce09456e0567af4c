#include "PROGINC/report/ProgramError.h"

#include <cstdlib>
#include <iostream>
#include <set>
#include <utility>

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

namespace {

void WriteLines(std::ostream& os, const std::string* lines, std::size_t n) {
  if (satmsg::Lines()) {
    std::cerr << satmsg::OneLine(lines, n) << std::endl;
    return;
  }
  std::ostream& to = &os == &std::cout ? ReportStream() : os;
  for (std::size_t i = 0; i < n; ++i) to << lines[i] << std::endl;
  // A report that standard output could not take (a full disk, a closed
  // pipe) is not lost: it goes to standard error.
  if (!to && &to == &std::cout) {
    std::cout.clear();
    for (std::size_t i = 0; i < n; ++i) std::cerr << lines[i] << std::endl;
  }
}

// A worker thread's frame is kept for the thread that writes the reports.
bool KeptForOwner(std::ostream& os, const std::string* lines, std::size_t n, bool ends) {
  auto* keep = report::Keeper();
  if (keep == nullptr) return false;
  report::Kept k;
  k.kind = ends ? report::Kept::Kind::FrameAndExit : report::Kept::Kind::Frame;
  k.forStandardOutput = &os == &std::cout;
  k.text.assign(lines, lines + n);
  (*keep)(std::move(k));
  if (ends) throw report::Stopped{};
  return true;
}

[[noreturn]] void FrameAndExit(std::ostream& os, const std::string* lines, std::size_t n) {
  KeptForOwner(os, lines, n, true);
  report::BeforeExit();
  WriteLines(os, lines, n);
  std::exit(1);
}

}  // namespace

void WriteFrame(std::ostream& os, std::initializer_list<std::string> lines) {
  if (!KeptForOwner(os, lines.begin(), lines.size(), false)) WriteLines(os, lines.begin(), lines.size());
}

void WriteFrame(std::ostream& os, const std::vector<std::string>& lines) {
  if (!KeptForOwner(os, lines.data(), lines.size(), false)) WriteLines(os, lines.data(), lines.size());
}

void WriteFrameAndExit(std::ostream& os, std::initializer_list<std::string> lines) {
  FrameAndExit(os, lines.begin(), lines.size());
}

void WriteFrameAndExit(std::ostream& os, const std::vector<std::string>& lines) {
  FrameAndExit(os, lines.data(), lines.size());
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

namespace {

bool FirstTimeSaid(const std::string& key) {
  static std::set<std::string> said;
  return said.insert(key).second;
}

}  // namespace

void WriteFrameOnce(const std::string& key, std::ostream& os,
                    const std::vector<std::string>& lines) {
  if (auto* keep = report::Keeper()) {
    report::Kept k;
    k.kind = report::Kept::Kind::FrameOnce;
    k.forStandardOutput = &os == &std::cout;
    k.key = key;
    k.text = lines;
    (*keep)(std::move(k));
    return;
  }
  if (FirstTimeSaid(key)) WriteLines(os, lines.data(), lines.size());
}

void ProgramWarningOnce(const char* prog, const char* warn) {
  WriteFrameOnce(std::string(prog) + '\0' + warn, std::cerr,
                 {"", ReportHead("####", prog, "Warning", warn),
                  std::string("     Continuing ") + prog + " ... ", ""});
}

void ReplayReport(const report::Kept& k) {
  std::ostream& os = k.forStandardOutput ? std::cout : std::cerr;
  switch (k.kind) {
    case report::Kept::Kind::Frame: WriteFrame(os, k.text); break;
    case report::Kept::Kind::FrameAndExit: WriteFrameAndExit(os, k.text);
    case report::Kept::Kind::FrameOnce:
      if (FirstTimeSaid(k.key)) WriteLines(os, k.text.data(), k.text.size());
      break;
    case report::Kept::Kind::Note:
      satmsg::Note(k.text.at(0).c_str(), k.text.at(1), k.text.at(2), k.text.at(3), k.asLines);
      break;
  }
}
