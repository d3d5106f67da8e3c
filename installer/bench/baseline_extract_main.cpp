// Baseline of the install benchmark: extracts an archive with the UnRAR
// library alone, no UI, no resource, no name checks:
//   bench_baseline_extract.exe ARCHIVE DEST_FOLDER
#include <windows.h>
#include <unrar/dll.hpp>

#include <memory>
#include <string>

#include "bench_report_win.h"

int wmain(int argc, wchar_t** argv) {
  const double entry_ms = velko::installer::bench::MillisecondsSinceProcessStart();
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_baseline_extract ARCHIVE DEST_FOLDER\n");
    return 2;
  }
  CreateDirectoryW(argv[2], nullptr);
  RAROpenArchiveDataEx open{};
  open.ArcNameW = argv[1];
  open.OpenMode = RAR_OM_EXTRACT;
  HANDLE archive = RAROpenArchiveEx(&open);
  if (archive == nullptr || open.OpenResult != ERAR_SUCCESS) return 1;
  const double opened_ms = velko::installer::bench::MillisecondsSinceProcessStart();
  auto header = std::make_unique<RARHeaderDataEx>();
  unsigned long long files = 0;
  while (RARReadHeaderEx(archive, header.get()) == ERAR_SUCCESS) {
    const bool folder = (header->Flags & RHDF_DIRECTORY) != 0;
    RARProcessFileW(archive, folder ? RAR_SKIP : RAR_EXTRACT, argv[2], nullptr);
    files += folder ? 0 : 1;
  }
  const double extracted_ms = velko::installer::bench::MillisecondsSinceProcessStart();
  RARCloseArchive(archive);
  velko::installer::bench::PrintReport("baseline", files, entry_ms);
  std::printf("opened_ms=%.1f extracted_ms=%.1f\n", opened_ms, extracted_ms);
  return 0;
}
