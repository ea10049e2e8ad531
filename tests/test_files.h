#pragma once
// Files for tests: a fresh folder in the prefix's temp folder, whole-file reads and writes with
// attributes, and the folder's content as a name -> bytes map.
//
// Wine reports the archive bit (0x20) on every regular file whatever was set, so attributes are
// read with the archive bit masked out.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

const DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;
const DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
const DWORD kSystem = FILE_ATTRIBUTE_SYSTEM;
const DWORD kArchive = FILE_ATTRIBUTE_ARCHIVE;

// The path in the ANSI code page, as the ANSI Win32 functions read it.
inline std::string Ansi(const std::wstring& path) {
  char text[4 * MAX_PATH];
  int length = WideCharToMultiByte(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), text,
                                   sizeof text, nullptr, nullptr);
  return std::string(text, length > 0 ? length : 0);
}

inline DWORD AttributesWithoutArchive(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? attributes : attributes & ~FILE_ATTRIBUTE_ARCHIVE;
}

// Nothing when the file cannot be read.
inline std::optional<std::string> ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  bool ok = bytes.empty() ||
            (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
             read == bytes.size());
  CloseHandle(file);
  return ok ? std::optional<std::string>(bytes) : std::nullopt;
}

// Replaces the file, whatever its attributes, and then gives it `attributes`.
inline bool WriteBytes(const std::wstring& path, const std::string& bytes, DWORD attributes = 0) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok && SetFileAttributesW(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

inline void DeleteWhatever(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

// File names and their bytes.
using Files = std::map<std::wstring, std::string>;

// The names of the files of a folder that start with `prefix`.
inline std::vector<std::wstring> FileNamesIn(const std::wstring& folder,
                                             const std::wstring& prefix = L"") {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + prefix + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// The files of a folder whose names start with `prefix`, each with its bytes ("<unreadable>"
// when it cannot be read).
inline Files FilesIn(const std::wstring& folder, const std::wstring& prefix = L"") {
  Files files;
  for (const std::wstring& name : FileNamesIn(folder, prefix)) {
    files[name] = ReadBytes(folder + name).value_or("<unreadable>");
  }
  return files;
}

// Deletes the files of a folder whose names start with `prefix`, whatever their attributes, without
// reading them.
inline void EmptyFolder(const std::wstring& folder, const std::wstring& prefix = L"") {
  for (const std::wstring& name : FileNamesIn(folder, prefix)) DeleteWhatever(folder + name);
}

// A folder of its own below the temp folder, emptied; its path ends with a backslash.
inline std::wstring FreshTempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  EmptyFolder(folder);
  return folder;
}

inline void RemoveFolder(const std::wstring& folder) {
  EmptyFolder(folder);
  RemoveDirectoryW(folder.c_str());
}

// When local midnight is less than two minutes away, waits until it has passed: a test that names
// today's backup must not see two days.
inline void WaitOutMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  int left = ((24 - now.wHour) * 60 - now.wMinute) * 60 - now.wSecond;
  if (left < 120) Sleep((left + 2) * 1000);
}

// "_bak" and today's local date, as a backup made now is named.
inline std::wstring TodaysBackupSuffix() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t suffix[32];
  swprintf(suffix, 32, L"_bak%d%02d%02d", now.wYear, now.wMonth, now.wDay);
  return suffix;
}

// What SetFileAttributes(read-only | system) reads back as here. Wine keeps the system and hidden
// bits in an extended attribute, which a plain Unix user cannot write on a file that is already
// read-only, so for such a user it reads back as read-only alone; as root it reads back whole.
inline DWORD ReadOnlyAndSystemAsStored() {
  static const DWORD stored = [] {
    std::wstring folder = FreshTempFolder(L"attribute_probe");
    std::wstring probe = folder + L"probe";
    bool made = WriteBytes(probe, "", kReadOnly | kSystem);
    DWORD attributes = made ? AttributesWithoutArchive(probe) : INVALID_FILE_ATTRIBUTES;
    RemoveFolder(folder);
    return attributes;
  }();
  return stored;
}

// Whether a read-only file refuses writes here, as on Windows: Wine run as root writes it anyway.
inline bool ReadOnlyIsEnforced() {
  static const bool enforced = [] {
    std::wstring folder = FreshTempFolder(L"read_only_probe");
    std::wstring probe = folder + L"probe";
    bool refused = false;
    if (WriteBytes(probe, "", kReadOnly)) {
      HANDLE file =
          CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      refused = file == INVALID_HANDLE_VALUE;
      if (!refused) CloseHandle(file);
    }
    RemoveFolder(folder);
    return refused;
  }();
  return enforced;
}

// A registration that runs the Windows side as the plain user says so (HOSTSFIX_PLAIN_USER=1):
// there a read-only file must refuse writes, or every test of the attribute lift passes for
// nothing.
inline bool PlainUserAsPromised() { return !getenv("HOSTSFIX_PLAIN_USER") || ReadOnlyIsEnforced(); }
