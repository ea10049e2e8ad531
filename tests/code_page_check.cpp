// Linked into every test program that is registered for an ANSI code page. Before any test runs,
// it checks that the registration's locale gave the process that page: a locale that did not take
// would run the cases written for one page under the other, or skip them, and still pass.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// The registration names the page it is for; LC_ALL alone does not say whether Wine took it.
const char kExpectedPage[] = "HOSTSFIX_TEST_ANSI_CODE_PAGE";

class AnsiCodePageCheck : public testing::Environment {
 public:
  void SetUp() override {
    char expected[16] = {};
    DWORD length = GetEnvironmentVariableA(kExpectedPage, expected, sizeof expected);
    ASSERT_TRUE(length > 0 && length < sizeof expected)
        << kExpectedPage << " must name the ANSI code page this run is registered for (936 with "
        << "LC_ALL=zh_CN.UTF-8, 1252 with LC_ALL=C.UTF-8); GetACP() is " << GetACP();
    ASSERT_EQ(GetACP(), std::strtoul(expected, nullptr, 10))
        << "the locale did not give the ANSI code page this run is registered for";
  }
};

[[maybe_unused]] testing::Environment* const check =
    testing::AddGlobalTestEnvironment(new AnsiCodePageCheck);
}  // namespace
