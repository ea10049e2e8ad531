#include "repair/program_globals.h"

char* hostsPath = nullptr;
OsInfo* osInfo = nullptr;
