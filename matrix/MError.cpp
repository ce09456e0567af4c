#include "matrix/MError.h"

#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

#include "PROGINC/report/ProgramError.h"

namespace {

const char* const kStars =
    "************************************************************";

// The message line: a tab, the text and its numbers, as written by body
// with standard output's settings.
template <class Body>
std::string Message(const char* err, Body body) {
  std::ostringstream os;
  os.copyfmt(std::cout);
  os << '\t' << err;
  body(os);
  return os.str();
}

// An error frame around the message line; ends the process.
[[noreturn]] void ErrorFrame(const std::string& message) {
  WriteFrameAndExit(std::cout, {"", kStars, "MATRIX::ERROR:", "", message, "", kStars,
                                "Exiting program...", ""});
}

std::ostream& W5(std::ostream& os, int n) { return os << std::setw(5) << n; }

}  // namespace

void Error(const char* err, int i, int max) {
  ErrorFrame(Message(err, [&](std::ostream& os) {
    W5(os, i) << " -> [";
    W5(os, 0) << ',';
    W5(os, max) << ']';
  }));
}

void Error(const char* err, int a, int c1, int b, int c2) {
  ErrorFrame(Message(err, [&](std::ostream& os) {
    os << "  [";
    W5(os, a) << ',';
    W5(os, c1) << "] -> [";
    W5(os, b) << ',';
    W5(os, c2) << ']';
  }));
}

void UError(const char* err, int n) {
  ErrorFrame(Message(err, [&](std::ostream& os) {
    os << " [";
    W5(os, n) << ']';
  }));
}

void invError(const char* err, int r, int c) {
  ErrorFrame(Message(err, [&](std::ostream& os) {
    os << " [";
    W5(os, r) << ',';
    W5(os, c) << ']';
  }));
}

namespace {
std::string OdsMessage(const char* err, double ods, int j) {
  return Message(err, [&](std::ostream& os) {
    os << std::setw(10) << ods << " 10**-15 ";
    W5(os, j);
  });
}
}  // namespace

void invError(const char* err, double ods, int j) { ErrorFrame(OdsMessage(err, ods, j)); }

void subnormError(const char* err, int n, int r, int c) {
  ErrorFrame(Message(err, [&](std::ostream& os) {
    os << " [";
    W5(os, r) << ',';
    W5(os, c) << "] -> n = ";
    W5(os, n);
  }));
}

void qrgivError(const char* err) {
  ErrorFrame(Message(err, [](std::ostream&) {}));
}

void invWarning(const char* err, double ods, int j) {
  WriteFrame(std::cout, {"", kStars, "MATRIX::WARNING:", "", OdsMessage(err, ods, j), "", kStars});
}

void normWarning(const char* err) {
  WriteFrame(std::cout, {"", kStars, "MATRIX::WARNING:", "", Message(err, [](std::ostream&) {}), "",
                         kStars, "Continuing program...", ""});
}
