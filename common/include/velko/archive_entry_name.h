// Safety check of the names of archive entries before they are joined to an
// extraction folder. A package comes from outside the program (an embedded
// resource that can be swapped, a download), so an entry name must never be
// able to address a file outside the folder it is unpacked into.
#pragma once

#include <string_view>

namespace velko {

enum class EntryNameVerdict {
  kSafe,
  kEmpty,            // no name, or only separators
  kRooted,           // begins with "\" or "/": absolute, UNC ("\\server") or device ("\\?\")
  kDriveOrStream,    // contains ":": a drive prefix ("C:x") or an alternate data stream
  kParentComponent,  // a component that Windows reads as ".." (dots and trailing blanks only)
  kControlCharacter, // a character below U+0020, which no Windows file name may hold
  kDeviceName,       // a component Windows opens as a device: CON, NUL, AUX.txt, COM1, LPT9 ...
};

// Judges an entry name as Windows would resolve it below a folder. Both "\"
// and "/" separate components. A component made only of dots and blanks is
// refused unless it is exactly ".", because Windows strips trailing dots and
// blanks from components, so "..." or ".. " would become "..". A component
// whose part before the first dot (trailing blanks ignored) is a reserved
// device name, in any letter case, is refused: writing "NUL.txt" or "COM1"
// opens the device instead of creating a file.
EntryNameVerdict CheckArchiveEntryName(std::u16string_view name);
EntryNameVerdict CheckArchiveEntryName(std::string_view name);  // 8-bit, ASCII separators
#ifdef _WIN32
EntryNameVerdict CheckArchiveEntryName(std::wstring_view name);
#endif

inline bool IsSafeArchiveEntryName(std::u16string_view name) {
  return CheckArchiveEntryName(name) == EntryNameVerdict::kSafe;
}
inline bool IsSafeArchiveEntryName(std::string_view name) {
  return CheckArchiveEntryName(name) == EntryNameVerdict::kSafe;
}
#ifdef _WIN32
inline bool IsSafeArchiveEntryName(std::wstring_view name) {
  return CheckArchiveEntryName(name) == EntryNameVerdict::kSafe;
}
#endif

const char* EntryNameVerdictText(EntryNameVerdict verdict);

}  // namespace velko
