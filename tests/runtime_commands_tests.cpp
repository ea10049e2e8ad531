// The run time's clock, text, file and open-address commands, on real files in the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "live_blocks.h"
#include "recorded_browser.h"
#include "runtime/clock.h"
#include "runtime/file_commands.h"
#include "runtime/open_address.h"
#include "runtime/value_commands.h"
#include "test_files.h"
#include "values/constants.h"

namespace {

std::string BytesOf(const ByteSetBlock* set) {
  return set ? std::string(reinterpret_cast<const char*>(set->bytes()), set->length) : "";
}

ByteSet BytesOf(const std::string& bytes) {
  return BytesFromAddress(bytes.data(), static_cast<int32_t>(bytes.size()));
}
}  // namespace

TEST(Clock, CalendarPartsOfDates) {
  const double kSecond = 1.0 / 86400;
  struct Case {
    double date;
    int32_t year, month, day;
  } cases[] = {
      {45356.0, 2024, 3, 5},
      {45356.0 + 86399.6 * kSecond, 2024, 3, 5},  // 0.4 s before midnight is still that day
      {45657.5, 2024, 12, 31},
      {45658.0, 2025, 1, 1},
      {36585.75, 2000, 2, 29},
      {2.0, 1900, 1, 1},
      {-1.5, 1899, 12, 29},  // before the epoch the fraction counts forward from the day
      {3e6, 0, 0, 0},        // beyond the year 9999
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    EXPECT_EQ(YearOf(c.date), c.year);
    EXPECT_EQ(MonthOf(c.date), c.month);
    EXPECT_EQ(DayOf(c.date), c.day);
  }
}

// Registered in a time zone whose date is not UTC's, so that a clock reading UTC gives another day.
TEST(Clock, CurrentLocalTimeIsTheLocalDateAndTimeOfDay) {
  SYSTEMTIME before, after, utc;
  double now;
  do {
    GetLocalTime(&before);
    now = CurrentLocalTime();
    GetLocalTime(&after);
  } while (before.wDay != after.wDay);  // taken again across midnight
  GetSystemTime(&utc);
  ASSERT_NE(utc.wDay, after.wDay) << "the local date must differ from UTC's: set TZ";
  EXPECT_EQ(YearOf(now), before.wYear);
  EXPECT_EQ(MonthOf(now), before.wMonth);
  EXPECT_EQ(DayOf(now), before.wDay);
  double seconds = (now - static_cast<long>(now)) * 86400;
  int earliest = before.wHour * 3600 + before.wMinute * 60 + before.wSecond;
  int latest = after.wHour * 3600 + after.wMinute * 60 + after.wSecond;
  EXPECT_GE(seconds, earliest - 0.5);
  EXPECT_LE(seconds, latest + 0.5);
}

TEST(TextCommands, IntegerToTextIsPlainDecimal) {
  NoLeakScope scope;
  struct Case {
    int32_t value;
    const char* text;
  } cases[] = {{0, "0"},
               {7, "7"},
               {2024, "2024"},
               {-12, "-12"},
               {INT_MAX, "2147483647"},
               {INT_MIN, "-2147483648"}};
  for (const Case& c : cases) EXPECT_STREQ(IntegerToText(c.value).get(), c.text);
}

TEST(TextCommands, RightmostCharactersAreAFreshTextOfTheLastBytes) {
  NoLeakScope scope;
  struct Case {
    const char* text;
    int32_t count;
    const char* expected;  // null: the empty text
  } cases[] = {
      {"001", 2, "01"},    {"0012", 2, "12"},    {"5", 2, "5"},    {"abc", 3, "abc"},
      {"abc", 0, nullptr}, {"abc", -1, nullptr}, {"", 2, nullptr}, {nullptr, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.text ? c.text : "<null>") << ", " << c.count);
    Text result = RightmostCharacters(c.text, c.count);
    if (!c.expected) {
      EXPECT_EQ(result.get(), nullptr);
      continue;
    }
    EXPECT_STREQ(result.get(), c.expected);
    EXPECT_NE(result.get(), c.text) << "a fresh text, never the argument itself";
  }
}

class FileCommandsTest : public testing::Test {
 protected:
  void SetUp() override { folder_ = FreshTempFolder(L"runtime_commands_tests"); }
  void TearDown() override { RemoveFolder(folder_); }
  std::wstring Path(const wchar_t* name) const { return folder_ + name; }

  std::wstring folder_;
};

TEST_F(FileCommandsTest, WriteCreatesOrTruncatesAndWritesTheBytesExactly) {
  struct Case {
    const char* name;
    std::string earlier;  // empty: no file yet
    std::string bytes;
    bool nullByteSet;
  } cases[] = {
      {"new", "", "written", false},
      {"shorter", "a much longer earlier content", "short", false},
      {"zeros", "x", std::string("a\0b\r\n\0", 6), false},
      {"emptied", "earlier", "", false},
      {"null", "earlier", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring path = Path(std::wstring(c.name, c.name + strlen(c.name)).c_str());
    if (!c.earlier.empty()) {
      ASSERT_TRUE(WriteBytes(path, c.earlier));
    }
    NoLeakScope scope;
    ByteSet bytes = BytesOf(c.bytes);
    const ByteSetBlock* given = c.nullByteSet     ? nullptr
                                : c.bytes.empty() ? &EmptyByteSet
                                                  : bytes.get();
    EXPECT_TRUE(WriteFileBytes(Ansi(path).c_str(), given));
    EXPECT_EQ(ReadBytes(path), c.bytes);
    EXPECT_EQ(AttributesWithoutArchive(path), 0u);
  }
}

TEST_F(FileCommandsTest, WriteFailsWithoutAPathAFolderOrSharing) {
  ByteSet bytes = BytesOf("new");
  EXPECT_FALSE(WriteFileBytes(nullptr, bytes.get()));
  EXPECT_FALSE(WriteFileBytes(EmptyText, bytes.get()));
  EXPECT_FALSE(WriteFileBytes(Ansi(Path(L"no such folder\\file")).c_str(), bytes.get()));

  std::wstring held = Path(L"held");
  ASSERT_TRUE(WriteBytes(held, "earlier"));
  HANDLE other =
      CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFileBytes(Ansi(held).c_str(), bytes.get()));
  CloseHandle(other);
  EXPECT_EQ(ReadBytes(held), "earlier");
}

