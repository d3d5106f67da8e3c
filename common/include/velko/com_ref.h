// Owns one COM interface reference and releases it when it goes out of scope.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace velko {

template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& other) noexcept : pointer_(other.pointer_) { other.pointer_ = nullptr; }

  void Reset() {
    if (pointer_ != nullptr) {
      pointer_->Release();
      pointer_ = nullptr;
    }
  }
  // For out-parameters of creating calls; releases what was held before.
  Interface** Receive() {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

// A BSTR freed on every path out.
class ScopedBstr {
 public:
  ScopedBstr() = default;
  explicit ScopedBstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
  ~ScopedBstr() { SysFreeString(bstr_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;

  BSTR* Receive() {
    SysFreeString(bstr_);
    bstr_ = nullptr;
    return &bstr_;
  }
  BSTR get() const { return bstr_; }
  const wchar_t* c_str() const { return bstr_ != nullptr ? bstr_ : L""; }

 private:
  BSTR bstr_ = nullptr;
};

}  // namespace velko
