#pragma once
// The run time's allocator: blocks from the process heap, never null for a caller.
#include <cstddef>

// Places a constant in the read-only pool whose addresses Release ignores, so a constant may stand
// wherever a fresh text or byte set is expected and be released like one.
#define IN_CONSTANT_POOL __attribute__((section(".rdata$pool_m")))

void* Allocate(size_t size);
// Grows or shrinks a heap block (null acts as Allocate); the contents up to the smaller size move
// to the returned block and the old pointer dies. Constants must be copied out by the caller first.
void* Resize(void* block, size_t size);
// Null and constant-pool addresses are ignored.
void Release(const void* block);

bool IsInConstantPool(const void* address);

// Counters of blocks handed out and not yet released; tests read them to find leaks.
long LiveBlockCount();
long LiveByteCount();
