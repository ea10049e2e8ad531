// Prints the class of the control that holds the keyboard focus of the window "hosts" (class
// RuntimeWindow) in whichever process shows it, so a script driving that process with X key
// presses can see where the keys will go. Prints "no window", "no focus" or "outside" otherwise.
#include <windows.h>

#include <cstdio>

int main() {
  HWND window = FindWindowW(L"RuntimeWindow", L"hosts");
  if (!window) {
    std::puts("no window");
    return 1;
  }
  // The focus belongs to the window's thread, not to this process: ask that thread's input state.
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) {
    std::puts("no focus");
    return 0;
  }
  if (GetAncestor(info.hwndFocus, GA_ROOT) != window) {
    std::puts("outside");
    return 0;
  }
  char name[64] = {};
  if (!GetClassNameA(info.hwndFocus, name, sizeof name)) return 1;
  std::puts(name);
  return 0;
}
