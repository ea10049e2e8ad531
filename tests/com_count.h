#pragma once
// How often COM is initialised on this thread, found by unwinding it: a CoInitializeEx that nests
// (S_FALSE) followed by two CoUninitialize calls lowers the count by one, until a CoInitializeEx
// starts afresh (S_OK). Leaves the count at one, in a fresh apartment, so a fault does not spill
// into later checks; call it only while no fake class is registered.
#include <objbase.h>

inline int ComInitialisationCount() {
  int count = 0;
  while (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) == S_FALSE) {
    CoUninitialize();
    CoUninitialize();
    ++count;
  }
  return count;
}
