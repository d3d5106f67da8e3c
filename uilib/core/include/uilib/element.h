// CUILibElement: the base of every element kind and the kind of the `element`
// tag. Owns a deep copy of its XML element, its children (a circular doubly
// linked list in document order), an optional overlay and its style record.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "uilib/base.h"
#include "uilib/geometry.h"
#include "uilib/iuilib.h"
#include "uilib/iuilib_element.h"
#include "uilib/style.h"

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

}  // namespace uilib

class CUILibElement : public CUILibBase, public IUILibElement {
 public:
  // The base construction: clone `xml` (deep), read the id, build the children
  // depth-first (each completely before its next sibling), parse the style,
  // then read tip, movable, disabled, store-object and the node's user data.
  CUILibElement(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibElement() override;

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

  const std::string& Tag() const { return tag_; }
  const std::string& Id() const { return id_; }
  const TiXmlElement* Xml() const { return xml_.get(); }
  CUILibElement* Parent() const { return parent_; }
  const uilib::ElementChildren& Children() const { return children_; }
  CUILibElement* Overlay() const { return overlay_.get(); }
  const CUILibStyle& Style() const { return style_; }
  IUILib* Library() const { return lib_; }
  bool IsMovable() const { return movable_; }
  bool IsDisabled() const { return disabled_; }
  const std::wstring& Tip() const { return tip_; }
  int ScrollOffset() const { return scroll_offset_; }

 private:
  friend class uilib::ElementChildren;

  // True when the children came from (or were refused by) a registered provider.
  bool BuildChildrenFromProvider();
  void AppendCreated(const TiXmlElement* xml);
  void ReadCommonAttributes(const TiXmlElement* source);
  void WriteStoreObject();
  void SetDisabledRecursive(bool disabled);

  int scroll_offset_ = 0;
  bool movable_ = false;
  bool disabled_ = false;
  bool hovered_ = false;
  CUILibStyle style_;
  std::string tag_;
  std::string id_;
  CUILibElement* previous_ = nullptr;
  CUILibElement* next_ = nullptr;
  uilib::ElementChildren children_;
  CUILibElement* parent_ = nullptr;
  std::unique_ptr<CUILibElement> overlay_;
  std::unique_ptr<TiXmlElement> xml_;
  IUILib* lib_ = nullptr;
  uilib::RectF rect_;
  uilib::RectF visible_rect_;
  void* user_data_ = nullptr;
  std::wstring tip_;
  bool tracked_ = false;
};
