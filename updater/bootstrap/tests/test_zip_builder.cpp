#include "test_zip_builder.h"

#include <zlib.h>

#include "velko/crc32.h"

namespace velko::bootstrap::testing {
namespace {

void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()) + 16, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

}  // namespace

std::string BuildZip(const std::vector<TestZipEntry>& entries) {
  std::string body;
  std::string directory;
  for (const TestZipEntry& entry : entries) {
    const std::string packed = entry.deflate ? RawDeflate(entry.data) : entry.data;
    std::uint32_t crc = BufferCrc32(entry.data.data(), entry.data.size());
    if (entry.corrupt_crc) crc ^= 0x1u;
    const std::uint32_t method = entry.deflate ? 8 : 0;
    const auto offset = static_cast<std::uint32_t>(body.size());

    Put32(body, 0x04034b50);
    Put16(body, 20);
    Put16(body, 0);  // flags
    Put16(body, method);
    Put16(body, 0);  // time
    Put16(body, 0x5821);  // date
    Put32(body, crc);
    Put32(body, static_cast<std::uint32_t>(packed.size()));
    Put32(body, static_cast<std::uint32_t>(entry.data.size()));
    Put16(body, static_cast<std::uint32_t>(entry.name.size()));
    Put16(body, 0);
    body += entry.name;
    body += packed;

    Put32(directory, 0x02014b50);
    Put16(directory, 20);
    Put16(directory, 20);
    Put16(directory, 0);
    Put16(directory, method);
    Put16(directory, 0);
    Put16(directory, 0x5821);
    Put32(directory, crc);
    Put32(directory, static_cast<std::uint32_t>(packed.size()));
    Put32(directory, static_cast<std::uint32_t>(entry.data.size()));
    Put16(directory, static_cast<std::uint32_t>(entry.name.size()));
    Put16(directory, 0);  // extra
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, entry.external_attributes);
    Put32(directory, offset);
    directory += entry.name;
  }
  const auto directory_offset = static_cast<std::uint32_t>(body.size());
  std::string out = body + directory;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  Put32(out, static_cast<std::uint32_t>(directory.size()));
  Put32(out, directory_offset);
  Put16(out, 0);
  return out;
}

}  // namespace velko::bootstrap::testing
