// UILibStartup for the whole test program, on the main thread, which runs
// every test and therefore owns the library's timers and windows.
#include <gtest/gtest.h>

#include "uilib/uilib_startup.h"
#include "uilib/win/uilib_runtime.h"

namespace {

class RuntimeEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(UILibStartup(GetModuleHandleW(nullptr)), 1); }
};

::testing::Environment* const kRuntimeEnvironment = ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment());

}  // namespace
