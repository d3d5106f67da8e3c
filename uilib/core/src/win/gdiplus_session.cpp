#include "uilib/win/gdiplus_session.h"

namespace uilib::win {

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no callback, thread not suppressed
  status_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
  if (status_ == Gdiplus::Ok) Gdiplus::GdiplusShutdown(token_);
}

}  // namespace uilib::win
