// CUILibElement: the base of every element kind and the kind of the `element`
// tag. Owns a deep copy of its XML element, its children (a circular doubly
// linked list in document order), an optional overlay and its style record.
// Lays its children out (element_layout.cpp), hit-tests and routes events
// (element_events.cpp), paints (win/element_paint.cpp) and implements the
// client's tree operations (element.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "uilib/base.h"
#include "uilib/download_record.h"
#include "uilib/element_storage.h"
#include "uilib/geometry.h"
#include "uilib/iuilib.h"
#include "uilib/iuilib_element.h"
#include "uilib/style.h"
#include "uilib/window_services.h"

class TiXmlElement;
class CUILibElement;

namespace uilib {

// Owns an element's children; the links live in the children themselves.
// Deleting the list deletes every child completely (subtree included).
class ElementChildren {
 public:
  ElementChildren() = default;
  ElementChildren(const ElementChildren&) = delete;
  ElementChildren& operator=(const ElementChildren&) = delete;
  ~ElementChildren() { DeleteAll(); }

  CUILibElement* First() const { return first_; }
  // The child after `child`, or null after the last one.
  CUILibElement* Next(const CUILibElement* child) const;
  void Append(std::unique_ptr<CUILibElement> child);
  void Prepend(std::unique_ptr<CUILibElement> child);
  void DeleteAll();
  size_t Count() const;

 private:
  CUILibElement* first_ = nullptr;
};

struct AnimationRecord;

}  // namespace uilib

// Downloads (DownloadFile, DownloadText, OnFileDownloaded, OnTextDownloaded)
// come from uilib::DownloadOwner, which cancels them when the element dies.
class CUILibElement : public CUILibBase, public IUILibElement, public uilib::DownloadOwner {
 public:
  // The base construction: clone `xml` (deep), read the id, build the children
  // depth-first (each completely before its next sibling), parse the style,
  // then read tip, movable, disabled, store-object and the node's user data.
  CUILibElement(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);

  // Element objects of every kind live in the element storage, so that a
  // tree's elements lie together in memory (element_storage.h).
  static void* operator new(std::size_t size) { return uilib::AllocateElementStorage(size); }
  static void operator delete(void* storage, std::size_t size) noexcept {
    uilib::FreeElementStorage(storage, size);
  }
  ~CUILibElement() override;