TEST_F(FileCommandsTest, ReadGivesTheWholeContentOrFails) {
  std::wstring full = Path(L"full"), empty = Path(L"empty"), locked = Path(L"locked");
  ASSERT_TRUE(WriteBytes(full, std::string("a\0b", 3), kReadOnly | kHidden | kSystem));
  ASSERT_TRUE(WriteBytes(empty, ""));
  ASSERT_TRUE(WriteBytes(locked, "locked"));
  HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);

  NoLeakScope scope;
  ByteSet bytes;
  EXPECT_TRUE(ReadFileBytes(Ansi(full).c_str(), &bytes));
  EXPECT_EQ(BytesOf(bytes.get()), std::string("a\0b", 3));
  EXPECT_TRUE(ReadFileBytes(Ansi(empty).c_str(), &bytes));
  EXPECT_EQ(bytes.get(), nullptr);

  bytes = BytesOf("kept");
  for (const std::wstring& path : {Path(L"missing"), locked, std::wstring()}) {
    EXPECT_FALSE(ReadFileBytes(Ansi(path).c_str(), &bytes));
    EXPECT_EQ(BytesOf(bytes.get()), "kept") << "a failed read leaves the value alone";
  }
  EXPECT_FALSE(ReadFileBytes(nullptr, &bytes));
  CloseHandle(lock);
}

// Wine gives Linux's /proc files the size 0, though they hold bytes: a file that holds more than
// its size said when it was opened, as one that grows meanwhile.
TEST_F(FileCommandsTest, ReadGoesOnToTheEndWhereTheFileHoldsMoreThanItsSize) {
  const char* grown = "Z:\\proc\\version";
  HANDLE file =
      CreateFileA(grown, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size = {};
  EXPECT_TRUE(GetFileSizeEx(file, &size));
  CloseHandle(file);
  ASSERT_EQ(size.QuadPart, 0) << "the fixture's size falls short";

  NoLeakScope scope;
  ByteSet bytes;
  ASSERT_TRUE(ReadFileBytes(grown, &bytes));
  std::string content = BytesOf(bytes.get());
  EXPECT_EQ(content.rfind("Linux version ", 0), 0u) << content;
  EXPECT_EQ(content.back(), '\n') << "read to its last line";
}

TEST_F(FileCommandsTest, ReadRefusesAFileLongerThanAsked) {
  std::wstring path = Path(L"six");
  ASSERT_TRUE(WriteBytes(path, "abcdef"));
  NoLeakScope scope;
  ByteSet bytes = BytesOf("kept");
  EXPECT_FALSE(ReadFileBytes(Ansi(path).c_str(), &bytes, 5));
  EXPECT_EQ(BytesOf(bytes.get()), "kept");
  EXPECT_TRUE(ReadFileBytes(Ansi(path).c_str(), &bytes, 6));
  EXPECT_EQ(BytesOf(bytes.get()), "abcdef");
}

TEST_F(FileCommandsTest, SetAttributesKeepsOnlyReadOnlyHiddenSystemAndArchive) {
  struct Case {
    int32_t value;
    DWORD expected;
  } cases[] = {
      {5, kReadOnly | kSystem},
      {FILE_ATTRIBUTE_HIDDEN, kHidden},
      {-1, kReadOnly | kHidden | kSystem},  // directory, temporary and the rest are dropped
      {FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_DIRECTORY, 0},
  };
  std::wstring path = Path(L"marked");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    ASSERT_TRUE(WriteBytes(path, "content", kHidden | kSystem));
    EXPECT_TRUE(SetFileAttributesTo(Ansi(path).c_str(), c.value));
    EXPECT_EQ(AttributesWithoutArchive(path), c.expected);
  }
  EXPECT_FALSE(SetFileAttributesTo(Ansi(Path(L"missing")).c_str(), 5));
  EXPECT_FALSE(SetFileAttributesTo(EmptyText, 5));
  EXPECT_EQ(GetFileAttributesW(Path(L"missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(OpenAddress, HandsTheAddressToTheRegisteredBrowserUnchanged) {
  RecordedBrowser browser(FreshTempFolder(L"runtime_commands_browser") + L"record.txt");
  ASSERT_TRUE(browser.Installed());
  const char address[] = "https://hostsfix.example/path?a=1&b=two";
  EXPECT_TRUE(OpenAddress(address));
  ASSERT_TRUE(browser.WaitForAddresses(1));
  EXPECT_EQ(browser.Addresses(), std::vector<std::string>{address});
}
