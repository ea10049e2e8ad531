#include "runtime/com_object.h"

#include <objbase.h>
#include <oleauto.h>

#include "runtime/heap.h"
#include "runtime/system_string.h"

namespace {
thread_local HRESULT lastError = S_OK;

bool Failed(HRESULT result) {
  if (SUCCEEDED(result)) return false;
  lastError = result;
  return true;
}

bool FindMember(IDispatch* dispatch, const char* name, DISPID* member) {
  BSTR wide = AnsiToBstr(name);
  HRESULT found = dispatch->GetIDsOfNames(IID_NULL, &wide, 1, LOCALE_USER_DEFAULT, member);
  SysFreeString(wide);
  return !Failed(found);
}
}  // namespace

ComObject* NewComObject() {
  auto* object = static_cast<ComObject*>(Allocate(sizeof(ComObject)));
  *object = {nullptr, 0};
  return object;
}

bool CreateComObject(ComObject* object, const char* progId) {
  ClearComObject(object);
  CLSID classId;
  BSTR wide = AnsiToBstr(progId);
  HRESULT resolved = CLSIDFromProgID(wide, &classId);
  SysFreeString(wide);
  if (Failed(resolved)) return false;
  IDispatch* dispatch = nullptr;
  if (Failed(CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&dispatch)))) {
    return false;
  }
  object->dispatch = dispatch;
  return true;
}

void WriteComProperty(ComObject* object, const char* property, const char* text) {
  DISPID member;
  if (!object->dispatch || !FindMember(object->dispatch, property, &member)) return;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = AnsiToBstr(text);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS arguments = {&value, &named, 1, 1};
  (void)Failed(object->dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                        &arguments, nullptr, nullptr, nullptr));
  (void)VariantClear(&value);
}

double CallComMethodForDate(ComObject* object, const char* method) {
  DISPID member;
  if (!object->dispatch || !FindMember(object->dispatch, method, &member)) return 0.0;
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
  double date = 0.0;
  if (!Failed(object->dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                       &noArguments, &result, nullptr, nullptr)) &&
      !Failed(VariantChangeType(&result, &result, 0, VT_DATE))) {
    date = result.date;
  }
  (void)VariantClear(&result);
  return date;
}

void ClearComObject(ComObject* object) {
  if (object->dispatch) object->dispatch->Release();
  object->dispatch = nullptr;
}

HRESULT LastComObjectError() { return lastError; }
