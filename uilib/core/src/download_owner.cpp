#include "uilib/download_record.h"

#include <algorithm>

#include "uilib/text_util.h"

namespace uilib {
namespace {

DownloadService* g_service = nullptr;

bool Holds(const std::vector<std::unique_ptr<DownloadRecord>>& list, const DownloadRecord* record) {
  return std::any_of(list.begin(), list.end(),
                     [record](const std::unique_ptr<DownloadRecord>& r) { return r.get() == record; });
}

}  // namespace

bool IsDownloadableUrl(std::string_view url) {
  return StartsWithIgnoreCase(url, "http://") || StartsWithIgnoreCase(url, "https://");
}

DownloadService* ActiveDownloadService() { return g_service; }
void SetActiveDownloadService(DownloadService* service) { g_service = service; }

void DownloadService::Request(DownloadRequest request) {
  bool was_empty = false;
  {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    was_empty = queue_.empty();
    queue_.push_back(std::move(request));
  }
  // One wake-up per batch: RunRequests drains the whole queue.
  if (was_empty) Wake();
}

void DownloadService::RunRequests() {
  for (;;) {
    DownloadRequest request;
    {
      std::lock_guard<std::mutex> lock(queue_mutex_);
      if (queue_.empty()) return;
      request = std::move(queue_.front());
      queue_.pop_front();
    }
    // The owner is alive: it would have removed its requests (ForgetOwner) on
    // this thread before now. A completion may start a message loop that
    // runs RunRequests again; each request is taken out before it starts.
    auto record = std::make_unique<DownloadRecord>();
    record->url = std::move(request.url);
    record->owner = request.owner;
    record->client_value = request.client_value;
    record->max_bytes = request.max_bytes;
    DownloadRecord& started = *record;
    DownloadOwner& owner = *request.owner;
    if (request.is_file) {
      owner.file_downloads_.push_back(std::move(record));
      StartFile(owner, started);
    } else {
      owner.text_downloads_.push_back(std::move(record));
      StartText(owner, started);
    }
  }
}

void DownloadService::ForgetOwner(const DownloadOwner* owner) {
  std::lock_guard<std::mutex> lock(queue_mutex_);
  std::erase_if(queue_, [owner](const DownloadRequest& r) { return r.owner == owner; });
}

std::size_t DownloadService::QueuedRequests() const {
  std::lock_guard<std::mutex> lock(queue_mutex_);
  return queue_.size();
}

DownloadOwner::~DownloadOwner() { CancelDownloads(); }

void DownloadOwner::CancelDownloads() {
  DownloadService* service = ActiveDownloadService();
  if (service != nullptr) service->ForgetOwner(this);
  for (auto* list : {&file_downloads_, &text_downloads_}) {
    if (service != nullptr) {
      for (auto& record : *list) service->Dispose(*record);
    }
    list->clear();
  }
}

void DownloadOwner::DownloadFile(const char* url, std::uintptr_t clientValue) {
  DownloadFileUpTo(url, clientValue, kDefaultMaxFileBytes);
}

void DownloadOwner::DownloadFileUpTo(const char* url, std::uintptr_t clientValue, std::uint64_t maxBytes) {
  DownloadService* service = ActiveDownloadService();
  if (url == nullptr || service == nullptr) return;
  service->Request(DownloadRequest{this, url, clientValue, true, maxBytes});
}

void DownloadOwner::DownloadText(const char* url) {
  DownloadService* service = ActiveDownloadService();
  if (url == nullptr || service == nullptr) return;
  service->Request(DownloadRequest{this, url, 0, false, kDefaultMaxTextBytes});
}

void DownloadOwner::ReleaseDownload(DownloadRecord* record) {
  if (record == nullptr) return;
  for (auto* list : {&file_downloads_, &text_downloads_}) {
    if (!Holds(*list, record)) continue;
    if (DownloadService* service = ActiveDownloadService()) service->Dispose(*record);
    std::erase_if(*list, [record](const std::unique_ptr<DownloadRecord>& r) { return r.get() == record; });
    return;
  }
}

}  // namespace uilib
