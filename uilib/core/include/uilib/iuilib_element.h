// IUILibElement: what a client may do with any element of a skinned window.
#pragma once

#include <cstdint>
#include <vector>

class TiXmlElement;
class IUILibElement;

// Event handler registered with IUILib::RegisterHandler and bound in a skin by
// an attribute such as onclick="uilib::Name". Returns nonzero when handled.
using UILibEventHandler = int (*)(const char* eventName, IUILibElement* element);

// Called on every animation tick with the progress in [0, 1]; the last call
// has progress 1.
using UILibAnimateCallback = void (*)(IUILibElement* element, void* userData, float progress);

class IUILibElement {
 public:
  // Creates one child per element of the sibling chain starting at `first` and
  // appends them after the existing children.
  virtual void AppendChildren(const TiXmlElement* first) = 0;
  // The same, but each new child becomes the first child (a chain A, B ends up
  // as B, A before the old children).
  virtual void PrependChildren(const TiXmlElement* first) = 0;
  // Creates one element from `xml` and makes it the overlay. Zero when the tag
  // is not an element kind.
  virtual int SetOverlay(const TiXmlElement* xml) = 0;
  virtual void RemoveOverlay() = 0;
  // Appends every descendant (not this element) whose id equals `id`
  // case-insensitively, in depth-first pre-order. Returns `out`.
  virtual std::vector<IUILibElement*>& FindElementsById(std::vector<IUILibElement*>& out,
                                                        const char* id) = 0;
  virtual void SetUserData(void* data) = 0;
  virtual void* GetUserData() = 0;
  virtual const char* GetId() = 0;
  virtual IUILibElement* GetRoot() = 0;
  virtual void RebuildById(const char* id, int all, int resetScroll) = 0;
  virtual void Rebuild(int resetScroll) = 0;
  virtual void Animate(UILibAnimateCallback callback, void* userData,
                       std::uint32_t durationMs) = 0;
  // Parses `text` into the style record (merging) and stores it as the
  // element's style attribute.
  virtual void SetStyle(const char* text) = 0;
  // Enables or disables the element and all its descendants; returns whether
  // the element was enabled before.
  virtual int Enable(int enable) = 0;

 protected:
  ~IUILibElement() = default;
};
