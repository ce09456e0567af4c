// Numbered jobs computed on worker threads and written in their order.
//
// Job i writes its text to the stream of the worker that runs it, and may
// make reports (warnings, satellite conditions, an error that ends the
// run).  The calling thread writes the text of job 0, then of job 1, ...,
// to the output stream, each report at the place in the text where its job
// made it (ReplayReport), so that standard output and standard error
// hold the bytes a run of the jobs one after the other on this thread would
// write.  A job that ends the run ends it when the calling thread reaches
// it: the jobs before it are written whole, the workers are stopped, and
// the report is written as on one thread.
//
// Memory: at most twice as many jobs as workers are under way or waiting to
// be written (unless the run is not bounded).  The job being written holds
// at most kJobTextLimit bytes of unwritten text, and the jobs after it
// together at most kAheadTextLimit (a worker waits for the writer beyond
// that), whatever the size of a job's text: enough for a day of a satellite
// at 1 s steps, so that the workers of later satellites need not wait.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "PROGINC/report/ReportCapture.h"

class OrderedWork {
 public:
  // Bytes of unwritten text the job being written may hold, and the jobs
  // after it together, before their workers wait.
  static constexpr std::size_t kJobTextLimit = 4u << 20;
  static constexpr std::size_t kAheadTextLimit = 64u << 20;

  // Job i on worker w (0 <= w < workers), writing to `text`; returns a
  // count for `done`.
  using Job = std::function<long(int w, std::size_t i, std::ostream& text)>;
  // Called on the calling thread after job i is written, with its count.
  using Done = std::function<void(std::size_t i, long count)>;

  OrderedWork(int workers, std::ostream& out);
  ~OrderedWork();
  OrderedWork(const OrderedWork&) = delete;
  OrderedWork& operator=(const OrderedWork&) = delete;

  // Worker w's stream, for writers made before Run; what they write goes
  // to the job that worker is running.
  std::ostream& Stream(int w);

  // Runs jobs 0 to n - 1 and writes them in order.  A job starts at most
  // twice as many jobs ahead of the one being written as there are workers,
  // or, not bounded, as soon as a worker is free (a few jobs of little
  // text, such as the reading of files).
  void Run(std::size_t n, const Job& job, const Done& done, bool bounded = true);

 private:
  // A job's output not yet written: text pieces and kept reports, in order.
  struct Piece {
    std::string text;
    bool isReport = false;
    report::Kept kept;
  };
  struct Slot {
    std::deque<Piece> pieces;
    std::size_t bytes = 0;
    bool finished = false;
    long count = 0;
    std::exception_ptr failure;
  };
  class WorkerBuffer;

  void Work(int w, std::size_t n, const Job& job, bool bounded);
  void RunJob(int w, std::size_t i, const Job& job);
  // Adds a piece to job i, first waiting while the job holds its limit of
  // unwritten text; once the run stops, pieces are dropped.
  void Push(std::size_t i, Piece&& p);
  // Writes job i whole; returns its count.
  long WriteJob(std::size_t i);
  void Stop();

  std::ostream& out;
  std::vector<std::unique_ptr<WorkerBuffer>> buffers;
  std::vector<std::unique_ptr<std::ostream>> streams;
  std::vector<Slot> slots;
  std::mutex lock;
  std::condition_variable moved;  // a piece was pushed, taken, or the run stops
  std::size_t next = 0;           // first job not yet started
  std::size_t writing = 0;        // the job being written
  std::size_t aheadBytes = 0;     // unwritten text of the jobs after it
  bool stopping = false;
  std::vector<std::thread> threads;
};
