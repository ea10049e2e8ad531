// The real hostsfix.exe in a Wine prefix of its own (tests/in_own_prefix), so the project
// prefix's hosts file is never touched. The button is clicked as a person clicks it: xdotool moves
// the pointer over it and presses through the X server; the edit box is emptied with X keys.
//
// Wine reports the archive bit on every file, so attributes are compared without it.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui_wait.h"
#include "recorded_browser.h"
#include "repair/repair_hosts.h"
#include "repair/stock_hosts_text.h"
#include "test_files.h"
#include "unix_side.h"

namespace {
std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.resize(folder.rfind(L'\\'));                // ...\build\tests
  return folder.substr(0, folder.rfind(L'\\') + 1);  // ...\build\ holds hostsfix.exe
}

std::wstring EtcFolder() {
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(windows) + L"\\system32\\drivers\\etc\\";
}

// The prefix's folder as Wine maps it at Z:, past any WoW64 redirection of C:\windows.
std::wstring EtcFolderPastRedirection(const wchar_t* below) {
  const char* prefix = getenv("WINEPREFIX");
  std::wstring folder = L"Z:";
  for (const char* c = prefix ? prefix : ""; *c; ++c) folder += *c == '/' ? L'\\' : wchar_t(*c);
  return folder + L"\\drive_c\\windows\\" + below + L"\\drivers\\etc\\";
}

// One run of hostsfix.exe, started as a user starts it, from its window on screen to its exit.
class Tool {
 public:
  // `variable` ("NAME=value") is added to the tool's environment. It goes through the Unix side:
  // Wine reads its own variables, such as WINEDLLOVERRIDES, from the Unix environment.
  explicit Tool(const std::string& variable = "") {
    RunUnix("/usr/bin/env " + variable + " /usr/bin/wine \"" + Ansi(ProgramFolder()) +
            "hostsfix.exe\"");
    WaitUntil(
        [&] {
          window_ = FindWindowW(L"RuntimeWindow", L"hosts");
          return window_ && IsWindowVisible(window_);
        },
        60000);
    DWORD processId = 0;
    thread_ = GetWindowThreadProcessId(window_, &processId);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                           FALSE, processId);
  }
  Tool(const Tool&) = delete;
  Tool& operator=(const Tool&) = delete;
  ~Tool() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }

  bool Started() const { return process_ && IsWindowVisible(window_); }

  void ClickButton() {
    HWND button = Control(L"Button");
    RECT place;
    GetClientRect(button, &place);
    ClickAt(button, {place.right / 2, place.bottom / 2});
  }

  // As a person empties it: a click on a free spot of the window gives it the focus, Tab moves
  // into the edit box out of sight, and the whole text is selected and deleted.
  bool EmptyEditBoxByKeyboard() {
    ClickAt(window_, {4, 4});
    if (!WaitUntil([&] { return Focus() == Control(L"Button"); })) return false;
    HWND edit = Control(L"Edit");
    RunUnix("/usr/bin/xdotool key Tab");
    if (!WaitUntil([&] { return Focus() == edit; })) return false;
    RunUnix("/usr/bin/xdotool key ctrl+shift+End Delete");
    // Asked of the control itself: for another process's window GetWindowTextLength answers 0.
    return WaitUntil([&] { return SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0) == 0; });
  }

  // Esc as the keyboard delivers it to the focused control; the exit code, or -2 on no exit.
  int CloseWithEsc() {
    HWND target = Focus() ? Focus() : window_;
    PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    DWORD code = static_cast<DWORD>(-2);
    if (WaitForSingleObject(process_, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
  }

 private:
  HWND Control(const wchar_t* className) const {
    return FindWindowExW(window_, nullptr, className, nullptr);
  }

  HWND Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread_, &info);
    return info.hwndFocus;
  }

  // Without a window manager Wine's screen coordinates are the X screen's. No --sync: xdotool
  // would wait for ever for a move to where the pointer already is.
  static void ClickAt(HWND target, POINT client) {
    ClientToScreen(target, &client);
    RunUnix("/usr/bin/xdotool mousemove " + std::to_string(client.x) + " " +
            std::to_string(client.y) + " click 1");
  }

  HWND window_ = nullptr;
  DWORD thread_ = 0;
  HANDLE process_ = nullptr;
};

class EndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    etc_ = EtcFolder();
    hosts_ = etc_ + L"hosts";
    WaitOutMidnight();
    day_ = L"hosts" + TodaysBackupSuffix();
    browser_ =
        std::make_unique<RecordedBrowser>(FreshTempFolder(L"end_to_end_browser") + L"record.txt");
    ASSERT_TRUE(browser_->Installed());
    ASSERT_TRUE(PlainUserAsPromised());
    ClearHostsFolder();
  }

  void ClearHostsFolder() { EmptyFolder(etc_, L"hosts"); }

  // Clicks and waits for the home page, the click's last step.
  bool Click(Tool& tool) {
    tool.ClickButton();
    return browser_->WaitForAddresses(++clicks_);
  }

  void ExpectHomePageOpenedOnEveryClick() {
    EXPECT_EQ(browser_->Addresses(), std::vector<std::string>(clicks_, HomePage));
  }

  std::wstring etc_;
  std::wstring hosts_;
  std::wstring day_;  // the name of today's backup
  std::unique_ptr<RecordedBrowser> browser_;
  size_t clicks_ = 0;
};
}  // namespace

TEST_F(EndToEndTest, ClickBacksUpAndWritesTheStockTextReadOnlyAndSystem) {
  ASSERT_EQ(GetACP(), 936u) << "the stock bytes reach the file unchanged under code page 936";
  struct Case {
    const char* name;
    std::optional<std::string> earlier;  // none: no hosts file
    DWORD attributes;
  } cases[] = {
      {"plain hosts file", "127.0.0.1 ads.example\r\n", 0},
      {"archive, read-only and system", "earlier", kArchive | kReadOnly | kSystem},
      {"no hosts file", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearHostsFolder();
    if (c.earlier) {
      ASSERT_TRUE(WriteBytes(hosts_, *c.earlier, c.attributes));
    }
    Tool tool;
    ASSERT_TRUE(tool.Started());
    ASSERT_TRUE(Click(tool));
    Files expected = {{L"hosts", StockHostsText}};
    if (c.earlier) expected[day_] = *c.earlier;
    EXPECT_EQ(FilesIn(etc_, L"hosts"), expected);
    EXPECT_EQ(ReadBytes(hosts_).value_or("").size(), 831u);
    EXPECT_EQ(AttributesWithoutArchive(hosts_), ReadOnlyAndSystemAsStored());
    EXPECT_EQ(tool.CloseWithEsc(), 0);
  }
  ExpectHomePageOpenedOnEveryClick();
}

// Under WoW64 a 32-bit program's system32 is syswow64, but drivers\etc is exempt: the file that
// 64-bit Windows itself reads must be the one repaired.
TEST_F(EndToEndTest, RepairedHostsFileIsTheOneTheSystemReads) {
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  ASSERT_EQ(wow64 != FALSE, getenv("HOSTSFIX_WOW64") != nullptr) << "the prefix's architecture";
  ASSERT_TRUE(WriteBytes(hosts_, "earlier"));
  Tool tool;
  ASSERT_TRUE(tool.Started());
  ASSERT_TRUE(Click(tool));
  EXPECT_EQ(FilesIn(EtcFolderPastRedirection(L"system32"), L"hosts"),
            (Files{{L"hosts", StockHostsText}, {day_, "earlier"}}));
  EXPECT_EQ(FilesIn(EtcFolderPastRedirection(L"syswow64"), L"hosts"), Files{});
  EXPECT_EQ(tool.CloseWithEsc(), 0);
}

TEST_F(EndToEndTest, SecondClickKeepsTheFirstBackup) {
  ASSERT_TRUE(WriteBytes(hosts_, "the user's own hosts"));
  Tool tool;
  ASSERT_TRUE(tool.Started());
  ASSERT_TRUE(Click(tool));
  ASSERT_TRUE(Click(tool));
  EXPECT_EQ(FilesIn(etc_, L"hosts"), (Files{{L"hosts", StockHostsText},
                                            {day_, "the user's own hosts"},
                                            {day_ + L"_2", StockHostsText}}));
  EXPECT_EQ(tool.CloseWithEsc(), 0);
  ExpectHomePageOpenedOnEveryClick();
}

// Windows refuses to truncate a hidden file opened with FILE_ATTRIBUTE_NORMAL; Wine truncates it.
// So the lift of the hidden bit is seen another way: as a plain user, Wine cannot change the
// hidden bit (an extended attribute) of a file it has made read-only, so the hidden bit that the
// file keeps after the click is the one it had when it was written.
TEST_F(EndToEndTest, HiddenHostsFileIsUnhiddenBeforeTheFirstClickWritesIt) {
  ASSERT_TRUE(WriteBytes(hosts_, "earlier", kHidden));
  Tool tool;
  ASSERT_TRUE(tool.Started());
  ASSERT_TRUE(Click(tool));
  EXPECT_EQ(FilesIn(etc_, L"hosts"), (Files{{L"hosts", StockHostsText}, {day_, "earlier"}}));
  EXPECT_EQ(AttributesWithoutArchive(hosts_), ReadOnlyAndSystemAsStored());
  ASSERT_TRUE(Click(tool));
  EXPECT_EQ(FilesIn(etc_, L"hosts"),
            (Files{{L"hosts", StockHostsText}, {day_, "earlier"}, {day_ + L"_2", StockHostsText}}));
  EXPECT_EQ(tool.CloseWithEsc(), 0);
}

TEST_F(EndToEndTest, EditBoxEmptiedByKeyboardLeavesAnEmptyHostsFile) {
  ASSERT_TRUE(WriteBytes(hosts_, "earlier"));
  Tool tool;
  ASSERT_TRUE(tool.Started());
  ASSERT_TRUE(tool.EmptyEditBoxByKeyboard());
  ASSERT_TRUE(Click(tool));
  EXPECT_EQ(ReadBytes(hosts_), "");
  EXPECT_EQ(AttributesWithoutArchive(hosts_), ReadOnlyAndSystemAsStored());
  EXPECT_EQ(ReadBytes(etc_ + day_), "earlier");
  EXPECT_EQ(tool.CloseWithEsc(), 0);
}

TEST_F(EndToEndTest, HostsFileHeldOpenWithoutSharingKeepsItsContent) {
  ASSERT_TRUE(WriteBytes(hosts_, "earlier", kSystem));
  HANDLE held = CreateFileW(hosts_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Tool tool;
  ASSERT_TRUE(tool.Started());
  bool clicked = Click(tool);
  CloseHandle(held);
  ASSERT_TRUE(clicked);
  EXPECT_EQ(FilesIn(etc_, L"hosts"), (Files{{L"hosts", "earlier"}}));
  EXPECT_EQ(AttributesWithoutArchive(hosts_), kSystem);
  EXPECT_EQ(tool.CloseWithEsc(), 0);
}

TEST_F(EndToEndTest, WithoutWmiNothingIsWrittenAndTheHomePageStillOpens) {
  ASSERT_TRUE(WriteBytes(hosts_, "earlier", kReadOnly));
  Tool tool("WINEDLLOVERRIDES=wbemprox=d");
  ASSERT_TRUE(tool.Started());
  ASSERT_TRUE(Click(tool));
  EXPECT_EQ(FilesIn(etc_, L"hosts"), (Files{{L"hosts", "earlier"}}));
  EXPECT_EQ(AttributesWithoutArchive(hosts_), kReadOnly);
  // The path is then "0\system32\drivers\etc\hosts", below the program's folder.
  EXPECT_EQ(GetFileAttributesW((ProgramFolder() + L"0").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(tool.CloseWithEsc(), 0);
  ExpectHomePageOpenedOnEveryClick();
}

// tests/in_own_prefix mounts a small tmpfs over drivers\etc for this case when it may.
TEST_F(EndToEndTest, FullDiskLeavesEveryByteOfTheHostsFile) {
  if (const char* refused = getenv("HOSTSFIX_SMALL_ETC_REFUSED")) {
    GTEST_SKIP() << "no small file system over drivers\\etc: " << refused;
  }
  if (!getenv("HOSTSFIX_SMALL_ETC")) {
    GTEST_SKIP() << "needs a small tmpfs over drivers\\etc: run through ctest's "
                    "end_to_end_full_disk";
  }
  const std::string earlier(3000, 'e');
  ASSERT_TRUE(WriteBytes(hosts_, earlier, kReadOnly | kSystem));
  // Fill the rest of the file system, down to the last byte it takes.
  std::wstring filler = etc_ + L"filler";
  for (size_t chunk = 65536; chunk > 0; chunk /= 2) {
    HANDLE file =
        CreateFileW(filler.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string bytes(chunk, 'f');
    DWORD written = 0;
    while (WriteFile(file, bytes.data(), static_cast<DWORD>(chunk), &written, nullptr) &&
           written == chunk) {
    }
    CloseHandle(file);
  }

  Tool tool;
  ASSERT_TRUE(tool.Started());
  ASSERT_TRUE(Click(tool));
  EXPECT_EQ(ReadBytes(hosts_), earlier);
  EXPECT_EQ(AttributesWithoutArchive(hosts_), ReadOnlyAndSystemAsStored());
  EXPECT_EQ(tool.CloseWithEsc(), 0);
  ExpectHomePageOpenedOnEveryClick();
  DeleteWhatever(filler);
}
