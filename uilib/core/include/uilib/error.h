// The library's error path. Where an operation meets a broken precondition (a
// programming error of the client or of a skin) or a failure it does not handle,
// it throws CAtlException carrying an HRESULT. Nothing inside the library catches
// it: it reaches the caller of the library operation or the message loop.
#pragma once

#include <cstdint>
#include <exception>

namespace uilib {

// HRESULT values used on the error path. Plain integers so that the Win32-free
// part of the library can raise them without <windows.h>.
inline constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t kEInvalidArg = static_cast<std::int32_t>(0x80070057u);
inline constexpr std::int32_t kEOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);

}  // namespace uilib

class CAtlException : public std::exception {
 public:
  explicit CAtlException(std::int32_t hr) noexcept : m_hr(hr) {}
  std::int32_t Result() const noexcept { return m_hr; }
  const char* what() const noexcept override { return "UILib failure"; }

  std::int32_t m_hr;
};

// Throws CAtlException(hr). Never returns.
[[noreturn]] void AtlThrow(std::int32_t hr);
