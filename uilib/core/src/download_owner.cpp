#include "uilib/download_record.h"

#include <algorithm>

namespace uilib {
namespace {

DownloadService* g_service = nullptr;

bool Holds(const std::vector<std::unique_ptr<DownloadRecord>>& list, const DownloadRecord* record) {
  return std::any_of(list.begin(), list.end(),
                     [record](const std::unique_ptr<DownloadRecord>& r) { return r.get() == record; });
}

}  // namespace

DownloadService* ActiveDownloadService() { return g_service; }
void SetActiveDownloadService(DownloadService* service) { g_service = service; }

DownloadOwner::~DownloadOwner() { CancelDownloads(); }

void DownloadOwner::CancelDownloads() {
  DownloadService* service = ActiveDownloadService();
  for (auto* list : {&file_downloads_, &text_downloads_}) {
    if (service != nullptr) {
      for (auto& record : *list) service->Dispose(*record);
    }
    list->clear();
  }
}

void DownloadOwner::DownloadFile(const char* url, std::uintptr_t clientValue) {
  DownloadService* service = ActiveDownloadService();
  if (url == nullptr || service == nullptr) return;
  auto record = std::make_unique<DownloadRecord>();
  record->url = url;
  record->owner = this;
  record->client_value = clientValue;
  DownloadRecord& started = *record;
  file_downloads_.push_back(std::move(record));
  service->StartFile(*this, started);
}

void DownloadOwner::DownloadText(const char* url) {
  DownloadService* service = ActiveDownloadService();
  if (url == nullptr || service == nullptr) return;
  auto record = std::make_unique<DownloadRecord>();
  record->url = url;
  record->owner = this;
  DownloadRecord& started = *record;
  text_downloads_.push_back(std::move(record));
  service->StartText(*this, started);
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
