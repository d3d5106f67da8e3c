// Client interfaces of the element kinds. A client obtains one by a dynamic
// cast of an element's IUILibElement pointer (for example after FindElementsById).
#pragma once

#include <cstdint>
#include <string>

#include "uilib/native_handles.h"

class IUILibLabel {
 public:
  virtual void SetText(const wchar_t* text) = 0;

 protected:
  ~IUILibLabel() = default;
};

// Implemented by the windowless and the native check box.
class IUILibCheckBox {
 public:
  virtual int GetCheck() = 0;
  virtual void SetCheck(int checked) = 0;

 protected:
  ~IUILibCheckBox() = default;
};

// The three progress kinds: a fraction between 0 and 1.
class IUILibProcess {
 public:
  virtual void SetProgress(double fraction) = 0;

 protected:
  ~IUILibProcess() = default;
};

// The image element and the ad element.
class IUILibImage {
 public:
  virtual void Invalidate() = 0;
  virtual void SetImage(Gdiplus::Image* image, int ignored, int repaint) = 0;
  virtual void SetBitmap(uilib::NativeBitmap bitmap, int ignored, int repaint) = 0;
  virtual void SetSource(const wchar_t* source, std::uint32_t fadeMs, int repaint) = 0;
  virtual void SlideTo(const wchar_t* file, int direction, std::uint32_t durationMs) = 0;

 protected:
  ~IUILibImage() = default;
};

// Records are laid out like Win32's SCROLLINFO and SCROLLBARINFO.
class IUILibScrollBar {
 public:
  virtual int GetScrollPos() = 0;
  virtual int SetScrollPos(int position, int redraw) = 0;
  virtual int GetScrollRange(int* minimum, int* maximum) = 0;
  virtual int SetScrollRange(int minimum, int maximum, int redraw) = 0;
  virtual int GetScrollInfo(tagSCROLLINFO* info) = 0;
  virtual int SetScrollInfo(const tagSCROLLINFO* info, int redraw) = 0;
  // The reserved slots keep their arguments and answers: on i686 the callee
  // removes the arguments, so the signatures are part of the interface.
  virtual int Reserved1() = 0;
  virtual int GetScrollBarInfo(tagSCROLLBARINFO* info) = 0;
  virtual void Reserved2(std::intptr_t) = 0;
  virtual int Reserved3(std::intptr_t) = 0;

 protected:
  ~IUILibScrollBar() = default;
};

class IUILibIFrame {
 public:
  virtual const wchar_t* GetSource() = 0;
  virtual void Navigate(const wchar_t* address) = 0;
  virtual const wchar_t* GetNewWindowUrl() = 0;
  virtual const wchar_t* GetLoadedUrl() = 0;

 protected:
  ~IUILibIFrame() = default;
};

class IUILibComboBoxEx {
 public:
  virtual int SelectByData(int data) = 0;
  virtual int GetSelectedData() = 0;

 protected:
  ~IUILibComboBoxEx() = default;
};

class IUILibRichEdit {
 public:
  virtual std::wstring GetText() = 0;
  virtual int SetText(const wchar_t* text) = 0;

 protected:
  ~IUILibRichEdit() = default;
};

class IUILibPageFrame {
 public:
  virtual int ShowNext() = 0;
  virtual int ShowPrevious() = 0;

 protected:
  ~IUILibPageFrame() = default;
};
