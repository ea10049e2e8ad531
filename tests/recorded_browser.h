#pragma once
// Stands url_recorder.exe in for the browser of this prefix: while an instance lives, https
// addresses opened with ShellExecute are appended to a record file instead of starting a browser.
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "gui_wait.h"
#include "test_files.h"

class RecordedBrowser {
 public:
  // By default the recorder lies beside the running program.
  explicit RecordedBrowser(const std::wstring& recordFile,
                           const std::wstring& recorder = BesideThisProgram(L"url_recorder.exe"))
      : record_(recordFile) {
    DeleteFileW(record_.c_str());
    std::wstring command = L"\"" + recorder + L"\" \"" + record_ + L"\" \"%1\"";

    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCommandKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = sizeof earlier_;
    hadEarlier_ = RegQueryValueExW(key_, nullptr, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(earlier_), &size) == ERROR_SUCCESS;
    Set(command.c_str());
  }
  RecordedBrowser(const RecordedBrowser&) = delete;
  RecordedBrowser& operator=(const RecordedBrowser&) = delete;
  ~RecordedBrowser() {
    if (!key_) return;
    if (hadEarlier_) {
      Set(earlier_);
    } else {
      RegDeleteValueW(key_, nullptr);
    }
    RegCloseKey(key_);
    DeleteFileW(record_.c_str());
  }

  bool Installed() const { return key_ != nullptr; }

  std::vector<std::string> Addresses() const {
    std::vector<std::string> lines;
    std::istringstream record(ReadBytes(record_).value_or(""));
    for (std::string line; std::getline(record, line);) lines.push_back(line);
    return lines;
  }

  // The recorder runs in a process of its own, so its line comes some time after the call.
  bool WaitForAddresses(size_t count, DWORD milliseconds = 15000) const {
    return WaitUntil([&] { return Addresses().size() >= count; }, milliseconds);
  }

 private:
  static std::wstring BesideThisProgram(const wchar_t* name) {
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    return path.substr(0, path.rfind(L'\\') + 1) + name;
  }

  static constexpr const wchar_t* kCommandKey = L"Software\\Classes\\https\\shell\\open\\command";

  void Set(const wchar_t* command) {
    RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                   static_cast<DWORD>((wcslen(command) + 1) * sizeof(wchar_t)));
  }

  std::wstring record_;
  HKEY key_ = nullptr;
  wchar_t earlier_[1024] = {};
  bool hadEarlier_ = false;
};
