#include "osinfo/wmi_date_time.h"

#include <objbase.h>

#include "runtime/com_object.h"
#include "runtime/heap.h"

namespace {
const char kDateTimeProgId[] = "WbemScripting.SWbemDateTime";
const char kValueProperty[] = "Value";
const char kGetVarDateMethod[] = "GetVarDate";
}  // namespace

double WmiDateTimeToDate(const char* text) {
  ComObject* converter = NewComObject();
  (void)CoInitialize(nullptr);
  double date;
  if (CreateComObject(converter, kDateTimeProgId)) {
    WriteComProperty(converter, kValueProperty, text);
    date = CallComMethodForDate(converter, kGetVarDateMethod);
    ClearComObject(converter);  // the object goes before COM does
  } else {
    date = kEmptyDate;
  }
  CoUninitialize();
  ClearComObject(converter);
  Release(converter);
  return date;
}
