#pragma once
// One WQL query per call against root\CIMV2: connect, query, read one property of every row.
#include <wbemcli.h>

#include "runtime/variant.h"

// The services proxy for the namespace, owned by the caller, or null. On success COM stays
// initialised on this thread until the caller uninitialises it.
IWbemServices* WmiConnect(const char* nameSpace);

// What the last row's Get left of the property, or the integer 0 when no Get was made.
Variant WmiQueryProperty(const char* query, const char* property);

// The text as a system string through code page 936; null for an empty text. Freed with
// SysFreeString.
BSTR TextToBstr(const char* text);
