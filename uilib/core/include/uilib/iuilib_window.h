// IUILibWindow: the client's handle on a skinned top-level window.
#pragma once

#include <cstdint>

class IUILibWindow {
 public:
  virtual void FadeIn(std::uint32_t durationMs) = 0;
  virtual void FadeOut(std::uint32_t durationMs) = 0;
  virtual void Hide() = 0;
  virtual void Show() = 0;

 protected:
  ~IUILibWindow() = default;
};
