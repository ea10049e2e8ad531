// Registered under ANSI code pages 936 and 1252: every conversion that names code page 936 must
// give the same bytes under both.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "live_blocks.h"
#include "runtime/value_commands.h"
#include "values/code_page.h"
#include "values/constants.h"

namespace {
using Bytes = std::vector<uint8_t>;

// A byte-set argument: nullopt stands for null, no bytes for EmptyByteSet, else a fresh block.
class Argument {
 public:
  explicit Argument(const std::optional<Bytes>& bytes) {
    if (!bytes) return;
    if (bytes->empty()) {
      pointer_ = &EmptyByteSet;
      return;
    }
    owned_ = BytesFromAddress(bytes->data(), static_cast<int32_t>(bytes->size()));
    pointer_ = owned_.get();
  }
  const ByteSetBlock* get() const { return pointer_; }

 private:
  ByteSet owned_;
  const ByteSetBlock* pointer_ = nullptr;
};

// The data of a byte set; no bytes for either empty form. A block must carry the one-dimension
// header that the run time and Win32 callers rely on.
Bytes BytesOf(const ByteSet& set) {
  if (!set.get()) return {};
  EXPECT_EQ(set.get()->dimensionCount, 1);
  return Bytes(set.get()->bytes(), set.get()->bytes() + set.length());
}

std::string TextOf(const Text& text) { return text.get() ? text.get() : "<null>"; }

// A time-zone record's 64-byte name field: the name, then zero units up to 32 units.
std::optional<Bytes> NameField(const std::u16string& name) {
  Bytes field(64, 0);
  for (size_t i = 0; i < name.size() && i < 32; ++i) {
    field[2 * i] = static_cast<uint8_t>(name[i]);
    field[2 * i + 1] = static_cast<uint8_t>(name[i] >> 8);
  }
  return field;
}
}  // namespace

