// Helpers of the damaged-file tests: the kinds of input file and how the
// program is run on each, the damage done to a text, and what every run on
// a damaged file must satisfy.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/TestUtil.h"

namespace damaged {

// Longest run accepted on a damaged file, s (the normal runs take well
// under one second; sanitizer builds several times more).
constexpr double kMaxSeconds = 10;

// One kind of input file: its option and the other words of the run.
struct Kind {
  std::string name;
  std::string option;
  std::vector<std::string> others;
};

// Output epochs an hour apart keep the runs short.
inline Kind GpsNav() { return {"GPS navigation", "-en", {"-dt3600"}}; }
inline Kind GlonassNav() { return {"GLONASS navigation", "-eg", {"-dt3600"}}; }
inline Kind Precise() { return {"precise ephemeris", "-ep", {"-dt3600"}}; }
// An ANTEX file moves the positions of the small precise table.
inline Kind Antex() {
  return {"ANTEX", "-pv", {"-ep" + orbtest::FixtureDir() + "/sp3_four_sats.sp3", "-dt3600"}};
}

struct Outcome : orbtest::RunResult {
  double seconds = 0;
};

inline Outcome RunOn(const Kind& kind, const std::string& path) {
  std::vector<std::string> args = {kind.option + path};
  args.insert(args.end(), kind.others.begin(), kind.others.end());
  const auto start = std::chrono::steady_clock::now();
  Outcome o;
  static_cast<orbtest::RunResult&>(o) = orbtest::RunOrbika(args, 60);
  o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return o;
}

inline bool Has(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// What every run on any file must satisfy.
inline void ExpectSound(const Outcome& o, const std::string& what) {
  EXPECT_TRUE(o.status == 0 || o.status == 1) << what << ": status " << o.status << "\n"
                                              << o.out.substr(0, 2000) << o.err.substr(0, 2000);
  EXPECT_LT(o.seconds, kMaxSeconds) << what;
  const std::string all = o.out + o.err;
  EXPECT_FALSE(Has(all, "MATRIX::ERROR")) << what << "\n" << o.out.substr(0, 2000);
  EXPECT_FALSE(Has(o.err, "Sanitizer") || Has(o.err, "runtime error:"))
      << what << "\n" << o.err.substr(0, 4000);
  if (o.status == 1) {
    // An error report, or the warning naming a file that was left out.
    EXPECT_TRUE(Has(all, ": Error -> ") || Has(o.err, " CAN NOT BE OPENED: "))
        << what << ": status 1 without an error report\n"
                                         << o.out.substr(0, 2000) << o.err.substr(0, 2000);
  }
}

// A damaged text and what was done to it.
struct Variant {
  std::string label;
  std::string text;
};

// Small deterministic generator of positions.
class Lcg {
 public:
  explicit Lcg(std::uint64_t seed) : x_(seed) {}
  // A number in [0, n), n > 0.
  std::size_t Below(std::size_t n) {
    x_ = x_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::size_t>((x_ >> 33) % n);
  }

 private:
  std::uint64_t x_;
};

// Offsets of the starts of the lines of text.
inline std::vector<std::size_t> LineStarts(const std::string& text) {
  std::vector<std::size_t> starts = {0};
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '\n') starts.push_back(i + 1);
  return starts;
}

// text with line `line` written `times` times (0: the line lost).
inline std::string RepeatLine(const std::string& text, const std::vector<std::size_t>& starts,
                              std::size_t line, int times) {
  const std::size_t from = starts[line];
  const std::size_t to = line + 1 < starts.size() ? starts[line + 1] : text.size();
  std::string l = text.substr(from, to - from);
  if (l.empty() || l.back() != '\n') l += '\n';
  std::string out = text.substr(0, from);
  for (int k = 0; k < times; ++k) out += l;
  return out + text.substr(to);
}

inline std::string WithCrlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
}

inline std::string BaseName(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

}  // namespace damaged
