#include "runtime/open_address.h"

#include <windows.h>

#include <shellapi.h>

#include "runtime/desktop_shell.h"

namespace {
// No "open with" picker or error box when nothing can open the address: failures are silent.
bool OpenFromThisProcess(const char* address) {
  SHELLEXECUTEINFOA execution = {};
  execution.cbSize = sizeof execution;
  execution.fMask = SEE_MASK_FLAG_NO_UI;
  execution.lpVerb = "open";
  execution.lpFile = address;
  execution.nShow = SW_SHOWNORMAL;
  return ShellExecuteExA(&execution) != FALSE;
}
}  // namespace

bool OpenAddress(const char* address) {
  return OpenThroughDesktopShell(address) || OpenFromThisProcess(address);
}
