#include "current_user.h"

#include <windows.h>

namespace velko::updater {
namespace {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~ScopedHandle() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE* Receive() { return &handle_; }

 private:
  HANDLE handle_;
};

constexpr DWORD kTokenUserBufferBytes = 1000;
constexpr DWORD kAccountNameChars = 1000;

}  // namespace

std::optional<std::wstring> CurrentUserAccountName() {
  ScopedHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, ::GetCurrentProcessId()));
  if (process.get() == nullptr) {
    return std::nullopt;
  }
  ScopedHandle token;
  if (!::OpenProcessToken(process.get(), TOKEN_ALL_ACCESS, token.Receive())) {
    return std::nullopt;
  }
  // TOKEN_USER holds a pointer, so the buffer must be aligned for one.
  alignas(TOKEN_USER) BYTE token_user[kTokenUserBufferBytes];
  DWORD needed = 0;
  if (!::GetTokenInformation(token.get(), TokenUser, token_user, sizeof(token_user), &needed)) {
    return std::nullopt;
  }
  const PSID sid = reinterpret_cast<const TOKEN_USER*>(token_user)->User.Sid;
  wchar_t name[kAccountNameChars] = {};
  wchar_t domain[kAccountNameChars] = {};
  DWORD name_chars = kAccountNameChars;
  DWORD domain_chars = kAccountNameChars;
  SID_NAME_USE use{};
  if (!::LookupAccountSidW(nullptr, sid, name, &name_chars, domain, &domain_chars, &use)) {
    return std::nullopt;
  }
  return std::wstring(domain) + L"\\" + name;
}

}  // namespace velko::updater
