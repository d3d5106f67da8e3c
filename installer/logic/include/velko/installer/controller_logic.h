// What the installer's controller decides without touching Windows: which
// command a click on a skinned element stands for, and the progress text.
#pragma once

#include <cstdint>
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

// How the Install window follows the worker's progress. The worker posts a
// message when a file is done and none is waiting; each reads the latest
// fraction. Every change shown
// repaints the label and the bar, and a layered window pushes all of itself
// to the screen each time, on the thread the extraction competes with; so a
// value already shown is not shown again, and new values are shown at most
// once per frame interval: one arriving sooner is shown when the interval
// ends (the latest value then). The first value and 100 % are shown at once,
// since the window goes away right after the last file.
class ProgressPacer {
 public:
  static constexpr std::uint64_t kFrameMs = 50;
  enum class Action { kNothing, kShowNow, kShowLater };
  struct Decision {
    Action action = Action::kNothing;
    std::uint64_t delay_ms = 0;  // for kShowLater: when to look again
  };

  // A progress message with `fraction` arrived at `now_ms`. kShowNow records
  // the value as shown; kShowLater asks for one timer, until OnTimer.
  Decision OnProgress(double fraction, std::uint64_t now_ms);
  void OnTimer() { timer_pending_ = false; }
  // A kShowLater timer is running: the value it finds will be looked at.
  bool TimerPending() const { return timer_pending_; }

 private:
  bool shown_ = false;
  double value_ = 0.0;
  std::uint64_t shown_at_ms_ = 0;
  bool timer_pending_ = false;
};

}  // namespace velko::installer
