#include "repair/hosts_path.h"

#include "repair/program_globals.h"
#include "values/joins.h"

namespace {
const char kBelowWindowsDirectory[] = "\\system32\\drivers\\etc\\hosts";
}

void ResolveHostsPath() {
  Text windowsDirectory = osInfo->WindowsDirectory();
  Text path = JoinTexts(windowsDirectory.get(), kBelowWindowsDirectory);
  Release(hostsPath);
  hostsPath = path.Detach();
}
