// What the download benchmarks compare against: libcurl's easy interface
// writing straight into a file, with nothing else around it; and the clock
// both sides of a benchmark are timed with.
#pragma once

#include <winsock2.h>
#include <curl/curl.h>

#include <windows.h>

#include <cstdio>
#include <string>

namespace velko::bench {

inline double MonotonicMs() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* file) {
  return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

// Downloads `url` into `path`; true when the transfer ended with HTTP 200.
inline bool PlainCurlDownload(const std::string& url, const std::wstring& path) {
  std::FILE* file = ::_wfopen(path.c_str(), L"wb");
  if (file == nullptr) return false;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteToFile);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
  const CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  const bool closed = std::fclose(file) == 0;
  if (code != CURLE_OK) std::printf("plain download failed: curl code %d\n", static_cast<int>(code));
  return code == CURLE_OK && status == 200 && closed;
}

}  // namespace velko::bench
