#include "runtime/variant.h"

#include <cstring>

#include "runtime/heap.h"
#include "runtime/value_commands.h"

namespace {
VARIANT* AllocateZeroed() {
  auto* block = static_cast<VARIANT*>(Allocate(sizeof(VARIANT)));
  memset(block, 0, sizeof(VARIANT));
  return block;
}

bool IsArray(const VARIANT* value) { return value && (value->vt & VT_ARRAY); }

SAFEARRAY* ArrayOf(const VARIANT* value) {
  return (value->vt & VT_BYREF) ? (value->pparray ? *value->pparray : nullptr) : value->parray;
}

Text AnsiTextOf(const wchar_t* wide) {
  if (!wide || !*wide) return Text();
  int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return Text();
  auto* buffer = static_cast<char*>(Allocate(size));
  int written = WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, size, nullptr, nullptr);
  Text text = TextFromBytes(buffer, written > 0 ? static_cast<int32_t>(strlen(buffer)) : 0);
  Release(buffer);
  return text;
}

// Calls `read` with the value changed to `type`, when it is of that type already or can be changed
// to it; returns false otherwise. Arrays are never changed.
template <class Read>
bool WithValueAs(const VARIANT* value, VARTYPE type, Read read) {
  if (!value || IsArray(value)) return false;
  if (value->vt == type) {
    read(*value);
    return true;
  }
  VARIANT changed;
  VariantInit(&changed);
  bool done = SUCCEEDED(VariantCopyInd(&changed, const_cast<VARIANT*>(value))) &&
              SUCCEEDED(VariantChangeType(&changed, &changed, 0, type));
  if (done) read(changed);
  (void)VariantClear(&changed);
  return done;
}
}  // namespace

Variant Variant::Fresh() {
  VARIANT* block = AllocateZeroed();
  block->vt = VT_I4;
  return Variant(block);
}

Variant Variant::Empty() { return Variant(AllocateZeroed()); }

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    this->~Variant();
    block_ = std::exchange(other.block_, nullptr);
  }
  return *this;
}

Variant::~Variant() {
  if (!block_) return;
  ClearVariant(block_);
  Release(block_);
  block_ = nullptr;
}

void CopyVariant(VARIANT* destination, const VARIANT* source) {
  memset(destination, 0, sizeof(VARIANT));
  (void)VariantCopy(destination, const_cast<VARIANT*>(source));
}

void ClearVariant(VARIANT* value) {
  (void)VariantClear(value);
  memset(value, 0, sizeof(VARIANT));
}

Text VariantToText(const VARIANT* value) {
  Text text;
  WithValueAs(value, VT_BSTR, [&](const VARIANT& string) { text = AnsiTextOf(string.bstrVal); });
  return text;
}

double VariantToNumber(const VARIANT* value) {
  double number = 0;
  WithValueAs(value, VT_R8, [&](const VARIANT& real) { number = real.dblVal; });
  return number;
}

bool VariantToBoolean(const VARIANT* value) {
  bool flag = false;
  WithValueAs(value, VT_BOOL, [&](const VARIANT& boolean) { flag = boolean.boolVal != 0; });
  return flag;
}

int32_t VariantArrayCount(const VARIANT* value) {
  if (!IsArray(value)) return -1;
  SAFEARRAY* array = ArrayOf(value);
  UINT dimensions = array ? SafeArrayGetDim(array) : 0;
  if (dimensions == 0) return 0;
  int32_t count = 1;
  for (UINT d = 1; d <= dimensions; ++d) {
    LONG lower = 0, upper = -1;
    (void)SafeArrayGetLBound(array, d, &lower);
    (void)SafeArrayGetUBound(array, d, &upper);
    count *= upper - lower + 1;
  }
  return count;
}

Variant VariantElement(const VARIANT* value, int32_t index) {
  Variant element = Variant::Empty();
  int32_t count = VariantArrayCount(value);
  if (index < 1 || index > count) return element;

  // The first dimension varies fastest; SafeArrayGetElement takes it first, too.
  SAFEARRAY* array = ArrayOf(value);
  UINT dimensions = SafeArrayGetDim(array);
  LONG indices[64];
  if (dimensions > 64) return element;
  int32_t rest = index - 1;
  for (UINT d = 1; d <= dimensions; ++d) {
    LONG lower = 0, upper = 0;
    (void)SafeArrayGetLBound(array, d, &lower);
    (void)SafeArrayGetUBound(array, d, &upper);
    int32_t size = upper - lower + 1;
    indices[d - 1] = lower + rest % size;
    rest /= size;
  }

  VARTYPE type = value->vt & VT_TYPEMASK;
  VARIANT* out = element.get();
  HRESULT fetched;
  if (type == VT_VARIANT) {
    fetched = SafeArrayGetElement(array, indices, out);
  } else if (type == VT_DECIMAL) {
    fetched = SafeArrayGetElement(array, indices, &out->decVal);
    out->vt = VT_DECIMAL;
  } else if (SafeArrayGetElemsize(array) <= 8) {
    fetched = SafeArrayGetElement(array, indices, &out->llVal);
    out->vt = type;
  } else {
    fetched = E_INVALIDARG;  // records and other wide elements have no plain variant form
  }
  if (FAILED(fetched)) memset(out, 0, sizeof(VARIANT));
  return element;
}
