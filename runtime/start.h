#pragma once
// The program's start routine, which the run time calls once on the GUI thread after its own
// process start-up; its result becomes the exit code once exit processing has run.
int RunProgram();
