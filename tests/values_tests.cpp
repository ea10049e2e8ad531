#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "live_blocks.h"
#include "runtime/value_commands.h"
#include "values/array_block.h"
#include "values/constants.h"
#include "values/fieldless_instance.h"
#include "values/joins.h"
#include "values/numbers.h"

namespace {
std::string BytesOf(const ByteSetBlock* set) {
  return set ? std::string(reinterpret_cast<const char*>(set->bytes()), set->length) : "";
}

ByteSet MakeBytes(const std::string& bytes) {
  return BytesFromAddress(bytes.data(), static_cast<int32_t>(bytes.size()));
}
}  // namespace

TEST(TextValues, EmptyFormsHaveLengthZero) {
  EXPECT_EQ(TextLength(nullptr), 0);
  EXPECT_EQ(TextLength(EmptyText), 0);
  EXPECT_EQ(TextLength("hosts"), 5);
}

TEST(TextValues, JoinGivesInputsInOrderAndNeverNull) {
  NoLeakScope scope;
  struct Case {
    const char* a;
    const char* b;
    const char* c;
    const char* expected;
  } cases[] = {
      {"C:\\windows", nullptr, "\\hosts", "C:\\windows\\hosts"},  // null in the middle adds nothing
      {nullptr, nullptr, nullptr, ""},
      {EmptyText, "", nullptr, ""},
      {"_bak", "2024", "03", "_bak202403"},
  };
  for (const Case& c : cases) {
    long before = LiveBlockCount();
    Text joined = JoinTexts(c.a, c.b, c.c);
    ASSERT_NE(joined.get(), nullptr);
    EXPECT_STREQ(joined.get(), c.expected);
    EXPECT_FALSE(IsInConstantPool(joined.get())) << "a fresh block, even when empty";
    EXPECT_EQ(LiveBlockCount(), before + 1) << "the result is allocated once";
  }
}

TEST(ByteSetValues, JoinOfEmptyInputsAllocatesNothing) {
  NoLeakScope scope;
  long before = LiveBlockCount();
  ByteSet joined = JoinByteSets({nullptr, &EmptyByteSet});
  EXPECT_EQ(joined.get(), nullptr);
  EXPECT_EQ(LiveBlockCount(), before);
}

TEST(ByteSetValues, JoinCopiesDataBehindOneHeader) {
  NoLeakScope scope;
  struct Case {
    std::string first;
    const ByteSetBlock* second;
    std::string expected;
  } cases[] = {
      {"", ZeroByte, std::string("\0", 1)},
      {"AB", ZeroCodeUnit, std::string("AB\0\0", 4)},
      {"xyz", &EmptyByteSet, "xyz"},
  };
  for (const Case& c : cases) {
    ByteSet first = MakeBytes(c.first);
    ByteSet joined = JoinByteSets({first.get(), c.second});
    ASSERT_NE(joined.get(), nullptr);
    EXPECT_EQ(joined.get()->dimensionCount, 1);
    EXPECT_EQ(BytesOf(joined.get()), c.expected);
    EXPECT_NE(joined.get(), c.second) << "a fresh block, not the constant";
  }
}

TEST(ByteSetValues, DataStartsBehindTheHeader) {
  EXPECT_EQ(ByteSetData(static_cast<const ByteSetBlock*>(nullptr)), nullptr);
  EXPECT_EQ(ByteSetData(&EmptyByteSet), reinterpret_cast<const uint8_t*>(&EmptyByteSet) + 8);
}

TEST(ArrayBlocks, ElementCountIsTheProductOfTheSizes) {
  int32_t twoByThreeByFour[4 + 24] = {3, 2, 3, 4};
  int32_t noDimensions[2] = {0, 99};
  int32_t oneDimension[4] = {1, 2, 7, 8};
  struct Case {
    int32_t* block;
    int32_t count;
    void* first;
  } cases[] = {
      {nullptr, 0, nullptr},
      {twoByThreeByFour, 24, twoByThreeByFour + 4},
      {noDimensions, 0, noDimensions + 1},
      {oneDimension, 2, oneDimension + 2},
  };
  for (const Case& c : cases) {
    ArrayElements elements = ArrayElementCount(c.block);
    EXPECT_EQ(elements.count, c.count);
    EXPECT_EQ(elements.first, c.first);
  }
}

TEST(Numbers, TruncateTowardZeroWithOutOfRangeAsMostNegative) {
  const int64_t kMin = std::numeric_limits<int64_t>::min();
  struct Case {
    double value;
    int64_t expected;
  } cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {-0.5, 0},
      {7601.0, 7601},
      {9007199254740993.0, 9007199254740992},
      {-9223372036854775808.0, kMin},
      {9223372036854774784.0, 9223372036854774784},  // the largest double below 2^63
      {9223372036854775808.0, kMin},
      {1e300, kMin},
      {-1e300, kMin},
      {std::numeric_limits<double>::infinity(), kMin},
      {std::nan(""), kMin},
  };
  for (const Case& c : cases) EXPECT_EQ(TruncateToInt64(c.value), c.expected) << c.value;
}

namespace {
class Fieldless {
 public:
  virtual void Destroy() {}
};
}  // namespace

TEST(FieldlessInstances, CopyIsAnotherBlockWithTheSameDispatchTable) {
  NoLeakScope scope;
  Fieldless* original = NewFieldlessInstance<Fieldless>();
  Fieldless* copy = CopyFieldlessInstance(*original);
  EXPECT_NE(copy, original);
  EXPECT_EQ(*reinterpret_cast<void**>(copy), *reinterpret_cast<void**>(original));
  Release(copy);
  Release(original);
}

TEST(ConstantPool, ReleasingConstantsAndNullDoesNothing) {
  NoLeakScope scope;
  long before = LiveBlockCount();
  Release(EmptyText);
  Release(&EmptyByteSet);
  Release(static_cast<const ByteSetBlock*>(ZeroByte));
  Release(nullptr);
  EXPECT_EQ(LiveBlockCount(), before);
  EXPECT_TRUE(IsInConstantPool(EmptyText));
  EXPECT_TRUE(IsInConstantPool(static_cast<const ByteSetBlock*>(ZeroCodeUnit)));
  Text heapText = JoinTexts("a");
  EXPECT_FALSE(IsInConstantPool(heapText.get()));
  int onStack = 0;
  EXPECT_FALSE(IsInConstantPool(&onStack));
}
