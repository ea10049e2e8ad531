#pragma once
// Opens an address through the desktop shell, which runs with the user's own unelevated rights,
// so a browser it starts does not inherit an elevated caller's administrator token.

// Finds the desktop in the shell's window list, walks from its browser to the automation object of
// its view and calls IShellDispatch2::ShellExecute with the address (read in the ANSI code page),
// the verb "open" and show command 1. COM must be initialised on the calling thread. True only
// when every step returned S_OK; false at once, with nothing opened, when no desktop shell runs.
// Every interface is released before it returns.
bool OpenThroughDesktopShell(const char* address);
