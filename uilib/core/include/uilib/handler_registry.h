// The library's registry of named handlers: event handler functions and item
// providers under case-sensitive narrow names. Values are opaque; the registry
// does not tell the two apart.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace uilib {

class HandlerRegistry {
 public:
  // hash = h * 33 + byte over the name's bytes.
  struct NameHash {
    std::size_t operator()(const std::string& name) const;
  };

  // Inserts the name or replaces its value.
  void Register(std::string_view name, void* value);
  // True when the name was present.
  bool Unregister(std::string_view name);
  // The value, or null.
  void* Find(std::string_view name) const;
  std::size_t Size() const { return map_.size(); }

 private:
  static constexpr std::size_t kInitialBuckets = 17;
  std::unordered_map<std::string, void*, NameHash> map_{kInitialBuckets};
};

}  // namespace uilib
