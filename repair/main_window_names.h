#pragma once
// The names of the main window and of its two controls, in code page 936: the window definition
// gives them to the run time, and the repair reads the edit box by them.

extern const char MainWindowName[];
extern const char RepairButtonName[];
extern const char HostsTextBoxName[];
