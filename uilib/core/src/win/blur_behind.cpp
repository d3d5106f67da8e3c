#include "uilib/win/blur_behind.h"

namespace uilib::win {
namespace {

// DWM_BLURBEHIND of dwmapi.h, declared here because the function is looked
// up at run time.
struct BlurBehind {
  DWORD flags;
  BOOL enable;
  HRGN region;
  BOOL transition_on_maximized;
};
constexpr DWORD kBlurEnable = 0x1;
constexpr DWORD kBlurRegion = 0x2;

using EnableBlurFunction = HRESULT(WINAPI*)(HWND, const BlurBehind*);

}  // namespace

bool EnableBlurBehind(HWND window, HRGN region) {
  HMODULE dwm = GetModuleHandleW(L"dwmapi.dll");
  if (dwm == nullptr) return false;
  auto function = reinterpret_cast<EnableBlurFunction>(
      reinterpret_cast<void*>(GetProcAddress(dwm, "DwmEnableBlurBehindWindow")));
  if (function == nullptr) return false;
  BlurBehind blur{kBlurEnable | (region != nullptr ? kBlurRegion : 0), TRUE, region, FALSE};
  return SUCCEEDED(function(window, &blur));
}

}  // namespace uilib::win
