#include "uilib/uilib_impl.h"

#include <algorithm>

#include "uilib/library_state.h"
#include "uilib/window_factory.h"

IUILib* CreateUILib() { return new CUILibImpl(); }

CUILibImpl::CUILibImpl() = default;

CUILibImpl::~CUILibImpl() {
  // The windows go first: destroying a native window still reaches the
  // library (its tree lock), whose registry and document must be whole then.
  windows_.clear();
}

void CUILibImpl::DestroyWindow(IUILibWindow*& window) {
  auto* target = dynamic_cast<CUILibWindow*>(window);
  if (target == nullptr) return;
  target->DestroyNativeWindow();
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [target](const std::unique_ptr<CUILibWindow>& w) { return w.get() == target; });
  if (it != windows_.end()) {
    // The object outlives this call: messages of its native window's last
    // moments may still reach it. The deletion timer frees it once that
    // window is gone.
    uilib::State().deletion.Queue(std::move(*it));
    windows_.erase(it);
  }
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

IUILibWindow* CUILibImpl::CreateWindowById(const char* id, uilib::NativeWindow parent, void* userData,
                                           const uilib::NativeRect* defaultRect) {
  if (id == nullptr) return nullptr;
  const TiXmlElement* xml = document_.FindWindow(id);
  if (xml == nullptr) return nullptr;
  std::unique_ptr<CUILibWindow> built = uilib::MakeWindowObject(xml, this);
  CUILibWindow* window = built.get();
  windows_.push_back(std::move(built));
  window->SetUserData(userData);
  if (!window->CreateNativeWindow(parent, defaultRect)) {
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [window](const std::unique_ptr<CUILibWindow>& w) { return w.get() == window; });
    if (it != windows_.end()) windows_.erase(it);
    return nullptr;
  }
  return window;
}

bool CUILibImpl::TryLockTree(std::uint32_t timeout_ms) { return uilib::State().tree_mutex.Lock(timeout_ms); }

void CUILibImpl::UnlockTree() { uilib::State().tree_mutex.Unlock(); }

int CUILibImpl::RegisterHandler(const char* name, void* handler) {
  if (name == nullptr) return 0;
  handlers_.Register(name, handler);
  return 1;
}

int CUILibImpl::UnregisterHandler(const char* name) {
  if (name == nullptr) return 0;
  return handlers_.Unregister(name) ? 1 : 0;
}

void* CUILibImpl::FindHandler(const char* name) {
  if (name == nullptr) return nullptr;
  return handlers_.Find(name);
}
