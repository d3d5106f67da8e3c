#include "engine_folder_security.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "velko/file_utils.h"
#include "velko/local_folder.h"
#include "velko/path_text.h"

namespace velko::bootstrap {
namespace {

// Owner: Administrators. Protected DACL, inherited by files and subfolders:
// SYSTEM and Administrators full control, Users read and execute.
constexpr wchar_t kEngineFolderSddl[] =
    L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

constexpr ACCESS_MASK kWritingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                       FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE |
                                       WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

class LocalSecurityDescriptor {
 public:
  LocalSecurityDescriptor() {
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(kEngineFolderSddl, SDDL_REVISION_1,
                                                           &descriptor_, nullptr);
  }
  ~LocalSecurityDescriptor() {
    if (descriptor_ != nullptr) ::LocalFree(descriptor_);
  }
  LocalSecurityDescriptor(const LocalSecurityDescriptor&) = delete;
  LocalSecurityDescriptor& operator=(const LocalSecurityDescriptor&) = delete;

  PSECURITY_DESCRIPTOR get() const { return descriptor_; }

  PACL Dacl() const {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (descriptor_ == nullptr ||
        !::GetSecurityDescriptorDacl(descriptor_, &present, &dacl, &defaulted) || !present) {
      return nullptr;
    }
    return dacl;
  }

  PSID Owner() const {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (descriptor_ == nullptr || !::GetSecurityDescriptorOwner(descriptor_, &owner, &defaulted)) {
      return nullptr;
    }
    return owner;
  }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

bool IsTrustedSid(PSID sid) {
  return sid != nullptr && (::IsWellKnownSid(sid, WinLocalSystemSid) ||
                            ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid));
}

// Owner and DACL as they are now: only SYSTEM and the Administrators may own
// the folder or hold rights that write to it.
bool OnlyAdministratorsCanWrite(const std::wstring& folder) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  // A null DACL grants everyone everything.
  bool trusted = dacl != nullptr && IsTrustedSid(owner);
  for (DWORD i = 0; trusted && i < dacl->AceCount; ++i) {
    void* entry = nullptr;
    if (!::GetAce(dacl, i, &entry)) {
      trusted = false;
      break;
    }
    const auto* header = static_cast<const ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0) {
      continue;
    }
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & kWritingRights) != 0 &&
        !IsTrustedSid(reinterpret_cast<PSID>(&allowed->SidStart))) {
      trusted = false;
    }
  }
  ::LocalFree(descriptor);
  return trusted;
}

bool IsExistingFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool SecureEngineFolder(const std::wstring& folder) {
  if (!IsLocalDrivePath(folder)) return false;
  const std::wstring parent = ParentPath<wchar_t>(folder);
  if (parent.size() > 3 && !IsExistingFolder(parent)) CreateDirectoryTree(parent);
  if (HasReparsePointOnPath(folder)) return false;

  const LocalSecurityDescriptor descriptor;
  if (descriptor.get() == nullptr) return false;
  bool secured = false;
  if (!IsExistingFolder(folder)) {
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor.get(), FALSE};
    // A concurrent creation fails here and is treated as an existing folder.
    secured = ::CreateDirectoryW(folder.c_str(), &attributes) != FALSE;
  }
  if (!secured && IsExistingFolder(folder)) {
    // Left by an earlier version or planted by a user: take it over, owner
    // included (an owner could rewrite the DACL). Where the system does not
    // let this process do that, the folder is refused.
    secured = OnlyAdministratorsCanWrite(folder) ||
              ::SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                          PROTECTED_DACL_SECURITY_INFORMATION,
                                      descriptor.Owner(), nullptr, descriptor.Dacl(),
                                      nullptr) == ERROR_SUCCESS;
  }
  // The descriptor is trusted as set once the system accepted it: reading it
  // back would refuse every folder where the file system keeps none (Wine
  // reports one made up from Unix permissions).
  return secured && !HasReparsePointOnPath(folder);
}

bool FolderDescriptorAllowsOnlyAdministrators(const std::wstring& folder) {
  return OnlyAdministratorsCanWrite(folder);
}

}  // namespace velko::bootstrap
