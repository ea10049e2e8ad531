#include "runtime/desktop_shell.h"

#include <windows.h>

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "runtime/com_ptr.h"
#include "runtime/system_string.h"

namespace {
// A step counts only when it returns exactly S_OK and hands out its interface: S_FALSE is how
// FindWindowSW says that there is no such window.
template <class Interface>
bool Got(HRESULT result, const ComPtr<Interface>& pointer) {
  return result == S_OK && pointer;
}

template <class Interface>
void** Out(ComPtr<Interface>& pointer) {
  return reinterpret_cast<void**>(pointer.out());
}

// The desktop's active shell view, and the desktop window that the shell's window list names.
ComPtr<IShellView> DesktopView(HWND* desktopWindow) {
  ComPtr<IShellWindows> windows;
  // The window list lives in the desktop shell's process; an in-process copy would list nothing.
  if (!Got(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                            Out(windows)),
           windows)) {
    return {};
  }
  VARIANT desktop, noRoot;
  VariantInit(&desktop);
  VariantInit(&noRoot);
  V_VT(&desktop) = VT_I4;
  V_I4(&desktop) = CSIDL_DESKTOP;
  LONG window = 0;
  ComPtr<IDispatch> found;
  if (!Got(windows->FindWindowSW(&desktop, &noRoot, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                                 found.out()),
           found)) {
    return {};
  }
  // Window handles keep to 32 bits, so the list hands them out as a LONG.
  *desktopWindow = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));

  ComPtr<IServiceProvider> services;
  if (!Got(found->QueryInterface(IID_IServiceProvider, Out(services)), services)) return {};
  ComPtr<IShellBrowser> browser;
  if (!Got(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, Out(browser)),
           browser)) {
    return {};
  }
  ComPtr<IShellView> view;
  if (!Got(browser->QueryActiveShellView(view.out()), view)) return {};
  return view;
}

// The shell's automation object, reached through the automation object of the view's background.
ComPtr<IShellDispatch2> ShellAutomation(IShellView* view) {
  ComPtr<IDispatch> background;
  if (!Got(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, Out(background)), background)) {
    return {};
  }
  ComPtr<IShellFolderViewDual> folderView;
  if (!Got(background->QueryInterface(IID_IShellFolderViewDual, Out(folderView)), folderView)) {
    return {};
  }
  ComPtr<IDispatch> application;
  if (!Got(folderView->get_Application(application.out()), application)) return {};
  ComPtr<IShellDispatch2> shell;
  if (!Got(application->QueryInterface(IID_IShellDispatch2, Out(shell)), shell)) return {};
  return shell;
}

// The shell may bring the browser it starts to the front only when it may set the foreground
// window itself: this process, in the foreground since the click, passes that right on.
void LetTheShellTakeTheForeground(HWND desktopWindow) {
  DWORD shellProcess = 0;
  if (GetWindowThreadProcessId(desktopWindow, &shellProcess) == 0) return;
  (void)AllowSetForegroundWindow(shellProcess);
}
}  // namespace

bool OpenThroughDesktopShell(const char* address) {
  // Read in the ANSI code page, as ShellExecuteExA reads it.
  SystemString file(AnsiToBstr(address));
  SystemString verb(SysAllocString(L"open"));
  if (!file.get() || !verb.get()) return false;

  HWND desktopWindow = nullptr;
  ComPtr<IShellView> view = DesktopView(&desktopWindow);
  if (!view) return false;
  ComPtr<IShellDispatch2> shell = ShellAutomation(view.get());
  if (!shell) return false;

  // The variants borrow the strings, which outlive the call; an empty variant is "not given".
  VARIANT none, operation, show;
  VariantInit(&none);
  VariantInit(&operation);
  VariantInit(&show);
  V_VT(&operation) = VT_BSTR;
  V_BSTR(&operation) = verb.get();
  V_VT(&show) = VT_I4;
  V_I4(&show) = SW_SHOWNORMAL;
  LetTheShellTakeTheForeground(desktopWindow);
  return shell->ShellExecute(file.get(), none, none, operation, show) == S_OK;
}
