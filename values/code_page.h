#pragma once
// Conversions between texts and UTF-16LE byte sets. Texts carried by this system are in code page
// 936, so the conversions name 936 rather than trusting the ANSI code page to agree.
#include <cstdint>

#include "runtime/byte_set.h"
#include "runtime/text.h"

// The text read in code page 936 as UTF-16LE, terminated unless `stripTerminator`; the empty byte
// set for an empty text.
ByteSet TextToUtf16(const char* text, bool stripTerminator);
// The input up to its first zero byte, read in `codePage`, as terminated UTF-16LE; the empty byte
// set for an empty input or a failed conversion.
ByteSet MultiByteToUtf16(const ByteSetBlock* input, int32_t codePage);
// The code units before the first zero unit, plus one zero unit when `appendTerminator`;
// EmptyByteSet (never terminated) when there is no unit before the first zero unit.
ByteSet TrimUtf16AtZero(const ByteSetBlock* input, bool appendTerminator);
// The UTF-16LE input up to its first zero unit as a text in code page 936.
Text Utf16ToText(const ByteSetBlock* input);
// As Utf16ToText, in `codePage` when `useCodePage`, else in the ANSI code page.
Text Utf16ToTextInCodePage(const ByteSetBlock* input, int32_t codePage, bool useCodePage);
// The UTF-16LE input up to its first zero unit in `codePage`, without a terminator; the empty
// byte set for an empty input or a failed conversion.
ByteSet Utf16ToMultiByte(const ByteSetBlock* input, int32_t codePage);
