#pragma once
// Dated backups beside a file. An existing backup is never overwritten: a backup of the same day
// that holds other bytes gets a numbered sibling instead.
#include "runtime/byte_set.h"
#include "runtime/text.h"

// "_bak" followed by the date's year, two-digit month and two-digit day: "_bak20240305".
Text BackupSuffix(double date);

// The first of `base`, `base`_2, `base`_3, ... that does not exist or already holds exactly
// `bytes`.
Text ChooseBackupPath(const char* base, const ByteSetBlock* bytes);

// Makes sure the file's current bytes lie in a backup named after it and the date: the chosen
// backup when it already holds them, else a copy that fails rather than overwrite. False when the
// bytes could not be read or copied.
bool SecureInBackup(const char* path, double date);
