#include "osinfo/wmi_query.h"

#include "runtime/com_ptr.h"
#include "values/code_page.h"
#include "values/joins.h"

namespace {
const char kNamespace[] = "root\\CIMV2";
const char kQueryLanguage[] = "WQL";
// The WBEM locator's class and IWbemLocator, kept as text and parsed at every connection.
const char kLocatorClassId[] = "{4590f811-1d3a-11d0-891f-00aa004b2e24}";
const char kLocatorInterfaceId[] = "{dc12a687-737f-11cf-884d-00aa004b2e24}";
const long kForwardOnlyReturnImmediately = WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY;
const long kRowTimeoutMilliseconds = 2000;

template <class Parse, class Identifier>
void ParseIdentifier(const char* text, Parse parse, Identifier* identifier) {
  ByteSet wide = TextToUtf16(text, false);
  (void)parse(reinterpret_cast<LPCOLESTR>(ByteSetData(wide.get())), identifier);
}

// Reads the property of every row into `result`; the last row's value stays. A Get goes into a
// temporary first: Get overwrites without clearing, and a failed Get must leave `result` alone.
void ReadRows(IEnumWbemClassObject* rows, const char* property, VARIANT* result) {
  ULONG returned;
  do {
    // Reset before each call, so an enumerator that fails without writing the count ends the loop.
    returned = 0;
    ComPtr<IWbemClassObject> row;
    if (rows->Next(kRowTimeoutMilliseconds, 1, row.out(), &returned) != 0) continue;
    BSTR name = TextToBstr(property);
    VARIANT fetched;
    VariantInit(&fetched);
    CIMTYPE type = 0;
    long flavour = 0;
    if (row->Get(name, 0, &fetched, &type, &flavour) == 0) {
      ClearVariant(result);
      *result = fetched;
    } else {
      (void)VariantClear(&fetched);
    }
    SysFreeString(name);
  } while (returned == 1);
}
}  // namespace

BSTR TextToBstr(const char* text) {
  ByteSet wide = TextToUtf16(text, false);
  return SysAllocString(reinterpret_cast<const OLECHAR*>(ByteSetData(wide.get())));
}

IWbemServices* WmiConnect(const char* nameSpace) {
  (void)CoInitialize(nullptr);
  (void)CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  CLSID locatorClass = {};
  IID locatorInterface = {};
  ParseIdentifier(kLocatorClassId, CLSIDFromString, &locatorClass);
  ParseIdentifier(kLocatorInterfaceId, IIDFromString, &locatorInterface);

  ComPtr<IWbemLocator> locator;
  if (CoCreateInstance(locatorClass, nullptr, CLSCTX_INPROC_SERVER, locatorInterface,
                       reinterpret_cast<void**>(locator.out())) != 0) {
    CoUninitialize();
    return nullptr;
  }
  IWbemServices* services = nullptr;
  BSTR path = TextToBstr(nameSpace);
  HRESULT connected =
      locator->ConnectServer(path, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
  SysFreeString(path);
  locator.Reset();  // before COM is uninitialised
  if (connected != 0) {
    if (services) services->Release();
    CoUninitialize();
    return nullptr;
  }
  (void)CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                          RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  return services;
}

Variant WmiQueryProperty(const char* query, const char* property) {
  Variant result = Variant::Fresh();
  IWbemServices* services = WmiConnect(kNamespace);
  if (!services) return result;

  BSTR language = TextToBstr(kQueryLanguage);
  BSTR queryText = TextToBstr(query);
  IEnumWbemClassObject* rows = nullptr;
  if (services->ExecQuery(language, queryText, kForwardOnlyReturnImmediately, nullptr, &rows) ==
      0) {
    ReadRows(rows, property, result.get());
  }
  if (rows) rows->Release();
  services->Release();
  SysFreeString(language);
  SysFreeString(queryText);
  CoUninitialize();  // balances the connection's CoInitialize
  return result;
}
