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

// A child that claims to be an MDI child of a window that is no MDI client cannot be created.
const ControlDefinition kUncreatableControl[] = {
    {"mdi child", ControlKind::Edit, "", CP_ACP, 0, WS_EX_MDICHILD, 0, 0, 10, 10, false, 0, 0,
     nullptr},
};
const WindowDefinition kWindowWithUncreatableControl = {"window with an uncreatable control",
                                                        "probe",
                                                        WS_OVERLAPPEDWINDOW,
                                                        0,
                                                        0,
                                                        0,
                                                        100,
                                                        100,
                                                        false,
                                                        nullptr,
                                                        nullptr,
                                                        kUncreatableControl,
                                                        1};
const WindowDefinition* const kDefinitions[] = {&kWindowWithUncreatableControl};
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  markerPath = argv[2];
  InitializeRuntime(kDefinitions, 1);
  RegisterExitRoutine(NoteExitRoutineRan);
  if (strcmp(argv[1], "allocation") == 0) {
    (void)Allocate(0x7FFFFFF0u);
  } else if (strcmp(argv[1], "missing-window") == 0) {
    LoadWindow("no such window");
  } else if (strcmp(argv[1], "uncreatable-control") == 0) {
    LoadWindow(kWindowWithUncreatableControl.name);
  }
  return 3;
}
