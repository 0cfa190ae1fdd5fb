// The zip reader of the release tests: the end record, the central directory, each local
// header, and inflate for deflated entries.
#include "zip_read.h"

#include <zlib.h>

namespace zunktest {
namespace {

uint32_t Get16(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8;
}
uint32_t Get32(const std::string& s, size_t at) {
  return Get16(s, at) | Get16(s, at + 2) << 16;
}

bool Inflate(const std::string& in, size_t size, std::string* out) {
  z_stream z = {};
  if (inflateInit2(&z, -15) != Z_OK)
    return false;
  out->assign(size, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out->empty() ? nullptr : &(*out)[0]);
  z.avail_out = static_cast<uInt>(size);
  int rc = inflate(&z, Z_FINISH);
  bool ok = rc == Z_STREAM_END && z.total_out == size;
  inflateEnd(&z);
  return ok;
}

}  // namespace

bool ReadZip(const std::string& b, std::vector<ZipRecord>* records, std::string* error) {
  records->clear();
  if (b.size() < 22 || Get32(b, b.size() - 22) != 0x06054b50) {
    *error = "no end record (or an archive comment)";
    return false;
  }
  size_t end = b.size() - 22;
  uint32_t count = Get16(b, end + 10);
  size_t dirSize = Get32(b, end + 12), at = Get32(b, end + 16);
  if (at + dirSize != end) {
    *error = "the central directory does not end at the end record";
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (at + 46 > end || Get32(b, at) != 0x02014b50) {
      *error = "bad central directory record " + std::to_string(i);
      return false;
    }
    ZipRecord r;
    r.madeBy = Get16(b, at + 4);
    r.flags = Get16(b, at + 8);
    r.method = Get16(b, at + 10);
    r.dosTime = Get16(b, at + 12);
    r.dosDate = Get16(b, at + 14);
    r.crc = Get32(b, at + 16);
    size_t packed = Get32(b, at + 20), size = Get32(b, at + 24);
    size_t nameLength = Get16(b, at + 28), extra = Get16(b, at + 30), comment = Get16(b, at + 32);
    r.externalAttributes = Get32(b, at + 38);
    size_t local = Get32(b, at + 42);
    r.name = b.substr(at + 46, nameLength);
    at += 46 + nameLength + extra + comment;
    if (local + 30 > b.size() || Get32(b, local) != 0x04034b50 || Get16(b, local + 6) != r.flags ||
        Get16(b, local + 8) != r.method || Get32(b, local + 14) != r.crc ||
        b.compare(local + 30, nameLength, r.name) != 0) {
      *error = "local header of " + r.name + " differs from its directory record";
      return false;
    }
    size_t localExtra = Get16(b, local + 28);
    r.extraLength = static_cast<uint32_t>(extra + localExtra);
    size_t data = local + 30 + nameLength + localExtra;
    if (data + packed > b.size()) {
      *error = r.name + " runs past the archive";
      return false;
    }
    std::string stored = b.substr(data, packed);
    if (r.method == 0 && packed == size) {
      r.data = stored;
    } else if (r.method != 8 || !Inflate(stored, size, &r.data)) {
      *error = r.name + " cannot be unpacked";
      return false;
    }
    r.crcMatches = crc32(0, reinterpret_cast<const Bytef*>(r.data.data()),
                         static_cast<uInt>(r.data.size())) == r.crc;
    records->push_back(r);
  }
  return true;
}

}  // namespace zunktest
