#include "PROGINC/files/InputFile.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "PROGINC/report/ProgramError.h"

namespace {

const char* const kProg = "Orbika";

// The <what> of the error reports.
const char* const kGzipCut = "GZIP DATA CUT SHORT";
const char* const kGzipDamaged = "GZIP DATA DAMAGED";
const char* const kCompressDamaged = "COMPRESS (.Z) DATA DAMAGED";
static_assert(kMaxContent == 1073741824, "the cap is named in the report texts");
const char* const kStreamOverCap = "MORE THAN 1 GiB (1073741824 BYTES) TO READ";

// Magic numbers: gzip (RFC 1952, ID1 ID2) and Unix compress.
constexpr unsigned char kMagic0 = 0x1f;
constexpr unsigned char kGzipMagic1 = 0x8b;
constexpr unsigned char kCompressMagic1 = 0x9d;
// Bytes that tell the compression.
constexpr std::size_t kMagicBytes = 2;

// Bytes of decompressed output taken from the library per call, and of a
// stream per read.
constexpr std::size_t kChunk = 1 << 16;
// Largest piece of input handed to zlib at once (its counters are 32-bit).
constexpr std::size_t kMaxPiece = 1u << 30;

// Appends n bytes at p to out, but never beyond cap bytes in all; false when
// some did not fit.  The room grows by doubling, never beyond the cap.
bool AppendCapped(std::string& out, const char* p, std::size_t n, std::size_t cap) {
  const std::size_t fits = out.size() < cap ? std::min(n, cap - out.size()) : 0;
  if (out.size() + fits > out.capacity())
    out.reserve(std::min(cap, std::max(2 * out.capacity(), out.size() + fits)));
  out.append(p, fits);
  return fits == n;
}

// The bytes to decompress: one or more pieces, in order.
using Spans = std::vector<std::pair<const char*, std::size_t>>;
// Where decompressed bytes go; false when they do not fit.
using Sink = std::function<bool(const char*, std::size_t)>;

// Whether the bytes from piece k, offset off on, begin a gzip member.
bool GzipFollows(const Spans& in, std::size_t k, std::size_t off) {
  char magic[kMagicBytes];
  std::size_t got = 0;
  for (; k < in.size() && got < kMagicBytes; ++k, off = 0)
    for (std::size_t i = off; i < in[k].second && got < kMagicBytes; ++i) magic[got++] = in[k].first[i];
  return CompressionOf(magic, got) == Compression::Gzip;
}

// Inflates one or more gzip members (gzip concatenates files that way);
// bytes after the last member that do not start another are ignored, as
// gzip itself does.
bool Gunzip(const Spans& in, const Sink& sink, const char*& why) {
  z_stream zs{};
  // 16 + window bits: gzip wrapper only, its CRC-32 and length checked.
  if (inflateInit2(&zs, 16 + MAX_WBITS) != Z_OK) {
    why = kGzipDamaged;
    return false;
  }
  std::size_t k = 0, used = 0;  // piece, and its bytes handed to zlib
  char buf[kChunk];
  int rc = Z_OK;
  bool fits = true;
  while (fits) {
    while (zs.avail_in == 0 && k < in.size()) {
      if (used == in[k].second) {
        ++k;
        used = 0;
        continue;
      }
      const std::size_t n = std::min(in[k].second - used, kMaxPiece);
      zs.next_in = reinterpret_cast<unsigned char*>(const_cast<char*>(in[k].first + used));
      zs.avail_in = static_cast<uInt>(n);
      used += n;
    }
    zs.next_out = reinterpret_cast<unsigned char*>(buf);
    zs.avail_out = kChunk;
    rc = inflate(&zs, Z_NO_FLUSH);
    fits = sink(buf, kChunk - zs.avail_out);
    if (rc == Z_STREAM_END) {
      // The rest of the input: zlib's unread bytes of piece k, then the rest.
      if (!GzipFollows(in, k, used - zs.avail_in)) break;
      inflateReset(&zs);
    } else if (rc != Z_OK) {
      break;  // Z_BUF_ERROR: the input ended inside a member
    }
  }
  inflateEnd(&zs);
  if (!fits) why = kOverCap;
  else if (rc != Z_STREAM_END) why = rc == Z_BUF_ERROR ? kGzipCut : kGzipDamaged;
  return fits && rc == Z_STREAM_END;
}

// libarchive's reading callback over the pieces.
struct SpanReader {
  const Spans* in;
  std::size_t k = 0;
};

la_ssize_t ReadSpan(archive*, void* data, const void** buffer) {
  SpanReader& r = *static_cast<SpanReader*>(data);
  while (r.k < r.in->size() && (*r.in)[r.k].second == 0) ++r.k;
  if (r.k == r.in->size()) return 0;
  *buffer = (*r.in)[r.k].first;
  return static_cast<la_ssize_t>((*r.in)[r.k++].second);
}

// Reads LZW data through libarchive's compress filter and its raw format
// (one entry: the content).
bool Uncompress(const Spans& in, const Sink& sink, const char*& why) {
  archive* a = archive_read_new();
  archive_read_support_filter_compress(a);
  archive_read_support_format_raw(a);
  archive_entry* entry = nullptr;
  SpanReader reader{&in};
  // The filter refuses a header it does not accept, and the raw format
  // would then pass the bytes through unchanged.
  bool ok = archive_read_open(a, &reader, nullptr, ReadSpan, nullptr) == ARCHIVE_OK &&
            archive_filter_code(a, 0) == ARCHIVE_FILTER_COMPRESS;
  if (ok) {
    const int rc = archive_read_next_header(a, &entry);
    ok = rc == ARCHIVE_OK || rc == ARCHIVE_EOF;  // EOF: empty content
  }
  why = ok ? nullptr : kCompressDamaged;
  char buf[kChunk];
  while (ok) {
    const la_ssize_t n = archive_read_data(a, buf, kChunk);
    if (n <= 0) {
      ok = n == 0;
      if (!ok) why = kCompressDamaged;
      break;
    }
    ok = sink(buf, static_cast<std::size_t>(n));
    if (!ok) why = kOverCap;
  }
  archive_read_free(a);
  return ok;
}

bool DecompressSpans(const Spans& in, Compression kind, const Sink& sink, const char*& why) {
  return kind == Compression::Gzip ? Gunzip(in, sink, why) : Uncompress(in, sink, why);
}

// The pieces of a content, as spans.
Spans SpansOf(const Content& c) {
  Spans spans;
  for (std::size_t k = 0; k < c.NPieces(); ++k)
    spans.emplace_back(c.Piece(k).data(), c.Piece(k).size());
  return spans;
}

[[noreturn]] void Fault(const char* kind, const char* name, const char* why) {
  ProgramError(kProg, (std::string(kind) + " FILE " + name + ": " + why + "!").c_str());
}

// The content of the packed bytes of file name; a fault, or content past
// the budget, ends the run.  head (not 0): only the first head bytes are
// wanted, and content beyond them is no fault.
std::shared_ptr<const Content> Unpacked(const char* name, const Spans& packed, Compression kind,
                                        std::size_t head) {
  const char* why = nullptr;
  if (head != 0) {
    std::string first;
    if (!DecompressSpans(packed, kind,
                         [&](const char* p, std::size_t n) {
                           return AppendCapped(first, p, n, head);
                         },
                         why) &&
        why != kOverCap)
      Fault("COMPRESSED", name, why);
    return std::make_shared<const Content>(std::move(first));
  }
  auto content = std::make_shared<Content>();
  if (!DecompressSpans(packed, kind,
                       [&](const char* p, std::size_t n) { return content->Append(p, n); }, why))
    Fault("COMPRESSED", name, why);
  return content;
}

// ---- Regular files ---------------------------------------------------------------

// Reads the first bytes of the file of that name into packed, and the whole
// file when they are those of a compressed file (its bytes count in the
// budget of content held: past it the run ends); returns its compression
// (None for any other file or one that cannot be read).
Compression ReadPacked(const char* name, Content& packed) {
  std::FILE* f = std::fopen(name, "rb");
  if (f == nullptr) return Compression::None;
  char buf[kChunk];
  std::size_t got = std::fread(buf, 1, kMagicBytes, f);
  const Compression kind = CompressionOf(buf, got);
  while (kind != Compression::None && got > 0) {
    if (!packed.Append(buf, got)) {
      std::fclose(f);
      Fault("COMPRESSED", name, kOverCap);
    }
    got = std::fread(buf, 1, sizeof buf, f);
  }
  std::fclose(f);
  return kind;
}

// The first bytes (at most n) of the regular file of that name.
std::shared_ptr<const Content> FirstBytes(const char* name, std::size_t n) {
  std::string bytes(n, '\0');
  std::FILE* f = std::fopen(name, "rb");
  bytes.resize(f == nullptr ? 0 : std::fread(&bytes[0], 1, n, f));
  if (f != nullptr) std::fclose(f);
  return std::make_shared<const Content>(std::move(bytes));
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

// The last compressed regular file read whole, and its content.
FileKey lastKey;
std::shared_ptr<const Content> lastContent;
// Every compressed file read whole whose content a reader still holds: a
// store reading the same file at the same time shares it.
std::vector<std::pair<FileKey, std::weak_ptr<const Content>>> inUse;

// The input state above and the streams below, for readers on several
// threads.
std::mutex& InputLock() {
  static std::mutex lock;
  return lock;
}

std::shared_ptr<const Content> InUse(const FileKey& key) {
  for (const auto& u : inUse)
    if (u.first == key)
      if (std::shared_ptr<const Content> content = u.second.lock()) return content;
  return nullptr;
}

void KeepInUse(const FileKey& key, const std::shared_ptr<const Content>& content) {
  inUse.erase(std::remove_if(inUse.begin(), inUse.end(),
                             [](const auto& u) { return u.second.expired(); }),
              inUse.end());
  inUse.emplace_back(key, content);
}

// Content of compressed regular file name (whole, or its first head bytes
// when head is not 0), or an empty pointer for a file that is not
// compressed or cannot be read.  A damaged file ends the run.
std::shared_ptr<const Content> CompressedContent(const char* name, const struct stat& st,
                                                 std::size_t head) {
  const FileKey key{name, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  if (lastContent && key == lastKey) return lastContent;
  if (head == 0)
    if (std::shared_ptr<const Content> content = InUse(key)) return content;

  lastContent.reset();  // its memory is needed for this one
  Content packed;
  const Compression kind = ReadPacked(name, packed);
  if (kind == Compression::None) return nullptr;
  if (head != 0) return Unpacked(name, SpansOf(packed), kind, head);
  lastContent = Unpacked(name, SpansOf(packed), kind, 0);
  lastKey = key;
  KeepInUse(key, lastContent);
  return lastContent;
}

// ---- Streams ---------------------------------------------------------------------

// An input that is not a regular file: what has been read of it so far, and
// its content once it has been read to its end.
struct Stream {
  int fd = -1;
  Content bytes;
  bool ended = false;
  bool released = false;  // its store is built; it cannot be read again
  std::shared_ptr<const Content> content;
};

// The streams opened in this run, by name.
std::map<std::string, Stream>& Streams() {
  static std::map<std::string, Stream> streams;
  return streams;
}

// The stream of that name, opened when it is first asked for; nullptr when
// it cannot be opened.  A named pipe is opened as cat opens it, waiting for
// its writer (without one it would read as empty); a device is opened
// without waiting.
Stream* StreamOf(const char* name) {
  auto found = Streams().find(name);
  if (found != Streams().end()) return &found->second;
  struct stat st;
  const bool fifo = stat(name, &st) == 0 && S_ISFIFO(st.st_mode);
  int fd = -1;
  do {
    fd = ::open(name, O_RDONLY | O_CLOEXEC | (fifo ? 0 : O_NONBLOCK));
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  // Once open, a read waits for the data a writer has still to send.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  Stream& s = Streams()[name];
  s.fd = fd;
  return &s;
}

// Reads s until it holds at least n bytes or has ended; more than the cap
// ends the run.
void ReadStream(const char* name, Stream& s, std::size_t n) {
  char buf[kChunk];
  while (!s.ended && s.bytes.size() < n) {
    const ssize_t got = ::read(s.fd, buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      s.ended = true;  // end of the stream, or a fault that ends it
      ::close(s.fd);
      s.fd = -1;
    } else if (!s.bytes.Append(buf, static_cast<std::size_t>(got))) {
      Fault("INPUT", name, kStreamOverCap);
    }
  }
}

// The compression of the bytes of a stream.
Compression CompressionOfStream(const Stream& s) {
  const std::string head = s.bytes.Head(kMagicBytes);
  return CompressionOf(head.data(), head.size());
}

// The whole content of stream s, decompressed when it is compressed.
std::shared_ptr<const Content> StreamContent(const char* name, Stream& s) {
  if (s.content) return s.content;
  ReadStream(name, s, kMaxContent + 1);
  const Compression kind = CompressionOfStream(s);
  if (kind == Compression::None) {
    s.content = std::make_shared<const Content>(std::move(s.bytes));
  } else {
    s.content = Unpacked(name, SpansOf(s.bytes), kind, 0);
    s.bytes.Clear();
  }
  return s.content;
}

// The first bytes (at most n) of the content of stream s.  Only a
// compressed stream is read further.
std::shared_ptr<const Content> StreamHead(const char* name, Stream& s, std::size_t n) {
  if (!s.content) {
    ReadStream(name, s, std::max(n, kMagicBytes));
    if (CompressionOfStream(s) == Compression::None)
      return std::make_shared<const Content>(s.bytes.Head(n));
  }
  return std::make_shared<const Content>(StreamContent(name, s)->Head(n));
}

// The content to read from memory for the input of that name (its first
// head bytes when head is not 0), or an empty pointer when it is read from
// disk or cannot be opened.
std::shared_ptr<const Content> MemoryContent(const char* name, std::size_t head) {
  struct stat st;
  if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
  if (S_ISREG(st.st_mode)) {
    std::shared_ptr<const Content> content = CompressedContent(name, st, head);
    return content || head == 0 ? content : FirstBytes(name, head);
  }
  Stream* s = StreamOf(name);
  if (s == nullptr || s->released) return nullptr;
  return head != 0 ? StreamHead(name, *s, head) : StreamContent(name, *s);
}

}  // namespace

const char* const kOverCap = "MORE THAN 1 GiB (1073741824 BYTES) OF CONTENT";

bool InputReadable(const char* name) {
  const std::lock_guard<std::mutex> hold(InputLock());
  struct stat st;
  if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (!S_ISREG(st.st_mode)) return StreamOf(name) != nullptr;
  const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
  if (fd >= 0) ::close(fd);
  return fd >= 0;
}

void ReleaseInput(const char* name) {
  const std::lock_guard<std::mutex> hold(InputLock());
  auto found = Streams().find(name);
  if (found != Streams().end()) {
    found->second.content.reset();
    found->second.bytes.Clear();
    found->second.released = true;
  }
  if (lastKey.name == name) lastContent.reset();
}

void ForgetStreams() {
  const std::lock_guard<std::mutex> hold(InputLock());
  for (auto& named : Streams())
    if (named.second.fd >= 0) ::close(named.second.fd);
  Streams().clear();
}

Compression CompressionOf(const char* data, std::size_t size) {
  if (size < kMagicBytes || static_cast<unsigned char>(data[0]) != kMagic0)
    return Compression::None;
  const unsigned char b = static_cast<unsigned char>(data[1]);
  if (b == kGzipMagic1) return Compression::Gzip;
  if (b == kCompressMagic1) return Compression::Compress;
  return Compression::None;
}

bool Decompress(const char* data, std::size_t size, Compression kind, std::string& out,
                const char*& why, std::size_t cap) {
  return DecompressSpans({{data, size}}, kind,
                         [&](const char* p, std::size_t n) { return AppendCapped(out, p, n, cap); },
                         why);
}

// ---- Content -------------------------------------------------------------------

namespace {
std::atomic<std::size_t> held{0};  // bytes of all Content objects (threads may read at once)
}  // namespace

std::size_t ContentHeld() { return held; }

Content::Content(std::string whole) {
  held += whole.size();
  size_ = whole.size();
  if (size_ == 0) return;
  starts_.push_back(0);
  pieces_.push_back(std::move(whole));
}

Content::Content(Content&& other) noexcept
    : pieces_(std::move(other.pieces_)), starts_(std::move(other.starts_)), size_(other.size_) {
  other.pieces_.clear();
  other.starts_.clear();
  other.size_ = 0;
}

Content& Content::operator=(Content&& other) noexcept {
  if (this != &other) {
    Clear();
    pieces_ = std::move(other.pieces_);
    starts_ = std::move(other.starts_);
    size_ = other.size_;
    other.pieces_.clear();
    other.starts_.clear();
    other.size_ = 0;
  }
  return *this;
}

bool Content::Append(const char* p, std::size_t n) {
  std::size_t before = held.load();
  do {
    if (n > kMaxContent - std::min(before, kMaxContent)) return false;
  } while (!held.compare_exchange_weak(before, before + n));
  size_ += n;
  while (n > 0) {
    if (pieces_.empty() || pieces_.back().size() >= kPieceBytes) {
      starts_.push_back(size_ - n);
      pieces_.emplace_back();
      pieces_.back().reserve(kPieceBytes);
    }
    std::string& last = pieces_.back();
    const std::size_t fits = std::min(n, kPieceBytes - std::min(last.size(), kPieceBytes));
    last.append(p, fits);
    p += fits;
    n -= fits;
  }
  return true;
}

void Content::Clear() {
  held -= size_;
  size_ = 0;
  pieces_.clear();
  pieces_.shrink_to_fit();
  starts_.clear();
}

std::string Content::Head(std::size_t n) const {
  std::string head;
  for (std::size_t k = 0; k < pieces_.size() && head.size() < n; ++k)
    head.append(pieces_[k], 0, n - head.size());
  return head;
}

// ---- MemoryBuf -----------------------------------------------------------------

void MemoryBuf::Assign(std::shared_ptr<const Content> bytes) {
  bytes_ = std::move(bytes);
  Select(0, 0);
}

void MemoryBuf::Assign(const std::shared_ptr<const std::string>& bytes) {
  Assign(std::make_shared<const Content>(*bytes));
}

void MemoryBuf::Release() {
  setg(nullptr, nullptr, nullptr);
  bytes_.reset();
  piece_ = 0;
}

// The get area is piece k from its byte offset on; it is only read (putback
// of another character is refused).
void MemoryBuf::Select(std::size_t k, std::size_t offset) {
  piece_ = k;
  if (!bytes_ || k >= bytes_->NPieces()) {
    setg(nullptr, nullptr, nullptr);
    return;
  }
  const std::string& p = bytes_->Piece(k);
  char* begin = const_cast<char*>(p.data());
  setg(begin, begin + offset, begin + p.size());
}

MemoryBuf::int_type MemoryBuf::underflow() {
  while (gptr() == egptr() && bytes_ && piece_ + 1 < bytes_->NPieces()) Select(piece_ + 1, 0);
  return gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
}

MemoryBuf::pos_type MemoryBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                       std::ios_base::openmode which) {
  const off_type size = bytes_ ? static_cast<off_type>(bytes_->size()) : 0;
  const off_type here =
      bytes_ && piece_ < bytes_->NPieces()
          ? static_cast<off_type>(bytes_->PieceStart(piece_)) + (gptr() - eback())
          : 0;
  const off_type base = dir == std::ios_base::beg ? 0 : dir == std::ios_base::cur ? here : size;
  const off_type to = base + off;
  if (!(which & std::ios_base::in) || to < 0 || to > size) return pos_type(off_type(-1));
  // The last piece that starts at or before the position (bisection).
  std::size_t k = 0, past = bytes_ ? bytes_->NPieces() : 0;
  while (past - k > 1) {
    const std::size_t mid = k + (past - k) / 2;
    if (static_cast<off_type>(bytes_->PieceStart(mid)) <= to) k = mid;
    else past = mid;
  }
  const off_type start = bytes_ && k < bytes_->NPieces() ? bytes_->PieceStart(k) : 0;
  Select(k, static_cast<std::size_t>(to - start));
  return pos_type(to);
}

MemoryBuf::pos_type MemoryBuf::seekpos(pos_type pos, std::ios_base::openmode which) {
  return seekoff(off_type(pos), std::ios_base::beg, which);
}

// ---- InputFile -----------------------------------------------------------------

InputFile::InputFile() : std::istream(nullptr) { setstate(std::ios::badbit); }

InputFile::InputFile(const char* name) : InputFile() { open(name); }

void InputFile::open(const char* name) { OpenHead(name, 0); }

void InputFile::OpenHead(const char* name, std::size_t bytes) {
  close();
  std::shared_ptr<const Content> content;
  {
    const std::lock_guard<std::mutex> hold(InputLock());
    content = MemoryContent(name, bytes);
  }
  if (content) {
    memory_.Assign(std::move(content));
    rdbuf(&memory_);  // also clears the state
  } else if (bytes == 0 && InputReadable(name) && file_.open(name, std::ios::in)) {
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
