#pragma once
// The repair: the click event of the main window's button.

// The maker's home page, opened after every repair.
extern const char HomePage[];

// Keeps the hosts file's bytes in a dated backup beside it, then writes the edit box's text over
// the file and marks it read-only and system; opens the home page. An existing hosts file whose
// bytes could not be kept in a backup is left alone. Reports nothing.
void RepairHosts();
