// The installer's install path without its windows: the package resource
// embedded in this program goes through the install worker (temporary
// archive, counting pass, extracting pass with progress) into a folder:
//   bench_install_worker.exe DEST_FOLDER TEMP_FOLDER
// The temporary archive is deleted at the end, as the installer does. The
// worker's phase marks go where VELKO_PHASE_TRACE says, as the installer's.
#include <windows.h>

#include "bench_report_win.h"
#include "phase_trace_sink_win.h"
#include "velko/installer/install_worker.h"

namespace {

class CountingHost : public velko::installer::InstallHost {
 public:
  bool AskGiveUpWhileBrowserRuns() override { return true; }
  void TempArchiveCreated(const std::wstring& path) override {
    temp_archive = path;
    archive_written_ms = velko::installer::bench::MillisecondsSinceProcessStart();
  }
  void ProgressChanged(double) override {
    if (progress_reports++ == 0) first_file_ms = velko::installer::bench::MillisecondsSinceProcessStart();
  }
  void ExtractionFinished(const std::wstring&) override {}
  void UserGaveUp() override {}

  std::wstring temp_archive;
  unsigned long long progress_reports = 0;
  double archive_written_ms = 0;
  double first_file_ms = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_install_worker DEST_FOLDER TEMP_FOLDER\n");
    return 2;
  }
  velko::installer::bench::StartPhaseTrace();  // the worker's own marks, when VELKO_PHASE_TRACE names a file
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  const velko::installer::InstallPlan plan{argv[1], self, argv[2]};
  CountingHost host;
  std::atomic<bool> stop{false};
  const velko::installer::InstallOutcome outcome = velko::installer::RunInstall(plan, host, stop);
  if (!host.temp_archive.empty()) DeleteFileW(host.temp_archive.c_str());
  if (outcome != velko::installer::InstallOutcome::kFinished) {
    std::fprintf(stderr, "install: %s\n", velko::installer::InstallOutcomeText(outcome));
    return 1;
  }
  std::printf("phases: archive written at %.1f ms, first file out at %.1f ms\n", host.archive_written_ms,
              host.first_file_ms);
  velko::installer::bench::PrintReport("installer", host.progress_reports);
  return 0;
}