  // Layout. `out` given: a measuring pass that only accumulates the largest
  // right and bottom edges reached into *out and places nothing.
  virtual void Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out);
  virtual void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip);
  // The element that takes a hit at `point` (client coordinates), or null.
  virtual CUILibElement* HitTest(uilib::PointF point);
  virtual int OnLButtonDown(uilib::PointF point);
  virtual int OnLButtonUp(uilib::PointF point);
  virtual int OnClick(uilib::PointF point);
  virtual int OnDblClick(uilib::PointF point);
  virtual int OnMouseMove(uilib::PointF point);
  virtual int OnMouseLeave();
  virtual int OnMouseEnter();
  virtual void OnAttach(uilib::NativeWindow window);
  virtual bool IsMovable() const { return movable_; }
  virtual void UpdateHover();
  // Calls the handler that the attribute `name` binds, or opens `href` on a
  // click. Nonzero when a handler took the event.
  virtual int FireEvent(const char* name);
  virtual bool HasHandler(const char* name);
  // Size of the content for `auto` lengths; nonzero when a size was produced.
  virtual int MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail);
  virtual IUILibElement* SetMouseCapture();
  virtual void ReleaseMouseCapture();
  // The cursor the element's style asks for in its current state.
  virtual uilib::Cursor CursorKind() const;

  // IUILibElement
  void AppendChildren(const TiXmlElement* first) override;
  void PrependChildren(const TiXmlElement* first) override;
  int SetOverlay(const TiXmlElement* xml) override;
  void RemoveOverlay() override;
  std::vector<IUILibElement*>& FindElementsById(std::vector<IUILibElement*>& out, const char* id) override;
  void SetUserData(void* data) override { user_data_ = data; }
  void* GetUserData() override { return user_data_; }
  const char* GetId() override { return id_.c_str(); }
  IUILibElement* GetRoot() override;
  void RebuildById(const char* id, int all, int resetScroll) override;
  void Rebuild(int resetScroll) override;
  void Animate(UILibAnimateCallback callback, void* userData, std::uint32_t durationMs) override;
  void SetStyle(const char* text) override;
  int Enable(int enable) override;

  // The class name of the kind, for diagnostics and tools.
  virtual const char* KindName() const { return "CUILibElement"; }

  // Creates the children from the XML copy or from the item provider named by
  // its `provider` attribute. Used by construction and by Rebuild.
  void BuildChildren();

  // The placement procedure of Layout: places `current` and its later siblings
  // into the remaining area `area`. On failure `current` is the child that did
  // not fit. Public for kinds that place children themselves.
  bool PlaceChildren(uilib::RectF area, CUILibElement*& current, Gdiplus::Graphics* graphics, int depth,
                     uilib::RectF* out);

  const std::string& Tag() const { return tag_; }
  const std::string& Id() const { return id_; }
  const TiXmlElement* Xml() const { return xml_.get(); }
  CUILibElement* Parent() const { return parent_; }
  CUILibElement* RootElement();
  const uilib::ElementChildren& Children() const { return children_; }
  CUILibElement* Overlay() const { return overlay_.get(); }
  const CUILibStyle& Style() const { return style_; }
  IUILib* Library() const { return lib_; }
  bool IsDisabled() const { return disabled_; }
  const std::wstring& Tip() const { return tip_; }
  int ScrollOffset() const { return scroll_offset_; }
  void SetScrollOffset(int offset) { scroll_offset_ = offset; }
  const uilib::RectF& Rect() const { return rect_; }
  const uilib::RectF& VisibleRect() const { return visible_rect_; }
  bool IsHovered() const { return hovered_; }
  void SetHovered(bool hovered) { hovered_ = hovered; }
  bool IsTracked() const { return tracked_; }
  void SetTracked(bool tracked) { tracked_ = tracked; }
  // The scroll bar that the `vscroll` attribute names, looked up in the tree
  // each time (a scroll bar may be destroyed and built again while this
  // element lives); null without one.
  CUILibElement* LinkedScrollBar();
  uilib::NativeScrollBar* NativeScrollBarControl() const { return native_scroll_bar_.get(); }
  // The vertical scroll position of this element's scroll bar (native or
  // linked), 0 without one.
  int ScrollPosition();

  // The window services of the tree this element is in; null while the tree is
  // not attached to a native window.
  virtual uilib::WindowServices* Services();

  // Called by the window on each tick of an animation timer. Returns false
  // once the animation has ended (its record is freed then).
  bool TickAnimation(std::uintptr_t timer_id, std::uint64_t now_ms);

 protected:
  // The window's repaint request for the rect, moved up by the scroll offset.
  void RequestRepaintOfRect();
  // After a change of the children: lay out again, repaint, track.
  void AfterTreeChange();
  // Background, border (and nine-grid background) of `Paint`, clipped.
  void PaintBackground(Gdiplus::Graphics* graphics, const uilib::RectF& clip);
  void PaintChildren(Gdiplus::Graphics* graphics, const uilib::RectF& clip);
  // Destroys every child (subtree included); the window does this while its
  // native window is destroyed.
  void DeleteChildren() { children_.DeleteAll(); }

 private:
  friend class uilib::ElementChildren;

  // True when the children came from (or were refused by) a registered provider.
  bool BuildChildrenFromProvider();
  // Creates a child of the kind `xml` names, within the skin limits; `fresh`
  // when `xml` is not inside this element's own counted XML copy.
  std::unique_ptr<CUILibElement> CreateChild(const TiXmlElement* xml, bool fresh);
  void AppendCreated(const TiXmlElement* xml, bool fresh);
  void ReadCommonAttributes(const TiXmlElement* source);
  void WriteStoreObject();
  void SetDisabledRecursive(bool disabled);
  void ZeroChildSizes();
  uilib::RectF ContentArea(const uilib::RectF& r, bool with_linked_bar, float* scroll_strip) const;
  void UpdateScrollBars(const uilib::RectF& r, float scroll_strip, CUILibElement* linked_bar);
  static bool PlaceOne(const uilib::RectF& area, CUILibElement* child, Gdiplus::Graphics* graphics, int depth,
                       uilib::RectF* placed);
  void GrowContentExtent(const uilib::RectF& placed);
  void StopAnimations();

  // What layout, painting and hit testing read on every element come first,
  // together with the start of the style record, so that a walk over the
  // tree touches few cache lines per element.
  CUILibElement* previous_ = nullptr;
  CUILibElement* next_ = nullptr;
  uilib::ElementChildren children_;
  CUILibElement* parent_ = nullptr;
  uilib::RectF rect_;
  uilib::RectF visible_rect_;
  int scroll_offset_ = 0;
  bool movable_ = false;
  bool disabled_ = false;
  bool hovered_ = false;
  std::unique_ptr<CUILibElement> overlay_;
  std::unique_ptr<uilib::NativeScrollBar> native_scroll_bar_;
  // Whether the last layout found the scroll bar that `vscroll` names (only
  // a flag: the bar itself is looked up when it is needed).
  bool has_linked_scroll_bar_ = false;
  CUILibStyle style_;
  std::string tag_;
  std::string id_;
  std::unique_ptr<TiXmlElement> xml_;
  IUILib* lib_ = nullptr;
  void* user_data_ = nullptr;
  std::wstring tip_;
  bool tracked_ = false;
  // Whether the XML copy has a `vscroll` attribute (nothing rewrites it); read
  // once, as layout asks on every pass.
  bool has_vscroll_ = false;
  // Running animations; the timer of each is identified by its record.
  std::vector<std::unique_ptr<uilib::AnimationRecord>> animations_;
};
