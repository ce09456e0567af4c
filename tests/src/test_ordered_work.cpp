// Jobs on worker threads write what the same jobs write one after the
// other: text (pieces far larger than a job may hold unwritten), framed
// warnings for either stream, once-per-run warnings, satellite conditions,
// and an error that ends the run part-way through a job.
#include <iostream>
#include <string>

#include <gtest/gtest.h>

#include "PROGINC/report/ProgramError.h"
#include "PROGINC/report/SatelliteMessages.h"
#include "src/OrderedWork.h"
#include "tests/TestUtil.h"

namespace {

constexpr std::size_t kJobs = 40;

// Job i: lines of text, with the reports of some jobs between them; job
// `fatal` ends the run half-way.  Longer jobs come later so that workers
// finish out of order.
long Job(std::size_t i, std::ostream& out, std::size_t fatal) {
  const std::size_t lines = i % 7 == 3 ? OrderedWork::kJobTextLimit / 20 : 50 + 30 * (i % 5);
  for (std::size_t k = 0; k < lines; ++k) {
    out << "job " << i << " line " << k << '\n';
    if (k != lines / 2) continue;
    if (i % 9 == 2) ProgramWarning("Orbika", ("WARNING OF JOB " + std::to_string(i)).c_str());
    if (i % 11 == 4) ProgramWarningCout("Orbika", ("TABLE WARNING " + std::to_string(i)).c_str());
    if (i % 4 == 1) ProgramWarningOnce("Orbika", "SAID ONCE");
    if (i % 6 == 5)
      satmsg::Note("Orbika", "CONDITION", "G0" + std::to_string(i % 3), std::to_string(i), true);
    if (i == fatal) ProgramError("Orbika", ("JOB " + std::to_string(i) + " ENDS THE RUN").c_str());
  }
  return static_cast<long>(lines);
}

orbtest::RunResult OneAfterAnother(std::size_t fatal) {
  return orbtest::RunCaptured([&] {
    for (std::size_t i = 0; i < kJobs; ++i) {
      const long n = Job(i, std::cout, fatal);
      std::cerr << "done " << i << ' ' << n << '\n';
    }
    satmsg::WriteSummary("Orbika", std::cerr);
  });
}

orbtest::RunResult OnThreads(int workers, std::size_t fatal) {
  return orbtest::RunCaptured([&] {
    OrderedWork work(workers, std::cout);
    work.Run(
        kJobs, [&](int, std::size_t i, std::ostream& out) { return Job(i, out, fatal); },
        [](std::size_t i, long n) { std::cerr << "done " << i << ' ' << n << '\n'; });
    satmsg::WriteSummary("Orbika", std::cerr);
  });
}

TEST(OrderedWork, WritesWhatTheJobsWriteOneAfterAnother) {
  for (const std::size_t fatal : {kJobs, std::size_t{17}}) {
    const orbtest::RunResult one = OneAfterAnother(fatal);
    ASSERT_EQ(one.status, fatal < kJobs ? 1 : 0);
    ASSERT_NE(one.err.find(fatal < kJobs ? "JOB 17 ENDS THE RUN" : "Summary -> G02"),
              std::string::npos);
    for (const int workers : {1, 2, 5}) {
      SCOPED_TRACE("workers " + std::to_string(workers) + ", fatal " + std::to_string(fatal));
      const orbtest::RunResult many = OnThreads(workers, fatal);
      EXPECT_EQ(many.status, one.status);
      EXPECT_TRUE(many.out == one.out) << "standard output differs";
      EXPECT_EQ(many.err, one.err);
    }
  }
}

}  // namespace
