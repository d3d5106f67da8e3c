// Baseline of the install benchmark: extracts an archive with the UnRAR
// library alone, no UI, no resource, no name checks:
//   bench_baseline_extract.exe ARCHIVE DEST_FOLDER
#include <windows.h>

#include "bench_report_win.h"
#include "unrar_extract_all.h"

int wmain(int argc, wchar_t** argv) {
  namespace bench = velko::installer::bench;
  const double entry_ms = bench::MillisecondsSinceProcessStart();
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_baseline_extract ARCHIVE DEST_FOLDER\n");
    return 2;
  }
  CreateDirectoryW(argv[2], nullptr);
  HANDLE archive = bench::OpenArchive(argv[1], RAR_OM_EXTRACT);
  if (archive == nullptr) return 1;
  const double opened_ms = bench::MillisecondsSinceProcessStart();
  const double opened_cpu_ms = bench::CpuMilliseconds();
  const unsigned long long files = bench::ExtractEveryEntry(archive, argv[2], [](unsigned long long) {});
  const double extracted_ms = bench::MillisecondsSinceProcessStart();
  const double extracted_cpu_ms = bench::CpuMilliseconds();
  RARCloseArchive(archive);
  bench::PrintReport("baseline", files, entry_ms);
  std::printf("opened_ms=%.1f extracted_ms=%.1f extraction_cpu_ms=%.1f\n", opened_ms, extracted_ms,
              extracted_cpu_ms - opened_cpu_ms);
  return 0;
}
