// The fatal path as whole processes: the box with its message, the exit routines, exit code -1.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {
struct ProbeResult {
  std::wstring boxText;
  DWORD exitCode;
  std::string marker;
};

// The fatal box is a message box captioned "错误"; it is dismissed as a user would, with OK.
ProbeResult RunProbe(const wchar_t* mode) {
  wchar_t marker[MAX_PATH];
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"fp", 0, marker);
  std::wstring command = std::wstring(L"fatal_probe.exe ") + mode + L" \"" + marker + L"\"";

  ProbeResult result{L"", 0, ""};
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "fatal_probe.exe did not start: " << GetLastError();
    return result;
  }
  HWND box = nullptr;
  for (int i = 0; i < 200 && !box; ++i) {
    if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
    box = FindWindowW(L"#32770", L"\u9519\u8BEF");
  }
  if (box) {
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    result.boxText = text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  WaitForSingleObject(process.hProcess, 10000);
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  std::ifstream file(marker);
  std::stringstream content;
  content << file.rdbuf();
  result.marker = content.str();
  DeleteFileW(marker);
  return result;
}
}  // namespace

TEST(FatalErrors, AllocationFailureShowsTheBoxRunsExitRoutinesAndExitsWithMinusOne) {
  ProbeResult result = RunProbe(L"allocation");
  // "分配 2147483632 字节内存失败!"
  EXPECT_EQ(result.boxText, L"\u5206\u914D 2147483632 \u5B57\u8282\u5185\u5B58\u5931\u8D25!");
  EXPECT_EQ(result.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(result.marker, "exit routine ran\n");
}

TEST(FatalErrors, MissingWindowDefinitionIsFatal) {
  ProbeResult result = RunProbe(L"missing-window");
  // "找不到窗口定义: no such window"
  EXPECT_EQ(result.boxText, L"\u627E\u4E0D\u5230\u7A97\u53E3\u5B9A\u4E49: no such window");
  EXPECT_EQ(result.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(result.marker, "exit routine ran\n");
}

TEST(FatalErrors, ControlThatCannotBeCreatedIsAFailureToLoadTheWindow) {
  ProbeResult result = RunProbe(L"uncreatable-control");
  // "创建窗口失败: window with an uncreatable control"
  EXPECT_EQ(result.boxText,
            L"\u521B\u5EFA\u7A97\u53E3\u5931\u8D25: window with an uncreatable control");
  EXPECT_EQ(result.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(result.marker, "exit routine ran\n");
}
