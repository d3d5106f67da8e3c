// Builds small ZIP archives in memory for the tests: stored or deflated
// entries with any name (hostile ones included) and chosen attributes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velko::bootstrap::testing {

struct TestZipEntry {
  std::string name;
  std::string data;
  bool deflate = false;
  std::uint32_t external_attributes = 0;  // 0x10 marks a folder
  bool corrupt_crc = false;               // store a wrong CRC-32
};

std::string BuildZip(const std::vector<TestZipEntry>& entries);

}  // namespace velko::bootstrap::testing
