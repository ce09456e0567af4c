#include "fuzz/FuzzIsolate.h"

#include <sanitizer/allocator_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <sanitizer/lsan_interface.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

// Bounds of the coverage counters that the compiler places in their own
// section; the linker defines these names when the section exists.
extern "C" {
extern std::uint8_t __start___sancov_cntrs[] __attribute__((weak, visibility("hidden")));
extern std::uint8_t __stop___sancov_cntrs[] __attribute__((weak, visibility("hidden")));
}

namespace orbfuzz {

namespace {

// Exit statuses of a worker besides 0 and 1.
constexpr int kStatusFinding = 3;    // Fail, or a leak
constexpr int kStatusSanitizer = 5;  // a sanitizer report

// Limits of one worker: run time (s; ORBIKA_FUZZ_TIMEOUT overrides it) and
// resident memory (MB, sanitizer shadow included).
constexpr int kDefaultTimeout = 10;
constexpr long kRssLimitMb = 3072;
// How often the server looks at a running worker, ms.
constexpr long kPollMs = 20;

// Frame line and title of the container's index report.
constexpr const char kIndexError[] =
    "************************************************************\nMATRIX::ERROR:\n";
// How much of a worker's output a finding shows.
constexpr std::size_t kShownOutput = 8192;

// State shared by all processes: the body's digest and the coverage
// counters as the last worker left them.
struct Shared {
  std::uint64_t digest;
  int done;
  std::uint8_t counters[1];
};

// What the fuzzing process asks of the server, and what it hears back.
struct Request {
  Body body;
  char path[1024];
};
enum Verdict : int { kEnded = 0, kTimedOut = 1, kTooBig = 2 };
struct Reply {
  int wait;
  int verdict;
};

Shared* g_shared = nullptr;
std::size_t g_ncounters = 0;
int g_outFd = -1;     // memory file for a worker's standard output and error
int g_reportFd = -1;  // the fuzzing process's standard error, for a worker's reports
int g_toServer = -1, g_fromServer = -1;
int g_timeout = kDefaultTimeout;
std::string g_scratchDir;
long g_mallocs = 0, g_frees = 0;

void CountMalloc(const volatile void*, std::size_t) { ++g_mallocs; }
void CountFree(const volatile void*) { ++g_frees; }

bool WriteAll(int fd, const void* data, std::size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t w = write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

bool ReadAll(int fd, void* data, std::size_t n) {
  char* p = static_cast<char*>(data);
  while (n > 0) {
    const ssize_t r = read(fd, p, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<std::size_t>(r);
  }
  return true;
}

void Report(const std::string& text) { WriteAll(g_reportFd, text.data(), text.size()); }

[[noreturn]] void SystemFailure(const char* what) {
  std::perror(what);
  std::abort();
}

// Leaves a worker: flushes its streams into the memory file, hands its
// coverage to the fuzzing process and ends without running any other exit
// handler (libFuzzer's own would take the exit for a crash).
void LeaveWorker(int status, void*) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  if (g_ncounters > 0) std::memcpy(g_shared->counters, __start___sancov_cntrs, g_ncounters);
  _exit(status);
}

void SanitizerDied() { _exit(kStatusSanitizer); }

[[noreturn]] void RunWorker(Body body, const char* path) {
  dup2(g_outFd, 1);
  dup2(g_outFd, 2);
  __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(g_reportFd)));
  __sanitizer_set_death_callback(SanitizerDied);
  on_exit(LeaveWorker, nullptr);
  if (g_ncounters > 0) std::memset(__start___sancov_cntrs, 0, g_ncounters);
  Digest d;
  g_mallocs = g_frees = 0;
  body(path, d);
  // Everything the body allocated is released when it returns; when the
  // counts differ the leak checker looks.
  if (g_mallocs != g_frees && __lsan_do_recoverable_leak_check() != 0)
    Fail("memory leaked by a body that returned normally");
  g_shared->digest = d.Value();
  g_shared->done = 1;
  LeaveWorker(0, nullptr);
  _exit(0);
}

long ResidentMb(pid_t pid) {
  char name[64];
  std::snprintf(name, sizeof name, "/proc/%d/statm", static_cast<int>(pid));
  std::FILE* f = std::fopen(name, "r");
  if (f == nullptr) return 0;
  long size = 0, resident = 0;
  if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = 0;
  std::fclose(f);
  return resident * (sysconf(_SC_PAGESIZE) / 1024) / 1024;
}

// The server: a small process forked before libFuzzer grows, which forks one
// worker per request (a fork of the fuzzing process itself costs far more)
// and watches its time and memory.
[[noreturn]] void Serve(int in, int out) {
  sigset_t chld, old;
  sigemptyset(&chld);
  sigaddset(&chld, SIGCHLD);
  sigprocmask(SIG_BLOCK, &chld, &old);
  for (;;) {
    Request rq;
    if (!ReadAll(in, &rq, sizeof rq)) _exit(0);
    rq.path[sizeof rq.path - 1] = '\0';
    const pid_t pid = fork();
    if (pid < 0) _exit(2);
    if (pid == 0) {
      sigprocmask(SIG_SETMASK, &old, nullptr);
      close(in);
      close(out);
      RunWorker(rq.body, rq.path);
    }
    Reply rp{0, kEnded};
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
      const timespec poll{0, kPollMs * 1000000L};
      sigtimedwait(&chld, nullptr, &poll);
      if (waitpid(pid, &rp.wait, WNOHANG) == pid) break;
      timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      const bool late = now.tv_sec - start.tv_sec > g_timeout;
      const bool big = ResidentMb(pid) > kRssLimitMb;
      if (late || big) {
        kill(pid, SIGKILL);
        waitpid(pid, &rp.wait, 0);
        rp.verdict = late ? kTimedOut : kTooBig;
        break;
      }
    }
    if (!WriteAll(out, &rp, sizeof rp)) _exit(0);
  }
}

