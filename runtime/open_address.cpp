#include "runtime/open_address.h"

#include <windows.h>

#include <shellapi.h>

bool OpenAddress(const char* address) {
  HINSTANCE result = ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
  // Values above 32 mean success; the lower ones are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
}
