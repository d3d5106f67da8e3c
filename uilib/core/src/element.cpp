#include "uilib/element.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <tinyxml.h>

#include "uilib/animation.h"
#include "uilib/binding_ref.h"
#include "uilib/element_factory.h"
#include "uilib/element_watch.h"
#include "uilib/error.h"
#include "uilib/scroll_link.h"
#include "uilib/skin_limits.h"
#include "uilib/text_util.h"
#include "uilib/tree_lock.h"
#include "uilib/ui_thread.h"

namespace {

std::unique_ptr<TiXmlElement> DeepCopy(const TiXmlElement* xml) {
  if (xml == nullptr) AtlThrow(uilib::kEInvalidArg);
  return std::unique_ptr<TiXmlElement>(static_cast<TiXmlElement*>(xml->Clone()));
}

// atoi of the `dup` attribute: a count of extra copies, none when <= 0 or not numeric.
int DupCount(const TiXmlElement* xml) {
  const char* text = xml->Attribute("dup");
  if (text == nullptr) return 0;
  long value = std::strtol(text, nullptr, 10);
  if (value <= 0) return 0;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool IsTrue(const char* text) { return text != nullptr && uilib::EqualsIgnoreCase(text, "true"); }

}  // namespace

CUILibElement::CUILibElement(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : parent_(parent), style_(this), xml_(DeepCopy(xml)), lib_(lib) {
  tag_ = xml_->Value();
  if (const char* id = xml_->Attribute("id")) id_ = id;
  if (parent_ != nullptr) scroll_offset_ = parent_->scroll_offset_;
  BuildChildren();
  const char* style = xml_->Attribute("style");
  style_.Parse(style != nullptr ? style : "");
  ReadCommonAttributes(xml);
}

CUILibElement::~CUILibElement() {
  // A handler that destroyed its own element (or the tree it was fired from)
  // returns to code that checks these watches before it reads the element.
  uilib::ElementWatch::ElementDestroyed(this);
  children_.DeleteAll();
  overlay_.reset();
  native_scroll_bar_.reset();
  // While the window is being destroyed its root no longer offers services:
  // nothing is left to unregister from.
  if (uilib::WindowServices* services = Services()) {
    if (xml_->Attribute("vscroll") != nullptr || xml_->Attribute("fire-vscroll") != nullptr) {
      services->UnregisterScrollLinks(this);
    }
    // Not only a tracked element: the window may also hold it as the pressed,
    // captured or deferred-click element, or as the owner of a child control.
    services->ForgetElement(this);
  }
  // An animation timer must not outlive the element its record points to.
  StopAnimations();
}

CUILibElement* CUILibElement::RootElement() {
  CUILibElement* element = this;
  while (element->parent_ != nullptr) element = element->parent_;
  return element;
}

uilib::WindowServices* CUILibElement::Services() {
  CUILibElement* root = RootElement();
  return root == this ? nullptr : root->Services();
}

void CUILibElement::ReadCommonAttributes(const TiXmlElement* source) {
  if (const char* tip = xml_->Attribute("tip")) tip_ = uilib::Utf8ToWide(tip);
  movable_ = IsTrue(xml_->Attribute("movable"));
  has_vscroll_ = xml_->Attribute("vscroll") != nullptr;
  disabled_ = IsTrue(xml_->Attribute("disabled"));
  WriteStoreObject();
  if (const void* data = source->GetUserData()) user_data_ = const_cast<void*>(data);
}

// store-object="%p": a program that generates skin text receives the element's
// interface pointer at that address. A value that does not parse as a nonzero
// address is not written through.
void CUILibElement::WriteStoreObject() {
  const char* text = xml_->Attribute("store-object");
  if (text == nullptr) return;
  std::optional<std::uintptr_t> address = uilib::ParsePointerText(text);
  if (!address) return;
  IUILibElement* self = this;
  std::memcpy(reinterpret_cast<void*>(*address), &self, sizeof(self));
}

void CUILibElement::BuildChildren() {
  // Past the skin limits the build fails through the error path (skin_limits.h).
  const uilib::TreeBuildScope scope(this);
  if (BuildChildrenFromProvider()) return;
  for (const TiXmlElement* child = xml_->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    AppendCreated(child, scope.Outermost());
    // The count is read again before each copy; an unknown tag makes no copies either.
    for (int made = 0; made < DupCount(child); ++made) AppendCreated(child, true);
  }
}

bool CUILibElement::BuildChildrenFromProvider() {
  void* registered = uilib::FindBound(lib_, xml_->Attribute("provider"));
  if (registered == nullptr) return false;
  auto* provider = static_cast<IUILibItemProvider*>(registered);
  TiXmlElement* first = nullptr;
  if (!provider->GetItems(id_.c_str(), &first)) return true;
  if (first == nullptr) AtlThrow(uilib::kEFail);  // success reported without an element
  // The provider handed over the node that holds the chain (a lone element
  // owns itself); it is deleted once the children are built, or on failure.
  std::unique_ptr<TiXmlNode> owner(first->Parent() != nullptr ? first->Parent() : first);
  for (const TiXmlElement* item = first; item != nullptr; item = item->NextSiblingElement()) {
    AppendCreated(item, true);
  }
  return true;
}

std::unique_ptr<CUILibElement> CUILibElement::CreateChild(const TiXmlElement* xml, bool fresh) {
  const uilib::ElementBuildGuard guard(this, *xml, fresh);
  return uilib::CreateElement(xml->Value(), this, xml, lib_);
}

void CUILibElement::AppendCreated(const TiXmlElement* xml, bool fresh) {
  if (auto child = CreateChild(xml, fresh)) children_.Append(std::move(child));
}

void CUILibElement::AppendChildren(const TiXmlElement* first) {
  uilib::ScopedTreeChange change(lib_, "AppendChildren");
  for (const TiXmlElement* item = first; item != nullptr; item = item->NextSiblingElement()) {
    AppendCreated(item, true);
  }
  AfterTreeChange();
}

void CUILibElement::PrependChildren(const TiXmlElement* first) {
  uilib::ScopedTreeChange change(lib_, "PrependChildren");
  for (const TiXmlElement* item = first; item != nullptr; item = item->NextSiblingElement()) {
    if (auto child = CreateChild(item, true)) children_.Prepend(std::move(child));
  }
  AfterTreeChange();
}

int CUILibElement::SetOverlay(const TiXmlElement* xml) {
  if (xml == nullptr) return 0;
  uilib::ScopedTreeChange change(lib_, "SetOverlay");
  auto overlay = CreateChild(xml, true);
  if (!overlay) return 0;
  overlay_ = std::move(overlay);
  AfterTreeChange();
  return 1;
}

void CUILibElement::RemoveOverlay() {
  uilib::CheckUiThread("RemoveOverlay");
  uilib::ScopedTreeLock lock(lib_);
  if (!lock.Acquired()) return;
  overlay_.reset();
  AfterTreeChange();
}

std::vector<IUILibElement*>& CUILibElement::FindElementsById(std::vector<IUILibElement*>& out,
                                                             const char* id) {
  if (id == nullptr) return out;
  for (CUILibElement* child = children_.First(); child != nullptr; child = children_.Next(child)) {
    if (uilib::EqualsIgnoreCase(child->id_, id)) out.push_back(child);
    child->FindElementsById(out, id);
  }
  return out;
}

IUILibElement* CUILibElement::GetRoot() { return RootElement(); }

void CUILibElement::RebuildById(const char* id, int all, int resetScroll) {
  std::vector<IUILibElement*> found;
  FindElementsById(found, id);
  for (IUILibElement* element : found) {
    element->Rebuild(resetScroll);
    if (!all) break;
  }
}

int CUILibElement::ScrollPosition() {
  if (native_scroll_bar_) return native_scroll_bar_->Position();
  if (CUILibElement* bar = LinkedScrollBar()) return uilib::LinkedScrollPosition(bar);
  return 0;
}

void CUILibElement::Rebuild(int resetScroll) {
  uilib::CheckUiThread("Rebuild");
  uilib::ScopedTreeLock lock(lib_);
  if (!lock.Acquired()) return;
  const int old_position = ScrollPosition();
  if (resetScroll != 0) {
    if (native_scroll_bar_) native_scroll_bar_->SetPosition(0);
    if (CUILibElement* bar = LinkedScrollBar()) uilib::SetLinkedScrollPosition(bar, 0);
  }
  children_.DeleteAll();
  BuildChildren();
  uilib::WindowServices* services = Services();
  OnAttach(services != nullptr ? services->Handle() : nullptr);
  Layout(rect_, nullptr, nullptr);
  RequestRepaintOfRect();
  if (resetScroll == 0 && native_scroll_bar_ && old_position > 0) {
    native_scroll_bar_->PostThumbPosition(old_position);
  }
}

void CUILibElement::Animate(UILibAnimateCallback callback, void* userData, std::uint32_t durationMs) {
  uilib::CheckUiThread("Animate");
  uilib::WindowServices* services = Services();
  if (services == nullptr || callback == nullptr) return;
  auto record = std::make_unique<uilib::AnimationRecord>(
      uilib::AnimationRecord{callback, uilib::MonotonicNowMs(), durationMs, userData, this});
  auto timer_id = reinterpret_cast<std::uintptr_t>(record.get());
  animations_.push_back(std::move(record));
  services->StartAnimationTimer(timer_id);
}

bool CUILibElement::TickAnimation(std::uintptr_t timer_id, std::uint64_t now_ms) {
  auto it = std::find_if(animations_.begin(), animations_.end(), [timer_id](const auto& record) {
    return reinterpret_cast<std::uintptr_t>(record.get()) == timer_id;
  });
  if (it == animations_.end()) return false;
  const uilib::AnimationRecord record = **it;
  const float progress = uilib::AnimationProgress(record, now_ms);
  const bool ended = progress >= 1.0f;
  if (ended) {
    if (uilib::WindowServices* services = Services()) services->KillAnimationTimer(timer_id);
    animations_.erase(it);
  }
  record.callback(this, record.user_data, progress);
  return !ended;
}

void CUILibElement::StopAnimations() {
  if (animations_.empty()) return;
  if (uilib::WindowServices* services = Services()) {
    for (const auto& record : animations_) services->KillAnimationTimer(reinterpret_cast<std::uintptr_t>(record.get()));
  }
  animations_.clear();
}

void CUILibElement::SetStyle(const char* text) {
  if (text == nullptr) return;
  {
    uilib::ScopedTreeChange change(lib_, "SetStyle");
    style_.Parse(text);
    xml_->SetAttribute("style", text);
  }
  if (uilib::WindowServices* services = Services()) {
    services->RequestRelayout();
    services->RequestRepaint(std::nullopt);
  }
}

int CUILibElement::Enable(int enable) {
  bool was_enabled = !disabled_;
  {
    uilib::ScopedTreeChange change(lib_, "Enable");
    SetDisabledRecursive(enable == 0);
  }
  RequestRepaintOfRect();
  return was_enabled ? 1 : 0;
}

void CUILibElement::SetDisabledRecursive(bool disabled) {
  disabled_ = disabled;
  for (CUILibElement* child = children_.First(); child != nullptr; child = children_.Next(child)) {
    child->SetDisabledRecursive(disabled);
  }
}

void CUILibElement::RequestRepaintOfRect() {
  uilib::WindowServices* services = Services();
  if (services == nullptr) return;
  const float top = rect_.y - static_cast<float>(scroll_offset_);
  services->RequestRepaint(uilib::RepaintRect{uilib::TruncToInt(rect_.x), uilib::TruncToInt(top),
                                              uilib::TruncToInt(rect_.x + rect_.w),
                                              uilib::TruncToInt(top + rect_.h)});
}

void CUILibElement::AfterTreeChange() {
  Layout(rect_, nullptr, nullptr);
  RequestRepaintOfRect();
  if (uilib::WindowServices* services = Services()) services->TrackElement(this);
}
