#include "velko/staged_swap.h"

#include <string_view>
#include <vector>

#include "velko/file_utils.h"

namespace velko {
namespace {

constexpr wchar_t kSwapMutexName[] = L"Global\\VelkoBrowserApply";
constexpr wchar_t kJournalHeader[] = L"velko staged swap 1";
constexpr wchar_t kReplacesOld = L'R';  // the file existed: its old version is in the backup
constexpr wchar_t kIsNew = L'N';        // the file did not exist before the swap
constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

struct SwapEntry {
  std::wstring relative;  // below the install, staging and backup folders
  bool replaces_old = false;
};

std::wstring Child(const std::wstring& folder, const std::wstring& relative) {
  return folder + L"\\" + relative;
}

std::wstring ParentOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsReparsePoint(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// The files below `folder`, relative to `root`, never through reparse points.
void ListFiles(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& files) {
  const std::wstring folder = relative.empty() ? root : Child(root, relative);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
    if (IsReparsePoint(found.dwFileAttributes)) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListFiles(root, child, files);
    } else {
      files.push_back(child);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// Whether `path` can be replaced now: opened for writing and deleting with
// no sharing, which fails while any other handle (a running program, an
// open document) is on it.
DWORD ReplaceableError(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(file);
  return ERROR_SUCCESS;
}

std::wstring JournalText(const std::vector<SwapEntry>& entries) {
  std::wstring text = kJournalHeader;
  text += L"\n";
  for (const SwapEntry& entry : entries) {
    text += entry.replaces_old ? kReplacesOld : kIsNew;
    text += entry.relative;
    text += L"\n";
  }
  return text;
}

// Written beside and renamed into place, so the journal is whole or absent.
bool WriteJournal(const std::wstring& journal, const std::vector<SwapEntry>& entries) {
  const std::wstring text = JournalText(entries);
  const std::wstring temp = journal + L".tmp";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), bytes, &written, nullptr) && written == bytes &&
                  FlushFileBuffers(file);
  CloseHandle(file);
  if (!ok || !MoveFileExW(temp.c_str(), journal.c_str(), kMoveFlags)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

enum class JournalRead { kAbsent, kRead, kUnreadable };

JournalRead ReadJournal(const std::wstring& journal, std::vector<SwapEntry>& entries) {
  HANDLE file = CreateFileW(journal.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? JournalRead::kAbsent : JournalRead::kUnreadable;
  }
  LARGE_INTEGER size{};
  std::wstring text;
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20) && size.QuadPart % 2 == 0;
  if (ok) {
    text.resize(static_cast<std::size_t>(size.QuadPart) / sizeof(wchar_t));
    DWORD read = 0;
    ok = ReadFile(file, text.data(), static_cast<DWORD>(size.QuadPart), &read, nullptr) &&
         read == size.QuadPart;
  }
  CloseHandle(file);
  if (!ok) return JournalRead::kUnreadable;
  std::wstring_view rest = text;
  bool header = true;
  while (!rest.empty()) {
    const std::size_t end = rest.find(L'\n');
    if (end == std::wstring_view::npos) return JournalRead::kUnreadable;
    const std::wstring_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (header) {
      if (line != kJournalHeader) return JournalRead::kUnreadable;
      header = false;
      continue;
    }
    if (line.size() < 2 || (line[0] != kReplacesOld && line[0] != kIsNew)) return JournalRead::kUnreadable;
    entries.push_back({std::wstring(line.substr(1)), line[0] == kReplacesOld});
  }
  return header ? JournalRead::kUnreadable : JournalRead::kRead;
}

// Undoes the entries of a swap, in any state it was left in. Returns the
// first failure (ERROR_SUCCESS when everything is back).
DWORD RollBack(const std::wstring& install_folder, const std::vector<SwapEntry>& entries, std::wstring& file) {
  const std::wstring staging = StagingFolderFor(install_folder);
  const std::wstring backup = BackupFolderFor(install_folder);
  DWORD first_error = ERROR_SUCCESS;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    const std::wstring target = Child(install_folder, it->relative);
    bool ok = true;
    if (it->replaces_old) {
      // Backed up means possibly replaced: the old version goes back.
      const std::wstring saved = Child(backup, it->relative);
      if (Exists(saved)) ok = MoveFileExW(saved.c_str(), target.c_str(), kMoveFlags) != FALSE;
    } else if (!Exists(Child(staging, it->relative)) && Exists(target)) {
      ok = DeleteFileW(target.c_str()) != FALSE;  // moved in by the swap
    }
    if (!ok && first_error == ERROR_SUCCESS) {
      first_error = GetLastError();
      file = target;
    }
  }
  return first_error;
}

void Notify(const SwapPointHook& hook, const char* point) {
  if (hook) hook(point);
}

// Moves every staged file into place, keeping the old one in the backup
// first. Stops at the first failure.
SwapResult MoveStagedFiles(const std::wstring& install_folder, const std::vector<SwapEntry>& entries,
                           const SwapPointHook& hook) {
  const std::wstring staging = StagingFolderFor(install_folder);
  const std::wstring backup = BackupFolderFor(install_folder);
  SwapResult result;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i == entries.size() / 2) Notify(hook, "half swapped");
    const SwapEntry& entry = entries[i];
    const std::wstring target = Child(install_folder, entry.relative);
    bool ok = true;
    if (entry.replaces_old) {
      const std::wstring saved = Child(backup, entry.relative);
      ok = CreateDirectoryTree(ParentOf(saved)) &&
           (CreateHardLinkW(saved.c_str(), target.c_str(), nullptr) || CopyFileW(target.c_str(), saved.c_str(), TRUE));
    } else {
      ok = CreateDirectoryTree(ParentOf(target));
    }
    ok = ok && MoveFileExW(Child(staging, entry.relative).c_str(), target.c_str(), kMoveFlags);
    if (!ok) {
      result.error = GetLastError();
      result.file = target;
      result.status = result.error == ERROR_SHARING_VIOLATION || result.error == ERROR_ACCESS_DENIED
                          ? SwapStatus::kInUse
                          : SwapStatus::kFailed;
      return result;
    }
  }
  result.status = SwapStatus::kSwapped;
  return result;
}

}  // namespace

