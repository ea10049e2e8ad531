// The entry of the bench build of hostsfix: the program exactly as shipped, except that after its
// exit routines have run it appends the run time's live-block count to the file named on its
// command line, so a bench can see whether clicks leave blocks behind.
#include <windows.h>

#include <cstdio>

#include "runtime/exit_routines.h"
#include "runtime/heap.h"
#include "runtime/start.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  int result = RunProgram();
  RunExitRoutines();  // releases the globals, as exit processing would
  if (FILE* report = fopen(commandLine, "ab")) {
    fprintf(report, "%ld\n", LiveBlockCount());
    fclose(report);
  }
  ExitAfterExitProcessing(result);
}
