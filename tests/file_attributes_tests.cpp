// Attribute clearing on real files in the prefix's temp folder. Registered under ANSI code pages
// 936 and 1252: a path in code page 936 must be found under 1252 too.
//
// Wine reports the archive bit (0x20) on every regular file whatever was set, so attributes are
// compared with the archive bit masked out.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "live_blocks.h"
#include "runtime/value_commands.h"
#include "values/constants.h"
#include "values/file_attributes.h"

namespace {
constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kSystem = FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kArchive = FILE_ATTRIBUTE_ARCHIVE;

DWORD WithoutArchive(DWORD attributes) { return attributes & ~kArchive; }

// A file path in both forms the operations take.
struct TempPath {
  std::wstring wide;
  std::string text;  // code page 936
};

// Makes files in the temp folder and removes them, read-only or not, when the test ends.
class FileAttributesTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, folder);
    ASSERT_GT(length, 0u);
    folderWide_.assign(folder, length);
    char text[4 * MAX_PATH];
    int bytes = WideCharToMultiByte(936, 0, folder, static_cast<int>(length), text, sizeof text,
                                    nullptr, nullptr);
    ASSERT_GT(bytes, 0);
    folderText_.assign(text, bytes);
  }

  void TearDown() override {
    for (const std::wstring& path : made_) {
      (void)SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      (void)DeleteFileW(path.c_str());
    }
  }

  // `text` is `wide` in code page 936, spelled out by the caller.
  TempPath PathOf(const std::wstring& wide, const std::string& text) {
    return {folderWide_ + wide, folderText_ + text};
  }

  TempPath AsciiPath(const std::string& name) {
    return PathOf(std::wstring(name.begin(), name.end()), name);
  }

  void Make(const TempPath& path, DWORD attributes) {
    HANDLE file = CreateFileW(path.wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    made_.push_back(path.wide);
    (void)CloseHandle(file);
    ASSERT_TRUE(SetFileAttributesW(path.wide.c_str(), attributes));
    // Without this the cases that expect unchanged bits could pass on bits that were never there.
    ASSERT_EQ(WithoutArchive(GetFileAttributesW(path.wide.c_str())), WithoutArchive(attributes));
  }

 private:
  std::wstring folderWide_;
  std::string folderText_;
  std::vector<std::wstring> made_;
};

enum class PathForm { Text, Wide };

int32_t Clear(PathForm form, const TempPath& path, int32_t mask) {
  if (form == PathForm::Text) return ClearFileAttributes(path.text.c_str(), mask);
  ByteSet wide = BytesFromAddress(path.wide.c_str(),
                                  static_cast<int32_t>((path.wide.size() + 1) * sizeof(wchar_t)));
  return ClearFileAttributesWide(wide.get(), mask);
}
}  // namespace

TEST_F(FileAttributesTest, ClearsTheMaskedBitsAndKeepsTheOthers) {
  struct Case {
    const char* name;
    DWORD initial;
    int32_t mask;
    DWORD expected;
  } cases[] = {
      {"lifted.tmp", kArchive | kSystem | kReadOnly, 5, kArchive},
      {"untouched.tmp", kArchive | kHidden, 5, kArchive | kHidden},
      {"mask0.tmp", kArchive | kSystem | kHidden | kReadOnly, 0,
       kArchive | kSystem | kHidden | kReadOnly},
      {"partly.tmp", kSystem | kHidden | kReadOnly, 1, kSystem | kHidden},
  };
  for (const Case& c : cases) {
    for (PathForm form : {PathForm::Text, PathForm::Wide}) {
      TempPath path = AsciiPath((form == PathForm::Text ? "text_" : "wide_") + std::string(c.name));
      SCOPED_TRACE(path.text);
      ASSERT_NO_FATAL_FAILURE(Make(path, c.initial));
      int32_t result;
      {
        NoLeakScope scope;
        result = Clear(form, path, c.mask);
      }
      EXPECT_NE(result, 0);
      EXPECT_EQ(WithoutArchive(GetFileAttributesW(path.wide.c_str())), WithoutArchive(c.expected));
    }
  }
}

TEST_F(FileAttributesTest, PathIsReadInCodePage936WhateverTheAnsiCodePage) {
  // Under ANSI code page 936 both readings agree, so only the 1252 run can tell them apart.
  if (GetACP() != 1252) GTEST_SKIP() << "needs ANSI code page 1252, got " << GetACP();
  // "中文.tmp"; read in code page 1252 these bytes would name "ÖÐÎÄ.tmp".
  TempPath path = PathOf(L"\u4E2D\u6587.tmp", "\xD6\xD0\xCE\xC4.tmp");
  ASSERT_NO_FATAL_FAILURE(Make(path, kArchive | kSystem | kReadOnly));
  {
    NoLeakScope scope;
    EXPECT_NE(ClearFileAttributes(path.text.c_str(), 5), 0);
  }
  EXPECT_EQ(WithoutArchive(GetFileAttributesW(path.wide.c_str())), 0u);
}

TEST_F(FileAttributesTest, MissingFileFailsAndIsNotCreated) {
  TempPath path = AsciiPath("missing.tmp");
  ASSERT_EQ(GetFileAttributesW(path.wide.c_str()), INVALID_FILE_ATTRIBUTES);
  for (PathForm form : {PathForm::Text, PathForm::Wide}) {
    NoLeakScope scope;
    EXPECT_EQ(Clear(form, path, 5), 0);
    EXPECT_EQ(GetFileAttributesW(path.wide.c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

TEST_F(FileAttributesTest, EmptyPathFails) {
  NoLeakScope scope;
  EXPECT_EQ(ClearFileAttributes(nullptr, 5), 0);
  EXPECT_EQ(ClearFileAttributes(EmptyText, 5), 0);
  EXPECT_EQ(ClearFileAttributesWide(nullptr, 5), 0);
  EXPECT_EQ(ClearFileAttributesWide(&EmptyByteSet, 5), 0);
}
