#include "PROGINC/files/cfilef.h"

#include "PROGINC/files/InputFile.h"

bool FileExists(const char* f) { return InputReadable(f); }

namespace {

// The rest of a line that did not fit, consumed up to and with its line
// end; false when it holds more than the carriage return of a CR LF end.
bool RestIsLineEnd(std::istream& in) {
  std::streambuf* sb = in.rdbuf();
  const int eof = std::char_traits<char>::eof();
  bool lineEnd = true;
  for (;;) {
    const int ch = sb->sbumpc();
    if (ch == eof) {
      in.setstate(std::ios::eofbit);
      break;
    }
    if (ch == '\n') break;
    if (ch != '\r' || (sb->sgetc() != '\n' && sb->sgetc() != eof)) lineEnd = false;
  }
  return lineEnd;
}

}  // namespace

LineRead ReadLine(std::istream& in, char* buf, int size) {
  // The stream's own line reader scans its buffer a block at a time.  It
  // reads only from a stream in good state, which was never asked of the
  // callers: the state is put aside and given back with what the read adds.
  const std::ios::iostate before = in.rdstate();
  in.clear();
  in.getline(buf, size);
  const std::ios::iostate got = in.rdstate();
  // Characters stored: the count taken, less the line end when it was taken
  // (it was unless the read stopped at the end of the file or short of the
  // line's end).
  std::streamsize n = in.gcount();
  if ((got & (std::ios::failbit | std::ios::eofbit)) == 0) --n;
  in.clear(before);
  LineRead r = LineRead::Ok;
  if ((got & std::ios::badbit) != 0) {
    // A stream that cannot be read (a directory, say) throws from its
    // buffer, and the line reader notes that as bad: to the reader it is
    // the end of the file.
    buf[0] = '\0';
    in.setstate(std::ios::failbit | std::ios::eofbit);
    return LineRead::End;
  }
  if ((got & std::ios::failbit) != 0 && (got & std::ios::eofbit) != 0) {
    // Nothing was left to read.
    in.setstate(got);
    return LineRead::End;
  }
  if ((got & std::ios::failbit) != 0) {
    // size-1 characters stored and the line goes on.
    if (!RestIsLineEnd(in)) r = LineRead::TooLong;
  } else {
    in.setstate(got);  // the end of the file after a last line without line end
  }
  // A carriage return before the line end belongs to the line end.
  if (n > 0 && buf[n - 1] == '\r') buf[n - 1] = '\0';
  return r;
}