TEST(TextToUtf16, ConvertsThroughCodePage936WithOrWithoutTerminator) {
  struct Case {
    const char* text;
    bool stripTerminator;
    Bytes expected;
  } cases[] = {
      {"hosts", false, {0x68, 0, 0x6F, 0, 0x73, 0, 0x74, 0, 0x73, 0, 0, 0}},
      {"hosts", true, {0x68, 0, 0x6F, 0, 0x73, 0, 0x74, 0, 0x73, 0}},
      {nullptr, false, {}},
      {nullptr, true, {}},
      {EmptyText, false, {}},
      {EmptyText, true, {}},
      // "中" is 0xD6 0xD0 in code page 936 and "ÖÐ" under 1252.
      {"\xD6\xD0", false, {0x2D, 0x4E, 0, 0}},
      {"\xD6\xD0", true, {0x2D, 0x4E}},
      {"a\xD6\xD0z", false, {0x61, 0, 0x2D, 0x4E, 0x7A, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << (c.text ? c.text : "<null>") << " strip " << c.stripTerminator);
    NoLeakScope scope;
    EXPECT_EQ(BytesOf(TextToUtf16(c.text, c.stripTerminator)), c.expected);
  }
}

TEST(MultiByteToUtf16, ConvertsUpToTheFirstZeroByteInTheGivenCodePage) {
  struct Case {
    const char* name;
    std::optional<Bytes> input;
    int32_t codePage;
    Bytes expected;
  } cases[] = {
      {"null", std::nullopt, 936, {}},
      {"empty block", Bytes{}, 936, {}},
      {"leading zero", Bytes{0, 0x61}, 936, {}},
      {"zero in the middle", Bytes{0x61, 0, 0x62}, 936, {0x61, 0, 0, 0}},
      {"double byte in 936", Bytes{0xD6, 0xD0}, 936, {0x2D, 0x4E, 0, 0}},
      // 0xE9 is "é" in 1252 and only a lead byte in 936.
      {"single byte in 1252", Bytes{0xE9}, 1252, {0xE9, 0, 0, 0}},
      {"unknown code page", Bytes{0x61}, 12345, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Argument input(c.input);
    NoLeakScope scope;
    EXPECT_EQ(BytesOf(MultiByteToUtf16(input.get(), c.codePage)), c.expected);
  }
}

TEST(TrimUtf16AtZero, KeepsWholeCodeUnitsBeforeTheFirstZeroUnit) {
  struct Case {
    const char* name;
    std::optional<Bytes> input;
    Bytes trimmed;  // with appendTerminator false; true adds one zero unit unless it is empty
  } cases[] = {
      {"terminated", Bytes{0x41, 0, 0x42, 0, 0, 0}, {0x41, 0, 0x42, 0}},
      {"no zero unit", Bytes{0x41, 0, 0x42, 0}, {0x41, 0, 0x42, 0}},
      {"odd trailing byte", Bytes{0x41, 0, 0x42}, {0x41, 0}},
      // Zero bytes that straddle two units are no zero unit.
      {"zero bytes across units", Bytes{0x41, 0, 0, 0x42}, {0x41, 0, 0, 0x42}},
      {"zero high byte then low", Bytes{0, 0x41, 0x42, 0, 0, 0, 0x43, 0}, {0, 0x41, 0x42, 0}},
      {"leading zero unit", Bytes{0, 0, 0x41, 0}, {}},
      {"single byte", Bytes{0x41}, {}},
      {"empty block", Bytes{}, {}},
      {"null", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    Argument input(c.input);
    for (bool appendTerminator : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.name << " append " << appendTerminator);
      NoLeakScope scope;
      ByteSet result = TrimUtf16AtZero(input.get(), appendTerminator);
      Bytes expected = c.trimmed;
      if (expected.empty()) {
        EXPECT_EQ(result.get(), &EmptyByteSet);
        continue;
      }
      if (appendTerminator) expected.insert(expected.end(), {0, 0});
      EXPECT_EQ(BytesOf(result), expected);
    }
  }
}

TEST(Utf16ToMultiByte, ConvertsUpToTheFirstZeroUnitWithoutTerminator) {
  struct Case {
    const char* name;
    std::optional<Bytes> input;
    int32_t codePage;
    Bytes expected;
  } cases[] = {
      {"ascii", Bytes{0x41, 0, 0x42, 0}, 936, {0x41, 0x42}},
      {"zero unit in the middle", Bytes{0x41, 0, 0, 0, 0x42, 0}, 936, {0x41}},
      {"leading zero unit", Bytes{0, 0, 0x41, 0}, 936, {}},
      {"null", std::nullopt, 936, {}},
      {"empty block", Bytes{}, 936, {}},
      {"U+4E2D in 936", Bytes{0x2D, 0x4E}, 936, {0xD6, 0xD0}},
      // No default character is given, so the code page's own one ("?") stands in.
      {"U+4E2D in 1252", Bytes{0x2D, 0x4E}, 1252, {0x3F}},
      {"odd trailing byte dropped", Bytes{0x41, 0, 0x42, 0, 0x43}, 936, {0x41, 0x42}},
      {"single byte dropped", Bytes{0x41}, 936, {}},
      {"unknown code page", Bytes{0x41, 0}, 12345, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Argument input(c.input);
    NoLeakScope scope;
    EXPECT_EQ(BytesOf(Utf16ToMultiByte(input.get(), c.codePage)), c.expected);
  }
}

TEST(Utf16ToText, ReadsTimeZoneNameFieldsInCodePage936) {
  struct Case {
    const char* name;
    std::optional<Bytes> input;
    const char* expected;  // null for the null text
  } cases[] = {
      {"ascii name", NameField(u"China Standard Time"), "China Standard Time"},
      // "中国标准时间" in code page 936.
      {"chinese name", NameField(u"\u4E2D\u56FD\u6807\u51C6\u65F6\u95F4"),
       "\xD6\xD0\xB9\xFA\xB1\xEA\xD7\xBC\xCA\xB1\xBC\xE4"},
      // All 32 units are characters: only the appended zero unit ends the string.
      {"full field", NameField(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef"),
       "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef"},
      {"leading zero unit", NameField(u""), nullptr},
      {"null", std::nullopt, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Argument input(c.input);
    NoLeakScope scope;
    Text text = Utf16ToText(input.get());
    if (c.expected) {
      EXPECT_EQ(TextOf(text), c.expected);
    } else {
      EXPECT_EQ(text.get(), nullptr);
    }
  }
}

TEST(Utf16ToTextInCodePage, FollowsTheAnsiCodePageOnlyWhenNotToldToUseTheGivenOne) {
  // "é" is 0xA8 0xA6 in code page 936 and 0xE9 in 1252.
  Argument eAcute(Bytes{0xE9, 0x00});
  const std::string in936 = "\xA8\xA6";
  const std::string in1252 = "\xE9";
  const UINT ansi = GetACP();
  ASSERT_TRUE(ansi == 936 || ansi == 1252) << "registered only under 936 and 1252, got " << ansi;
  const std::string inAnsi = ansi == 936 ? in936 : in1252;

  struct Case {
    int32_t codePage;
    bool useCodePage;
    std::string expected;
  } cases[] = {
      {936, true, in936},
      {1252, true, in1252},
      {936, false, inAnsi},
      {1252, false, inAnsi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code page " << c.codePage << " use " << c.useCodePage);
    NoLeakScope scope;
    EXPECT_EQ(TextOf(Utf16ToTextInCodePage(eAcute.get(), c.codePage, c.useCodePage)), c.expected);
  }
}
