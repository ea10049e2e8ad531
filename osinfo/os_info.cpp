#include "osinfo/os_info.h"

#include "osinfo/trim_blanks.h"
#include "osinfo/wmi_query.h"
#include "values/fieldless_instance.h"
#include "values/joins.h"
#include "values/numbers.h"

namespace {
// One query of Win32_OperatingSystem for the property, spelled as sent.
Variant QueryProperty(const char* property) {
  Text query = JoinTexts("Select ", property, " From Win32_OperatingSystem");
  return WmiQueryProperty(query.get(), property);
}

Text TrimmedTextProperty(const char* property) {
  Text untrimmed = VariantToText(QueryProperty(property).get());
  return TrimBlanks(untrimmed.get());
}

int64_t IntegerProperty(const char* property) {
  return TruncateToInt64(VariantToNumber(QueryProperty(property).get()));
}

bool BooleanProperty(const char* property) {
  return VariantToBoolean(QueryProperty(property).get());
}

// Compares the low 32 bits of the integer value, as a signed 32-bit value.
bool IntegerPropertyEquals(const char* property, int32_t value) {
  return static_cast<int32_t>(IntegerProperty(property)) == value;
}
}  // namespace

void OsInfo::Destroy() {}

OsInfo* OsInfo::Copy() const { return CopyFieldlessInstance(*this); }

int64_t OsInfo::BuildNumber() { return IntegerProperty("BuildNumber"); }
Text OsInfo::BootDevice() { return TrimmedTextProperty("BootDevice"); }
Text OsInfo::BuildType() { return TrimmedTextProperty("BuildType"); }
Text OsInfo::Caption() { return TrimmedTextProperty("Caption"); }
Text OsInfo::CodeSet() { return TrimmedTextProperty("CodeSet"); }
Text OsInfo::CountryCode() { return TrimmedTextProperty("CountryCode"); }
Text OsInfo::CSDVersion() { return TrimmedTextProperty("CSDVersion"); }
Text OsInfo::CSName() { return TrimmedTextProperty("CSName"); }
int64_t OsInfo::CurrentTimeZone() { return IntegerProperty("CurrentTimeZone"); }
bool OsInfo::DataExecutionPrevention_Available() {
  return BooleanProperty("DataExecutionPrevention_Available");
}
bool OsInfo::DataExecutionPrevention_32BitApplications() {
  return BooleanProperty("DataExecutionPrevention_32BitApplications");
}
bool OsInfo::DataExecutionPrevention_Drivers() {
  return BooleanProperty("DataExecutionPrevention_Drivers");
}
int64_t OsInfo::DataExecutionPrevention_SupportPolicy() {
  return IntegerProperty("DataExecutionPrevention_SupportPolicy");
}
bool OsInfo::Debug() { return BooleanProperty("Debug"); }
Text OsInfo::Description() { return TrimmedTextProperty("Description"); }
bool OsInfo::Distributed() { return BooleanProperty("Distributed"); }
int64_t OsInfo::EncryptionLevel() { return IntegerProperty("EncryptionLevel"); }
int64_t OsInfo::ForegroundApplicationBoost() {
  return IntegerProperty("ForegroundApplicationBoost");
}
int64_t OsInfo::FreePhysicalMemory() { return IntegerProperty("FreePhysicalMemory"); }
int64_t OsInfo::FreeSpaceInPagingFiles() { return IntegerProperty("FreeSpaceInPagingFiles"); }
Text OsInfo::Caption2() { return TrimmedTextProperty("Caption"); }
int64_t OsInfo::FreeVirtualMemory() { return IntegerProperty("FreeVirtualMemory"); }
Text OsInfo::Locale() { return TrimmedTextProperty("Locale"); }
Text OsInfo::Manufacturer() { return TrimmedTextProperty("Manufacturer"); }
int64_t OsInfo::MaxNumberOfProcesses() { return IntegerProperty("MaxNumberOfProcesses"); }
int64_t OsInfo::MaxProcessMemorySize() { return IntegerProperty("MaxProcessMemorySize"); }
int64_t OsInfo::NumberOfLicensedUsers() { return IntegerProperty("NumberOfLicensedUsers"); }
int64_t OsInfo::NumberOfProcesses() { return IntegerProperty("NumberOfProcesses"); }
int64_t OsInfo::NumberOfUsers() { return IntegerProperty("NumberOfUsers"); }
int64_t OsInfo::OperatingSystemSKU() { return IntegerProperty("OperatingSystemSKU"); }
Text OsInfo::Organization() { return TrimmedTextProperty("Organization"); }
Text OsInfo::OSArchitecture() { return TrimmedTextProperty("OSArchitecture"); }
int64_t OsInfo::OSLanguage() { return IntegerProperty("OSLanguage"); }
int64_t OsInfo::OSProductSuite() { return IntegerProperty("OSProductSuite"); }
int64_t OsInfo::OSType() { return IntegerProperty("OSType"); }
bool OsInfo::IsWindowsNt() { return IntegerPropertyEquals("OSType", 18); }
Text OsInfo::OtherTypeDescription() { return TrimmedTextProperty("OtherTypeDescription"); }
bool OsInfo::PAEEnabled() { return BooleanProperty("PAEEnabled"); }
Text OsInfo::PlusProductID() { return TrimmedTextProperty("PlusProductID"); }
int64_t OsInfo::PlusVersionNumber() { return IntegerProperty("PlusVersionNumber"); }
bool OsInfo::PortableOperatingSystem() { return BooleanProperty("PortableOperatingSystem"); }
bool OsInfo::Primary() { return BooleanProperty("Primary"); }
bool OsInfo::IsServer() { return IntegerPropertyEquals("Producttype", 3); }
Text OsInfo::RegisteredUser() { return TrimmedTextProperty("RegisteredUser"); }
Text OsInfo::SerialNumber() { return TrimmedTextProperty("SerialNumber"); }
int64_t OsInfo::ServicePackMajorVersion() { return IntegerProperty("ServicePackMajorVersion"); }
int64_t OsInfo::ServicePackMinorVersion() { return IntegerProperty("ServicePackMinorVersion"); }
int64_t OsInfo::SizeStoredInPagingFiles() { return IntegerProperty("SizeStoredInPagingFiles"); }
Text OsInfo::Status() { return TrimmedTextProperty("Status"); }
int64_t OsInfo::SuiteMask() { return IntegerProperty("SuiteMask"); }
Text OsInfo::SystemDevice() { return TrimmedTextProperty("SystemDevice"); }
Text OsInfo::SystemDirectory() { return TrimmedTextProperty("SystemDirectory"); }
Text OsInfo::SystemDrive() { return TrimmedTextProperty("SystemDrive"); }
int64_t OsInfo::TotalSwapSpaceSize() { return IntegerProperty("TotalSwapSpaceSize"); }
int64_t OsInfo::TotalVirtualMemorySize() { return IntegerProperty("TotalVirtualMemorySize"); }
int64_t OsInfo::TotalVisibleMemorySize() { return IntegerProperty("TotalVisibleMemorySize"); }
Text OsInfo::Version() { return TrimmedTextProperty("Version"); }
Text OsInfo::WindowsDirectory() { return TrimmedTextProperty("WindowsDirectory"); }
bool OsInfo::IsDomainController() { return IntegerPropertyEquals("Producttype", 2); }
bool OsInfo::IsWorkstation() { return IntegerPropertyEquals("Producttype", 1); }
