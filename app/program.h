#pragma once
// The program's start and exit routines.

// Frees the hosts path and the OsInfo instance; registered as an exit routine at start-up.
void ReleaseGlobals();
