#include "runtime/fatal.h"

#include <windows.h>

#include <cstdio>

#include "runtime/exit_routines.h"

namespace {
// "错误" in code page 936.
const char kCaption[] = "\xB4\xED\xCE\xF3";

// No allocation here: the heap may be what failed.
void ShowIn936(const char* message) {
  wchar_t text[256];
  wchar_t caption[16];
  if (!MultiByteToWideChar(936, 0, message, -1, text, 256)) text[0] = 0;
  if (!MultiByteToWideChar(936, 0, kCaption, -1, caption, 16)) caption[0] = 0;
  (void)MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}
}  // namespace

void FatalError(const char* message) {
  ShowIn936(message);
  ExitAfterExitProcessing(-1);
}

void FatalErrorNaming(const char* message, const char* name) {
  char text[256];
  snprintf(text, sizeof text, "%s%s", message, name);
  FatalError(text);
}
