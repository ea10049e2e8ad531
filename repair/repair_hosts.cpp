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
// Hidden too: Windows refuses to truncate a hidden or system file opened with
// FILE_ATTRIBUTE_NORMAL, and malware that rewrites the hosts file often hides it.
const int32_t kAttributesInTheWay = kReadOnlyAndSystem | FILE_ATTRIBUTE_HIDDEN;

void WriteEditBoxOverHosts() {
  // Everything that allocates comes before the lift, so that a fatal allocation cannot end the
  // process with the hosts file unprotected. A failed read is not an emptied edit box: it writes
  // nothing.
  Text text;
  if (!ReadControlText(MainWindowName, HostsTextBoxName, &text)) return;
  ByteSet bytes = TextToBytes(text.get());
  (void)ClearFileAttributes(hostsPath, kAttributesInTheWay);
  // An emptied edit box still truncates the file.
  (void)WriteFileBytes(hostsPath, bytes.get() ? bytes.get() : &EmptyByteSet);
  (void)SetFileAttributesTo(hostsPath, kReadOnlyAndSystem);
}
}  // namespace

void RepairHosts() {
  // One reading of the clock: three could name the backup after a date that never was, such as
  // the old year with the new January 1 at midnight.
  double now = CurrentLocalTime();
  // An existing hosts file is overwritten only once its bytes are safe in a backup, or a failed
  // copy (full disk, locked file) followed by a failed write would lose it.
  if (SafeToOverwrite(hostsPath, now)) WriteEditBoxOverHosts();
  (void)OpenAddress(HomePage);
}
