#include "uilib/win/curl_download_service.h"

#include <cctype>

#include "uilib/cache_naming.h"
#include "uilib/text_util.h"
#include "uilib/win/shared_temp_file.h"
#include "velko/file_utils.h"
#include "velko/path_text.h"
#include "velko/wide_text.h"

namespace uilib::win {
namespace {

size_t WriteToFile(char* data, size_t size, size_t count, void* user) {
  auto* record = static_cast<DownloadRecord*>(user);
  size_t bytes = size * count;
  if (record->file == nullptr || bytes > MAXDWORD) return 0;  // no temporary file: fail and retry
  DWORD written = 0;
  if (!WriteFile(static_cast<HANDLE>(record->file), data, static_cast<DWORD>(bytes), &written, nullptr)) return 0;
  return written;
}

size_t AppendToText(char* data, size_t size, size_t count, void* user) {
  auto* record = static_cast<DownloadRecord*>(user);
  record->text.append(data, size * count);
  return size * count;
}

bool IsHttpSuccess(CURL* transfer, CURLcode result) {
  long code = 0;
  curl_easy_getinfo(transfer, CURLINFO_RESPONSE_CODE, &code);
  return result == CURLE_OK && code / 100 == 2;
}

void CloseFile(DownloadRecord& record) {
  if (record.file != nullptr) CloseHandle(static_cast<HANDLE>(record.file));
  record.file = nullptr;
}

// The open temporary file, or null when it cannot be created (another
// transfer of the same URL may hold it; the write then fails and is retried).
void* OpenTemp(const std::wstring& path, bool for_everyone) {
  HANDLE file = for_everyone ? CreateTempFileForEveryone(path) : CreateTempFile(path);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

CurlDownloadService* g_instance = nullptr;

}  // namespace

CurlDownloadService::CurlDownloadService(CURLM* multi, HWND timer_window, std::wstring cache_folder,
                                         DownloadTimings timings)
    : multi_(multi), timer_window_(timer_window), cache_folder_(std::move(cache_folder)), timings_(timings) {
  g_instance = this;
}

CurlDownloadService::~CurlDownloadService() {
  if (g_instance == this) g_instance = nullptr;
}

std::wstring CurlDownloadService::CachePathFor(const std::string& url) const {
  std::wstring wide_url = velko::Utf8ToWide(url);
  std::wstring name = velko::ToWide(CacheFileName(velko::ToU16(wide_url)));
  return velko::JoinPath<wchar_t>(cache_folder_, name);
}

CURL* CurlDownloadService::NewTransfer(DownloadRecord& record, bool is_file, long timeout_s) const {
  CURL* transfer = curl_easy_init();
  if (transfer == nullptr) return nullptr;
  curl_easy_setopt(transfer, CURLOPT_URL, record.url.c_str());
  curl_easy_setopt(transfer, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(transfer, CURLOPT_WRITEFUNCTION, is_file ? &WriteToFile : &AppendToText);
  curl_easy_setopt(transfer, CURLOPT_WRITEDATA, &record);
  curl_easy_setopt(transfer, CURLOPT_PRIVATE, &record);
  curl_easy_setopt(transfer, CURLOPT_TIMEOUT, timeout_s);
  curl_easy_setopt(transfer, CURLOPT_NOSIGNAL, 1L);
  record.completion = is_file ? &CompleteFile : &CompleteText;
  record.transfer = transfer;
  return transfer;
}

void CurlDownloadService::Add(CURL* transfer) {
  if (curl_multi_add_handle(multi_, transfer) == CURLM_OK) ++active_;
}

void CurlDownloadService::StartFile(DownloadOwner& owner, DownloadRecord& record) {
  record.final_path = CachePathFor(record.url);
  record.temp_path = record.final_path + std::wstring(kTempSuffix.begin(), kTempSuffix.end());
  if (GetFileAttributesW(record.final_path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    record.success = true;  // the cache never expires
    owner.OnFileDownloaded(&record);
    return;
  }
  velko::CreateDirectoryTree(cache_folder_);
  record.file = OpenTemp(record.temp_path, false);
  if (CURL* transfer = NewTransfer(record, true, timings_.first_timeout_s)) Add(transfer);
}

void CurlDownloadService::StartText(DownloadOwner&, DownloadRecord& record) {
  if (CURL* transfer = NewTransfer(record, false, timings_.first_timeout_s)) Add(transfer);
}

void CurlDownloadService::Dispose(DownloadRecord& record) {
  if (record.transfer != nullptr) {
    auto* transfer = static_cast<CURL*>(record.transfer);
    if (record.retry_pending) {
      KillTimer(timer_window_, reinterpret_cast<UINT_PTR>(transfer));
      --waiting_;
    } else if (curl_multi_remove_handle(multi_, transfer) == CURLM_OK) {
      --active_;
    }
    curl_easy_cleanup(transfer);
    record.transfer = nullptr;
    record.retry_pending = false;
  }
  if (record.file != nullptr) {
    CloseFile(record);
    DeleteFileW(record.temp_path.c_str());
  }
}

void CurlDownloadService::Pump() {
  // A completion routine that runs a message loop (a message box, say) lets
  // the pump timer fire inside it; the multi handle must not be re-entered.
  if (pumping_) return;
  pumping_ = true;
  int running = 0;
  while (curl_multi_perform(multi_, &running) == CURLM_CALL_MULTI_PERFORM) {
  }
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    Finish(message->easy_handle, message->data.result);
  }
  pumping_ = false;
}

void CurlDownloadService::Finish(CURL* transfer, CURLcode result) {
  DownloadRecord* record = nullptr;
  curl_easy_getinfo(transfer, CURLINFO_PRIVATE, reinterpret_cast<char**>(&record));
  record->success = IsHttpSuccess(transfer, result);
  if (record->completion == &CompleteText) {
    char* type = nullptr;
    curl_easy_getinfo(transfer, CURLINFO_CONTENT_TYPE, &type);
    record->content_type = type != nullptr ? type : "";
  }
  curl_multi_remove_handle(multi_, transfer);
  --active_;
  curl_easy_cleanup(transfer);
  record->transfer = nullptr;
  record->completion(record);
}

void CurlDownloadService::CompleteFile(DownloadRecord* record) {
  if (g_instance != nullptr) g_instance->OnFileFinished(*record, record->success);
}

void CurlDownloadService::CompleteText(DownloadRecord* record) {
  if (g_instance != nullptr) g_instance->OnTextFinished(*record, record->success);
}

void CurlDownloadService::OnFileFinished(DownloadRecord& record, bool ok) {
  CloseFile(record);
  if (ok) {
    DeleteFileW(record.final_path.c_str());
    ok = MoveFileW(record.temp_path.c_str(), record.final_path.c_str()) != FALSE;
    record.success = ok;
  }
  if (ok) {
    record.owner->OnFileDownloaded(&record);
    return;
  }
  record.file = OpenTemp(record.temp_path, true);
  ScheduleRetry(record, true);
}

void CurlDownloadService::OnTextFinished(DownloadRecord& record, bool ok) {
  std::string type = record.content_type;
  for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ok && type.find("xml") != std::string::npos) {
    record.owner->OnTextDownloaded(&record);
    return;
  }
  record.success = false;
  record.text.clear();
  ScheduleRetry(record, false);
}

void CurlDownloadService::ScheduleRetry(DownloadRecord& record, bool is_file) {
  CURL* transfer = NewTransfer(record, is_file, timings_.retry_timeout_s);
  if (transfer == nullptr) return;
  record.retry_pending = true;
  ++waiting_;
  SetTimer(timer_window_, reinterpret_cast<UINT_PTR>(transfer), timings_.retry_delay_ms, &OnRetryTimer);
}

void CALLBACK CurlDownloadService::OnRetryTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  CurlDownloadService* self = g_instance;
  if (self == nullptr) return;
  auto* transfer = reinterpret_cast<CURL*>(id);
  DownloadRecord* record = nullptr;
  curl_easy_getinfo(transfer, CURLINFO_PRIVATE, reinterpret_cast<char**>(&record));
  record->retry_pending = false;
  --self->waiting_;
  self->Add(transfer);
}

}  // namespace uilib::win
