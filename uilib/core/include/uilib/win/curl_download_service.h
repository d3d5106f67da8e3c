// Downloads over one libcurl multi handle, driven by the UI thread: a 1 ms
// thread timer pumps the multi handle, failed transfers are retried by timers
// of the library's message window, files go through the "UILibTemp" cache.
#pragma once

#include <winsock2.h>
#include <curl/curl.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "uilib/download_record.h"

namespace uilib::win {

struct DownloadTimings {
  std::uint32_t retry_delay_ms = 10000;  // wait before a failed transfer runs again
  long first_timeout_s = 40;             // time-out of the first attempt
  long retry_timeout_s = 15;             // time-out of every retry
};

class CurlDownloadService : public DownloadService {
 public:
  // `timer_window` owns the retry timers; `cache_folder` is the folder of the
  // cache files (created with its parents when a download needs it).
  CurlDownloadService(CURLM* multi, HWND timer_window, std::wstring cache_folder, DownloadTimings timings = {});
  ~CurlDownloadService() override;

  void StartFile(DownloadOwner& owner, DownloadRecord& record) override;
  void StartText(DownloadOwner& owner, DownloadRecord& record) override;
  void Dispose(DownloadRecord& record) override;

  // Drives the multi handle until it wants no immediate call, then completes
  // every finished transfer.
  void Pump();
  // Transfers in the multi handle plus those waiting for their retry.
  int ActiveTransfers() const { return active_ + waiting_; }

  const std::wstring& CacheFolder() const { return cache_folder_; }
  // The cache file of `url` (UTF-8).
  std::wstring CachePathFor(const std::string& url) const;

 private:
  static void CALLBACK OnRetryTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
  static void CompleteFile(DownloadRecord* record);
  static void CompleteText(DownloadRecord* record);

  CURL* NewTransfer(DownloadRecord& record, bool is_file, long timeout_s) const;
  void Add(CURL* transfer);
  void Finish(CURL* transfer, CURLcode result);
  void ScheduleRetry(DownloadRecord& record, bool is_file);
  void OnFileFinished(DownloadRecord& record, bool ok);
  void OnTextFinished(DownloadRecord& record, bool ok);

  CURLM* multi_;
  HWND timer_window_;
  std::wstring cache_folder_;
  DownloadTimings timings_;
  int active_ = 0;
  int waiting_ = 0;
  bool pumping_ = false;
};

}  // namespace uilib::win
