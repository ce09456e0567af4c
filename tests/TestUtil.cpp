#include "tests/TestUtil.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

namespace orbtest {
namespace {

// Never destroyed, so that the cleaner below may still read it at exit.
std::vector<std::string>& TempFiles() {
  static auto* files = new std::vector<std::string>;
  return *files;
}

// Removes the temporary files at exit, in the process that made them only: a
// forked child that calls exit() must leave its parent's files alone.
std::vector<std::string>& TempDirs() {
  static auto* dirs = new std::vector<std::string>;
  return *dirs;
}

struct TempCleaner {
  pid_t owner = getpid();
  ~TempCleaner() {
    if (getpid() != owner) return;
    for (const auto& f : TempFiles()) std::remove(f.c_str());
    for (const auto& d : TempDirs()) {
      const std::string cmd = "rm -rf '" + d + "'";
      if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", d.c_str());
    }
  }
} temp_cleaner;

std::string MakeTempPath(const std::string& suffix) {
  std::string templ = "/tmp/orbika_test_XXXXXX" + suffix;
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  int fd = mkstemps(buf.data(), static_cast<int>(suffix.size()));
  if (fd < 0) {
    perror("mkstemps");
    std::abort();
  }
  close(fd);
  std::string path(buf.data());
  TempFiles().push_back(path);
  return path;
}

int DecodeStatus(int wstatus) {
  if (WIFEXITED(wstatus)) return WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) return 128 + WTERMSIG(wstatus);
  return -1;
}

// Forks; the child redirects its standard streams to two temporary files and
// runs body.  The parent waits (killing the child after timeout_s seconds).
RunResult ForkCaptured(const std::function<void()>& body, int timeout_s) {
  const std::string out_path = MakeTempPath(".out");
  const std::string err_path = MakeTempPath(".err");
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) {
    perror("fork");
    std::abort();
  }
  if (pid == 0) {
    int out = open(out_path.c_str(), O_WRONLY | O_TRUNC);
    int err = open(err_path.c_str(), O_WRONLY | O_TRUNC);
    int in = open("/dev/null", O_RDONLY);
    dup2(out, 1);
    dup2(err, 2);
    dup2(in, 0);
    close(out);
    close(err);
    close(in);
    body();
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    _exit(0);
  }
  int wstatus = 0;
  int waited = 0;
  while (waitpid(pid, &wstatus, WNOHANG) == 0) {
    if (waited >= timeout_s * 100) {
      kill(pid, SIGKILL);
      waitpid(pid, &wstatus, 0);
      break;
    }
    usleep(10000);
    ++waited;
  }
  RunResult r;
  r.status = DecodeStatus(wstatus);
  r.out = ReadFileText(out_path);
  r.err = ReadFileText(err_path);
  return r;
}

}  // namespace

RunResult RunCaptured(const std::function<void()>& fn) { return ForkCaptured(fn, 600); }

void ExecProgram(const std::string& path, const std::vector<std::string>& args) {
  std::vector<std::string> words{path};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  execv(path.c_str(), argv.data());
  _exit(127);
}

RunResult RunProgram(const std::string& path, const std::vector<std::string>& args,
                     const std::function<void()>& prepare) {
  return RunCaptured([&]() {
    if (prepare) prepare();
    ExecProgram(path, args);
  });
}

std::string OrbikaExe() {
  // The environment may name another build of the program.
  if (const char* e = std::getenv("ORBIKA_EXE")) return e;
#ifdef ORBIKA_EXE
  return ORBIKA_EXE;
#else
  return "";
#endif
}

RunResult RunOrbika(const std::vector<std::string>& args, int timeout_s, const std::string& cwd,
                    const std::function<void(std::vector<std::string>&)>& prepare) {
  const std::string exe = OrbikaExe();
  return ForkCaptured(
      [&]() {
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) {
          perror("chdir");
          _exit(127);
        }
        std::vector<char*> argv;
        std::string name = "Orbika";
        argv.push_back(name.data());
        std::vector<std::string> copy(args);
        if (prepare) prepare(copy);
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        perror("execv");
        _exit(127);
      },
      timeout_s);
}

std::string MakeTempDir() {
  char templ[] = "/tmp/orbika_dir_XXXXXX";
  if (mkdtemp(templ) == nullptr) {
    perror("mkdtemp");
    std::abort();
  }
  TempDirs().push_back(templ);
  return templ;
}

std::string DataDir() {
  static const std::string dir = []() -> std::string {
    char resolved[4096];
    if (realpath(ORBIKA_DATA_DIR, resolved) == nullptr) return "";
    struct stat st;
    if (stat(resolved, &st) != 0 || !S_ISDIR(st.st_mode)) return "";
    return resolved;
  }();
  return dir;
}

std::string DataFile(const std::string& name) {
  const std::string dir = DataDir();
  return dir.empty() ? "" : dir + "/" + name;
}

std::string FixtureDir() { return ORBIKA_FIXTURE_DIR; }

std::string WriteTempFile(const std::string& text, const std::string& suffix) {
  const std::string path = MakeTempPath(suffix);
  std::ofstream f(path, std::ios::binary);
  f << text;
  return path;
}

std::string ReadFileText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return "";
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  for (char ch : text) {
    if (ch == '\n') {
      lines.push_back(cur);
      cur.clear();
    } else {
      cur += ch;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

}  // namespace orbtest
