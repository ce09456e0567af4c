// Error and warning printers of the matrix container.
//
// Every printer writes one framed block to standard output: an empty line, a
// line of 60 asterisks, the header "MATRIX::ERROR:" (or "MATRIX::WARNING:"),
// an empty line, a tab and the message text followed by its numbers (each
// right-aligned in a field of 5 characters), an empty line and the closing
// line of asterisks.  The error printers then write "Exiting program..." and
// end the process with exit status 1; the warning printers return.
//
// The message text names the operator on its first line and the fault on the
// second, e.g. "Operator:   ()\nRow index not in range: ".
#pragma once

// Index out of range: err, i, " -> [", 0, ",", max, "]".
[[noreturn]] void Error(const char* err, int i, int max);

// Dimensions that do not agree: err, "  [", a, ",", c1, "] -> [", b, ",", c2, "]".
[[noreturn]] void Error(const char* err, int a, int c1, int b, int c2);

// A single count: err, " [", n, "]".
[[noreturn]] void UError(const char* err, int n);

// A matrix without storage (or with impossible dimensions): err, " [", r, ",", c, "]".
[[noreturn]] void invError(const char* err, int r, int c);

// Ill-conditioned inversion: err, ods (field of 10), " 10**-15 ", j.
[[noreturn]] void invError(const char* err, double ods, int j);

// Sub-matrix request outside the matrix: err, " [", r, ",", c, "] -> n = ", n.
[[noreturn]] void subnormError(const char* err, int n, int r, int c);

// Failure of the QR decomposition by Givens rotations: the message alone.
[[noreturn]] void qrgivError(const char* err);

// As invError(err, ods, j), without the closing "Exiting program..." line.
void invWarning(const char* err, double ods, int j);

// The message alone, then "Continuing program...".
void normWarning(const char* err);
