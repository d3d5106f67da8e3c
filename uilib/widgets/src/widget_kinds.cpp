#include "uilib/widgets/widget_kinds.h"

#include "uilib/element_factory.h"
#include "uilib/widgets/ad.h"
#include "uilib/widgets/iframe.h"
#include "uilib/widgets/image.h"
#include "uilib/widgets/label.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/widgets/pages.h"
#include "uilib/widgets/progress.h"
#include "uilib/widgets/scroll_bar.h"
#include "uilib/widgets/virtual_button.h"

namespace uilib {
namespace {

template <typename Kind>
std::unique_ptr<CUILibElement> Construct(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib) {
  return std::make_unique<Kind>(parent, xml, lib);
}

struct KindEntry {
  const char* tag;
  ElementConstructor construct;
};

constexpr KindEntry kWidgetKinds[] = {
    {"label", Construct<CUILibLabel>},
    {"anchor", Construct<CUILibAnchor>},
    {"virtualbtn", Construct<CUILibVirtualBtn>},
    {"virtualcheckbox", Construct<CUILibVirtualCheckBox>},
    {"virtualprocessbar", Construct<CUILibVirtualProcessBar>},
    {"virtualcircleprocess", Construct<CUILibVirtualCircleProcess>},
    {"processbar", Construct<CUILibProcessBar>},
    {"image", Construct<CUILibImage>},
    {"scrollbar", Construct<CUILibScrollBar>},
    {"iframe", Construct<CUILibIFrame>},
    {"button", Construct<CUILibButton>},
    {"checkbox", Construct<CUILibCheckBox>},
    {"comboboxex", Construct<CUILibComboBoxEx>},
    {"richedit", Construct<CUILibRichEdit>},
    {"pageframe", Construct<CUILibPageFrame>},
    {"page", Construct<CUILibPage>},
    {"ad", Construct<CUILibAd>},
};

}  // namespace

void RegisterWidgetKinds() {
  for (const KindEntry& kind : kWidgetKinds) RegisterElementKind(kind.tag, kind.construct);
}

}  // namespace uilib
