#include "runtime/system_string.h"

BSTR AnsiToBstr(const char* text) {
  if (!text || !*text) return nullptr;
  int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (units <= 1) return nullptr;
  BSTR string = SysAllocStringLen(nullptr, units - 1);
  if (string && MultiByteToWideChar(CP_ACP, 0, text, -1, string, units) != units) {
    SysFreeString(string);
    return nullptr;
  }
  return string;
}
