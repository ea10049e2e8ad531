#pragma once
// The value constants; they live in the constant pool, so releasing them does nothing.
#include "runtime/byte_set.h"

extern const char EmptyText[1];
extern const ByteSetBlock EmptyByteSet;
extern const ByteSetConstant<1> ZeroByte;
extern const ByteSetConstant<2> ZeroCodeUnit;
