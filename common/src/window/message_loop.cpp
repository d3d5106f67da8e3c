#include "velko/window/message_loop.h"

#include <algorithm>

namespace velko::window {

void MessageLoop::AddMessageFilter(MessageFilter* filter) {
  if (filter != nullptr && std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) {
    filters_.push_back(filter);
  }
}

void MessageLoop::RemoveMessageFilter(MessageFilter* filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

bool MessageLoop::Filter(MSG& message) const {
  // Newest filter first, as the last one added is the most specific.
  for (auto it = filters_.rbegin(); it != filters_.rend(); ++it) {
    if ((*it)->PreTranslateMessage(message)) {
      return true;
    }
  }
  return false;
}

int MessageLoop::Run() {
  MSG message{};
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      return static_cast<int>(message.wParam);
    }
    if (got == -1) {
      return -1;
    }
    if (!Filter(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

}  // namespace velko::window
