#pragma once
// ByteSet: a block of 8 + n bytes, int32 dimension count 1, int32 length n, then the n bytes.
// Null is the empty byte set. Arguments are `const ByteSetBlock*` references; `ByteSet` owns one.
#include <cstdint>
#include <utility>

#include "runtime/heap.h"

struct ByteSetBlock {
  int32_t dimensionCount;
  int32_t length;

  uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this + 1); }
  const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(this + 1); }
};
static_assert(sizeof(ByteSetBlock) == 8);

// A byte set constant with its data, laid out as a block.
template <int N>
struct ByteSetConstant {
  ByteSetBlock header;
  uint8_t data[N];

  operator const ByteSetBlock*() const { return &header; }
};

// A fresh block of the given length with its header written; the data is not cleared.
ByteSetBlock* AllocateByteSet(int32_t length);
// The block grown or shrunk to the length, its data kept up to the shorter of the two; the old
// pointer dies.
ByteSetBlock* ResizeByteSet(ByteSetBlock* block, int32_t length);

class ByteSet {
 public:
  ByteSet() = default;
  explicit ByteSet(ByteSetBlock* block) : block_(block) {}
  ByteSet(const ByteSet&) = delete;
  ByteSet& operator=(const ByteSet&) = delete;
  ByteSet(ByteSet&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  ByteSet& operator=(ByteSet&& other) noexcept {
    if (this != &other) {
      Release(block_);
      block_ = std::exchange(other.block_, nullptr);
    }
    return *this;
  }
  ~ByteSet() { Release(block_); }

  const ByteSetBlock* get() const { return block_; }
  ByteSetBlock* get() { return block_; }
  ByteSetBlock* Detach() { return std::exchange(block_, nullptr); }
  int32_t length() const { return block_ ? block_->length : 0; }

 private:
  ByteSetBlock* block_ = nullptr;
};
