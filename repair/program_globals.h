#pragma once
// The program's two globals, set at start-up and released by the exit routine.
#include "osinfo/os_info.h"

// The full path of the hosts file (a text block); null until the main window is created.
extern char* hostsPath;
// The one OsInfo instance; created before the main window exists.
extern OsInfo* osInfo;
