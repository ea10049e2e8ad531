#pragma once
// CIM date-time texts turned into OLE Automation dates by the scripting date-time object.

// The date for the text; -657434.0 (the empty date) when the object cannot be created, 0.0 when its
// conversion fails. Initialises and uninitialises COM on this thread around the object's life.
double WmiDateTimeToDate(const char* text);
