#pragma once
// Hands an address (a web page, a file, a folder) to the program the system associates with it.

// ShellExecute's "open" with no parameters and no working directory, shown normally. True when the
// system accepted it; whether a browser or other program then started is not known here.
bool OpenAddress(const char* address);
