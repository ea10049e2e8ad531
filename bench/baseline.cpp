// The start-up yardstick for hostsfix: the same one WMI query for the Windows directory, then a
// plain window of the same size, shown, and a message loop. Nothing else.
#include <windows.h>

#include <wbemidl.h>

namespace {
void QueryWindowsDirectory() {
  if (FAILED(CoInitialize(nullptr))) return;
  (void)CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  IWbemLocator* locator = nullptr;
  IWbemServices* services = nullptr;
  IEnumWbemClassObject* rows = nullptr;
  BSTR nameSpace = SysAllocString(L"root\\CIMV2");
  BSTR language = SysAllocString(L"WQL");
  BSTR query = SysAllocString(L"Select WindowsDirectory From Win32_OperatingSystem");
  if (SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                 reinterpret_cast<void**>(&locator))) &&
      SUCCEEDED(locator->ConnectServer(nameSpace, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                       &services)) &&
      SUCCEEDED(services->ExecQuery(language, query,
                                    WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                    &rows))) {
    IWbemClassObject* row = nullptr;
    ULONG returned = 0;
    while (rows->Next(2000, 1, &row, &returned) == 0 && returned == 1) {
      VARIANT value;
      VariantInit(&value);
      (void)row->Get(L"WindowsDirectory", 0, &value, nullptr, nullptr);
      (void)VariantClear(&value);
      row->Release();
    }
  }
  if (rows) rows->Release();
  if (services) services->Release();
  if (locator) locator->Release();
  SysFreeString(nameSpace);
  SysFreeString(language);
  SysFreeString(query);
  CoUninitialize();
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  QueryWindowsDirectory();
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"BaselineWindow";
  RegisterClassW(&windowClass);
  HWND window =
      CreateWindowExW(0, L"BaselineWindow", L"baseline", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                      840, 480, 239, 120, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
