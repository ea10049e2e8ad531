// Backup naming, and the repair on a hosts file of its own in the prefix's temp folder, clicked in
// this process on the main window made from its definition, with url_recorder.exe standing in for
// the browser.
#include <windows.h>

#include <gtest/gtest.h>

#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "live_blocks.h"
#include "recorded_browser.h"
#include "repair/backup.h"
#include "repair/hosts_path.h"
#include "repair/program_globals.h"
#include "repair/repair_hosts.h"
#include "repair/stock_hosts_text.h"
#include "runtime/file_commands.h"
#include "runtime/value_commands.h"
#include "test_files.h"
#include "unix_side.h"
#include "values/fieldless_instance.h"
#include "values/joins.h"

namespace {
double DateOf(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
  SYSTEMTIME time = {year, month, 0, day, hour, minute, second, 0};
  double date = 0;
  SystemTimeToVariantTime(&time, &date);
  return date;
}

const double kMarch5 = DateOf(2024, 3, 5);

// Holds the file open for everyone but with all its bytes locked, so opening it succeeds and
// reading it fails, until the holder goes out of scope.
class BytesLockedByAnotherHolder {
 public:
  explicit BytesLockedByAnotherHolder(const std::wstring& path)
      : file_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)) {
    OVERLAPPED whole = {};
    locked_ = file_ != INVALID_HANDLE_VALUE &&
              LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
  }
  BytesLockedByAnotherHolder(const BytesLockedByAnotherHolder&) = delete;
  BytesLockedByAnotherHolder& operator=(const BytesLockedByAnotherHolder&) = delete;
  ~BytesLockedByAnotherHolder() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  bool locked() const { return locked_; }

 private:
  HANDLE file_;
  bool locked_ = false;
};

TEST(BackupNames, SuffixIsBakYearTwoDigitMonthTwoDigitDay) {
  NoLeakScope scope;
  struct Case {
    double date;
    const char* suffix;
  } cases[] = {
      {DateOf(2024, 3, 5), "_bak20240305"},
      {DateOf(2024, 12, 31, 23, 59, 59), "_bak20241231"},
      {DateOf(2025, 1, 1), "_bak20250101"},
      {DateOf(2024, 10, 9, 12), "_bak20241009"},
  };
  for (const Case& c : cases) EXPECT_STREQ(BackupSuffix(c.date).get(), c.suffix);
}

// While it lives, a fatal-error box of this process is reported and dismissed, so that the fatal
// path ends the test program with exit code -1 at once instead of waiting for a click.
class FatalBoxWatch {
 public:
  FatalBoxWatch()
      : watcher_([this] {
          while (!done_) {
            // The run time's fatal box: a message box captioned "错误".
            if (HWND box = FindWindowW(L"#32770", L"\u9519\u8BEF")) {
              fprintf(stderr, "the fatal-error box came up; the test dismissed it\n");
              PostMessageW(box, WM_COMMAND, IDOK, 0);
              return;
            }
            Sleep(50);
          }
        }) {}
  FatalBoxWatch(const FatalBoxWatch&) = delete;
  FatalBoxWatch& operator=(const FatalBoxWatch&) = delete;
  ~FatalBoxWatch() {
    done_ = true;
    watcher_.join();
  }

 private:
  std::atomic<bool> done_ = false;
  std::thread watcher_;
};

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}
}  // namespace

class BackupTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PlainUserAsPromised());
    folder_ = FreshTempFolder(L"backup_tests");
    hosts_ = folder_ + L"hosts";
  }
  void TearDown() override { RemoveFolder(folder_); }

  std::wstring folder_;
  std::wstring hosts_;
};

