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
CharT AsciiUpper(CharT c) {
  return c >= CharT('a') && c <= CharT('z') ? CharT(c - CharT('a') + CharT('A')) : c;
}

template <typename CharT>
bool EqualsAsciiUpper(std::basic_string_view<CharT> text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (AsciiUpper(text[i]) != CharT(static_cast<unsigned char>(upper[i]))) return false;
  }
  return true;
}

// True for the digits Windows accepts after COM and LPT: 1-9 and the
// superscripts 1, 2 and 3 (U+00B9, U+00B2, U+00B3), which only a wide name can hold.
template <typename CharT>
bool IsDevicePortDigit(CharT c) {
  if (c >= CharT('1') && c <= CharT('9')) return true;
  if constexpr (sizeof(CharT) > 1) return c == CharT(0xB9) || c == CharT(0xB2) || c == CharT(0xB3);
  return false;
}

// True when Windows opens the component as a device: the part before the
// first dot, trailing blanks removed, is a reserved name in any letter case.
template <typename CharT>
bool IsDeviceComponent(std::basic_string_view<CharT> component) {
  std::basic_string_view<CharT> base = component.substr(0, component.find(CharT('.')));
  while (!base.empty() && base.back() == CharT(' ')) base.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (EqualsAsciiUpper(base, device)) return true;
  }
  return base.size() == 4 && IsDevicePortDigit(base[3]) &&
         (EqualsAsciiUpper(base.substr(0, 3), "COM") || EqualsAsciiUpper(base.substr(0, 3), "LPT"));
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
    if (IsDeviceComponent(component)) return EntryNameVerdict::kDeviceName;
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
    case EntryNameVerdict::kDeviceName: return "device name";
  }
  return "unknown";
}

}  // namespace velko
