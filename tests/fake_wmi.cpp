#include "fake_wmi.h"

#include <utility>

#include "fake_com.h"

namespace fake_wmi {
namespace {

struct State {
  Script script;
  size_t nextRow = 0;
  Record record;
};

State* state = nullptr;  // the live registration's, or null
Live live;

// VariantCopy reads its source only, though its declaration here takes it as writable.
HRESULT CopyVariant(VARIANT* destination, const VARIANT& source) {
  return VariantCopy(destination, const_cast<VARIANT*>(&source));
}

std::optional<std::wstring> Copy(const wchar_t* text) {
  if (!text) return std::nullopt;
  return std::wstring(text);
}

// Each kind of fake object moves its own live count.
template <class Interface, long Live::*count>
class Counted : public CountedSingle<Interface> {
 public:
  Counted() : CountedSingle<Interface>(live.*count) {}
};

class Token : public Counted<IUnknown, &Live::countedObjects> {};

class RowObject : public Counted<IWbemClassObject, &Live::rows> {
 public:
  explicit RowObject(const Row& row) : row_(row) {}

  HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type,
                                LONG* flavour) override {
    if (state) state->record.gets.push_back({Copy(name), flags});
    if (row_.get != S_OK) return row_.get;
    if (!value) return WBEM_E_INVALID_PARAMETER;
    VARIANT copy;
    VariantInit(&copy);
    HRESULT copied = CopyVariant(&copy, row_.value.get());
    if (copied != S_OK) return copied;
    // The real Get overwrites the caller's VARIANT without clearing what it held.
    *value = copy;
    // The CIM types of the values scripted here share the numbers of their variant types.
    if (type) *type = V_VT(&copy) == VT_NULL ? CIMTYPE{CIM_EMPTY} : CIMTYPE{V_VT(&copy)};
    if (flavour) *flavour = WBEM_FLAVOR_ORIGIN_SYSTEM;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EndEnumeration() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**,
                                      IWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*,
                                      IWbemClassObject*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**,
                                       IWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return E_NOTIMPL; }

 private:
  Row row_;
};

class Enumerator : public Counted<IEnumWbemClassObject, &Live::enumerators> {
 public:
  HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects,
                                 ULONG* returned) override {
    if (!state) return WBEM_E_FAILED;
    state->record.nexts.push_back({timeout, count});
    if (!objects || !returned) return WBEM_E_INVALID_PARAMETER;
    if (state->record.nexts.size() > kNextCallLimit) {
      state->record.nextCallLimitReached = true;
      *returned = 0;
      return WBEM_S_FALSE;
    }
    const std::vector<Row>& rows = state->script.rows;
    const Row& row =
        state->nextRow < rows.size() ? rows[state->nextRow++] : state->script.afterRows;
    if (row.writesCount) *returned = row.returned;
    if (row.next == S_OK) objects[0] = new RowObject(row);
    return row.next;
  }

  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return E_NOTIMPL; }
};

