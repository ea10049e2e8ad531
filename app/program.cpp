#include "app/program.h"

#include "app/main_window.h"
#include "repair/program_globals.h"
#include "runtime/exit_routines.h"
#include "runtime/start.h"
#include "values/fieldless_instance.h"

namespace {
const WindowDefinition* const kWindowDefinitions[] = {&MainWindow};
}

int RunProgram() {
  InitializeRuntime(kWindowDefinitions, 1);
  osInfo = NewFieldlessInstance<OsInfo>();
  RegisterExitRoutine(ReleaseGlobals);
  LoadWindow(MainWindowName);
  RunMessageLoop();
  return 0;
}

void ReleaseGlobals() {
  Release(hostsPath);
  osInfo->Destroy();
  Release(osInfo);
}
