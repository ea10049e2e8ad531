// The main window in this process, made from its definition by the run time and driven through
// its message queue the way the keyboard reaches it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/program.h"
#include "gui_wait.h"
#include "live_blocks.h"
#include "repair/program_globals.h"
#include "repair/stock_hosts_text.h"
#include "runtime/exit_routines.h"
#include "runtime/heap.h"
#include "runtime/start.h"
#include "runtime/value_commands.h"
#include "values/fieldless_instance.h"

namespace {
const WindowDefinition* const kDefinitions[] = {&MainWindow};

HWND FindMainWindow() {
  HWND window = FindWindowW(L"RuntimeWindow", L"hosts");
  return window && IsWindowVisible(window) ? window : nullptr;
}

HWND Child(HWND window, const wchar_t* className) {
  return FindWindowExW(window, nullptr, className, nullptr);
}

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

void PressKey(HWND target, WPARAM key) {
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}
}  // namespace

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeRuntime(kDefinitions, 1);
    // The creation event asks it for the Windows directory.
    osInfo = NewFieldlessInstance<OsInfo>();
    LoadWindow(MainWindowName);
    window_ = FindMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    Release(hostsPath);
    hostsPath = nullptr;
    Release(osInfo);
    osInfo = nullptr;
  }
  HWND window_ = nullptr;
};

