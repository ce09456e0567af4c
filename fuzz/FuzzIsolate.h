// Support for the libFuzzer targets of the readers.
//
// The readers take a file name and end the process with exit status 1 when
// the file is bad.  A fatal exit is a sound outcome, not a finding, so every
// input runs in a process of its own:
//
//   - at start-up, while the fuzzing process is still small, it forks a
//     server; the server forks one worker per input (a fork of the grown
//     fuzzing process would cost several times more) and watches its run
//     time and memory;
//   - the fuzzing process writes the input to a scratch file, asks the
//     server to run the target's body on it, and waits for the verdict;
//   - the worker runs the body with its standard output and error captured
//     in a memory file, and leaves through _exit with status 0 (the body
//     returned) or 1 (the program's own fatal report); its coverage counters
//     are handed back through a shared mapping and added to the fuzzing
//     process's own, so that libFuzzer sees the worker's coverage as if the
//     input had run in its own process;
//   - sanitizer reports of a worker go to the fuzzing process's standard
//     error, and a worker's sanitizer death is a status of its own.
//
// Findings make the fuzzing process abort, so that libFuzzer keeps the input:
//   - the worker died of a signal or ended with any status but 0 and 1
//     (a sanitizer report, an uncaught exception), ran longer than 10 s
//     (ORBIKA_FUZZ_TIMEOUT) or grew beyond 3 GB;
//   - status 1 whose report is the container's index check ("MATRIX::ERROR"):
//     a reader let a bad index through instead of naming the fault;
//   - the body returned with memory still allocated that a leak check finds
//     unreachable;
//   - the body called Fail (a broken store invariant, a non-finite result
//     from a sound record);
//   - the same input with CR LF line ends gives another status, another
//     report or other numbers than with LF line ends.
//
// The body describes the store and its results through Digest, so that the
// LF and CR LF runs can be compared number for number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "GNSS/geometry/xyzt.h"

namespace orbfuzz {

// Running hash of what a body read and computed.
class Digest {
 public:
  void Add(const void* p, std::size_t n);
  void Add(long double v);  // the 80 significant bits only
  void Add(long v);
  void Add(const char* text);
  // All four components of a position with its clock, or of a velocity.
  void Add(const xyzt& v) {
    Add(v.GetX());
    Add(v.GetY());
    Add(v.GetZ());
    Add(v.GetT());
  }
  std::uint64_t Value() const { return h_; }

 private:
  std::uint64_t h_ = 1469598103934665603ULL;
};

// The body of a target: reads the file at path, exercises the store, and
// adds what it found to d.
using Body = void (*)(const char* path, Digest& d);

// Runs body on the input as described above (with the CR LF comparison when
// the input holds no carriage return).  Returns only when nothing was found.
void Run(const std::uint8_t* data, std::size_t size, Body body);

// Inside a body: reports a finding (the text goes to the fuzzing process's
// standard error) and ends the worker with a status taken as a finding.
[[noreturn]] void Fail(const char* what);

// A scratch file of this process with the given content, rewritten on each
// call with the same tag; returns its path.
std::string ScratchFile(const char* tag, const std::string& content);

}  // namespace orbfuzz