TEST_F(BackupTest, SecuringUsesTheFirstNameThatIsFreeOrAlreadyHoldsTheBytes) {
  struct Existing {
    const wchar_t* number;  // appended to the day's name
    std::string bytes;
    DWORD attributes;
    bool unreadable = false;  // held open by another handle that shares nothing
  };
  struct Case {
    const char* name;
    std::string current;
    std::vector<Existing> existing;
    const wchar_t* chosen;
  } cases[] = {
      {"none yet", "current", {}, L""},
      {"identical", "current", {{L"", "current", 0}}, L""},
      {"identical read-only", "current", {{L"", "current", kReadOnly | kSystem}}, L""},
      {"differing", "current", {{L"", "earlier", 0}}, L"_2"},
      {"longer with the same start", "current", {{L"", "current and more", 0}}, L"_2"},
      {"shorter", "current", {{L"", "curr", 0}}, L"_2"},
      {"differing, then identical",
       "current",
       {{L"", "earlier", kReadOnly}, {L"_2", "current", kReadOnly | kSystem}},
       L"_2"},
      {"two read-only differing",
       "current",
       {{L"", "earlier", kReadOnly}, {L"_2", "other", kReadOnly | kHidden | kSystem}},
       L"_3"},
      {"a gap comes first", "current", {{L"", "earlier", 0}, {L"_3", "current", 0}}, L"_2"},
      {"empty and empty", "", {{L"", "", 0}}, L""},
      {"empty and not", "", {{L"", "x", 0}}, L"_2"},
      // Of the same length, so that only reading it could tell.
      {"identical but unreadable", "current", {{L"", "current", 0, true}}, L"_2"},
  };
  const std::wstring day = L"hosts_bak20240305";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EmptyFolder(folder_);
    ASSERT_TRUE(WriteBytes(hosts_, c.current));
    Files expected = {{L"hosts", c.current}};
    std::vector<HANDLE> holders;
    for (const Existing& e : c.existing) {
      std::wstring name = day + e.number;
      ASSERT_TRUE(WriteBytes(folder_ + name, e.bytes, e.attributes));
      expected[name] = e.bytes;
      if (e.unreadable) {
        holders.push_back(CreateFileW((folder_ + name).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(holders.back(), INVALID_HANDLE_VALUE);
      }
    }
    if (!expected.count(day + c.chosen)) expected[day + c.chosen] = c.current;
    {
      NoLeakScope scope;
      EXPECT_TRUE(SecureInBackup(Ansi(hosts_).c_str(), kMarch5));
    }
    for (HANDLE holder : holders) CloseHandle(holder);
    EXPECT_EQ(FilesIn(folder_), expected);
  }
}

TEST_F(BackupTest, SecuringCopiesOnlyWhenNoBackupHoldsTheBytesAndNeverOverwrites) {
  const std::wstring day = L"hosts_bak20240305";
  struct Case {
    const char* name;
    Files before;  // besides the hosts file, which holds "current"
    Files after;
  } cases[] = {
      {"first backup of the day", {}, {{day, "current"}}},
      {"that backup already holds the bytes", {{day, "current"}}, {{day, "current"}}},
      {"an earlier backup of the day",
       {{day, "earlier"}},
       {{day, "earlier"}, {day + L"_2", "current"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EmptyFolder(folder_);
    ASSERT_TRUE(WriteBytes(hosts_, "current", kReadOnly | kSystem));
    for (const auto& [file, bytes] : c.before) {
      ASSERT_TRUE(WriteBytes(folder_ + file, bytes, kReadOnly));
    }
    {
      NoLeakScope scope;
      EXPECT_TRUE(SecureInBackup(Ansi(hosts_).c_str(), kMarch5));
    }
    Files expected = c.after;
    expected[L"hosts"] = "current";
    EXPECT_EQ(FilesIn(folder_), expected);
    EXPECT_EQ(AttributesWithoutArchive(hosts_), ReadOnlyAndSystemAsStored());
    for (const auto& [file, bytes] : c.before) {
      EXPECT_EQ(AttributesWithoutArchive(folder_ + file), kReadOnly) << "an existing backup stays";
    }
  }
}

TEST_F(BackupTest, SecuringFailsWhenTheBytesCannotBeRead) {
  NoLeakScope scope;
  EXPECT_FALSE(SecureInBackup(Ansi(hosts_).c_str(), kMarch5)) << "no hosts file";

  ASSERT_TRUE(WriteBytes(hosts_, "current"));
  HANDLE lock = CreateFileW(hosts_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SecureInBackup(Ansi(hosts_).c_str(), kMarch5)) << "locked against reading";
  CloseHandle(lock);

  {
    BytesLockedByAnotherHolder holder(hosts_);
    ASSERT_TRUE(holder.locked());
    EXPECT_FALSE(SecureInBackup(Ansi(hosts_).c_str(), kMarch5)) << "bytes locked";
  }
  EXPECT_EQ(FilesIn(folder_).size(), 1u) << "no backup was made";
}

// A dangling Unix symbolic link reads as not found, yet refuses a copy that may not overwrite: the
// same as a name that another process (another copy of the tool) takes between look and copy.
TEST_F(BackupTest, NameTakenBetweenTheLookAndTheCopyIsComparedNotTrusted) {
  ASSERT_TRUE(WriteBytes(hosts_, "current"));
  const std::wstring taken = folder_ + L"hosts_bak20240305";
  const std::string unixTaken = UnixPathOf(taken);
  ASSERT_FALSE(unixTaken.empty());
  ASSERT_TRUE(RunUnixScript("ln -sf /nonexistent/hostsfix " + unixTaken, folder_));
  EXPECT_EQ(GetFileAttributesW(taken.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "the name looks free";
  bool secured;
  {
    NoLeakScope scope;
    secured = SecureInBackup(Ansi(hosts_).c_str(), kMarch5);
  }
  ASSERT_TRUE(RunUnixScript("rm -f " + unixTaken, folder_));
  EXPECT_TRUE(secured);
  EXPECT_EQ(FilesIn(folder_), (Files{{L"hosts", "current"}, {L"hosts_bak20240305_2", "current"}}));
}

TEST_F(BackupTest, HugeStrayBackupIsTakenAsDifferingWithoutBeingRead) {
  ASSERT_TRUE(WriteBytes(hosts_, "current"));
  // Sparse, and just short of the longest byte set: a read of it would ask the allocator for
  // about 2 GB, which a 32-bit process cannot have, and end the process on the fatal path.
  const std::wstring huge = folder_ + L"hosts_bak20240305";
  HANDLE file = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = kLongestBytes;
  bool sized = SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  ASSERT_TRUE(sized);

  FatalBoxWatch watch;
  NoLeakScope scope;
  EXPECT_TRUE(SecureInBackup(Ansi(hosts_).c_str(), kMarch5));
  EXPECT_EQ(ReadBytes(folder_ + L"hosts_bak20240305_2"), "current");
}

// The test program's folder belongs to root: the plain user reads the program but can make no
// file beside it.
TEST_F(BackupTest, CopyThatFailsAfterASuccessfulReadSecuresNothing) {
  if (!ReadOnlyIsEnforced()) GTEST_SKIP() << "as root Wine makes a file in any folder";
  const std::wstring program = ThisProgram();
  const std::wstring probe = program.substr(0, program.rfind(L'\\') + 1) + L"probe";
  HANDLE made = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_EQ(made, INVALID_HANDLE_VALUE) << "the folder takes new files";
  NoLeakScope scope;
  ByteSet bytes;
  ASSERT_TRUE(ReadFileBytes(Ansi(program).c_str(), &bytes)) << "the bytes can be read";
  EXPECT_FALSE(SecureInBackup(Ansi(program).c_str(), kMarch5));
}

TEST_F(BackupTest, OnlyAFileReportedNotFoundMayBeOverwrittenWithoutABackup) {
  struct Case {
    const char* name;
    std::wstring path;
    DWORD error;  // of GetFileAttributes on the path
    bool safe;
    bool plainUserOnly;
  } cases[] = {
      {"not found", hosts_, ERROR_FILE_NOT_FOUND, true, false},
      {"name too long", folder_ + std::wstring(300, L'h'), ERROR_FILENAME_EXCED_RANGE, false,
       false},
      // As root every folder can be entered.
      {"below a folder this user may not enter", L"Z:\\root\\hosts", ERROR_ACCESS_DENIED, false,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.plainUserOnly && !ReadOnlyIsEnforced()) continue;
    const std::string path = Ansi(c.path);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), c.error);
    NoLeakScope scope;
    EXPECT_EQ(SafeToOverwrite(path.c_str(), kMarch5), c.safe);
  }
  EXPECT_EQ(FilesIn(folder_), Files{}) << "no backup of what is not there";
}

namespace {
const WindowDefinition* const kDefinitions[] = {&MainWindow};
}

// The main window in this process with `hostsPath` on a hosts file in a temp folder.
class RepairTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PlainUserAsPromised());
    blocksAtStart_ = LiveBlockCount();
    folder_ = FreshTempFolder(L"repair_tests");
    hosts_ = folder_ + L"hosts";
    WaitOutMidnight();
    day_ = L"hosts" + TodaysBackupSuffix();
    browser_ =
        std::make_unique<RecordedBrowser>(FreshTempFolder(L"repair_tests_browser") + L"record.txt");
    ASSERT_TRUE(browser_->Installed());

    InitializeRuntime(kDefinitions, 1);
    osInfo = NewFieldlessInstance<OsInfo>();
    LoadWindow(MainWindowName);
    window_ = FindWindowW(L"RuntimeWindow", L"hosts");
    ASSERT_NE(window_, nullptr);
    resolvedPath_ = hostsPath ? hostsPath : "<null>";
    Release(hostsPath);
    hostsPath = JoinTexts(Ansi(hosts_).c_str()).Detach();
  }

  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    Release(hostsPath);
    hostsPath = nullptr;
    if (osInfo) {
      osInfo->Destroy();
      Release(osInfo);
      osInfo = nullptr;
    }
    EXPECT_EQ(LiveBlockCount(), blocksAtStart_) << "blocks leaked or released twice";
    RemoveFolder(folder_);
  }

  // Clicks the button and waits for the home page, the click's last step.
  bool Click() {
    SendMessageW(FindWindowExW(window_, nullptr, L"Button", nullptr), BM_CLICK, 0, 0);
    return browser_->WaitForAddresses(++clicks_);
  }

  void SetEditText(const char* text) {
    SetWindowTextA(FindWindowExW(window_, nullptr, L"Edit", nullptr), text);
  }

  void ExpectHomePageOpenedOnEveryClick() {
    EXPECT_EQ(browser_->Addresses(), std::vector<std::string>(clicks_, HomePage));
  }

  long blocksAtStart_ = 0;
  std::wstring folder_;
  std::wstring hosts_;
  std::wstring day_;  // the name of today's backup
  std::unique_ptr<RecordedBrowser> browser_;
  HWND window_ = nullptr;
  std::string resolvedPath_;
  size_t clicks_ = 0;
};

