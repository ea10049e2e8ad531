// OsInfo against a scripted WBEM locator registered in this process, and its Win32 getters against
// the same calls made directly. Registered under ANSI code pages 936 and 1252.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "com_count.h"
#include "fake_date_time.h"
#include "fake_wmi.h"
#include "live_blocks.h"
#include "osinfo/os_info.h"
#include "osinfo/trim_blanks.h"
#include "text_arrays.h"
#include "values/fieldless_instance.h"
#include "values/text_array.h"

namespace {
using fake_wmi::Answer;
using fake_wmi::Boolean;
using fake_wmi::CountedObject;
using fake_wmi::Double;
using fake_wmi::GetFails;
using fake_wmi::Int32;
using fake_wmi::NextFails;
using fake_wmi::NextFailsLeavingCount;
using fake_wmi::Null;
using fake_wmi::Status;
using fake_wmi::String;
using fake_wmi::StringArray;

fake_wmi::Script Rows(std::vector<fake_wmi::Row> rows) {
  fake_wmi::Script script;
  script.rows = std::move(rows);
  return script;
}

fake_wmi::Script Failing(HRESULT fake_wmi::Script::*step, HRESULT result) {
  fake_wmi::Script script;
  (script.*step) = result;
  return script;
}

// Every getter's result in one printable form, so one table can hold getters of every kind.
std::string Show(const Text& text) { return text.get() ? text.get() : ""; }
std::string Show(int64_t number) { return std::to_string(number); }
std::string Show(bool truth) { return truth ? "true" : "false"; }
std::string Show(double date) { return std::to_string(date); }

// The count MUILanguages returns and what it appended to an empty array, as "count:a,b".
std::string LanguagesAppendedToAnEmptyArray(OsInfo& info) {
  void* array = TextArray({0}, {});
  std::string shown = std::to_string(info.MUILanguages(array)) + ":";
  for (const std::string& member : Members(array)) shown += member + ",";
  ReleaseTextArray(array);
  return shown;
}

using Getter = std::string (*)(OsInfo&);
#define CALL(name) [](OsInfo& info) { return Show(info.name()); }
#define GETTER(name) #name, CALL(name)

constexpr Getter WindowsDirectory = CALL(WindowsDirectory), BuildNumber = CALL(BuildNumber),
                 Debug = CALL(Debug), IsWorkstation = CALL(IsWorkstation);

// How many calls each step of the query received.
struct Calls {
  int creations;
  size_t connections, queries, nexts, gets;
  bool operator==(const Calls&) const = default;
};
Calls CallsOf(const fake_wmi::Record& record) {
  return {record.creations, record.connections.size(), record.queries.size(), record.nexts.size(),
          record.gets.size()};
}
[[maybe_unused]] void PrintTo(const Calls& calls, std::ostream* out) {
  *out << "{creations " << calls.creations << ", connections " << calls.connections << ", queries "
       << calls.queries << ", nexts " << calls.nexts << ", gets " << calls.gets << "}";
}

// One complete query of the property, call for call as the engine makes it, ended by the first
// Next that finds no row.
void ExpectOneQueryOf(const fake_wmi::Record& record, const std::wstring& property) {
  EXPECT_EQ(record.creations, 1);
  ASSERT_EQ(record.connections.size(), 1u);
  const fake_wmi::Connection& connection = record.connections[0];
  EXPECT_EQ(connection.nameSpace, L"root\\CIMV2");
  EXPECT_TRUE(connection.userNull && connection.passwordNull && connection.localeNull &&
              connection.authorityNull && connection.contextNull);
  EXPECT_EQ(connection.securityFlags, 0);
  ASSERT_EQ(record.blankets.size(), 1u);
  const fake_wmi::Blanket& blanket = record.blankets[0];
  EXPECT_TRUE(blanket.proxyIsTheServices);
  EXPECT_EQ(blanket.queriesBefore, 0u) << "the blanket is set before the query";
  EXPECT_EQ(blanket.authenticationService, 10u);  // RPC_C_AUTHN_WINNT
  EXPECT_EQ(blanket.authorisationService, 0u);    // RPC_C_AUTHZ_NONE
  EXPECT_TRUE(blanket.serverPrincipalNull);
  EXPECT_EQ(blanket.authenticationLevel, 3u);  // RPC_C_AUTHN_LEVEL_CALL
  EXPECT_EQ(blanket.impersonationLevel, 3u);   // RPC_C_IMP_LEVEL_IMPERSONATE
  EXPECT_TRUE(blanket.authInfoNull);
  EXPECT_EQ(blanket.capabilities, 0u);  // EOAC_NONE
  ASSERT_EQ(record.queries.size(), 1u);
  const fake_wmi::Query& query = record.queries[0];
  EXPECT_EQ(query.language, L"WQL");
  EXPECT_EQ(query.text, L"Select " + property + L" From Win32_OperatingSystem");
  EXPECT_EQ(query.flags, 0x30);
  EXPECT_TRUE(query.contextNull);
  ASSERT_EQ(record.nexts.size(), 2u);
  for (const fake_wmi::NextCall& next : record.nexts) {
    EXPECT_EQ(next.timeout, 2000);
    EXPECT_EQ(next.count, 1u);
  }
  ASSERT_EQ(record.gets.size(), 1u);
  EXPECT_EQ(record.gets[0].name, property);
  EXPECT_EQ(record.gets[0].flags, 0);
}

class OsInfoWithFakeWmi : public testing::Test {
 protected:
  struct Outcome {
    std::string result;
    fake_wmi::Record record;
  };

