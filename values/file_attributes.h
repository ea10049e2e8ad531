#pragma once
// Clearing chosen attribute bits of a file, leaving the other bits as they were.
#include <cstdint>

#include "runtime/byte_set.h"

// The path is read in code page 936. Nonzero when the attributes were written, 0 otherwise.
int32_t ClearFileAttributes(const char* path, int32_t mask);
// The path is a terminated UTF-16LE byte set. Nonzero when the attributes were written, 0
// otherwise.
int32_t ClearFileAttributesWide(const ByteSetBlock* path, int32_t mask);
