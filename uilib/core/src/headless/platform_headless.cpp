// Platform parts of builds without Windows: there is no shell to open links
// with and no scroll bar control behind a linked scroll bar.
#include "uilib/scroll_link.h"
#include "uilib/shell_open.h"

namespace uilib {

void OpenWithShellPlatform(const std::string&) {}

void SetLinkedScrollRange(CUILibElement*, int, int, bool) {}
int LinkedScrollPosition(CUILibElement*) { return 0; }
void SetLinkedScrollPosition(CUILibElement*, int) {}

}  // namespace uilib
