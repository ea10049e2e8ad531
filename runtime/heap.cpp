#include "runtime/heap.h"

#include <windows.h>

#include <cstdio>

#include "runtime/fatal.h"

// The linker sorts .rdata$ sections by name, so these two bracket every IN_CONSTANT_POOL object.
__attribute__((section(".rdata$pool_a"), used)) static const char poolStart[1] = {0};
__attribute__((section(".rdata$pool_z"), used)) static const char poolEnd[1] = {0};

namespace {
long liveBlocks = 0;
long liveBytes = 0;

[[noreturn]] void AllocationFailed(size_t size) {
  // "分配 %u 字节内存失败!" in code page 936.
  char message[64];
  snprintf(message, sizeof message,
           "\xB7\xD6\xC5\xE4 %u \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!",
           static_cast<unsigned>(size));
  FatalError(message);
}

void Count(void* block, long sign) {
  liveBlocks += sign;
  liveBytes += sign * static_cast<long>(HeapSize(GetProcessHeap(), 0, block));
}
}  // namespace

bool IsInConstantPool(const void* address) {
  auto* a = static_cast<const char*>(address);
  return a >= poolStart && a < poolEnd;
}

void* Allocate(size_t size) {
  void* block = HeapAlloc(GetProcessHeap(), 0, size);
  if (!block) AllocationFailed(size);
  Count(block, +1);
  return block;
}

void* Resize(void* block, size_t size) {
  if (!block) return Allocate(size);
  Count(block, -1);
  void* moved = HeapReAlloc(GetProcessHeap(), 0, block, size);
  if (!moved) {
    Count(block, +1);
    AllocationFailed(size);
  }
  Count(moved, +1);
  return moved;
}

void Release(const void* block) {
  if (!block || IsInConstantPool(block)) return;
  Count(const_cast<void*>(block), -1);
  HeapFree(GetProcessHeap(), 0, const_cast<void*>(block));
}

long LiveBlockCount() { return liveBlocks; }
long LiveByteCount() { return liveBytes; }
