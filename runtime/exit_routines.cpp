#include "runtime/exit_routines.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/window.h"

namespace {
std::vector<ExitRoutine>& Routines() {
  static std::vector<ExitRoutine> routines;
  return routines;
}
}  // namespace

void RegisterExitRoutine(ExitRoutine routine) {
  auto& routines = Routines();
  if (std::find(routines.begin(), routines.end(), routine) == routines.end()) {
    routines.push_back(routine);
  }
}

void RunExitRoutines() {
  // Taken out before running, so a fatal error inside a routine does not run the list again.
  std::vector<ExitRoutine> pending = std::exchange(Routines(), {});
  for (ExitRoutine routine : pending) routine();
}

void ExitAfterExitProcessing(int exitCode) {
  RunExitRoutines();
  ShutdownRuntime();
  ExitProcess(static_cast<UINT>(exitCode));
}
