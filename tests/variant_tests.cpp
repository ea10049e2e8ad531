#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "live_blocks.h"
#include "runtime/variant.h"

namespace {
// A VARIANT on the stack that clears itself.
struct Value : VARIANT {
  Value() { VariantInit(this); }
  ~Value() { VariantClear(this); }
  static Value String(const wchar_t* text) {
    Value v;
    v.vt = VT_BSTR;
    v.bstrVal = text ? SysAllocString(text) : nullptr;
    return v;
  }
  static Value Of(VARTYPE type) {
    Value v;
    v.vt = type;
    return v;
  }
  Value(Value&& other) : VARIANT(other) { VariantInit(&other); }
};

// A SAFEARRAY of VT_I4 with the given bounds (first dimension first), filled with 0, 1, 2, ... in
// storage order.
Value IntegerArray(std::initializer_list<SAFEARRAYBOUND> bounds) {
  SAFEARRAYBOUND reversed[8];
  int dimensions = 0;
  for (const SAFEARRAYBOUND& b : bounds) reversed[dimensions++] = b;
  SAFEARRAY* array = SafeArrayCreate(VT_I4, dimensions, reversed);
  int32_t* data = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
  ULONG count = 1;
  for (const SAFEARRAYBOUND& b : bounds) count *= b.cElements;
  for (ULONG i = 0; i < count; ++i) data[i] = static_cast<int32_t>(i);
  SafeArrayUnaccessData(array);
  Value v = Value::Of(VT_ARRAY | VT_I4);
  v.parray = array;
  return v;
}
}  // namespace

TEST(VariantValues, FreshHoldsTheIntegerZeroAndEmptyHoldsNothing) {
  NoLeakScope scope;
  Variant fresh = Variant::Fresh();
  EXPECT_EQ(fresh.get()->vt, VT_I4);
  EXPECT_EQ(fresh.get()->lVal, 0);
  EXPECT_STREQ(VariantToText(fresh.get()).get(), "0");
  Variant empty = Variant::Empty();
  const auto* bytes = reinterpret_cast<const unsigned char*>(empty.get());
  EXPECT_EQ(std::string(bytes, bytes + 16), std::string(16, '\0'));
}

