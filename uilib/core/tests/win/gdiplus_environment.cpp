// GDI+ started once for a test program, as the library's start-up does for a
// client. It stays up until the process ends: the shared default font and the
// font families are never freed.
#include <gtest/gtest.h>

#include "uilib/win/gdiplus_session.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    session_ = new uilib::win::GdiplusSession();
    ASSERT_TRUE(session_->Ok());
  }

 private:
  uilib::win::GdiplusSession* session_ = nullptr;
};

::testing::Environment* const kGdiplusEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment());

}  // namespace
