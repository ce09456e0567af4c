// Input file stream that reads compressed files and streams as their content.
//
// InputFile is opened and used like std::ifstream.  A file whose first bytes
// are those of gzip (1F 8B, RFC 1952, read with zlib) or of Unix compress
// (1F 9D, LZW, read with libarchive's compress filter) is decompressed whole
// into memory when it is opened and read from there; any other regular file
// is read from disk as std::ifstream reads it.  The name of a file plays no
// part.
//
// An input that is not a regular file (a pipe such as <(zcat f.sp3.gz), a
// FIFO, a device) can be read only once, and the readers read their files
// more than once: its bytes are read into memory the first time it is
// opened or tested, kept for the rest of the run and read from there (the
// bytes that told its compression included).  A named pipe (FIFO) is
// opened as cat opens it: the run waits there for its writer.
//
// Content is held in pieces (Content), so that it grows without being
// copied, and no more than kMaxContent bytes of it are held at once over
// all inputs (the bytes of a stream as read count too): decompression and
// the reading of a stream stop there and end the run.  Once a store has
// read its input, ReleaseInput gives its memory back.  Faults end the
// run when the file is opened, before the reader sees a byte of it, with the
// error report
//   "COMPRESSED FILE <name>: <what>!"
// where <what> is "GZIP DATA CUT SHORT", "GZIP DATA DAMAGED", "COMPRESS (.Z)
// DATA DAMAGED" or "MORE THAN 1073741824 BYTES OF CONTENT", or
//   "INPUT FILE <name>: MORE THAN 1073741824 BYTES TO READ!"
// for a stream.  (The compress format has no end mark and no checksum: a .Z
// file cut short reads as shorter content, and only damage that breaks its
// codes is found.)
//
// OpenHead opens only the first bytes of the content, for the tests that
// judge a file by its first line: a compressed file is decompressed only that
// far, and a stream read only that far (its other bytes stay for the full
// read).
//
// The readers make a counting pass and a reading pass over the same file,
// so the content of the last compressed file opened is kept and reused while
// the file on disk is unchanged; so is one that a reader still holds.
// Inputs may be opened from several threads at once.
#pragma once

#include <cstddef>
#include <fstream>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

// Most bytes of content held in memory at once over all inputs (1 GiB): far
// beyond a day of any navigation or orbit product, and within the memory of
// a common computer.
constexpr std::size_t kMaxContent = std::size_t{1} << 30;

// Bytes held in memory in pieces: appending never copies what is held, so
// an input is never held twice while it grows.  Every Content counts its
// bytes in one budget of the run, kMaxContent over all of them at once.
class Content {
 public:
  // Bytes of the pieces that Append fills.
  static constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

  Content() = default;
  // The bytes of whole, as one piece (counted in the budget).
  explicit Content(std::string whole);
  Content(Content&& other) noexcept;
  Content& operator=(Content&& other) noexcept;
  Content(const Content&) = delete;
  Content& operator=(const Content&) = delete;
  ~Content() { Clear(); }

  // Appends n bytes at p; false, appending none of them, when the bytes
  // held by all Content objects would pass kMaxContent.
  bool Append(const char* p, std::size_t n);
  // Gives all bytes back.
  void Clear();
  std::size_t size() const { return size_; }
  std::size_t NPieces() const { return pieces_.size(); }
  const std::string& Piece(std::size_t k) const { return pieces_[k]; }
  // Offset of the first byte of piece k.
  std::size_t PieceStart(std::size_t k) const { return starts_[k]; }
  // The first bytes (at most n).
  std::string Head(std::size_t n) const;

 private:
  std::vector<std::string> pieces_;
  std::vector<std::size_t> starts_;
  std::size_t size_ = 0;
};

// Bytes all Content objects hold now.
std::size_t ContentHeld();

// Read-only, seekable stream buffer over bytes held in memory.
class MemoryBuf : public std::streambuf {
 public:
  void Assign(std::shared_ptr<const Content> bytes);
  // The bytes of a string (copied into a Content).
  void Assign(const std::shared_ptr<const std::string>& bytes);
  void Release();

 protected:
  int_type underflow() override;
  pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                   std::ios_base::openmode which) override;
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

 private:
  void Select(std::size_t piece, std::size_t offset);
  std::shared_ptr<const Content> bytes_;
  std::size_t piece_ = 0;
};

class InputFile : public std::istream {
 public:
  InputFile();
  explicit InputFile(const char* name);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // As std::ifstream::open: the state is cleared on success, failbit set
  // when the file cannot be opened.
  void open(const char* name);
  // As open, but the stream holds at most the first bytes (> 0) of the
  // content.
  void OpenHead(const char* name, std::size_t bytes);
  bool is_open() const { return open_; }
  void close();

 private:
  std::filebuf file_;
  MemoryBuf memory_;
  bool open_ = false;
};

// True when an input of that name can be read: a regular file that opens for
// reading, or a stream (which is then opened, a named pipe once its writer
// has opened it, and kept for the run).  A directory cannot.
bool InputReadable(const char* name);

// Gives back the memory of the content of the input of that name (a stream,
// or the last compressed file opened), once its store is built: a stream
// cannot be opened again after it.
void ReleaseInput(const char* name);

// Closes and forgets every stream read so far: their bytes are gone, and a
// name opened again is a new stream.  For a program that reads many inputs
// in turn (a fuzz target); a run of Orbika keeps its streams.
void ForgetStreams();

// Kind of compression recognised from the first bytes of a file.
enum class Compression { None, Gzip, Compress };

// Compression of a file that begins with the size bytes at data.
Compression CompressionOf(const char* data, std::size_t size);

// The <what> of a content longer than the cap.
extern const char* const kOverCap;

// Decompresses the size bytes at data, compressed as kind (not None), into
// out, which must be empty.  On failure returns false with why set to the
// <what> of the error report above; out then holds what was decompressed
// before the fault.  Content beyond cap bytes is a failure (why kOverCap):
// out then holds its first cap bytes.
bool Decompress(const char* data, std::size_t size, Compression kind, std::string& out,
                const char*& why, std::size_t cap = kMaxContent);
