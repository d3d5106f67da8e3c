// Remote files and texts that an element fetches over HTTP. A request may be
// made on any thread (a paint on the render thread asks for a remote image);
// it is queued and started on the UI thread, which alone touches the
// transfers. A record lives from that start until its owner has consumed it
// (OnFileDownloaded / OnTextDownloaded release it) or the owner dies, which
// cancels its part of the transfer. Only http and https addresses are
// fetched, up to a size cap; failed transfers are retried a few times, then
// given up without telling the owner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
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
  bool retry_pending = false;       // a retry timer is running for its transfer
  std::uint64_t max_bytes = 0;      // the most that may be received
};

// Size caps of what a download may receive, unless the caller names another.
inline constexpr std::uint64_t kDefaultMaxFileBytes = 20ull << 20;  // an image
inline constexpr std::uint64_t kDefaultMaxTextBytes = 4ull << 20;

// Whether `url` is an address that downloads fetch: http or https (any case).
bool IsDownloadableUrl(std::string_view url);

// The element side of downloads: the two lists of running records and the
// operations that start and finish them.
class DownloadOwner {
 public:
  DownloadOwner() = default;
  DownloadOwner(const DownloadOwner&) = delete;
  DownloadOwner& operator=(const DownloadOwner&) = delete;
  // Cancels every running transfer and deletes its temporary file.
  virtual ~DownloadOwner();

  // Fetches `url` into the cache file (served from the cache when it is there
  // already) and then calls OnFileDownloaded, always from the UI thread's
  // message loop, never from inside this call. Any thread may call it.
  virtual void DownloadFile(const char* url, std::uintptr_t clientValue);
  // The same with a size cap other than kDefaultMaxFileBytes.
  void DownloadFileUpTo(const char* url, std::uintptr_t clientValue, std::uint64_t maxBytes);
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

// A download asked for and not started yet.
struct DownloadRequest {
  DownloadOwner* owner = nullptr;
  std::string url;
  std::uintptr_t client_value = 0;
  bool is_file = true;
  std::uint64_t max_bytes = 0;
};

// The machinery behind DownloadOwner: on Windows the libcurl multi handle of
// UILibStartup; without Win32 nothing is fetched.
class DownloadService {
 public:
  virtual ~DownloadService() = default;

  // Any thread: queues the request and asks the UI thread to start it.
  void Request(DownloadRequest request);
  // UI thread: starts the queued requests, one at a time, in their order.
  void RunRequests();
  // Drops the queued requests of an owner that is going away.
  void ForgetOwner(const DownloadOwner* owner);
  std::size_t QueuedRequests() const;

  // UI thread: start the record's transfer (or join a running one, or serve
  // it from the cache).
  virtual void StartFile(DownloadOwner& owner, DownloadRecord& record) = 0;
  virtual void StartText(DownloadOwner& owner, DownloadRecord& record) = 0;
  // Detaches the record from its transfer; a transfer that no record waits
  // for any more ends with its retry timer, and its temporary file is closed
  // and deleted.
  virtual void Dispose(DownloadRecord& record) = 0;

 protected:
  // Asks the UI thread to call RunRequests soon. Any thread may call it.
  virtual void Wake() {}
  // Releases a record that will not be delivered (a refused address, or a
  // download given up).
  static void Drop(DownloadOwner& owner, DownloadRecord* record) { owner.ReleaseDownload(record); }

 private:
  mutable std::mutex queue_mutex_;
  std::deque<DownloadRequest> queue_;
};

// The service of this process; null before start-up (downloads then do nothing).
DownloadService* ActiveDownloadService();
void SetActiveDownloadService(DownloadService* service);

}  // namespace uilib
