#include "runtime/file_commands.h"

#include <windows.h>

#include "runtime/value_commands.h"

namespace {
bool IsEmpty(const char* path) { return !path || !*path; }

// Owns a file handle for the span of one command.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (IsOpen()) (void)CloseHandle(handle_);
  }
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};
}  // namespace

bool WriteFileBytes(const char* path, const ByteSetBlock* bytes) {
  if (IsEmpty(path)) return false;
  FileHandle file(
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsOpen()) return false;
  DWORD length = static_cast<DWORD>(BytesLength(bytes));
  if (length == 0) return true;
  DWORD written = 0;
  return WriteFile(file.get(), bytes->bytes(), length, &written, nullptr) && written == length;
}

bool ReadFileBytes(const char* path, ByteSet* bytes, int32_t longest) {
  if (IsEmpty(path)) return false;
  FileHandle file(
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size;
  if (!file.IsOpen() || !GetFileSizeEx(file.get(), &size) || size.QuadPart > longest) return false;
  // The size is where reading starts, not where it stops: the file may grow meanwhile and a read
  // may return less than asked, so it is read until a read returns nothing. One byte of room past
  // the size lets an unchanged file end in a single further read.
  int32_t capacity = static_cast<int32_t>(size.QuadPart) + 1;
  ByteSet content(AllocateByteSet(capacity));
  int32_t filled = 0;
  for (;;) {
    if (filled == capacity) {
      if (capacity > longest) return false;
      capacity = capacity > longest - capacity ? longest + 1 : 2 * capacity;
      content = ByteSet(ResizeByteSet(content.Detach(), capacity));
    }
    DWORD read = 0;
    if (!ReadFile(file.get(), content.get()->bytes() + filled, capacity - filled, &read, nullptr)) {
      return false;
    }
    if (read == 0) break;
    filled += static_cast<int32_t>(read);
  }
  *bytes = filled > 0 ? ByteSet(ResizeByteSet(content.Detach(), filled)) : ByteSet();
  return true;
}

bool SetFileAttributesTo(const char* path, int32_t attributes) {
  if (IsEmpty(path)) return false;
  const DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                         FILE_ATTRIBUTE_ARCHIVE;
  return SetFileAttributesA(path, static_cast<DWORD>(attributes) & settable) != 0;
}
