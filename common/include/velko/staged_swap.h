// Replacing an installation's files without ever losing it. A package is
// unpacked into a staging folder beside the install folder; only when every
// file is there are the staged files swapped in, one rename each. Before the
// first rename a journal beside the folder lists what the swap will do; while
// it exists, an interrupted swap is rolled back by the next run, and once it
// is deleted (the commit) the new files stand. The old files are kept as hard
// links (or copies) in a backup folder until the commit, and every installed
// file exists at every moment, old or new.
//
// Beside "<parent>\VelkoBrowser":
//   VelkoBrowser.staging   the unpacked package
//   VelkoBrowser.backup    the replaced files, until the commit
//   VelkoBrowser.swap      the journal (UTF-16LE lines)
//
// Whoever swaps or recovers must be the only one doing so: callers hold a
// SwapLock around recovery, staging and swap.
#pragma once

#ifndef _WIN32
#error "velko/staged_swap.h is Windows-only"
#endif

#include <windows.h>

#include <functional>
#include <string>

namespace velko {

// One swap or recovery of the installation at a time, across processes and
// sessions, installer and updater alike: a recovery must never roll back a
// swap that another process is doing.
class SwapLock {
 public:
  explicit SwapLock(DWORD wait_ms);
  ~SwapLock();
  SwapLock(const SwapLock&) = delete;
  SwapLock& operator=(const SwapLock&) = delete;
  bool held() const { return held_; }

 private:
  HANDLE mutex_;
  bool held_ = false;
};

std::wstring StagingFolderFor(const std::wstring& install_folder);
std::wstring BackupFolderFor(const std::wstring& install_folder);
std::wstring SwapJournalFor(const std::wstring& install_folder);

enum class SwapStatus {
  kSwapped,  // every staged file is installed; staging and backup are gone
  kInUse,    // a file to be replaced is open elsewhere: nothing was changed
  kFailed,   // a file could not be moved or backed up: everything was rolled back
};

struct SwapResult {
  SwapStatus status = SwapStatus::kFailed;
  std::wstring file;  // kInUse, kFailed: the install-folder file concerned
  DWORD error = 0;    // its Windows error code
};

// Named moments of a swap, for tests that end the process there:
// "journal written", "half swapped", "all swapped", "committed".
using SwapPointHook = std::function<void(const char* point)>;

// Swaps every file of StagingFolderFor(install_folder) into the install
// folder (creating its folders). Files of the install folder that the
// staging folder does not hold stay. The staging folder is removed in every
// outcome.
SwapResult SwapStagedFiles(const std::wstring& install_folder, const SwapPointHook& hook = nullptr);

enum class RecoveryOutcome {
  kNothingToDo,  // no journal, no leftovers
  kCleanedUp,    // leftovers of a swap that had not begun or had committed removed
  kRolledBack,   // an interrupted swap was undone: the old files are back
  kFailed,       // a file could not be restored (in use): the journal stays for the next run
};

// Finishes what an interrupted run left beside the install folder: rolls a
// swap with a journal back, removes staging and backup folders. Idempotent.
RecoveryOutcome RecoverInterruptedSwap(const std::wstring& install_folder);

// Removes a folder and everything below it. Reparse points (junctions,
// symbolic links) are removed themselves, never followed. True when the
// folder is gone afterwards (a missing folder counts).
bool RemoveFolderTree(const std::wstring& folder);

}  // namespace velko
