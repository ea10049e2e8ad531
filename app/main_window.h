#pragma once
// The main window "hosts": the repair button and the out-of-sight edit box holding the hosts text.
#include "repair/main_window_names.h"
#include "runtime/window.h"

extern const WindowDefinition MainWindow;
