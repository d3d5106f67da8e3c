#include "zip_extraction.h"

#include <gtest/gtest.h>

#include <map>
#include <minizip/unzip.h>

#include "memory_zip_source.h"
#include "test_zip_builder.h"

namespace velko::bootstrap {
namespace {

using testing::BuildZip;
using testing::TestZipEntry;

// Collects the files in memory, like a folder would on disk.
class MemorySink final : public ZipEntrySink {
 public:
  std::map<std::string, std::string> files;
  bool refuse_create = false;
  bool fail_writes = false;

  std::unique_ptr<ZipEntryWriter> Create(const std::string& relative_path) override {
    if (refuse_create) return nullptr;
    files[relative_path].clear();
    return std::make_unique<Writer>(*this, files[relative_path]);
  }

 private:
  class Writer final : public ZipEntryWriter {
   public:
    Writer(MemorySink& sink, std::string& target) : sink_(sink), target_(target) {}
    bool Write(const void* data, std::size_t length) override {
      if (sink_.fail_writes) return false;
      target_.append(static_cast<const char*>(data), length);
      return true;
    }
    bool Close() override { return true; }

   private:
    MemorySink& sink_;
    std::string& target_;
  };
};

ZipExtractResult Extract(const std::string& zip, MemorySink& sink, const ZipLimits& limits = {}) {
  return ExtractZip(zip.data(), zip.size(), sink, limits);
}

TEST(ZipExtractionTest, StoredAndDeflatedEntriesLandUnderTheirFolders) {
  std::string large(100000, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 251);
  const std::string zip = BuildZip({
      {"xldl.dll", "MZ engine", false},
      {"sub/", "", false, 0x10},
      {"sub/dir/file.dat", large, true},
  });
  MemorySink sink;
  const ZipExtractResult result = Extract(zip, sink);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.files_written, 2);
  EXPECT_EQ(sink.files.size(), 2u);
  EXPECT_EQ(sink.files["xldl.dll"], "MZ engine");
  EXPECT_EQ(sink.files["sub\\dir\\file.dat"], large);  // spans many 10240-byte blocks
}

TEST(ZipExtractionTest, FolderEntriesAreSkippedByAttributeOrTrailingSlash) {
  const std::string zip = BuildZip({
      {"marked", "", false, 0x10},
      {"named/", "", false, 0},
      {"named/f.txt", "f"},
  });
  MemorySink sink;
  ASSERT_TRUE(Extract(zip, sink).ok());
  EXPECT_EQ(sink.files.size(), 1u);
  EXPECT_EQ(sink.files.count("named\\f.txt"), 1u);
}

TEST(ZipExtractionTest, HostileNamesAreSkippedAndTheRestIsWritten) {
  const std::string zip = BuildZip({
      {"../evil.dll", "x"},
      {"/abs.dll", "x"},
      {"C:\\windows\\evil.dll", "x"},
      {"a/../../evil.dll", "x"},
      {std::string(320, 'n'), "too long for the name buffer"},
      {"xldl.dll", "good"},
  });
  MemorySink sink;
  const ZipExtractResult result = Extract(zip, sink);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.unsafe_entries_skipped, 5);
  ASSERT_EQ(sink.files.size(), 1u);
  EXPECT_EQ(sink.files["xldl.dll"], "good");
}

TEST(ZipExtractionTest, BrokenInputFailsWithItsReason) {
  MemorySink sink;
  EXPECT_EQ(Extract("", sink).status, ZipExtractStatus::kCannotOpen);
  EXPECT_EQ(Extract("PK\x03\x04 not really a zip", sink).status, ZipExtractStatus::kCannotOpen);
  // An archive without entries has nothing to unpack: a failure, not a success.
  EXPECT_FALSE(Extract(BuildZip({}), sink).ok());

  // A damaged entry is reported, not passed off as complete.
  const std::string corrupt = BuildZip({{"a.bin", std::string(5000, 'a'), true, 0, true}});
  EXPECT_EQ(Extract(corrupt, sink).status, ZipExtractStatus::kCannotRead);

  // Truncated after the first entry's data: the directory is gone.
  const std::string whole = BuildZip({{"a.bin", "aaaa"}, {"b.bin", "bbbb"}});
  EXPECT_EQ(Extract(whole.substr(0, whole.size() - 30), sink).status, ZipExtractStatus::kCannotOpen);
}

