// The command lines of the self-copy and of the restarted updater. How they
// split back into arguments is checked with the real split in
// self_copy_win_test.cpp; here the quoting rules themselves.
#include <gtest/gtest.h>

#include "self_copy_command_line.h"

namespace velko::updater {
namespace {

TEST(SelfCopyCommandLine, QuotesBothPathsAroundTheExtractSwitch) {
  EXPECT_EQ(SelfCopyCommandLine(L"C:\\Users\\A B\\Temp\\uper2.exe",
                                L"C:\\Users\\A B\\AppData\\Local\\commdl\\velko 2.rar"),
            L"\"C:\\Users\\A B\\Temp\\uper2.exe\" -Extra "
            L"\"C:\\Users\\A B\\AppData\\Local\\commdl\\velko 2.rar\"");
  // An empty package path still gives an argument after the switch.
  EXPECT_EQ(SelfCopyCommandLine(L"u.exe", L""), L"\"u.exe\" -Extra \"\"");
}

// A trailing backslash would otherwise escape the closing quote and run the
// rest of the line into the argument.
TEST(SelfCopyCommandLine, TrailingBackslashesAreDoubledBeforeTheQuote) {
  EXPECT_EQ(SelfCopyCommandLine(L"u.exe", L"C:\\dir\\"), L"\"u.exe\" -Extra \"C:\\dir\\\\\"");
  EXPECT_EQ(QuotedProgramCommandLine(L"C:\\Program Files\\VelkoBrowser\\updater.exe"),
            L"\"C:\\Program Files\\VelkoBrowser\\updater.exe\"");
}

}  // namespace
}  // namespace velko::updater
