#include "show_command.h"

#include <algorithm>
#include <cstdio>
#include <tinyxml.h>
#include <windows.h>

#include "uilib/binding_ref.h"
#include "uilib/text_util.h"
#include "uilib/uilib_impl.h"

namespace uilibtool {
namespace {

// Prints the call and leaves the event unhandled, so nothing closes.
int PrintingHandler(const char* event, IUILibElement* element) {
  std::printf("%s %s\n", event != nullptr ? event : "", element != nullptr ? element->GetId() : "");
  std::fflush(stdout);
  return 0;
}

void CollectNames(const TiXmlElement* element, std::vector<std::string>& names) {
  for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
    const char* bound = uilib::BoundName(a->Value());
    if (!uilib::StartsWithIgnoreCase(a->Name(), "on") || bound == nullptr) continue;
    std::string handler(bound);
    if (std::find(names.begin(), names.end(), handler) == names.end()) names.push_back(std::move(handler));
  }
  for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    CollectNames(child, names);
  }
}

// Runs the thread's messages until `window` is gone or WM_QUIT arrives.
void RunUntilDestroyed(HWND window) {
  MSG message;
  while (IsWindow(window)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

std::vector<std::string> BoundHandlerNames(const TiXmlElement* root) {
  std::vector<std::string> names;
  if (root != nullptr) CollectNames(root, names);
  return names;
}

CommandResult RunShow(const std::filesystem::path& skin, const std::string& window_id) {
  return RunOnSkinWindow(skin, window_id, LibraryStart::kWindows, [](const SkinWindowCommand& command) {
    CUILibImpl& lib = command.lib();
    for (const std::string& name : BoundHandlerNames(lib.Document().Root())) {
      lib.RegisterHandler(name.c_str(), reinterpret_cast<void*>(&PrintingHandler));
    }
    CommandResult failure;
    CUILibWindow* window = command.CreateNativeWindow(&failure);
    if (window == nullptr) return failure;
    HWND hwnd = window->NativeHandle();
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("shown %p %ld %ld %ld %ld\n", static_cast<void*>(hwnd), r.left, r.top, r.right - r.left,
                r.bottom - r.top);
    std::fflush(stdout);
    RunUntilDestroyed(hwnd);
    // The library object deletes the window object it still holds.
    return CommandResult{};
  });
}

}  // namespace uilibtool
