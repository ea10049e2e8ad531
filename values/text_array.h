#pragma once
// Arrays of texts: array blocks whose elements are pointers to texts the array owns.

// Appends a fresh copy of the text (null for an empty text) as the last element. The block is
// rewritten as one dimension of n + 1 elements, the earlier elements first in storage order; a
// block in the constant pool is first replaced by a fresh copy, a heap block is resized.
void AppendToTextArray(void*& array, const char* text);

// Releases every element, then the block; null and constants are ignored.
void ReleaseTextArray(void* array);
