// The reproducible zip writer: local headers and data, the central directory, the end
// record. All numbers little-endian; no zip64 (the release is far below 4 GiB).
#include "zip_writer.h"

#include <zlib.h>

#include <cstdio>
#include <ctime>

namespace zunkrelease {
namespace {

void Put16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// Raw deflate (no zlib header), as the zip format stores it; empty when it fails.
std::string Deflate(const std::string& in) {
  z_stream z = {};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    return std::string();
  std::string out(deflateBound(&z, in.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return rc == Z_STREAM_END ? out : std::string();
}

// MS-DOS date and time of a moment (UTC), the format's only mandatory time field. Its
// years start at 1980 and its seconds are even.
void DosTime(int64_t unixTime, uint32_t* date, uint32_t* time) {
  std::time_t t = static_cast<std::time_t>(unixTime < 315532800 ? 315532800 : unixTime);
  std::tm tm = {};
  gmtime_r(&t, &tm);
  *date = static_cast<uint32_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  *time = static_cast<uint32_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
}

}  // namespace

bool WriteZip(const std::string& path,
              const std::vector<ZipEntry>& entries,
              int64_t unixTime,
              std::string* error) {
  const uint32_t kUtf8Names = 1u << 11;
  const uint32_t kMadeByUnix = (3u << 8) | 20;  // Unix, format version 2.0
  const uint32_t kFileMode = 0100644u << 16;    // a plain file, rw-r--r--
  uint32_t date = 0, time = 0;
  DosTime(unixTime, &date, &time);

  std::string body, directory;
  for (const ZipEntry& e : entries) {
    uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
    std::string packed = Deflate(e.data);
    uint32_t method = 8;
    if (packed.empty() || packed.size() >= e.data.size()) {
      packed = e.data;
      method = 0;
    }
    uint32_t offset = static_cast<uint32_t>(body.size());
    // Local header.
    Put32(&body, 0x04034b50);
    Put16(&body, 20);
    Put16(&body, kUtf8Names);
    Put16(&body, method);
    Put16(&body, time);
    Put16(&body, date);
    Put32(&body, crc);
    Put32(&body, static_cast<uint32_t>(packed.size()));
    Put32(&body, static_cast<uint32_t>(e.data.size()));
    Put16(&body, static_cast<uint32_t>(e.name.size()));
    Put16(&body, 0);
    body += e.name;
    body += packed;
    // Its central directory record.
    Put32(&directory, 0x02014b50);
    Put16(&directory, kMadeByUnix);
    Put16(&directory, 20);
    Put16(&directory, kUtf8Names);
    Put16(&directory, method);
    Put16(&directory, time);
    Put16(&directory, date);
    Put32(&directory, crc);
    Put32(&directory, static_cast<uint32_t>(packed.size()));
    Put32(&directory, static_cast<uint32_t>(e.data.size()));
    Put16(&directory, static_cast<uint32_t>(e.name.size()));
    Put16(&directory, 0);  // extra field
    Put16(&directory, 0);  // comment
    Put16(&directory, 0);  // disk
    Put16(&directory, 0);  // internal attributes
    Put32(&directory, kFileMode);
    Put32(&directory, offset);
    directory += e.name;
  }
  std::string end;
  Put32(&end, 0x06054b50);
  Put16(&end, 0);
  Put16(&end, 0);
  Put16(&end, static_cast<uint32_t>(entries.size()));
  Put16(&end, static_cast<uint32_t>(entries.size()));
  Put32(&end, static_cast<uint32_t>(directory.size()));
  Put32(&end, static_cast<uint32_t>(body.size()));
  Put16(&end, 0);

  std::string temp = path + ".part";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    *error = "cannot write " + temp;
    return false;
  }
  bool ok = std::fwrite(body.data(), 1, body.size(), f) == body.size() &&
            std::fwrite(directory.data(), 1, directory.size(), f) == directory.size() &&
            std::fwrite(end.data(), 1, end.size(), f) == end.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace zunkrelease
