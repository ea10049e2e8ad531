// The run time's open-address command: through the desktop shell when one answers, else from this
// process without any user interface. The shell is a scripted fake registered in this process
// (fake_shell.h), or Wine's own explorer; the browser is the URL recorder (recorded_browser.h).
//
// Under Wine every process runs as the same user, so whether the browser starts unelevated cannot
// be shown here: the tests show which route the address takes.
#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fake_shell.h"
#include "recorded_browser.h"
#include "runtime/desktop_shell.h"
#include "runtime/open_address.h"
#include "test_files.h"

using fake_shell::Execution;
using fake_shell::FailingAt;
using fake_shell::Live;
using fake_shell::Registration;
using fake_shell::Script;
using fake_shell::Step;
using fake_shell::StepsThrough;

namespace {
const char kAddress[] = "https://hostsfix.example/path?a=1&b=two";
const wchar_t kWideAddress[] = L"https://hostsfix.example/path?a=1&b=two";

// Long enough for the recorder to start and write, had anything started it.
const DWORD kNothingRecordedWait = 2000;

std::wstring FreshRecordFile() { return FreshTempFolder(L"open_address_tests") + L"record.txt"; }

class OpenAddressTest : public testing::Test {
 protected:
  void SetUp() override {
    // As the run time has it on the GUI thread.
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    comInitialised_ = true;
  }
  void TearDown() override {
    if (comInitialised_) CoUninitialize();
  }

 private:
  bool comInitialised_ = false;
};

TEST_F(OpenAddressTest, AddressReachesTheDesktopShellWhenOneRuns) {
  ASSERT_EQ(GetACP(), 936u) << "the last address is written in code page 936";
  struct Case {
    const char* address;
    const wchar_t* received;
  } cases[] = {
      {kAddress, kWideAddress},
      {"https://hostsfix.example/", L"https://hostsfix.example/"},
      // "路径" (path) in code page 936: the shell gets the address as ShellExecuteExA reads it.
      {"https://hostsfix.example/\xc2\xb7\xbe\xb6", L"https://hostsfix.example/\u8def\u5f84"},
  };
  RecordedBrowser browser(FreshRecordFile());
  ASSERT_TRUE(browser.Installed());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    Registration shell(fake_shell::Succeeding(0x10020));
    ASSERT_EQ(shell.result(), S_OK);
    EXPECT_TRUE(OpenAddress(c.address));
    EXPECT_EQ(shell.record().steps, fake_shell::AllSteps());
    std::vector<Execution> expected = {{c.received, L"", L"", L"open", SW_SHOWNORMAL}};
    EXPECT_EQ(shell.record().executions, expected);
    EXPECT_EQ(fake_shell::LiveReferences(), Live{}) << "every reference is released";
  }
  EXPECT_FALSE(browser.WaitForAddresses(1, kNothingRecordedWait))
      << "the shell took the address: nothing else opens it";
}

TEST_F(OpenAddressTest, EveryCallWalksTheRouteAfresh) {
  Registration shell(Script{});
  ASSERT_EQ(shell.result(), S_OK);
  const int kCalls = 3;
  std::vector<Step> steps;
  for (int call = 0; call < kCalls; ++call) {
    EXPECT_TRUE(OpenAddress(kAddress));
    EXPECT_EQ(fake_shell::LiveReferences(), Live{}) << "nothing is kept between calls";
    steps.insert(steps.end(), fake_shell::AllSteps().begin(), fake_shell::AllSteps().end());
  }
  EXPECT_EQ(shell.record().steps, steps);
  EXPECT_EQ(shell.record().executions.size(), static_cast<size_t>(kCalls));
}

