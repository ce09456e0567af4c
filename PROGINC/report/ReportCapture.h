// Reports of a worker thread, kept to be written later, in order, by the
// thread that owns the program's streams.
//
// A run that reads its files or computes its satellites on several threads
// must still write every report (framed reports, once-per-run reports, the
// satellite conditions
// of satmsg::Note, and a report that ends the run) exactly where a run on
// one thread writes it.  While a Capture lives on a thread, each report of
// that thread is handed, as a Kept value, to the function the Capture was
// made with, instead of being written; Replay then writes it on the owning
// thread, with the counts and once-per-run rules applied there.  A report
// that would end the run is kept like the others, and its thread is left by
// throwing Stopped: the owner replays it, and the run ends there.
//
// Without a Capture nothing changes: every report is written at once.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace report {

// One report as it was asked for.
struct Kept {
  enum class Kind { Frame, FrameAndExit, FrameOnce, Note };
  Kind kind = Kind::Frame;
  // Frames: written for standard output (else standard error).
  bool forStandardOutput = false;
  // Frames: the frame's lines.  Note: origin, condition, satellite, epoch.
  std::vector<std::string> text;
  std::string key;       // FrameOnce: its key
  bool asLines = false;  // Note: its `lines` argument
};

// Thrown on a capturing thread where a report would end the run.
struct Stopped {};

// While alive, the reports of the constructing thread go to keep.
class Capture {
 public:
  explicit Capture(std::function<void(Kept&&)> keep);
  ~Capture();
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

 private:
  std::function<void(Kept&&)> keep;
  std::function<void(Kept&&)>* outer;
};

// The function reports of this thread go to, or nullptr when they are
// written at once.
std::function<void(Kept&&)>* Keeper();

// Called once before a report ends the run on a thread that writes its
// reports (workers are stopped there); nullptr for none.
void SetBeforeExit(std::function<void()> f);
void BeforeExit();

}  // namespace report
