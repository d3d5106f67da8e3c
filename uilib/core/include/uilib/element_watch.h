// A watch on an element across a call that may destroy it. An event handler
// may rebuild the tree it was fired from, remove its own element or destroy
// its window; the code that fired it checks the watch before it reads the
// element again. An element's destructor clears every watch on it.
// Watches live on the stack of the UI thread, where elements are destroyed.
#pragma once

class CUILibElement;

namespace uilib {

class ElementWatch {
 public:
  explicit ElementWatch(CUILibElement* element);
  ~ElementWatch();
  ElementWatch(const ElementWatch&) = delete;
  ElementWatch& operator=(const ElementWatch&) = delete;

  // The element, or null once it has been destroyed.
  CUILibElement* Get() const { return element_; }
  bool Alive() const { return element_ != nullptr; }

  // Called by the element's destructor.
  static void ElementDestroyed(const CUILibElement* element);

 private:
  CUILibElement* element_;
  ElementWatch* previous_ = nullptr;
  ElementWatch* next_ = nullptr;
};

}  // namespace uilib
