#pragma once
// Answers questions about the running Windows installation. The class has no fields: an instance
// is a one-word block holding the dispatch-table pointer, and the order of the virtual operations
// below is the class's dispatch order. No class derives from it.
//
// Every WMI getter runs its own query of Win32_OperatingSystem; nothing is cached. Texts are fresh
// and owned by the caller; trimmed texts lose ASCII and full-width spaces at both ends.
#include <cstdint>

#include "runtime/text.h"

class OsInfo {
 public:
  // Releases nothing: there is nothing but the block, which the owner releases afterwards.
  virtual void Destroy();
  // A new instance owned by the caller.
  virtual OsInfo* Copy() const;

  virtual int64_t BuildNumber();
  virtual Text BootDevice();
  virtual Text BuildType();
  virtual Text Caption();
  virtual Text CodeSet();
  virtual Text CountryCode();
  virtual Text CSDVersion();
  virtual Text CSName();
  virtual int64_t CurrentTimeZone();
  virtual bool DataExecutionPrevention_Available();
  virtual bool DataExecutionPrevention_32BitApplications();
  virtual bool DataExecutionPrevention_Drivers();
  virtual int64_t DataExecutionPrevention_SupportPolicy();
  virtual bool Debug();
  virtual Text Description();
  virtual bool Distributed();
  virtual int64_t EncryptionLevel();
  virtual int64_t ForegroundApplicationBoost();
  virtual int64_t FreePhysicalMemory();
  virtual int64_t FreeSpaceInPagingFiles();
  virtual Text Caption2();
  virtual int64_t FreeVirtualMemory();
  // Dates are OLE Automation dates (days since 1899-12-30).
  virtual double InstallDate();
  virtual double LastBootUpTime();
  virtual double LocalDateTime();
  virtual Text Locale();
  virtual Text Manufacturer();
  virtual int64_t MaxNumberOfProcesses();
  virtual int64_t MaxProcessMemorySize();
  // Appends the languages to the caller's array of texts (see AppendToTextArray); returns how many
  // were appended, or -1 when the property gives no array and the array is left alone.
  virtual int32_t MUILanguages(void*& languages);
  virtual int64_t NumberOfLicensedUsers();
  virtual int64_t NumberOfProcesses();
  virtual int64_t NumberOfUsers();
  virtual int64_t OperatingSystemSKU();
  virtual Text Organization();
  virtual Text OSArchitecture();
  virtual int64_t OSLanguage();
  virtual int64_t OSProductSuite();
  virtual int64_t OSType();
  virtual bool IsWindowsNt();
  virtual Text OtherTypeDescription();
  virtual bool PAEEnabled();
  virtual Text PlusProductID();
  virtual int64_t PlusVersionNumber();
  virtual bool PortableOperatingSystem();
  virtual bool Primary();
  virtual bool IsServer();
  virtual Text RegisteredUser();
  virtual Text SerialNumber();
  virtual int64_t ServicePackMajorVersion();
  virtual int64_t ServicePackMinorVersion();
  virtual int64_t SizeStoredInPagingFiles();
  virtual Text Status();
  virtual int64_t SuiteMask();
  virtual Text SystemDevice();
  virtual Text SystemDirectory();
  virtual Text SystemDrive();
  virtual int64_t TotalSwapSpaceSize();
  virtual int64_t TotalVirtualMemorySize();
  virtual int64_t TotalVisibleMemorySize();
  virtual Text Version();
  virtual Text WindowsDirectory();
  virtual bool IsDomainController();
  virtual bool IsWorkstation();
  virtual Text UserName();
  virtual Text TimeZoneStandardName();
  virtual Text CurrencySymbol();
  virtual Text LongDateFormat();
  virtual Text TimeFormat();
};
