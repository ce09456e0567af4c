// Fuzz target: decompression of gzip and Unix compress input (InputFile's
// Decompress) under a cap of content, the memory stream the readers then
// read from, and input through a pipe (read once into memory, its first
// bytes looked at without being lost).  Runs in process: decompression
// reports a fault instead of ending the run.  A finding is a crash, a
// sanitizer report, a leak, a failure without its reason, content beyond
// its cap or other than the uncapped content's beginning, a stream that does
// not give back the content line by line and after a seek, or a pipe that
// reads otherwise than its bytes.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <iterator>
#include <memory>
#include <string>

#include "PROGINC/files/InputFile.h"
#include "PROGINC/files/cfilef.h"

namespace {

// A line buffer of the readers' size.
constexpr int kLine = 82;
// Content decompressed without the fuzzed cap: far beyond what an input of
// libFuzzer's lengths gives, well within a fuzzing process's memory.
constexpr std::size_t kWideCap = std::size_t{64} << 20;
// Bytes that fit a pipe's buffer, so that one process can fill it and then
// read it.
constexpr std::size_t kPipeBytes = 60000;
// Bytes of a pipe's head that are looked at before the whole is read.
constexpr std::size_t kHead = 7;

[[noreturn]] void Finding(const char* what) {
  std::fprintf(stderr, "fuzz_inflate: FINDING: %s\n", what);
  std::abort();
}

// Reads the content back through the stream: the line lengths and ends must
// add up to its size, and a seek must land where it was asked to.
void CheckStream(const std::shared_ptr<const std::string>& content) {
  MemoryBuf buf;
  buf.Assign(content);
  std::istream in(&buf);
  const std::string& text = *content;
  std::size_t seen = 0;
  char line[kLine];
  for (;;) {
    // (A last line without line end leaves the end-of-file state, in which
    // tellg answers -1.)
    if (in.good() && in.tellg() != std::streampos(static_cast<std::streamoff>(seen)))
      Finding("tellg off the content");
    if (ReadLine(in, line, kLine) == LineRead::End) break;
    const std::size_t end = text.find('\n', seen);
    const std::size_t next = end == std::string::npos ? text.size() : end + 1;
    if (std::strncmp(line, text.data() + seen, std::strlen(line)) != 0)
      Finding("line differs from the content");
    seen = next;
  }
  if (seen != text.size()) Finding("lines do not cover the content");
  in.clear();
  const std::size_t middle = text.size() / 2;
  in.seekg(static_cast<std::streamoff>(middle));
  const int ch = in.get();
  if (middle < text.size() ? ch != static_cast<unsigned char>(text[middle]) : ch != EOF)
    Finding("seek lands elsewhere");
}

// The same data under a cap taken from its last byte: the content stops
// there with kOverCap, and is the beginning of the uncapped content.
void CheckCap(const char* bytes, std::size_t size, Compression kind, const std::string& wide,
              bool wideOk) {
  const std::size_t cap = static_cast<unsigned char>(bytes[size - 1]) * 61u;
  std::string capped;
  const char* why = nullptr;
  const bool ok = Decompress(bytes, size, kind, capped, why, cap);
  if (capped.size() > cap) Finding("content beyond its cap");
  const std::size_t common = std::min(capped.size(), wide.size());
  if (capped.compare(0, common, wide, 0, common) != 0) Finding("capped content differs");
  if (ok && (!wideOk || capped != wide)) Finding("capped run succeeds where the wide one does not");
  if (!ok && why == kOverCap && (capped.size() != cap || wide.size() <= cap))
    Finding("cap reported below the cap");
}

// Content of the input through a pipe, as a program reads a file named
// /dev/fd/N: its head first, then the whole.
std::string ThroughPipe(const char* bytes, std::size_t size, std::string& head) {
  int fds[2];
  if (pipe(fds) != 0) Finding("no pipe");
  if (write(fds[1], bytes, size) != static_cast<ssize_t>(size)) Finding("pipe not filled");
  close(fds[1]);
  const std::string name = "/dev/fd/" + std::to_string(fds[0]);
  if (!InputReadable(name.c_str())) Finding("pipe not readable");
  InputFile first;
  first.OpenHead(name.c_str(), kHead);
  head.assign(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>());
  InputFile whole(name.c_str());
  std::string content(std::istreambuf_iterator<char>(whole), {});
  ForgetStreams();
  close(fds[0]);
  return content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const Compression kind = CompressionOf(bytes, size);
  auto content = std::make_shared<std::string>();
  bool ok = true;
  if (kind == Compression::None) {
    content->assign(bytes, size);
  } else {
    const char* why = nullptr;
    ok = Decompress(bytes, size, kind, *content, why, kWideCap);
    if (!ok && (why == nullptr || *why == '\0')) Finding("failure without its reason");
    CheckCap(bytes, size, kind, *content, ok);
  }
  if (!ok) return 0;  // a damaged file ends a run: not for in-process reading
  CheckStream(content);
  if (size <= kPipeBytes) {
    std::string head;
    if (ThroughPipe(bytes, size, head) != *content) Finding("pipe reads other than its content");
    if (head != content->substr(0, kHead)) Finding("pipe head other than the content's");
  }
  return 0;
}
