// OsInfo against Wine's own WMI. Registered twice: as is, and with WMI taken away from the process
// (WINEDLLOVERRIDES=wbemprox=d); each group of tests runs only in the registration it is for.
#include <windows.h>

#include <gtest/gtest.h>

#include <wbemcli.h>

#include <cstring>
#include <string>

#include "com_count.h"
#include "live_blocks.h"
#include "osinfo/os_info.h"
#include "values/fieldless_instance.h"

namespace {

bool WmiTakenAway() {
  char overrides[512] = {};
  DWORD length = GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  return length > 0 && length < sizeof overrides && strstr(overrides, "wbemprox=d") != nullptr;
}

std::string Show(const Text& text) { return text.get() ? text.get() : ""; }

// An OsInfo instance made as the program makes it, on a thread whose COM the test initialised once.
class OsInfoOnWine : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    comInitialised_ = true;
  }
  void TearDown() override {
    if (comInitialised_) {
      EXPECT_EQ(ComInitialisationCount(), 1) << "the test's own initialisation only";
      CoUninitialize();
    }
    info_->Destroy();
    Release(info_);
  }

  OsInfo* info_ = NewFieldlessInstance<OsInfo>();
  bool comInitialised_ = false;
};

class RealWmi : public OsInfoOnWine {
 protected:
  void SetUp() override {
    if (WmiTakenAway()) GTEST_SKIP() << "WMI is taken away from this run";
    OsInfoOnWine::SetUp();
  }
};

class WithoutWmi : public OsInfoOnWine {
 protected:
  void SetUp() override {
    if (!WmiTakenAway()) GTEST_SKIP() << "WMI is available in this run";
    OsInfoOnWine::SetUp();
  }
};

TEST_F(RealWmi, AnswersTheWindowsDirectoryAndWhatKindOfSystemThisIs) {
  char windows[MAX_PATH] = {};
  ASSERT_NE(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  {
    NoLeakScope blocks;
    EXPECT_EQ(Show(info_->WindowsDirectory()), windows);
  }
  {
    NoLeakScope blocks;
    EXPECT_GT(info_->BuildNumber(), 0);
  }
  {
    NoLeakScope blocks;
    EXPECT_TRUE(info_->IsWindowsNt());
    EXPECT_TRUE(info_->IsWorkstation());
    EXPECT_FALSE(info_->IsServer());
  }
  {
    NoLeakScope blocks;
    std::string caption = Show(info_->Caption());
    EXPECT_FALSE(caption.empty());
    EXPECT_EQ(Show(info_->Caption2()), caption);
  }
}

// Wine's Win32_OperatingSystem has no Debug and no DataExecutionPrevention_* columns: Get fails.
TEST_F(RealWmi, PropertiesWineDoesNotProvideGiveTheFreshValue) {
  NoLeakScope blocks;
  EXPECT_FALSE(info_->Debug());
  EXPECT_EQ(info_->DataExecutionPrevention_SupportPolicy(), 0);
}

TEST_F(WithoutWmi, GettersGiveTheFreshIntegerZero) {
  // Without this the run would not be testing a missing WMI at all.
  IWbemLocator* locator = nullptr;
  EXPECT_NE(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                             reinterpret_cast<void**>(&locator)),
            S_OK);
  if (locator) locator->Release();

  NoLeakScope blocks;
  EXPECT_EQ(Show(info_->WindowsDirectory()), "0");
  EXPECT_EQ(info_->BuildNumber(), 0);
  EXPECT_FALSE(info_->Debug());
  EXPECT_FALSE(info_->IsWorkstation());
}

}  // namespace
