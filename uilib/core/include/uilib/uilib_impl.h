// CUILibImpl: the library object. Holds one skin document, the windows built
// from it, the handler registry and the text provider. Destroying it deletes
// the window objects it still holds (they point back to it), which closes
// their native windows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "uilib/base.h"
#include "uilib/handler_registry.h"
#include "uilib/iuilib.h"
#include "uilib/skin_document.h"
#include "uilib/tree_lock.h"
#include "uilib/window.h"

class CUILibImpl : public IUILib, public CUILibBase, public uilib::TreeLockSource {
 public:
  CUILibImpl();
  ~CUILibImpl() override;

  void DestroyWindow(IUILibWindow*& window) override;
  int LoadSkinFromResource(uilib::NativeModule module, const wchar_t* name, const wchar_t* type) override;
  int LoadSkinFromFile(const wchar_t* path) override;
  IUILibWindow* CreateWindowById(const char* id, uilib::NativeWindow parent, void* userData,
                                 const uilib::NativeRect* defaultRect) override;
  int RegisterHandler(const char* name, void* handler) override;
  int UnregisterHandler(const char* name) override;
  void* FindHandler(const char* name) override;
  IUILibTextProvider* GetTextProvider() override { return text_provider_; }
  void SetTextProvider(IUILibTextProvider* provider) override { text_provider_ = provider; }

  // The process's tree mutex, shared with the render thread.
  bool TryLockTree(std::uint32_t timeout_ms) override;
  void UnlockTree() override;

  // Loads a document held in memory or in a file, with the reason of a failure.
  uilib::SkinLoadResult LoadSkinFromMemory(std::string_view bytes);
  uilib::SkinLoadResult LoadSkinFile(const std::filesystem::path& path);
  const uilib::SkinDocument& Document() const { return document_; }
  // The live windows, in creation order.
  const std::vector<std::unique_ptr<CUILibWindow>>& Windows() const { return windows_; }
  // Builds the element tree of the window `id` without creating a native
  // window (a tree-only window on every platform). Null when there is no
  // document or no such window.
  std::unique_ptr<CUILibWindow> BuildWindowTree(const char* id);

 private:
  uilib::SkinDocument document_;
  std::vector<std::unique_ptr<CUILibWindow>> windows_;
  uilib::HandlerRegistry handlers_;
  IUILibTextProvider* text_provider_ = nullptr;
};
