#include "engine_attempt.h"

#include <windows.h>

#include <algorithm>

#include "engine_folder_security.h"
#include "unzip_to_folder.h"
#include "velko/crc32.h"

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

HttpTransferLimits LimitsFor(const EngineAttemptOptions& options, const std::string& url,
                             std::size_t max_body_bytes) {
  HttpTransferLimits limits = options.limits;
  limits.max_body_bytes = std::min(limits.max_body_bytes, max_body_bytes);
  limits.https_only = limits.https_only || IsHttpsUrl(url);
  return limits;
}

AttemptResult FetchConfig(const EngineAttemptOptions& options,
                          std::unique_ptr<EngineStorage>& storage) {
  const std::string url = options.config_base_url + kEngineConfigPath;
  HttpClient client({}, LimitsFor(options, url, kMaxEngineConfigBytes));
  const HttpResponse& response = client.Get(url);
  if (!response.success || response.status_code != 200 || !Contains(response.content_type, "xml")) {
    return AttemptResult::kConfigUnavailable;
  }
  storage = ParseEngineStorage(response.body, options.require_hashes);
  // A configuration fetched over https must not send the engine over http.
  if (storage != nullptr && IsHttpsUrl(url) && !IsHttpsUrl(WideToAnsi(storage->package_url))) {
    storage.reset();
  }
  return storage != nullptr ? AttemptResult::kVerified : AttemptResult::kConfigRejected;
}

// Every listed file that the package holds must hash as listed, before any
// of them is written.
bool PackageMatchesList(const UnpackedZip& unpacked, const EngineStorage& storage) {
  for (const UnpackedZipFile& file : unpacked.files) {
    const auto listed = storage.files.find(WideEntryName(file));
    if (listed == storage.files.end()) continue;
    FileDigest digest;
    digest.size = file.bytes.size();
    digest.crc32 = BufferCrc32(file.bytes.data(), file.bytes.size());
    digest.sha256 = BufferSha256(file.bytes.data(), file.bytes.size());
    if (!MatchesExpectation(digest, listed->second)) return false;
  }
  return true;
}

AttemptResult DownloadAndUnpack(const EngineAttemptOptions& options, const EngineStorage& storage,
                                std::optional<VerifiedEngine>& verified) {
  const std::string url = WideToAnsi(storage.package_url);
  HttpClient client({}, LimitsFor(options, url, kMaxEnginePackageBytes));
  const HttpResponse& response = client.Get(url);
  if (!response.success || response.status_code != 200 ||
      !Contains(response.content_type, "application/octet-stream")) {
    return AttemptResult::kPackageUnavailable;
  }
  const UnpackedZip unpacked =
      UnpackZipToMemory(response.body.data(), response.body.size(), options.zip_limits);
  if (!unpacked.result.ok()) return AttemptResult::kUnpackFailed;
  if (!PackageMatchesList(unpacked, storage)) return AttemptResult::kPackageMismatch;
  if (!WriteUnpackedFiles(unpacked, storage.save_base).ok()) return AttemptResult::kUnpackFailed;
  // Checked again on disk, and held from here until the engine is loaded.
  verified = VerifyEngineFiles(&storage);
  if (!verified) return AttemptResult::kPackageMismatch;
  if (!verified->has_library()) {
    verified.reset();
    return AttemptResult::kNoEngineLibrary;
  }
  return AttemptResult::kInstalled;
}

}  // namespace

AttemptResult RunEngineAttempt(const EngineAttemptOptions& options,
                               std::unique_ptr<EngineStorage>& storage,
                               std::optional<VerifiedEngine>& verified) {
  storage.reset();
  verified.reset();
  const AttemptResult config = FetchConfig(options, storage);
  if (config != AttemptResult::kVerified) return config;
  // A save base that is not there yet holds nothing to verify, even once it
  // has been created below.
  const DWORD attributes = ::GetFileAttributesW(storage->save_base.c_str());
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (!SecureEngineFolder(storage->save_base)) return AttemptResult::kFolderUnsafe;
  if (existed) verified = VerifyEngineFiles(storage.get());
  if (verified) return AttemptResult::kVerified;
  return DownloadAndUnpack(options, *storage, verified);
}

}  // namespace velko::bootstrap