void RemoveScratch() {
  const std::string cmd = "rm -rf '" + g_scratchDir + "'";
  if (std::system(cmd.c_str()) != 0) return;
}

void Setup() {
  if (g_shared != nullptr) return;
  if (__start___sancov_cntrs != nullptr && __stop___sancov_cntrs > __start___sancov_cntrs)
    g_ncounters = static_cast<std::size_t>(__stop___sancov_cntrs - __start___sancov_cntrs);
  void* m = mmap(nullptr, sizeof(Shared) + g_ncounters, PROT_READ | PROT_WRITE,
                 MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) SystemFailure("orbika-fuzz: mmap");
  g_shared = static_cast<Shared*>(m);
  g_outFd = memfd_create("orbika-fuzz-output", 0);
  g_reportFd = dup(2);
  if (g_outFd < 0 || g_reportFd < 0) SystemFailure("orbika-fuzz: output files");
  __sanitizer_install_malloc_and_free_hooks(CountMalloc, CountFree);
  if (const char* t = std::getenv("ORBIKA_FUZZ_TIMEOUT")) g_timeout = std::atoi(t);
  if (g_timeout <= 0) g_timeout = kDefaultTimeout;

  struct stat st;
  const char* base = (stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode)) ? "/dev/shm" : "/tmp";
  char dir[256];
  std::snprintf(dir, sizeof dir, "%s/orbika-fuzz-XXXXXX", base);
  if (mkdtemp(dir) == nullptr) SystemFailure("orbika-fuzz: scratch folder");
  g_scratchDir = dir;

  int req[2], rep[2];
  if (pipe(req) != 0 || pipe(rep) != 0) SystemFailure("orbika-fuzz: pipe");
  const pid_t parent = getpid();
  std::fflush(nullptr);
  const pid_t server = fork();
  if (server < 0) SystemFailure("orbika-fuzz: fork");
  if (server == 0) {
    // No server outlives the fuzzer, nor a worker its server.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(0);
    close(req[1]);
    close(rep[0]);
    Serve(req[0], rep[1]);
  }
  close(req[0]);
  close(rep[1]);
  g_toServer = req[1];
  g_fromServer = rep[0];
  std::atexit(RemoveScratch);
}

struct Outcome {
  Reply reply{};
  std::string output;
  std::uint64_t digest = 0;
  bool done = false;
};

Outcome RunWorkerFor(Body body, const std::string& path) {
  // The workers write through the same open file, so its offset is shared.
  if (ftruncate(g_outFd, 0) != 0 || lseek(g_outFd, 0, SEEK_SET) != 0)
    SystemFailure("orbika-fuzz: output file");
  g_shared->digest = 0;
  g_shared->done = 0;
  if (g_ncounters > 0) std::memset(g_shared->counters, 0, g_ncounters);
  Request rq{};
  rq.body = body;
  std::snprintf(rq.path, sizeof rq.path, "%s", path.c_str());
  Outcome o;
  if (!WriteAll(g_toServer, &rq, sizeof rq) || !ReadAll(g_fromServer, &o.reply, sizeof o.reply)) {
    Report("orbika-fuzz: the worker server is gone\n");
    std::abort();
  }
  // The worker's coverage joins the fuzzer's own.
  for (std::size_t i = 0; i < g_ncounters; ++i) {
    const unsigned sum = __start___sancov_cntrs[i] + g_shared->counters[i];
    __start___sancov_cntrs[i] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
  }
  o.digest = g_shared->digest;
  o.done = g_shared->done != 0;
  struct stat st;
  if (fstat(g_outFd, &st) == 0 && st.st_size > 0) {
    o.output.resize(static_cast<std::size_t>(st.st_size));
    const ssize_t n = pread(g_outFd, &o.output[0], o.output.size(), 0);
    o.output.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  }
  return o;
}

