// Remote files and texts that an element fetches over HTTP. A record lives
// from the start of a download until its owner has consumed it
// (OnFileDownloaded / OnTextDownloaded release it) or the owner dies, which
// cancels the transfer and deletes its partly written file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace uilib {

class DownloadOwner;

struct DownloadRecord {
  void (*completion)(DownloadRecord* record) = nullptr;
  void* transfer = nullptr;  // libcurl easy handle while a transfer exists
  std::string url;
  std::string text;          // text downloads: the received bytes
  std::string content_type;  // text downloads
  void* file = nullptr;      // file downloads: the open temporary file
  std::wstring final_path;   // file downloads: the cache file
  std::wstring temp_path;    // file downloads: the cache file + ".temp"
  DownloadOwner* owner = nullptr;
  bool success = false;
  std::uintptr_t client_value = 0;  // file downloads: given by the starter
  bool retry_pending = false;       // a retry timer is running for it
};

// The element side of downloads: the two lists of running records and the
// operations that start and finish them.
class DownloadOwner {
 public:
  DownloadOwner() = default;
  DownloadOwner(const DownloadOwner&) = delete;
  DownloadOwner& operator=(const DownloadOwner&) = delete;
  // Cancels every running transfer and deletes its temporary file.
  virtual ~DownloadOwner();

  // Fetches `url` into the cache file (at once when it is cached already) and
  // then calls OnFileDownloaded.
  virtual void DownloadFile(const char* url, std::uintptr_t clientValue);
  // Fetches `url` into memory; calls OnTextDownloaded once an XML text arrived.
  virtual void DownloadText(const char* url);
  // The base behaviour releases the record; kinds read it first.
  virtual void OnFileDownloaded(DownloadRecord* record) { ReleaseDownload(record); }
  virtual void OnTextDownloaded(DownloadRecord* record) { ReleaseDownload(record); }

  std::size_t FileDownloadCount() const { return file_downloads_.size(); }
  std::size_t TextDownloadCount() const { return text_downloads_.size(); }

 protected:
  // Removes the record from its list, ends its transfer and frees it.
  void ReleaseDownload(DownloadRecord* record);

 private:
  friend class DownloadService;
  void CancelDownloads();

  std::vector<std::unique_ptr<DownloadRecord>> file_downloads_;
  std::vector<std::unique_ptr<DownloadRecord>> text_downloads_;
};

// The machinery behind DownloadOwner: on Windows the libcurl multi handle of
// UILibStartup; without Win32 nothing is fetched.
class DownloadService {
 public:
  virtual ~DownloadService() = default;
  virtual void StartFile(DownloadOwner& owner, DownloadRecord& record) = 0;
  virtual void StartText(DownloadOwner& owner, DownloadRecord& record) = 0;
  // Ends the record's transfer and retry timer and closes and deletes its
  // temporary file.
  virtual void Dispose(DownloadRecord& record) = 0;

 protected:
  static std::vector<std::unique_ptr<DownloadRecord>>& FileList(DownloadOwner& o) { return o.file_downloads_; }
  static std::vector<std::unique_ptr<DownloadRecord>>& TextList(DownloadOwner& o) { return o.text_downloads_; }
};

// The service of this process; null before start-up (downloads then do nothing).
DownloadService* ActiveDownloadService();
void SetActiveDownloadService(DownloadService* service);

}  // namespace uilib
