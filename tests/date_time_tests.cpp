// Dates through the scripting date-time object: Wine as it is (no such object) and a fake of it.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "fake_date_time.h"
#include "live_blocks.h"
#include "osinfo/os_info.h"
#include "osinfo/wmi_date_time.h"
#include "runtime/com_object.h"
#include "values/fieldless_instance.h"

namespace {
// Runs `work` on a thread of its own that has not initialised COM, then tells whether COM was
// left uninitialised there: a balanced count lets CoInitialize start afresh with S_OK.
template <class Work>
bool LeavesComBalanced(Work work) {
  HRESULT afterwards = E_FAIL;
  std::thread thread([&] {
    work();
    afterwards = CoInitialize(nullptr);
    if (SUCCEEDED(afterwards)) CoUninitialize();
  });
  thread.join();
  return afterwards == S_OK;
}

// COM stays initialised on the test thread while the fake is registered, as a caller would have it.
class ComThread : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};
}  // namespace

TEST(DateTimeWithoutTheObject, InstallDateIsTheEmptyDateAndComIsBalanced) {
  NoLeakScope scope;
  double date = 0;
  EXPECT_TRUE(LeavesComBalanced([&] {
    OsInfo* info = NewFieldlessInstance<OsInfo>();
    date = info->InstallDate();
    info->Destroy();
    Release(info);
  }));
  EXPECT_EQ(date, -657434.0) << "0100-01-01 00:00:00";
  EXPECT_TRUE(LeavesComBalanced([] {
    for (int i = 0; i < 3; ++i) (void)WmiDateTimeToDate("20240305120000.000000+480");
  }));
}

TEST_F(ComThread, TheTextGoesToValueAndGetVarDateGivesTheDate) {
  FakeDateTimeScript script;
  script.date = 45356.5;  // 2024-03-05 12:00
  FakeDateTimeRegistration fake(script);
  ASSERT_TRUE(fake.registered());
  NoLeakScope scope;

  EXPECT_EQ(WmiDateTimeToDate("20240305120000.000000+480"), 45356.5);
  EXPECT_EQ(WmiDateTimeToDate(nullptr), 45356.5);

  const FakeDateTimeLog& log = fake.log();
  ASSERT_EQ(log.valuesWritten.size(), 2u);
  EXPECT_EQ(log.valuesWritten[0], L"20240305120000.000000+480");
  EXPECT_EQ(log.valuesWritten[1], L"<null>") << "an empty text goes as a null string";
  EXPECT_EQ(log.getVarDateArgumentCounts, (std::vector<UINT>{0, 0}));
  EXPECT_EQ(log.liveObjects, 0);
  EXPECT_EQ(log.events, (std::vector<std::string>{"created", "released", "uninitialize", "created",
                                                  "released", "uninitialize"}))
      << "each object is released before COM is uninitialised";
}

TEST_F(ComThread, AFailingGetVarDateGivesTheZeroDateAndIsRecorded) {
  FakeDateTimeScript script;
  script.getVarDateResult = DISP_E_EXCEPTION;
  FakeDateTimeRegistration fake(script);
  ASSERT_TRUE(fake.registered());
  NoLeakScope scope;
  EXPECT_EQ(WmiDateTimeToDate("garbage"), 0.0);
  EXPECT_EQ(LastComObjectError(), DISP_E_EXCEPTION);
  EXPECT_EQ(fake.log().liveObjects, 0);
}
