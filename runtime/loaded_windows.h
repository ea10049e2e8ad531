#pragma once
// The run time's record of the windows it has loaded, shared by the loader and the keyboard
// handling.
#include <windows.h>

#include <vector>

#include "runtime/window.h"

struct LoadedWindow {
  const WindowDefinition* definition;
  HWND window;
  std::vector<HWND> controls;   // in definition order
  std::vector<HBRUSH> brushes;  // per control; null where the control keeps the system colours
  HWND lastFocus;               // the control to give the focus back to on activation
};

// Null when the window is not one the run time loaded.
LoadedWindow* FindLoadedWindow(HWND window);

// Keys the run time handles for its windows before dispatch: Esc, Tab, and Enter on a button.
// Returns true when the message was consumed.
bool HandleWindowKey(const MSG& message);

// The next visible, enabled tab stop after `from` among the window's controls, wrapping around.
HWND NextTabStop(const LoadedWindow& loaded, HWND from, bool backwards);
