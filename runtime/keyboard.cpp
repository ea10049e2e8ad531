#include <windows.h>

#include "runtime/loaded_windows.h"

namespace {
bool IsPushButton(HWND control) {
  wchar_t className[16];
  if (!GetClassNameW(control, className, 16) || lstrcmpiW(className, L"Button") != 0) return false;
  LONG kind = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
}
}  // namespace

HWND NextTabStop(const LoadedWindow& loaded, HWND from, bool backwards) {
  const auto& controls = loaded.controls;
  int count = static_cast<int>(controls.size());
  int start = -1;
  for (int i = 0; i < count; ++i) {
    if (controls[i] == from) start = i;
  }
  int step = backwards ? count - 1 : 1;
  if (start < 0) start = backwards ? 0 : count - 1;
  for (int n = 1; n <= count; ++n) {
    HWND candidate = controls[(start + n * step) % count];
    if ((GetWindowLongW(candidate, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(candidate) &&
        IsWindowEnabled(candidate)) {
      return candidate;
    }
  }
  return nullptr;
}

bool HandleWindowKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  LoadedWindow* loaded = FindLoadedWindow(GetAncestor(message.hwnd, GA_ROOT));
  if (!loaded) return false;

  switch (message.wParam) {
    case VK_ESCAPE:
      // Before dispatch, so a multi-line edit box cannot keep Esc for itself.
      (void)SendMessageW(loaded->window, WM_CLOSE, 0, 0);
      return true;
    case VK_TAB: {
      HWND next = NextTabStop(*loaded, GetFocus(), GetKeyState(VK_SHIFT) < 0);
      if (next) (void)SetFocus(next);
      return true;
    }
    case VK_RETURN:
      // Enter presses the focused push button, as in a dialog; in the edit box it stays a key.
      if (IsPushButton(message.hwnd)) {
        (void)SendMessageW(message.hwnd, BM_CLICK, 0, 0);
        return true;
      }
      return false;
    default:
      return false;
  }
}
