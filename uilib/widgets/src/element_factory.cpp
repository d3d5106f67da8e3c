#include "uilib/element_factory.h"

#include <tinyxml.h>

#include "uilib/text_util.h"
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

using Constructor = std::unique_ptr<CUILibElement> (*)(CUILibElement*, const TiXmlElement*, IUILib*);

template <typename Kind>
std::unique_ptr<CUILibElement> Construct(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib) {
  return std::make_unique<Kind>(parent, xml, lib);
}

struct KindEntry {
  const char* tag;
  Constructor construct;
};

constexpr KindEntry kKinds[] = {
    {"element", Construct<CUILibElement>},
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

std::unique_ptr<CUILibElement> CreateElement(std::string_view tag, CUILibElement* parent,
                                             const TiXmlElement* xml, IUILib* lib) {
  for (const KindEntry& kind : kKinds) {
    if (EqualsIgnoreCase(tag, kind.tag)) return kind.construct(parent, xml, lib);
  }
  return nullptr;
}

size_t ElementKindCount() { return std::size(kKinds); }

}  // namespace uilib