TEST_F(RepairTest, CreationSetsTheHostsPathBelowTheWindowsDirectory) {
  char windows[MAX_PATH];
  UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(lstrcmpiA(resolvedPath_.c_str(),
                      (std::string(windows, length) + "\\system32\\drivers\\etc\\hosts").c_str()),
            0)
      << resolvedPath_;

  NoLeakScope scope;  // the path it held before is released
  ResolveHostsPath();
  EXPECT_EQ(std::string(hostsPath), resolvedPath_);
}

TEST_F(RepairTest, ClickKeepsTheEarlierBytesAndWritesTheEditBoxReadOnlyAndSystem) {
  ASSERT_EQ(strlen(StockHostsText), 831u);
  ASSERT_EQ(GetACP(), 936u) << "the stock bytes pass the edit box unchanged under code page 936";
  struct Case {
    const char* name;
    std::optional<std::string> earlier;  // none: no hosts file
    DWORD attributes;
    const char* editText;  // null: the stock text, untouched
  } cases[] = {
      {"plain hosts file", "127.0.0.1 ads.example\r\n", 0, nullptr},
      {"archive, read-only and system", "earlier", kArchive | kReadOnly | kSystem, nullptr},
      {"no hosts file", std::nullopt, 0, nullptr},
      {"emptied edit box", "earlier", kReadOnly | kSystem, ""},
      {"edited edit box", "earlier", 0, "10.0.0.1 intranet.example\r\n#"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EmptyFolder(folder_);
    if (c.earlier) {
      ASSERT_TRUE(WriteBytes(hosts_, *c.earlier, c.attributes));
    }
    SetEditText(c.editText ? c.editText : StockHostsText);

    ASSERT_TRUE(Click());
    Files expected = {{L"hosts", c.editText ? c.editText : StockHostsText}};
    if (c.earlier) expected[day_] = *c.earlier;
    EXPECT_EQ(FilesIn(folder_), expected);
    EXPECT_EQ(AttributesWithoutArchive(hosts_), ReadOnlyAndSystemAsStored());
  }
  ExpectHomePageOpenedOnEveryClick();
}

TEST_F(RepairTest, LaterClicksOfTheDayKeepTheFirstBackup) {
  ASSERT_TRUE(WriteBytes(hosts_, "the user's own hosts"));
  ASSERT_TRUE(Click());
  const Files afterFirst = {{L"hosts", StockHostsText}, {day_, "the user's own hosts"}};
  EXPECT_EQ(FilesIn(folder_), afterFirst);

  Files afterSecond = afterFirst;
  afterSecond[day_ + L"_2"] = StockHostsText;
  for (int click = 2; click <= 3; ++click) {
    SCOPED_TRACE(click);
    ASSERT_TRUE(Click());
    EXPECT_EQ(FilesIn(folder_), afterSecond) << "one backup for each content, none replaced";
  }
  ExpectHomePageOpenedOnEveryClick();
}

// Windows refuses to truncate a hidden file opened with FILE_ATTRIBUTE_NORMAL; Wine truncates it.
// So the lift of the hidden bit is seen another way: as a plain user, Wine cannot change the
// hidden bit (an extended attribute) of a file it has made read-only, so the hidden bit that the
// file keeps after the click is the one it had when it was written.
TEST_F(RepairTest, HiddenHostsFileIsUnhiddenBeforeTheFirstClickWritesIt) {
  ASSERT_TRUE(WriteBytes(hosts_, "earlier", kHidden | kSystem));
  ASSERT_TRUE(Click());
  EXPECT_EQ(FilesIn(folder_), (Files{{L"hosts", StockHostsText}, {day_, "earlier"}}));
  EXPECT_EQ(AttributesWithoutArchive(hosts_), ReadOnlyAndSystemAsStored());
  ExpectHomePageOpenedOnEveryClick();
}

TEST_F(RepairTest, HostsFileHeldOpenElsewhereKeepsItsContent) {
  struct Case {
    const char* name;
    DWORD sharing;
    Files files;  // besides the hosts file
    DWORD attributes;
  } cases[] = {
      // Not even a backup can be made, so the file is not touched at all.
      {"locked against reading", 0, {}, kHidden},
      // Backed up, but the truncating open is refused; the attributes are still set.
      {"shared for reading only",
       FILE_SHARE_READ,
       {{day_, "earlier"}},
       ReadOnlyAndSystemAsStored()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EmptyFolder(folder_);
    ASSERT_TRUE(WriteBytes(hosts_, "earlier", kHidden));
    HANDLE held =
        CreateFileW(hosts_.c_str(), GENERIC_READ, c.sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    bool clicked = Click();
    CloseHandle(held);
    ASSERT_TRUE(clicked);
    Files expected = c.files;
    expected[L"hosts"] = "earlier";
    EXPECT_EQ(FilesIn(folder_), expected);
    EXPECT_EQ(AttributesWithoutArchive(hosts_), c.attributes);
  }
  ExpectHomePageOpenedOnEveryClick();
}

TEST_F(RepairTest, HostsFileWhoseBytesCannotBeBackedUpIsLeftAlone) {
  ASSERT_TRUE(WriteBytes(hosts_, "earlier", kHidden | kSystem));
  {
    BytesLockedByAnotherHolder holder(hosts_);
    ASSERT_TRUE(holder.locked());
    ASSERT_TRUE(Click());
  }

  EXPECT_EQ(FilesIn(folder_), (Files{{L"hosts", "earlier"}}));
  EXPECT_EQ(AttributesWithoutArchive(hosts_), kHidden | kSystem);
  ExpectHomePageOpenedOnEveryClick();
}

TEST_F(RepairTest, FailedReadOfTheEditBoxLeavesTheHostsFileAsItWas) {
  ASSERT_TRUE(WriteBytes(hosts_, "earlier", kReadOnly));
  // Behind the run time's back: the handle it keeps goes stale and reading the text fails.
  ASSERT_TRUE(DestroyWindow(FindWindowExW(window_, nullptr, L"Edit", nullptr)));
  ASSERT_TRUE(Click());
  EXPECT_EQ(FilesIn(folder_), (Files{{L"hosts", "earlier"}, {day_, "earlier"}}))
      << "not truncated as if the edit box were empty";
  EXPECT_EQ(AttributesWithoutArchive(hosts_), kReadOnly) << "nothing lifted for a failed read";
  ExpectHomePageOpenedOnEveryClick();
}
