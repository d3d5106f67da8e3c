// Baseline of the update-cycle benchmark: the same package fetched with a
// plain libcurl download into a file and unpacked with the UnRAR library
// (the shared two-pass extraction), in one process with no engine, no copy
// and no wait. Prints the time of each half in milliseconds.
//   fetch_extract_baseline.exe URL ARCHIVE_PATH TARGET_FOLDER
#include <winsock2.h>
#include <curl/curl.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "velko/rar_extraction.h"

namespace {

double NowMs() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* file) {
  return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

bool Download(const char* url, const wchar_t* path) {
  std::FILE* file = _wfopen(path, L"wb");
  if (file == nullptr) return false;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
  const CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  std::fclose(file);
  return code == CURLE_OK && status == 200;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: fetch_extract_baseline URL ARCHIVE TARGET\n");
    return 2;
  }
  const std::wstring wide_url = argv[1];
  const std::string url(wide_url.begin(), wide_url.end());  // ASCII URLs only
  curl_global_init(CURL_GLOBAL_ALL);
  const double start = NowMs();
  if (!Download(url.c_str(), argv[2])) {
    std::fprintf(stderr, "download failed\n");
    return 1;
  }
  const double downloaded = NowMs();
  ::CreateDirectoryW(argv[3], nullptr);
  const std::atomic<bool> stop{false};
  const velko::ExtractionResult result =
      velko::ExtractArchiveToFolder(argv[2], argv[3], velko::ExtractionProgress(), stop);
  const double extracted = NowMs();
  std::printf("download_ms %.1f\nextract_ms %.1f\nfiles %zu\nstatus %s\n", downloaded - start,
              extracted - downloaded, result.files_done, velko::ExtractionStatusText(result.status));
  return result.status == velko::ExtractionStatus::kFinished ? 0 : 1;
}
