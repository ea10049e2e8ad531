#include "values/constants.h"

IN_CONSTANT_POOL const char EmptyText[1] = {0};
IN_CONSTANT_POOL const ByteSetBlock EmptyByteSet = {1, 0};
IN_CONSTANT_POOL const ByteSetConstant<1> ZeroByte = {{1, 1}, {0}};
IN_CONSTANT_POOL const ByteSetConstant<2> ZeroCodeUnit = {{1, 2}, {0, 0}};
