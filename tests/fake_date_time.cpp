#include "fake_date_time.h"

#include <objbase.h>
#include <oleauto.h>

namespace {
// {8D2C3F21-5B7E-4E0A-9C61-3A7F0B1D2E45}: the fake's own class.
const CLSID kFakeClass = {
    0x8d2c3f21, 0x5b7e, 0x4e0a, {0x9c, 0x61, 0x3a, 0x7f, 0x0b, 0x1d, 0x2e, 0x45}};
const wchar_t kFakeClassText[] = L"{8D2C3F21-5B7E-4E0A-9C61-3A7F0B1D2E45}";
const wchar_t kProgIdKey[] = L"Software\\Classes\\WbemScripting.SWbemDateTime";
const DISPID kValue = 1;
const DISPID kGetVarDate = 2;

FakeDateTimeScript fakeScript;
FakeDateTimeLog fakeLog;

class DateTimeObject : public IDispatch {
 public:
  DateTimeObject() {
    ++fakeLog.liveObjects;
    fakeLog.events.push_back("created");
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) {
      --fakeLog.liveObjects;
      fakeLog.events.push_back("released");
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (count != 1) return E_INVALIDARG;
    if (lstrcmpiW(names[0], L"Value") == 0) {
      *ids = kValue;
    } else if (lstrcmpiW(names[0], L"GetVarDate") == 0) {
      *ids = kGetVarDate;
    } else {
      *ids = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* arguments,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (member == kValue && (flags & DISPATCH_PROPERTYPUT)) {
      if (arguments->cArgs != 1 || arguments->rgvarg[0].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
      BSTR text = arguments->rgvarg[0].bstrVal;
      fakeLog.valuesWritten.push_back(text ? text : L"<null>");
      return S_OK;
    }
    if (member == kGetVarDate && (flags & DISPATCH_METHOD)) {
      fakeLog.getVarDateArgumentCounts.push_back(arguments->cArgs);
      if (FAILED(fakeScript.getVarDateResult)) return fakeScript.getVarDateResult;
      if (result) {
        VariantInit(result);
        result->vt = VT_DATE;
        result->date = fakeScript.date;
      }
      return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  virtual ~DateTimeObject() = default;
  ULONG references_ = 1;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* object = new DateTimeObject();
    HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
} factory;

class UninitializeSpy : public IInitializeSpy {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IInitializeSpy) {
      *out = static_cast<IInitializeSpy*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT result, DWORD, DWORD) override { return result; }
  HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD) override {
    fakeLog.events.push_back("uninitialize");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
} spy;
}  // namespace

FakeDateTimeRegistration::FakeDateTimeRegistration(const FakeDateTimeScript& scripted) {
  fakeScript = scripted;
  fakeLog = FakeDateTimeLog();
  HKEY key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kProgIdKey) + L"\\CLSID").c_str(), 0,
                      nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kFakeClassText),
                 sizeof kFakeClassText);
  RegCloseKey(key);
  if (FAILED(CoRegisterClassObject(kFakeClass, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                   &cookie_))) {
    cookie_ = 0;
  }
  CoRegisterInitializeSpy(&spy, &spyCookie_);
}

FakeDateTimeRegistration::~FakeDateTimeRegistration() {
  CoRevokeInitializeSpy(spyCookie_);
  if (cookie_) CoRevokeClassObject(cookie_);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgIdKey);
}

const FakeDateTimeLog& FakeDateTimeRegistration::log() const { return fakeLog; }
