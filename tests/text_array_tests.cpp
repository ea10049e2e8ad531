#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "live_blocks.h"
#include "values/array_block.h"
#include "values/joins.h"
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

std::vector<std::string> Members(void* array) {
  ArrayElements elements = ArrayElementCount(array);
  std::vector<std::string> members;
  auto** texts = static_cast<char**>(elements.first);
  for (int32_t i = 0; i < elements.count; ++i) members.push_back(texts[i] ? texts[i] : "<null>");
  return members;
}

// A heap array block with the given dimension sizes whose elements are fresh texts.
void* HeapArray(std::vector<int32_t> sizes, std::vector<const char*> texts) {
  size_t header = (1 + sizes.size()) * sizeof(int32_t);
  auto* block = static_cast<int32_t*>(Allocate(header + texts.size() * sizeof(char*)));
  block[0] = static_cast<int32_t>(sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) block[1 + i] = sizes[i];
  auto** elements = reinterpret_cast<char**>(block + 1 + sizes.size());
  for (size_t i = 0; i < texts.size(); ++i) elements[i] = JoinTexts(texts[i]).Detach();
  return block;
}
}  // namespace

TEST(TextArrays, AppendKeepsEarlierMembersInStorageOrderAsOneDimension) {
  NoLeakScope scope;
  struct Case {
    const char* name;
    void* array;
    std::vector<std::string> expected;
  } cases[] = {
      {"one dimension", HeapArray({2}, {"zh-CN", "en-US"}), {"zh-CN", "en-US", "fr-FR"}},
      {"two dimensions", HeapArray({2, 2}, {"a", "b", "c", "d"}), {"a", "b", "c", "d", "fr-FR"}},
      {"no dimensions", HeapArray({}, {}), {"fr-FR"}},
      {"empty dimension", HeapArray({0}, {}), {"fr-FR"}},
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
