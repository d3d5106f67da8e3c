// CUILibWindow: the root element of a window's tree, built from a `window`
// element of the skin (its style is the root's style and its XML children are
// the root's children). The native window is joined to it by the window layer,
// which attaches its services; until then element requests to the window are
// not made.
#pragma once

#include "uilib/element.h"
#include "uilib/iuilib_window.h"

class CUILibWindow : public CUILibElement, public IUILibWindow {
 public:
  CUILibWindow(const TiXmlElement* xml, IUILib* lib) : CUILibElement(nullptr, xml, lib) {}

  const char* KindName() const override { return "CUILibWindow"; }

  uilib::WindowServices* Services() override { return services_; }
  // The window layer (or a test) attaches its services; null detaches them.
  void AttachServices(uilib::WindowServices* services) { services_ = services; }

  // IUILibWindow. Without a native window there is nothing to show, hide or
  // fade, so these do nothing until the window layer has created one.
  void FadeIn(std::uint32_t) override {}
  void FadeOut(std::uint32_t) override {}
  void Hide() override {}
  void Show() override {}

  // The native window, or null when there is none (never created, or its
  // destruction has finished). The library deletes a destroyed window's object
  // only once this is null.
  virtual uilib::NativeWindow NativeHandle() const { return nullptr; }
  // Creates the native window owned by `parent`; `defaultRect` is the fallback
  // geometry. False when creation failed. The tree-only window has nothing to
  // create.
  virtual bool CreateNativeWindow(uilib::NativeWindow /*parent*/, const uilib::NativeRect* /*defaultRect*/) {
    return true;
  }
  // Destroys the native window if it still exists.
  virtual void DestroyNativeWindow() {}

  // True while one of the window's messages is being handled. A handler may
  // destroy the window it was fired from; the object then stays until that
  // handling has returned (the deferred deletion waits for it).
  bool InDispatch() const { return dispatch_depth_ > 0; }

 protected:
  // Counts one message handling of the window for its lifetime.
  class DispatchScope {
   public:
    explicit DispatchScope(CUILibWindow& window) : window_(window) { ++window_.dispatch_depth_; }
    ~DispatchScope() { --window_.dispatch_depth_; }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

   private:
    CUILibWindow& window_;
  };

 private:
  uilib::WindowServices* services_ = nullptr;
  int dispatch_depth_ = 0;
};
