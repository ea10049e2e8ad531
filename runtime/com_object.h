#pragma once
// ComObject: the run time's object variable, holding the automation (IDispatch) interface of one
// COM object or nothing, and the commands on it. Failures are silent: a failed call leaves its
// defined value and records its result in the thread's object error state.
#include <oaidl.h>

#include <cstdint>

struct ComObject {
  IDispatch* dispatch;
  uint32_t reserved;
};
static_assert(sizeof(ComObject) == 8);

// The run time's empty date, 0100-01-01 00:00:00, what the integer 0 converts to as a date.
constexpr double kEmptyDate = -657434.0;

// A fresh, empty object variable in a block from the run-time allocator.
ComObject* NewComObject();

// Resolves the ProgID (ANSI code page) to a class, creates an instance and keeps its IDispatch.
// False, with the object left empty, on any failure.
bool CreateComObject(ComObject* object, const char* progId);

// Sets the property to the text as a system string (ANSI code page; empty gives a null string).
void WriteComProperty(ComObject* object, const char* property, const char* text);

// Calls the method without arguments and converts its result to a date; the zero date (0.0) when
// the call or the conversion fails.
double CallComMethodForDate(ComObject* object, const char* method);

// Releases the interface, if any, and leaves the object empty.
void ClearComObject(ComObject* object);

// The result of the last failed object command on this thread; S_OK when none failed.
HRESULT LastComObjectError();
