#include "velko/installer/controller_logic.h"

#include <cmath>

namespace velko::installer {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

ControllerCommand CommandForClick(EventHandlerKind handler, const char* element_id) {
  if (element_id == nullptr || *element_id == '\0') return ControllerCommand::kNone;
  const std::string_view id(element_id);
  if (EqualsIgnoringAsciiCase(id, "close-btn")) return ControllerCommand::kCloseInstaller;
  if (EqualsIgnoringAsciiCase(id, "min-btn")) return ControllerCommand::kMinimizeWindows;
  if (handler == EventHandlerKind::kInstall) return ControllerCommand::kNone;
  if (EqualsIgnoringAsciiCase(id, "install-btn")) return ControllerCommand::kBeginInstall;
  if (EqualsIgnoringAsciiCase(id, "verify-checkbox")) return ControllerCommand::kConsentChanged;
  return ControllerCommand::kNone;
}

double ClampedProgress(double fraction) {
  if (std::isnan(fraction) || fraction < 0.0) return 0.0;
  return fraction > 1.0 ? 1.0 : fraction;
}

ProgressPacer::Decision ProgressPacer::OnProgress(double fraction, std::uint64_t now_ms) {
  const double clamped = ClampedProgress(fraction);
  if (shown_ && clamped == value_) return {};
  if (!shown_ || clamped >= 1.0 || now_ms - shown_at_ms_ >= kFrameMs) {
    shown_ = true;
    value_ = clamped;
    shown_at_ms_ = now_ms;
    return {Action::kShowNow, 0};
  }
  if (timer_pending_) return {};
  timer_pending_ = true;
  return {Action::kShowLater, kFrameMs - (now_ms - shown_at_ms_)};
}

std::wstring ProgressText(double fraction) {
  // nearbyint in the default rounding mode rounds halves to even, like the
  // C library's "%.0f", and does not depend on which C runtime formats.
  const long percent = std::lrint(std::nearbyint(ClampedProgress(fraction) * 100.0));
  return L"正在安装(" + std::to_wstring(percent) + L" %)";
}

}  // namespace velko::installer
