#include "engine_attempt.h"

#include <windows.h>

#include "unzip_to_folder.h"
#include "velko/http_client.h"

namespace velko::bootstrap {
namespace {

std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes,
                        nullptr, nullptr);
  return out;
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

bool IsExistingFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

AttemptResult FetchConfig(const std::string& config_base_url,
                          std::unique_ptr<EngineStorage>& storage) {
  HttpClient client;
  const HttpResponse& response = client.Get(config_base_url + kEngineConfigPath);
  if (!response.success || response.status_code != 200 || !Contains(response.content_type, "xml")) {
    return AttemptResult::kConfigUnavailable;
  }
  storage = ParseEngineStorage(response.body);
  return storage != nullptr ? AttemptResult::kVerified : AttemptResult::kConfigRejected;
}

AttemptResult DownloadAndUnpack(const EngineStorage& storage) {
  HttpClient client;
  const HttpResponse& response = client.Get(WideToAnsi(storage.package_url));
  if (!response.success || response.status_code != 200 ||
      !Contains(response.content_type, "application/octet-stream")) {
    return AttemptResult::kPackageUnavailable;
  }
  if (!UnzipToFolder(response.body.data(), response.body.size(), storage.save_base).ok()) {
    return AttemptResult::kUnpackFailed;
  }
  // The unpacked files are not hashed again: the package is the reference.
  return IsExistingFile(EngineLibraryPath(storage)) ? AttemptResult::kInstalled
                                                    : AttemptResult::kNoEngineLibrary;
}

}  // namespace

AttemptResult RunEngineAttempt(const std::string& config_base_url,
                               std::unique_ptr<EngineStorage>& storage) {
  storage.reset();
  const AttemptResult config = FetchConfig(config_base_url, storage);
  if (config != AttemptResult::kVerified) return config;
  if (VerifyEngineFiles(storage.get())) return AttemptResult::kVerified;
  return DownloadAndUnpack(*storage);
}

}  // namespace velko::bootstrap
