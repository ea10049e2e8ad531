// Measures the real program under Wine: start-up against a baseline, click to hosts file rewritten,
// and what 100 clicks leave behind in one process. Prints a table; see ./tools/bench.
//
// bench_driver.exe <hostsfix.exe> <hostsfix_bench.exe> <baseline.exe> <url_recorder.exe> <runs>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui_wait.h"
#include "recorded_browser.h"
#include "test_files.h"

namespace {
const int kClicks = 100;
const DWORD kReadOnlyAndSystem = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;
const DWORD kStockSize = 831;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

template <class Number>
Number Median(std::vector<Number> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? Number() : values[values.size() / 2];
}

std::wstring HostsFolder() {
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(windows) + L"\\system32\\drivers\\etc\\";
}

// A hosts file the next click must rewrite, and no backups from earlier clicks.
void ResetHosts() {
  std::wstring folder = HostsFolder();
  EmptyFolder(folder, L"hosts_bak");
  WriteBytes(folder + L"hosts", "127.0.0.1 localhost\r\n");
}

// One run of a program with a window, from CreateProcess to its exit.
class Run {
 public:
  Run(const std::wstring& program, const std::wstring& arguments, const wchar_t* windowClass,
      const wchar_t* title) {
    std::wstring command = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    LARGE_INTEGER start = Now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      return;
    }
    // Polled every millisecond: the figure is only as fine as that.
    for (int waited = 0; waited < 60000 && !window_; ++waited) {
      HWND found = FindWindowW(windowClass, title);
      if (found && IsWindowVisible(found)) {
        window_ = found;
      } else {
        Sleep(1);
      }
    }
    startMilliseconds_ = Milliseconds(start, Now());
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  ~Run() {
    if (!process_.hProcess) return;
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  bool Started() const { return window_ != nullptr; }
  double StartMilliseconds() const { return startMilliseconds_; }
  HWND Button() const { return FindWindowExW(window_, nullptr, L"Button", nullptr); }

  // The click has been handled to its end when this returns.
  void Click() const { SendMessageW(Button(), BM_CLICK, 0, 0); }

  // Private bytes as Windows counts them (PagefileUsage; under Wine the Unix process's data
  // size, since Wine leaves PrivateUsage at 0 for another process).
  SIZE_T PrivateBytes() const {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process_.hProcess, &counters, sizeof counters);
    return counters.PagefileUsage;
  }

  HANDLE Process() const { return process_.hProcess; }

 private:
  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
  double startMilliseconds_ = 0;
};

bool HostsRewritten(const std::wstring& hosts) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExW(hosts.c_str(), GetFileExInfoStandard, &data) &&
         (data.dwFileAttributes & kReadOnlyAndSystem) == kReadOnlyAndSystem &&
         data.nFileSizeLow == kStockSize;
}

