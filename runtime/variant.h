#pragma once
// Variant: a 16-byte OLE Automation VARIANT in a block from the run-time allocator, and the run
// time's operations on it. Arguments are `const VARIANT*` references; `Variant` owns one block,
// clears it (VariantClear) and releases it when it goes out of scope.
#include <windows.h>

#include <oleauto.h>

#include <cstdint>
#include <utility>

#include "runtime/text.h"

static_assert(sizeof(VARIANT) == 16);

class Variant {
 public:
  // The integer 0 (VT_I4), the value of a fresh Variant.
  static Variant Fresh();
  // All 16 bytes zero (VT_EMPTY).
  static Variant Empty();

  Variant() = default;  // holds no block
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  VARIANT* get() { return block_; }
  const VARIANT* get() const { return block_; }

 private:
  explicit Variant(VARIANT* block) : block_(block) {}
  VARIANT* block_ = nullptr;
};

// Zeroes the destination, then VariantCopy (a deep copy).
void CopyVariant(VARIANT* destination, const VARIANT* source);
// VariantClear, then all 16 bytes zero.
void ClearVariant(VARIANT* value);
// A string's characters in the ANSI code page; other non-array values through VT_BSTR. The empty
// text (null) for a null or empty string, an array, or a value that cannot be changed.
Text VariantToText(const VARIANT* value);
// VT_R8's number; other non-array values through VT_R8; 0 when it cannot convert.
double VariantToNumber(const VARIANT* value);
// VT_BOOL non-zero; other non-array values through VT_BOOL; false when it cannot convert.
bool VariantToBoolean(const VARIANT* value);
// The element count over all dimensions of an array value; -1 for a value that is no array.
int32_t VariantArrayCount(const VARIANT* value);
// A copy of the element at the 1-based linear index (first dimension fastest); the empty value
// when there is no such element.
Variant VariantElement(const VARIANT* value, int32_t index);
