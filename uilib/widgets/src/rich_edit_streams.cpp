// The registry of the clients' rich edit stream sources.
#include <algorithm>
#include <mutex>
#include <vector>

#include "uilib/text_util.h"
#include "uilib/widgets/native_controls.h"

namespace uilib {
namespace {

constexpr std::string_view kHandlePrefix = "handle::";

struct StreamRegistry {
  std::mutex mutex;
  std::vector<IUILibRichEditStream*> sources;
};

StreamRegistry& Registry() {
  static StreamRegistry registry;
  return registry;
}

}  // namespace

void RegisterRichEditStream(IUILibRichEditStream* source) {
  if (source == nullptr) return;
  StreamRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (std::find(registry.sources.begin(), registry.sources.end(), source) == registry.sources.end()) {
    registry.sources.push_back(source);
  }
}

void UnregisterRichEditStream(IUILibRichEditStream* source) {
  StreamRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.sources.erase(std::remove(registry.sources.begin(), registry.sources.end(), source),
                         registry.sources.end());
}

IUILibRichEditStream* FindRichEditStream(std::string_view value) {
  if (!StartsWithIgnoreCase(value, kHandlePrefix)) return nullptr;
  const std::optional<std::uintptr_t> address = ParsePointerText(value.substr(kHandlePrefix.size()));
  if (!address) return nullptr;
  StreamRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  // Compared as addresses only: nothing is read through an unknown value.
  for (IUILibRichEditStream* source : registry.sources) {
    if (reinterpret_cast<std::uintptr_t>(source) == *address) return source;
  }
  return nullptr;
}

}  // namespace uilib
