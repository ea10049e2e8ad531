// A whole process that meets a fatal run-time error after registering an exit routine, which
// appends one line to the file named on the command line.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "runtime/exit_routines.h"
#include "runtime/heap.h"
#include "runtime/window.h"

namespace {
const char* markerPath;

void NoteExitRoutineRan() {
  FILE* marker = fopen(markerPath, "a");
  if (!marker) return;
  fputs("exit routine ran\n", marker);
  fclose(marker);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  markerPath = argv[2];
  InitializeRuntime(nullptr, 0);
  RegisterExitRoutine(NoteExitRoutineRan);
  if (strcmp(argv[1], "allocation") == 0) {
    (void)Allocate(0x7FFFFFF0u);
  } else if (strcmp(argv[1], "missing-window") == 0) {
    LoadWindow("no such window");
  }
  return 3;
}
