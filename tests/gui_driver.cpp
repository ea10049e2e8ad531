// Drives the real program from inside its Wine desktop for ./tools/run: starts it, says when its
// window is on screen, clicks its button once when told and reports what the click left, closes it
// with Esc when told, and reports the exit code. Signals are files in a folder shared with the
// calling script. While it runs, url_recorder.exe stands in for the browser, so the home page is
// reported rather than opened.
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui_wait.h"
#include "recorded_browser.h"

namespace {
std::wstring folder;

std::wstring SignalPath(const wchar_t* name) { return folder + L"\\" + name; }

bool SignalExists(const wchar_t* name) {
  return GetFileAttributesW(SignalPath(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteSignal(const wchar_t* name, const std::string& content) {
  FILE* file = _wfopen(SignalPath(name).c_str(), L"wb");
  if (!file) return;
  fputs(content.c_str(), file);
  fclose(file);
}

HWND FindMainWindow() {
  HWND window = FindWindowW(L"RuntimeWindow", L"hosts");
  return window && IsWindowVisible(window) ? window : nullptr;
}

void PressEscape(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  HWND target = info.hwndFocus ? info.hwndFocus : window;
  PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

std::string AttributeNames(DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return "no such file";
  const struct {
    DWORD bit;
    const char* name;
  } names[] = {{FILE_ATTRIBUTE_READONLY, "read-only"},
               {FILE_ATTRIBUTE_HIDDEN, "hidden"},
               {FILE_ATTRIBUTE_SYSTEM, "system"},
               {FILE_ATTRIBUTE_ARCHIVE, "archive"}};
  std::string text;
  for (const auto& [bit, name] : names) {
    if (attributes & bit) text += (text.empty() ? "" : ", ") + std::string(name);
  }
  return text.empty() ? "none" : text;
}

// BM_CLICK is sent, so the repair has run when it returns; the home page comes from another
// process a little later.
std::string ClickAndReport(HWND window, const wchar_t* hostsPath, const RecordedBrowser& browser) {
  SendMessageW(FindWindowExW(window, nullptr, L"Button", nullptr), BM_CLICK, 0, 0);
  browser.WaitForAddresses(1);
  std::string report = "attributes: " + AttributeNames(GetFileAttributesW(hostsPath)) + "\n";
  for (const std::string& address : browser.Addresses()) report += "home page: " + address + "\n";
  return report;
}
}  // namespace

// gui_driver.exe <program.exe> <signal folder> <hosts file>
int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  folder = argv[2];
  RecordedBrowser browser(SignalPath(L"home-page"));
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    WriteSignal(L"failed", "the program did not start\n");
    return 1;
  }
  HWND window = nullptr;
  if (!WaitUntil([&] { return (window = FindMainWindow()) != nullptr; }, 60000)) {
    WriteSignal(L"failed", "the window did not appear\n");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  WriteSignal(L"ready", "");
  WaitUntil([] { return SignalExists(L"click"); }, 120000);
  WriteSignal(L"clicked", ClickAndReport(window, argv[3], browser));
  WaitUntil([] { return SignalExists(L"close"); }, 120000);
  PressEscape(window);
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &exitCode);
  }
  WriteSignal(L"exit-code", std::to_string(static_cast<int>(exitCode)) + "\n");
  return 0;
}
