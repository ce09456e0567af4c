#include "PROGINC/files/InputFile.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>

#include "PROGINC/report/ProgramError.h"

namespace {

const char* const kProg = "Orbika";

// The <what> of the error reports.
const char* const kGzipCut = "GZIP DATA CUT SHORT";
const char* const kGzipDamaged = "GZIP DATA DAMAGED";
const char* const kCompressDamaged = "COMPRESS (.Z) DATA DAMAGED";

// Magic numbers: gzip (RFC 1952, ID1 ID2) and Unix compress.
constexpr unsigned char kMagic0 = 0x1f;
constexpr unsigned char kGzipMagic1 = 0x8b;
constexpr unsigned char kCompressMagic1 = 0x9d;

// Bytes of decompressed output taken from the library per call.
constexpr std::size_t kChunk = 1 << 16;
// Largest piece of input handed to zlib at once (its counters are 32-bit).
constexpr std::size_t kMaxPiece = 1u << 30;
// Typical ratio of navigation and orbit text to its gzip size, for the
// first reservation of the output.
constexpr std::size_t kExpectedRatio = 5;

// Inflates one or more gzip members (gzip concatenates files that way);
// bytes after the last member that do not start another are ignored, as
// gzip itself does.
bool Gunzip(const char* data, std::size_t size, std::string& out, const char*& why) {
  z_stream zs{};
  // 16 + window bits: gzip wrapper only, its CRC-32 and length checked.
  if (inflateInit2(&zs, 16 + MAX_WBITS) != Z_OK) {
    why = kGzipDamaged;
    return false;
  }
  const unsigned char* next = reinterpret_cast<const unsigned char*>(data);
  std::size_t left = size;
  char buf[kChunk];
  int rc = Z_OK;
  for (;;) {
    if (zs.avail_in == 0 && left > 0) {
      zs.next_in = const_cast<unsigned char*>(next);
      zs.avail_in = static_cast<uInt>(left < kMaxPiece ? left : kMaxPiece);
      next += zs.avail_in;
      left -= zs.avail_in;
    }
    zs.next_out = reinterpret_cast<unsigned char*>(buf);
    zs.avail_out = kChunk;
    rc = inflate(&zs, Z_NO_FLUSH);
    out.append(buf, kChunk - zs.avail_out);
    if (rc == Z_STREAM_END) {
      // The rest of the input is contiguous from next_in.
      const char* rest = reinterpret_cast<const char*>(zs.next_in);
      if (CompressionOf(rest, zs.avail_in + left) != Compression::Gzip) break;
      inflateReset(&zs);
    } else if (rc != Z_OK) {
      break;  // Z_BUF_ERROR: the input ended inside a member
    }
  }
  inflateEnd(&zs);
  if (rc == Z_STREAM_END) return true;
  why = rc == Z_BUF_ERROR ? kGzipCut : kGzipDamaged;
  return false;
}

// Reads LZW data through libarchive's compress filter and its raw format
// (one entry: the content).
bool Uncompress(const char* data, std::size_t size, std::string& out, const char*& why) {
  archive* a = archive_read_new();
  archive_read_support_filter_compress(a);
  archive_read_support_format_raw(a);
  archive_entry* entry = nullptr;
  // The filter refuses a header it does not accept, and the raw format
  // would then pass the bytes through unchanged.
  bool ok = archive_read_open_memory(a, data, size) == ARCHIVE_OK &&
            archive_filter_code(a, 0) == ARCHIVE_FILTER_COMPRESS;
  if (ok) {
    const int rc = archive_read_next_header(a, &entry);
    ok = rc == ARCHIVE_OK || rc == ARCHIVE_EOF;  // EOF: empty content
  }
  char buf[kChunk];
  while (ok) {
    const la_ssize_t n = archive_read_data(a, buf, kChunk);
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    out.append(buf, static_cast<std::size_t>(n));
  }
  archive_read_free(a);
  if (!ok) why = kCompressDamaged;
  return ok;
}

// Reads the whole file of that name (size bytes on disk) into packed when its
// first bytes are those of a compressed file; returns its compression (None
// for any other file or one that cannot be read).
Compression ReadPacked(const char* name, off_t size, std::string& packed) {
  std::FILE* f = std::fopen(name, "rb");
  if (f == nullptr) return Compression::None;
  char head[2];
  const std::size_t got = std::fread(head, 1, sizeof head, f);
  const Compression kind = CompressionOf(head, got);
  if (kind != Compression::None) {
    packed.assign(head, got);
    packed.resize(size > 2 ? static_cast<std::size_t>(size) : 2);
    packed.resize(got + std::fread(&packed[got], 1, packed.size() - got, f));
  }
  std::fclose(f);
  return kind;
}

// The file on disk as last seen: same name and same status means same bytes.
struct FileKey {
  std::string name;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = -1;
  timespec mtime{};

