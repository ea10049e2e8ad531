#pragma once
// Hands an address (a web page, a file, a folder) to the program the system associates with it.

// "open" with no parameters and no working directory, shown normally, through the desktop shell
// (runtime/desktop_shell.h), so the program starts with the user's unelevated rights. Where no
// desktop shell takes it, ShellExecuteExA from this process, which shows nothing when it fails.
// COM must be initialised on the calling thread for the shell's route. True when either accepted
// it; whether a browser or other program then started is not known here.
bool OpenAddress(const char* address);
