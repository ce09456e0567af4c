// Compressed copies of a text, written with the same libraries that read
// them back (zlib's gzip wrapper; libarchive's compress filter on its raw
// format, which writes the content alone), and the content of a gzip file.
#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <string>

namespace packed {

// text in gzip format (one member, default level unless level is given).
inline std::string Gzip(const std::string& text, int level = Z_DEFAULT_COMPRESSION) {
  z_stream zs{};
  deflateInit2(&zs, level, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, text.size()), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  zs.avail_in = static_cast<uInt>(text.size());
  zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

// Content of gzip data (all members); "" when it is not sound gzip.
inline std::string Gunzip(const std::string& data) {
  z_stream zs{};
  inflateInit2(&zs, 16 + MAX_WBITS);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  std::string out;
  char buf[1 << 16];
  int rc = Z_OK;
  while (rc == Z_OK || (rc == Z_STREAM_END && zs.avail_in > 0)) {
    if (rc == Z_STREAM_END) inflateReset(&zs);
    zs.next_out = reinterpret_cast<Bytef*>(buf);
    zs.avail_out = sizeof buf;
    rc = inflate(&zs, Z_NO_FLUSH);
    out.append(buf, sizeof buf - zs.avail_out);
  }
  inflateEnd(&zs);
  return rc == Z_STREAM_END ? out : "";
}

// text in Unix compress (.Z) format.
inline std::string CompressZ(const std::string& text) {
  std::string out;
  archive* a = archive_write_new();
  archive_write_add_filter_compress(a);
  archive_write_set_format_raw(a);
  archive_write_set_bytes_in_last_block(a, 1);  // no padding after the data
  const auto write = [](archive*, void* o, const void* buf, size_t n) -> la_ssize_t {
    static_cast<std::string*>(o)->append(static_cast<const char*>(buf), n);
    return static_cast<la_ssize_t>(n);
  };
  archive_write_open(a, &out, nullptr, write, nullptr);
  archive_entry* e = archive_entry_new();
  archive_entry_set_filetype(e, AE_IFREG);
  archive_entry_set_size(e, static_cast<la_int64_t>(text.size()));
  archive_write_header(a, e);
  archive_write_data(a, text.data(), text.size());
  archive_entry_free(e);
  archive_write_close(a);
  archive_write_free(a);
  return out;
}

}  // namespace packed
