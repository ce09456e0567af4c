#include "PROGINC/files/cfilef.h"

#include <exception>

#include "PROGINC/files/InputFile.h"

bool FileExists(const char* f) { return InputReadable(f); }

namespace {

LineRead ReadLineFrom(std::istream& in, char* buf, int size) {
  std::streambuf* sb = in.rdbuf();
  int n = 0;
  bool any = false;
  bool overflow = false;
  for (;;) {
    const int ch = sb->sbumpc();
    if (ch == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      break;
    }
    any = true;
    if (ch == '\n') break;
    if (n < size - 1) {
      buf[n++] = static_cast<char>(ch);
    } else if (ch != '\r' || (sb->sgetc() != '\n' &&
                               sb->sgetc() != std::char_traits<char>::eof())) {
      overflow = true;
    }
  }
  // A carriage return before the line end belongs to the line end.
  if (n > 0 && buf[n - 1] == '\r') --n;
  buf[n] = '\0';
  if (!any) {
    in.setstate(std::ios::failbit);
    return LineRead::End;
  }
  return overflow ? LineRead::TooLong : LineRead::Ok;
}

}  // namespace

LineRead ReadLine(std::istream& in, char* buf, int size) {
  // A stream that cannot be read (a directory, say) throws from its buffer;
  // to the reader that is the end of the file.
  try {
    return ReadLineFrom(in, buf, size);
  } catch (const std::exception&) {
    buf[0] = '\0';
    in.setstate(std::ios::failbit | std::ios::eofbit);
    return LineRead::End;
  }
}
