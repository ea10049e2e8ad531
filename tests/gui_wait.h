#pragma once
// Polls for a condition on another thread's or process's windows, with a time limit.
#include <windows.h>

template <class Condition>
bool WaitUntil(Condition condition, DWORD milliseconds = 10000) {
  for (DWORD waited = 0; waited < milliseconds; waited += 20) {
    if (condition()) return true;
    Sleep(20);
  }
  return condition();
}
