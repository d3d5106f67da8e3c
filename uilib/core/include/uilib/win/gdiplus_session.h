// Starts GDI+ for the lifetime of the object (version 1, no debug callback,
// background thread not suppressed, external codecs not used).
#pragma once

#include "uilib/win/gdiplus_include.h"

namespace uilib::win {

class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

  bool Ok() const { return status_ == Gdiplus::Ok; }

 private:
  ULONG_PTR token_ = 0;
  Gdiplus::Status status_ = Gdiplus::GenericError;
};

}  // namespace uilib::win