TEST_F(OpenAddressTest, FallbackOpensTheAddressWhenAStepOfTheRouteFails) {
  struct Case {
    Step failing;
    HRESULT failure;
    bool handOutAnyway;  // an S_FALSE with the object still counts as a failure
  } cases[] = {
      {Step::Create, REGDB_E_CLASSNOTREG, false},
      {Step::FindWindow, E_FAIL, false},
      {Step::FindWindow, S_FALSE, true},
      {Step::ServiceProvider, E_NOINTERFACE, false},
      {Step::QueryService, E_NOINTERFACE, false},
      {Step::QueryService, S_FALSE, true},
      {Step::ActiveView, E_FAIL, false},
      {Step::ActiveView, S_FALSE, true},
      {Step::ItemObject, E_NOINTERFACE, false},
      {Step::ItemObject, S_FALSE, true},
      {Step::FolderViewDual, E_NOINTERFACE, false},
      {Step::Application, E_FAIL, false},
      {Step::Application, S_FALSE, true},
      {Step::ShellDispatch2, E_NOINTERFACE, false},
      {Step::ShellExecute, E_FAIL, false},
      {Step::ShellExecute, S_FALSE, false},  // how Wine's shell says that it could not open it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << testing::PrintToString(c.failing) << " returns 0x" << std::hex << c.failure
                 << (c.handOutAnyway ? " with its object" : ""));
    RecordedBrowser browser(FreshRecordFile());
    ASSERT_TRUE(browser.Installed());
    {
      Registration shell(FailingAt(c.failing, c.failure, c.handOutAnyway));
      ASSERT_EQ(shell.result(), S_OK);
      EXPECT_TRUE(OpenAddress(kAddress));
      EXPECT_EQ(shell.record().steps, StepsThrough(c.failing)) << "the route stops at the failure";
      EXPECT_EQ(fake_shell::LiveReferences(), Live{}) << "every reference is released";
    }
    ASSERT_TRUE(browser.WaitForAddresses(1));
    EXPECT_EQ(browser.Addresses(), std::vector<std::string>{kAddress});
  }
}

BOOL CALLBACK CloseIfShown(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  wchar_t title[256] = L"";
  GetWindowTextW(window, title, 256);
  reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(title);
  PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Every window of this process on screen; each is closed as it is found, so that a modal box
// cannot hold up the call that showed it.
std::vector<std::wstring> CloseShownWindows() {
  std::vector<std::wstring> shown;
  EnumWindows(CloseIfShown, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

// Runs `work` on a thread of its own, in a COM apartment of its own, and gives the titles of the
// windows that this process showed meanwhile and shortly after.
template <class Work>
std::vector<std::wstring> WindowsShownWhile(Work work) {
  std::atomic<bool> done = false;
  std::thread worker([&] {
    bool initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) == S_OK;
    work();
    if (initialised) CoUninitialize();
    done = true;
  });
  std::vector<std::wstring> shown;
  auto look = [&] {
    for (std::wstring& title : CloseShownWindows()) shown.push_back(title);
  };
  while (!done) {
    look();
    Sleep(50);
  }
  worker.join();
  for (int more = 0; more < 10; ++more, Sleep(50)) look();
  return shown;
}

TEST(OpenAddressWithoutShell, WithoutADesktopWindowTheFallbackRunsAndNothingElseIsShown) {
  struct Case {
    const char* name;
    std::optional<std::wstring> browser;  // none: the recorder; else a program that is not there
    bool accepted;
  } cases[] = {
      {"the browser starts", std::nullopt, true},
      {"the browser cannot be started", L"C:\\no such folder\\browser.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordedBrowser browser = c.browser ? RecordedBrowser(FreshRecordFile(), *c.browser)
                                        : RecordedBrowser(FreshRecordFile());
    ASSERT_TRUE(browser.Installed());
    HRESULT registered = E_FAIL;
    std::vector<Step> steps;
    bool accepted = !c.accepted;
    // FindWindowSW's answer when no desktop window is listed.
    std::vector<std::wstring> shown = WindowsShownWhile([&] {
      Registration shell(FailingAt(Step::FindWindow, S_FALSE));
      registered = shell.result();
      accepted = OpenAddress(kAddress);
      steps = shell.record().steps;
    });
    ASSERT_EQ(registered, S_OK);
    EXPECT_EQ(steps, StepsThrough(Step::FindWindow));
    EXPECT_EQ(accepted, c.accepted);
    EXPECT_EQ(shown, std::vector<std::wstring>{}) << "no picker, no error box";
    EXPECT_EQ(fake_shell::LiveReferences(), Live{});
    if (c.accepted) {
      ASSERT_TRUE(browser.WaitForAddresses(1));
      EXPECT_EQ(browser.Addresses(), std::vector<std::string>{kAddress});
    } else {
      EXPECT_FALSE(browser.WaitForAddresses(1, kNothingRecordedWait));
    }
  }
}

// Wine's explorer answers FindWindowSW for the desktop, with and without a virtual desktop, and
// its IShellDispatch2::ShellExecute starts the registered browser.
TEST_F(OpenAddressTest, WinesDesktopShellTakesTheAddress) {
  RecordedBrowser browser(FreshRecordFile());
  ASSERT_TRUE(browser.Installed());
  EXPECT_TRUE(OpenThroughDesktopShell(kAddress));
  ASSERT_TRUE(browser.WaitForAddresses(1));
  EXPECT_EQ(browser.Addresses(), std::vector<std::string>{kAddress});
}
}  // namespace
