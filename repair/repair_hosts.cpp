#include "repair/repair_hosts.h"

#include <windows.h>

#include "repair/backup.h"
#include "repair/main_window_names.h"
#include "repair/program_globals.h"
#include "runtime/clock.h"
#include "runtime/file_commands.h"
#include "runtime/open_address.h"
#include "runtime/value_commands.h"
#include "runtime/window.h"
#include "values/constants.h"
#include "values/file_attributes.h"

const char HomePage[] = "https://hostsfix.example/";

namespace {
const int32_t kReadOnlyAndSystem = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;

void WriteEditBoxOverHosts() {
  (void)ClearFileAttributes(hostsPath, kReadOnlyAndSystem);
  ByteSet bytes = TextToBytes(ReadControlText(MainWindowName, HostsTextBoxName).get());
  // An empty edit box still truncates the file.
  (void)WriteFileBytes(hostsPath, bytes.get() ? bytes.get() : &EmptyByteSet);
  (void)SetFileAttributesTo(hostsPath, kReadOnlyAndSystem);
}
}  // namespace

void RepairHosts() {
  // One reading of the clock: three could name the backup after a date that never was, such as
  // the old year with the new January 1 at midnight.
  double now = CurrentLocalTime();
  // A missing hosts file has nothing to lose; an existing one is overwritten only once its bytes
  // are safe in a backup, or a failed copy (full disk, locked file) followed by a failed write
  // would lose it.
  bool hostsExists = GetFileAttributesA(hostsPath) != INVALID_FILE_ATTRIBUTES;
  if (!hostsExists || SecureInBackup(hostsPath, now)) WriteEditBoxOverHosts();
  (void)OpenAddress(HomePage);
}
