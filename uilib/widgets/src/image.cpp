#include "uilib/widgets/image.h"

#include "uilib/library_state.h"
#include "uilib/tree_lock.h"

namespace uilib {

// Created on first use and never destroyed: timers may still run while the
// process ends.
ElementList& ImageAnimationList() {
  static auto* list = new ElementList;
  return *list;
}

ElementList& ImageFadeList() {
  static auto* list = new ElementList;
  return *list;
}

ElementList& ImageSlideList() {
  static auto* list = new ElementList;
  return *list;
}

void TickPictureAnimations(ElementList& list) {
  // The render thread may be drawing these pictures: change their frames only
  // under the tree mutex, taken before the list's mutex as painting does.
  TimedLock tree(State().tree_mutex, kTreeLockTimeoutMs);
  if (!tree) return;
  list.ForEach([](CUILibElement* element) { static_cast<CUILibPictureElement*>(element)->AdvanceFrame(); });
  list.RepaintUnion();
}

}  // namespace uilib

CUILibImage::CUILibImage(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibPictureElement(parent, xml, lib, uilib::ImageAnimationList(), false) {
  uilib::StartImageTimers();
}

CUILibImage::~CUILibImage() {
  // Fade list first, then slide list, as everywhere else.
  uilib::ImageFadeList().Remove(this);
  uilib::ImageSlideList().Remove(this);
}

void CUILibImage::OnFileDownloaded(uilib::DownloadRecord* record) {
  if (record != nullptr) {
    SetSource(record->final_path.c_str(), 200, record->client_value != 0 ? 1 : 0);
  }
  CUILibElement::OnFileDownloaded(record);
}