  void SetUp() override {
    // The test thread's own apartment: the fake registers in it and every query nests in it.
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  }
  void TearDown() override {
    info_->Destroy();
    Release(info_);
    CoUninitialize();
  }

  // Runs the getter with the script as the locator. Afterwards every fake object and every value
  // the fake handed out must be released, no allocator block may be left, and the thread's COM
  // initialisation must be back where the test put it.
  Outcome Run(const fake_wmi::Script& script, Getter getter) {
    // The caller's script and tables hold counted objects of their own; the fake works on a copy.
    fake_wmi::Live before = fake_wmi::LiveReferences();
    Outcome outcome;
    {
      fake_wmi::Registration fake(script);
      EXPECT_EQ(fake.result(), S_OK);
      NoLeakScope blocks;
      outcome.result = getter(*info_);
      outcome.record = fake.record();
    }
    EXPECT_FALSE(outcome.record.nextCallLimitReached)
        << "the engine went on calling Next until the fake ended the rows after "
        << fake_wmi::kNextCallLimit << " calls";
    EXPECT_EQ(fake_wmi::LiveReferences(), before)
        << "a fake WMI object or a value it handed out was not released";
    EXPECT_EQ(ComInitialisationCount(), 1) << "the test's own initialisation only";
    return outcome;
  }

