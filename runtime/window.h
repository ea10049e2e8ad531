#pragma once
// Windows made from definitions: the run time's initialisation, window loading, message loop and
// the reading of control texts. A definition is data; the loader turns it into a registered class,
// CreateWindowEx calls and a window procedure that dispatches events to the definition's handlers.
#include <windows.h>

#include "runtime/text.h"

using EventHandler = void (*)();

enum class ControlKind { PushButton, Edit };

struct ControlDefinition {
  const char* name;  // code page 936
  ControlKind kind;
  // The initial text. With `textCodePage` 936 it is converted from 936 for a Unicode control, so it
  // reads the same under every ANSI code page; with CP_ACP the control is an ANSI control that gets
  // and gives its bytes in the ANSI code page.
  const char* text;
  UINT textCodePage;
  DWORD style;  // WS_CHILD is added by the loader
  DWORD exStyle;
  int left, top, width, height;
  bool ownColours;
  COLORREF textColour, backColour;
  EventHandler onClick;
};

struct WindowDefinition {
  const char* name;   // code page 936
  const char* title;  // code page 936
  DWORD style;
  DWORD exStyle;
  int left, top;      // used only when not centred
  int width, height;  // outer size
  bool centred;
  const char* iconName;  // icon group resource of the program; null for none
  EventHandler onCreate;
  const ControlDefinition* controls;
  int controlCount;
};

// Prepares the run time: OLE on this (the GUI) thread, the current directory set to the program's
// folder, and the window definitions read in. Comes before every other service.
void InitializeRuntime(const WindowDefinition* const* definitions, int count);
// Releases what InitializeRuntime took (OLE); part of exit processing.
void ShutdownRuntime();

// Creates the named window and its controls, runs its creation event, then shows it. A name with
// no definition is a fatal error.
void LoadWindow(const char* name);

// Dispatches messages until the quit message; returns at once when no loaded window exists. The
// quit message is posted when the last loaded window is destroyed while the loop runs.
void RunMessageLoop();

// The control's current window text in the ANSI code page into `text` (null for an empty text).
// False, with `text` left as it was, when the window or the control is not loaded or the text
// cannot be read: a failed read is not an empty text.
bool ReadControlText(const char* windowName, const char* controlName, Text* text);
