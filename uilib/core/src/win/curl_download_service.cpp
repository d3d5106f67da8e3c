#include "uilib/win/curl_download_service.h"

#include <algorithm>
#include <cctype>

#include "uilib/cache_naming.h"
#include "uilib/win/cache_files.h"
#include "velko/file_utils.h"
#include "velko/path_text.h"
#include "velko/wide_text.h"

namespace uilib::win {

struct CurlDownloadService::Transfer {
  bool is_file = true;
  std::string url;
  CURL* easy = nullptr;
  std::wstring final_path;        // file transfers: the cache file
  ExclusiveFile temp;             // file transfers: where the body is written
  std::string text;               // text transfers: the body
  std::string content_type;       // text transfers
  std::vector<DownloadRecord*> waiters;
  std::uint64_t max_bytes = 0;
  std::uint64_t received = 0;
  int attempts = 0;
  bool in_multi = false;
  bool retry_pending = false;
  bool over_cap = false;
  bool delivering = false;  // its waiters are being told; it ends afterwards
};

namespace {

using Transfer = CurlDownloadService::Transfer;

// The live services (the runtime's, and any a test makes): a retry timer
// finds its transfer among them.
std::vector<CurlDownloadService*> g_services;

// Counts `bytes` against the cap; past it the transfer fails for good.
bool Accept(Transfer& t, size_t bytes) {
  if (bytes > t.max_bytes - t.received) {
    t.over_cap = true;
    return false;
  }
  t.received += bytes;
  return true;
}

size_t WriteToFile(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  if (t.temp.handle == INVALID_HANDLE_VALUE || bytes > MAXDWORD || !Accept(t, bytes)) return 0;
  DWORD written = 0;
  if (!WriteFile(t.temp.handle, data, static_cast<DWORD>(bytes), &written, nullptr)) return 0;
  return written;
}

size_t AppendToText(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  if (!Accept(t, bytes)) return 0;
  t.text.append(data, bytes);
  return bytes;
}

// Failures that another attempt cannot mend.
bool IsPermanent(const Transfer& t, CURLcode result) {
  return t.over_cap || result == CURLE_UNSUPPORTED_PROTOCOL || result == CURLE_URL_MALFORMAT ||
         result == CURLE_FILESIZE_EXCEEDED || result == CURLE_TOO_MANY_REDIRECTS;
}

void CloseTemp(ExclusiveFile& temp) {
  if (temp.handle != INVALID_HANDLE_VALUE) CloseHandle(temp.handle);
  temp.handle = INVALID_HANDLE_VALUE;
}

void Attach(Transfer& t, DownloadRecord& record) {
  t.waiters.push_back(&record);
  record.transfer = t.easy;
  record.file = t.is_file ? t.temp.handle : nullptr;
  record.temp_path = t.temp.path;
  record.retry_pending = t.retry_pending;
}

}  // namespace

CurlDownloadService::CurlDownloadService(CURLM* multi, HWND timer_window, std::wstring cache_folder,
                                         DownloadTimings timings)
    : multi_(multi), timer_window_(timer_window), cache_folder_(std::move(cache_folder)), timings_(timings) {
  g_services.push_back(this);
}

CurlDownloadService::CurlDownloadService(MultiOpener open_multi, HWND timer_window, std::wstring cache_folder,
                                         DownloadTimings timings)
    : CurlDownloadService(static_cast<CURLM*>(nullptr), timer_window, std::move(cache_folder), timings) {
  open_multi_ = open_multi;
}

bool CurlDownloadService::OpenMulti() {
  if (multi_ == nullptr && open_multi_ != nullptr) {
    multi_ = open_multi_();
    if (multi_ == nullptr) open_multi_ = nullptr;  // libcurl cannot start: not tried again
  }
  return multi_ != nullptr;
}

CurlDownloadService::~CurlDownloadService() {
  while (!transfers_.empty()) End(transfers_.back().get());
  std::erase(g_services, this);
}

std::wstring CurlDownloadService::CachePathFor(const std::string& url) const {
  std::wstring wide_url = velko::Utf8ToWide(url);
  std::wstring name = velko::ToWide(CacheFileName(velko::ToU16(wide_url)));
  return velko::JoinPath<wchar_t>(cache_folder_, name);
}

int CurlDownloadService::ActiveTransfers() const {
  return static_cast<int>(std::count_if(transfers_.begin(), transfers_.end(), [](const auto& t) {
    return t->in_multi || t->retry_pending;
  }));
}

void CurlDownloadService::Wake() { PostMessageW(timer_window_, kMsgRunDownloads, 0, 0); }

CurlDownloadService::Transfer* CurlDownloadService::FindFileTransfer(const std::string& url) const {
  for (const auto& t : transfers_) {
    if (t->is_file && !t->delivering && t->url == url) return t.get();
  }
  return nullptr;
}

bool CurlDownloadService::Configure(Transfer& t, long timeout_s) {
  if (t.easy == nullptr) t.easy = curl_easy_init();
  if (t.easy == nullptr) return false;
  curl_easy_setopt(t.easy, CURLOPT_URL, t.url.c_str());
  // Only web addresses, also where a redirect leads; never a local file.
  curl_easy_setopt(t.easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(t.easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(t.easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(t.easy, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(t.easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(t.max_bytes));
  curl_easy_setopt(t.easy, CURLOPT_WRITEFUNCTION, t.is_file ? &WriteToFile : &AppendToText);
  curl_easy_setopt(t.easy, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(t.easy, CURLOPT_PRIVATE, &t);
  curl_easy_setopt(t.easy, CURLOPT_TIMEOUT, timeout_s);
  curl_easy_setopt(t.easy, CURLOPT_NOSIGNAL, 1L);
  return true;
}

void CurlDownloadService::Launch(std::unique_ptr<Transfer> owned, DownloadOwner& owner, DownloadRecord& record) {
  Transfer& t = *owned;
  if (!OpenMulti() || !Configure(t, timings_.first_timeout_s)) {
    if (t.easy != nullptr) curl_easy_cleanup(t.easy);
    CloseTemp(t.temp);
    if (!t.temp.path.empty()) DeleteFileW(t.temp.path.c_str());
    Drop(owner, &record);
    return;
  }
  transfers_.push_back(std::move(owned));
  Attach(t, record);
  Add(t);
}

void CurlDownloadService::StartFile(DownloadOwner& owner, DownloadRecord& record) {
  if (record.max_bytes == 0) record.max_bytes = kDefaultMaxFileBytes;
  // Without a temporary folder there is no cache: nothing is written anywhere else.
  if (!IsDownloadableUrl(record.url) || cache_folder_.empty()) {
    Drop(owner, &record);
    return;
  }
  record.final_path = CachePathFor(record.url);
  if (IsPlainFile(record.final_path)) {
    record.success = true;  // the cache never expires
    owner.OnFileDownloaded(&record);
    return;
  }
  // A folder, link or junction where the cache file belongs is never followed.
  if (IsFolderOrLink(record.final_path) || !PrepareCacheFolder(cache_folder_)) {
    Drop(owner, &record);
    return;
  }
  if (Transfer* running = FindFileTransfer(record.url)) {
    Attach(*running, record);
    return;
  }
  auto t = std::make_unique<Transfer>();
  t->url = record.url;
  t->final_path = record.final_path;
  t->max_bytes = record.max_bytes;
  t->temp = CreateExclusiveTempFile(t->final_path);
  if (t->temp.handle == INVALID_HANDLE_VALUE) {
    Drop(owner, &record);
    return;
  }
  Launch(std::move(t), owner, record);
}

void CurlDownloadService::StartText(DownloadOwner& owner, DownloadRecord& record) {
  if (record.max_bytes == 0) record.max_bytes = kDefaultMaxTextBytes;
  if (!IsDownloadableUrl(record.url)) {
    Drop(owner, &record);
    return;
  }
  auto t = std::make_unique<Transfer>();
  t->is_file = false;
  t->url = record.url;
  t->max_bytes = record.max_bytes;
  Launch(std::move(t), owner, record);
}

void CurlDownloadService::Add(Transfer& t) {
  ++t.attempts;
  if (curl_multi_add_handle(multi_, t.easy) == CURLM_OK) {
    t.in_multi = true;
    if (pacer_ != nullptr) pacer_(true);
    return;
  }
  Deliver(t, false);
}

void CurlDownloadService::Dispose(DownloadRecord& record) {
  for (const auto& owned : transfers_) {
    Transfer* t = owned.get();
    auto it = std::find(t->waiters.begin(), t->waiters.end(), &record);
    if (it == t->waiters.end()) continue;
    t->waiters.erase(it);
    record.transfer = nullptr;
    record.file = nullptr;
    record.retry_pending = false;
    // Others may still wait for the same address.
    if (t->waiters.empty() && !t->delivering) End(t);
    return;
  }
}

void CurlDownloadService::End(Transfer* t) {
  if (t->retry_pending) KillTimer(timer_window_, reinterpret_cast<UINT_PTR>(t));
  if (t->easy != nullptr) {
    if (t->in_multi) curl_multi_remove_handle(multi_, t->easy);
    curl_easy_cleanup(t->easy);
  }
  CloseTemp(t->temp);
  if (!t->temp.path.empty()) DeleteFileW(t->temp.path.c_str());  // nothing there once moved to the cache
  for (DownloadRecord* record : t->waiters) {
    record->transfer = nullptr;
    record->file = nullptr;
  }
  std::erase_if(transfers_, [t](const std::unique_ptr<Transfer>& owned) { return owned.get() == t; });
}

void CurlDownloadService::Pump() {
  // A completion routine that runs a message loop (a message box, say) lets
  // the pump timer fire inside it; the multi handle must not be re-entered.
  if (pumping_) return;
  pumping_ = true;
  RunRequests();  // in case a posted wake-up was lost
  if (multi_ == nullptr) {  // nothing was ever transferred
    pumping_ = false;
    return;
  }
  int running = 0;
  while (curl_multi_perform(multi_, &running) == CURLM_CALL_MULTI_PERFORM) {
  }
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    Transfer* t = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, reinterpret_cast<char**>(&t));
    if (t != nullptr) Finish(*t, message->data.result);
  }
  pumping_ = false;
  const bool running_any = std::any_of(transfers_.begin(), transfers_.end(), [](const auto& t) { return t->in_multi; });
  if (pacer_ != nullptr && !running_any) pacer_(false);
}

void CurlDownloadService::Finish(Transfer& t, CURLcode result) {
  curl_multi_remove_handle(multi_, t.easy);
  t.in_multi = false;
  if (Succeeded(t, result)) {
    Deliver(t, true);
  } else if (IsPermanent(t, result) || t.attempts >= timings_.max_attempts) {
    Deliver(t, false);
  } else {
    Retry(t);
  }
}

bool CurlDownloadService::Succeeded(Transfer& t, CURLcode result) {
  long code = 0;
  curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &code);
  if (result != CURLE_OK || code / 100 != 2 || t.over_cap) return false;
  if (!t.is_file) {
    char* type = nullptr;
    curl_easy_getinfo(t.easy, CURLINFO_CONTENT_TYPE, &type);
    t.content_type = type != nullptr ? type : "";
    std::string lower = t.content_type;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("xml") != std::string::npos;
  }
  CloseTemp(t.temp);
  // The rename replaces a plain file (or a link planted since: the link
  // itself, never its target); a folder or junction makes it fail.
  if (!IsFolderOrLink(t.final_path) &&
      MoveFileExW(t.temp.path.c_str(), t.final_path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  // A retry writes to a new temporary file.
  DeleteFileW(t.temp.path.c_str());
  t.temp = CreateExclusiveTempFile(t.final_path);
  return false;
}

void CurlDownloadService::Deliver(Transfer& t, bool ok) {
  t.delivering = true;
  CloseTemp(t.temp);
  // One waiter at a time: a completion may release other waiters.
  while (!t.waiters.empty()) {
    DownloadRecord* record = t.waiters.front();
    t.waiters.erase(t.waiters.begin());
    record->transfer = nullptr;
    record->file = nullptr;
    record->retry_pending = false;
    DownloadOwner& owner = *record->owner;
    if (!ok) {
      Drop(owner, record);
    } else if (t.is_file) {
      record->success = true;
      owner.OnFileDownloaded(record);
    } else {
      record->success = true;
      record->text = t.text;
      record->content_type = t.content_type;
      owner.OnTextDownloaded(record);
    }
  }
  End(&t);
}

void CurlDownloadService::Retry(Transfer& t) {
  t.received = 0;
  t.text.clear();
  if (t.is_file) {
    if (t.temp.handle == INVALID_HANDLE_VALUE) {
      Deliver(t, false);  // no new temporary file could be made
      return;
    }
    SetFilePointer(t.temp.handle, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(t.temp.handle);
  }
  curl_easy_setopt(t.easy, CURLOPT_TIMEOUT, timings_.retry_timeout_s);
  t.retry_pending = true;
  for (DownloadRecord* record : t.waiters) {
    record->retry_pending = true;
    record->file = t.temp.handle;
    record->temp_path = t.temp.path;
  }
  SetTimer(timer_window_, reinterpret_cast<UINT_PTR>(&t), timings_.retry_delay_ms, &OnRetryTimer);
}

void CALLBACK CurlDownloadService::OnRetryTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  for (CurlDownloadService* service : g_services) {
    for (const auto& owned : service->transfers_) {
      Transfer& t = *owned;
      if (reinterpret_cast<UINT_PTR>(&t) != id || !t.retry_pending) continue;
      t.retry_pending = false;
      for (DownloadRecord* record : t.waiters) record->retry_pending = false;
      service->Add(t);
      return;
    }
  }
}

}  // namespace uilib::win
