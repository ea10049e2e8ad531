#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "live_blocks.h"
#include "text_arrays.h"
#include "values/text_array.h"

namespace {
// A two-dimensional array of texts in the constant pool: 1 by 2, holding "en-US" and "de-DE".
IN_CONSTANT_POOL const char kEnglish[] = "en-US";
IN_CONSTANT_POOL const char kGerman[] = "de-DE";
struct PooledArray {
  int32_t dimensions[3];
  const char* texts[2];
};
IN_CONSTANT_POOL const PooledArray kPooled = {{2, 1, 2}, {kEnglish, kGerman}};
}  // namespace

TEST(TextArrays, AppendKeepsEarlierMembersInStorageOrderAsOneDimension) {
  NoLeakScope scope;
  struct Case {
    const char* name;
    void* array;
    std::vector<std::string> expected;
  } cases[] = {
      {"one dimension", TextArray({2}, {"zh-CN", "en-US"}), {"zh-CN", "en-US", "fr-FR"}},
      {"two dimensions", TextArray({2, 2}, {"a", "b", "c", "d"}), {"a", "b", "c", "d", "fr-FR"}},
      {"no dimensions", TextArray({}, {}), {"fr-FR"}},
      {"empty dimension", TextArray({0}, {}), {"fr-FR"}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppendToTextArray(c.array, "fr-FR");
    EXPECT_EQ(static_cast<int32_t*>(c.array)[0], 1);
    EXPECT_EQ(Members(c.array), c.expected);
    ReleaseTextArray(c.array);
  }
}

TEST(TextArrays, AConstantArrayIsCopiedBeforeItGrowsAndEmptyTextsAreNull) {
  NoLeakScope scope;
  void* array = const_cast<PooledArray*>(&kPooled);
  AppendToTextArray(array, "");
  EXPECT_NE(array, &kPooled);
  EXPECT_FALSE(IsInConstantPool(array));
  EXPECT_EQ(Members(array), (std::vector<std::string>{"en-US", "de-DE", "<null>"}));
  EXPECT_EQ(kPooled.dimensions[0], 2) << "the constant is untouched";
  AppendToTextArray(array, "ja-JP");
  EXPECT_EQ(Members(array), (std::vector<std::string>{"en-US", "de-DE", "<null>", "ja-JP"}));
  ReleaseTextArray(array);  // the pooled members are ignored, the fresh ones released
}
