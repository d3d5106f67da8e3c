#include "uilib/win/shared_temp_file.h"

#include <cstdio>
#include <memory>

namespace uilib::win {
namespace {

constexpr DWORD kEveryoneAccess = 0x101F0000;  // GENERIC_ALL | STANDARD_RIGHTS_ALL | SYNCHRONIZE

HANDLE CreateWithAttributes(const std::wstring& path, SECURITY_ATTRIBUTES* attributes) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, attributes, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

void Report(const char* call) { std::printf("%s() failed with error %d\n", call, static_cast<int>(GetLastError())); }

// The pieces of the descriptor, freed together.
struct EveryoneDescriptor {
  SECURITY_DESCRIPTOR descriptor{};
  PSID everyone = nullptr;
  PACL acl = nullptr;
  ~EveryoneDescriptor() {
    if (acl != nullptr) HeapFree(GetProcessHeap(), 0, acl);
    if (everyone != nullptr) FreeSid(everyone);
  }
};

bool BuildEveryoneDescriptor(EveryoneDescriptor& out) {
  if (!InitializeSecurityDescriptor(&out.descriptor, SECURITY_DESCRIPTOR_REVISION)) {
    Report("InitializeSecurityDescriptor");
    return false;
  }
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &out.everyone)) {
    Report("AllocateAndInitializeSid");
    return false;
  }
  DWORD acl_size = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(out.everyone);
  out.acl = static_cast<PACL>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, acl_size));
  if (out.acl == nullptr) {
    Report("HeapAlloc");
    return false;
  }
  if (!InitializeAcl(out.acl, acl_size, ACL_REVISION)) {
    Report("InitializeAcl");
    return false;
  }
  if (!AddAccessAllowedAce(out.acl, ACL_REVISION, kEveryoneAccess, out.everyone)) {
    Report("AddAccessAllowedAce");
    return false;
  }
  if (!SetSecurityDescriptorDacl(&out.descriptor, TRUE, out.acl, FALSE)) {
    Report("SetSecurityDescriptorDacl");
    return false;
  }
  return true;
}

}  // namespace

HANDLE CreateTempFile(const std::wstring& path) { return CreateWithAttributes(path, nullptr); }

HANDLE CreateTempFileForEveryone(const std::wstring& path) {
  EveryoneDescriptor everyone;
  if (!BuildEveryoneDescriptor(everyone)) {
    std::fflush(stdout);
    return CreateWithAttributes(path, nullptr);
  }
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), &everyone.descriptor, FALSE};
  return CreateWithAttributes(path, &attributes);
}

}  // namespace uilib::win
