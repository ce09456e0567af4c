// Input file stream that reads compressed files as their content.
//
// InputFile is opened and used like std::ifstream.  A file whose first bytes
// are those of gzip (1F 8B, RFC 1952, read with zlib) or of Unix compress
// (1F 9D, LZW, read with libarchive's compress filter) is decompressed whole
// into memory when it is opened and read from there; any other file is read
// from disk as std::ifstream reads it.  The name of a file plays no part.
//
// A compressed file that is cut short or damaged ends the run when it is
// opened, before the reader sees a byte of it, with the error report
//   "COMPRESSED FILE <name>: <what>!"
// where <what> is "GZIP DATA CUT SHORT", "GZIP DATA DAMAGED" or
// "COMPRESS (.Z) DATA DAMAGED".  (The compress format has no end mark and no
// checksum: a .Z file cut short reads as shorter content, and only damage
// that breaks its codes is found.)
//
// The readers make a counting pass and a reading pass over the same file,
// so the content of the last compressed file opened is kept and reused while
// the file on disk is unchanged.
#pragma once

#include <cstddef>
#include <fstream>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

// Read-only, seekable stream buffer over bytes held in memory.
class MemoryBuf : public std::streambuf {
 public:
  void Assign(std::shared_ptr<const std::string> bytes);
  void Release();

 protected:
  pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                   std::ios_base::openmode which) override;
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

 private:
  std::shared_ptr<const std::string> bytes_;
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
  bool is_open() const { return open_; }
  void close();

 private:
  std::filebuf file_;
  MemoryBuf memory_;
  bool open_ = false;
};

// Kind of compression recognised from the first bytes of a file.
enum class Compression { None, Gzip, Compress };

// Compression of a file that begins with the size bytes at data.
Compression CompressionOf(const char* data, std::size_t size);

// Decompresses the size bytes at data, compressed as kind (not None), into
// out.  On failure returns false with why set to the <what> of the error
// report above; out then holds what was decompressed before the fault.
bool Decompress(const char* data, std::size_t size, Compression kind, std::string& out,
                const char*& why);
