#pragma once
// The Unix side of the Wine prefix, for fixtures that Win32 cannot make or see.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gui_wait.h"

// Wine starts a Unix program from CreateProcess but gives no handle to wait on: callers wait for
// the program's effect instead.
inline void RunUnix(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string command = commandLine;
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process))
      << commandLine;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// The Unix path of a Windows path, from Wine's own export of kernel32; empty when there is none.
inline std::string UnixPathOf(const std::wstring& path) {
  using Converter = char*(CDECL*)(LPCWSTR);
  auto convert = reinterpret_cast<Converter>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* unix = convert ? convert(path.c_str()) : nullptr;
  std::string converted = unix ? unix : "";
  if (unix) HeapFree(GetProcessHeap(), 0, unix);
  return converted;
}

// Runs a shell script on the Unix side and waits until it has ended, which it shows by making a
// marker file last. Paths in the script are Unix paths without quotes or spaces.
inline bool RunUnixScript(const std::string& script, const std::wstring& scratchFolder) {
  std::wstring marker = scratchFolder + L"unix_script_done";
  DeleteFileW(marker.c_str());
  std::string unixMarker = UnixPathOf(marker);
  if (unixMarker.empty()) return false;
  RunUnix("/bin/sh -c \"" + script + "; touch " + unixMarker + "\"");
  bool done =
      WaitUntil([&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; });
  DeleteFileW(marker.c_str());
  return done;
}
