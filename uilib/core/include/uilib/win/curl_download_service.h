// Downloads over one libcurl multi handle, driven by the UI thread only:
// requests made on any thread are posted to the library's message window, a
// thread timer pumps the multi handle (opened with the first transfer) every
// millisecond while transfers run, failed transfers are retried a few times by
// timers of that window, files go through the "UILibTemp"
// cache. One transfer per address serves every element that asked for it.
#pragma once

#include <winsock2.h>
#include <curl/curl.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "uilib/download_record.h"
#include "uilib/win/msg_window.h"

namespace uilib::win {

struct DownloadTimings {
  std::uint32_t retry_delay_ms = 10000;  // wait before a failed transfer runs again
  long first_timeout_s = 40;             // time-out of the first attempt
  long retry_timeout_s = 15;             // time-out of every retry
  int max_attempts = 4;                  // the first and three retries; then it is given up
};

class CurlDownloadService : public DownloadService {
 public:
  // `timer_window` receives kMsgRunDownloads and owns the retry timers;
  // `cache_folder` is the folder of the cache files (created with its parents
  // when a download needs it; empty: no file is downloaded).
  CurlDownloadService(CURLM* multi, HWND timer_window, std::wstring cache_folder, DownloadTimings timings = {});
  // The same with the multi handle opened by `open_multi` when the first
  // transfer needs it: starting libcurl loads Windows' network and security
  // libraries, which a program that never downloads should not wait for
  // before its first window. `open_multi` returns null when libcurl cannot
  // start; every transfer then fails as one that could not be set up.
  using MultiOpener = CURLM* (*)();
  CurlDownloadService(MultiOpener open_multi, HWND timer_window, std::wstring cache_folder,
                      DownloadTimings timings = {});
  ~CurlDownloadService() override;

  void StartFile(DownloadOwner& owner, DownloadRecord& record) override;
  void StartText(DownloadOwner& owner, DownloadRecord& record) override;
  void Dispose(DownloadRecord& record) override;

  // Starts queued requests, drives the multi handle until it wants no
  // immediate call, then completes every finished transfer.
  void Pump();
  // Transfers in the multi handle plus those waiting for their retry.
  int ActiveTransfers() const;
  // Told true when a transfer enters the multi handle and false when a pump
  // leaves none in it: the owner of the pump timer sets its pace by it.
  using PumpPacer = void (*)(bool transfers_running);
  void SetPumpPacer(PumpPacer pacer) { pacer_ = pacer; }

  const std::wstring& CacheFolder() const { return cache_folder_; }
  // Null until a transfer needed it (with a MultiOpener).
  CURLM* Multi() const { return multi_; }
  // The cache file of `url` (UTF-8).
  std::wstring CachePathFor(const std::string& url) const;

  // One transfer, shared by the records that wait for it (only ever one for
  // a text).
  struct Transfer;

 protected:
  void Wake() override;

 private:
  static void CALLBACK OnRetryTimer(HWND window, UINT message, UINT_PTR id, DWORD time);

  bool OpenMulti();
  Transfer* FindFileTransfer(const std::string& url) const;
  bool Configure(Transfer& transfer, long timeout_s);
  void Launch(std::unique_ptr<Transfer> transfer, DownloadOwner& owner, DownloadRecord& record);
  void Add(Transfer& transfer);
  void Finish(Transfer& transfer, CURLcode result);
  bool Succeeded(Transfer& transfer, CURLcode result);
  void Deliver(Transfer& transfer, bool ok);
  void Retry(Transfer& transfer);
  void End(Transfer* transfer);

  CURLM* multi_ = nullptr;
  MultiOpener open_multi_ = nullptr;
  HWND timer_window_;
  std::wstring cache_folder_;
  DownloadTimings timings_;
  std::vector<std::unique_ptr<Transfer>> transfers_;
  bool pumping_ = false;
  PumpPacer pacer_ = nullptr;
};

}  // namespace uilib::win
