#pragma once
// The temporary copy of the running updater that applies a package in
// extract mode, so that the installed updater.exe itself can be replaced.

#include <windows.h>

#include <optional>
#include <string>

namespace velko::updater {

// A new name "uper<suffix>.exe" from the C runtime's temporary-name service:
// in the folder named by TMP when it exists, else in `base_folder` when it
// exists, else in a folder of the runtime's choice. nullopt when the service
// gives no name.
std::optional<std::wstring> MakeSelfCopyPath(const std::wstring& base_folder);

// A copy of `source` at `copy_path`, made for starting: the file is created
// only if no file of that name exists (a planted one is never reused), and
// it is byte-identical to `source` as read through a handle that nobody
// else can write through. The handle is kept open, refusing writers and
// deletion, until the object goes; start the copy while it lives.
class VerifiedSelfCopy {
 public:
  static std::optional<VerifiedSelfCopy> Create(const std::wstring& source,
                                                const std::wstring& copy_path);
  ~VerifiedSelfCopy();
  VerifiedSelfCopy(VerifiedSelfCopy&& other) noexcept;
  VerifiedSelfCopy& operator=(VerifiedSelfCopy&&) = delete;
  VerifiedSelfCopy(const VerifiedSelfCopy&) = delete;

  const std::wstring& path() const { return path_; }

 private:
  VerifiedSelfCopy(std::wstring path, HANDLE held) : path_(std::move(path)), held_(held) {}

  std::wstring path_;
  HANDLE held_ = INVALID_HANDLE_VALUE;
};

// Copies the executable of `instance` to a new temporary name and starts the
// copy with "-Extra" and the package path. True when the copy was started;
// the copy is not waited for.
bool StartSelfCopy(HINSTANCE instance, const std::wstring& package_path);

// Deletes the "uper*.exe" copies that earlier runs left in `base_folder` and
// in the folder named by TMP (the places MakeSelfCopyPath uses). A copy
// still running stays. Returns how many were deleted.
int DeleteOldSelfCopies(const std::wstring& base_folder);

}  // namespace velko::updater
