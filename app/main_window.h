#pragma once
// The main window "hosts": the repair button and the out-of-sight edit box holding the hosts text.
#include "runtime/window.h"

extern const char MainWindowName[];
extern const char RepairButtonName[];
extern const char HostsTextBoxName[];
extern const WindowDefinition MainWindow;