[[noreturn]] void Finding(const Outcome& o, const std::string& what) {
  const std::size_t from = o.output.size() > kShownOutput ? o.output.size() - kShownOutput : 0;
  Report("---- output of the run (last " + std::to_string(o.output.size() - from) +
         " bytes) ----\n" + o.output.substr(from) + "\n---- end of output ----\n");
  Report("orbika-fuzz: FINDING: " + what + "\n");
  std::abort();
}

// Whether text holds pattern (a plain loop: the library searches would
// show the pattern to the fuzzer as a comparison worth imitating).
bool Holds(const std::string& text, const char* pattern) {
  const std::size_t m = std::strlen(pattern);
  for (std::size_t i = 0; i + m <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < m && text[i + k] == pattern[k]) ++k;
    if (k == m) return true;
  }
  return false;
}

int ExitStatus(const Outcome& o) {
  return WIFEXITED(o.reply.wait) ? WEXITSTATUS(o.reply.wait) : -1;
}

void Judge(const Outcome& o, const char* run) {
  const std::string in = std::string(" (") + run + ")";
  if (o.reply.verdict == kTimedOut)
    Finding(o, "no end within " + std::to_string(g_timeout) + " s" + in);
  if (o.reply.verdict == kTooBig)
    Finding(o, "more than " + std::to_string(kRssLimitMb) + " MB of memory" + in);
  if (WIFSIGNALED(o.reply.wait))
    Finding(o, "killed by signal " + std::to_string(WTERMSIG(o.reply.wait)) + in);
  const int status = ExitStatus(o);
  if (status == kStatusSanitizer) Finding(o, "sanitizer report" + in);
  if (status != 0 && status != 1) Finding(o, "exit status " + std::to_string(status) + in);
  if (status == 0 && !o.done) Finding(o, "exit status 0 before the body ended" + in);
  if (status == 1 && Holds(o.output, kIndexError))
    Finding(o, "container index check reached instead of a reader's message" + in);
}

std::string WithCRLF(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

void Digest::Add(const void* p, std::size_t n) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i) {
    h_ ^= b[i];
    h_ *= 1099511628211ULL;  // FNV-1a
  }
}

void Digest::Add(long double v) {
  // The x87 format fills 10 bytes; the rest of the object is padding.
  static_assert(sizeof(long double) >= 10, "80-bit long double expected");
  unsigned char b[sizeof(long double)];
  std::memcpy(b, &v, sizeof b);
  Add(b, 10);
}

void Digest::Add(long v) { Add(&v, sizeof v); }

void Digest::Add(const char* text) { Add(text, std::strlen(text) + 1); }

void Fail(const char* what) {
  Report(std::string("orbika-fuzz: FINDING: ") + what + "\n");
  LeaveWorker(kStatusFinding, nullptr);
  _exit(kStatusFinding);
}

std::string ScratchFile(const char* tag, const std::string& content) {
  Setup();
  const std::string path = g_scratchDir + "/" + tag;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  if (!out) SystemFailure("orbika-fuzz: scratch file");
  return path;
}

void Run(const std::uint8_t* data, std::size_t size, Body body) {
  Setup();
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = ScratchFile("input", text);
  const Outcome lf = RunWorkerFor(body, path);
  Judge(lf, "as given");
  bool cr = false, lfSeen = false;
  for (char c : text) {
    cr = cr || c == '\r';
    lfSeen = lfSeen || c == '\n';
  }
  if (cr || !lfSeen) return;

  ScratchFile("input", WithCRLF(text));
  const Outcome crlf = RunWorkerFor(body, path);
  Judge(crlf, "with CR LF line ends");
  if (ExitStatus(lf) != ExitStatus(crlf))
    Finding(crlf, "CR LF line ends change the exit status from " +
                      std::to_string(ExitStatus(lf)) + " to " + std::to_string(ExitStatus(crlf)));
  if (lf.output != crlf.output) {
    Report("---- output with LF line ends ----\n" + lf.output.substr(0, kShownOutput) + "\n");
    Finding(crlf, "CR LF line ends change the messages");
  }
  if (lf.digest != crlf.digest) Finding(crlf, "CR LF line ends change the numbers read");
}

}  // namespace orbfuzz

// libFuzzer calls this once before anything else: the server is forked
// while the process is still small.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orbfuzz::Setup();
  return 0;
}
