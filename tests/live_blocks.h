#pragma once
// Checks that a scope gives back every block it took from the run-time allocator.
#include <gtest/gtest.h>

#include "runtime/heap.h"

class NoLeakScope {
 public:
  NoLeakScope() : start_(LiveBlockCount()) {}
  ~NoLeakScope() { EXPECT_EQ(LiveBlockCount(), start_) << "blocks leaked or released twice"; }

 private:
  long start_;
};
