#include "velko/archive_entry_name.h"

#include <type_traits>

namespace velko {
namespace {

template <typename CharT>
bool IsSeparator(CharT c) {
  return c == CharT('\\') || c == CharT('/');
}

// True for a component that Windows path normalisation turns into ".." or
// into nothing: only dots and blanks, and not the harmless single ".".
template <typename CharT>
bool IsParentLikeComponent(std::basic_string_view<CharT> component) {
  if (component.empty()) return false;
  bool has_dot = false;
  for (CharT c : component) {
    if (c == CharT('.')) {
      has_dot = true;
    } else if (c != CharT(' ')) {
      return false;
    }
  }
  if (!has_dot) return true;  // blanks only: stripped to an empty component
  return component.size() != 1;
}

template <typename CharT>
EntryNameVerdict Check(std::basic_string_view<CharT> name) {
  if (name.empty()) return EntryNameVerdict::kEmpty;
  if (IsSeparator(name.front())) return EntryNameVerdict::kRooted;
  bool has_component = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size()) {
      const CharT c = name[i];
      if (static_cast<std::make_unsigned_t<CharT>>(c) < 0x20) return EntryNameVerdict::kControlCharacter;
      if (c == CharT(':')) return EntryNameVerdict::kDriveOrStream;
      if (!IsSeparator(c)) continue;
    }
    const std::basic_string_view<CharT> component = name.substr(start, i - start);
    if (IsParentLikeComponent(component)) return EntryNameVerdict::kParentComponent;
    if (!component.empty()) has_component = true;
    start = i + 1;
  }
  return has_component ? EntryNameVerdict::kSafe : EntryNameVerdict::kEmpty;
}

}  // namespace

EntryNameVerdict CheckArchiveEntryName(std::u16string_view name) { return Check(name); }
EntryNameVerdict CheckArchiveEntryName(std::string_view name) { return Check(name); }
#ifdef _WIN32
EntryNameVerdict CheckArchiveEntryName(std::wstring_view name) { return Check(name); }
#endif

const char* EntryNameVerdictText(EntryNameVerdict verdict) {
  switch (verdict) {
    case EntryNameVerdict::kSafe: return "safe";
    case EntryNameVerdict::kEmpty: return "empty";
    case EntryNameVerdict::kRooted: return "rooted";
    case EntryNameVerdict::kDriveOrStream: return "drive or stream";
    case EntryNameVerdict::kParentComponent: return "parent component";
    case EntryNameVerdict::kControlCharacter: return "control character";
  }
  return "unknown";
}

}  // namespace velko
