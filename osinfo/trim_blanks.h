#pragma once
#include "runtime/text.h"

// A fresh copy of the text without the blanks at both ends. The text is read as code page 936
// characters (a byte of 0x80 or above starts a two-byte character); blanks are the ASCII space and
// the full-width space A1 A1 only, so tabs and line breaks stay. All blanks give the empty text.
Text TrimBlanks(const char* text);
