#include "matrix/MError.h"

#include <cstdlib>
#include <iomanip>
#include <iostream>

namespace {

const char* const kStars =
    "************************************************************";

// Opening of the frame, up to and including the tab before the message.
void Head(const char* header) {
  std::cout << std::endl << kStars << std::endl << header << std::endl << std::endl << '\t';
}

// Closing of an error frame after the message's numbers; ends the process.
[[noreturn]] void FootExit() {
  std::cout << std::endl << std::endl << kStars << std::endl
            << "Exiting program..." << std::endl << std::endl;
  std::exit(1);
}

std::ostream& W5(int n) { return std::cout << std::setw(5) << n; }

}  // namespace

void Error(const char* err, int i, int max) {
  Head("MATRIX::ERROR:");
  std::cout << err;
  W5(i) << " -> [";
  W5(0) << ',';
  W5(max) << ']';
  FootExit();
}

void Error(const char* err, int a, int c1, int b, int c2) {
  Head("MATRIX::ERROR:");
  std::cout << err << "  [";
  W5(a) << ',';
  W5(c1) << "] -> [";
  W5(b) << ',';
  W5(c2) << ']';
  FootExit();
}

void UError(const char* err, int n) {
  Head("MATRIX::ERROR:");
  std::cout << err << " [";
  W5(n) << ']';
  FootExit();
}

void invError(const char* err, int r, int c) {
  Head("MATRIX::ERROR:");
  std::cout << err << " [";
  W5(r) << ',';
  W5(c) << ']';
  FootExit();
}

namespace {
void OdsLine(const char* err, double ods, int j) {
  std::cout << err << std::setw(10) << ods << " 10**-15 ";
  W5(j);
}
}  // namespace

void invError(const char* err, double ods, int j) {
  Head("MATRIX::ERROR:");
  OdsLine(err, ods, j);
  FootExit();
}

void subnormError(const char* err, int n, int r, int c) {
  Head("MATRIX::ERROR:");
  std::cout << err << " [";
  W5(r) << ',';
  W5(c) << "] -> n = ";
  W5(n);
  FootExit();
}

void qrgivError(const char* err) {
  Head("MATRIX::ERROR:");
  std::cout << err;
  FootExit();
}

void invWarning(const char* err, double ods, int j) {
  Head("MATRIX::WARNING:");
  OdsLine(err, ods, j);
  std::cout << std::endl << std::endl << kStars << std::endl;
}

void normWarning(const char* err) {
  Head("MATRIX::WARNING:");
  std::cout << err << std::endl << std::endl << kStars << std::endl
            << "Continuing program..." << std::endl << std::endl;
}
