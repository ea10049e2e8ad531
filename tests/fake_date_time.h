#pragma once
// A scripted stand-in for the scripting date-time object, which Wine lacks: registered in this
// process for a class of its own, with the ProgID pointed at that class in the prefix's registry.
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <vector>

struct FakeDateTimeScript {
  DATE date = 0;                    // what GetVarDate answers
  HRESULT getVarDateResult = S_OK;  // a failure makes GetVarDate answer nothing
};

struct FakeDateTimeLog {
  std::vector<std::wstring> valuesWritten;  // "<null>" for a null string
  std::vector<UINT> getVarDateArgumentCounts;
  std::vector<std::string> events;  // "created", "released", "uninitialize"
  LONG liveObjects = 0;
};

// Registers the fake for the ProgID while it lives; also watches this thread's CoUninitialize calls
// so the log shows whether the object was gone first.
class FakeDateTimeRegistration {
 public:
  explicit FakeDateTimeRegistration(const FakeDateTimeScript& script);
  ~FakeDateTimeRegistration();
  const FakeDateTimeLog& log() const;
  bool registered() const { return cookie_ != 0; }

 private:
  DWORD cookie_ = 0;
  ULARGE_INTEGER spyCookie_ = {};
};
