#include "runtime/window.h"

#include <objbase.h>
#include <ole2.h>

#include <cstring>

#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/loaded_windows.h"
#include "runtime/value_commands.h"

namespace {
const wchar_t kWindowClass[] = L"RuntimeWindow";
const int kFirstControlId = 100;
// "找不到窗口定义: " in code page 936.
const char kMissingDefinition[] = "\xD5\xD2\xB2\xBB\xB5\xBD\xB4\xB0\xBF\xDA\xB6\xA8\xD2\xE5: ";
// "创建窗口失败: " in code page 936.
const char kCreationFailed[] = "\xB4\xB4\xBD\xA8\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC: ";

const WindowDefinition* const* windowDefinitions = nullptr;
int windowDefinitionCount = 0;
bool oleInitialised = false;
bool loopRunning = false;

std::vector<LoadedWindow>& LoadedWindows() {
  static std::vector<LoadedWindow> windows;
  return windows;
}

// A UTF-16 copy of a code page 936 text, in a block of the run time's own.
class WideFrom936 {
 public:
  explicit WideFrom936(const char* text) {
    int units = MultiByteToWideChar(936, 0, text, -1, nullptr, 0);
    if (units <= 0) return;
    wide_ = static_cast<wchar_t*>(Allocate(units * sizeof(wchar_t)));
    if (!MultiByteToWideChar(936, 0, text, -1, wide_, units)) wide_[0] = 0;
  }
  WideFrom936(const WideFrom936&) = delete;
  WideFrom936& operator=(const WideFrom936&) = delete;
  ~WideFrom936() { Release(wide_); }
  const wchar_t* get() const { return wide_ ? wide_ : L""; }

