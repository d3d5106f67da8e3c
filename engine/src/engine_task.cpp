#include <winsock2.h>
#include <curl/curl.h>

#include "engine_task.h"

#include <cstdio>

#include "engine_failure_codes.h"
#include "save_file_name.h"
#include "velko/file_utils.h"
#include "velko/path_text.h"

namespace velko::xldl {
namespace {

constexpr long kConnectTimeoutS = 30;
// A transfer below 1 byte/s for this long has stalled and fails.
constexpr long kStallTimeoutS = 60;
// Packages are tens of megabytes: large receive and file buffers mean far
// fewer callbacks and file writes per megabyte.
constexpr long kReceiveBufferBytes = 512 * 1024;
constexpr std::size_t kFileBufferBytes = 1024 * 1024;

std::string WideToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes,
                          nullptr, nullptr);
  }
  return out;
}

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* file) {
  return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

}  // namespace

int OnTransferProgress(void* task, curl_off_t total, curl_off_t downloaded, curl_off_t,
                       curl_off_t) {
  auto* self = static_cast<EngineTask*>(task);
  self->SetProgress(total, downloaded);
  return self->stop_requested_ ? 1 : 0;  // nonzero aborts the transfer
}

EngineTask::EngineTask(std::wstring url, std::wstring folder, std::wstring file_name)
    : url_(std::move(url)), folder_(std::move(folder)), file_name_(std::move(file_name)) {
  state_.status = kStatusCreated;
}

EngineTask::~EngineTask() {
  if (thread_ != nullptr) ::CloseHandle(thread_);
}

namespace {

// What the download thread owns: its task, and a reference on the engine
// library that it gives back as its very last action.
struct ThreadHolder {
  std::shared_ptr<EngineTask> task;
  HMODULE module = nullptr;
};

}  // namespace

bool EngineTask::Start() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (thread_ != nullptr || state_.status != kStatusCreated) return true;
  // The thread keeps the task and the engine library alive until it ends, so
  // neither a deleted task nor an unloaded engine can pull its code away.
  auto holder = std::make_unique<ThreadHolder>();
  holder->task = shared_from_this();
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&EngineTask::ThreadMain), &holder->module)) {
    holder->module = nullptr;
  }
  state_.status = kStatusDownloading;
  thread_ = ::CreateThread(nullptr, 0, &EngineTask::ThreadMain, holder.get(), 0, nullptr);
  if (thread_ == nullptr) {
    if (holder->module != nullptr) ::FreeLibrary(holder->module);
    state_.status = 1;
    state_.failure_code = kFailureCannotStartThread;
    return false;
  }
  holder.release();  // the thread's now
  return true;
}

void EngineTask::WaitForEnd(DWORD timeout_ms) {
  HANDLE thread = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    thread = thread_;
  }
  if (thread != nullptr) ::WaitForSingleObject(thread, timeout_ms);
}

TaskSnapshot EngineTask::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

DWORD WINAPI EngineTask::ThreadMain(void* parameter) {
  HMODULE module = nullptr;
  {
    std::unique_ptr<ThreadHolder> holder(static_cast<ThreadHolder*>(parameter));
    module = holder->module;
    holder->task->Run();
  }
  if (module != nullptr) ::FreeLibraryAndExitThread(module, 0);
  return 0;
}

void EngineTask::Run() {
  if (url_.empty()) return Finish(1, kFailureEmptyUrl);
  CreateDirectoryTree(folder_);
  const std::wstring final_path = JoinPath<wchar_t>(folder_, file_name_);
  const std::wstring partial_path = JoinPath<wchar_t>(folder_, PartialFileName(file_name_));
  const std::int32_t failure = Download(partial_path);
  if (failure != 0) {
    ::DeleteFileW(partial_path.c_str());
    return Finish(1, failure);
  }
  if (!::MoveFileExW(partial_path.c_str(), final_path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
    ::DeleteFileW(partial_path.c_str());
    return Finish(1, kFailureCannotFinishFile);
  }
  Finish(4, 0);
}

std::int32_t EngineTask::Download(const std::wstring& partial_path) {
  std::FILE* file = ::_wfopen(partial_path.c_str(), L"wb");
  if (file == nullptr) return kFailureCannotCreateFile;
  std::setvbuf(file, nullptr, _IOFBF, kFileBufferBytes);
  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    std::fclose(file);
    return kTransferErrorBase + CURLE_FAILED_INIT;
  }
  const std::string url = WideToUtf8(url_);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteToFile);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  // A package asked for over https is never fetched over plain http, not
  // even after a redirect.
  const bool https = url.size() >= 8 && _strnicmp(url.c_str(), "https://", 8) == 0;
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, https ? "https" : "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutS);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallTimeoutS);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnTransferProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  const CURLcode code = curl_easy_perform(curl);
  long http_status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &http_status);
  curl_easy_cleanup(curl);
  const bool closed = std::fclose(file) == 0;

  if (code == CURLE_OK) return closed ? 0 : kFailureCannotCreateFile;
  if (code == CURLE_ABORTED_BY_CALLBACK) return kFailureStopped;
  if (code == CURLE_HTTP_RETURNED_ERROR && http_status >= 400) {
    return static_cast<std::int32_t>(http_status);
  }
  return kTransferErrorBase + static_cast<std::int32_t>(code);
}

void EngineTask::Finish(std::int32_t status, std::int32_t failure_code) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.status = status;
  state_.failure_code = failure_code;
  if (status == 4) state_.file_name = file_name_;
}

void EngineTask::SetProgress(std::int64_t total, std::int64_t downloaded) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.total_bytes = total;
  state_.downloaded_bytes = downloaded;
}

}  // namespace velko::xldl
