#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "live_blocks.h"
#include "runtime/exit_routines.h"
#include "runtime/value_commands.h"
#include "values/constants.h"

namespace {
std::string BytesOf(const ByteSetBlock* set) {
  return set ? std::string(reinterpret_cast<const char*>(set->bytes()), set->length) : "<null>";
}
}  // namespace

TEST(Allocator, CountsLiveBlocksAndBytes) {
  long blocks = LiveBlockCount();
  long bytes = LiveByteCount();
  void* a = Allocate(100);
  void* b = Allocate(0);
  EXPECT_EQ(LiveBlockCount(), blocks + 2);
  EXPECT_EQ(LiveByteCount(), bytes + 100);
  Release(a);
  Release(b);
  EXPECT_EQ(LiveBlockCount(), blocks);
  EXPECT_EQ(LiveByteCount(), bytes);
}

TEST(Allocator, ResizeKeepsContentsUpToTheSmallerSize) {
  NoLeakScope scope;
  long bytes = LiveByteCount();
  auto* block = static_cast<char*>(Allocate(4));
  memcpy(block, "abcd", 4);
  block = static_cast<char*>(Resize(block, 100000));
  EXPECT_EQ(std::string(block, 4), "abcd");
  EXPECT_EQ(LiveByteCount(), bytes + 100000);
  block = static_cast<char*>(Resize(block, 2));
  EXPECT_EQ(std::string(block, 2), "ab");
  EXPECT_EQ(LiveByteCount(), bytes + 2);
  Release(block);
  void* fromNull = Resize(nullptr, 8);
  EXPECT_NE(fromNull, nullptr);
  Release(fromNull);
}

TEST(ValueCommands, EmptyResultsAreNullAndAllocateNothing) {
  NoLeakScope scope;
  long before = LiveBlockCount();
  EXPECT_EQ(TextToBytes(nullptr).get(), nullptr);
  EXPECT_EQ(TextToBytes(EmptyText).get(), nullptr);
  EXPECT_EQ(BlankBytes(0).get(), nullptr);
  EXPECT_EQ(BlankBytes(-3).get(), nullptr);
  EXPECT_EQ(BytesFromAddress("x", 0).get(), nullptr);
  EXPECT_EQ(BlankText(0).get(), nullptr);
  EXPECT_EQ(ReadTextFromBytes(nullptr).get(), nullptr);
  EXPECT_EQ(ReadTextFromBytes(&EmptyByteSet).get(), nullptr);
  EXPECT_EQ(ReadTextFromBytes(ZeroByte).get(), nullptr);
  EXPECT_EQ(LiveBlockCount(), before);
  EXPECT_EQ(BytesLength(nullptr), 0);
  EXPECT_EQ(BytesLength(&EmptyByteSet), 0);
}

TEST(ValueCommands, TextsAndBytesConvertWithoutTerminators) {
  NoLeakScope scope;
  ByteSet bytes = TextToBytes("\xB5\xE3hosts");
  EXPECT_EQ(BytesOf(bytes.get()), "\xB5\xE3hosts");
  EXPECT_EQ(bytes.get()->dimensionCount, 1);
  EXPECT_EQ(BytesLength(bytes.get()), 7);

  EXPECT_EQ(BytesOf(BlankBytes(3).get()), std::string(3, '\0'));
  Text blanks = BlankText(4);
  EXPECT_STREQ(blanks.get(), "    ");

  struct Case {
    std::string bytes;
    const char* text;
  } cases[] = {
      {"abc", "abc"},
      {std::string("ab\0cd", 5), "ab"},  // up to the first zero byte
      {std::string("abc\0", 4), "abc"},
  };
  for (const Case& c : cases) {
    ByteSet set = BytesFromAddress(c.bytes.data(), static_cast<int32_t>(c.bytes.size()));
    Text text = ReadTextFromBytes(set.get());
    EXPECT_STREQ(text.get(), c.text);
  }
}

namespace {
std::vector<int> ran;
void First() { ran.push_back(1); }
void Second() { ran.push_back(2); }
void Third() { ran.push_back(3); }
}  // namespace

TEST(ExitRoutines, RunOnceInOrderOfRegistrationWithoutDuplicates) {
  ran.clear();
  RegisterExitRoutine(Second);
  RegisterExitRoutine(First);
  RegisterExitRoutine(Second);
  RegisterExitRoutine(Third);
  RunExitRoutines();
  EXPECT_EQ(ran, (std::vector<int>{2, 1, 3}));

  RunExitRoutines();
  EXPECT_EQ(ran.size(), 3u) << "the list is emptied after running";

  RegisterExitRoutine(First);
  RunExitRoutines();
  EXPECT_EQ(ran, (std::vector<int>{2, 1, 3, 1}));
}