SwapLock::SwapLock(DWORD wait_ms) : mutex_(CreateMutexW(nullptr, FALSE, kSwapMutexName)) {
  if (mutex_ == nullptr) return;
  const DWORD waited = WaitForSingleObject(mutex_, wait_ms);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

SwapLock::~SwapLock() {
  if (held_) ReleaseMutex(mutex_);
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

std::wstring StagingFolderFor(const std::wstring& install_folder) { return install_folder + L".staging"; }
std::wstring BackupFolderFor(const std::wstring& install_folder) { return install_folder + L".backup"; }
std::wstring SwapJournalFor(const std::wstring& install_folder) { return install_folder + L".swap"; }

SwapResult SwapStagedFiles(const std::wstring& install_folder, const SwapPointHook& hook) {
  const std::wstring staging = StagingFolderFor(install_folder);
  const std::wstring backup = BackupFolderFor(install_folder);
  const std::wstring journal = SwapJournalFor(install_folder);
  SwapResult result;
  std::vector<std::wstring> files;
  ListFiles(staging, L"", files);
  std::vector<SwapEntry> entries;
  for (std::wstring& relative : files) {
    const std::wstring target = Child(install_folder, relative);
    const bool replaces_old = Exists(target);
    if (replaces_old) {
      // Checked for every file before anything moves, so that a file in use
      // leaves the installation untouched rather than half swapped.
      if (const DWORD error = ReplaceableError(target); error != ERROR_SUCCESS) {
        result.status = error == ERROR_FILE_NOT_FOUND ? SwapStatus::kFailed : SwapStatus::kInUse;
        result.file = target;
        result.error = error;
        RemoveFolderTree(staging);
        return result;
      }
    }
    entries.push_back({std::move(relative), replaces_old});
  }
  RemoveFolderTree(backup);
  if (!WriteJournal(journal, entries)) {
    result.error = GetLastError();
    result.file = journal;
    RemoveFolderTree(staging);
    return result;
  }
  Notify(hook, "journal written");
  result = MoveStagedFiles(install_folder, entries, hook);
  if (result.status == SwapStatus::kSwapped) {
    Notify(hook, "all swapped");
    // The commit: from here on the next run keeps the new files.
    if (!DeleteFileW(journal.c_str())) {
      result.status = SwapStatus::kFailed;
      result.error = GetLastError();
      result.file = journal;
    } else {
      Notify(hook, "committed");
    }
  }
  if (result.status != SwapStatus::kSwapped) {
    std::wstring unused;
    // A file that cannot be put back keeps the journal for the next run.
    if (RollBack(install_folder, entries, unused) != ERROR_SUCCESS) return result;
    DeleteFileW(journal.c_str());
  }
  RemoveFolderTree(backup);
  RemoveFolderTree(staging);
  return result;
}

RecoveryOutcome RecoverInterruptedSwap(const std::wstring& install_folder) {
  const std::wstring staging = StagingFolderFor(install_folder);
  const std::wstring backup = BackupFolderFor(install_folder);
  const std::wstring journal = SwapJournalFor(install_folder);
  DeleteFileW((journal + L".tmp").c_str());  // a journal never put in place
  std::vector<SwapEntry> entries;
  switch (ReadJournal(journal, entries)) {
    case JournalRead::kUnreadable: return RecoveryOutcome::kFailed;
    case JournalRead::kAbsent: {
      if (!Exists(staging) && !Exists(backup)) return RecoveryOutcome::kNothingToDo;
      const bool removed = RemoveFolderTree(backup) && RemoveFolderTree(staging);
      return removed ? RecoveryOutcome::kCleanedUp : RecoveryOutcome::kFailed;
    }
    case JournalRead::kRead: break;
  }
  std::wstring file;
  if (RollBack(install_folder, entries, file) != ERROR_SUCCESS) return RecoveryOutcome::kFailed;
  // The journal goes last: until then a repeated recovery finds the same work.
  if (!RemoveFolderTree(backup) || !RemoveFolderTree(staging) || !DeleteFileW(journal.c_str())) {
    return RecoveryOutcome::kFailed;
  }
  return RecoveryOutcome::kRolledBack;
}

bool RemoveFolderTree(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (!IsReparsePoint(attributes)) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = Child(folder, name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveFolderTree(child);  // a reparse point is removed, not entered
        } else {
          if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            SetFileAttributesW(child.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
          }
          DeleteFileW(child.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
  }
  RemoveDirectoryW(folder.c_str());
  return !Exists(folder);
}

}  // namespace velko
