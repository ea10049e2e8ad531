#pragma once
// The run time's one fatal path: a message box, exit processing, exit code -1.

// `message` is in code page 936; it is shown converted from 936 whatever the ANSI code page is.
[[noreturn]] void FatalError(const char* message);
// The message followed by a name, both in code page 936.
[[noreturn]] void FatalErrorNaming(const char* message, const char* name);
