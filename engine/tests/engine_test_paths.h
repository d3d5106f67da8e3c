// Paths of the engine libraries the tests load (built beside the test).
#pragma once

#include <string>

#include "win_test_support.h"

namespace velko::xldl::testing {

inline std::wstring ReferenceEnginePath() {
  return test_support::ExecutableFolder() + L"\\" + TEXT(VELKO_TEST_ENGINE_DLL);
}

inline std::wstring NoExportsLibraryPath() {
  return test_support::ExecutableFolder() + L"\\" + TEXT(VELKO_TEST_NO_EXPORTS_DLL);
}

}  // namespace velko::xldl::testing
