#include "src/OrderedWork.h"

#include <streambuf>
#include <utility>

#include "PROGINC/report/ProgramError.h"
#include "src/Orbika.h"

// A worker's stream buffer: text goes to the job the worker runs, in
// pieces of kPiece bytes.
class OrderedWork::WorkerBuffer : public std::streambuf {
 public:
  static constexpr std::size_t kPiece = 64u << 10;

  explicit WorkerBuffer(OrderedWork& work) : work(work) { text.reserve(kPiece); }

  // Hands the text so far to the job.
  void FlushText() {
    if (text.empty()) return;
    Piece p;
    p.text.swap(text);
    work.Push(job, std::move(p));
    text.reserve(kPiece);  // no growing by doubling, piece after piece
  }

  std::size_t job = 0;

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (text.size() + 1 > kPiece) FlushText();
    text.push_back(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (text.size() + static_cast<std::size_t>(n) > kPiece) FlushText();
    text.append(s, static_cast<std::size_t>(n));
    return n;
  }
  int sync() override {
    FlushText();
    return 0;
  }

 private:
  OrderedWork& work;
  std::string text;
};

OrderedWork::OrderedWork(int workers, std::ostream& out) : out(out) {
  for (int w = 0; w < workers; ++w) {
    buffers.push_back(std::make_unique<WorkerBuffer>(*this));
    streams.push_back(std::make_unique<std::ostream>(buffers.back().get()));
  }
}

OrderedWork::~OrderedWork() { Stop(); }

std::ostream& OrderedWork::Stream(int w) { return *streams.at(static_cast<std::size_t>(w)); }

void OrderedWork::Push(std::size_t i, Piece&& p) {
  std::unique_lock<std::mutex> hold(lock);
  moved.wait(hold, [&] {
    return stopping || (i == writing ? slots[i].bytes < kJobTextLimit
                                     : aheadBytes < kAheadTextLimit);
  });
  if (stopping) return;
  slots[i].bytes += p.text.size();
  if (i != writing) aheadBytes += p.text.size();
  slots[i].pieces.push_back(std::move(p));
  moved.notify_all();
}

void OrderedWork::RunJob(int w, std::size_t i, const Job& job) {
  WorkerBuffer& buffer = *buffers[static_cast<std::size_t>(w)];
  buffer.job = i;
  long count = 0;
  std::exception_ptr failure;
  {
    // A report is kept after the text written before it.
    report::Capture capture([&](report::Kept&& k) {
      buffer.FlushText();
      Piece p;
      p.isReport = true;
      p.kept = std::move(k);
      Push(i, std::move(p));
    });
    try {
      count = job(w, i, Stream(w));
    } catch (const report::Stopped&) {
      // The report that ends the run is the job's last piece.
    } catch (...) {
      failure = std::current_exception();
    }
  }
  buffer.FlushText();
  const std::lock_guard<std::mutex> hold(lock);
  slots[i].count = count;
  slots[i].failure = failure;
  slots[i].finished = true;
  moved.notify_all();
}

void OrderedWork::Work(int w, std::size_t n, const Job& job, bool bounded) {
  const std::size_t ahead = bounded ? 2 * buffers.size() : n;
  for (;;) {
    std::size_t i;
    {
      std::unique_lock<std::mutex> hold(lock);
      moved.wait(hold, [&] { return stopping || next >= n || next < writing + ahead; });
      if (stopping || next >= n) return;
      i = next++;
    }
    RunJob(w, i, job);
  }
}

long OrderedWork::WriteJob(std::size_t i) {
  Slot& slot = slots[i];
  for (;;) {
    std::deque<Piece> taken;
    {
      std::unique_lock<std::mutex> hold(lock);
      moved.wait(hold, [&] { return !slot.pieces.empty() || slot.finished; });
      if (slot.pieces.empty()) break;
      taken.swap(slot.pieces);
      slot.bytes = 0;
      moved.notify_all();
    }
    for (const Piece& p : taken) {
      if (p.isReport) {
        ReplayReport(p.kept);
        continue;
      }
      out.write(p.text.data(), static_cast<std::streamsize>(p.text.size()));
      CheckOutput(out);
    }
  }
  if (slot.failure) {
    Stop();
    std::rethrow_exception(slot.failure);
  }
  return slot.count;
}

void OrderedWork::Run(std::size_t n, const Job& job, const Done& done, bool bounded) {
  slots.assign(n, Slot());
  next = writing = aheadBytes = 0;
  stopping = false;
  // A report that ends the run on this thread stops the workers first.
  report::SetBeforeExit([this] { Stop(); });
  for (std::size_t w = 0; w < buffers.size(); ++w)
    threads.emplace_back(&OrderedWork::Work, this, static_cast<int>(w), n, std::cref(job),
                         bounded);
  for (std::size_t i = 0; i < n; ++i) {
    {
      const std::lock_guard<std::mutex> hold(lock);
      writing = i;
      aheadBytes -= slots[i].bytes;
      moved.notify_all();
    }
    done(i, WriteJob(i));
  }
  Stop();
  report::SetBeforeExit(nullptr);
}

void OrderedWork::Stop() {
  {
    const std::lock_guard<std::mutex> hold(lock);
    stopping = true;
    moved.notify_all();
  }
  for (std::thread& t : threads)
    if (t.joinable()) t.join();
  threads.clear();
}
