#pragma once
// The ordered list of exit routines and the exit processing that runs them.

using ExitRoutine = void (*)();

// Appends the routine unless it is already in the list.
void RegisterExitRoutine(ExitRoutine routine);

// Runs the registered routines in order of registration and empties the list, so a routine runs at
// most once however often exit processing is entered.
void RunExitRoutines();

// Exit processing (exit routines, then the run time's own resources) and the end of the process.
[[noreturn]] void ExitAfterExitProcessing(int exitCode);
