#pragma once
// The thread's message loop, with optional filters that see each message
// before it is translated and dispatched (as WTL's CMessageLoop does).

#include <windows.h>

#include <vector>

namespace velko::window {

class MessageFilter {
 public:
  virtual ~MessageFilter() = default;
  // Return true to swallow the message.
  virtual bool PreTranslateMessage(MSG& message) = 0;
};

class MessageLoop {
 public:
  void AddMessageFilter(MessageFilter* filter);
  void RemoveMessageFilter(MessageFilter* filter);

  // Runs until WM_QUIT and returns its exit code; -1 when GetMessageW fails.
  int Run();

 private:
  bool Filter(MSG& message) const;

  std::vector<MessageFilter*> filters_;
};

}  // namespace velko::window
