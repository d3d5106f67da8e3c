// IUILib: the library object as a client sees it. A client creates it with
// CreateUILib, loads one skin document, registers named handlers and item
// providers, and creates windows by their id.
#pragma once

#include <string>

#include "uilib/iuilib_element.h"
#include "uilib/iuilib_window.h"
#include "uilib/native_handles.h"

class TiXmlElement;

// Supplies the children of an element whose skin says provider="uilib::Name".
class IUILibItemProvider {
 public:
  virtual ~IUILibItemProvider() = default;
  // Returns nonzero and sets `*first` to the first of a chain of sibling XML
  // elements, or returns zero for no children. The library takes ownership of
  // the parent node of `*first` (typically a document the provider allocated)
  // and deletes it once the children are built.
  virtual int GetItems(const char* elementId, TiXmlElement** first) = 0;
};

// Optional extension, found by a dynamic type check on the registered object:
// told when the user scrolls the element's content to its end or back to its start.
class IUILibItemProvider2 : public IUILibItemProvider {
 public:
  virtual void OnScrolledToEnd() = 0;
  virtual void OnScrolledToStart() = 0;
};

// Serves "string::key" text references.
class IUILibTextProvider {
 public:
  virtual ~IUILibTextProvider() = default;
  virtual void GetText(std::wstring& out, const char* key) = 0;
};

class IUILib {
 public:
  virtual ~IUILib() = default;
  // Destroys the window and sets `window` to null. Pointers that are not
  // library windows are ignored.
  virtual void DestroyWindow(IUILibWindow*& window) = 0;
  virtual int LoadSkinFromResource(uilib::NativeModule module, const wchar_t* name,
                                   const wchar_t* type) = 0;
  virtual int LoadSkinFromFile(const wchar_t* path) = 0;
  // Builds the window whose id equals `id` case-insensitively; null when none.
  virtual IUILibWindow* CreateWindowById(const char* id, uilib::NativeWindow parent,
                                         void* userData,
                                         const uilib::NativeRect* defaultRect) = 0;
  // Registers an event handler function or an item provider under a
  // case-sensitive name, replacing a previous value. Always nonzero.
  virtual int RegisterHandler(const char* name, void* handler) = 0;
  virtual int UnregisterHandler(const char* name) = 0;
  virtual void* FindHandler(const char* name) = 0;
  virtual IUILibTextProvider* GetTextProvider() = 0;
  virtual void SetTextProvider(IUILibTextProvider* provider) = 0;
};

// A new library object with no document, no handlers and no text provider.
IUILib* CreateUILib();