TEST(ZipExtractionTest, SinkFailuresEndTheExtraction) {
  const std::string zip = BuildZip({{"a.bin", "aaaa"}, {"b.bin", "bbbb"}});
  MemorySink refusing;
  refusing.refuse_create = true;
  EXPECT_EQ(Extract(zip, refusing).status, ZipExtractStatus::kCannotCreate);

  MemorySink failing;
  failing.fail_writes = true;
  const ZipExtractResult result = Extract(zip, failing);
  EXPECT_EQ(result.status, ZipExtractStatus::kCannotWrite);
  EXPECT_EQ(result.files_written, 0);
}

TEST(ZipExtractionTest, EntriesAboveTheLimitsAreRefused) {
  ZipLimits limits;
  limits.max_entry_bytes = 1000;
  limits.max_total_bytes = 1500;
  limits.max_entries = 3;
  MemorySink sink;
  // Declared size above the entry cap: refused before the sink sees it.
  EXPECT_EQ(Extract(BuildZip({{"big.bin", std::string(1001, 'b'), true}}), sink, limits).status,
            ZipExtractStatus::kTooLarge);
  EXPECT_TRUE(sink.files.empty());
  // Each entry fits, together they do not.
  const std::string two = BuildZip({{"a.bin", std::string(900, 'a')}, {"b.bin", std::string(900, 'b')}});
  EXPECT_EQ(Extract(two, sink, limits).status, ZipExtractStatus::kTooLarge);
  const std::string many = BuildZip({{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}});
  EXPECT_EQ(Extract(many, sink, limits).status, ZipExtractStatus::kTooLarge);
  EXPECT_TRUE(Extract(BuildZip({{"ok.bin", std::string(1000, 'o'), true}}), sink, limits).ok());
}

TEST(ZipExtractionTest, UnpackingToMemoryKeepsArchiveOrderAndSafeNames) {
  const std::string zip = BuildZip({{"sub/b.dat", "bb", true}, {"../evil", "x"}, {"a.dll", "a"}});
  const UnpackedZip unpacked = UnpackZipToMemory(zip.data(), zip.size());
  ASSERT_TRUE(unpacked.result.ok());
  ASSERT_EQ(unpacked.files.size(), 2u);
  EXPECT_EQ(unpacked.files[0].relative_path, "sub\\b.dat");
  EXPECT_EQ(unpacked.files[0].bytes, "bb");
  EXPECT_EQ(unpacked.files[1].relative_path, "a.dll");
  ZipLimits tiny;
  tiny.max_total_bytes = 2;
  EXPECT_EQ(UnpackZipToMemory(zip.data(), zip.size(), tiny).result.status, ZipExtractStatus::kTooLarge);
}

TEST(MemoryZipSourceTest, ReadsSeeksAndTellsWithinTheBuffer) {
  const std::string bytes = "0123456789";
  MemoryZipSource source{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0};
  zlib_filefunc64_def funcs = MakeMemoryZipFileFuncs(&source);
  void* stream = funcs.zopen64_file(funcs.opaque, nullptr, 0);
  ASSERT_NE(stream, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(funcs.zread_file(funcs.opaque, stream, buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(funcs.ztell64_file(funcs.opaque, stream), 4u);
  EXPECT_EQ(funcs.zseek64_file(funcs.opaque, stream, 2, ZLIB_FILEFUNC_SEEK_CUR), 0);
  EXPECT_EQ(funcs.zread_file(funcs.opaque, stream, buffer, 16), 4u);  // only what remains
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(funcs.zseek64_file(funcs.opaque, stream, 0, ZLIB_FILEFUNC_SEEK_END), 0);
  EXPECT_EQ(funcs.ztell64_file(funcs.opaque, stream), 10u);
  EXPECT_EQ(funcs.zseek64_file(funcs.opaque, stream, 50, ZLIB_FILEFUNC_SEEK_SET), 0);
  EXPECT_EQ(funcs.zread_file(funcs.opaque, stream, buffer, 4), 0u);  // beyond the end
  EXPECT_EQ(funcs.zwrite_file(funcs.opaque, stream, buffer, 3), 3u);  // writes are ignored
  EXPECT_EQ(bytes, "0123456789");
}

}  // namespace
}  // namespace velko::bootstrap
