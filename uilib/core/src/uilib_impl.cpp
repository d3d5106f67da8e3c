#include "uilib/uilib_impl.h"

#include <algorithm>

IUILib* CreateUILib() { return new CUILibImpl(); }

size_t CUILibImpl::NameHash::operator()(const std::string& name) const {
  size_t h = 0;
  for (unsigned char byte : name) h = h * 33 + byte;
  return h;
}

CUILibImpl::CUILibImpl() = default;

CUILibImpl::~CUILibImpl() = default;

void CUILibImpl::DestroyWindow(IUILibWindow*& window) {
  auto* target = dynamic_cast<CUILibWindow*>(window);
  if (target == nullptr) return;
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [target](const std::unique_ptr<CUILibWindow>& w) { return w.get() == target; });
  if (it != windows_.end()) windows_.erase(it);
  window = nullptr;
}

int CUILibImpl::LoadSkinFromFile(const wchar_t* path) {
  if (path == nullptr) return 0;
  return LoadSkinFile(std::filesystem::path(path)) == uilib::SkinLoadResult::kOk ? 1 : 0;
}

uilib::SkinLoadResult CUILibImpl::LoadSkinFile(const std::filesystem::path& path) {
  return document_.LoadFromFile(path);
}

uilib::SkinLoadResult CUILibImpl::LoadSkinFromMemory(std::string_view bytes) {
  return document_.LoadFromMemory(bytes);
}

std::unique_ptr<CUILibWindow> CUILibImpl::BuildWindowTree(const char* id) {
  if (id == nullptr) return nullptr;
  const TiXmlElement* xml = document_.FindWindow(id);
  if (xml == nullptr) return nullptr;
  return std::make_unique<CUILibWindow>(xml, this);
}

IUILibWindow* CUILibImpl::CreateWindowById(const char* id, uilib::NativeWindow /*parent*/, void* userData,
                                           const uilib::NativeRect* /*defaultRect*/) {
  std::unique_ptr<CUILibWindow> window = BuildWindowTree(id);
  if (!window) return nullptr;
  window->SetUserData(userData);
  windows_.push_back(std::move(window));
  return windows_.back().get();
}

int CUILibImpl::RegisterHandler(const char* name, void* handler) {
  if (name == nullptr) return 0;
  handlers_[name] = handler;
  return 1;
}

int CUILibImpl::UnregisterHandler(const char* name) {
  if (name == nullptr) return 0;
  return handlers_.erase(name) != 0 ? 1 : 0;
}

void* CUILibImpl::FindHandler(const char* name) {
  if (name == nullptr) return nullptr;
  auto it = handlers_.find(name);
  return it != handlers_.end() ? it->second : nullptr;
}
