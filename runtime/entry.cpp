// The process entry: hardening, the program's start routine, then exit processing.
#include <windows.h>

#include "runtime/exit_routines.h"
#include "runtime/start.h"

namespace {
// The program runs elevated from wherever it was saved, often a folder full of downloads: DLLs that
// are loaded by name later come from System32 only. Older systems without the call still start.
void RestrictDllSearchToSystem32() {
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesCall>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    (void)SetDllDirectoryW(L"");
  }
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystem32();
  ExitAfterExitProcessing(RunProgram());
}
