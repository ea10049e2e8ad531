#pragma once
// The run time's commands on files named by texts in the ANSI code page. An empty (or null) path
// fails without reaching the system.
#include <cstdint>

#include "runtime/byte_set.h"

// Creates the file or truncates it, unshared, then writes the bytes when there are any. True when
// the file was opened and every byte written.
bool WriteFileBytes(const char* path, const ByteSetBlock* bytes);

// The longest content a byte set can hold.
const int32_t kLongestBytes = INT32_MAX - 16;

// The whole content of the file, read to its end, into `bytes` (null for an empty file). False when
// the file cannot be opened or read, or holds more than `longest` bytes, which are then not read;
// `bytes` is then left as it was.
bool ReadFileBytes(const char* path, ByteSet* bytes, int32_t longest = kLongestBytes);

// Sets the attributes to the value ANDed with read-only, hidden, system and archive (0x27). True on
// success.
bool SetFileAttributesTo(const char* path, int32_t attributes);
