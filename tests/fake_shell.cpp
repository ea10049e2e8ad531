#include "fake_shell.h"

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <utility>

#include "fake_com.h"

namespace fake_shell {
namespace {

struct State {
  Script script;
  Record record;
};

State* state = nullptr;  // the live registration's, or null
Live live;

// Records the step; true when the script makes it fail.
bool Fails(Step step) {
  state->record.steps.push_back(step);
  return state->script.failing == step;
}

// Hands out an object that a step made (holding one reference): S_OK, or the script's failure,
// with the object only when the script says so.
template <class Interface>
HRESULT HandOut(Step step, Interface* object, Interface** out) {
  if (!Fails(step)) {
    *out = object;
    return S_OK;
  }
  if (state->script.handOutAnyway) {
    *out = object;
  } else {
    object->Release();
  }
  return state->script.failure;
}

// Each kind of fake object moves its own live count; `Find` names the interfaces it answers for.
template <class Base, long Live::*count>
class Counted : public CountedObject<Base> {
 public:
  Counted() : CountedObject<Base>(live.*count) {}
};

// IDispatch of an object that is only used through its own interface.
template <class Base>
class NoTypeInformation : public Base {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

// The variant read as the real ShellExecute reads it; empty when it is no text.
std::wstring AsText(VARIANT value) {
  VARIANT text;
  VariantInit(&text);
  std::wstring result;
  if (VariantChangeType(&text, &value, 0, VT_BSTR) == S_OK && V_BSTR(&text)) {
    result = V_BSTR(&text);
  }
  (void)VariantClear(&text);
  return result;
}

long AsNumber(VARIANT value) {
  VARIANT number;
  VariantInit(&number);
  return VariantChangeType(&number, &value, 0, VT_I4) == S_OK ? V_I4(&number) : -1;
}

class ShellDispatch : public Counted<NoTypeInformation<IShellDispatch2>, &Live::shellDispatches> {
 public:
  HRESULT STDMETHODCALLTYPE ShellExecute(BSTR file, VARIANT arguments, VARIANT folder,
                                         VARIANT operation, VARIANT show) override {
    if (!state) return E_UNEXPECTED;
    bool fails = Fails(Step::ShellExecute);
    state->record.executions.push_back(
        {file ? file : L"", AsText(arguments), AsText(folder), AsText(operation), AsNumber(show)});
    return fails ? state->script.failure : S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_Application(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Parent(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE NameSpace(VARIANT, Folder**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BrowseForFolder(LONG, BSTR, LONG, VARIANT, Folder**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Windows(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Open(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Explore(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE MinimizeAll() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UndoMinimizeALL() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FileRun() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CascadeWindows() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TileVertically() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TileHorizontally() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ShutdownWindows() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Suspend() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EjectPC() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTime() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TrayProperties() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Help() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindFiles() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindComputer() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RefreshMenu() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ControlPanelItem(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsRestricted(BSTR, BSTR, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindPrinter(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSystemInformation(BSTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ServiceStart(BSTR, VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ServiceStop(BSTR, VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsServiceRunning(BSTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanStartStopService(BSTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ShowBrowserBar(BSTR, VARIANT, VARIANT*) override { return E_NOTIMPL; }

 protected:
  void* Find(REFIID iid) override {
    if (iid == IID_IShellDispatch2) return state && Fails(Step::ShellDispatch2) ? nullptr : this;
    bool answers = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShellDispatch;
    return answers ? this : nullptr;
  }
};

// The automation object of the view's background.
class FolderView : public Counted<NoTypeInformation<IShellFolderViewDual>, &Live::folderViews> {
 public:
  HRESULT STDMETHODCALLTYPE get_Application(IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state) return E_UNEXPECTED;
    return HandOut<IDispatch>(Step::Application, new ShellDispatch(), out);
  }

  HRESULT STDMETHODCALLTYPE get_Parent(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Folder(Folder**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SelectedItems(FolderItems**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FocusedItem(FolderItem**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SelectItem(VARIANT*, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PopupItemMenu(FolderItem*, VARIANT, VARIANT, BSTR*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_Script(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ViewOptions(LONG*) override { return E_NOTIMPL; }

 protected:
  void* Find(REFIID iid) override {
    if (iid == IID_IShellFolderViewDual) {
      return state && Fails(Step::FolderViewDual) ? nullptr : this;
    }
    return iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
  }
};

class View : public Counted<IShellView, &Live::views> {
 public:
  // Only the background's automation object, as IDispatch or IShellFolderViewDual.
  HRESULT STDMETHODCALLTYPE GetItemObject(UINT item, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state) return E_UNEXPECTED;
    if (item != SVGIO_BACKGROUND || (iid != IID_IDispatch && iid != IID_IShellFolderViewDual)) {
      return E_NOINTERFACE;
    }
    // One pointer serves both interfaces: IShellFolderViewDual extends IDispatch.
    return HandOut<IShellFolderViewDual>(Step::ItemObject, new FolderView(),
                                         reinterpret_cast<IShellFolderViewDual**>(out));
  }

  HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UIActivate(UINT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Refresh() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateViewWindow(IShellView*, LPCFOLDERSETTINGS, IShellBrowser*, RECT*,
                                             HWND*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DestroyViewWindow() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurrentInfo(LPFOLDERSETTINGS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SaveViewState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SelectItem(PCUITEMID_CHILD, SVSIF) override { return E_NOTIMPL; }

 protected:
  void* Find(REFIID iid) override {
    bool answers = iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IShellView;
    return answers ? this : nullptr;
  }
};

class Browser : public Counted<IShellBrowser, &Live::browsers> {
 public:
  HRESULT STDMETHODCALLTYPE QueryActiveShellView(IShellView** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state) return E_UNEXPECTED;
    return HandOut<IShellView>(Step::ActiveView, new View(), out);
  }

  HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetMenuSB(HMENU, HOLEMENU, HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveMenusSB(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusTextSB(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableModelessSB(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAcceleratorSB(MSG*, WORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BrowseObject(PCUIDLIST_RELATIVE, UINT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetViewStateStream(DWORD, IStream**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetControlWindow(UINT, HWND*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SendControlMsg(UINT, UINT, WPARAM, LPARAM, LRESULT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OnViewWindowActive(IShellView*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetToolbarItems(LPTBBUTTONSB, UINT, UINT) override { return E_NOTIMPL; }

 protected:
  void* Find(REFIID iid) override {
    bool answers = iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IShellBrowser;
    return answers ? this : nullptr;
  }
};

// What FindWindowSW hands out for the desktop: an automation object that offers services.
struct DesktopInterfaces : public IDispatch, public IServiceProvider {};

class Desktop : public Counted<NoTypeInformation<DesktopInterfaces>, &Live::desktops> {
 public:
  // Only the top-level browser, as IShellBrowser.
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state) return E_UNEXPECTED;
    if (service != SID_STopLevelBrowser || iid != IID_IShellBrowser) return E_NOINTERFACE;
    return HandOut<IShellBrowser>(Step::QueryService, new Browser(),
                                  reinterpret_cast<IShellBrowser**>(out));
  }

 protected:
  void* Find(REFIID iid) override {
    if (iid == IID_IServiceProvider) {
      return state && Fails(Step::ServiceProvider) ? nullptr : static_cast<IServiceProvider*>(this);
    }
    return iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
  }
};

class WindowList : public Counted<NoTypeInformation<IShellWindows>, &Live::windowLists> {
 public:
  // Only the desktop, asked for with its automation object: anything else is "no such window".
  HRESULT STDMETHODCALLTYPE FindWindowSW(VARIANT*, VARIANT*, int windowClass, LONG* window,
                                         int options, IDispatch** out) override {
    if (!out || !window) return E_POINTER;
    *out = nullptr;
    *window = 0;
    if (!state) return E_UNEXPECTED;
    if (windowClass != SWC_DESKTOP || !(options & SWFO_NEEDDISPATCH)) return S_FALSE;
    HRESULT result = HandOut<IDispatch>(Step::FindWindow, new Desktop(), out);
    if (*out) *window = state->script.desktopWindow;
    return result;
  }

  HRESULT STDMETHODCALLTYPE get_Count(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Item(VARIANT, IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Register(IDispatch*, LONG, int, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RegisterPending(LONG, VARIANT*, VARIANT*, int, LONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Revoke(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnNavigate(LONG, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnActivated(LONG, VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnCreated(LONG, IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ProcessAttachDetach(VARIANT_BOOL) override { return E_NOTIMPL; }

 protected:
  void* Find(REFIID iid) override {
    bool answers = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShellWindows;
    return answers ? this : nullptr;
  }
};

class Factory : public StaticClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state) return E_UNEXPECTED;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (Fails(Step::Create)) return state->script.failure;
    WindowList* list = new WindowList();
    HRESULT result = list->QueryInterface(iid, out);
    list->Release();
    return result;
  }
};

Factory factory;

const char* NameOf(Step step) {
  switch (step) {
    case Step::Create:
      return "Create";
    case Step::FindWindow:
      return "FindWindow";
    case Step::ServiceProvider:
      return "ServiceProvider";
    case Step::QueryService:
      return "QueryService";
    case Step::ActiveView:
      return "ActiveView";
    case Step::ItemObject:
      return "ItemObject";
    case Step::FolderViewDual:
      return "FolderViewDual";
    case Step::Application:
      return "Application";
    case Step::ShellDispatch2:
      return "ShellDispatch2";
    case Step::ShellExecute:
      return "ShellExecute";
  }
  return "?";
}

}  // namespace

const std::vector<Step>& AllSteps() {
  static const std::vector<Step> steps = {
      Step::Create,         Step::FindWindow,  Step::ServiceProvider, Step::QueryService,
      Step::ActiveView,     Step::ItemObject,  Step::FolderViewDual,  Step::Application,
      Step::ShellDispatch2, Step::ShellExecute};
  return steps;
}

std::vector<Step> StepsThrough(Step last) {
  std::vector<Step> steps;
  for (Step step : AllSteps()) {
    steps.push_back(step);
    if (step == last) break;
  }
  return steps;
}

void PrintTo(Step step, std::ostream* out) { *out << NameOf(step); }

void PrintTo(const Execution& execution, std::ostream* out) {
  auto narrow = [](const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) bytes += c < 0x80 ? static_cast<char>(c) : '?';
    return bytes;
  };
  *out << "{file \"" << narrow(execution.file) << "\", arguments \"" << narrow(execution.arguments)
       << "\", folder \"" << narrow(execution.folder) << "\", operation \""
       << narrow(execution.operation) << "\", show " << execution.show << "}";
}

Live LiveReferences() { return live; }

void PrintTo(const Live& references, std::ostream* out) {
  *out << "{window lists " << references.windowLists << ", desktops " << references.desktops
       << ", browsers " << references.browsers << ", views " << references.views
       << ", folder views " << references.folderViews << ", shell dispatches "
       << references.shellDispatches << "}";
}

// As a local server, the context the product asks for. With REGCLS_MULTIPLEUSE that serves this
// process too, and it outranks explorer's registration here; while it lives, other processes of the
// prefix could reach it as well, and none of the tests' processes asks.
Registration::Registration(Script script) {
  state = new State{std::move(script), {}};
  result_ = CoRegisterClassObject(CLSID_ShellWindows, &factory, CLSCTX_LOCAL_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie_);
}

Registration::~Registration() {
  if (result_ == S_OK) (void)CoRevokeClassObject(cookie_);
  delete std::exchange(state, nullptr);
}

const Record& Registration::record() const { return state->record; }

}  // namespace fake_shell