TEST_F(MainWindowTest, IsCentredWithFixedFrameAndNoMaximise) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  RECT rect;
  GetWindowRect(window_, &rect);
  EXPECT_EQ(rect.left, 840);
  EXPECT_EQ(rect.top, 480);
  EXPECT_EQ(rect.right - rect.left, 239);
  EXPECT_EQ(rect.bottom - rect.top, 120);

  LONG style = GetWindowLongW(window_, GWL_STYLE);
  const LONG wanted = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD | WS_POPUP), 0);
  EXPECT_EQ(GetWindowLongW(window_, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0)
      << "no extended style (the system adds the window edge for a caption)";
  EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);

  EXPECT_EQ(GetClassLongPtrW(window_, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(MainWindowTest, ButtonShowsItsCaptionUnderEveryAnsiCodePage) {
  HWND button = Child(window_, L"Button");
  ASSERT_NE(button, nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(button, caption, 64);
  EXPECT_STREQ(caption, L"\u70B9\u51FB\u4FEE\u590DClick to fix");

  RECT place = ClientRectOf(button);
  EXPECT_EQ(place.left, 13);
  EXPECT_EQ(place.top, 24);
  EXPECT_EQ(place.right - place.left, 203);
  EXPECT_EQ(place.bottom - place.top, 48);
  LONG style = GetWindowLongW(button, GWL_STYLE);
  const LONG wanted = WS_VISIBLE | WS_TABSTOP | BS_CENTER | BS_VCENTER | BS_MULTILINE;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "not the default button";
  EXPECT_EQ(SendMessageW(button, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(MainWindowTest, EditBoxLiesOutOfSightHoldingTheStockText) {
  HWND edit = Child(window_, L"Edit");
  ASSERT_NE(edit, nullptr);
  RECT place = ClientRectOf(edit);
  EXPECT_EQ(place.left, 421);
  EXPECT_EQ(place.top, 64);
  EXPECT_EQ(place.right - place.left, 592);
  EXPECT_EQ(place.bottom - place.top, 496);
  RECT client;
  GetClientRect(window_, &client);
  EXPECT_GT(place.left, client.right) << "no part of the edit box can be seen";

  LONG style = GetWindowLongW(edit, GWL_STYLE);
  const LONG wanted = WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE |
                      ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(style & (ES_READONLY | ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE | ES_NOHIDESEL), 0);
  EXPECT_TRUE(GetWindowLongW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), -1) << "no length limit";
  DWORD start = 1, end = 1;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 0u);

  // The stock bytes pass the ANSI code page in and out unchanged under 936 and under 1252.
  Text text;
  ASSERT_TRUE(ReadControlText(MainWindowName, HostsTextBoxName, &text));
  ASSERT_NE(text.get(), nullptr);
  EXPECT_EQ(std::string(text.get()), std::string(StockHostsText));
}

TEST_F(MainWindowTest, ReadingAControlTellsAnEmptyTextFromAFailedRead) {
  NoLeakScope scope;
  HWND edit = Child(window_, L"Edit");
  ASSERT_TRUE(SetWindowTextA(edit, ""));
  Text text = TextFromBytes("earlier", 7);
  EXPECT_TRUE(ReadControlText(MainWindowName, HostsTextBoxName, &text));
  EXPECT_EQ(text.get(), nullptr) << "an empty edit box reads as the empty text";

  auto expectFailedRead = [](const char* window, const char* control) {
    Text kept = TextFromBytes("kept", 4);
    EXPECT_FALSE(ReadControlText(window, control, &kept));
    EXPECT_STREQ(kept.get(), "kept") << "left as it was";
  };
  expectFailedRead(MainWindowName, "no such control");
  expectFailedRead("no such window", HostsTextBoxName);
  ASSERT_TRUE(DestroyWindow(edit));  // behind the run time's back: its handle goes stale
  expectFailedRead(MainWindowName, HostsTextBoxName);
}

TEST_F(MainWindowTest, ClosingBeforeTheLoopPostsNoQuitAndTheLoopReturnsAtOnce) {
  DestroyWindow(window_);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  RunMessageLoop();  // would wait for ever if it did not return at once
}

// The whole start routine: keys go through the run time's message loop.
class ProgramTest : public ::testing::Test {
 protected:
  // Runs the program on this thread while `drive` works its window from another one; returns
  // what RunProgram returned, or -1 when the window never appeared.
  template <class Drive>
  int RunDriven(Drive drive) {
    const DWORD programThread = GetCurrentThreadId();
    std::atomic<bool> returned = false;
    bool appeared = false, closedByTest = false;
    std::thread driver([&] {
      HWND window = nullptr;
      appeared = WaitUntil([&] { return (window = FindMainWindow()) != nullptr; });
      if (appeared) {
        WaitUntil([&] { return FocusOf(window) != nullptr; });
        drive(window);
      }
      // Keys that close nothing would keep RunProgram in its loop until ctest's time-out: close
      // the window, and end the loop itself if that does not, so the test fails in seconds.
      if (WaitUntil([&] { return returned.load(); }, kCloseMilliseconds)) return;
      closedByTest = true;
      if (window) PostMessageW(window, WM_CLOSE, 0, 0);
      if (!WaitUntil([&] { return returned.load(); }, 2000)) {
        PostThreadMessageW(programThread, WM_QUIT, 0, 0);
      }
    });
    int result = RunProgram();
    returned = true;
    driver.join();
    EXPECT_FALSE(closedByTest) << "the program was still running " << kCloseMilliseconds
                               << " ms after the keys; the test closed it";
    if (closedByTest) {
      // What the fallback may leave for the next run in this process: the window, a quit message.
      if (HWND left = FindWindowW(L"RuntimeWindow", L"hosts")) DestroyWindow(left);
      MSG quit;
      while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
      }
    }
    return appeared ? result : -1;
  }
  static constexpr DWORD kCloseMilliseconds = 5000;

  // ReleaseGlobals leaves the globals dangling, as a process ends right after it; the next run in
  // this process starts from null, as a new process would.
  static void EndAsAProcessWould() {
    RunExitRoutines();
    hostsPath = nullptr;
    osInfo = nullptr;
  }
};

TEST_F(ProgramTest, EscClosesFromEitherControlAndReleaseGlobalsRunsOnce) {
  for (bool fromEditBox : {false, true}) {
    long blocks = LiveBlockCount();
    HWND focusBeforeEsc = nullptr;
    int result = RunDriven([&](HWND window) {
      if (fromEditBox) {
        PressKey(FocusOf(window), VK_TAB);
        WaitUntil([&] { return FocusOf(window) == Child(window, L"Edit"); });
      }
      focusBeforeEsc = FocusOf(window);
      PressKey(focusBeforeEsc, VK_ESCAPE);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(focusBeforeEsc != nullptr, true);
    EXPECT_EQ(FindMainWindow(), nullptr);
    EXPECT_GT(LiveBlockCount(), blocks) << "the globals live until exit processing";
    RunExitRoutines();
    EXPECT_EQ(LiveBlockCount(), blocks) << "ReleaseGlobals released the globals";
    EndAsAProcessWould();
    EXPECT_EQ(LiveBlockCount(), blocks) << "and ran only once";
  }
}

TEST_F(ProgramTest, TabMovesBetweenTheTwoControlsAndEnterAddsALineBreak) {
  HWND focusAtStart = nullptr, afterTab = nullptr, afterSecondTab = nullptr;
  int lengthBefore = 0, lengthAfterEnter = 0;
  bool openAfterEnter = false;
  int result = RunDriven([&](HWND window) {
    HWND button = Child(window, L"Button");
    HWND edit = Child(window, L"Edit");
    focusAtStart = FocusOf(window);
    PressKey(focusAtStart, VK_TAB);
    WaitUntil([&] { return FocusOf(window) == edit; });
    afterTab = FocusOf(window);

    lengthBefore = GetWindowTextLengthA(edit);
    PressKey(edit, VK_RETURN);
    WaitUntil([&] { return GetWindowTextLengthA(edit) != lengthBefore; }, 2000);
    lengthAfterEnter = GetWindowTextLengthA(edit);
    openAfterEnter = IsWindowVisible(window) && FocusOf(window) == edit;

    PressKey(edit, VK_TAB);
    WaitUntil([&] { return FocusOf(window) == button; });
    afterSecondTab = FocusOf(window);
    PressKey(button, VK_ESCAPE);
  });
  EndAsAProcessWould();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(focusAtStart, afterSecondTab) << "the button has the focus first";
  EXPECT_NE(afterTab, afterSecondTab);
  EXPECT_EQ(lengthAfterEnter, lengthBefore + 2) << "Enter inserts CR LF in the edit box";
  EXPECT_TRUE(openAfterEnter) << "Enter closes nothing and does not move the focus";
}