  OsInfo* info_ = NewFieldlessInstance<OsInfo>();
};

enum class Kind { Text, Integer, Boolean, Comparison, Date, List };

TEST_F(OsInfoWithFakeWmi, EachGetterQueriesItsOwnPropertyAndConvertsItByItsKind) {
  struct Case {
    const char* name;
    Getter getter;
    const wchar_t* property;
    Kind kind;
    int32_t equalTo = 0;  // the constant a comparison getter tests for
  } cases[] = {
      {GETTER(BuildNumber), L"BuildNumber", Kind::Integer},
      {GETTER(BootDevice), L"BootDevice", Kind::Text},
      {GETTER(BuildType), L"BuildType", Kind::Text},
      {GETTER(Caption), L"Caption", Kind::Text},
      {GETTER(CodeSet), L"CodeSet", Kind::Text},
      {GETTER(CountryCode), L"CountryCode", Kind::Text},
      {GETTER(CSDVersion), L"CSDVersion", Kind::Text},
      {GETTER(CSName), L"CSName", Kind::Text},
      {GETTER(CurrentTimeZone), L"CurrentTimeZone", Kind::Integer},
      {GETTER(DataExecutionPrevention_Available), L"DataExecutionPrevention_Available",
       Kind::Boolean},
      {GETTER(DataExecutionPrevention_32BitApplications),
       L"DataExecutionPrevention_32BitApplications", Kind::Boolean},
      {GETTER(DataExecutionPrevention_Drivers), L"DataExecutionPrevention_Drivers", Kind::Boolean},
      {GETTER(DataExecutionPrevention_SupportPolicy), L"DataExecutionPrevention_SupportPolicy",
       Kind::Integer},
      {GETTER(Debug), L"Debug", Kind::Boolean},
      {GETTER(Description), L"Description", Kind::Text},
      {GETTER(Distributed), L"Distributed", Kind::Boolean},
      {GETTER(EncryptionLevel), L"EncryptionLevel", Kind::Integer},
      {GETTER(ForegroundApplicationBoost), L"ForegroundApplicationBoost", Kind::Integer},
      {GETTER(FreePhysicalMemory), L"FreePhysicalMemory", Kind::Integer},
      {GETTER(FreeSpaceInPagingFiles), L"FreeSpaceInPagingFiles", Kind::Integer},
      {GETTER(Caption2), L"Caption", Kind::Text},
      {GETTER(FreeVirtualMemory), L"FreeVirtualMemory", Kind::Integer},
      {GETTER(InstallDate), L"InstallDate", Kind::Date},
      {GETTER(LastBootUpTime), L"LastBootUpTime", Kind::Date},
      {GETTER(LocalDateTime), L"LocalDateTime", Kind::Date},
      {GETTER(Locale), L"Locale", Kind::Text},
      {GETTER(Manufacturer), L"Manufacturer", Kind::Text},
      {GETTER(MaxNumberOfProcesses), L"MaxNumberOfProcesses", Kind::Integer},
      {GETTER(MaxProcessMemorySize), L"MaxProcessMemorySize", Kind::Integer},
      {"MUILanguages", LanguagesAppendedToAnEmptyArray, L"MUILanguages", Kind::List},
      {GETTER(NumberOfLicensedUsers), L"NumberOfLicensedUsers", Kind::Integer},
      {GETTER(NumberOfProcesses), L"NumberOfProcesses", Kind::Integer},
      {GETTER(NumberOfUsers), L"NumberOfUsers", Kind::Integer},
      {GETTER(OperatingSystemSKU), L"OperatingSystemSKU", Kind::Integer},
      {GETTER(Organization), L"Organization", Kind::Text},
      {GETTER(OSArchitecture), L"OSArchitecture", Kind::Text},
      {GETTER(OSLanguage), L"OSLanguage", Kind::Integer},
      {GETTER(OSProductSuite), L"OSProductSuite", Kind::Integer},
      {GETTER(OSType), L"OSType", Kind::Integer},
      {GETTER(IsWindowsNt), L"OSType", Kind::Comparison, 18},
      {GETTER(OtherTypeDescription), L"OtherTypeDescription", Kind::Text},
      {GETTER(PAEEnabled), L"PAEEnabled", Kind::Boolean},
      {GETTER(PlusProductID), L"PlusProductID", Kind::Text},
      {GETTER(PlusVersionNumber), L"PlusVersionNumber", Kind::Integer},
      {GETTER(PortableOperatingSystem), L"PortableOperatingSystem", Kind::Boolean},
      {GETTER(Primary), L"Primary", Kind::Boolean},
      {GETTER(IsServer), L"Producttype", Kind::Comparison, 3},
      {GETTER(RegisteredUser), L"RegisteredUser", Kind::Text},
      {GETTER(SerialNumber), L"SerialNumber", Kind::Text},
      {GETTER(ServicePackMajorVersion), L"ServicePackMajorVersion", Kind::Integer},
      {GETTER(ServicePackMinorVersion), L"ServicePackMinorVersion", Kind::Integer},
      {GETTER(SizeStoredInPagingFiles), L"SizeStoredInPagingFiles", Kind::Integer},
      {GETTER(Status), L"Status", Kind::Text},
      {GETTER(SuiteMask), L"SuiteMask", Kind::Integer},
      {GETTER(SystemDevice), L"SystemDevice", Kind::Text},
      {GETTER(SystemDirectory), L"SystemDirectory", Kind::Text},
      {GETTER(SystemDrive), L"SystemDrive", Kind::Text},
      {GETTER(TotalSwapSpaceSize), L"TotalSwapSpaceSize", Kind::Integer},
      {GETTER(TotalVirtualMemorySize), L"TotalVirtualMemorySize", Kind::Integer},
      {GETTER(TotalVisibleMemorySize), L"TotalVisibleMemorySize", Kind::Integer},
      {GETTER(Version), L"Version", Kind::Text},
      {GETTER(WindowsDirectory), L"WindowsDirectory", Kind::Text},
      {GETTER(IsDomainController), L"Producttype", Kind::Comparison, 2},
      {GETTER(IsWorkstation), L"Producttype", Kind::Comparison, 1},
  };
  ASSERT_EQ(std::size(cases), 64u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A value each kind turns into something only its own conversion gives: text trimmed at both
    // ends, digits beyond 32 bits as a 64-bit number, a boolean, and the comparison's constant.
    fake_wmi::Value value;
    std::string expected;
    switch (c.kind) {
      case Kind::Text:
        value = String(L"  C:\\x y  ");
        expected = "C:\\x y";
        break;
      case Kind::Integer:
        value = String(L"12345678901");
        expected = "12345678901";
        break;
      case Kind::Boolean:
        value = Boolean(true);
        expected = "true";
        break;
      case Kind::Comparison:
        value = Int32(c.equalTo);
        expected = "true";
        break;
      case Kind::Date:
        // Wine has no scripting date-time object: the empty date, 0100-01-01.
        value = String(L"20240305120000.000000+480");
        expected = Show(-657434.0);
        break;
      case Kind::List:
        value = StringArray({L"zh-CN", L"en-US"});
        expected = "2:zh-CN,en-US,";
        break;
    }
    Outcome outcome = Run(Rows({Answer(value)}), c.getter);
    EXPECT_EQ(outcome.result, expected);
    ExpectOneQueryOf(outcome.record, c.property);
  }
}

TEST_F(OsInfoWithFakeWmi, FailureAtAnyStepGivesTheFreshIntegerZero) {
  struct Case {
    const char* what;
    fake_wmi::Script script;
    Calls calls;  // the steps after the failing one are not taken
  } cases[] = {
      {"locator not created", Failing(&fake_wmi::Script::create, E_ACCESSDENIED), {1, 0, 0, 0, 0}},
      {"connection refused",
       Failing(&fake_wmi::Script::connect, Status(WBEM_E_ACCESS_DENIED)),
       {1, 1, 0, 0, 0}},
      {"connection answers a success code other than 0",
       Failing(&fake_wmi::Script::connect, Status(WBEM_S_FALSE)),
       {1, 1, 0, 0, 0}},
      {"query refused",
       Failing(&fake_wmi::Script::query, Status(WBEM_E_INVALID_QUERY)),
       {1, 1, 1, 0, 0}},
      {"query answers a success code other than 0",
       Failing(&fake_wmi::Script::query, Status(WBEM_S_FALSE)),
       {1, 1, 1, 0, 0}},
      {"no row", Rows({}), {1, 1, 1, 1, 0}},
      {"Next times out before the first row",
       Rows({NextFails(Status(WBEM_S_TIMEDOUT)), Answer(String(L"unread"))}),
       {1, 1, 1, 1, 0}},
      {"Get fails", Rows({GetFails(Status(WBEM_E_NOT_FOUND))}), {1, 1, 1, 2, 1}},
  };
  // The fresh value, the integer 0, read by each kind of getter.
  struct Read {
    const char* name;
    Getter getter;
    const char* expected;
  } reads[] = {
      {"WindowsDirectory", WindowsDirectory, "0"},
      {"BuildNumber", BuildNumber, "0"},
      {"Debug", Debug, "false"},
      {"IsWorkstation", IsWorkstation, "false"},
  };
  for (const Case& c : cases) {
    for (const Read& read : reads) {
      SCOPED_TRACE(testing::Message() << c.what << ", " << read.name);
      Outcome outcome = Run(c.script, read.getter);
      EXPECT_EQ(outcome.result, read.expected);
      EXPECT_EQ(CallsOf(outcome.record), c.calls);
    }
  }
}

TEST_F(OsInfoWithFakeWmi, LastRowThatWasReadWinsAndEarlierValuesAreReleased) {
  struct Case {
    const char* what;
    std::vector<fake_wmi::Row> rows;
    const char* expected;
    size_t nexts, gets;
  } cases[] = {
      {"three rows",
       {Answer(String(L"first")), Answer(String(L"second")), Answer(String(L"last"))},
       "last",
       4,
       3},
      // The fake counts the references its objects hand out, so a value that is overwritten
      // instead of cleared shows as a live reference.
      {"earlier values holding objects",
       {Answer(CountedObject()), Answer(CountedObject()), Answer(String(L"last"))},
       "last",
       4,
       3},
      {"a failed Get keeps the earlier row's value",
       {Answer(String(L"kept")), GetFails(Status(WBEM_E_NOT_FOUND))},
       "kept",
       3,
       2},
      {"a later null value replaces an earlier one",
       {Answer(String(L"first")), Answer(Null())},
       "",
       3,
       2},
      {"a time-out after a row ends the rows",
       {Answer(String(L"kept")), NextFails(Status(WBEM_S_TIMEDOUT)), Answer(String(L"unread"))},
       "kept",
       2,
       1},
      // Only the returned count decides whether the loop goes on; a failed Next makes no Get.
      {"a failed Next that reports one row goes on",
       {NextFails(Status(WBEM_S_FALSE), 1), Answer(String(L"next"))},
       "next",
       3,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Outcome outcome = Run(Rows(c.rows), WindowsDirectory);
    EXPECT_EQ(outcome.result, c.expected);
    EXPECT_EQ(CallsOf(outcome.record), (Calls{1, 1, 1, c.nexts, c.gets}));
  }
}

// An enumerator that fails every call without writing the count (its server has gone, say) must
// still end the rows: the engine resets the count before each Next.
TEST_F(OsInfoWithFakeWmi, NextFailingWithoutWritingTheCountEndsTheRows) {
  const fake_wmi::Row gone = NextFailsLeavingCount(Status(WBEM_E_TRANSPORT_FAILURE));
  struct Case {
    const char* what;
    std::vector<fake_wmi::Row> rows;
    const char* expected;
    size_t nexts, gets;
  } cases[] = {
      {"before the first row", {}, "0", 1, 0},
      {"after a row", {Answer(String(L"kept"))}, "kept", 2, 1},
      {"once, between rows",
       {Answer(String(L"kept")), gone, Answer(String(L"unread"))},
       "kept",
       2,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake_wmi::Script script = Rows(c.rows);
    script.afterRows = gone;
    Outcome outcome = Run(script, WindowsDirectory);
    EXPECT_EQ(outcome.result, c.expected);
    EXPECT_EQ(CallsOf(outcome.record), (Calls{1, 1, 1, c.nexts, c.gets}));
  }
}

TEST_F(OsInfoWithFakeWmi, TextGettersGiveTheEmptyTextForNullsAndArrays) {
  struct Case {
    const char* what;
    fake_wmi::Value value;
    const char* expected;
  } cases[] = {
      {"null", Null(), ""},
      {"null string", String(nullptr), ""},
      {"empty string", String(L""), ""},
      {"string 0", String(L"0"), "0"},
      {"integer", Int32(-7601), "-7601"},
      {"array", StringArray({L"C:\\windows"}), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Run(Rows({Answer(c.value)}), WindowsDirectory).result, c.expected);
  }
}

TEST_F(OsInfoWithFakeWmi, IntegerGettersTruncateTowardZeroAndGiveMinimumBeyondRange) {
  constexpr int64_t minimum = std::numeric_limits<int64_t>::min();
  struct Case {
    const char* what;
    fake_wmi::Value value;
    int64_t expected;
  } cases[] = {
      {"digits", String(L"7601"), 7601},
      {"digits beyond 32 bits", String(L"12345678901"), 12345678901},
      {"digits beyond 64 bits", String(L"99999999999999999999"), minimum},
      {"integer", Int32(-7601), -7601},
      {"2.9", Double(2.9), 2},
      {"-2.9", Double(-2.9), -2},
      {"-0.5", Double(-0.5), 0},
      {"largest in range", Double(9.2e18), 9200000000000000000},
      {"2^63", Double(9223372036854775808.0), minimum},
      {"-1e19", Double(-1e19), minimum},
      {"NaN", Double(std::numeric_limits<double>::quiet_NaN()), minimum},
      {"null", Null(), 0},
      {"not a number", String(L"abc"), 0},
      {"array", StringArray({L"7601"}), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Run(Rows({Answer(c.value)}), BuildNumber).result, Show(c.expected));
  }
}

TEST_F(OsInfoWithFakeWmi, BooleanGettersAreFalseForNullsZeroAndArrays) {
  struct Case {
    const char* what;
    fake_wmi::Value value;
    bool expected;
  } cases[] = {
      {"true", Boolean(true), true},
      {"false", Boolean(false), false},
      {"integer 2", Int32(2), true},
      {"integer 0", Int32(0), false},
      {"null", Null(), false},
      {"empty string", String(L""), false},
      {"array", StringArray({L"1"}), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Run(Rows({Answer(c.value)}), Debug).result, Show(c.expected));
  }
}

TEST_F(OsInfoWithFakeWmi, ComparisonGettersTestTheTruncatedValueForTheirConstant) {
  struct Case {
    const char* what;
    fake_wmi::Value value;
    bool workstation, domainController, server, windowsNt;
  } cases[] = {
      {"1", Int32(1), true, false, false, false},
      {"2", Int32(2), false, true, false, false},
      {"3", Int32(3), false, false, true, false},
      {"18", Int32(18), false, false, false, true},
      {"17", Int32(17), false, false, false, false},
      {"0", Int32(0), false, false, false, false},
      {"null", Null(), false, false, false, false},
      {"digits 3", String(L"3"), false, false, true, false},
      {"digits 18", String(L"18"), false, false, false, true},
      {"2.9 truncated", Double(2.9), false, true, false, false},
      {"18.9 truncated", Double(18.9), false, false, false, true},
      // Only the low 32 bits of the integer are compared.
      {"2^32 + 18", Double(4294967314.0), false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake_wmi::Script script = Rows({Answer(c.value)});
    EXPECT_EQ(Run(script, IsWorkstation).result, Show(c.workstation));
    EXPECT_EQ(Run(script, CALL(IsDomainController)).result, Show(c.domainController));
    EXPECT_EQ(Run(script, CALL(IsServer)).result, Show(c.server));
    EXPECT_EQ(Run(script, CALL(IsWindowsNt)).result, Show(c.windowsNt));
  }
}

TEST_F(OsInfoWithFakeWmi, TextGettersTrimAsciiAndFullWidthSpacesAtBothEnds) {
  // The fake's UTF-16 reaches the getter through the ANSI code page; the full-width space is the
  // two bytes A1 A1 only in code page 936.
  if (GetACP() != 936) GTEST_SKIP() << "needs ANSI code page 936";
  struct Case {
    const wchar_t* value;
    const char* expected;  // code page 936
  } cases[] = {
      {L"  C:\\windows  ", "C:\\windows"},
      {L"\u3000 C:\\windows \u3000\u3000", "C:\\windows"},
      {L"C:\\windows\t", "C:\\windows\t"},
      {L"\tC:\\windows\t ", "\tC:\\windows\t"},
      {L"x\r\n", "x\r\n"},
      {L" a b\u3000c ",
       "a b\xA1\xA1"
       "c"},
      {L" \u3000 ", ""},
      // 啊 is B0 A1: its second byte is no blank even before a full-width space.
      {L"a\u554A\u3000", "a\xB0\xA1"},
      // 、 is A1 A2: its first byte is no blank even after a full-width space.
      {L"\u3000\u3001x", "\xA1\xA2x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.expected);
    EXPECT_EQ(Run(Rows({Answer(String(c.value))}), WindowsDirectory).result, c.expected);
  }
}

TEST_F(OsInfoWithFakeWmi, DateGettersHandTheTrimmedTextToTheDateTimeObject) {
  // The full-width space reaches the getter as A1 A1 only under code page 936.
  if (GetACP() != 936) GTEST_SKIP() << "needs ANSI code page 936";
  FakeDateTimeScript dateScript;
  dateScript.date = 45356.5;
  FakeDateTimeRegistration dateTime(dateScript);
  ASSERT_TRUE(dateTime.registered());
  Outcome outcome = Run(Rows({Answer(String(L" \u3000 20240305120000.000000+480\t\r\n \u3000"))}),
                        CALL(LastBootUpTime));
  EXPECT_EQ(outcome.result, Show(45356.5));
  ASSERT_EQ(dateTime.log().valuesWritten.size(), 1u);
  EXPECT_EQ(dateTime.log().valuesWritten[0], L"20240305120000.000000+480\t\r\n")
      << "blanks trimmed, tabs and line breaks kept";
}

TEST_F(OsInfoWithFakeWmi, LanguagesAreAppendedToTheCallersArray) {
  fake_wmi::Value integers;
  integers.put()->vt = VT_ARRAY | VT_I4;
  integers.put()->parray = SafeArrayCreateVector(VT_I4, 0, 1);
  LONG first = 0, lcid = 1033;
  SafeArrayPutElement(integers.get().parray, &first, &lcid);
  fake_wmi::Script unreachable;
  unreachable.create = REGDB_E_CLASSNOTREG;

  struct Case {
    const char* what;
    fake_wmi::Script script;
    std::vector<int32_t> sizes;  // of the caller's array
    std::vector<const char*> members;
    int32_t count;
    std::vector<std::string> after;
  } cases[] = {
      {"one more",
       Rows({Answer(StringArray({L"fr-FR"}))}),
       {2},
       {"zh-CN", "en-US"},
       1,
       {"zh-CN", "en-US", "fr-FR"}},
      {"an empty array value",
       Rows({Answer(StringArray({}))}),
       {2},
       {"zh-CN", "en-US"},
       0,
       {"zh-CN", "en-US"}},
      {"a null value", Rows({Answer(Null())}), {1}, {"zh-CN"}, -1, {"zh-CN"}},
      {"a value that is no array", Rows({Answer(String(L"fr-FR"))}), {1}, {"zh-CN"}, -1, {"zh-CN"}},
      {"WMI unreachable", unreachable, {1}, {"zh-CN"}, -1, {"zh-CN"}},
      {"two dimensions",
       Rows({Answer(StringArray({L"fr-FR", L""}))}),
       {2, 2},
       {"a", "b", "c", "d"},
       2,
       {"a", "b", "c", "d", "fr-FR", "<null>"}},
      {"no string", Rows({Answer(integers)}), {0}, {}, 1, {"1033"}},
  };
  // The array is made and released inside the getter's run, so the leak checks cover it too.
  static const Case* current;
  static int32_t count;
  static std::vector<std::string> after;
  static bool leftAlone;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    current = &c;
    Run(c.script, [](OsInfo& info) {
      void* array = TextArray(current->sizes, current->members);
      void* before = array;
      count = info.MUILanguages(array);
      after = Members(array);
      leftAlone = array == before;
      ReleaseTextArray(array);
      return std::string();
    });
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(after, c.after);
    if (c.count < 0) {
      EXPECT_TRUE(leftAlone) << "the array is left alone";
    }
  }
}

TEST_F(OsInfoWithFakeWmi, LanguagesGoIntoAFreshCopyOfAConstantArray) {
  static IN_CONSTANT_POOL const char english[] = "en-US";
  static IN_CONSTANT_POOL const struct {
    int32_t header[2];
    const char* texts[1];
  } pooled = {{1, 1}, {english}};
  static void* array;
  static std::vector<std::string> after;
  Outcome outcome = Run(Rows({Answer(StringArray({L"fr-FR"}))}), [](OsInfo& info) {
    array = const_cast<void*>(static_cast<const void*>(&pooled));
    std::string count = std::to_string(info.MUILanguages(array));
    after = Members(array);
    ReleaseTextArray(array);
    return count;
  });
  EXPECT_EQ(outcome.result, "1");
  EXPECT_NE(array, &pooled);
  EXPECT_EQ(after, (std::vector<std::string>{"en-US", "fr-FR"}));
  EXPECT_EQ(pooled.header[1], 1) << "the constant is untouched";
}

// Bytes that no UTF-16 value converts to, so no WMI answer can bring them to a getter.
TEST(TrimBlanks, ReadsTheTextAsCodePage936Characters) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      // B0 A1 is one character; the A1 after it starts the next and is cut short.
      {"\x61\xB0\xA1\xA1", "\x61\xB0\xA1\xA1"},
      {"\xA1\xA1\x61\xB0\xA1\xA1", "\x61\xB0\xA1\xA1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text);
    NoLeakScope blocks;
    EXPECT_EQ(Show(TrimBlanks(c.text)), c.expected);
  }
}

TEST_F(OsInfoWithFakeWmi, EveryCallRunsItsOwnQuery) {
  Outcome outcome =
      Run(Rows({Answer(String(L"100")), NextFails(Status(WBEM_S_FALSE)), Answer(String(L"200"))}),
          [](OsInfo& info) {
            std::string first = Show(info.FreePhysicalMemory());
            return first + " " + Show(info.FreePhysicalMemory());
          });
  EXPECT_EQ(outcome.result, "100 200");
  EXPECT_EQ(CallsOf(outcome.record), (Calls{2, 2, 2, 4, 2}));
  for (const fake_wmi::Query& query : outcome.record.queries) {
    EXPECT_EQ(query.text, L"Select FreePhysicalMemory From Win32_OperatingSystem");
  }
}

std::string LocaleInfo(LCTYPE type) {
  char buffer[256] = {};
  EXPECT_NE(GetLocaleInfoA(0, type, buffer, sizeof buffer), 0);
  return buffer;
}

std::string UserNameDirectly() {
  char buffer[300] = {};
  DWORD size = sizeof buffer;
  EXPECT_TRUE(GetUserNameA(buffer, &size));
  return buffer;
}

// The standard name ends at its first zero unit, or after all 32 units.
std::string TimeZoneStandardNameDirectly() {
  TIME_ZONE_INFORMATION zone = {};
  (void)GetTimeZoneInformation(&zone);
  int units = 0;
  while (units < 32 && zone.StandardName[units]) ++units;
  char buffer[200] = {};
  WideCharToMultiByte(936, 0, zone.StandardName, units, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

TEST(OsInfoWin32Getters, GiveWhatTheSameCallsGiveDirectly) {
  struct Case {
    const char* name;
    Getter getter;
    std::string expected;
  } cases[] = {
      {GETTER(UserName), UserNameDirectly()},
      {GETTER(TimeZoneStandardName), TimeZoneStandardNameDirectly()},
      {GETTER(CurrencySymbol), LocaleInfo(LOCALE_SCURRENCY)},
      {GETTER(LongDateFormat), LocaleInfo(LOCALE_SLONGDATE)},
      {GETTER(TimeFormat), LocaleInfo(LOCALE_STIMEFORMAT)},
  };
  OsInfo* info = NewFieldlessInstance<OsInfo>();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(c.expected.empty()) << "the call gives the test nothing to compare with";
    NoLeakScope blocks;
    EXPECT_EQ(c.getter(*info), c.expected);
  }
  info->Destroy();
  Release(info);
}

// Wine's GetUserNameA answers the process variable WINEUSERNAME, so the test can choose a name.
TEST(OsInfoWin32Getters, UserNameFillsAt256BytesWithItsTerminator) {
  char saved[300] = {};
  ASSERT_NE(GetEnvironmentVariableA("WINEUSERNAME", saved, sizeof saved), 0u);
  struct Case {
    size_t length;
    bool fits;
  } cases[] = {{255, true}, {256, false}};
  OsInfo* info = NewFieldlessInstance<OsInfo>();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::string name(c.length, 'u');
    EXPECT_TRUE(SetEnvironmentVariableA("WINEUSERNAME", name.c_str()));
    NoLeakScope blocks;
    EXPECT_EQ(Show(info->UserName()), c.fits ? name : "");
  }
  SetEnvironmentVariableA("WINEUSERNAME", saved);
  info->Destroy();
  Release(info);
}

}  // namespace