 private:
  wchar_t* wide_ = nullptr;
};

const WindowDefinition* FindDefinition(const char* name) {
  for (int i = 0; i < windowDefinitionCount; ++i) {
    if (strcmp(windowDefinitions[i]->name, name) == 0) return windowDefinitions[i];
  }
  return nullptr;
}

LoadedWindow* FindLoadedWindowByName(const char* name) {
  for (LoadedWindow& loaded : LoadedWindows()) {
    if (strcmp(loaded.definition->name, name) == 0) return &loaded;
  }
  return nullptr;
}

int ControlIndex(const LoadedWindow& loaded, HWND control) {
  for (size_t i = 0; i < loaded.controls.size(); ++i) {
    if (loaded.controls[i] == control) return static_cast<int>(i);
  }
  return -1;
}

LRESULT OnControlColour(LoadedWindow& loaded, HDC dc, HWND control) {
  int index = ControlIndex(loaded, control);
  if (index < 0 || !loaded.brushes[index]) return 0;
  const ControlDefinition& definition = loaded.definition->controls[index];
  (void)SetTextColor(dc, definition.textColour);
  (void)SetBkColor(dc, definition.backColour);
  return reinterpret_cast<LRESULT>(loaded.brushes[index]);
}

void OnCommand(const LoadedWindow& loaded, WPARAM wParam) {
  int index = LOWORD(wParam) - kFirstControlId;
  if (HIWORD(wParam) != BN_CLICKED || index < 0 || index >= loaded.definition->controlCount) return;
  EventHandler onClick = loaded.definition->controls[index].onClick;
  if (onClick) onClick();
}

void OnDestroy(HWND window) {
  auto& windows = LoadedWindows();
  for (auto it = windows.begin(); it != windows.end(); ++it) {
    if (it->window != window) continue;
    for (HBRUSH brush : it->brushes) {
      if (brush) (void)DeleteObject(brush);
    }
    windows.erase(it);
    break;
  }
  if (windows.empty() && loopRunning) PostQuitMessage(0);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LoadedWindow* loaded = FindLoadedWindow(window);
  if (loaded) {
    switch (message) {
      case WM_COMMAND:
        OnCommand(*loaded, wParam);
        return 0;
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORSTATIC:
        if (LRESULT brush = OnControlColour(*loaded, reinterpret_cast<HDC>(wParam),
                                            reinterpret_cast<HWND>(lParam))) {
          return brush;
        }
        break;
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
          HWND focus = GetFocus();
          if (ControlIndex(*loaded, focus) >= 0) loaded->lastFocus = focus;
        }
        break;
      case WM_SETFOCUS: {
        // As a dialog does: the focus goes on to the remembered control or the first tab stop.
        HWND target = loaded->lastFocus ? loaded->lastFocus : NextTabStop(*loaded, nullptr, false);
        if (target) (void)SetFocus(target);
        return 0;
      }
      case WM_DESTROY:
        OnDestroy(window);
        return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  registered = RegisterClassExW(&windowClass) != 0;
}

void SetIcons(HWND window, const char* iconName) {
  if (!iconName) return;
  WideFrom936 name(iconName);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const int sizes[2][2] = {{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}};
  for (const auto& [which, metric] : sizes) {
    int side = GetSystemMetrics(metric);
    HANDLE icon = LoadImageW(instance, name.get(), IMAGE_ICON, side, side, LR_SHARED);
    if (icon) (void)SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
}

HWND CreateControl(HWND parent, const ControlDefinition& control, int id) {
  const char* className = control.kind == ControlKind::PushButton ? "BUTTON" : "EDIT";
  DWORD style = WS_CHILD | control.style;
  HMENU menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (control.textCodePage == CP_ACP) {
    return CreateWindowExA(control.exStyle, className, control.text, style, control.left,
                           control.top, control.width, control.height, parent, menuId, instance,
                           nullptr);
  }
  WideFrom936 wideClass(className);
  WideFrom936 text(control.text);
  return CreateWindowExW(control.exStyle, wideClass.get(), text.get(), style, control.left,
                         control.top, control.width, control.height, parent, menuId, instance,
                         nullptr);
}

void CreateControls(LoadedWindow& loaded) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const WindowDefinition& definition = *loaded.definition;
  for (int i = 0; i < definition.controlCount; ++i) {
    const ControlDefinition& control = definition.controls[i];
    HWND handle = CreateControl(loaded.window, control, kFirstControlId + i);
    // A window without one of its controls is not the window its definition describes: it failed
    // to load, as when the window itself cannot be made.
    if (!handle) FatalErrorNaming(kCreationFailed, definition.name);
    loaded.controls.push_back(handle);
    loaded.brushes.push_back(control.ownColours ? CreateSolidBrush(control.backColour) : nullptr);
    (void)SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (control.kind == ControlKind::Edit) {
      (void)SendMessageW(handle, EM_LIMITTEXT, 0, 0);
      (void)SendMessageW(handle, EM_SETSEL, 0, 0);
    }
  }
}
}  // namespace

LoadedWindow* FindLoadedWindow(HWND window) {
  for (LoadedWindow& loaded : LoadedWindows()) {
    if (loaded.window == window) return &loaded;
  }
  return nullptr;
}

void InitializeRuntime(const WindowDefinition* const* definitions, int count) {
  oleInitialised = SUCCEEDED(OleInitialize(nullptr));

  const DWORD capacity = 32768;
  auto* path = static_cast<wchar_t*>(Allocate(capacity * sizeof(wchar_t)));
  DWORD length = GetModuleFileNameW(nullptr, path, capacity);
  if (length > 0 && length < capacity) {
    wchar_t* lastSeparator = wcsrchr(path, L'\\');
    if (lastSeparator) {
      lastSeparator[1] = 0;
      (void)SetCurrentDirectoryW(path);
    }
  }
  Release(path);

  windowDefinitions = definitions;
  windowDefinitionCount = count;
}

void ShutdownRuntime() {
  if (oleInitialised) OleUninitialize();
  oleInitialised = false;
}

void LoadWindow(const char* name) {
  const WindowDefinition* definition = FindDefinition(name);
  if (!definition) FatalErrorNaming(kMissingDefinition, name);
  RegisterWindowClass();

  int left = definition->left;
  int top = definition->top;
  if (definition->centred) {
    left = (GetSystemMetrics(SM_CXSCREEN) - definition->width) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - definition->height) / 2;
  }
  WideFrom936 title(definition->title);
  HWND window = CreateWindowExW(definition->exStyle, kWindowClass, title.get(), definition->style,
                                left, top, definition->width, definition->height, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) FatalErrorNaming(kCreationFailed, name);

  LoadedWindows().push_back({definition, window, {}, {}, nullptr});
  CreateControls(LoadedWindows().back());
  SetIcons(window, definition->iconName);

  if (definition->onCreate) definition->onCreate();
  (void)ShowWindow(window, SW_SHOWNORMAL);
  (void)UpdateWindow(window);
}

void RunMessageLoop() {
  if (LoadedWindows().empty()) return;
  loopRunning = true;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (HandleWindowKey(message)) continue;
    (void)TranslateMessage(&message);
    (void)DispatchMessageW(&message);
  }
  loopRunning = false;
}

bool ReadControlText(const char* windowName, const char* controlName, Text* text) {
  LoadedWindow* loaded = FindLoadedWindowByName(windowName);
  if (!loaded) return false;
  for (int i = 0; i < loaded->definition->controlCount; ++i) {
    if (strcmp(loaded->definition->controls[i].name, controlName) != 0) continue;
    HWND control = loaded->controls[i];
    // Both calls answer 0 for an empty text as for a failure; only the last error tells them apart.
    SetLastError(ERROR_SUCCESS);
    int capacity = GetWindowTextLengthA(control) + 1;
    if (capacity == 1 && GetLastError() != ERROR_SUCCESS) return false;
    auto* buffer = static_cast<char*>(Allocate(capacity));
    SetLastError(ERROR_SUCCESS);
    int length = GetWindowTextA(control, buffer, capacity);
    bool read = length > 0 || GetLastError() == ERROR_SUCCESS;
    if (read) *text = TextFromBytes(buffer, length);
    Release(buffer);
    return read;
  }
  return false;
}
