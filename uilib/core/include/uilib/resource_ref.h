// Resource references of the skin language: res(module,name,type), where the
// module is "self" (the client's module) or a file name, and name and type are
// either "int(N)" or a word. A type word naming a standard resource type
// ("RT_RCDATA", ...) stands for its number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace uilib {

// A resource name or type: an integer id, or a string.
struct ResourceId {
  std::optional<std::uint16_t> number;
  std::string text;  // used when number is empty
  bool operator==(const ResourceId&) const = default;
};

struct ResourceRef {
  bool self = false;   // the client's own module
  std::string module;  // UTF-8 file name when not self
  ResourceId name;
  ResourceId type;
};

// Searches `text` for a resource reference (case-insensitive). nullopt when
// there is none.
std::optional<ResourceRef> ParseResourceRef(std::string_view text);

}  // namespace uilib
