#pragma once
// Dated backups beside a file. An existing backup is never overwritten: a backup of the same day
// that holds other bytes gets a numbered sibling instead.
#include "runtime/text.h"

// "_bak" followed by the date's year, two-digit month and two-digit day: "_bak20240305".
Text BackupSuffix(double date);

// Makes sure the file's current bytes lie in a backup named after it and the date: the first of
// the day's name, its _2, _3, ... that holds exactly those bytes, or else a copy to the first free
// one that fails rather than overwrite. False when the bytes could not be read or copied, or a
// name's state could not be told.
bool SecureInBackup(const char* path, double date);

// Whether the file may be overwritten: the system reports it not found, or it exists and its bytes
// were secured in a backup. A file that cannot be looked at (access denied, a name too long) may
// exist, so it may not be overwritten.
bool SafeToOverwrite(const char* path, double date);
