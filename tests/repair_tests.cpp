// Backup naming, and the repair on a hosts file of its own in the prefix's temp folder, clicked in
// this process on the main window made from its definition, with url_recorder.exe standing in for
// the browser.
#include <windows.h>

#include <gtest/gtest.h>

#include <oleauto.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "live_blocks.h"
#include "recorded_browser.h"
#include "repair/backup.h"
#include "repair/hosts_path.h"
#include "repair/program_globals.h"
#include "repair/repair_hosts.h"
#include "repair/stock_hosts_text.h"
#include "runtime/value_commands.h"
#include "test_files.h"
#include "values/fieldless_instance.h"
#include "values/joins.h"

namespace {
double DateOf(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
  SYSTEMTIME time = {year, month, 0, day, hour, minute, second, 0};
  double date = 0;
  SystemTimeToVariantTime(&time, &date);
  return date;
}

ByteSet BytesOf(const std::string& bytes) {
  return BytesFromAddress(bytes.data(), static_cast<int32_t>(bytes.size()));
}

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
}  // namespace

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

class BackupTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = FreshTempFolder(L"backup_tests");
    hosts_ = folder_ + L"hosts";
  }
  void TearDown() override { RemoveFolder(folder_); }

  std::wstring folder_;
  std::wstring hosts_;
};

TEST_F(BackupTest, FirstNameThatIsFreeOrAlreadyHoldsTheBytesIsChosen) {
  struct Existing {
    const wchar_t* number;  // appended to the day's name
    std::string bytes;
    DWORD attributes;
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
  };
  const std::wstring base = folder_ + L"hosts_bak20240305";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& [file, bytes] : FilesIn(folder_)) DeleteWhatever(folder_ + file);
    for (const Existing& e : c.existing) {
      ASSERT_TRUE(WriteBytes(base + e.number, e.bytes, e.attributes));
    }
    NoLeakScope scope;
    ByteSet current = BytesOf(c.current);
    Text chosen = ChooseBackupPath(Ansi(base).c_str(), current.get());
    EXPECT_EQ(std::string(chosen.get()), Ansi(base + c.chosen));
  }
}

TEST_F(BackupTest, SecuringCopiesOnlyWhenNoBackupHoldsTheBytesAndNeverOverwrites) {
  const double date = DateOf(2024, 3, 5);
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
    for (const auto& [file, bytes] : FilesIn(folder_)) DeleteWhatever(folder_ + file);
    ASSERT_TRUE(WriteBytes(hosts_, "current", kReadOnly | kSystem));
    for (const auto& [file, bytes] : c.before) {
      ASSERT_TRUE(WriteBytes(folder_ + file, bytes, kReadOnly));
    }
    {
      NoLeakScope scope;
      EXPECT_TRUE(SecureInBackup(Ansi(hosts_).c_str(), date));
    }
    Files expected = c.after;
    expected[L"hosts"] = "current";
    EXPECT_EQ(FilesIn(folder_), expected);
    EXPECT_EQ(AttributesWithoutArchive(hosts_), kReadOnly | kSystem);
    for (const auto& [file, bytes] : c.before) {
      EXPECT_EQ(AttributesWithoutArchive(folder_ + file), kReadOnly) << "an existing backup stays";
    }
  }
}

TEST_F(BackupTest, SecuringFailsWhenTheBytesCannotBeRead) {
  const double date = DateOf(2024, 3, 5);
  NoLeakScope scope;
  EXPECT_FALSE(SecureInBackup(Ansi(hosts_).c_str(), date)) << "no hosts file";

  ASSERT_TRUE(WriteBytes(hosts_, "current"));
  HANDLE lock = CreateFileW(hosts_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SecureInBackup(Ansi(hosts_).c_str(), date)) << "locked against reading";
  CloseHandle(lock);

  {
    BytesLockedByAnotherHolder holder(hosts_);
    ASSERT_TRUE(holder.locked());
    EXPECT_FALSE(SecureInBackup(Ansi(hosts_).c_str(), date)) << "bytes locked";
  }
  EXPECT_EQ(FilesIn(folder_).size(), 1u) << "no backup was made";
}

namespace {
const WindowDefinition* const kDefinitions[] = {&MainWindow};
}

// The main window in this process with `hostsPath` on a hosts file in a temp folder.
class RepairTest : public testing::Test {
 protected:
  void SetUp() override {
    blocksAtStart_ = LiveBlockCount();
    folder_ = FreshTempFolder(L"repair_tests");
    hosts_ = folder_ + L"hosts";
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
    for (const auto& [file, bytes] : FilesIn(folder_)) DeleteWhatever(folder_ + file);
    if (c.earlier) {
      ASSERT_TRUE(WriteBytes(hosts_, *c.earlier, c.attributes));
    }
    SetEditText(c.editText ? c.editText : StockHostsText);

    ASSERT_TRUE(Click());
    Files expected = {{L"hosts", c.editText ? c.editText : StockHostsText}};
    if (c.earlier) expected[day_] = *c.earlier;
    EXPECT_EQ(FilesIn(folder_), expected);
    EXPECT_EQ(AttributesWithoutArchive(hosts_), kReadOnly | kSystem);
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

// Windows refuses the first click's truncating open of a hidden file; Wine allows it. So only
// what both show is checked after the first click: the earlier bytes kept and the file unhidden.
TEST_F(RepairTest, HiddenHostsFileIsBackedUpUnhiddenAndThenRewritten) {
  ASSERT_TRUE(WriteBytes(hosts_, "earlier", kHidden | kSystem));
  ASSERT_TRUE(Click());
  EXPECT_EQ(ReadBytes(folder_ + day_), "earlier");
  EXPECT_EQ(AttributesWithoutArchive(hosts_), kReadOnly | kSystem);

  ASSERT_TRUE(Click());
  EXPECT_EQ(ReadBytes(hosts_), StockHostsText);
  EXPECT_EQ(ReadBytes(folder_ + day_), "earlier");
  EXPECT_EQ(AttributesWithoutArchive(hosts_), kReadOnly | kSystem);
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
      {"shared for reading only", FILE_SHARE_READ, {{day_, "earlier"}}, kReadOnly | kSystem},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& [file, bytes] : FilesIn(folder_)) DeleteWhatever(folder_ + file);
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
