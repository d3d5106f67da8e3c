// Baseline of the update-cycle benchmark: the same package fetched with a
// plain libcurl download into a file and unpacked with the UnRAR library
// (the shared two-pass extraction), in one process with no engine, no copy
// and no wait. Prints the time of each half in milliseconds.
//   fetch_extract_baseline.exe URL ARCHIVE_PATH TARGET_FOLDER
#include <atomic>
#include <cstdio>
#include <string>

#include "velko/bench/plain_download_win.h"
#include "velko/rar_extraction.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: fetch_extract_baseline URL ARCHIVE TARGET\n");
    return 2;
  }
  const std::wstring wide_url = argv[1];
  const std::string url(wide_url.begin(), wide_url.end());  // ASCII URLs only
  curl_global_init(CURL_GLOBAL_ALL);
  const double start = velko::bench::MonotonicMs();
  if (!velko::bench::PlainCurlDownload(url, argv[2])) {
    std::fprintf(stderr, "download failed\n");
    return 1;
  }
  const double downloaded = velko::bench::MonotonicMs();
  ::CreateDirectoryW(argv[3], nullptr);
  const std::atomic<bool> stop{false};
  const velko::ExtractionResult result =
      velko::ExtractArchiveToFolder(argv[2], argv[3], velko::ExtractionProgress(), stop);
  const double extracted = velko::bench::MonotonicMs();
  std::printf("download_ms %.1f\nextract_ms %.1f\nfiles %zu\nstatus %s\n", downloaded - start,
              extracted - downloaded, result.files_done, velko::ExtractionStatusText(result.status));
  return result.status == velko::ExtractionStatus::kFinished ? 0 : 1;
}
