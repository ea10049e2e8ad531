#pragma once
// A scripted stand-in for the WBEM locator chain: locator, services, enumerator and row objects.
// While a Registration lives, CoCreateInstance of the locator's class id on this thread's apartment
// gets the fake, which answers from the script and records every call it receives.
#include <windows.h>

#include <wbemcli.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace fake_wmi {

// A VARIANT the script owns; copies are deep (VariantCopy), destruction clears it.
class Value {
 public:
  Value() { VariantInit(&value_); }
  Value(const Value& other);
  Value& operator=(const Value& other);
  ~Value() { (void)VariantClear(&value_); }

  const VARIANT& get() const { return value_; }
  VARIANT* put() { return &value_; }

 private:
  VARIANT value_;
};

Value String(const wchar_t* text);  // VT_BSTR; a null text gives a null string
Value Null();                       // VT_NULL
Value Int32(int32_t number);        // VT_I4
Value Double(double number);        // VT_R8
Value Boolean(bool value);          // VT_BOOL
Value StringArray(std::initializer_list<const wchar_t*> texts);  // VT_ARRAY | VT_BSTR
// VT_UNKNOWN holding a counted fake object: a copy that is never cleared shows in LiveReferences.
Value CountedObject();

// One answer of IEnumWbemClassObject::Next.
struct Row {
  HRESULT next = S_OK;      // a row object is handed out only with S_OK
  ULONG returned = 1;       // the count Next reports
  HRESULT get = S_OK;       // a failing Get leaves its output untouched, as the real one does
  Value value;              // what a successful Get writes
  bool writesCount = true;  // false: Next leaves the caller's count as it was
};

// A row whose Get writes the value.
inline Row Answer(Value value) { return {S_OK, 1, S_OK, std::move(value)}; }
// A row whose Get fails.
inline Row GetFails(HRESULT result) { return {S_OK, 1, result, Value()}; }
// A Next that fails, reporting the given count.
inline Row NextFails(HRESULT result, ULONG returned = 0) {
  return {result, returned, S_OK, Value()};
}

// WBEM status codes are unsigned enumerators; the script holds them as HRESULTs.
constexpr HRESULT Status(WBEMSTATUS status) { return static_cast<HRESULT>(status); }

// A Next that fails without writing the count, as an enumerator whose server has gone may.
inline Row NextFailsLeavingCount(HRESULT result) { return {result, 0, S_OK, Value(), false}; }

// Past this many Next calls in one registration the fake ends the enumeration and records it, so
// that an engine that never stops calling Next fails its test instead of hanging it.
constexpr size_t kNextCallLimit = 200;

struct Script {
  HRESULT create = S_OK;   // of the class object's CreateInstance, which CoCreateInstance returns
  HRESULT connect = S_OK;  // of ConnectServer
  HRESULT query = S_OK;    // of ExecQuery
  // The answers of successive Next calls over the registration's life, across queries.
  std::vector<Row> rows;
  // The answer of every Next once the rows have run out: by default the end of the enumeration.
  Row afterRows = NextFails(Status(WBEM_S_FALSE));
};

struct Connection {
  std::optional<std::wstring> nameSpace;
  bool userNull, passwordNull, localeNull, authorityNull, contextNull;
  long securityFlags;
};

struct Query {
  std::optional<std::wstring> language;
  std::optional<std::wstring> text;
  long flags;
  bool contextNull;
};

struct NextCall {
  long timeout;
  ULONG count;
};

struct GetCall {
  std::optional<std::wstring> name;
  long flags;
};

// A CoSetProxyBlanket on the services, as IClientSecurity::SetBlanket receives it.
struct Blanket {
  bool proxyIsTheServices;
  size_t queriesBefore;  // ExecQuery calls these services had received
  DWORD authenticationService, authorisationService;
  bool serverPrincipalNull;
  DWORD authenticationLevel, impersonationLevel;
  bool authInfoNull;
  DWORD capabilities;
};

struct Record {
  int creations = 0;  // CreateInstance calls on the class object
  std::vector<Connection> connections;
  std::vector<Blanket> blankets;
  std::vector<Query> queries;
  std::vector<NextCall> nexts;
  std::vector<GetCall> gets;
  bool nextCallLimitReached = false;
};

// References held on live fake objects, by kind. The script's own values hold references to their
// counted objects until the registration ends.
struct Live {
  long locators = 0;
  long services = 0;
  long enumerators = 0;
  long rows = 0;
  long countedObjects = 0;
  bool operator==(const Live&) const = default;
};
Live LiveReferences();
void PrintTo(const Live& live, std::ostream* out);

// Registers the fake for the locator's class id on this thread (COM must be initialised) and
// revokes it when it goes out of scope. One at a time.
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

}  // namespace fake_wmi
