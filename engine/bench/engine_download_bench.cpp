// Download through the reference engine, polled every 50 ms as the updater's
// controller does, against a baseline of a plain libcurl download of the same
// body to a file, both from a loopback server in the same run.
//   engine_download_bench.exe [megabytes] [rounds]
#include <winsock2.h>
#include <curl/curl.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "route_http_server_win.h"
#include "velko/bench/plain_download_win.h"
#include "velko/engine/engine_download_steps.h"
#include "win_test_support.h"

namespace {

using velko::engine::PollStepResult;
using velko::test_support::HttpRoute;
using velko::test_support::RouteHttpServer;
using velko::test_support::TempFolder;

constexpr DWORD kPollIntervalMs = 50;

// Baseline: libcurl's easy interface straight into a file.
double PlainCurlMs(const std::string& url, const std::wstring& path) {
  const double start = velko::bench::MonotonicMs();
  velko::bench::PlainCurlDownload(url, path);
  return velko::bench::MonotonicMs() - start;
}

// The updater's way: start step, then one poll per 50 ms tick until complete.
double EngineMs(velko::engine::DownWrapper& engine, const std::string& url, const std::wstring& folder) {
  const double start = velko::bench::MonotonicMs();
  std::unique_ptr<velko::engine::EngineTaskParams> params;
  velko::engine::EngineTaskHandle task = nullptr;
  if (velko::engine::StartDownloadTask(&engine, url, folder, params, task) !=
      velko::engine::StartDownloadResult::kStarted) {
    std::printf("engine task did not start\n");
    return 0;
  }
  for (;;) {
    ::Sleep(kPollIntervalMs);
    const PollStepResult polled = velko::engine::PollDownloadTask(engine, task, *params);
    if (polled.kind == PollStepResult::Kind::kComplete) break;
    if (polled.kind != PollStepResult::Kind::kPending) {
      std::printf("engine download failed: %d\n", polled.failure_code);
      break;
    }
  }
  return velko::bench::MonotonicMs() - start;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int megabytes = argc > 1 ? std::atoi(argv[1]) : 64;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  std::string body(static_cast<std::size_t>(megabytes) << 20, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>((i * 131) >> 7);

  RouteHttpServer server;
  server.SetRoute("/pkg/velko_bench.rar", HttpRoute{200, "application/octet-stream", body});
  const std::string url = server.BaseUrl() + "/pkg/velko_bench.rar";
  TempFolder folder;
  curl_global_init(CURL_GLOBAL_ALL);
  const std::wstring engine_path = velko::test_support::ExecutableFolder() + L"\\xldl.dll";
  auto engine = velko::engine::LoadDownloadEngine(engine_path, nullptr);
  if (engine == nullptr) {
    std::printf("xldl.dll not found beside the benchmark\n");
    return 1;
  }

  std::vector<double> baseline, engine_runs;
  for (int round = 0; round < rounds; ++round) {
    baseline.push_back(PlainCurlMs(url, folder.Child(L"baseline.rar")));
    engine_runs.push_back(EngineMs(*engine, url, folder.path()));
  }
  const double base_ms = Median(baseline);
  const double engine_ms = Median(engine_runs);
  std::printf("body %d MiB, %d rounds, medians:\n", megabytes, rounds);
  std::printf("  baseline (plain libcurl to file): %8.1f ms  %7.1f MiB/s\n", base_ms,
              megabytes * 1000.0 / base_ms);
  std::printf("  engine (task + 50 ms polling):    %8.1f ms  %7.1f MiB/s\n", engine_ms,
              megabytes * 1000.0 / engine_ms);
  std::printf("  ratio engine / baseline: %.2f\n", engine_ms / base_ms);
  return 0;
}
