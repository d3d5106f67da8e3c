// The two event handlers the skin's elements call. They never act themselves:
// each click becomes a message posted to the controller window.
#include "uilib/iuilib_element.h"
#include "uilib/iuilib_kinds.h"
#include "velko/installer/controller_logic.h"
#include "velko/installer/install_messages.h"
#include "velko/installer/main_thread.h"

namespace velko::installer {
namespace {

void PostCommand(EventHandlerKind handler, IUILibElement* element) {
  if (element == nullptr || g_pMainThread == nullptr) return;
  switch (CommandForClick(handler, element->GetId())) {
    case ControllerCommand::kNone: return;
    case ControllerCommand::kBeginInstall: g_pMainThread->PostMessage(WM_BEGIN_INSTALL); return;
    case ControllerCommand::kCloseInstaller: g_pMainThread->PostMessage(WM_CLOSE_INSTALLER); return;
    case ControllerCommand::kMinimizeWindows: g_pMainThread->PostMessage(WM_MINIMIZE_WINDOWS); return;
    case ControllerCommand::kConsentChanged: {
      // The box has already toggled when the click reaches us.
      auto* box = dynamic_cast<IUILibCheckBox*>(element);
      const WPARAM checked = box != nullptr && box->GetCheck() != 0 ? 1 : 0;
      g_pMainThread->PostMessage(WM_CONSENT_CHANGED, checked);
      return;
    }
  }
}

}  // namespace

int WelcomeEventHandler(const char* /*event_name*/, IUILibElement* element) {
  PostCommand(EventHandlerKind::kWelcome, element);
  return 1;
}

int InstallEventHandler(const char* /*event_name*/, IUILibElement* element) {
  PostCommand(EventHandlerKind::kInstall, element);
  return 1;
}

}  // namespace velko::installer
