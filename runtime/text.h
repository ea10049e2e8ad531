#pragma once
// Text: a zero-terminated run of 8-bit characters in a block of its own from the run-time
// allocator. Null and a terminator-only block are both the empty text. Texts passed as arguments
// are plain `const char*` references; a `Text` owns its block and releases it when it goes out of
// scope.
#include <utility>

#include "runtime/heap.h"

class Text {
 public:
  Text() = default;
  // Takes ownership of a block (or of a constant, which release ignores).
  explicit Text(char* block) : block_(block) {}
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  Text(Text&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  Text& operator=(Text&& other) noexcept {
    if (this != &other) {
      Release(block_);
      block_ = std::exchange(other.block_, nullptr);
    }
    return *this;
  }
  ~Text() { Release(block_); }

  // The text as a read-only reference; null for the null form of the empty text.
  const char* get() const { return block_; }
  char* data() { return block_; }
  // Hands the block to the caller, who releases it.
  char* Detach() { return std::exchange(block_, nullptr); }

 private:
  char* block_ = nullptr;
};
