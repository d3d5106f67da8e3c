#include "uilib/resource_ref.h"

#include <array>
#include <utility>

#include "uilib/error.h"
#include "uilib/text_util.h"
#include "vregex/regex.h"

namespace uilib {
namespace {

const vregex::Regex& ReferencePattern() {
  static const vregex::Regex re = [] {
    auto compiled =
        vregex::Regex::Compile(R"re(res\(([^\),]+),(int\(\d+\)|\w+),(int\(\d+\)|\w+)\))re", vregex::kIgnoreCase);
    if (!compiled) AtlThrow(kEFail);
    return std::move(*compiled);
  }();
  return re;
}

constexpr std::array<std::pair<const char*, std::uint16_t>, 21> kTypeNames{{
    {"RT_CURSOR", 1},        {"RT_BITMAP", 2},      {"RT_ICON", 3},        {"RT_MENU", 4},
    {"RT_DIALOG", 5},        {"RT_STRING", 6},      {"RT_FONTDIR", 7},     {"RT_FONT", 8},
    {"RT_ACCELERATOR", 9},   {"RT_RCDATA", 10},     {"RT_MESSAGETABLE", 11}, {"RT_GROUP_CURSOR", 12},
    {"RT_GROUP_ICON", 14},   {"RT_VERSION", 16},    {"RT_DLGINCLUDE", 17}, {"RT_PLUGPLAY", 19},
    {"RT_VXD", 20},          {"RT_ANICURSOR", 21},  {"RT_ANIICON", 22},    {"RT_HTML", 23},
    {"RT_MANIFEST", 24},
}};

// "int(N)" gives the number N (resource ids are 16-bit); a word stays text.
ResourceId ParseId(std::string_view item) {
  if (StartsWithIgnoreCase(item, "int(")) {
    std::int32_t value = LeadingInt(item.substr(4));
    return ResourceId{static_cast<std::uint16_t>(value & 0xFFFF), {}};
  }
  return ResourceId{std::nullopt, std::string(item)};
}

ResourceId ParseType(std::string_view item) {
  for (const auto& [name, value] : kTypeNames) {
    if (EqualsIgnoreCase(item, name)) return ResourceId{value, {}};
  }
  return ParseId(item);
}

}  // namespace

std::optional<ResourceRef> ParseResourceRef(std::string_view text) {
  vregex::Match m;
  if (!ReferencePattern().Search(text, &m)) return std::nullopt;
  ResourceRef ref;
  ref.self = EqualsIgnoreCase(m.Group(1), "self");
  if (!ref.self) ref.module = std::string(m.Group(1));
  ref.name = ParseId(m.Group(2));
  ref.type = ParseType(m.Group(3));
  return ref;
}

}  // namespace uilib
