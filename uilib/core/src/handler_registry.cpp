#include "uilib/handler_registry.h"

namespace uilib {

std::size_t HandlerRegistry::NameHash::operator()(const std::string& name) const {
  std::size_t h = 0;
  for (unsigned char byte : name) h = h * 33 + byte;
  return h;
}

void HandlerRegistry::Register(std::string_view name, void* value) { map_[std::string(name)] = value; }

bool HandlerRegistry::Unregister(std::string_view name) { return map_.erase(std::string(name)) != 0; }

void* HandlerRegistry::Find(std::string_view name) const {
  auto it = map_.find(std::string(name));
  return it != map_.end() ? it->second : nullptr;
}

}  // namespace uilib