TEST(VariantValues, ConversionsAndTheirFailureValues) {
  NoLeakScope scope;
  Value digits = Value::String(L"7601");
  Value fraction = Value::Of(VT_R8);
  fraction.dblVal = -2.9;
  Value integer = Value::Of(VT_I4);
  integer.lVal = 18;
  Value yes = Value::Of(VT_BOOL);
  yes.boolVal = VARIANT_TRUE;
  Value null = Value::Of(VT_NULL);
  Value nullString = Value::String(nullptr);
  Value word = Value::String(L"hosts");
  Value array = IntegerArray({{2, 0}});

  struct Case {
    const char* name;
    const VARIANT* value;
    const char* text;  // null for the empty text
    double number;
    bool boolean;
  } cases[] = {
      {"digits", &digits, "7601", 7601, true},
      {"fraction", &fraction, "-2.9", -2.9, true},
      {"integer", &integer, "18", 18, true},
      {"boolean", &yes, "-1", -1, true},  // flags 0: no VARIANT_ALPHABOOL
      {"null", &null, nullptr, 0, false},
      {"null string", &nullString, nullptr, 0, false},
      {"word", &word, "hosts", 0, false},
      {"array", &array, nullptr, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Text text = VariantToText(c.value);
    if (c.text) {
      EXPECT_STREQ(text.get(), c.text);
    } else {
      EXPECT_EQ(text.get(), nullptr);
    }
    EXPECT_EQ(VariantToNumber(c.value), c.number);
    EXPECT_EQ(VariantToBoolean(c.value), c.boolean);
  }
}

TEST(VariantValues, StringsComeBackInTheAnsiCodePage) {
  NoLeakScope scope;
  Value chinese = Value::String(L"\u4E2D");
  Text text = VariantToText(&chinese);
  if (GetACP() == 936) {
    EXPECT_STREQ(text.get(), "\xD6\xD0");
  } else {
    EXPECT_STREQ(text.get(), "?") << "1252 has no such character";
  }
}

TEST(VariantValues, CopyIsDeepAndClearZeroesAllBytes) {
  NoLeakScope scope;
  Value word = Value::String(L"hosts");
  Variant copy = Variant::Empty();
  CopyVariant(copy.get(), &word);
  ASSERT_EQ(copy.get()->vt, VT_BSTR);
  EXPECT_NE(copy.get()->bstrVal, word.bstrVal);
  EXPECT_STREQ(copy.get()->bstrVal, L"hosts");
  ClearVariant(copy.get());
  const auto* bytes = reinterpret_cast<const unsigned char*>(copy.get());
  EXPECT_EQ(std::string(bytes, bytes + 16), std::string(16, '\0'));
}

TEST(VariantArrays, CountCoversEveryDimensionAndNonArraysGiveMinusOne) {
  Value oneByThree = IntegerArray({{3, 1}});
  Value twoByThree = IntegerArray({{2, 5}, {3, -1}});
  Value emptyArray = IntegerArray({{0, 0}});
  Value integer = Value::Of(VT_I4);
  Value null = Value::Of(VT_NULL);
  EXPECT_EQ(VariantArrayCount(&oneByThree), 3);
  EXPECT_EQ(VariantArrayCount(&twoByThree), 6);
  EXPECT_EQ(VariantArrayCount(&emptyArray), 0);
  EXPECT_EQ(VariantArrayCount(&integer), -1);
  EXPECT_EQ(VariantArrayCount(&null), -1);
}

TEST(VariantArrays, ElementsByOneBasedIndexWithTheFirstDimensionFastest) {
  NoLeakScope scope;
  // Two by three with lower bounds 5 and -1: element i (1-based) is (5 + (i-1) % 2, -1 + (i-1) /
  // 2).
  Value twoByThree = IntegerArray({{2, 5}, {3, -1}});
  for (int32_t i = 1; i <= 6; ++i) {
    Variant element = VariantElement(&twoByThree, i);
    LONG indices[2] = {5 + (i - 1) % 2, -1 + (i - 1) / 2};
    int32_t expected = -1;
    SafeArrayGetElement(twoByThree.parray, indices, &expected);
    EXPECT_EQ(element.get()->vt, VT_I4);
    EXPECT_EQ(element.get()->lVal, expected) << i;
  }
  for (int32_t outside : {0, 7}) {
    Variant element = VariantElement(&twoByThree, outside);
    EXPECT_EQ(element.get()->vt, VT_EMPTY) << outside;
  }
  Value integer = Value::Of(VT_I4);
  EXPECT_EQ(VariantElement(&integer, 1).get()->vt, VT_EMPTY);
}

TEST(VariantArrays, StringAndVariantElementsAreCopies) {
  NoLeakScope scope;
  SAFEARRAYBOUND bound = {2, 0};
  SAFEARRAY* strings = SafeArrayCreate(VT_BSTR, 1, &bound);
  SAFEARRAY* variants = SafeArrayCreate(VT_VARIANT, 1, &bound);
  const wchar_t* words[] = {L"0804", L"0409"};
  for (LONG i = 0; i < 2; ++i) {
    BSTR word = SysAllocString(words[i]);
    SafeArrayPutElement(strings, &i, word);
    Value boxed = Value::String(words[i]);
    SafeArrayPutElement(variants, &i, &boxed);
    SysFreeString(word);
  }
  Value stringArray = Value::Of(VT_ARRAY | VT_BSTR);
  stringArray.parray = strings;
  Value variantArray = Value::Of(VT_ARRAY | VT_VARIANT);
  variantArray.parray = variants;
  for (const VARIANT* array :
       {static_cast<VARIANT*>(&stringArray), static_cast<VARIANT*>(&variantArray)}) {
    Variant second = VariantElement(array, 2);
    EXPECT_STREQ(VariantToText(second.get()).get(), "0409");
  }
}
