// Fuzz target: decompression of gzip and Unix compress input (InputFile's
// Decompress) and the memory stream the readers then read from.  Runs in
// process: decompression reports a fault instead of ending the run.  A
// finding is a crash, a sanitizer report, a leak, a failure without its
// reason, or a stream that does not give back the content line by line and
// after a seek.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <memory>
#include <string>

#include "PROGINC/files/InputFile.h"
#include "PROGINC/files/cfilef.h"

namespace {

// A line buffer of the readers' size.
constexpr int kLine = 82;

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const Compression kind = CompressionOf(bytes, size);
  if (kind == Compression::None) return 0;
  auto content = std::make_shared<std::string>();
  const char* why = nullptr;
  if (!Decompress(bytes, size, kind, *content, why)) {
    if (why == nullptr || *why == '\0') Finding("failure without its reason");
    return 0;
  }
  CheckStream(content);
  return 0;
}