  bool operator==(const FileKey& o) const {
    return name == o.name && dev == o.dev && ino == o.ino && size == o.size &&
           mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec;
  }
};

// Content of compressed file name, or an empty pointer for a file that is
// not compressed or cannot be read.  A damaged file ends the run.
std::shared_ptr<const std::string> CompressedContent(const char* name) {
  static FileKey lastKey;
  static std::shared_ptr<const std::string> lastContent;

  struct stat st;
  if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
  const FileKey key{name, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  if (lastContent && key == lastKey) return lastContent;

  std::string packed;
  const Compression kind = ReadPacked(name, st.st_size, packed);
  if (kind == Compression::None) return nullptr;
  auto content = std::make_shared<std::string>();
  content->reserve(packed.size() * kExpectedRatio);
  const char* why = nullptr;
  if (!Decompress(packed.data(), packed.size(), kind, *content, why))
    ProgramError(kProg, ("COMPRESSED FILE " + std::string(name) + ": " + why + "!").c_str());
  lastKey = key;
  lastContent = content;
  return content;
}

}  // namespace

Compression CompressionOf(const char* data, std::size_t size) {
  if (size < 2 || static_cast<unsigned char>(data[0]) != kMagic0) return Compression::None;
  const unsigned char b = static_cast<unsigned char>(data[1]);
  if (b == kGzipMagic1) return Compression::Gzip;
  if (b == kCompressMagic1) return Compression::Compress;
  return Compression::None;
}

bool Decompress(const char* data, std::size_t size, Compression kind, std::string& out,
                const char*& why) {
  return kind == Compression::Gzip ? Gunzip(data, size, out, why)
                                   : Uncompress(data, size, out, why);
}

// ---- MemoryBuf -----------------------------------------------------------------

void MemoryBuf::Assign(std::shared_ptr<const std::string> bytes) {
  bytes_ = std::move(bytes);
  // The get area is only read: putback of another character is refused.
  char* begin = const_cast<char*>(bytes_->data());
  setg(begin, begin, begin + bytes_->size());
}

void MemoryBuf::Release() {
  setg(nullptr, nullptr, nullptr);
  bytes_.reset();
}

MemoryBuf::pos_type MemoryBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                       std::ios_base::openmode which) {
  const off_type size = egptr() - eback();
  const off_type base = dir == std::ios_base::beg ? 0
                        : dir == std::ios_base::cur ? gptr() - eback()
                                                    : size;
  const off_type to = base + off;
  if (!(which & std::ios_base::in) || to < 0 || to > size) return pos_type(off_type(-1));
  setg(eback(), eback() + to, egptr());
  return pos_type(to);
}

MemoryBuf::pos_type MemoryBuf::seekpos(pos_type pos, std::ios_base::openmode which) {
  return seekoff(off_type(pos), std::ios_base::beg, which);
}

// ---- InputFile -----------------------------------------------------------------

InputFile::InputFile() : std::istream(nullptr) { setstate(std::ios::badbit); }

InputFile::InputFile(const char* name) : InputFile() { open(name); }

void InputFile::open(const char* name) {
  close();
  std::shared_ptr<const std::string> content = CompressedContent(name);
  if (content) {
    memory_.Assign(std::move(content));
    rdbuf(&memory_);  // also clears the state
  } else if (file_.open(name, std::ios::in)) {
    rdbuf(&file_);
  } else {
    setstate(std::ios::failbit);
    return;
  }
  open_ = true;
}

void InputFile::close() {
  if (!open_) return;
  file_.close();
  memory_.Release();
  open_ = false;
}
