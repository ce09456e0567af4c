// Shared helpers for the tests: running code or the program in a child
// process with its streams captured, temporary files, and the location of the
// real data set (tests that need it skip when it is absent).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace orbtest {

// What a child process left behind: its exit status (or 128 + signal number
// when it was killed) and everything it wrote to standard output and error.
struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs fn in a forked child with standard output and error captured.  A child
// that returns from fn exits with status 0; one that calls exit(n) reports n.
RunResult RunCaptured(const std::function<void()>& fn);

// Replaces the process by the executable at path with the given arguments
// (argv[0] is path); exits with status 127 when it cannot.
[[noreturn]] void ExecProgram(const std::string& path, const std::vector<std::string>& args);
// ExecProgram in a child as RunCaptured runs it; prepare, when given, runs
// first in the child (to redirect a stream, say).
RunResult RunProgram(const std::string& path, const std::vector<std::string>& args,
                     const std::function<void()>& prepare = {});

// Runs the built Orbika executable with the given arguments (argv[0] is
// supplied), standard input closed, in the folder cwd (the current one when
// empty).  Kills it after timeout_s seconds.  prepare, when given, runs in
// the child just before the program starts, with its arguments to edit (to
// send a stream elsewhere, to hand it a pipe).
RunResult RunOrbika(const std::vector<std::string>& args, int timeout_s = 60,
                    const std::string& cwd = "",
                    const std::function<void(std::vector<std::string>&)>& prepare = nullptr);

// Makes a fresh temporary folder, removed with its files when the test
// program ends, and returns its path.
std::string MakeTempDir();

// Path of the built executable (set by the build for tests that need it).
std::string OrbikaExe();

// Absolute folder of the real data set, or "" when it is absent.
std::string DataDir();
// Path of a file in the real data set ("" when the set is absent).
std::string DataFile(const std::string& name);
// Folder of the fixtures kept in the repository (tests/data).
std::string FixtureDir();

// Writes text to a fresh temporary file and returns its path.  The file is
// removed when the test program ends.
std::string WriteTempFile(const std::string& text, const std::string& suffix = "");
// Whole content of a file ("" when it cannot be read).
std::string ReadFileText(const std::string& path);

// Splits text into lines without their line ends.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace orbtest

// Skips the current test, with a message, when the real data set is absent.
#define ORBIKA_REQUIRE_DATA()                                                  \
  do {                                                                         \
    if (::orbtest::DataDir().empty())                                          \
      GTEST_SKIP() << "real data folder ../shared/data is absent";             \
  } while (0)
