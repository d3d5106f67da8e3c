// The taskbar pin goes through the shell's automation objects: there is no
// documented API to pin, so the installer does what a user would do, invoking
// the verb whose caption is the shell's own pin-to-taskbar caption.
#include <windows.h>
#include <shldisp.h>

#include "velko/com_ref.h"
#include "velko/installer/shortcuts.h"
#include "velko/path_text.h"

namespace velko::installer {
namespace {

constexpr UINT kPinVerbStringId = 5386;  // in shell32.dll, in the system's language
constexpr int kVerbCaptionChars = 260;

std::wstring LoadPinVerbCaption() {
  HMODULE shell32 = LoadLibraryW(L"shell32.dll");
  if (shell32 == nullptr) return {};
  wchar_t caption[kVerbCaptionChars] = {};
  const int length = LoadStringW(shell32, kPinVerbStringId, caption, kVerbCaptionChars);
  FreeLibrary(shell32);
  return length > 0 ? std::wstring(caption, static_cast<std::size_t>(length)) : std::wstring();
}

bool EqualIgnoringCase(const wchar_t* a, const wchar_t* b) {
  return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

VARIANT IndexVariant(long index) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = index;
  return v;
}

// Invokes every verb of `item` whose caption is `caption`. True if one was.
bool InvokeMatchingVerbs(FolderItem* item, const std::wstring& caption) {
  ComRef<FolderItemVerbs> verbs;
  if (FAILED(item->Verbs(verbs.Receive())) || !verbs) return false;
  long count = 0;
  if (FAILED(verbs->get_Count(&count))) return false;
  bool invoked = false;
  for (long j = 0; j < count; ++j) {
    ComRef<FolderItemVerb> verb;
    if (FAILED(verbs->Item(IndexVariant(j), verb.Receive())) || !verb) continue;
    ScopedBstr name;
    if (FAILED(verb->get_Name(name.Receive()))) continue;
    if (EqualIgnoringCase(name.c_str(), caption.c_str())) invoked |= SUCCEEDED(verb->DoIt());
  }
  return invoked;
}

// The shell may report the file name with or without its extension.
bool IsBrowserItem(FolderItem* item) {
  ScopedBstr name;
  if (FAILED(item->get_Name(name.Receive()))) return false;
  return EqualIgnoringCase(name.c_str(), L"chrome") || EqualIgnoringCase(name.c_str(), L"chrome.exe");
}

ComRef<FolderItems> OpenFolderItems(const std::wstring& folder_path) {
  ComRef<FolderItems> items;
  ComRef<IShellDispatch> shell;
  if (FAILED(CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_ALL, IID_IShellDispatch, shell.ReceiveVoid()))) {
    return items;
  }
  ScopedBstr folder_text(folder_path.c_str());
  VARIANT folder_variant;
  VariantInit(&folder_variant);
  folder_variant.vt = VT_BSTR;
  folder_variant.bstrVal = folder_text.get();
  ComRef<Folder> folder;
  if (FAILED(shell->NameSpace(folder_variant, folder.Receive())) || !folder) return items;
  folder->Items(items.Receive());
  return items;
}

}  // namespace

PinResult InvokeBrowserVerb(const std::wstring& browser_path, const std::wstring& verb_caption) {
  ComRef<FolderItems> items = OpenFolderItems(ParentPath<wchar_t>(browser_path));
  long count = 0;
  if (!items || FAILED(items->get_Count(&count))) return PinResult::kShellUnavailable;
  bool listed = false;
  bool pinned = false;
  // Every matching item is tried; the enumeration does not stop at the first.
  for (long i = 0; i < count; ++i) {
    ComRef<FolderItem> item;
    if (FAILED(items->Item(IndexVariant(i), item.Receive())) || !item) break;
    if (!IsBrowserItem(item.get())) continue;
    listed = true;
    pinned |= InvokeMatchingVerbs(item.get(), verb_caption);
  }
  if (pinned) return PinResult::kPinned;
  return listed ? PinResult::kNoPinVerb : PinResult::kBrowserNotListed;
}

PinResult PinToTaskbar(const std::wstring& browser_path) {
  const std::wstring caption = LoadPinVerbCaption();
  if (caption.empty()) return PinResult::kNoVerbName;
  return InvokeBrowserVerb(browser_path, caption);
}

}  // namespace velko::installer
