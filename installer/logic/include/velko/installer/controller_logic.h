// What the installer's controller decides without touching Windows: which
// command a click on a skinned element stands for, and the progress text.
#pragma once

#include <string>
#include <string_view>

namespace velko::installer {

// The two handlers the controller registers with the UI library. The skin
// binds every button and the consent box to the welcome handler.
enum class EventHandlerKind { kWelcome, kInstall };

// What a click asks of the controller (each becomes one posted message).
enum class ControllerCommand {
  kNone,            // an element the handler does not know
  kBeginInstall,    // install button
  kCloseInstaller,  // close button of either window
  kMinimizeWindows, // minimise button of either window
  kConsentChanged,  // consent check box; carries the box's new state
};

// ASCII letters compared without regard to case; other bytes must be equal.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The command for a click on the element with id `element_id` (null or
// empty: no command). The install handler knows only close and minimise.
ControllerCommand CommandForClick(EventHandlerKind handler, const char* element_id);

// "正在安装(<n> %)", n = fraction × 100 rounded to a whole number (halves to
// even, as "%.0f" does). Fractions outside 0-1 and NaN are clamped, so a
// broken value never shows more than 100 % or less than 0 %.
std::wstring ProgressText(double fraction);

// The fraction clamped to 0-1 (NaN gives 0): what the bar is given.
double ClampedProgress(double fraction);

}  // namespace velko::installer