// CoSetProxyBlanket asks the proxy for IClientSecurity and hands it the blanket, so the services
// answer that interface too, on the same object and the same reference count.
class Services : public Counted<IWbemServices, &Live::services>, public IClientSecurity {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out || iid != __uuidof(IClientSecurity)) return Counted::QueryInterface(iid, out);
    *out = static_cast<IClientSecurity*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Counted::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return Counted::Release(); }

  HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown* proxy, DWORD authenticationService,
                                       DWORD authorisationService, OLECHAR* serverPrincipal,
                                       DWORD authenticationLevel, DWORD impersonationLevel,
                                       void* authInfo, DWORD capabilities) override {
    if (!state) return E_UNEXPECTED;
    state->record.blankets.push_back({proxy == static_cast<IWbemServices*>(this), queries_,
                                      authenticationService, authorisationService,
                                      serverPrincipal == nullptr, authenticationLevel,
                                      impersonationLevel, authInfo == nullptr, capabilities});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryBlanket(IUnknown*, DWORD*, DWORD*, OLECHAR**, DWORD*, DWORD*,
                                         void**, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CopyProxy(IUnknown*, IUnknown**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR query, LONG flags,
                                      IWbemContext* context, IEnumWbemClassObject** out) override {
    if (!state) return WBEM_E_FAILED;
    ++queries_;
    state->record.queries.push_back({Copy(language), Copy(query), flags, context == nullptr});
    if (!out) return WBEM_E_INVALID_PARAMETER;
    *out = nullptr;
    if (state->script.query != S_OK) return state->script.query;
    *out = new Enumerator();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**,
                                          IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObject(const BSTR, LONG, IWbemContext*, IWbemClassObject**,
                                      IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*,
                                           IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*,
                                     IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG, IWbemContext*,
                                          IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*,
                                        IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*,
                                             IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*,
                                            IEnumWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG, IWbemContext*,
                                                 IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*,
                                        IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*,
                                             IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*,
                                           IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG, IWbemContext*,
                                                IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR, LONG, IWbemContext*,
                                               IEnumWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*,
                                                    IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                           IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*,
                                                  IEnumWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                                       IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR, const BSTR, LONG, IWbemContext*,
                                       IWbemClassObject*, IWbemClassObject**,
                                       IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                            IWbemClassObject*, IWbemObjectSink*) override {
    return E_NOTIMPL;
  }

 private:
  size_t queries_ = 0;
};

class Locator : public Counted<IWbemLocator, &Live::locators> {
 public:
  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR nameSpace, const BSTR user,
                                          const BSTR password, const BSTR locale,
                                          LONG securityFlags, const BSTR authority,
                                          IWbemContext* context, IWbemServices** out) override {
    if (!state) return WBEM_E_FAILED;
    state->record.connections.push_back({Copy(nameSpace), user == nullptr, password == nullptr,
                                         locale == nullptr, authority == nullptr,
                                         context == nullptr, securityFlags});
    if (!out) return WBEM_E_INVALID_PARAMETER;
    *out = nullptr;
    if (state->script.connect != S_OK) return state->script.connect;
    *out = new Services();
    return S_OK;
  }
};

class Factory : public StaticClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state) return E_UNEXPECTED;
    ++state->record.creations;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (state->script.create != S_OK) return state->script.create;
    Locator* locator = new Locator();
    HRESULT result = locator->QueryInterface(iid, out);
    locator->Release();
    return result;
  }
};

Factory factory;

}  // namespace

Value::Value(const Value& other) {
  VariantInit(&value_);
  (void)CopyVariant(&value_, other.value_);
}

Value& Value::operator=(const Value& other) {
  if (this != &other) (void)CopyVariant(&value_, other.value_);
  return *this;
}

Value String(const wchar_t* text) {
  Value value;
  V_VT(value.put()) = VT_BSTR;
  V_BSTR(value.put()) = text ? SysAllocString(text) : nullptr;
  return value;
}

Value Null() {
  Value value;
  V_VT(value.put()) = VT_NULL;
  return value;
}

Value Int32(int32_t number) {
  Value value;
  V_VT(value.put()) = VT_I4;
  V_I4(value.put()) = number;
  return value;
}

Value Double(double number) {
  Value value;
  V_VT(value.put()) = VT_R8;
  V_R8(value.put()) = number;
  return value;
}

Value Boolean(bool truth) {
  Value value;
  V_VT(value.put()) = VT_BOOL;
  V_BOOL(value.put()) = truth ? VARIANT_TRUE : VARIANT_FALSE;
  return value;
}

Value StringArray(std::initializer_list<const wchar_t*> texts) {
  Value value;
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
  LONG index = 0;
  for (const wchar_t* text : texts) {
    BSTR element = SysAllocString(text);
    (void)SafeArrayPutElement(array, &index, element);  // stores a copy
    SysFreeString(element);
    ++index;
  }
  V_VT(value.put()) = VT_ARRAY | VT_BSTR;
  V_ARRAY(value.put()) = array;
  return value;
}

Value CountedObject() {
  Value value;
  V_VT(value.put()) = VT_UNKNOWN;
  V_UNKNOWN(value.put()) = new Token();
  return value;
}

Live LiveReferences() { return live; }

void PrintTo(const Live& references, std::ostream* out) {
  *out << "{locators " << references.locators << ", services " << references.services
       << ", enumerators " << references.enumerators << ", rows " << references.rows
       << ", counted objects " << references.countedObjects << "}";
}

Registration::Registration(Script script) {
  state = new State{std::move(script), 0, {}};
  result_ = CoRegisterClassObject(CLSID_WbemLocator, &factory, CLSCTX_INPROC_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie_);
}

Registration::~Registration() {
  if (result_ == S_OK) (void)CoRevokeClassObject(cookie_);
  delete std::exchange(state, nullptr);
}

const Record& Registration::record() const { return state->record; }

}  // namespace fake_wmi