// Posted, and the file polled without opening it: an open handle would make the repair's
// unshared write fail.
double ClickToRewrittenMilliseconds(const Run& tool) {
  ResetHosts();
  std::wstring hosts = HostsFolder() + L"hosts";
  LARGE_INTEGER start = Now();
  PostMessageW(tool.Button(), BM_CLICK, 0, 0);
  while (!HostsRewritten(hosts) && Milliseconds(start, Now()) < 10000) Sleep(0);
  double elapsed = Milliseconds(start, Now());
  DWORD_PTR ignored;
  SendMessageTimeoutW(tool.Button(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
  return elapsed;
}

long ReadLastCount(const std::wstring& report) {
  std::string text = ReadBytes(report).value_or("");
  size_t end = text.find_last_not_of("\r\n");
  size_t start = text.find_last_of('\n', end);
  return end == std::string::npos
             ? -1
             : atol(text.c_str() + (start == std::string::npos ? 0 : start + 1));
}

struct Growth {
  long long privateBytes;
  long long nextPrivateBytes;  // over the next `kClicks`: a leak grows again, a high-water step not
  long long idlePrivateBytes;  // over as long a span without clicks: the noise
  long liveBlocks;
};

// In one process of the bench build: a warm-up click, then the growth over `kClicks` more, over
// `kClicks` after those and over an idle span as long; the live-block count comes from its report
// at exit.
Growth MeasureGrowth(const std::wstring& benchBuild, const std::wstring& report,
                     long oneClickCount) {
  ResetHosts();
  DeleteFileW(report.c_str());
  Growth growth = {0, 0, 0, 0};
  {
    Run tool(benchBuild, report, L"RuntimeWindow", L"hosts");
    if (!tool.Started()) return growth;
    auto settledPrivateBytes = [&] {
      Sleep(200);
      return static_cast<long long>(tool.PrivateBytes());
    };
    tool.Click();
    long long before = settledPrivateBytes();
    LARGE_INTEGER start = Now();
    for (int i = 0; i < kClicks; ++i) tool.Click();
    double span = Milliseconds(start, Now());
    long long after = settledPrivateBytes();
    for (int i = 0; i < kClicks; ++i) tool.Click();
    long long afterNext = settledPrivateBytes();
    Sleep(static_cast<DWORD>(span));
    long long idle = settledPrivateBytes();
    growth = {after - before, afterNext - after, idle - afterNext, 0};
  }
  growth.liveBlocks = ReadLastCount(report) - oneClickCount;
  return growth;
}

long CountAfterOneClick(const std::wstring& benchBuild, const std::wstring& report) {
  ResetHosts();
  DeleteFileW(report.c_str());
  {
    Run tool(benchBuild, report, L"RuntimeWindow", L"hosts");
    if (tool.Started()) tool.Click();
  }
  return ReadLastCount(report);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) return 2;
  const std::wstring hostsfix = argv[1], benchBuild = argv[2], baseline = argv[3];
  const int runs = std::max(_wtoi(argv[5]), 1);
  const std::wstring scratch = FreshTempFolder(L"hostsfix_bench");
  RecordedBrowser browser(scratch + L"home-pages.txt", argv[4]);  // no browser on each click
  const std::wstring report = scratch + L"live-blocks.txt";

  // The first start of each after the prefix boots is not counted. Starts alternate, so a slow
  // spell of the machine falls on both.
  { Run warmUp(hostsfix, L"", L"RuntimeWindow", L"hosts"); }
  { Run warmUp(baseline, L"", L"BaselineWindow", L"baseline"); }
  std::vector<double> toolStart, baselineStart, click;
  for (int i = 0; i < runs; ++i) {
    toolStart.push_back(Run(hostsfix, L"", L"RuntimeWindow", L"hosts").StartMilliseconds());
    baselineStart.push_back(Run(baseline, L"", L"BaselineWindow", L"baseline").StartMilliseconds());
  }
  {
    Run tool(hostsfix, L"", L"RuntimeWindow", L"hosts");
    for (int i = 0; tool.Started() && i < runs; ++i) {
      click.push_back(ClickToRewrittenMilliseconds(tool));
      browser.WaitForAddresses(i + 1);  // the browser stand-in is gone before the next click
    }
  }

  const long oneClickCount = CountAfterOneClick(benchBuild, report);
  std::vector<long long> privateGrowth, nextGrowth, idleGrowth;
  std::vector<long> blockGrowth;
  std::string eachRun;
  for (int i = 0; i < runs; ++i) {
    Growth growth = MeasureGrowth(benchBuild, report, oneClickCount);
    privateGrowth.push_back(growth.privateBytes);
    nextGrowth.push_back(growth.nextPrivateBytes);
    idleGrowth.push_back(growth.idlePrivateBytes);
    blockGrowth.push_back(growth.liveBlocks);
    eachRun.append(" ").append(std::to_string(growth.privateBytes));
  }

  double toolMedian = Median(toolStart), baselineMedian = Median(baselineStart);
  printf("hostsfix under Wine, medians over %d runs\n\n", runs);
  printf("%-44s %10.1f ms\n", "start to window visible, hostsfix", toolMedian);
  printf("%-44s %10.1f ms\n", "start to window visible, baseline", baselineMedian);
  printf("%-44s %10.2f    (target <= 1.10)\n", "  ratio hostsfix / baseline",
         toolMedian / baselineMedian);
  printf("%-44s %10.1f ms\n", "click to hosts file rewritten", Median(click));
  printf("\nafter one warm-up click, growth over %d more clicks in one process:\n", kClicks);
  printf("%-44s %10ld       (target 0; bench build's count at exit)\n", "  live blocks",
         Median(blockGrowth));
  printf("%-44s %10lld bytes (target: within the noise)\n", "  private bytes",
         Median(privateGrowth));
  printf("    each run:%s\n", eachRun.c_str());
  printf("%-44s %10lld bytes\n", "  private bytes over the next 100 clicks", Median(nextGrowth));
  auto [least, most] = std::minmax_element(idleGrowth.begin(), idleGrowth.end());
  printf("%-44s %10lld bytes (median; %lld to %lld)\n", "  noise: as long without clicks",
         Median(idleGrowth), *least, *most);
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  if (handles == 0 && GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) == 0) {
    printf(
        "\nhandles, GDI and USER objects: not measured; Wine answers 0 for\n"
        "GetProcessHandleCount and GetGuiResources.\n");
  }
  return 0;
}
