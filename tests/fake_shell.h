#pragma once
// A scripted stand-in for the desktop shell's route to ShellExecute: the window list
// (ShellWindows), the desktop's browser, its shell view, the view's background automation object
// and the shell's automation object. While a Registration lives, CoCreateInstance of ShellWindows
// on this thread's apartment gets the fake, which answers only the documented requests, fails the
// step the script names and records every step it is asked for. Nothing is ever opened.
#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace fake_shell {

// The steps of the route, in the order it takes them.
enum class Step {
  Create,           // the window list, by the class object's CreateInstance
  FindWindow,       // IShellWindows::FindWindowSW for the desktop
  ServiceProvider,  // the desktop's IServiceProvider
  QueryService,     // the top-level browser's IShellBrowser
  ActiveView,       // IShellBrowser::QueryActiveShellView
  ItemObject,       // IShellView::GetItemObject of the background
  FolderViewDual,   // its IShellFolderViewDual
  Application,      // IShellFolderViewDual::get_Application
  ShellDispatch2,   // the application's IShellDispatch2
  ShellExecute,     // IShellDispatch2::ShellExecute
};
const std::vector<Step>& AllSteps();
// The steps up to and including `last`.
std::vector<Step> StepsThrough(Step last);
void PrintTo(Step step, std::ostream* out);

struct Script {
  std::optional<Step> failing;  // none: every step succeeds
  HRESULT failure = E_FAIL;     // what the failing step returns; a QueryInterface always says
                                // E_NOINTERFACE and hands out nothing
  bool handOutAnyway = false;   // the failing step still hands out its object (an S_FALSE may)
  LONG desktopWindow = 0;       // the window FindWindowSW names
};

inline Script Succeeding(LONG desktopWindow) {
  Script script;
  script.desktopWindow = desktopWindow;
  return script;
}

inline Script FailingAt(Step step, HRESULT failure, bool handOutAnyway = false) {
  Script script;
  script.failing = step;
  script.failure = failure;
  script.handOutAnyway = handOutAnyway;
  return script;
}

// One ShellExecute call, each variant as the real one reads it.
struct Execution {
  std::wstring file;
  std::wstring arguments;  // as text; empty when not given
  std::wstring folder;     // as text; empty when not given
  std::wstring operation;  // as text
  long show;               // as an integer; -1 when it is no number
  bool operator==(const Execution&) const = default;
};
void PrintTo(const Execution& execution, std::ostream* out);

struct Record {
  std::vector<Step> steps;  // every step taken, in order, the failing one included
  std::vector<Execution> executions;
};

// References held on live fake objects, by kind.
struct Live {
  long windowLists = 0;
  long desktops = 0;
  long browsers = 0;
  long views = 0;
  long folderViews = 0;
  long shellDispatches = 0;
  bool operator==(const Live&) const = default;
};
Live LiveReferences();
void PrintTo(const Live& live, std::ostream* out);

// Registers the fake for ShellWindows on this thread (COM must be initialised) and revokes it when
// it goes out of scope. One at a time.
class Registration {
 public:
  explicit Registration(Script script);
  Registration(const Registration&) = delete;
  Registration& operator=(const Registration&) = delete;
  ~Registration();

  HRESULT result() const { return result_; }  // of CoRegisterClassObject
  const Record& record() const;

 private:
  HRESULT result_;
  DWORD cookie_ = 0;
};

}  // namespace fake_shell
